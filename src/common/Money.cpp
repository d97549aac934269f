#include "common/Money.h"

#include <cmath>

#include "common/Numeric.h"

namespace th {

Money Money::fromDouble(double value)
{
    return fromUnits(roundHalfEven(roundHalfEven(value, 4) * 10000.0));
}

Money Money::fromText(QStringView text)
{
    return fromDouble(numericValue(text, SignRule::AllowSign));
}

QString Money::toText() const
{
    const qint64 magnitude = m_units < 0 ? -m_units : m_units;
    QString text = QString::number(magnitude / 10000);
    const qint64 fraction = magnitude % 10000;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(4, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u'.' + digits;
    }
    return m_units < 0 ? u'-' + text : text;
}

} // namespace th
