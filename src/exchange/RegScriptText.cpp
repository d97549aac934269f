#include "exchange/RegScriptText.h"

#include <QStringDecoder>

namespace th::regscript {

QString decodeEightBit(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView skipBlanks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return text.mid(i);
}

bool isBlankOrComment(QStringView text)
{
    text = skipBlanks(text);
    return text.isEmpty() || text.front() == u';';
}

qsizetype hexRun(QStringView text)
{
    const auto isHexDigit = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    qsizetype n = 0;
    while (n < text.size() && isHexDigit(text[n]))
        ++n;
    return n;
}

QString unescape(QStringView text)
{
    if (!text.contains(u'\\'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && (text[i + 1] == u'\\' || text[i + 1] == u'"')) {
            out += text[i + 1];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

qsizetype closingQuote(QStringView text)
{
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && (text[i + 1] == u'\\' || text[i + 1] == u'"'))
            ++i;
        else if (text[i] == u'"')
            return i;
    }
    return -1;
}

} // namespace th::regscript
