#pragma once

#include <cmath>
#include <optional>

#include <QStringView>
#include <QtGlobal>

#include "common/Numeric.h"

namespace th {

// A typed count chosen from a list of whole numbers: the number when the text passes the
// numeric test, has no fraction and lies within [low, high]; nothing otherwise. A sign is
// read, so that "-5" is refused as below the range rather than read as no number at all.
inline std::optional<qint32> wholeNumberWithin(QStringView text, qint32 low, qint32 high)
{
    if (!isNumeric(text))
        return std::nullopt;
    const double value = numericValue(text, SignRule::AllowSign);
    if (value != std::floor(value) || value < double(low) || value > double(high))
        return std::nullopt;
    return qint32(value);
}

} // namespace th
