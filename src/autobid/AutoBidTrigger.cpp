#include "autobid/AutoBidTrigger.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

#include "autobid/AutoBidLog.h"
#include "autobid/BidGroupBook.h"
#include "autobid/BidRunner.h"
#include "autobid/BidSettings.h"
#include "clock/AutoClockCheck.h"
#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/ItemNumber.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "platform/IClock.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchStore.h"

namespace th {

AutoBidTrigger::AutoBidTrigger(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
}

void AutoBidTrigger::attachTimer(QTimer &timer)
{
    m_timer = &timer;
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &AutoBidTrigger::onTick);
}

void AutoBidTrigger::startTicking()
{
    if (m_timer && !m_timer->isActive())
        m_timer->start(msecsToNextTick(m_ctx.clock.now()));
}

void AutoBidTrigger::onTick()
{
    tmrChkAutoBid_Timer();
    // Realigned at every tick, on the clock the check compares with; a timer switched off
    // meanwhile stays off.
    if (m_timer && m_timer->isActive())
        m_timer->start(msecsToNextTick(m_ctx.clock.now()));
}

int AutoBidTrigger::msecsToNextTick(const QDateTime &now)
{
    return kTickMsecs - now.time().msec() + kAfterSecondMsecs;
}

void AutoBidTrigger::tmrChkAutoBid_Timer()
{
    // A tick that outlasts a second would otherwise start the next one inside itself.
    if (m_ticking)
        return;
    m_ticking = true;
    const auto done = qScopeGuard([this] { m_ticking = false; });

    if (m_ctx.groups)
        m_ctx.groups->followRecords();
    int active = 0;
    bool quieted = false;
    // Instants are compared, read once for the whole list: nothing else runs until an item
    // acts.
    qint64 now = m_ctx.clock.now().toMSecsSinceEpoch();
    for (int i = 1; i <= m_ctx.records.count(); ++i) {
        WatchItemRecord &record = m_ctx.records.at(i);
        const qint64 secondsLeft = secondBoundaries(now, record.recEndDate.instant());
        if (record.recMaxAutoBid > Money {} && secondsLeft > 0)
            ++active;
        // Outbid beyond the maximum, or nothing to buy: this item is done with.
        if (record.recMaxAutoBid < record.recCurrentPrice + record.recBidIncrement
            || record.recMaxQuantity < 1)
            continue;
        const BidMomentCall call = record.recAutoBidState == 0
            ? m_moments.check(itemNumberText(record.recItemNumber), secondsLeft, record.recMaxTimeLeft)
            : BidMomentCall::NotYet;
        if (call == BidMomentCall::FireNow) {
            // A member its group holds back at its moment keeps the periodic work quiet.
            if (!fireIfGroupLets(i, secondsLeft)) {
                quietWindow();
                quieted = true;
            }
        } else if (call == BidMomentCall::Missed) {
            tellMissed(record);
        } else if (secondsLeft > 0 && secondsLeft <= qint64(record.recMaxTimeLeft) + kQuietSeconds) {
            // A member cancelled by its group has nothing left to keep quiet for.
            if (checkGroupBeforeMoment(record)) {
                quietWindow();
                quieted = true;
            }
        } else {
            continue;
        }
        // An item acted: the window and the network have their turn before the next item. Rows
        // may be removed or re-sorted meanwhile, so the records are read afresh, and so is now.
        QCoreApplication::processEvents();
        now = m_ctx.clock.now().toMSecsSinceEpoch();
    }
    // The last item's quiet window is over (its end has passed, or it went from the list):
    // the periodic work runs again, also when its bid window never reached the sign-in page
    // that would have started it.
    if (m_quietWindowOn && !quieted)
        restartPeriodicWork();
    m_quietWindowOn = quieted;
    Q_EMIT autoBidStatusChanged(
        active < 1 ? QStringLiteral("No Auto-Bid") : u"Auto-Bid (" + QString::number(active) + u')');
}

void AutoBidTrigger::quietWindow()
{
    if (m_ctx.settings.AutoAdjustTimeB4Bid != 0)
        m_ctx.clockCheck.RunAutoClockCheck();
    m_ctx.clockCheck.pause();
    m_ctx.engine.quietUpdates();
    Q_EMIT alertChecksQuieted();
}

void AutoBidTrigger::fire(int index, qint64 secondsLeft)
{
    WatchItemRecord &record = m_ctx.records.at(index);
    record.recAutoBidState = 1;
    record.recAutoBidFiredAt = m_ctx.clock.now();
    const QString item = itemNumberText(record.recItemNumber);
    qCInfo(
        lcAutoBid, "automatic bid for item %s fires with %lld seconds left", qPrintable(item), secondsLeft);
    Q_EMIT bidFired(item);
    // The group counts the bid from now: another member's moment may come before its answer.
    if (m_ctx.groups)
        m_ctx.groups->setState(item, GroupMemberState::Placed);
    StartRealBid(index);
    // The moment goes under the key of the item that fired, not the selected row's.
    SaveRegString(m_ctx.store, RegRoot::CurrentUser, itemKeyPath(item),
        QString::fromUtf16(ItemValue::AutoBidAt), dateTimeText(m_ctx.clock.now()).trimmed());
    restartPeriodicWork();
}

