#include "autobid/SleepGuardPolicy.h"

#include "autobid/AutoBidLog.h"
#include "autobid/AutoBidTrigger.h"
#include "common/DateTimeMath.h"
#include "common/ItemNumber.h"
#include "engine/UpdateEngine.h"
#include "platform/IClock.h"
#include "platform/ISleepGuard.h"
#include "watchlist/WatchItems.h"

namespace th {

namespace {

// Reviews come every half minute while the program runs; a longer gap since the last one
// means the computer slept in between.
constexpr qint64 kAwakeGapSeconds = 2 * SleepGuardPolicy::kReviewMsecs / 1000;

// Whether the trigger would still place the item's bid when its moment comes.
bool mayStillFire(const WatchItemRecord &record)
{
    return record.recMaxAutoBid > Money {} && record.recMaxQuantity >= 1 && record.recAutoBidState == 0
        && record.recMaxAutoBid >= record.recCurrentPrice + record.recBidIncrement;
}

// `now` is an instant: a review looks at every record and converts no local time for any.
qint64 secondsLeft(const WatchItemRecord &record, qint64 now)
{
    return record.recEndDate.isValid() ? secondBoundaries(now, record.recEndDate.instant()) : 0;
}

QString nameOf(const WatchItemRecord &record)
{
    const QString item = u"item " + itemNumberText(record.recItemNumber);
    return record.recTitle.isEmpty() ? item : item + u" (" + record.recTitle + u')';
}

} // namespace

SleepGuardPolicy::SleepGuardPolicy(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &SleepGuardPolicy::review);
    m_reviewTimer.setInterval(kReviewMsecs);
    connect(&m_reviewTimer, &QTimer::timeout, this, &SleepGuardPolicy::review);
    m_reviewTimer.start();
    connect(&m_ctx.guard, &ISleepGuard::resumed, this, &SleepGuardPolicy::systemResumed);
    connect(&m_ctx.guard, &ISleepGuard::unavailable, this, &SleepGuardPolicy::guardUnavailable);
}

void SleepGuardPolicy::reviewSoon()
{
    if (!m_soon.isActive())
        m_soon.start();
}

void SleepGuardPolicy::review()
{
    const QDateTime now = m_ctx.clock.now();
    const bool awake = m_lastReview.isValid() && secondBoundaries(m_lastReview, now) <= kAwakeGapSeconds;
    m_lastReview = now;
    const qint64 nowInstant = now.toMSecsSinceEpoch();
    QMap<double, QString> watched;
    QStringList due;
    for (int i = 1; i <= m_ctx.records.count(); ++i) {
        const WatchItemRecord &record = m_ctx.records.at(i);
        const qint64 left = secondsLeft(record, nowInstant);
        // A bid whose item ended while the computer slept stays for the wake-up to report,
        // whichever of the two the program hears of first.
        if (mayStillFire(record) && (left > 0 || (!awake && m_watched.contains(record.recItemNumber))))
            watched.insert(record.recItemNumber, nameOf(record));
        // A bid that has fired is still being placed in the browser until its item ends.
        const bool placing = record.recAutoBidState == 1 && record.recMaxAutoBid > Money {};
        if (left > 0 && left <= kGuardSeconds && (mayStillFire(record) || placing))
            due.append(nameOf(record));
    }
    m_watched = std::move(watched);

    QString why;
    if (due.size() == 1)
        why = u"Tallyhawk: the automatic bid on " + due.first() + u" is due within 30 minutes";
    else if (!due.isEmpty())
        why = u"Tallyhawk: the automatic bids on " + due.join(QStringLiteral(", "))
            + u" are due within 30 minutes";
    if (why == m_why)
        return;
    m_why = why;
    if (why.isEmpty()) {
        qCInfo(lcAutoBid, "the computer may sleep again");
        m_ctx.guard.release();
    } else {
        qCInfo(lcAutoBid, "keeping the computer awake: %s", qPrintable(why));
        m_ctx.guard.hold(why);
    }
}

void SleepGuardPolicy::systemResumed()
{
    const qint64 now = m_ctx.clock.now().toMSecsSinceEpoch();
    QStringList missed;
    for (auto it = m_watched.begin(); it != m_watched.end();) {
        const int index = m_ctx.records.find(it.key());
        if (index != 0 && mayStillFire(m_ctx.records.at(index))
            && secondsLeft(m_ctx.records.at(index), now) <= 0) {
            missed.append(it.value());
            it = m_watched.erase(it);
        } else {
            ++it;
        }
    }
    if (!missed.isEmpty()) {
        const QString text = u"The computer slept through the end of " + missed.join(QStringLiteral(", "))
            + (missed.size() == 1 ? QStringLiteral(": its automatic bid was not placed.")
                                  : QStringLiteral(": their automatic bids were not placed."));
        qCWarning(lcAutoBid, "%s", qPrintable(text));
        Q_EMIT userNotice(text);
    }
    updateAfterSleep();
    review();
}

void SleepGuardPolicy::updateAfterSleep()
{
    if (m_ctx.engine.updatesQuietedForBid()) {
        if (bidInQuietWindow()) {
            qCInfo(lcAutoBid, "woken up in an automatic bid's quiet window: no update now");
            return;
        }
        // The bid that quieted them came due while the computer slept and will never start
        // them again.
        m_ctx.trigger.restartPeriodicWork();
    }
    m_ctx.engine.updateNow();
}

bool SleepGuardPolicy::bidInQuietWindow() const
{
    const qint64 now = m_ctx.clock.now().toMSecsSinceEpoch();
    for (int i = 1; i <= m_ctx.records.count(); ++i) {
        const WatchItemRecord &record = m_ctx.records.at(i);
        if (record.recMaxAutoBid < record.recCurrentPrice + record.recBidIncrement
            || record.recMaxQuantity < 1)
            continue;
        const qint64 left = secondsLeft(record, now);
        if (left > 0 && left <= qint64(record.recMaxTimeLeft) + AutoBidTrigger::kQuietSeconds)
            return true;
    }
    return false;
}

void SleepGuardPolicy::guardUnavailable(const QString &reason)
{
    if (m_toldUnavailable)
        return;
    m_toldUnavailable = true;
    const QString text = u"Tallyhawk cannot keep the computer awake for an automatic bid (" + reason
        + u"): keep it from sleeping until the bid is placed.";
    qCWarning(lcAutoBid, "%s", qPrintable(text));
    Q_EMIT userNotice(text);
}

} // namespace th
