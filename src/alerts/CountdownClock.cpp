#include "alerts/CountdownClock.h"

#include <array>

#include <QLocale>

#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/Numeric.h"
#include "watchlist/WatchItems.h"

namespace th {

namespace {

constexpr qint64 kWarningSeconds = 300;

constexpr std::array<ClockSize, kClockSizeCount> kClockSizes { {
    { 6400, 1950, 25, ExtraLabels::Shown },
    { 4385, 1300, 17, ExtraLabels::Hidden },
    { 2870, 1110, 10, ExtraLabels::LeftAsTheyAre },
} };

// An item number as the user knows it: plain digits, never an exponent.
QString itemNumberText(double itemNumber)
{
    return QString::number(itemNumber, 'f', QLocale::FloatingPointShortest);
}

} // namespace

std::optional<ClockTarget> clockTargetFor(const QString &selectedRowText, const WatchItems &records)
{
    if (selectedRowText.isEmpty())
        return std::nullopt;
    const int found = records.find(numericValue(selectedRowText));
    if (found == 0)
        return std::nullopt;
    const WatchItemRecord &record = records.at(found);
    return ClockTarget { record.recEndDate,
        QStringLiteral("Item#: ") + itemNumberText(record.recItemNumber) + QStringLiteral(", \r\n")
            + record.recTitle.trimmed() };
}

CountdownDisplay countdownDisplay(qint64 secondsLeft)
{
    CountdownDisplay display;
    display.warning = secondsLeft >= 1 && secondsLeft <= kWarningSeconds;
    if (secondsLeft > 0) {
        display.daysHours = QString::number(secondsLeft / 86400) + QStringLiteral("dy,")
            + formatTwoDigits(secondsLeft % 86400 / 3600);
        display.minutes = formatTwoDigits(secondsLeft % 3600 / 60);
        display.seconds = formatTwoDigits(secondsLeft % 60);
    }
    return display;
}

CountdownDisplay countdownDisplay(const QDateTime &now, const QDateTime &endTime)
{
    if (!endTime.isValid() || !(endTime > now)) {
        CountdownDisplay ended;
        ended.ended = true;
        return ended;
    }
    return countdownDisplay(secondBoundaries(now, endTime));
}

const ClockSize &clockSize(int index)
{
    Q_ASSERT(index >= 0 && index < kClockSizeCount);
    return kClockSizes[std::size_t(index)];
}

std::optional<int> clockSizeFromText(const QString &storedText)
{
    const QString text = storedText.trimmed();
    if (text.isEmpty())
        return kClockSizeBig;
    for (int index = 0; index < kClockSizeCount; ++index) {
        if (text == QString::number(index))
            return index;
    }
    return std::nullopt;
}

} // namespace th
