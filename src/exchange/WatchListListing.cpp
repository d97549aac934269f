#include "exchange/WatchListListing.h"

#include "store/RegistryStore.h"
#include "store/StoreLayout.h"

namespace th {

namespace {

QString quoted(QString text)
{
    text.replace(u'\r', QStringLiteral("\\r"));
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\t', QStringLiteral("\\t"));
    return u'"' + text + u'"';
}

QString hexBytes(const QByteArray &bytes)
{
    QString text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += u',';
        text += QString::number(quint8(bytes[i]), 16).rightJustified(2, u'0').toUpper();
    }
    return text;
}

// Every text of a multi-string, up to the empty one that ends the list.
QString multiStringParts(const RegValue &value)
{
    QStringList parts;
    QString current;
    for (const QChar c : regUnitsFromData(value.data)) {
        if (!c.isNull()) {
            current += c;
            continue;
        }
        if (current.isEmpty())
            break;
        parts.append(quoted(current));
        current.clear();
    }
    if (!current.isEmpty())
        parts.append(quoted(current));
    return parts.join(u' ');
}

QString dataText(const RegValue &value)
{
    switch (value.kind) {
    case RegKind::String:
        return quoted(value.text());
    case RegKind::ExpandString:
        return u"expandable " + quoted(value.text());
    case RegKind::MultiString:
        return u"multi-string " + multiStringParts(value);
    case RegKind::Binary:
        return u"hex:" + hexBytes(value.data);
    default:
        break;
    }
    if (const std::optional<quint32> number = value.dword())
        return QStringLiteral("dword:%1 (%2)")
            .arg(QString::number(*number, 16).rightJustified(8, u'0'))
            .arg(qint32(*number));
    return u"hex(" + QString::number(value.kind, 16) + u"):" + hexBytes(value.data);
}

// A store that cannot be read gives an error, never a listing that silently lacks what it
// could not read.
Result<void> describeKey(
    const RegistryStore &store, const QString &keyPath, const QString &indent, QString &text)
{
    const Result<QList<RegValue>> values = store.checkedValues(RegRoot::CurrentUser, keyPath);
    if (!values)
        return values.error();
    for (const RegValue &value : values.value())
        text += indent + describeRegValue(value) + u'\n';
    const Result<QStringList> names = store.checkedSubKeyNames(RegRoot::CurrentUser, keyPath);
    if (!names)
        return names.error();
    for (const QString &name : names.value()) {
        text += indent + u'[' + name + u"]\n";
        if (Result<void> below = describeKey(store, keyPath + u'\\' + name, indent + u"  ", text); !below)
            return below;
    }
    return {};
}

} // namespace

QString describeRegValue(const RegValue &value)
{
    const QString name = value.name.isEmpty() ? QStringLiteral("@") : quoted(value.name);
    return name + u" = " + dataText(value);
}

Result<QString> describeWatchList(const RegistryStore &store)
{
    const QString watchList = QString::fromUtf16(kWatchListKey);
    const Result<QStringList> items = store.checkedSubKeyNames(RegRoot::CurrentUser, watchList);
    if (!items)
        return items.error();
    QString text;
    for (const QString &item : items.value()) {
        text += item + u'\n';
        if (Result<void> described = describeKey(store, watchList + u'\\' + item, QStringLiteral("  "), text);
            !described)
            return described.error();
    }
    return text;
}

} // namespace th
