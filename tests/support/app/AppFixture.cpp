#include "AppFixture.h"

#include <QFile>
#include <QTest>

namespace th::test {

std::unique_ptr<Platform> AppFixture::makePlatform(bool trayAvailable)
{
    auto platform = std::make_unique<Platform>();
    auto fakeClock = std::make_unique<FakeClock>();
    clock = fakeClock.get();
    platform->clock = std::move(fakeClock);
    auto fakePrompter = std::make_unique<FakePrompter>();
    prompter = fakePrompter.get();
    platform->prompter = std::move(fakePrompter);
    auto fakeShell = std::make_unique<FakeShell>();
    shell = fakeShell.get();
    platform->shell = std::move(fakeShell);
    auto fakeSound = std::make_unique<FakeSoundPlayer>();
    sound = fakeSound.get();
    platform->sound = std::move(fakeSound);
    platform->timeZone = std::make_unique<FakeTimeZoneSource>();
    platform->clockSetter = std::make_unique<FakeClockSetter>();
    auto fakeSleepGuard = std::make_unique<FakeSleepGuard>();
    sleepGuard = fakeSleepGuard.get();
    platform->sleepGuard = std::move(fakeSleepGuard);
    platform->connection = std::make_unique<FakeConnectionState>();
    platform->startupEntry = std::make_unique<FakeStartupEntry>();
    platform->instance
        = instanceOverride ? std::move(instanceOverride) : std::make_unique<FakeSingleInstance>();
    auto fakeTray = std::make_unique<FakeTray>();
    fakeTray->available = trayAvailable;
    tray = fakeTray.get();
    platform->tray = std::move(fakeTray);
    if (browserOverride) {
        platform->browser = std::move(browserOverride);
    } else {
        auto fakeBrowser = std::make_unique<FakeBrowserFactory>();
        browser = fakeBrowser.get();
        platform->browser = std::move(fakeBrowser);
    }
    return platform;
}

void AppFixture::writeConfig(const QString &server)
{
    QFile ini(dataFolder.filePath(QStringLiteral("config.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    QByteArray text = "[Hosts]\n";
    for (const char *key : { "ItemPage", "Main", "BidHistory", "Search", "CompletedSearch", "SellerListing",
             "Google", "Hotmail", "YahooMail", "Paypal" })
        text += QByteArray(key) + "=" + server.toLatin1() + "\n";
    text += "[TimeServers]\n";
    for (int i = 0; i < 12; ++i)
        text += "Server" + QByteArray::number(i) + "=" + server.toLatin1() + "\n";
    ini.write(text);
}

Application::StartResult AppFixture::start(const QString &commandLine, bool trayAvailable)
{
    if (!QFile::exists(dataFolder.filePath(QStringLiteral("config.ini"))))
        writeConfig();
    app = std::make_unique<Application>(
        commandLine, makePlatform(trayAvailable), dataFolder.path(), resourceFolder());
    return app->start();
}

} // namespace th::test
