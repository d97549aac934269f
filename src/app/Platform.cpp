#include "app/Platform.h"

#include <QClipboard>
#include <QGuiApplication>

#include "browser/BrowserFactory.h"
#include "platform/AppPaths.h"
#include "platform/CheckedShell.h"
#include "platform/LockFileSingleInstance.h"
#include "platform/LogindSleepGuard.h"
#include "platform/NetworkConnectionState.h"
#include "platform/SystemClock.h"
#include "platform/SystemTimeZoneSource.h"
#include "platform/TimedatedClockSetter.h"
#include "platform/XdgStartupEntry.h"
#include "platform/XdgWebBrowserCheck.h"
#include "platform_gui/DesktopShell.h"
#include "platform_gui/QtSoundPlayer.h"
#include "platform_gui/SystemTray.h"
#include "platform_gui/WidgetPrompter.h"

namespace th {

std::unique_ptr<Platform> makeRealPlatform(const QString &dataFolder, const QString &resourceFolder)
{
    auto platform = std::make_unique<Platform>();
    platform->clock = std::make_unique<SystemClock>();
    platform->prompter = std::make_unique<WidgetPrompter>();
    platform->shell = std::make_unique<CheckedShell>(std::make_unique<DesktopShell>(),
        std::make_unique<XdgWebBrowserCheck>(), *platform->prompter,
        [](const QString &text) { QGuiApplication::clipboard()->setText(text); });
    platform->sound
        = std::make_unique<QtSoundPlayer>(AppPaths::join(resourceFolder, QStringLiteral("default.wav")));
    platform->timeZone = std::make_unique<SystemTimeZoneSource>();
    platform->clockSetter = std::make_unique<TimedatedClockSetter>();
    platform->sleepGuard = std::make_unique<LogindSleepGuard>();
    platform->connection = std::make_unique<NetworkConnectionState>();
    platform->startupEntry = std::make_unique<XdgStartupEntry>();
    platform->instance = std::make_unique<LockFileSingleInstance>(dataFolder);
    platform->tray = std::make_unique<SystemTray>();
    platform->browser = makeBrowserFactory();
    return platform;
}

} // namespace th
