#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace th {

class IClock;
class ISoundPlayer;
class WatchItems;
class WatchListModel;
struct AlertState;
struct AppSettings;

// What the ending-alert window shows when it opens.
struct EndingAlertView {
    bool empty = true; // nothing was pending: the window keeps its design texts
    bool showHours = false;
    QString hoursText;
    bool showMinutes = false;
    QString minutesText;
    QString totalText;
    // The row text of the most urgent item, to be selected in the list; empty for none.
    QString rowToSelect;
};

// The ending-item check: every few seconds it queues the items that have come within the
// user's two alert windows before their end, blinks the tray icon and sounds the alarm
// while anything is queued, and tells the ending-alert window what to show. Each item is
// announced once per window for the life of the program.
class AlertCentre final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertCentre)

public:
    static constexpr int kCheckMsecs = 5000;
    static constexpr int kFlashMsecs = 500;
    // The alarm sounds at every check for this long after the first sound of a phase.
    static constexpr int kAlarmPhaseMsecs = 16000;

    struct Context {
        AlertState &state;
        const WatchItems &records;
        const WatchListModel &model;
        const AppSettings &settings;
        IClock &clock;
        ISoundPlayer &sound;
        QString defaultSoundPath;
    };

    explicit AlertCentre(Context context, QObject *parent = nullptr);

    // The tick of tmrChkItemAlert. It lets other events run after each item it queues and is
    // safe against being entered again meanwhile.
    void CheckEndingItems();
    void tmrFlashing_Timer();
    void tmrStopAlarmSound_Timer();
    // The user has looked at the list: what was pending is done, the alarm may sound again.
    void AcknowledgeAlerts();
    // The update engine and the auto-bid trigger pause the check while they work.
    void pauseChecks();
    void resumeChecks();
    // The lists start empty (the resource window loads).
    void resetLists();
    // The end of the program: every timer off.
    void closeDown();

    // Something is queued that the ending-alert window has not shown yet.
    bool hasPending() const;
    // The ending-alert window opens: it quiets the alarm, and what was pending is done.
    EndingAlertView openAlertWindow();
    // It closes, by any means.
    void alertWindowClosed();
    // Whether the window pops up at the browse tick: something pending, both thresholds set,
    // the main window in use, the alarm not quieted, and the tray blinking.
    bool browsePopUpDue(bool mainWindowActive) const;

    bool FlashPhase = false;
    QTimer tmrChkItemAlert;
    QTimer tmrFlashing;
    QTimer tmrStopAlarmSound;

Q_SIGNALS:
    // The tray icon (or the main window's, without a notification area) is to show the
    // blank image (`blank`) or the program's own.
    void flashPhaseChanged(bool blank);

private:
    // Queues into `pending` the records whose minutes left are inside the window.
    void queueEntering(
        QList<double> &pending, const QList<double> &done, bool (*inside)(qint64, qint32), qint32 threshold);
    void moveAllPendingToDone();

    Context m_ctx;
    bool m_checking = false;
};

} // namespace th
