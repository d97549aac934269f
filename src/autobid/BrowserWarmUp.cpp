#include "autobid/BrowserWarmUp.h"

#include "autobid/AutoBidLog.h"
#include "platform/IBrowserFactory.h"
#include "platform/IBrowserSession.h"
#include "platform/IClock.h"
#include "watchlist/WatchItems.h"

namespace th {

namespace {

constexpr int kCheckMsecs = 5000;

bool hasPasswordField(const IBrowserSession &page)
{
    for (int form = 0; form < page.formCount(); ++form) {
        for (int element = 0; element < page.elementCount(form); ++element) {
            if (page.elementName(form, element) == u"pass")
                return true;
        }
    }
    return false;
}

} // namespace

BrowserWarmUp::BrowserWarmUp(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    m_timer.setInterval(kCheckMsecs);
    connect(&m_timer, &QTimer::timeout, this, &BrowserWarmUp::check);
    m_timer.start();
}

std::optional<QDateTime> BrowserWarmUp::firstArmedMoment(const WatchItems &records)
{
    std::optional<QDateTime> first;
    for (int i = 1; i <= records.count(); ++i) {
        const WatchItemRecord &record = records.at(i);
        if (record.recAutoBidState != 0 || record.recMaxAutoBid <= Money {} || record.recMaxQuantity < 1
            || record.recEndDate.instant() == 0)
            continue;
        const QDateTime moment
            = QDateTime::fromMSecsSinceEpoch(record.recEndDate.instant()).addSecs(-record.recMaxTimeLeft);
        if (!first || moment < *first)
            first = moment;
    }
    return first;
}

void BrowserWarmUp::check()
{
    if (m_warm || !m_ctx.firstArmedMoment)
        return;
    const std::optional<QDateTime> moment = m_ctx.firstArmedMoment();
    if (!moment || m_ctx.clock.now().secsTo(*moment) > kAheadSeconds)
        return;
    m_warm = true;
    m_page = m_ctx.browser.warmUp();
    if (!m_page) {
        qCInfo(lcAutoBid, "the browser could not be started ahead of the bid");
        return;
    }
    qCInfo(lcAutoBid, "browser started ahead of the bid at %s", qPrintable(moment->toString(Qt::ISODate)));
    disconnect(m_page, nullptr, this, nullptr);
    connect(m_page, &IBrowserSession::documentComplete, this, &BrowserWarmUp::onSignInPage);
    // Loading the sign-in page sends nothing: it only shows the form a bid will fill.
    m_page->navigate(QUrl(u"http://" + m_ctx.itemPage.text + u"/aw-cgi/eBayISAPI.dll?SignIn"));
}

void BrowserWarmUp::resumed()
{
    m_warm = false;
}

void BrowserWarmUp::onSignInPage(const QUrl &url, bool topLevel)
{
    if (!topLevel || !m_page)
        return;
    // One look per warm-up: what the page does afterwards is no longer the sign-in page.
    disconnect(m_page, nullptr, this, nullptr);
    if (hasPasswordField(*m_page)) {
        qCInfo(lcAutoBid, "the sign-in page has its form");
        return;
    }
    Q_EMIT signInPageChanged(u"The auction site's sign-in page has changed: no password field was found at "
        + url.toDisplayString(QUrl::RemoveUserInfo)
        + u". Automatic bids may not be able to sign in; check the page in a bid window.");
}

} // namespace th
