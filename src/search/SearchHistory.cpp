#include "search/SearchHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "common/AtomicFile.h"

namespace th {

namespace {

QString decodeLine(const QByteArray &line)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(line);
    if (utf8.hasError())
        text = QString::fromLatin1(line);
    return text;
}

// The reader takes one pair of double quotes around a line away: an entry that is itself
// quoted ("red lamp" with its quotes) gets one more pair, so that it reads back as typed.
QString lineFor(const QString &entry)
{
    if (entry.size() >= 2 && entry.startsWith(u'"') && entry.endsWith(u'"'))
        return u'"' + entry + u'"';
    return entry;
}

} // namespace

QStringList LoadSearchHistory(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList entries;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        QString entry = decodeLine(line).trimmed();
        if (entry.size() >= 2 && entry.startsWith(u'"') && entry.endsWith(u'"'))
            entry = entry.mid(1, entry.size() - 2).trimmed();
        if (!entry.isEmpty())
            entries.append(entry);
    }
    return entries;
}

Result<void> SaveSearchHistory(const QString &path, const QStringList &entries)
{
    // The folder is made with the data folder; without it there is no history to keep.
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return makeError(kSearchHistoryFolderMissing,
            QStringLiteral("Cannot write %1: its folder is missing").arg(QDir::toNativeSeparators(path)));
    QByteArray bytes;
    for (const QString &entry : entries)
        bytes += lineFor(entry.trimmed()).toUtf8() + "\r\n";
    return writeFileAtomically(path, bytes);
}

QStringList withSearchOnTop(QStringList history, const QString &entry)
{
    const QString trimmed = entry.trimmed();
    if (trimmed.isEmpty())
        return history;
    history.removeIf(
        [&](const QString &earlier) { return earlier.compare(trimmed, Qt::CaseInsensitive) == 0; });
    history.prepend(trimmed);
    while (history.size() > kSearchHistoryMax)
        history.removeLast();
    return history;
}

} // namespace th