bool AutoBidTrigger::fireIfGroupLets(int index, qint64 secondsLeft)
{
    if (!m_ctx.groups) {
        fire(index, secondsLeft);
        return true;
    }
    const QString item = itemNumberText(m_ctx.records.at(index).recItemNumber);
    const GroupDecision decision = m_ctx.groups->groups().call(item, m_ctx.clock.now());
    switch (decision.call) {
    case GroupCall::Fire:
        fire(index, secondsLeft);
        return true;
    case GroupCall::Cancel:
        cancelGroupMember(item, decision.reason);
        return true;
    case GroupCall::Wait:
        break;
    }
    return false;
}

bool AutoBidTrigger::checkGroupBeforeMoment(const WatchItemRecord &record)
{
    if (!m_ctx.groups || record.recAutoBidState != 0)
        return true;
    const QString item = itemNumberText(record.recItemNumber);
    const GroupDecision decision = m_ctx.groups->groups().call(item, m_ctx.clock.now());
    if (decision.call == GroupCall::Cancel) {
        cancelGroupMember(item, decision.reason);
        return false;
    }
    if (decision.call != GroupCall::Wait || decision.reason.isEmpty() || m_heldBackTold.contains(item))
        return true;
    m_heldBackTold.insert(item);
    qCInfo(lcAutoBid, "item %s: %s", qPrintable(item), qPrintable(decision.reason));
    Q_EMIT groupMemberNoted(groupRecord(record, BidOutcome::HeldBack, decision.reason), false);
    return true;
}

BidRecord AutoBidTrigger::groupRecord(
    const WatchItemRecord &record, BidOutcome outcome, const QString &reason) const
{
    BidRecord noted;
    noted.item = itemNumberText(record.recItemNumber);
    noted.title = record.recTitle.trimmed();
    noted.kind = BidKind::Automatic;
    noted.amount = record.recMaxAutoBid;
    noted.quantity = record.recMaxQuantity;
    noted.leadSeconds = record.recMaxTimeLeft;
    noted.group = m_ctx.groups ? m_ctx.groups->groupOf(noted.item) : QString();
    noted.answerAt = m_ctx.clock.now();
    noted.outcome = outcome;
    noted.message = reason;
    return noted;
}

void AutoBidTrigger::cancelGroupMember(const QString &item, const QString &reason, bool tellUser)
{
    const QString number = item.trimmed();
    const int index = m_ctx.records.find(number.toDouble());
    WatchItemRecord *record = index > 0 ? &m_ctx.records.at(index) : nullptr;
    if (!record || record->recMaxAutoBid <= Money {})
        return;
    const BidRecord noted = groupRecord(*record, BidOutcome::Cancelled, reason);
    deleteAutoBid(m_ctx.store, number, record, /*keepTraces=*/false);
    m_moments.forget(number);
    m_heldBackTold.remove(number);
    if (m_ctx.groups)
        m_ctx.groups->setState(number, GroupMemberState::Cancelled);
    qCInfo(lcAutoBid, "automatic bid for item %s cancelled: %s", qPrintable(number), qPrintable(reason));
    Q_EMIT groupMemberNoted(noted, tellUser);
}

void AutoBidTrigger::tellMissed(const WatchItemRecord &record)
{
    const QString item = itemNumberText(record.recItemNumber);
    const QString title
        = record.recTitle.trimmed().isEmpty() ? QString() : QString(u" (" + record.recTitle.trimmed() + u')');
    const QString reason = u"The automatic bid on item " + item + title
        + u" was not placed: its moment went by while the clock jumped or the program was busy, and the item "
          u"has ended.";
    qCWarning(lcAutoBid, "%s", qPrintable(reason));
    Q_EMIT bidMissed(item, reason);
}

bool AutoBidTrigger::StartRealBid(int index, BidKind kind)
{
    if (!m_ctx.records.contains(index))
        return false;
    const WatchItemRecord record = m_ctx.records.at(index);
    const int lead = kind == BidKind::Automatic ? record.recMaxTimeLeft : 0;
    const QString item = itemNumberText(record.recItemNumber);
    const QString group
        = kind == BidKind::Automatic && m_ctx.groups ? m_ctx.groups->groupOf(item) : QString();
    const quint64 serial = m_ctx.runner.start(BidOrder { item, record.recTitle, kind, record.recMaxAutoBid,
        qBound<qint32>(0, record.recMaxQuantity, 32767), lead, group });
    // The updates run while the pages load.
    ResumeUpdates();
    return m_ctx.runner.task(serial) != nullptr;
}

void AutoBidTrigger::ResumeUpdates()
{
    m_ctx.engine.ResumeUpdates();
}

void AutoBidTrigger::restartPeriodicWork()
{
    ResumeUpdates();
    Q_EMIT alertChecksResumed();
    m_ctx.clockCheck.restartCounting();
}

} // namespace th
