// When the items are fetched: the all-items pass, the single-item update, the sequential
// pass, the minute counter of the automatic update, the countdown, and the locking of the
// commands while the engine works.

#include "engine/UpdateEngine.h"

#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/Numeric.h"
#include "common/Timers.h"
#include "config/AppSettings.h"
#include "engine/ItemPageParser.h"
#include "platform/IClock.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th {

namespace {
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kSecondsPerHour = 3600;
// The status-bar panel that no other text of the engine uses.
constexpr int kNotFoundPanel = 2;
} // namespace

UpdateEngine::UpdateEngine(Context context, QObject *parent)
    : QObject(parent)
    , m_applier(PageApplier::Context {
          context.model, context.records, context.store, context.settings, context.clockSync, context.clock })
    , m_pass(context.model, m_applier, context.clock)
    , m_sequential(context.model, m_applier, context.clock)
    , tmrSockTimeOut(m_pass.tmrSockTimeOut)
    , tmrSequentialWait(m_sequential.tmrSequentialWait)
    , m_ctx(context)
{
    setObjectName(QStringLiteral("UpdateEngine"));
    setUpTimer(tmrCheckBids, "tmrCheckBids", kMinuteTickMsecs, false);
    setUpTimer(tmNextUpdate, "tmNextUpdate", kCountdownTickMsecs, false);
    setUpTimer(tmrDelayUpdateBid, "tmrDelayUpdateBid", kDelayedPassMsecs, false, /*singleShot=*/true);
    connect(&tmrCheckBids, &QTimer::timeout, this, &UpdateEngine::tmrCheckBids_Timer);
    connect(&tmNextUpdate, &QTimer::timeout, this, &UpdateEngine::tmNextUpdate_Timer);
    connect(&tmrDelayUpdateBid, &QTimer::timeout, this, &UpdateEngine::tmrDelayUpdateBid_Timer);

    connect(&m_applier, &PageApplier::newBidAnnounced, this, &UpdateEngine::newBidAnnounced);
    // The row keeps what the page gave; the status bar names the item, once a run.
    connect(&m_applier, &PageApplier::itemNotFound, this, [this](const QString &item) {
        if (m_notFoundNamed.contains(item))
            return;
        m_notFoundNamed.insert(item);
        Q_EMIT statusChanged(kNotFoundPanel, u"Item " + item + u" was not found on the auction site");
    });
    connect(&m_pass, &PassEngines::statusChanged, this, &UpdateEngine::statusChanged);
    connect(&m_pass, &PassEngines::engineLabelChanged, this, &UpdateEngine::engineLabelChanged);
    connect(&m_pass, &PassEngines::entryStarted, this, &UpdateEngine::subInitial);
    connect(&m_pass, &PassEngines::passCompleted, this, &UpdateEngine::passEnd);
    connect(&m_pass, &PassEngines::lateAnswerApplied, this, &UpdateEngine::reSortRequested);
    connect(&m_pass, &PassEngines::pageAnswered, this, [this](const QString &item, const ItemPageData &page) {
        // The row still shows what the item's last page gave, before this one is applied.
        const int row = m_ctx.model.findRow(item);
        m_watchdog.pageAnswered(
            item, page, row >= 0 ? m_ctx.model.subItem(row, WatchListModel::ItemName) : QString());
    });
    // The pass goes on; the user hears of its failures once, when it ends.
    connect(&m_pass, &PassEngines::applyFailed, this, [this](const QString &message) {
        if (m_applyFailures++ == 0)
            m_firstApplyError = message;
    });
    connect(&m_sequential, &SequentialPass::statusChanged, this, &UpdateEngine::statusChanged);
    connect(&m_sequential, &SequentialPass::finished, this, &UpdateEngine::sequentialPassEnded);
}

UpdateEngine::~UpdateEngine() = default;

void UpdateEngine::setHosts(const HostPort &itemPage, const HostPort &main)
{
    m_itemPage = itemPage;
    m_pass.setHosts(itemPage, main);
    m_sequential.setHosts(itemPage, main);
}

void UpdateEngine::setSingleFetchDeadline(int msecs)
{
    m_fetchDeadline = msecs;
    m_sequential.setDeadline(msecs);
}

void UpdateEngine::shutDown()
{
    for (QTimer *timer : { &tmrCheckBids, &tmNextUpdate, &tmrDelayUpdateBid })
        disableTimer(*timer);
    m_pass.stop();
    m_sequential.stop();
}

QString UpdateEngine::rowItem(int row) const
{
    return m_ctx.model.rowText(row);
}

void UpdateEngine::setCommands(const CommandState &state)
{
    if (state == m_commands)
        return;
    m_commands = state;
    Q_EMIT commandsChanged(m_commands);
}

