#include "alerts/AlertCentre.h"

#include <QCoreApplication>
#include <QPointer>

#include "alerts/AlertState.h"
#include "alerts/PlaySoundFile.h"
#include "common/DateTimeMath.h"
#include "common/Numeric.h"
#include "common/Timers.h"
#include "config/AppSettings.h"
#include "platform/IClock.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th {

namespace {

constexpr qint32 kMinutesPerHour = 60;

// The first window: strictly less than the hours set; the second: at most the minutes set.
// Neither holds an item that has ended or ends within the current minute.
bool insideFirstWindow(qint64 minutesLeft, qint32 hours)
{
    return minutesLeft > 0 && minutesLeft < qint64(hours) * kMinutesPerHour;
}

bool insideSecondWindow(qint64 minutesLeft, qint32 minutes)
{
    return minutesLeft > 0 && minutesLeft <= minutes;
}

} // namespace

AlertCentre::AlertCentre(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    setUpTimer(tmrChkItemAlert, "tmrChkItemAlert", kCheckMsecs, false);
    setUpTimer(tmrFlashing, "tmrFlashing", kFlashMsecs, false);
    setUpTimer(tmrStopAlarmSound, "tmrStopAlarmSound", kAlarmPhaseMsecs, false);
    connect(&tmrChkItemAlert, &QTimer::timeout, this, &AlertCentre::CheckEndingItems);
    connect(&tmrFlashing, &QTimer::timeout, this, &AlertCentre::tmrFlashing_Timer);
    connect(&tmrStopAlarmSound, &QTimer::timeout, this, &AlertCentre::tmrStopAlarmSound_Timer);
}

void AlertCentre::CheckEndingItems()
{
    // Other events run between records; a tick that comes meanwhile finds the check busy.
    if (m_checking || m_ctx.model.rowCount() == 0)
        return;
    m_checking = true;
    const QPointer<AlertCentre> self(this);
    if (m_ctx.settings.FirstAlert >= 1)
        queueEntering(m_ctx.state.FirstAlertPending, m_ctx.state.FirstAlertDone, insideFirstWindow,
            m_ctx.settings.FirstAlert);
    if (!self)
        return;
    if (m_ctx.settings.SecondAlert >= 1)
        queueEntering(m_ctx.state.SecondAlertPending, m_ctx.state.SecondAlertDone, insideSecondWindow,
            m_ctx.settings.SecondAlert);
    if (!self)
        return;
    m_checking = false;

    const bool alerting = m_ctx.state.hasPending();
    if (alerting && m_ctx.settings.PlayAlertSound != 0 && !m_ctx.state.AlertQuiet) {
        // Switching the stop timer on again does not restart it: the phase ends 16 s after
        // its first sound, whatever the ticks in between.
        enableTimer(tmrStopAlarmSound);
        PlaySoundFile(m_ctx.sound, m_ctx.settings.gstrAlertTimeLeftSoundPath, m_ctx.defaultSoundPath);
    }
    if (alerting) {
        enableTimer(tmrFlashing);
    } else {
        disableTimer(tmrFlashing);
        Q_EMIT flashPhaseChanged(false);
    }
}

void AlertCentre::queueEntering(
    QList<double> &pending, const QList<double> &done, bool (*inside)(qint64, qint32), qint32 threshold)
{
    const QPointer<AlertCentre> self(this);
    // Instants are compared, now read once for the whole list: nothing else runs until an item
    // is queued.
    qint64 now = m_ctx.clock.now().toMSecsSinceEpoch();
    for (int i = 1; i <= m_ctx.records.count(); ++i) {
        const WatchItemRecord &record = m_ctx.records.at(i);
        const double item = record.recItemNumber;
        if (item == 0 || !record.recEndDate.isValid()
            || !inside(minuteBoundaries(now, record.recEndDate.instant()), threshold)
            || pending.contains(item) || done.contains(item))
            continue;
        pending.append(item);
        // Other events have their turn after each item queued. The records may change
        // meanwhile: their count is read again at every step, and a record is read whole at the
        // moment it is looked at, so its number and its end belong to the same item.
        QCoreApplication::processEvents();
        if (!self)
            return;
        now = m_ctx.clock.now().toMSecsSinceEpoch();
    }
}

void AlertCentre::tmrFlashing_Timer()
{
    FlashPhase = !FlashPhase;
    Q_EMIT flashPhaseChanged(FlashPhase);
}

void AlertCentre::tmrStopAlarmSound_Timer()
{
    disableTimer(tmrStopAlarmSound);
    m_ctx.state.AlertQuiet = true;
}

void AlertCentre::AcknowledgeAlerts()
{
    m_ctx.state.acknowledge();
}

void AlertCentre::pauseChecks()
{
    disableTimer(tmrChkItemAlert);
}

void AlertCentre::resumeChecks()
{
    enableTimer(tmrChkItemAlert);
}

void AlertCentre::resetLists()
{
    m_ctx.state.reset();
}

void AlertCentre::closeDown()
{
    for (QTimer *timer : { &tmrChkItemAlert, &tmrFlashing, &tmrStopAlarmSound })
        disableTimer(*timer);
}

void AlertCentre::moveAllPendingToDone()
{
    AlertState &state = m_ctx.state;
    state.FirstAlertDone.append(state.FirstAlertPending);
    state.SecondAlertDone.append(state.SecondAlertPending);
    state.FirstAlertPending.clear();
    state.SecondAlertPending.clear();
}

EndingAlertView AlertCentre::openAlertWindow()
{
    AlertState &state = m_ctx.state;
    state.AlertQuiet = true;
    EndingAlertView view;
    if (!state.hasPending())
        return view;
    view.empty = false;
    const qsizetype hours = state.FirstAlertPending.size();
    const qsizetype minutes = state.SecondAlertPending.size();
    view.showHours = hours > 0;
    view.hoursText
        = QStringLiteral("Total Item will be ended in %1 hr.: %2").arg(m_ctx.settings.FirstAlert).arg(hours);
    view.showMinutes = minutes > 0;
    view.minutesText = QStringLiteral("Total Item will be ended in %1 min.: %2")
                           .arg(m_ctx.settings.SecondAlert)
                           .arg(minutes);
    view.totalText = QStringLiteral("New Ending Item(s): %1").arg(hours + minutes);
    // The more urgent item first; its row's own text names it, never the number as such.
    for (const QList<double> *list : { &state.SecondAlertPending, &state.FirstAlertPending }) {
        if (list->isEmpty() || !view.rowToSelect.isEmpty())
            continue;
        for (int row = 0; row < m_ctx.model.rowCount(); ++row) {
            const QString text = m_ctx.model.rowText(row).trimmed();
            if (numericValue(text) == list->first()) {
                view.rowToSelect = text;
                break;
            }
        }
    }
    moveAllPendingToDone();
    return view;
}

void AlertCentre::alertWindowClosed()
{
    m_ctx.state.AlertQuiet = false;
    moveAllPendingToDone();
}

bool AlertCentre::hasPending() const
{
    return m_ctx.state.hasPending();
}

bool AlertCentre::browsePopUpDue(bool mainWindowActive) const
{
    return m_ctx.state.hasPending() && m_ctx.settings.SecondAlert >= 1 && m_ctx.settings.FirstAlert >= 1
        && mainWindowActive && !m_ctx.state.AlertQuiet && tmrFlashing.isActive();
}

} // namespace th
