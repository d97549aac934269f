#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

namespace th {

class IClock;
class WatchItems;
class WatchListModel;

// The time left of an auction in the item page's own wording: "2 days, 3 hours +",
// "5 hours, 12 mins +", "4 mins 30 secs", "45 secs" (a count of one is "1 day", "1 hour",
// "1 min", "1 sec"); "Ended" when no second is left.
QString liveTimeLeftText(qint64 secondsLeft);

// Counts the "t-Remaining" column down between updates, when the user has asked for it:
// every second each row's text is written anew from its record's end (recEndDate). A row
// whose record has no end (the zero date) or belongs to no fetched item keeps its text, a
// row being updated is left alone, and rows never move. Off, the column shows the page's
// text as the last update wrote it.
class LiveTimeLeft final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LiveTimeLeft)

public:
    LiveTimeLeft(WatchListModel &model, WatchItems &records, IClock &clock, QObject *parent = nullptr);

    // Switches the countdown on (writing the column at once) or off (the column keeps what
    // it shows until the next update writes the page's text).
    void setEnabled(bool on);
    bool isEnabled() const { return tmrLiveTimeLeft.isActive(); }

    // One second of the countdown: rewrites the column of every row it may write.
    void tmrLiveTimeLeft_Timer();

    QTimer tmrLiveTimeLeft;

private:
    // What the countdown last wrote into a row, so that a text unchanged since is not worded
    // again every second for every row.
    struct WrittenCell {
        QString rowText;
        double item = 0;
        qint64 step = -1;
        qint64 steps = 0;
        QString text;
    };

    WatchListModel &m_model;
    WatchItems &m_records;
    IClock &m_clock;
    QList<WrittenCell> m_written;
};

} // namespace th