void UpdateEngine::lock(const CommandState &locked)
{
    setCommands(locked);
    disableTimer(tmrCheckBids);
    disableTimer(tmNextUpdate);
    Q_EMIT checksQuieted();
}

void UpdateEngine::subActive2()
{
    m_applyFailures = 0;
    m_firstApplyError.clear();
    m_watchdog.passStarted();
    m_pass.start();
}

void UpdateEngine::subInitial(int ListIndexIn, int ItemID)
{
    CommandState locked = m_commands;
    locked.trayUpdate = false;
    locked.addRemove = false;
    locked.updateOne = false;
    lock(locked);
    m_applier.markRowUpdating(ItemID - 1, QStringLiteral("Updating...(%1)").arg(ListIndexIn));
}

void UpdateEngine::restoreIdleState(IdleScope scope)
{
    if (scope == IdleScope::PassEnd) {
        setCommands(CommandState {});
    } else {
        // The single-item update took only these; Add and Remove stay as a running pass
        // left them.
        CommandState unlocked = m_commands;
        unlocked.trayUpdate = true;
        unlocked.updateAll = true;
        unlocked.updateOne = true;
        setCommands(unlocked);
    }
    ResumeUpdates();
    Q_EMIT checksResumed();
    m_notifyReady = true;
}

void UpdateEngine::passEnd(const QString &siteNotes)
{
    if (!m_autoBidStarted) {
        m_autoBidStarted = true;
        Q_EMIT firstPassFinished();
    }
    Q_EMIT reSortRequested();
    QString text = u"Last Update: " + formatDate(m_ctx.clock.now(), DateFormat::LongYear);
    if (!siteNotes.isEmpty())
        text += u"  (" + siteNotes + u")";
    text += checkPagesRead();
    Q_EMIT statusChanged(1, text);
    restoreIdleState(IdleScope::PassEnd);
    Q_EMIT passFinished();
    // Last: telling the user may wait in a box.
    tellApplyFailures();
}

void UpdateEngine::tellApplyFailures()
{
    if (m_applyFailures == 0)
        return;
    const QString message = m_applyFailures == 1
        ? u"The page of one item could not be applied in the last update: " + m_firstApplyError
        : QStringLiteral("The pages of %1 items could not be applied in the last update. The first error: %2")
              .arg(m_applyFailures)
              .arg(m_firstApplyError);
    m_applyFailures = 0;
    m_firstApplyError.clear();
    Q_EMIT passPagesNotApplied(message);
}

QString UpdateEngine::checkPagesRead()
{
    const auto isArmed = [this](const QString &item) {
        const int index = m_ctx.records.find(numericValue(item));
        if (index == 0)
            return false;
        const WatchItemRecord &record = m_ctx.records.at(index);
        return record.recMaxAutoBid > Money {} && record.recAutoBidState == 0;
    };
    const std::optional<ParserWatchdog::Report> report = m_watchdog.passEnded(isArmed);
    if (!report)
        return QString();
    const QString counted
        = QStringLiteral("%1 of %2 item pages read empty").arg(report->empty).arg(report->answered);
    QStringList items;
    QStringList named;
    for (const auto &[item, title] : report->armedItems) {
        items.append(item);
        named.append(title.isEmpty() ? item : item + u" (" + title + u")");
    }
    if (!report->toldBefore) {
        QString message = counted
            + u": the auction site has most likely changed its pages, and Tallyhawk cannot read them.";
        // Without an end date read from its page an automatic bid never comes due.
        if (!named.isEmpty())
            message += u" These automatic bids cannot fire while their pages read empty: " + named.join(u", ")
                + u".";
        Q_EMIT pagesReadEmpty(message);
    }
    // Where the desktop has no notification area the status bar is all the user sees; the
    // note is kept short enough to show beside the time of the update.
    QString note = QStringLiteral("  (%1 of %2 pages read empty, the site may have changed")
                       .arg(report->empty)
                       .arg(report->answered);
    if (!items.isEmpty())
        note += u"; automatic bids that cannot fire: " + items.join(u", ");
    return note + u")";
}

void UpdateEngine::setAutomaticUpdate(bool on)
{
    if (on) {
        enableTimer(tmrCheckBids);
        enableTimer(tmNextUpdate);
    } else {
        disableTimer(tmrCheckBids);
        disableTimer(tmNextUpdate);
    }
}

void UpdateEngine::quietUpdates()
{
    m_quietForBid = true;
    disableTimer(tmrCheckBids);
    disableTimer(tmNextUpdate);
}

