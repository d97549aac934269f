#include "app/BidCommands.h"

#include <QRegularExpression>

#include "alerts/AlertCentre.h"
#include "app/UserNotifier.h"
#include "app/frmBidLog.h"
#include "app/frmWatch.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidAddresses.h"
#include "autobid/BidRunner.h"
#include "autobid/SleepGuardPolicy.h"
#include "common/Formats.h"
#include "common/Numeric.h"
#include "common/Version.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "platform/IBrowserFactory.h"
#include "platform/IBrowserSession.h"
#include "platform/IClock.h"
#include "platform/IPrompter.h"
#include "platform/IShell.h"
#include "store/RegistryFunctions.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

namespace th {

namespace {

constexpr int kTitleColumn = 1;
constexpr int kPriceColumn = 3;
constexpr int kQuantityColumn = 10;
const QString kCrLf = QStringLiteral("\r\n");

// A typed whole number as the bid form takes it: halves to even, within 16 bits.
std::optional<qint16> toQuantity(const QString &text)
{
    if (!isNumeric(text))
        return std::nullopt;
    const double value = numericValue(text.trimmed(), SignRule::AllowSign);
    if (value < -32768.5 || value > 32767.5)
        return std::nullopt;
    return qint16(roundHalfEven(value));
}

// The price column without its currency marks: "US $1,234.50" gives 1234.5.
double priceOf(const QString &column)
{
    static const QRegularExpression marks(
        QStringLiteral("US|GBP|\\$|,"), QRegularExpression::CaseInsensitiveOption);
    return numericValue(QString(column).remove(marks).trimmed());
}

} // namespace

BidCommands::BidCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    connectTrigger();
    m_ctx.window.offerInListMenu({ WatchCommand::FillInBid });
    connect(&m_ctx.window, &frmWatch::commandChosen, this, [this](WatchCommand command) {
        switch (command) {
        case WatchCommand::RealBidNow:
            return cmdTestAutoBid_Click();
        case WatchCommand::FillInBid:
            return cmdBidReady_Click();
        case WatchCommand::OpenHotmail:
            return mnuHotmail_Click();
        case WatchCommand::OpenYahooMail:
            return mnuYahoo_Click();
        case WatchCommand::OpenBidLog:
            return openBidLog();
        default:
            return;
        }
    });
}

BidCommands::~BidCommands() = default;

void BidCommands::connectTrigger()
{
    AutoBidTrigger &trigger = m_ctx.trigger;
    frmWatch &window = m_ctx.window;
    trigger.attachTimer(window.tmrChkAutoBid);
    connect(&trigger, &AutoBidTrigger::alertChecksQuieted, &m_ctx.alerts, &AlertCentre::pauseChecks);
    connect(&trigger, &AutoBidTrigger::alertChecksResumed, &m_ctx.alerts, &AlertCentre::resumeChecks);
    connect(&trigger, &AutoBidTrigger::autoBidStatusChanged, &window,
        [&window](const QString &text) { window.setStatusPanel(2, text); });
    // A bid whose moment went by is never silent, even with nobody at the window.
    UserNotifier &notifier = m_ctx.notifier;
    connect(&trigger, &AutoBidTrigger::bidMissed, &notifier,
        [&notifier](const QString &, const QString &reason) { notifier.tellUser(reason); });
    connect(&m_ctx.engine, &UpdateEngine::firstPassFinished, &trigger, &AutoBidTrigger::startTicking);
    // A bid set or removed, a row added, removed or moved: the lock follows at once.
    SleepGuardPolicy *guard = &m_ctx.sleepGuard;
    const WatchListModel *model = &m_ctx.model;
    connect(model, &QAbstractItemModel::dataChanged, guard, &SleepGuardPolicy::reviewSoon);
    connect(model, &QAbstractItemModel::rowsRemoved, guard, &SleepGuardPolicy::reviewSoon);
    connect(model, &QAbstractItemModel::modelReset, guard, &SleepGuardPolicy::reviewSoon);
    connect(model, &QAbstractItemModel::layoutChanged, guard, &SleepGuardPolicy::reviewSoon);
    connect(guard, &SleepGuardPolicy::userNotice, &notifier, &UserNotifier::tellUser);
}

