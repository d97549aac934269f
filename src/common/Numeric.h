#pragma once

#include <QString>
#include <QStringView>

namespace th {

// The numeric test the program applies to every number a user types: optional blanks, an
// optional sign, digits with at most one decimal point (at least one digit), optional
// blanks. No exponent, no thousands separators, no currency sign, no hexadecimal.
bool isNumeric(QStringView text);

enum class SignRule { NoSign, AllowSign };

// The lenient reading of a number: leading blanks skipped, then digits with at most one
// decimal point up to the first other character; 0 when there is none. A leading sign is
// honoured only where the caller says so.
double numericValue(QStringView text, SignRule sign = SignRule::NoSign);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
qint64 roundHalfEven(double value);

// Rounds to the given number of decimals, halves to even; a value within a hair of a
// half counts as that half (0.125 -> 0.12, 2.675 -> 2.68), as the user wrote it.
double roundHalfEven(double value, int decimals);

} // namespace th
