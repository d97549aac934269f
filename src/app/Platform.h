#pragma once

#include <memory>

#include <QString>

#include "platform/IBrowserFactory.h"
#include "platform/IClock.h"
#include "platform/IClockSetter.h"
#include "platform/IConnectionState.h"
#include "platform/IPrompter.h"
#include "platform/IShell.h"
#include "platform/ISingleInstance.h"
#include "platform/ISleepGuard.h"
#include "platform/ISoundPlayer.h"
#include "platform/IStartupEntry.h"
#include "platform/ITimeZoneSource.h"
#include "platform/ITray.h"

namespace th {

// Every seam to the desktop the program uses, owned together. The real set is made by
// makeRealPlatform(); tests hand in fakes.
struct Platform {
    std::unique_ptr<IClock> clock;
    std::unique_ptr<IPrompter> prompter;
    std::unique_ptr<IShell> shell;
    std::unique_ptr<ISoundPlayer> sound;
    std::unique_ptr<ITimeZoneSource> timeZone;
    std::unique_ptr<IClockSetter> clockSetter;
    std::unique_ptr<ISleepGuard> sleepGuard;
    std::unique_ptr<IConnectionState> connection;
    std::unique_ptr<IStartupEntry> startupEntry;
    std::unique_ptr<ISingleInstance> instance;
    std::unique_ptr<ITray> tray;
    std::unique_ptr<IBrowserFactory> browser;
};

std::unique_ptr<Platform> makeRealPlatform(const QString &dataFolder, const QString &resourceFolder);

} // namespace th
