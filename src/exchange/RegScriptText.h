#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace th::regscript {

// The text of a script file: UTF-16 (little or big endian) when it starts with a
// byte-order mark, otherwise UTF-8 (with or without a mark) or, when the bytes are not
// UTF-8, 8-bit text one byte a character.
QString decodeScript(const QByteArray &bytes);

// The lines of a text, ended by CR LF, LF or CR.
QStringList splitLines(const QString &text);

// The text of 8-bit string data (hex(1), hex(2), hex(7) of a REGEDIT4 script): UTF-8 when
// the bytes are UTF-8, otherwise one byte a character. NUL characters are kept.
QString decodeEightBit(const QByteArray &bytes);

bool isBlank(QChar c);
QStringView skipBlanks(QStringView text);
// Blanks only, or blanks and a ";" comment.
bool isBlankOrComment(QStringView text);

// A quoted text's characters with "\\" read as one backslash and "\"" as a double quote;
// every other backslash stays.
QString unescape(QStringView text);

// The index of the double quote that closes a quoted text starting at index 0, skipping
// escaped quotes; -1 when there is none.
qsizetype closingQuote(QStringView text);

} // namespace th::regscript
