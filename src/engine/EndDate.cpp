#include "engine/EndDate.h"

#include <QRegularExpression>

#include "clock/PacificTime.h"
#include "common/DateTimeMath.h"
#include "common/Formats.h"

namespace th {

namespace {

constexpr int kBadEndDate = 301;

int monthOf(QStringView name)
{
    for (int m = 1; m <= 12; ++m) {
        if (name.compare(shortMonthName(m), Qt::CaseInsensitive) == 0)
            return m;
    }
    return 0;
}

} // namespace

Result<QDateTime> endDateFromPage(const QString &endsText)
{
    if (endsText.isEmpty())
        return fromDayNumber(0);
    // The last four characters are a blank and the zone's three letters.
    const QString label = endsText.size() >= 4 ? endsText.right(3) : QString();
    const QString wall = endsText.left(std::max<qsizetype>(0, endsText.size() - 4)).trimmed();
    static const QRegularExpression form(
        QStringLiteral(R"(^([A-Za-z]{3})-(\d{1,2})-(\d{2}|\d{4})\s+(\d{1,2}):(\d{2}):(\d{2})$)"));
    const QRegularExpressionMatch match = form.match(wall);
    const auto fail = [&] {
        return makeError(
            kBadEndDate, QStringLiteral("Type mismatch: the end date \"%1\" cannot be read").arg(endsText));
    };
    if (!match.hasMatch())
        return fail();
    const int month = monthOf(match.capturedView(1));
    int year = match.capturedView(3).toInt();
    if (match.capturedView(3).size() == 2)
        year += year < 30 ? 2000 : 1900;
    const QDate date(year, month, match.capturedView(2).toInt());
    const QTime time(
        match.capturedView(4).toInt(), match.capturedView(5).toInt(), match.capturedView(6).toInt());
    if (month == 0 || !date.isValid() || !time.isValid())
        return fail();
    const QDateTime local = pacificToLocal(date, time, label);
    if (!local.isValid())
        return fail();
    return local.toLocalTime();
}

} // namespace th
