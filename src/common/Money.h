#pragma once

#include <compare>

#include <QString>
#include <QStringView>

namespace th {

// An amount of money as a fixed-point number with four decimals, the way the program
// keeps prices and bids: no binary fractions creep into a stored bid.
class Money final {
public:
    constexpr Money() = default;

    static constexpr Money fromUnits(qint64 units)
    {
        Money m;
        m.m_units = units;
        return m;
    }
    // Rounds to four decimals, halves to even.
    static Money fromDouble(double value);
    // The lenient reading of a typed or stored amount (leading number, 0 when none).
    static Money fromText(QStringView text);

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return static_cast<double>(m_units) / 10000.0; }
    constexpr bool isZero() const { return m_units == 0; }

    // The standard text form: a point as separator, no trailing zeros, no grouping
    // ("25.5", "1200", "0.0001", "-3.25"). This is how amounts are stored and typed
    // into forms.
    QString toText() const;

    constexpr Money operator+(Money other) const { return fromUnits(m_units + other.m_units); }
    constexpr Money operator-(Money other) const { return fromUnits(m_units - other.m_units); }
    constexpr Money operator-() const { return fromUnits(-m_units); }
    constexpr auto operator<=>(const Money &) const = default;

private:
    qint64 m_units = 0; // ten-thousandths
};

} // namespace th