void UpdateEngine::ResumeUpdates()
{
    m_quietForBid = false;
    m_minutes = 0;
    m_nextUpdate = m_ctx.clock.now().addSecs(qint64(m_ctx.settings.AutoUpdateEvery) * 60);
    enableTimer(tmrCheckBids);
    enableTimer(tmNextUpdate);
}

void UpdateEngine::tmrCheckBids_Timer()
{
    ++m_minutes;
    // A pass that outlasts the interval is let end: starting over would throw away what it
    // fetched, and on a slow site no pass would ever end. Its end counts the minutes afresh.
    if (m_minutes < m_ctx.settings.AutoUpdateEvery || m_pass.running())
        return;
    updateNow();
}

void UpdateEngine::updateNow()
{
    m_minutes = 0;
    disableTimer(tmNextUpdate);
    subActive2();
    m_nextUpdate = m_ctx.clock.now().addSecs(qint64(m_ctx.settings.AutoUpdateEvery) * 60);
    enableTimer(tmNextUpdate);
    Q_EMIT checksResumed();
}

void UpdateEngine::tmNextUpdate_Timer()
{
    const QDateTime now = m_ctx.clock.now();
    if (!m_nextUpdate.isValid() || m_nextUpdate <= now)
        return;
    qint64 s = secondBoundaries(now, m_nextUpdate);
    if (s <= 0)
        return;
    // Only the minutes within the hour are shown.
    s = (s % kSecondsPerDay) % kSecondsPerHour;
    if (s <= 0)
        return;
    Q_EMIT countdownCaptionChanged(u"Search   ----   [Time to the next update: " + formatTwoDigits(s / 60)
        + u":" + formatTwoDigits(s % 60) + u"]");
}

void UpdateEngine::updateOneBids(int row)
{
    if (m_fetch.busy())
        return;
    const QString item = rowItem(row);
    bool applied = false;
    if (m_ctx.model.rowCount() > 0 && row >= 0 && numericValue(item) > kSingleUpdateMinimumItem) {
        CommandState locked = m_commands;
        locked.trayUpdate = false;
        locked.updateAll = false;
        locked.updateOne = false;
        lock(locked);
        m_applier.markRowUpdating(row, QStringLiteral("Updating..."));
        // The fetch waits on the spot; nothing else runs until it returns.
        const Result<QByteArray> body = m_fetch.get(m_itemPage.host, m_itemPage.port, m_itemPage.text,
            u"/aw-cgi/eBayISAPI.dll?ViewItem&item=" + item, m_fetchDeadline);
        // A failure restores the idle state like any other end, without a message.
        if (body.ok()) {
            const Result<PageApplier::Outcome> outcome
                = m_applier.apply(ParseItemPage(body.value()), item, PageApplier::Variant::Single);
            if (!outcome.ok())
                Q_EMIT applyFailed(outcome.errorMessage());
            applied = outcome.ok();
        } else {
            m_ctx.model.setSubItem(row, WatchListModel::Price, QStringLiteral("Err."));
        }
    }
    Q_EMIT reSortRequested();
    // An automatic bid's quiet window outlasts the single-item update within it.
    const bool quietForBid = m_quietForBid;
    restoreIdleState(IdleScope::SingleUpdate);
    if (quietForBid)
        quietUpdates();
    if (applied)
        Q_EMIT oneItemUpdated(item.trimmed());
}

void UpdateEngine::tmrDelayUpdateBid_Timer()
{
    disableTimer(tmrDelayUpdateBid);
    updateBids();
}

void UpdateEngine::updateBids()
{
    const int rows = m_ctx.model.rowCount();
    Q_EMIT statusChanged(3, QStringLiteral("Total Item(s): %1").arg(rows));
    if (rows == 0 || m_sequential.running())
        return;
    Q_EMIT statusChanged(1, QStringLiteral("Updating......stay cool...."));
    CommandState locked = m_commands;
    locked.trayUpdate = false;
    locked.addRemove = false;
    locked.updateAll = false;
    lock(locked);
    for (int row = 0; row < rows; ++row)
        m_applier.markRowUpdating(row, QStringLiteral("Updating..."));
    m_sequential.start();
}

void UpdateEngine::sequentialPassEnded(bool completed)
{
    CommandState unlocked = m_commands;
    unlocked.trayUpdate = true;
    unlocked.addRemove = true;
    unlocked.updateOne = true;
    // "Update All" comes back too: nothing else would enable it before the next pass ends.
    unlocked.updateAll = true;
    setCommands(unlocked);
    ResumeUpdates();
    Q_EMIT checksResumed();
    // Every row's page was read, as after an all-items pass: what follows a pass (the end
    // notices, the calendar file) follows this one too. A pass cut short read only part.
    if (completed)
        Q_EMIT passFinished();
}

} // namespace th
