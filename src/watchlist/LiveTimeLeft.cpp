#include "watchlist/LiveTimeLeft.h"

#include "common/DateTimeMath.h"
#include "common/Numeric.h"
#include "common/Timers.h"
#include "platform/IClock.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th {

namespace {

// The end a page without one leaves in the record.
const QDate kZeroDate(1899, 12, 30);

QString count(qint64 number, const char *singular, const char *plural)
{
    return QStringLiteral("%1 %2").arg(number).arg(QLatin1String(number == 1 ? singular : plural));
}

// How many seconds one step of the wording is: an hour while days are shown, a minute while
// hours are, a second below that; "Ended" is one step of its own.
qint64 wordingStep(qint64 secondsLeft)
{
    if (secondsLeft <= 0)
        return 0;
    if (secondsLeft >= 86400)
        return 3600;
    return secondsLeft >= 3600 ? 60 : 1;
}

} // namespace

QString liveTimeLeftText(qint64 secondsLeft)
{
    if (secondsLeft <= 0)
        return QStringLiteral("Ended");
    const qint64 days = secondsLeft / 86400;
    const qint64 hours = secondsLeft % 86400 / 3600;
    const qint64 minutes = secondsLeft % 3600 / 60;
    const qint64 seconds = secondsLeft % 60;
    if (days > 0)
        return QStringLiteral("%1, %2 +").arg(count(days, "day", "days"), count(hours, "hour", "hours"));
    if (hours > 0)
        return QStringLiteral("%1, %2 +").arg(count(hours, "hour", "hours"), count(minutes, "min", "mins"));
    if (minutes > 0)
        return QStringLiteral("%1 %2").arg(count(minutes, "min", "mins"), count(seconds, "sec", "secs"));
    return count(seconds, "sec", "secs");
}

LiveTimeLeft::LiveTimeLeft(WatchListModel &model, WatchItems &records, IClock &clock, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_records(records)
    , m_clock(clock)
{
    setUpTimer(tmrLiveTimeLeft, "tmrLiveTimeLeft", 1000, false);
    connect(&tmrLiveTimeLeft, &QTimer::timeout, this, &LiveTimeLeft::tmrLiveTimeLeft_Timer);
}

void LiveTimeLeft::setEnabled(bool on)
{
    if (!on) {
        disableTimer(tmrLiveTimeLeft);
        return;
    }
    if (isEnabled())
        return;
    enableTimer(tmrLiveTimeLeft);
    tmrLiveTimeLeft_Timer();
}

void LiveTimeLeft::tmrLiveTimeLeft_Timer()
{
    // Instants are compared: no record's end is converted from local time again.
    const qint64 now = m_clock.now().toMSecsSinceEpoch();
    const int rows = m_model.rowCount();
    m_written.resize(rows);
    for (int row = 0; row < rows; ++row) {
        // A row being updated shows "Updating..." in its price until its page arrives.
        if (m_model.subItem(row, WatchListModel::Price).contains(u"Updating"))
            continue;
        if (!m_records.contains(row + 1))
            continue;
        const WatchItemRecord &record = m_records.at(row + 1);
        WrittenCell &written = m_written[row];
        const QString rowText = m_model.rowText(row);
        const bool sameRow = rowText == written.rowText && record.recItemNumber == written.item;
        // Only the record of the row's own item counts, and only once a page gave it an end.
        if (record.recItemNumber == 0
            || (!sameRow && record.recItemNumber != numericValue(rowText.trimmed())))
            continue;
        if (!record.recEndDate.isValid() || record.recEndDate.date() == kZeroDate)
            continue;
        const qint64 secondsLeft = secondBoundaries(now, record.recEndDate.instant());
        // A text that reads in days changes once an hour: it is worded again only then, or
        // when something else has written the cell meanwhile.
        const qint64 step = wordingStep(secondsLeft);
        const qint64 steps = step == 0 ? 0 : secondsLeft / step;
        if (sameRow && step == written.step && steps == written.steps
            && m_model.subItem(row, WatchListModel::TimeRemaining) == written.text)
            continue;
        const QString text = liveTimeLeftText(secondsLeft);
        m_model.setSubItem(row, WatchListModel::TimeRemaining, text);
        // The row reads as ended at once, not only after the next update.
        if (secondsLeft <= 0)
            m_model.setEnded(row, true);
        written = WrittenCell { rowText, record.recItemNumber, step, steps, text };
    }
}

} // namespace th
