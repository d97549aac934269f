#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace th::sim {

// Money on the simulated site is kept in whole cents: every price, bid and increment of the
// time was a multiple of one cent, and integer arithmetic keeps the proxy rules exact.
using Cents = qint64;

// The bid increment that applies at a given current price (the site's table of the time).
Cents bidIncrement(Cents currentPrice);

// "1,234.50": thousands grouped with commas, always two decimals.
QString formatAmount(Cents amount);

// The amount as the site shows it for a currency: "$1,234.50" for US dollars, "GBP 1,234.50"
// for pounds.
QString formatMoney(Cents amount, const QString &currency);

// Reads a typed amount: blanks around it, an optional "$" or "US $", digits with an optional
// comma grouping and at most two decimals. Anything else is no amount.
std::optional<Cents> parseAmount(const QString &text);

// The amount as plain decimal text for machine-readable output: "1234.5" -> "1234.50".
QString plainAmount(Cents amount);

} // namespace th::sim
