#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace th::regscript {

// The text of 8-bit string data (hex(1), hex(2), hex(7) of a REGEDIT4 script): UTF-8 when
// the bytes are UTF-8, otherwise one byte a character. NUL characters are kept.
QString decodeEightBit(const QByteArray &bytes);

bool isBlank(QChar c);
QStringView skipBlanks(QStringView text);
// Blanks only, or blanks and a ";" comment.
bool isBlankOrComment(QStringView text);

// The number of hexadecimal digits at the start of a text.
qsizetype hexRun(QStringView text);

// A quoted text's characters with "\\" read as one backslash and "\"" as a double quote;
// every other backslash stays.
QString unescape(QStringView text);

// The index of the double quote that closes a quoted text starting at index 0, skipping
// escaped quotes; -1 when there is none.
qsizetype closingQuote(QStringView text);

} // namespace th::regscript
