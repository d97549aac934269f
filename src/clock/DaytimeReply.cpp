#include "clock/DaytimeReply.h"

#include "common/Numeric.h"

namespace th {

namespace {

// The two characters at `from` (0-based) as a number 0..255; a field cut short by the end
// of the text is read as far as it goes.
std::optional<quint8> fieldAt(QStringView text, qsizetype from)
{
    if (from < 0 || from >= text.size())
        return std::nullopt;
    const QStringView field = text.mid(from, 2);
    if (!isNumeric(field))
        return std::nullopt;
    const qint64 value = roundHalfEven(numericValue(field, SignRule::AllowSign));
    if (value < 0 || value > 255)
        return std::nullopt;
    return quint8(value);
}

} // namespace

std::optional<DaytimeRecord> ParseDaytimeReply(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const auto year = fieldAt(text, colon - 11);
    const auto month = fieldAt(text, colon - 8);
    const auto day = fieldAt(text, colon - 5);
    const auto hour = fieldAt(text, colon - 2);
    const auto minute = fieldAt(text, colon + 1);
    const auto second = fieldAt(text, colon + 4);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    return DaytimeRecord { *year, *month, *day, *hour, *minute, *second };
}

QDateTime daytimeRecordToUtc(const DaytimeRecord &record)
{
    int year = record.year;
    if (year < 30)
        year += 2000;
    else if (year < 100)
        year += 1900;
    const QDate date = QDate(year, 1, 1).addMonths(record.month - 1).addDays(record.day - 1);
    const qint64 seconds = qint64(record.hour) * 3600 + qint64(record.minute) * 60 + record.second;
    return QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(seconds);
}

} // namespace th
