#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "FakeClock.h"
#include "FakePrompter.h"
#include "FakeSeams.h"
#include "TestSupport.h"
#include "clock/ClockSync.h"
#include "clock/ui/frmSync.h"
#include "platform/SystemTimeZoneSource.h"
#include "sim/DaytimeServer.h"

using namespace th;

namespace {
const QByteArray kMidnightReply("\n60324 24-01-15 23:59:59 00 0 0   0.0 UTC(NIST) * \n");
} // namespace

// The clock dialog, with the simulator's daytime server behind its server list.
class TestFrmSync final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void loadFillsTheListsAndShowsTheFineTune_data();
    void loadFillsTheListsAndShowsTheFineTune();
    void replyShowsTheOffsetAndOffersTheAdjustment_data();
    void replyShowsTheOffsetAndOffersTheAdjustment();
    void atomicTimeTakesTheGmtChoice_data();
    void atomicTimeTakesTheGmtChoice();
    void autoUpdateSetsTheClockToTheNearestSuchTime();
    void closeButtonHandsOnTheFineTune_data();
    void closeButtonHandsOnTheFineTune();
    void fineTuneOutsideItsRangeIsRefused_data();
    void fineTuneOutsideItsRangeIsRefused();
    void noReplyWithinEightSecondsEnablesTheCheckAgain();
    void notConnectedDisablesTheAdjustment();
    void dialogFitsASmallScreenWithCloseInView();

private:
    std::unique_ptr<frmSync> open(const FixedSeconds &fineTune = {});
    void checkTimeDiff(frmSync &dialog);

    test::FakeClock m_clock;
    SystemTimeZoneSource m_zones;
    test::FakeClockSetter m_setter;
    test::FakeConnectionState m_connection;
    test::FakePrompter m_prompter;
    ClockState m_state;
    std::unique_ptr<sim::DaytimeServer> m_server;
    std::unique_ptr<ClockSync> m_sync;
};

void TestFrmSync::initTestCase()
{
    // The dialog's zone box and its default GMT choice are those of New York, whatever zone
    // the run was started in.
    test::setTimeZone("America/New_York");
}

void TestFrmSync::init()
{
    m_clock.set(QDateTime(QDate(2026, 3, 2), QTime(12, 0)));
    m_setter = {};
    m_state = {};
    m_prompter.clear();
    m_connection.value = ConnectionFlag::Lan | ConnectionFlag::Configured;
    m_server = std::make_unique<sim::DaytimeServer>([this] { return m_clock.now().toUTC(); }, 1);
    QVERIFY(m_server->listen(QHostAddress::LocalHost, 0));
    m_sync = std::make_unique<ClockSync>(m_state, m_clock, m_zones, m_setter);
}

void TestFrmSync::cleanup()
{
    m_sync.reset();
    m_server.reset();
}

std::unique_ptr<frmSync> TestFrmSync::open(const FixedSeconds &fineTune)
{
    QStringList configured(TimeServerTable::kCount);
    configured[1] = QStringLiteral("127.0.0.1:%1").arg(m_server->port());
    auto dialog
        = std::make_unique<frmSync>(frmSync::Context { *m_sync, m_state, m_clock, m_connection, m_prompter },
            TimeServerTable(configured), fineTune);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    return dialog;
}

void TestFrmSync::checkTimeDiff(frmSync &dialog)
{
    QTest::mouseClick(dialog.cmdChkTimeDiff, Qt::LeftButton);
    QVERIFY(!dialog.cmdChkTimeDiff->isEnabled());
    QVERIFY(dialog.tmResetIcon.isActive());
    QTRY_VERIFY(dialog.cmdChkTimeDiff->isEnabled());
}

void TestFrmSync::loadFillsTheListsAndShowsTheFineTune_data()
{
    QTest::addColumn<qint32>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("positive") << 3 << "+3";
    QTest::newRow("negative") << -1 << "-1";
    QTest::newRow("zero") << 0 << "0";
}

void TestFrmSync::loadFillsTheListsAndShowsTheFineTune()
{
    QFETCH(qint32, stored);
    QFETCH(QString, shown);
    const auto dialog = open(FixedSeconds(stored));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Atomic Time Syncronisation"));
    QCOMPARE(dialog->cboFineTune->currentText(), shown);
    QCOMPARE(dialog->cboFineTune->count(), 11);
    QCOMPARE(dialog->cboFineTune->itemText(5), QStringLiteral(" 0"));
    QCOMPARE(dialog->cmbServer->count(), 12);
    QCOMPARE(dialog->cmbServer->currentIndex(), 1);
    QCOMPARE(dialog->cmbServer->currentText(), QStringLiteral("[127.0.0.1] NIST, Gaithersburg, Maryland"));
    QCOMPARE(dialog->cmbGMT->count(), 25);
    QCOMPARE(dialog->cmbGMT->currentText(), QStringLiteral("[GMT -5 h.]"));
    QCOMPARE(dialog->cmbGMT->itemText(12), QStringLiteral("[GMT +0]"));
    QCOMPARE(dialog->cmbGMT->itemText(24), QStringLiteral("[GMT +12 h.]"));
    QCOMPARE(dialog->lLocalTime->text(), QStringLiteral("12:00:00"));
    QCOMPARE(dialog->txtTimeZone->text(), QStringLiteral("EST"));
    for (QTimer *timer : { &dialog->tmResetIcon, &dialog->timeLocal, &dialog->timeRemote })
        QVERIFY(!timer->isActive());
    QCOMPARE(dialog->tmResetIcon.interval(), 8000);
    QCOMPARE(dialog->timeLocal.interval(), 100);
}

