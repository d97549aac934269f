#include "config/cIniFile.h"

#include "config/IniDocument.h"
#include "platform/AppPaths.h"

namespace th {

namespace {
constexpr qsizetype kMaxValueLength = 255;
}

QString cIniFile::Value() const
{
    const std::optional<IniDocument> document = IniDocument::load(Path);
    const std::optional<QString> value = document ? document->value(Section, Key) : std::nullopt;
    return value ? value->left(kMaxValueLength) : Default;
}

void cIniFile::setValue(const QString &text)
{
    QString clean = text;
    clean.remove(QChar(0));
    clean.remove(u'\r');
    clean.remove(u'\n');
    std::optional<IniDocument> document = IniDocument::load(Path);
    if (!document) {
        m_lastReturnCode = 0;
        return;
    }
    document->setValue(Section, Key, clean);
    m_lastReturnCode = document->save(Path).ok() ? 1 : 0;
}

QString configIniPath(const QString &dataFolder)
{
    return AppPaths::join(dataFolder, QStringLiteral("config.ini"));
}

} // namespace th
