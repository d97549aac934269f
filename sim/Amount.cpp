#include "sim/Amount.h"

#include <QRegularExpression>

#include <array>

namespace th::sim {

namespace {

struct IncrementStep {
    Cents from;
    Cents increment;
};

// Highest band first, so the first band whose lower limit the price reaches applies.
constexpr std::array<IncrementStep, 10> kIncrements = { {
    { 500000, 10000 },
    { 250000, 5000 },
    { 100000, 2500 },
    { 50000, 1000 },
    { 25000, 500 },
    { 10000, 250 },
    { 2500, 100 },
    { 500, 50 },
    { 100, 25 },
    { 0, 5 },
} };

} // namespace

Cents bidIncrement(Cents currentPrice)
{
    for (const IncrementStep &step : kIncrements) {
        if (currentPrice >= step.from)
            return step.increment;
    }
    return kIncrements.back().increment;
}

QString formatAmount(Cents amount)
{
    const bool negative = amount < 0;
    const Cents magnitude = negative ? -amount : amount;
    QString whole = QString::number(magnitude / 100);
    for (int pos = whole.size() - 3; pos > 0; pos -= 3)
        whole.insert(pos, QLatin1Char(','));
    const QString cents = QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return (negative ? QStringLiteral("-") : QString()) + whole + QLatin1Char('.') + cents;
}

QString formatMoney(Cents amount, const QString &currency)
{
    if (currency.compare(QLatin1String("GBP"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("GBP ") + formatAmount(amount);
    return QLatin1Char('$') + formatAmount(amount);
}

std::optional<Cents> parseAmount(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(?:US\\s*)?\\$?\\s*(\\d{1,3}(?:,\\d{3})+|\\d+)?(?:\\.(\\d{0,2}))?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    QString whole = match.captured(1);
    QString fraction = match.captured(2);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    whole.remove(QLatin1Char(','));
    if (whole.size() > 12)
        return std::nullopt;
    while (fraction.size() < 2)
        fraction.append(QLatin1Char('0'));
    return whole.toLongLong() * 100 + fraction.toLongLong();
}

QString plainAmount(Cents amount)
{
    return QString::number(amount / 100) + QLatin1Char('.')
        + QStringLiteral("%1").arg(qAbs(amount % 100), 2, 10, QLatin1Char('0'));
}

} // namespace th::sim
