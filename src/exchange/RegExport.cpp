#include "exchange/RegExport.h"

#include <QFile>
#include <QFileInfo>

#include "common/AtomicFile.h"
#include "platform/AppPaths.h"
#include "store/RegistryStore.h"
#include "store/StoreLayout.h"

namespace th {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kHeader = QStringLiteral("REGEDIT4\r\n\r\n");

// "[A-Z,a-z]:\" at the start: a letter or a comma, a colon, a backslash.
bool looksLikeDrivePath(const QString &text)
{
    if (text.size() < 3)
        return false;
    const QChar first = text[0];
    const bool letter = (first >= u'A' && first <= u'Z') || (first >= u'a' && first <= u'z') || first == u',';
    return letter && text[1] == u':' && text[2] == u'\\';
}

// The reader takes "\\" as one backslash and "\"" as a double quote, so a text holding
// either pair would come back changed if written between quotes as it stands. A drive path
// is safe: all its backslashes are doubled.
bool holdsEscapePair(const QString &text)
{
    return text.contains(QStringLiteral("\\\\")) || text.contains(QStringLiteral("\\\""));
}

QString hexBytes(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += u',';
        text += QString::number(quint8(bytes[i]), 16).rightJustified(2, u'0').toUpper();
    }
    return text;
}

QString dataPart(const RegValue &value)
{
    if (value.isStringKind()) {
        QString text = value.text();
        const bool drivePath = looksLikeDrivePath(text);
        if (text.contains(u'\r') || text.contains(u'\n') || (!drivePath && holdsEscapePair(text)))
            return u"hex(1):" + hexBytes(text.toUtf8());
        if (drivePath)
            text.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
        return u'"' + text + u'"';
    }
    if (const std::optional<quint32> number = value.dword())
        return u"dword:" + QString::number(*number, 16).rightJustified(8, u'0');
    if (value.kind == RegKind::Binary)
        return u"hex:" + hexBytes(value.data);
    return u"hex(" + QString::number(value.kind, 16) + u"):" + hexBytes(value.data);
}

// A missing key gives a section without values; a store that cannot be read gives an
// error, never a backup that silently lacks what it could not read.
Result<void> appendSections(
    const RegistryStore &store, RegRoot root, const QString &keyPath, bool includeSubkeys, QString &text)
{
    const Result<QList<RegValue>> values = store.checkedValues(root, keyPath);
    if (!values)
        return values.error();
    text += u'[' + regRootName(root) + u'\\' + keyPath + u']' + kCrLf;
    for (const RegValue &value : values.value())
        text += regValueLine(value) + kCrLf;
    text += kCrLf;
    if (!includeSubkeys)
        return {};
    const Result<QStringList> names = store.checkedSubKeyNames(root, keyPath);
    if (!names)
        return names.error();
    for (const QString &name : names.value()) {
        if (Result<void> appended = appendSections(store, root, keyPath + u'\\' + name, includeSubkeys, text);
            !appended)
            return appended;
    }
    return {};
}

Error writeError(const QString &fileName, const QString &why)
{
    return makeError(301, QStringLiteral("Cannot write %1: %2").arg(fileName, why));
}

} // namespace

QString watchListExportPath(const QString &folder)
{
    return AppPaths::join(folder, QString::fromUtf16(kWatchListFileName));
}

QString regValueLine(const RegValue &value)
{
    const QString name = value.name.isEmpty() ? QStringLiteral("@") : u'"' + value.name + u'"';
    return name + u'=' + dataPart(value);
}

Result<void> ExportRegKey(const RegistryStore &store, RegRoot root, const QString &keyPath,
    const QString &fileName, bool includeSubkeys, bool append)
{
    // The sections of the sub-keys are appended in the same pass: the header then is in the
    // file already, so the outcome is the same as appending key by key.
    QByteArray before;
    if (append && QFileInfo::exists(fileName)) {
        QFile existing(fileName);
        if (!existing.open(QIODevice::ReadOnly))
            return writeError(fileName, existing.errorString());
        before = existing.readAll();
    }
    QString text = before.contains("REGEDIT4") ? QString() : kHeader;
    if (const Result<void> read = appendSections(store, root, keyPath, includeSubkeys, text); !read)
        return makeError(302, QStringLiteral("Cannot back up to %1: %2").arg(fileName, read.errorMessage()));
    // Appending too writes the whole file anew, so that a write that fails part-way leaves
    // the file as it was.
    return writeFileAtomically(fileName, before + text.toUtf8());
}

Result<void> exportWatchList(const RegistryStore &store, const QString &fileName)
{
    // The bid groups' limits travel with the items that name the groups, in the same file
    // written once, so that a restore never brings back members without their limits.
    QString text = kHeader;
    const Result<void> read = [&]() -> Result<void> {
        const QString watchList = QString::fromUtf16(kWatchListKey) + u'\\';
        if (Result<void> items = appendSections(store, RegRoot::CurrentUser, watchList, true, text); !items)
            return items;
        const QString groups = QString::fromUtf16(kBidGroupsKey);
        if (!store.keyExists(RegRoot::CurrentUser, groups))
            return {};
        return appendSections(store, RegRoot::CurrentUser, groups, true, text);
    }();
    if (!read)
        return makeError(302, QStringLiteral("Cannot back up to %1: %2").arg(fileName, read.errorMessage()));
    return writeFileAtomically(fileName, text.toUtf8());
}

} // namespace th
