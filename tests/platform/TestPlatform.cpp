#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <QLocalSocket>

#include "FakePrompter.h"
#include "FakeSeams.h"
#include "platform/AppPaths.h"
#include "platform/CheckedShell.h"
#include "platform/IConnectionState.h"
#include "platform/ITray.h"
#include "platform/LockFileSingleInstance.h"
#include "platform/NetworkConnectionState.h"
#include "platform/ShowRequestChannel.h"
#include "platform/TimedatedClockSetter.h"
#include "platform/XdgStartupEntry.h"

using namespace th;
using namespace th::test;

// The non-GUI implementations of the platform seams, each in a temporary folder of its own.
class TestPlatform final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void dataFolderComesFromTheEnvironment();
    void resourceFileNamesLoseDoubledSeparators();
    void oneInstancePerDataFolder();
    void lockIsFoundWhateverTheRuntimeFolder();
    void staleLockOfADeadProcessIsTakenOver();
    void laterStartAsksTheHolderToShowItsWindow();
    void showRequestWithoutAHolderFails();
    void onlyAShowRequestIsAnswered();
    void socketLeftByADeadProgramIsReplaced();
    void webAddressOpensWhereABrowserIsSetUp();
    void webAddressWithoutABrowserIsNamedAndCanBeCopied_data();
    void webAddressWithoutABrowserIsNamedAndCanBeCopied();
    void failedOpenOfAnUnknownDesktopIsReported();
    void filesOpenWithoutTheBrowserCheck();
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
    QVERIFY(first.lockPath().startsWith(a));
}

