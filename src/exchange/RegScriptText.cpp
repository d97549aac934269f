#include "exchange/RegScriptText.h"

#include <QStringDecoder>

namespace th::regscript {

QString decodeScript(const QByteArray &bytes)
{
    const auto decodeWith
        = [&](QStringConverter::Encoding encoding, qsizetype skip) -> std::optional<QString> {
        QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(QByteArrayView(bytes).sliced(skip));
        if (decoder.hasError())
            return std::nullopt;
        return text;
    };
    if (bytes.startsWith("\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, 2).value_or(QString());
    if (bytes.startsWith("\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, 2).value_or(QString());
    const qsizetype skip = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (const std::optional<QString> text = decodeWith(QStringConverter::Utf8, skip))
        return *text;
    return QString::fromLatin1(bytes.mid(skip));
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

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

QString unescape(QStringView text)
{
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
