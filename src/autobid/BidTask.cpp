#include "autobid/BidTask.h"

#include "autobid/AutoBidLog.h"
#include "autobid/BidAddresses.h"
#include "autobid/BidAnswer.h"
#include "platform/IBrowserSession.h"
#include "platform/IClock.h"

namespace th {

namespace {

// The page's forms, counting from 0: the bid and sign-in forms are the second ones, after
// the site's search form; a page with only one form has them first.
constexpr int kBidForm = 1;
constexpr int kFallbackForm = 0;

QString shown(const QUrl &url)
{
    return url.toDisplayString(QUrl::RemoveUserInfo);
}

} // namespace

BidTask::BidTask(Context context, const BidOrder &order, quint64 serial, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    m_record.serial = serial;
    m_record.item = order.item.trimmed();
    m_record.title = order.title;
    m_record.kind = order.kind;
    m_record.amount = order.amount;
    m_record.quantity = order.quantity;
    m_record.leadSeconds = order.leadSeconds;
    m_record.group = order.group;
    m_record.firedAt = m_ctx.clock.now();
}

BidTask::~BidTask()
{
    if (m_ie && !finished())
        m_ie->release();
}

QDateTime BidTask::deadline() const
{
    return m_record.firedAt.addSecs(kDeadlineSeconds);
}

std::unique_ptr<IBrowserSession> BidTask::takeWindow()
{
    return finished() ? std::move(m_ie) : nullptr;
}

void BidTask::start(std::unique_ptr<IBrowserSession> session)
{
    if (!session) {
        refuse(QStringLiteral("the browser window could not be opened"));
        return;
    }
    m_ie = std::move(session);
    IBrowserSession *ie = m_ie.get();
    connect(ie, &IBrowserSession::documentComplete, this, &BidTask::IE_DocumentComplete);
    connect(ie, &IBrowserSession::loadFailed, this,
        [this](const QUrl &, const QString &reason) { onLoadFailed(reason); });
    connect(ie, &IBrowserSession::windowClosed, this, &BidTask::onWindowClosed);
    ie->navigate(bidItemPageUrl(m_ctx.itemPage, m_record.item));
    // A bid the user started comes to the front; an automatic one opens by itself and
    // leaves the focus where the user has it.
    if (m_record.kind == BidKind::Automatic)
        ie->showWithoutFocus();
    else
        ie->show();
}

void BidTask::refuse(const QString &reason)
{
    finish(BidOutcome::NotStarted, reason);
}

void BidTask::IE_DocumentComplete(const QUrl &url, bool topLevel)
{
    // A frame of the page says nothing about the step: the page itself does.
    if (!topLevel || finished())
        return;
    m_lastPage = url;
    switch (m_stage) {
    case Stage::ItemPage:
        itemPageStep(url);
        break;
    case Stage::SignIn:
        signInStep(url);
        break;
    case Stage::Answer: {
        const BidAnswer answer = readBidAnswer(m_ie->documentTitle(), m_ie->documentText());
        finish(answer.outcome, answer.message);
        break;
    }
    case Stage::Done:
        break;
    }
}

int BidTask::formWith(const QString &name) const
{
    for (const int form : { kBidForm, kFallbackForm }) {
        for (int element = 0; element < m_ie->elementCount(form); ++element) {
            if (m_ie->elementName(form, element) == name)
                return form;
        }
    }
    return -1;
}

int BidTask::signInForm() const
{
    const int withPassword = formWith(QStringLiteral("pass"));
    if (withPassword >= 0)
        return withPassword;
    // Already signed in: the form that confirms the bid has no account fields, but it posts
    // to the bid flow's own address.
    for (const int form : { kBidForm, kFallbackForm }) {
        if (m_ie->elementCount(form) >= 0 && isRealBidSignInPage(m_ie->formAction(form), m_ctx.itemPage))
            return form;
    }
    return -1;
}

void BidTask::fillFirst(int form, const QString &name, const QString &value)
{
    for (int element = 0; element < m_ie->elementCount(form); ++element) {
        if (m_ie->elementName(form, element) == name) {
            m_ie->setElementValue(form, element, value);
            return;
        }
    }
}

bool BidTask::mayPost(int form, const QString &what)
{
    const QUrl target = m_ie->formAction(form);
    if (isAllowedFormTarget(target, m_ctx.itemPage))
        return true;
    finish(BidOutcome::TargetNotAllowed,
        what + u" would have gone to " + shown(target) + u", not to the auction site " + m_ctx.itemPage.text
            + u"; it was not sent");
    return false;
}

void BidTask::itemPageStep(const QUrl &url)
{
    // Until the item's own page is there, the bid waits (its deadline still runs).
    if (!isBidItemPage(url, m_ctx.itemPage, m_record.item))
        return;
    const int form = formWith(QStringLiteral("maxbid"));
    if (form < 0) {
        finish(BidOutcome::PageChanged, QStringLiteral("the bid form was not found on the item page"));
        return;
    }
    if (!mayPost(form, QStringLiteral("the bid form")))
        return;
    fillFirst(form, QStringLiteral("maxbid"), m_record.amount.toText());
    fillFirst(form, QStringLiteral("quant"), QString::number(m_record.quantity));
    m_ie->submitForm(form);
    m_record.bidFormAt = m_ctx.clock.now();
    m_stage = Stage::SignIn;
    Q_EMIT progressed(m_record);
}

void BidTask::signInStep(const QUrl &url)
{
    // A fill-in expects the sign-in page at exactly the flow's address; a real bid accepts it in
    // either section of the site and in any letter case.
    const bool signInPage
        = isFillIn() ? isFillInSignInPage(url, m_ctx.itemPage) : isRealBidSignInPage(url, m_ctx.itemPage);
    const int form = signInPage ? signInForm() : -1;
    if (form >= 0) {
        // The password goes into no form that would carry it elsewhere, not even one the user
        // is left to send.
        if (!mayPost(form, QStringLiteral("the sign-in form")))
            return;
        const BidAccount account = m_ctx.account ? m_ctx.account() : BidAccount {};
        fillFirst(form, QStringLiteral("user"), account.user);
        fillFirst(form, QStringLiteral("pass"), account.password);
        m_record.signInAt = m_ctx.clock.now();
        if (isFillIn()) {
            finish(BidOutcome::FilledIn,
                QStringLiteral("the sign-in is filled in; confirm the bid in its window"));
            return;
        }
        m_ie->submitForm(form);
        m_stage = Stage::Answer;
        Q_EMIT progressed(m_record);
        return;
    }
    // No sign-in form: the site may have answered the bid form itself.
    const BidAnswer answer = readBidAnswer(m_ie->documentTitle(), m_ie->documentText());
    if (answer.outcome == BidOutcome::Refused || answer.outcome == BidOutcome::SignInRefused)
        finish(answer.outcome, answer.message);
    else if (isFillIn() && !signInPage)
        finish(BidOutcome::FilledIn,
            QStringLiteral("the bid form was sent; sign in and confirm the bid in its window"));
    else if (signInPage)
        finish(BidOutcome::PageChanged, QStringLiteral("the sign-in form was not found on the sign-in page"));
    else
        finish(BidOutcome::PageChanged, u"the sign-in page did not come; the window shows " + shown(url));
}

void BidTask::onLoadFailed(const QString &reason)
{
    if (m_stage == Stage::Answer)
        finish(BidOutcome::Unreachable,
            u"the site's answer did not load (" + reason + u"); check the item on the site");
    else
        finish(BidOutcome::Unreachable, u"the site could not be reached: " + reason);
}

void BidTask::onWindowClosed()
{
    switch (m_stage) {
    case Stage::ItemPage:
        finish(BidOutcome::WindowClosed, QStringLiteral("closed before the bid form was sent"));
        break;
    case Stage::SignIn:
        finish(BidOutcome::WindowClosed, QStringLiteral("closed before the sign-in was sent"));
        break;
    default:
        finish(BidOutcome::WindowClosed,
            QStringLiteral("closed before the site's answer; check the item on the site"));
        break;
    }
}

void BidTask::itemRemoved()
{
    if (m_stage == Stage::ItemPage || m_stage == Stage::SignIn)
        finish(BidOutcome::ItemRemoved,
            QStringLiteral("the item was removed from the list; nothing more was sent"));
}

void BidTask::checkDeadline()
{
    if (finished() || m_ctx.clock.now() < deadline())
        return;
    const QString limit = QString::number(kDeadlineSeconds);
    switch (m_stage) {
    case Stage::ItemPage:
        finish(BidOutcome::TimedOut,
            u"the item page did not come within " + limit + u" s"
                + (m_lastPage.isEmpty() ? QString() : u"; the window shows " + shown(m_lastPage)));
        break;
    case Stage::SignIn:
        finish(BidOutcome::TimedOut, u"the sign-in page did not come within " + limit + u" s");
        break;
    default:
        finish(BidOutcome::TimedOut,
            u"no answer within " + limit + u" s after the sign-in was sent; check the item on the site");
        break;
    }
}

void BidTask::finish(BidOutcome outcome, const QString &message)
{
    if (finished())
        return;
    m_stage = Stage::Done;
    m_record.outcome = outcome;
    m_record.message = message;
    m_record.answerAt = m_ctx.clock.now();
    // The window stays open and belongs to the user; this bid drives it no more.
    if (m_ie) {
        disconnect(m_ie.get(), nullptr, this, nullptr);
        m_ie->release();
    }
    qCInfo(lcAutoBid, "%s bid %llu on item %s: %s%s%s", qPrintable(bidKindText(m_record.kind)),
        static_cast<unsigned long long>(m_record.serial), qPrintable(m_record.item),
        qPrintable(bidOutcomeText(outcome)), message.isEmpty() ? "" : ": ", qPrintable(message));
    Q_EMIT ended(m_record);
}

} // namespace th