void TestFrmSync::replyShowsTheOffsetAndOffersTheAdjustment_data()
{
    QTest::addColumn<qint64>("serverAhead");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("atomic");
    // 12:00 in New York is 17:00 UTC; the GMT -5 choice shows it as 12:00.
    QTest::newRow("in step") << qint64(0) << false << "0" << QColor(Qt::darkGreen) << "12:00:00";
    QTest::newRow("PC 7 s fast") << qint64(-7) << false << "-7" << QColor(Qt::red) << "11:59:53";
    QTest::newRow("PC 7 s fast, setting refused")
        << qint64(-7) << true << "-7" << QColor(Qt::red) << "11:59:53";
}

void TestFrmSync::replyShowsTheOffsetAndOffersTheAdjustment()
{
    QFETCH(qint64, serverAhead);
    QFETCH(bool, refused);
    QFETCH(QString, shown);
    QFETCH(QColor, colour);
    QFETCH(QString, atomic);
    const QString refusal = QStringLiteral("The clock cannot be set: not authorised");
    if (refused)
        m_setter.result = makeError(2, refusal);
    m_server->setOffsetSeconds(serverAhead);
    const auto dialog = open();
    QVERIFY(!dialog->cmdAdjustSysTime->isEnabled());
    checkTimeDiff(*dialog);
    QCOMPARE(dialog->txtSysTimeDiff->text(), shown);
    QCOMPARE(dialog->txtSysTimeDiff->palette().color(QPalette::Text), colour);
    QCOMPARE(dialog->cmdAdjustSysTime->isEnabled(), serverAhead != 0);
    QCOMPARE(dialog->lAtomicTime->text(), atomic);
    QVERIFY(m_setter.adjustments.isEmpty());
    if (serverAhead == 0)
        return;

    QTest::mouseClick(dialog->cmdAdjustSysTime, Qt::LeftButton);
    QCOMPARE(m_setter.adjustments, QList<qint64> { serverAhead * 1000 });
    QCOMPARE(m_setter.interactive, QList<bool> { true });
    QCOMPARE(m_state.ClockOffsetSeconds, qint32(serverAhead));
    // A refusal says so and leaves the offset to adjust; a success shows the clock in step.
    QCOMPARE(dialog->lblClockMessage->text(), refused ? refusal : QString());
    QCOMPARE(dialog->txtSysTimeDiff->text(), refused ? shown : QStringLiteral("0"));
    QCOMPARE(dialog->cmdAdjustSysTime->isEnabled(), refused);
    if (!refused)
        return;
    // The refusal is old news once the next reply has come.
    m_server->setOffsetSeconds(0);
    checkTimeDiff(*dialog);
    QCOMPARE(dialog->txtSysTimeDiff->text(), QStringLiteral("0"));
    QVERIFY(dialog->lblClockMessage->text().isEmpty());
}

void TestFrmSync::atomicTimeTakesTheGmtChoice_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("gmtEntry");
    QTest::addColumn<QString>("shown");
    QTest::newRow("GMT +0") << kMidnightReply << 12 << "23:59:59";
    QTest::newRow("GMT +1 wraps") << kMidnightReply << 13 << "00:59:59";
    QTest::newRow("GMT -5") << kMidnightReply << 7 << "18:59:59";
    QTest::newRow("no colon: the same places")
        << QByteArray("\n60324 24-01-15 06 59 59 00") << 12 << "06 59 59";
}

void TestFrmSync::atomicTimeTakesTheGmtChoice()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, gmtEntry);
    QFETCH(QString, shown);
    const auto dialog = open();
    dialog->txtSysTimeDiff->setText(QStringLiteral("4"));
    dialog->cmbGMT->setCurrentIndex(gmtEntry);
    dialog->wskAtom_DataArrival(QString::fromLatin1(reply));
    QCOMPARE(dialog->lAtomicTime->text(), shown);
    if (!reply.contains(':'))
        QCOMPARE(dialog->txtSysTimeDiff->text(), QStringLiteral("4"));
}

void TestFrmSync::autoUpdateSetsTheClockToTheNearestSuchTime()
{
    // 23:59:50 here; the server's 05:00:05 UTC at GMT -5 is 00:00:05, 15 seconds ahead.
    m_clock.set(QDateTime(QDate(2026, 3, 2), QTime(23, 59, 50)));
    const auto dialog = open();
    dialog->chkSys->setChecked(true);
    dialog->wskAtom_DataArrival(QStringLiteral("\n61102 26-03-03 05:00:05 57 0 0  50.0 UTC(NIST) * \n"));
    QCOMPARE(dialog->lAtomicTime->text(), QStringLiteral("00:00:05"));
    QCOMPARE(m_setter.adjustments, QList<qint64> { 15000 });
    QCOMPARE(m_setter.interactive, QList<bool> { true });
}

