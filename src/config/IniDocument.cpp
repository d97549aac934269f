#include "config/IniDocument.h"

#include <QFile>
#include <QStringDecoder>

#include "common/AtomicFile.h"

namespace th {

namespace {

// The section name of a header line "[name]", or nothing.
std::optional<QStringView> sectionName(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(u'[') || !trimmed.endsWith(u']'))
        return std::nullopt;
    return trimmed.mid(1, trimmed.size() - 2).trimmed();
}

struct Entry {
    QStringView key;
    QStringView value;
};

std::optional<Entry> entryOf(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    return Entry { trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed() };
}

QString unquoted(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.mid(1, value.size() - 2).toString();
    return value.toString();
}

} // namespace

std::optional<IniDocument> IniDocument::load(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return IniDocument();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return fromText(text);
}

IniDocument IniDocument::fromText(const QString &text)
{
    IniDocument document;
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(u'\r', u'\n');
    if (normalized.startsWith(QChar(0xFEFF)))
        normalized.remove(0, 1);
    document.m_lines = normalized.split(u'\n');
    if (!document.m_lines.isEmpty() && document.m_lines.last().isEmpty())
        document.m_lines.removeLast();
    return document;
}

qsizetype IniDocument::findSection(QStringView section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const std::optional<QStringView> name = sectionName(m_lines[i]);
        if (name && name->compare(section.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype end = header + 1;
    while (end < m_lines.size() && !sectionName(m_lines[end]))
        ++end;
    return end;
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const std::optional<Entry> entry = entryOf(m_lines[i]);
        if (entry && entry->key.compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return unquoted(entry->value);
    }
    return std::nullopt;
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString line = key.trimmed() + u'=' + value;
    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(u'[' + section.trimmed() + u']');
        m_lines.append(line);
        return;
    }
    const qsizetype end = sectionEnd(header);
    qsizetype lastEntry = header;
    for (qsizetype i = header + 1; i < end; ++i) {
        const std::optional<Entry> entry = entryOf(m_lines[i]);
        if (entry && entry->key.compare(key.trimmed(), Qt::CaseInsensitive) == 0) {
            m_lines[i] = line;
            return;
        }
        if (!m_lines[i].trimmed().isEmpty())
            lastEntry = i;
    }
    m_lines.insert(lastEntry + 1, line);
}

QString IniDocument::text() const
{
    QString text;
    for (const QString &line : m_lines)
        text += line + u'\n';
    return text;
}

Result<void> IniDocument::save(const QString &path) const
{
    return writeFileAtomically(path, text().toUtf8());
}

} // namespace th
