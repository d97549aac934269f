#include "autobid/BidSequence.h"

#include "autobid/BidAddresses.h"
#include "config/AppSettings.h"
#include "platform/IBrowserFactory.h"

namespace th {

namespace {

// The page's forms, counting from 0: the bid and sign-in forms are the second ones, after
// the site's search form; a page with only one form has them first.
constexpr int kBidForm = 1;
constexpr int kFallbackForm = 0;

} // namespace

BidSequence::BidSequence(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
}

BidSequence::~BidSequence()
{
    releaseWindow();
}

bool BidSequence::adopt(std::unique_ptr<IBrowserSession> session)
{
    releaseWindow();
    if (!session)
        return false;
    m_ie = std::move(session);
    IBrowserSession *ie = m_ie.get();
    // Only the window held now drives the steps; one released or replaced is no longer heard.
    connect(ie, &IBrowserSession::documentComplete, this, [this, ie](const QUrl &url, bool topLevel) {
        if (m_ie.get() == ie)
            IE_DocumentComplete(url, topLevel);
    });
    return true;
}

bool BidSequence::openItemPage(const QString &itemNumber)
{
    if (!adopt(m_ctx.browser.createSession()))
        return false;
    item = itemNumber.trimmed();
    m_ie->navigate(bidItemPageUrl(m_ctx.itemPage, item));
    m_ie->show();
    return true;
}

bool BidSequence::openOtherPage(const QUrl &url)
{
    if (!adopt(m_ctx.browser.createSession()))
        return false;
    m_ie->navigate(url);
    m_ie->show();
    return true;
}

void BidSequence::releaseWindow()
{
    if (!m_ie)
        return;
    m_ie->release();
    m_released.push_back(std::move(m_ie));
}

bool BidSequence::fillFirst(int form, const QString &name, const QString &value, bool *found)
{
    if (found)
        *found = false;
    const int count = m_ie->elementCount(form);
    if (count < 0)
        return false;
    for (int element = 0; element < count; ++element) {
        if (m_ie->elementName(form, element) == name) {
            m_ie->setElementValue(form, element, value);
            if (found)
                *found = true;
            break;
        }
    }
    return true;
}

bool BidSequence::fillAccount(int form)
{
    bool found = false;
    fillFirst(form, QStringLiteral("user"), m_ctx.settings.EBayID);
    fillFirst(form, QStringLiteral("pass"), m_ctx.settings.EBayPWD, &found);
    return found;
}

bool BidSequence::submitBidForm(int form)
{
    // A missing amount or quantity field is no reason to stop: the form goes as it is.
    if (!fillFirst(form, QStringLiteral("maxbid"), curBidAmount.toText()))
        return false;
    fillFirst(form, QStringLiteral("quant"), QString::number(intBidQuantity));
    return m_ie->submitForm(form);
}

bool BidSequence::itemPageStep()
{
    if (submitBidForm(kBidForm) || submitBidForm(kFallbackForm)) {
        Q_EMIT bidFormSubmitted(item);
        return true;
    }
    // A page without any form: this window cannot be driven.
    releaseWindow();
    return false;
}

void BidSequence::fillInSignInStep()
{
    if (m_ie->elementCount(kBidForm) < 0) {
        releaseWindow();
        return;
    }
    if (fillAccount(kBidForm)) {
        Q_EMIT signInFilled(item, false);
        // The filled page stays in front of the user, who confirms the bid.
        releaseWindow();
        blnFillOnly = false;
    }
    blnFillOnlyStep2 = false;
}

void BidSequence::realBidSignInStep(const QUrl &url, bool topLevel)
{
    if (topLevel && isRealBidSignInPage(url, m_ctx.itemPage)) {
        if (m_ie->elementCount(kBidForm) < 0) {
            // The sign-in fields on the page's only form.
            if (m_ie->elementCount(kFallbackForm) >= 0) {
                fillAccount(kFallbackForm);
                m_ie->submitForm(kFallbackForm);
                Q_EMIT signInFilled(item, true);
            }
            blnAutoBidStep2 = false;
            blnAutoBid = false;
            Q_EMIT periodicWorkRestartRequested();
            releaseWindow();
            return;
        }
        if (fillAccount(kBidForm)) {
            // This places the bid.
            m_ie->submitForm(kBidForm);
            Q_EMIT signInFilled(item, true);
            releaseWindow();
            blnAutoBid = false;
        }
        blnAutoBidStep2 = false;
    }
    // Whatever the page, the updates paused for the bid run again.
    Q_EMIT periodicWorkRestartRequested();
}

void BidSequence::IE_DocumentComplete(const QUrl &url, bool topLevel)
{
    if (!m_ie)
        return;
    // One event may finish a step and then meet the next step's conditions.
    if (blnFillOnly && !blnFillOnlyStep2 && topLevel && isBidItemPage(url, m_ctx.itemPage, item)) {
        if (!itemPageStep())
            return;
        blnFillOnly = false;
        blnFillOnlyStep2 = true;
    }
    if (blnFillOnlyStep2 && !blnFillOnly && topLevel && isFillInSignInPage(url, m_ctx.itemPage))
        fillInSignInStep();
    if (!m_ie)
        return;
    if (blnAutoBid && topLevel && isBidItemPage(url, m_ctx.itemPage, item)) {
        if (!itemPageStep())
            return;
        blnAutoBid = false;
        blnAutoBidStep2 = true;
    }
    if (blnAutoBidStep2 && !blnAutoBid)
        realBidSignInStep(url, topLevel);
}

} // namespace th