// A restore run from a shell without the desktop's runtime folder still finds the program.
void TestPlatform::lockIsFoundWhateverTheRuntimeFolder()
{
    const QString folder = m_dir.filePath(QStringLiteral("elsewhere"));
    QDir().mkpath(folder);
    LockFileSingleInstance program(folder);
    QVERIFY(program.tryAcquire());
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    LockFileSingleInstance restore(folder);
    const bool acquired = restore.tryAcquire();
    qputenv("XDG_RUNTIME_DIR", runtime);
    QVERIFY(!acquired);
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

void TestPlatform::laterStartAsksTheHolderToShowItsWindow()
{
    const QString folder = m_dir.filePath(QStringLiteral("show"));
    QDir().mkpath(folder);
    LockFileSingleInstance first(folder);
    LockFileSingleInstance later(folder);
    QVERIFY(first.tryAcquire());
    int shown = 0;
    first.listenForShowRequests([&shown] { ++shown; });
    QVERIFY(!later.tryAcquire());
    QVERIFY(later.askHolderToShow());
    QTRY_COMPARE(shown, 1);
    QVERIFY(later.askHolderToShow());
    QTRY_COMPARE(shown, 2);
    // The socket lies beside the lock, named from the same data folder.
    QCOMPARE(QFileInfo(first.socketPath()).path(), QFileInfo(first.lockPath()).path());
    QCOMPARE(
        QFileInfo(first.socketPath()).completeBaseName(), QFileInfo(first.lockPath()).completeBaseName());
    QCOMPARE(later.socketPath(), first.socketPath());
}

void TestPlatform::showRequestWithoutAHolderFails()
{
    const QString folder = m_dir.filePath(QStringLiteral("nobody"));
    QDir().mkpath(folder);
    LockFileSingleInstance alone(folder);
    QVERIFY(!alone.askHolderToShow());
    QVERIFY(!ShowRequestChannel::sendShowRequest(m_dir.filePath(QStringLiteral("runtime/none.sock")), 200));
}

void TestPlatform::onlyAShowRequestIsAnswered()
{
    ShowRequestChannel channel(m_dir.filePath(QStringLiteral("runtime/only.sock")));
    QVERIFY(channel.listen());
    QSignalSpy shown(&channel, &ShowRequestChannel::showRequested);
    for (const QByteArray &junk : { QByteArray("hello\n"), QByteArray(200, 'x'), QByteArray("SHOW") }) {
        QLocalSocket socket;
        socket.connectToServer(channel.socketPath());
        QVERIFY(socket.waitForConnected(2000));
        socket.write(junk);
        QVERIFY(socket.waitForBytesWritten(2000));
        socket.disconnectFromServer();
    }
    QVERIFY(ShowRequestChannel::sendShowRequest(channel.socketPath()));
    // The real request is answered once, and nothing else was.
    QTRY_COMPARE(shown.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(shown.count(), 1);
}

void TestPlatform::socketLeftByADeadProgramIsReplaced()
{
    const QString path = m_dir.filePath(QStringLiteral("runtime/left.sock"));
    QFile left(path);
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.close();
    ShowRequestChannel channel(path);
    QVERIFY(channel.listen());
    QSignalSpy shown(&channel, &ShowRequestChannel::showRequested);
    QVERIFY(ShowRequestChannel::sendShowRequest(path));
    QTRY_COMPARE(shown.count(), 1);
}

namespace {

struct ShellFixture {
    FakeShell *desktop = nullptr;
    FakeWebBrowserCheck *check = nullptr;
    FakePrompter prompter;
    QStringList copied;
    std::unique_ptr<CheckedShell> shell;

    explicit ShellFixture(IWebBrowserCheck::Answer answer, bool desktopOpens = true)
    {
        auto fakeDesktop = std::make_unique<FakeShell>();
        desktop = fakeDesktop.get();
        desktop->succeed = desktopOpens;
        auto fakeCheck = std::make_unique<FakeWebBrowserCheck>();
        check = fakeCheck.get();
        check->answer = answer;
        shell = std::make_unique<CheckedShell>(std::move(fakeDesktop), std::move(fakeCheck), prompter,
            [this](const QString &text) { copied.append(text); });
    }
};

const QString kItemPage = QStringLiteral("http://127.0.0.1:1/aw-cgi/eBayISAPI.dll?ViewItem&item=7000001");

} // namespace

void TestPlatform::webAddressOpensWhereABrowserIsSetUp()
{
    ShellFixture f(IWebBrowserCheck::Answer::Present);
    QVERIFY(f.shell->open(kItemPage));
    QCOMPARE(f.check->questions, 1);
    QCOMPARE(f.desktop->opened, QStringList { kItemPage });
    QVERIFY(f.prompter.shown().isEmpty());
}

void TestPlatform::webAddressWithoutABrowserIsNamedAndCanBeCopied_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("copy");
    QTest::newRow("copied") << kItemPage << true;
    QTest::newRow("closed") << kItemPage << false;
    QTest::newRow("https") << QStringLiteral("HTTPS://www.paypal.com/x?a=1") << true;
}

void TestPlatform::webAddressWithoutABrowserIsNamedAndCanBeCopied()
{
    QFETCH(QString, address);
    QFETCH(bool, copy);
    ShellFixture f(IWebBrowserCheck::Answer::Missing);
    f.prompter.queueAnswer(copy ? PromptAnswer::Copy : PromptAnswer::Ok);
    QVERIFY(!f.shell->open(address));
    // The desktop is not asked: it would report success and show nothing.
    QVERIFY(f.desktop->opened.isEmpty());
    QCOMPARE(f.prompter.shown().size(), 1);
    const FakePrompter::Shown shown = f.prompter.last();
    QCOMPARE(shown.text, CheckedShell::unopenedMessage(address));
    QVERIFY(shown.text.contains(u"\n\n" + address + u"\n\n"));
    QVERIFY(shown.text.startsWith(u"This page could not be opened, because no web browser is set up"));
    QCOMPARE(shown.title, QStringLiteral("Tallyhawk"));
    QCOMPARE(shown.icon, PromptIcon::Exclamation);
    QCOMPARE(shown.buttons, PromptButtons::CopyAddressClose);
    QCOMPARE(f.copied, copy ? QStringList { address } : QStringList {});
}

void TestPlatform::failedOpenOfAnUnknownDesktopIsReported()
{
    ShellFixture failing(IWebBrowserCheck::Answer::Unknown, /*desktopOpens=*/false);
    QVERIFY(!failing.shell->open(kItemPage));
    QCOMPARE(failing.desktop->opened, QStringList { kItemPage });
    QCOMPARE(failing.prompter.last().text, CheckedShell::unopenedMessage(kItemPage));

    ShellFixture opening(IWebBrowserCheck::Answer::Unknown);
    QVERIFY(opening.shell->open(kItemPage));
    QVERIFY(opening.prompter.shown().isEmpty());
}

void TestPlatform::filesOpenWithoutTheBrowserCheck()
{
    ShellFixture f(IWebBrowserCheck::Answer::Missing);
    const QString file = m_dir.filePath(QStringLiteral("backup.reg"));
    QVERIFY(f.shell->open(file));
    QCOMPARE(f.check->questions, 0);
    QCOMPARE(f.desktop->opened, QStringList { file });
    QVERIFY(f.prompter.shown().isEmpty());
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
    // A line break in the data folder's path would give the entry a second Exec= line, which
    // the desktop refuses: no entry is written, and the caller is told why.
    const Result<void> refused
        = entry.setEnabled(true, QStringLiteral("env \"TALLYHAWK_HOME=/home/u/a\nb\" /usr/bin/tallyhawk"));
    QVERIFY(!refused.ok());
    QVERIFY2(refused.errorMessage().contains(u"line break"), qPrintable(refused.errorMessage()));
    QVERIFY(!entry.isEnabled());
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
