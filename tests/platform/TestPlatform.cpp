#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include "platform/AppPaths.h"
#include "platform/IConnectionState.h"
#include "platform/ISingleInstance.h"
#include "platform/IStartupEntry.h"
#include "platform/ITray.h"
#include "platform/TimedatedClockSetter.h"

using namespace th;

// The non-GUI implementations of the platform seams, each in a temporary folder of its own.
class TestPlatform final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void dataFolderComesFromTheEnvironment();
    void resourceFileNamesLoseDoubledSeparators();
    void oneInstancePerDataFolder();
    void staleLockOfADeadProcessIsTakenOver();
    void startupEntryIsWrittenAndRemoved();
    void clockSetterReportsFailureWithoutSystemBus();
    void proxyFromTheEnvironmentIsReported();
    void trayTipIsCutTo63Characters();

private:
    QTemporaryDir m_dir;
};

void TestPlatform::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.filePath(QStringLiteral("runtime"))));
    QDir().mkpath(m_dir.filePath(QStringLiteral("runtime")));
    QFile::setPermissions(
        m_dir.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestPlatform::dataFolderComesFromTheEnvironment()
{
    const QString home = m_dir.filePath(QStringLiteral("home"));
    qputenv("TALLYHAWK_HOME", QFile::encodeName(home));
    QCOMPARE(AppPaths::dataFolder(), home);
    const Result<QString> made = AppPaths::ensureDataFolder();
    QVERIFY(made.ok());
    QCOMPARE(made.value(), home);
    QVERIFY(QDir(home + u"/IntelliSense").exists());
    // Making it again is harmless.
    QVERIFY(AppPaths::ensureDataFolder().ok());
}

void TestPlatform::resourceFileNamesLoseDoubledSeparators()
{
    QCOMPARE(AppPaths::join(QStringLiteral("/opt/th/"), QStringLiteral("alarm.wav")),
        QStringLiteral("/opt/th/alarm.wav"));
    QCOMPARE(AppPaths::join(QStringLiteral("/opt//th"), QStringLiteral("/notify.wav")),
        QStringLiteral("/opt/th/notify.wav"));
}

void TestPlatform::oneInstancePerDataFolder()
{
    const QString a = m_dir.filePath(QStringLiteral("a"));
    const QString b = m_dir.filePath(QStringLiteral("b"));
    QDir().mkpath(a);
    QDir().mkpath(b);
    LockFileSingleInstance first(a);
    LockFileSingleInstance second(a + u"/."); // the same folder spelled differently
    LockFileSingleInstance other(b);
    QVERIFY(first.tryAcquire());
    QVERIFY(first.tryAcquire()); // asking again keeps it
    QVERIFY(!second.tryAcquire());
    QVERIFY(other.tryAcquire());
    QVERIFY(first.lockPath().startsWith(m_dir.filePath(QStringLiteral("runtime"))));
}

void TestPlatform::staleLockOfADeadProcessIsTakenOver()
{
    const QString folder = m_dir.filePath(QStringLiteral("stale"));
    QDir().mkpath(folder);
    LockFileSingleInstance probe(folder);
    // A lock file naming a process that cannot exist, as a crashed program leaves it.
    QFile file(probe.lockPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("999999999\ntallyhawk\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    file.close();
    QVERIFY(probe.tryAcquire());
}

void TestPlatform::startupEntryIsWrittenAndRemoved()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
    XdgStartupEntry entry;
    QVERIFY(!entry.isEnabled());
    QVERIFY(entry.setEnabled(true, QStringLiteral("/usr/bin/tallyhawk")).ok());
    QVERIFY(entry.isEnabled());
    QFile file(XdgStartupEntry::entryPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY(text.contains("\nExec=/usr/bin/tallyhawk\n"));
    file.close();
    QVERIFY(entry.setEnabled(false, QString()).ok());
    QVERIFY(!entry.isEnabled());
    QVERIFY(entry.setEnabled(false, QString()).ok());
}

void TestPlatform::clockSetterReportsFailureWithoutSystemBus()
{
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/tallyhawk-test-bus");
    TimedatedClockSetter setter;
    bool called = false;
    Result<void> outcome;
    setter.adjustBy(3000, false, [&](Result<void> result) {
        called = true;
        outcome = result;
    });
    QTRY_VERIFY(called);
    QVERIFY(!outcome.ok());
    QVERIFY(outcome.errorMessage().startsWith(u"The clock cannot be set"));
}

void TestPlatform::proxyFromTheEnvironmentIsReported()
{
    NetworkConnectionState state;
    qputenv("http_proxy", "http://127.0.0.1:3128");
    QVERIFY(state.flags() & ConnectionFlag::Proxy);
    qunsetenv("http_proxy");
    QVERIFY(!(state.flags() & ConnectionFlag::Ras));
    QVERIFY(!(state.flags() & ConnectionFlag::Offline));
}

void TestPlatform::trayTipIsCutTo63Characters()
{
    const QString tip(80, u'x');
    QCOMPARE(ITray::cutTip(tip).size(), 63);
    QCOMPARE(ITray::cutTip(QStringLiteral("short")), QStringLiteral("short"));
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "TestPlatform.moc"