void TestFrmSync::closeButtonHandsOnTheFineTune_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<qint32>("stored");
    QTest::newRow("+2") << "+2" << qint64(20000) << 2;
    QTest::newRow("abc") << "abc" << qint64(0) << 0;
    QTest::newRow("-3") << "-3" << qint64(-30000) << -3;
    QTest::newRow("+2.5 keeps its half, stores the even 2") << "+2.5" << qint64(25000) << 2;
    QTest::newRow("3.5 stores 4") << "3.5" << qint64(35000) << 4;
    QTest::newRow("-5, the list's end") << "-5" << qint64(-50000) << -5;
}

void TestFrmSync::closeButtonHandsOnTheFineTune()
{
    QFETCH(QString, typed);
    QFETCH(qint64, units);
    QFETCH(qint32, stored);
    const auto dialog = open();
    QSignalSpy chosen(dialog.get(), &frmSync::fineTuneChosen);
    dialog->show();
    dialog->cboFineTune->setEditText(typed);
    QTest::mouseClick(dialog->cmdClose, Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    const auto fineTune = chosen.first().first().value<FixedSeconds>();
    QCOMPARE(fineTune.units(), units);
    QCOMPARE(fineTune.toStored(), stored);
    QVERIFY(!dialog->isVisible());
}

void TestFrmSync::fineTuneOutsideItsRangeIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("99999") << "99999";
    QTest::newRow("-3600") << "-3600";
    QTest::newRow("+5.5") << "+5.5";
}

void TestFrmSync::fineTuneOutsideItsRangeIsRefused()
{
    QFETCH(QString, typed);
    const auto dialog = open();
    QSignalSpy chosen(dialog.get(), &frmSync::fineTuneChosen);
    dialog->show();
    dialog->cboFineTune->setEditText(typed);
    QTest::mouseClick(dialog->cmdClose, Qt::LeftButton);
    QCOMPARE(chosen.count(), 0);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_prompter.shown().size(), 1);
    QCOMPARE(
        m_prompter.last().text, QStringLiteral("Please check, Finetune Adj. must be from -5 to +5 seconds"));
    QCOMPARE(m_prompter.last().icon, PromptIcon::Critical);
}

void TestFrmSync::noReplyWithinEightSecondsEnablesTheCheckAgain()
{
    m_server->setMode(sim::DaytimeServer::Mode::Silent);
    const auto dialog = open();
    QTest::mouseClick(dialog->cmdChkTimeDiff, Qt::LeftButton);
    QVERIFY(!dialog->cmdChkTimeDiff->isEnabled());
    QVERIFY(dialog->wskAtom.isActive());
    dialog->tmResetIcon_Timer();
    QVERIFY(dialog->cmdChkTimeDiff->isEnabled());
    QVERIFY(!dialog->tmResetIcon.isActive());
    QVERIFY(!dialog->wskAtom.isActive());
    QVERIFY(dialog->txtSysTimeDiff->text().isEmpty());
}

void TestFrmSync::notConnectedDisablesTheAdjustment()
{
    m_connection.value = 0;
    const auto dialog = open();
    QVERIFY(!dialog->frmeAtomTime->isEnabled());
    QCOMPARE(dialog->txtInetDescription->toPlainText(),
        QStringLiteral(
            "You are NOT connected to the internet, please recheck your connection before using our "
            "software"));
    QCOMPARE(dialog->txtInetOnline->text(), QStringLiteral("..."));
    QCOMPARE(dialog->txtInetOnline->palette().color(QPalette::Text), QColor(Qt::black));

    m_connection.value = ConnectionFlag::Lan | ConnectionFlag::Proxy | ConnectionFlag::Configured;
    QTest::mouseClick(dialog->cmdRecheckInet, Qt::LeftButton);
    QVERIFY(dialog->frmeAtomTime->isEnabled());
    QCOMPARE(dialog->txtInetViaLAN->text(), QStringLiteral("Detected"));
    QCOMPARE(dialog->txtInetViaLAN->palette().color(QPalette::Text), QColor(Qt::red));
    QCOMPARE(dialog->txtInetDescription->toPlainText(),
        QStringLiteral(
            "You have a network connection configured.\nYour system connects to the Internet via a "
            "LAN, Cable Modem, or any services that use Internet via Ethernet Card, and uses a proxy "
            "server. "));
}

void TestFrmSync::dialogFitsASmallScreenWithCloseInView()
{
    // A font twice as large, as a scale of 2 gives, makes the frames together taller than
    // the test screen.
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 2);
    QApplication::setFont(large);
    const auto restore = qScopeGuard([&normal] { QApplication::setFont(normal); });
    const auto dialog = open();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QVERIFY2(dialog->height() <= dialog->screen()->availableSize().height(),
        qPrintable(QString::number(dialog->height())));
    QVERIFY(dialog->rect().contains(dialog->cmdClose->geometry()));
}

QTEST_MAIN(TestFrmSync)
#include "TestFrmSync.moc"