QString BidCommands::selectedItem() const
{
    return m_ctx.window.selectedItem().trimmed();
}

void BidCommands::cmdTestAutoBid_Click()
{
    const QString item = selectedItem();
    if (item.isEmpty())
        return;
    const double number = numericValue(item);
    const int index = m_ctx.records.find(number);
    const Money amount = index > 0 ? m_ctx.records.at(index).recMaxAutoBid : Money {};
    const qint32 quantity = index > 0 ? m_ctx.records.at(index).recMaxQuantity : 0;
    if (amount <= Money {} || quantity < 1) {
        m_ctx.prompter.message(QStringLiteral("Please set bid value using Auto-Bid Mode"),
            QString::fromLatin1(kProgramTitle), PromptIcon::Critical, PromptButtons::Ok);
        return;
    }
    const QString title = m_ctx.model.subItem(m_ctx.model.findRow(item), kTitleColumn);
    const QString text = u"Do you want to make a REAL bid (base on setting from Auto-Bid) NOW?" + kCrLf
        + kCrLf + u"--------- Last warning....you are going to make a REAL bid now -------" + kCrLf + kCrLf
        + u"Item: " + title + kCrLf + u"Max-bid Price: " + amount.toText() + kCrLf + u"Quantity: "
        + QString::number(quantity);
    const PromptAnswer answer = m_ctx.prompter.message(
        text, QStringLiteral("Make a REAL Bid Now"), PromptIcon::None, PromptButtons::YesNo);
    if (answer == PromptAnswer::No)
        return;
    // The list may have changed while the question was open: the records are looked up anew.
    for (int i = 1; i <= m_ctx.records.count(); ++i) {
        WatchItemRecord &record = m_ctx.records.at(i);
        if (record.recItemNumber != number)
            continue;
        record.recAutoBidState = 1;
        record.recAutoBidFiredAt = m_ctx.clock.now();
        m_ctx.trigger.StartRealBid(i, BidKind::Real);
    }
}

void BidCommands::fillInFailed()
{
    m_ctx.prompter.message(QStringLiteral("There is an error, please retry again"),
        QStringLiteral("Error in cmdBidRead module"), PromptIcon::Critical, PromptButtons::Ok);
}

