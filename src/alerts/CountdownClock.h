#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

namespace th {

class WatchItems;

// What the countdown clock counts down to: a copy of the item's end taken when the clock is
// opened (a later update of the item does not reach it), and the tip its labels show.
struct ClockTarget {
    QDateTime endTime; // becomes ClockEndTime
    QString tip; // "Item#: <number>, " CR LF <trimmed title>
};

// The clock for the row whose text is `selectedRowText`: the first record whose item number
// equals the numeric value of that text. Nothing for an empty text or when no record matches
// (a row no update has written yet has item number 0 and matches nothing).
std::optional<ClockTarget> clockTargetFor(const QString &selectedRowText, const WatchItems &records);

// The face of the clock at one moment.
struct CountdownDisplay {
    // The end is not later than now: "Auction Ended" goes over the digits last shown and
    // nothing else changes, the colour included.
    bool ended = false;
    // 1 to 300 whole seconds left: the warning colour instead of the normal one.
    bool warning = false;
    // "<days>dy,<hours>", minutes and seconds, two digits each but the days. Empty while no
    // whole second is left before an end still to come: the digits then stay as they are.
    QString daysHours;
    QString minutes;
    QString seconds;

    bool writesDigits() const { return !daysHours.isEmpty(); }
};

// The face for `secondsLeft` whole seconds before an end still to come.
CountdownDisplay countdownDisplay(qint64 secondsLeft);
// The face at `now` for an end at `endTime`, counting whole-second boundaries of real
// elapsed time, so a daylight-saving change in between does not shift it.
CountdownDisplay countdownDisplay(const QDateTime &now, const QDateTime &endTime);

// The three fixed sizes of the clock window, by the index of optSizeBig.
enum class ExtraLabels { Shown, Hidden, LeftAsTheyAre };
struct ClockSize {
    int widthTwips = 0;
    int heightTwips = 0;
    int digitPointSize = 0;
    ExtraLabels extraLabels = ExtraLabels::Shown;
};
inline constexpr int kClockSizeCount = 3;
inline constexpr int kClockSizeBig = 0;
// Index 0 big, 1 medium, 2 small.
const ClockSize &clockSize(int index);

// Screen twips: 15 to the pixel (1440 an inch at 96 dots an inch).
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// The size index stored under [User] LargeScreen: a missing or empty entry means big; any
// text other than 0, 1 or 2 selects no size at all.
std::optional<int> clockSizeFromText(const QString &storedText);

} // namespace th
