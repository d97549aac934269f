#pragma once

#include <memory>

#include <QTemporaryDir>

#include "FakeBrowser.h"
#include "FakeClock.h"
#include "FakePrompter.h"
#include "FakeSeams.h"
#include "FakeTray.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "app/Platform.h"

namespace th::test {

// An application on fakes of every seam, with a data folder of its own. The fakes stay
// reachable through the raw pointers after the platform has been handed over.
struct AppFixture {
    QTemporaryDir dataFolder;
    FakeClock *clock = nullptr;
    FakePrompter *prompter = nullptr;
    FakeShell *shell = nullptr;
    FakeSoundPlayer *sound = nullptr;
    FakeTray *tray = nullptr;
    FakeSleepGuard *sleepGuard = nullptr;
    FakeBrowserFactory *browser = nullptr;
    std::unique_ptr<ISingleInstance> instanceOverride;
    // A real browser in place of the scripted one (`browser` stays null then).
    std::unique_ptr<IBrowserFactory> browserOverride;
    std::unique_ptr<Application> app;

    std::unique_ptr<Platform> makePlatform(bool trayAvailable = true);
    // Every server of the configuration on loopback, where nothing listens unless a test
    // starts something there: no test ever reaches a real host.
    void writeConfig(const QString &server = QStringLiteral("127.0.0.1:1"));
    Application::StartResult start(const QString &commandLine = QString(), bool trayAvailable = true);
};

} // namespace th::test
