#include "browser/BrowserLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcBrowser, "tallyhawk.browser")

namespace {

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

} // namespace

QByteArray quietWebEngineFlags(const QByteArray &flags, bool engineLogWanted)
{
    if (engineLogWanted || flags.contains("--log-level"))
        return flags;
    const QByteArray quiet("--log-level=3");
    return flags.trimmed().isEmpty() ? quiet : flags.trimmed() + ' ' + quiet;
}

void quietWebEngineLog()
{
    const bool wanted = qEnvironmentVariableIntValue(kWebEngineLogVariable) == 1;
    qputenv(kFlagsVariable, quietWebEngineFlags(qgetenv(kFlagsVariable), wanted));
    if (!wanted)
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=false\n"
                                                        "qt.webenginecontext.info=false"));
}

} // namespace th
