#pragma once

#include <QStringView>
#include <QtGlobal>

namespace th {

// A number of seconds kept as a fixed-point number with four decimals, the way the clocks'
// fine tune lives in memory: "+2.5" shifts a clock by exactly two and a half seconds. The
// store keeps it as a whole number of seconds.
class FixedSeconds final {
public:
    constexpr FixedSeconds() = default;
    // Whole seconds, as read from the store.
    constexpr FixedSeconds(qint32 wholeSeconds)
        : m_units(qint64(wholeSeconds) * 10000)
    {
    }

    static constexpr FixedSeconds fromUnits(qint64 units)
    {
        FixedSeconds s;
        s.m_units = units;
        return s;
    }
    // The numeric value of a typed text, a leading sign allowed; 0 for a text that does not
    // start with a number. Kept within the range the store can hold.
    static FixedSeconds fromText(QStringView text);

    // Ten-thousandths of a second.
    constexpr qint64 units() const { return m_units; }
    // Milliseconds, rounded toward zero: what a clock display moves by.
    constexpr qint64 msecs() const { return m_units / 10; }
    // The whole seconds the store keeps: rounded to the nearest, halves to even.
    qint32 toStored() const;

    constexpr bool operator==(const FixedSeconds &) const = default;

private:
    qint64 m_units = 0; // ten-thousandths
};

} // namespace th
