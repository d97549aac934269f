#include "common/FixedSeconds.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/Numeric.h"

namespace th {

namespace {
constexpr double kMaxSeconds = double(std::numeric_limits<qint32>::max());
constexpr double kMinSeconds = double(std::numeric_limits<qint32>::min());
} // namespace

FixedSeconds FixedSeconds::fromText(QStringView text)
{
    double seconds = numericValue(text, SignRule::AllowSign);
    // A very long row of digits would not fit the 32-bit value of the store (or even the
    // fixed-point number itself): it is held at the largest value the store keeps.
    if (!std::isfinite(seconds))
        seconds = seconds < 0 ? kMinSeconds : kMaxSeconds;
    seconds = std::clamp(seconds, kMinSeconds, kMaxSeconds);
    return fromUnits(qint64(roundHalfEven(seconds * 10000.0)));
}

qint32 FixedSeconds::toStored() const
{
    // Whole ten-thousandths: exact halves are decided in integers, not in binary fractions.
    const qint64 whole = m_units / 10000;
    const qint64 rest = m_units % 10000;
    qint64 rounded = whole;
    if (rest > 5000 || (rest == 5000 && whole % 2 != 0))
        ++rounded;
    else if (rest < -5000 || (rest == -5000 && whole % 2 != 0))
        --rounded;
    return qint32(
        std::clamp<qint64>(rounded, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

} // namespace th
