#include "exchange/RegScriptParser.h"

#include "exchange/LineWindow.h"
#include "exchange/RegScriptText.h"

namespace th::regscript {

// Hexadecimal bytes separated by commas. A line ending in a comma and a backslash (a ";"
// comment may follow) continues on the next line that is neither blank nor a ";" comment;
// the backslash may also stand right after the colon. Anything else is refused.
std::optional<QByteArray> RegScriptParser::hexData(QStringView text, qsizetype &index, Failure &failure)
{
    QByteArray bytes;
    bool firstLine = true;
    const auto failed = [&](const QString &reason) {
        failure = Failure { int(index + 1), reason };
        return std::nullopt;
    };
    for (;;) {
        bool afterComma = firstLine;
        bool anyByte = false;
        bool continues = false;
        qsizetype pos = 0;
        for (;;) {
            while (pos < text.size() && isBlank(text[pos]))
                ++pos;
            if (pos >= text.size() || text[pos] == u';')
                break;
            const QChar c = text[pos];
            if (c == u'\\') {
                if (!afterComma)
                    return failed(QStringLiteral("a continuation backslash must follow a comma"));
                if (!isBlankOrComment(text.mid(pos + 1)))
                    return failed(QStringLiteral("text after the continuation backslash"));
                continues = true;
                break;
            }
            if (c == u',') {
                if (!anyByte || afterComma)
                    return failed(QStringLiteral("a comma without a byte before it"));
                afterComma = true;
                ++pos;
                continue;
            }
            if (hexRun(text.mid(pos)) != 2)
                return failed(QStringLiteral("a byte must be two hexadecimal digits"));
            if (anyByte && !afterComma)
                return failed(QStringLiteral("bytes must be separated by commas"));
            bytes.append(char(text.mid(pos, 2).toUInt(nullptr, 16)));
            pos += 2;
            anyByte = true;
            afterComma = false;
        }
        if (!continues)
            return bytes;
        do {
            const QString *next = m_lines.at(++index);
            if (!next)
                return bytes;
            text = skipBlanks(*next);
        } while (text.isEmpty() || text.front() == u';');
        firstLine = false;
    }
}

// The value of hex(N) data. String kinds of a REGEDIT4 script hold 8-bit text, those of a
// version 5 script UTF-16; the store keeps UTF-16. Expandable and multi-strings that do not
// end in a NUL get one, as the system's importer does.
RegValue RegScriptParser::hexValue(quint32 kind, QByteArray bytes) const
{
    const bool stringKind
        = kind == RegKind::String || kind == RegKind::ExpandString || kind == RegKind::MultiString;
    if (stringKind && !m_wide)
        bytes = regDataFromText(decodeEightBit(bytes));
    if ((kind == RegKind::ExpandString || kind == RegKind::MultiString) && !bytes.isEmpty()
        && !bytes.endsWith(QByteArray(2, '\0'))) {
        if (bytes.size() % 2 != 0)
            bytes.append('\0');
        bytes.append(QByteArray(2, '\0'));
    }
    return RegValue { QString(), kind, bytes };
}

} // namespace th::regscript
