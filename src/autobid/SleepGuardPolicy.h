#pragma once

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

namespace th {

class AutoBidTrigger;
class IClock;
class ISleepGuard;
class UpdateEngine;
class WatchItems;

// Keeps the computer awake while an automatic bid is due within the next half hour, and
// deals with a computer that slept all the same (a closed lid, a forced sleep): when it wakes
// up the items are updated at once, unless a bid's quiet window is on, and every armed bid
// whose item ended meanwhile is named to the user. A bid still to come follows the trigger.
class SleepGuardPolicy final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SleepGuardPolicy)

public:
    // How long before its item's end an armed bid keeps the computer awake.
    static constexpr qint64 kGuardSeconds = 30 * 60;
    static constexpr int kReviewMsecs = 30000;

    struct Context {
        WatchItems &records;
        IClock &clock;
        ISleepGuard &guard;
        UpdateEngine &engine;
        AutoBidTrigger &trigger;
    };

    explicit SleepGuardPolicy(Context context, QObject *parent = nullptr);

    // Takes, replaces or gives back the lock for the bids due now. Runs every kReviewMsecs.
    void review();
    // The list or a bid changed: a review follows once the event loop is free.
    void reviewSoon();
    // The computer has woken up from sleep.
    void systemResumed();

Q_SIGNALS:
    // Something the user must hear of even with nobody at the window: bids slept through,
    // a guard that cannot keep the computer awake.
    void userNotice(const QString &text);

private:
    void guardUnavailable(const QString &reason);
    // The update after a sleep, or the reason there is none.
    void updateAfterSleep();
    bool bidInQuietWindow() const;

    Context m_ctx;
    QTimer m_reviewTimer;
    QTimer m_soon;
    // The reason of the lock asked for; empty while none is.
    QString m_why;
    // The armed bids with time left at the last review, by item number, with their names.
    QMap<double, QString> m_watched;
    QDateTime m_lastReview;
    bool m_toldUnavailable = false;
};

} // namespace th
