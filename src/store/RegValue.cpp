#include "store/RegValue.h"

#include <QtEndian>

namespace th {

RegValue RegValue::fromString(const QString &name, const QString &text, quint32 kind)
{
    return RegValue { name, kind, regDataFromText(text) };
}

RegValue RegValue::fromDword(const QString &name, quint32 number)
{
    QByteArray data(4, Qt::Uninitialized);
    qToLittleEndian(number, data.data());
    return RegValue { name, RegKind::Dword, data };
}

RegValue RegValue::fromBinary(const QString &name, const QByteArray &bytes)
{
    return RegValue { name, RegKind::Binary, bytes };
}

bool RegValue::isStringKind() const
{
    return kind == RegKind::String || kind == RegKind::ExpandString || kind == RegKind::MultiString;
}

QString RegValue::text() const
{
    return regTextFromData(data);
}

std::optional<quint32> RegValue::dword() const
{
    if (kind != RegKind::Dword || data.size() != 4)
        return std::nullopt;
    return qFromLittleEndian<quint32>(data.constData());
}

QByteArray regDataFromText(QStringView text)
{
    QByteArray data(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian(text[i].unicode(), data.data() + 2 * i);
    return data;
}

QString regUnitsFromData(const QByteArray &data)
{
    const qsizetype units = data.size() / 2;
    QString text(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i)
        text[i] = QChar(qFromLittleEndian<char16_t>(data.constData() + 2 * i));
    return text;
}

QString regTextFromData(const QByteArray &data)
{
    QString text = regUnitsFromData(data);
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

namespace {
struct RootEntry {
    RegRoot root;
    const char16_t *name;
};
constexpr RootEntry kRoots[] = {
    { RegRoot::ClassesRoot, u"HKEY_CLASSES_ROOT" },
    { RegRoot::CurrentUser, u"HKEY_CURRENT_USER" },
    { RegRoot::LocalMachine, u"HKEY_LOCAL_MACHINE" },
    { RegRoot::Users, u"HKEY_USERS" },
    { RegRoot::CurrentConfig, u"HKEY_CURRENT_CONFIG" },
};
} // namespace

QString regRootName(RegRoot root)
{
    for (const RootEntry &entry : kRoots) {
        if (entry.root == root)
            return QString::fromUtf16(entry.name);
    }
    return {};
}

std::optional<RegRoot> regRootFromName(QStringView name)
{
    for (const RootEntry &entry : kRoots) {
        if (name.compare(QStringView(entry.name), Qt::CaseInsensitive) == 0)
            return entry.root;
    }
    return std::nullopt;
}

QStringList splitRegPath(QStringView path)
{
    const qsizetype nul = path.indexOf(QChar(0));
    if (nul >= 0)
        path = path.left(nul);
    QStringList names;
    for (const QStringView part : path.split(u'\\', Qt::SkipEmptyParts))
        names.append(part.toString());
    return names;
}

QString regFoldName(QStringView name)
{
    // Names are nearly always ASCII, whose upper case is the letters' alone.
    bool ascii = true;
    for (const QChar c : name)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        QString folded(name.size(), Qt::Uninitialized);
        QChar *out = folded.data();
        for (const QChar c : name)
            *out++ = c >= u'a' && c <= u'z' ? QChar(c.unicode() - 0x20) : c;
        return folded;
    }
    QString folded;
    folded.reserve(name.size());
    for (const char32_t c : name.toUcs4()) {
        const char32_t upper = QChar::toUpper(c);
        if (QChar::requiresSurrogates(upper)) {
            folded.append(QChar(QChar::highSurrogate(upper)));
            folded.append(QChar(QChar::lowSurrogate(upper)));
        } else {
            folded.append(QChar(char16_t(upper)));
        }
    }
    return folded;
}

QString regCleanName(QStringView name)
{
    const qsizetype nul = name.indexOf(QChar(0));
    return (nul >= 0 ? name.left(nul) : name).toString();
}

} // namespace th