void BidCommands::cmdBidReady_Click()
{
    if (m_ctx.model.rowCount() == 0)
        return;
    const QString item = selectedItem();
    if (item.isEmpty()) {
        m_ctx.prompter.message(QStringLiteral("Please select an item first"),
            QStringLiteral("Error: No item selected"), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    if (m_ctx.settings.EBayID.isEmpty() && m_ctx.settings.EBayPWD.isEmpty() && m_ctx.openSettings)
        m_ctx.openSettings();

    // Every modal step lets the list change: the row is found again by its item each time.
    const auto column = [&](int index) { return m_ctx.model.subItem(m_ctx.model.findRow(item), index); };
    qint16 quantity = 1;
    const double offered = numericValue(column(kQuantityColumn));
    if (offered > 1) {
        const std::optional<QString> typed
            = m_ctx.prompter.input(QStringLiteral("Quantity > 1, How many do you want to bid?"),
                QStringLiteral("Quntity more than one, please specify"), QStringLiteral("1"));
        const std::optional<qint16> asked = typed ? toQuantity(*typed) : std::nullopt;
        if (!asked) {
            fillInFailed();
            return;
        }
        // Nothing, or less than nothing, cannot be bid for either.
        if (*asked > offered || *asked < 1) {
            m_ctx.prompter.message(QStringLiteral("You have enter the wrong number, please re-enter again"),
                QStringLiteral("Error: Wrong number"), PromptIcon::Information, PromptButtons::Ok);
            return;
        }
        quantity = *asked;
    }

    const double price = priceOf(column(kPriceColumn));
    if (!(price > 0)) {
        m_ctx.prompter.message(QStringLiteral("Program error in getting the current price"),
            QStringLiteral("Error: Wrong info"), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    const double note = numericValue(GetRegString(m_ctx.store, RegRoot::CurrentUser, itemKeyPath(item),
        QString::fromUtf16(ItemValue::MaxBid), QStringLiteral("0")));
    const int index = m_ctx.records.find(numericValue(item));
    const Money increment = index > 0 ? m_ctx.records.at(index).recBidIncrement : Money {};
    const Money minimum = Money::fromDouble(price) + increment;
    QString prompt
        = u"Please enter your MAX. bid price" + kCrLf + u"Starting from -->  " + formatMoney(minimum) + kCrLf;
    if (note != 0)
        prompt += u"Your current in mind Max-bid is >>> "
            + formatMoney(Money::fromDouble(note), MoneyFormat::DollarSpaced) + kCrLf;
    prompt += u"and Becareful about UNIT (US/GBP)";
    const QString typed
        = m_ctx.prompter.input(prompt, QStringLiteral("Maximum bid, please specify your bid"), QString())
              .value_or(QString());
    if (!isNumeric(typed) || numericValue(typed.trimmed(), SignRule::AllowSign) == 0) {
        m_ctx.prompter.message(QStringLiteral("Please enter your bid price first"),
            QStringLiteral("Cancle action"), PromptIcon::Critical, PromptButtons::Ok);
        return;
    }
    const Money amount = Money::fromDouble(numericValue(typed.trimmed(), SignRule::AllowSign));
    // Only an amount below the current price is refused: the site itself tells about the minimum.
    if (amount < Money::fromDouble(price)) {
        m_ctx.prompter.message(u"You have enter the wrong number or amount is less than current price,"
                + kCrLf + u"please re-enter again",
            QStringLiteral("Error: Wrong number"), PromptIcon::Information, PromptButtons::Ok);
        return;
    }

    m_ctx.shell.open(bidHistoryUrl(m_ctx.bidHistory, item).toString());
    const quint64 serial = m_ctx.runner.start(
        BidOrder { item, column(kTitleColumn).trimmed(), BidKind::FillIn, amount, quantity, 0 });
    if (!m_ctx.runner.task(serial))
        fillInFailed();
}

void BidCommands::mnuHotmail_Click()
{
    openWebMail(&AppSettings::HotmailID, &AppSettings::HotmailPWD, m_ctx.hotmail);
}

void BidCommands::mnuYahoo_Click()
{
    openWebMail(&AppSettings::YahooID, &AppSettings::YahooPWD, m_ctx.yahooMail);
}

void BidCommands::openWebMail(
    const QString AppSettings::*id, const QString AppSettings::*password, const HostPort &host)
{
    const auto missing
        = [&] { return (m_ctx.settings.*id).isEmpty() || (m_ctx.settings.*password).isEmpty(); };
    if (missing()) {
        if (m_ctx.openSettings)
            m_ctx.openSettings();
        if (missing()) {
            m_ctx.prompter.message(QStringLiteral("Please provide username and password first"),
                QStringLiteral("Error: Need User Information"), PromptIcon::Critical, PromptButtons::Ok);
            return;
        }
    }
    // The user signs in in the window; no bid is touched by it.
    std::unique_ptr<IBrowserSession> window = m_ctx.browser.createSession();
    if (!window)
        return;
    window->navigate(QUrl(u"http://" + host.text + u'/'));
    window->show();
    window->release();
    m_webMail.push_back(std::move(window));
}

frmBidLog *BidCommands::bidLogWindow() const
{
    return m_bidLogWindow;
}

void BidCommands::openBidLog()
{
    if (!m_bidLogWindow) {
        m_bidLogWindow = new frmBidLog(m_ctx.bidLog, &m_ctx.window);
        m_bidLogWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_bidLogWindow->show();
    m_bidLogWindow->raise();
    m_bidLogWindow->activateWindow();
}

} // namespace th
