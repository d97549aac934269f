#include <QTest>

#include "browser/BrowserLog.h"

using namespace th;

// The web engine keeps the terminal quiet unless its log is asked for.
class TestBrowserLog final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void engineFlagsHoldItsLogToFatalErrors_data();
    void engineFlagsHoldItsLogToFatalErrors();
    void startUpReportIsQuietedForTheRun();
};

void TestBrowserLog::engineFlagsHoldItsLogToFatalErrors_data()
{
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<bool>("wanted");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("none") << QByteArray() << false << QByteArray("--log-level=3");
    QTest::newRow("others kept") << QByteArray(" --disable-gpu ") << false
                                 << QByteArray("--disable-gpu --log-level=3");
    QTest::newRow("own level kept") << QByteArray("--log-level=0") << false << QByteArray("--log-level=0");
    QTest::newRow("log wanted") << QByteArray("--disable-gpu") << true << QByteArray("--disable-gpu");
}

void TestBrowserLog::engineFlagsHoldItsLogToFatalErrors()
{
    QFETCH(QByteArray, flags);
    QFETCH(bool, wanted);
    QFETCH(QByteArray, result);
    QCOMPARE(quietWebEngineFlags(flags, wanted), result);
}

void TestBrowserLog::startUpReportIsQuietedForTheRun()
{
    qunsetenv(kWebEngineLogVariable);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    quietWebEngineLog();
    QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), QByteArray("--disable-gpu --log-level=3"));
    const QLoggingCategory engine("qt.webenginecontext");
    QVERIFY(!engine.isInfoEnabled());
    QVERIFY(!engine.isDebugEnabled());
    QVERIFY(engine.isWarningEnabled());
    QVERIFY(lcBrowser().isInfoEnabled());
}

QTEST_GUILESS_MAIN(TestBrowserLog)
#include "TestBrowserLog.moc"
