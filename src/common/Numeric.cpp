#include "common/Numeric.h"

#include <cmath>
#include <limits>

namespace th {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool isNumeric(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    int digits = 0;
    bool point = false;
    while (i < n) {
        const QChar c = text[i];
        if (isDigit(c)) {
            ++digits;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        ++i;
    }
    while (i < n && isBlank(text[i]))
        ++i;
    return digits > 0 && i == n;
}

double numericValue(QStringView text, SignRule sign)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (sign == SignRule::AllowSign && i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    QString digits;
    bool point = false;
    while (i < n) {
        const QChar c = text[i];
        if (isDigit(c)) {
            digits.append(c);
        } else if (c == u'.' && !point) {
            point = true;
            digits.append(c);
        } else {
            break;
        }
        ++i;
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok)
        return 0.0;
    return negative ? -value : value;
}

qint64 roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double rounded = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0))
        rounded = lower + 1.0;
    if (rounded >= 9.2e18 || rounded <= -9.2e18)
        return rounded > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return static_cast<qint64>(rounded);
}

double roundHalfEven(double value, int decimals)
{
    if (!std::isfinite(value))
        return 0.0;
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    // A value the user wrote as an exact half (2.675) is stored a hair below or above it;
    // treat anything that close to a half as the half itself.
    const double lower = std::floor(scaled);
    const double fraction = scaled - lower;
    double rounded;
    if (std::abs(fraction - 0.5) < 1e-7)
        rounded = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    else
        rounded = std::round(scaled);
    return rounded / scale;
}

} // namespace th
