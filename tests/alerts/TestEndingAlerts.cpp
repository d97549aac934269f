// The ending-item check and its window: the two alert windows, once per item and window, the
// blinking, the alarm sound phase, the pop-ups and the check's safety while it yields.

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include "FakeClock.h"
#include "FakeSeams.h"
#include "alerts/AlertCentre.h"
#include "alerts/AlertState.h"
#include "alerts/ui/EndingAlertPopUp.h"
#include "alerts/ui/frmEndingAlert.h"
#include "config/AppSettings.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

using namespace th;
using namespace th::test;

class TestEndingAlerts final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void windowsQueueByTheirOwnRule_data();
    void windowsQueueByTheirOwnRule();
    void anItemIsAnnouncedOncePerWindow();
    void aClickEmptiesThePendingListsAndTheIconReturns();
    void alarmSoundsAtEveryTickUntilItsPhaseEnds();
    void windowSelectsTheMostUrgentRowByItsOwnText();
    void browsePopUpNeedsBothThresholdsButAPaintDoesNot();
    void checkYieldingToARemovalAndASortQueuesNoWrongItem();
    void checkQueuingNothingLetsNothingElseRun();

private:
    // A watched item ending `secondsLeft` from now, with its record written as an update would.
    void watch(const QString &item, qint64 secondsLeft);
    int rowOf(const QString &item) const { return model.findRow(item); }

    WatchListModel model;
    WatchItems records;
    AlertState state;
    AppSettings settings;
    // Half a minute past a whole minute, so that whole minutes left are exact.
    FakeClock clock { QDateTime(QDate(2026, 3, 2), QTime(12, 0, 30)) };
    FakeSoundPlayer sound { QStringLiteral("/res/default.wav") };
    std::unique_ptr<AlertCentre> centre;
};

void TestEndingAlerts::init()
{
    model.clear();
    state = AlertState {};
    settings = AppSettings {};
    settings.gstrAlertTimeLeftSoundPath = QStringLiteral("/res/alarm.wav");
    sound.played.clear();
    keepRecordsWithRows(model, records, &model);
    centre = std::make_unique<AlertCentre>(AlertCentre::Context {
        state, records, model, settings, clock, sound, QStringLiteral("/res/default.wav") });
}

void TestEndingAlerts::cleanup()
{
    centre.reset();
    QObject::disconnect(&model, nullptr, &model, nullptr);
}

void TestEndingAlerts::watch(const QString &item, qint64 secondsLeft)
{
    const int row = model.addRow(item);
    records.at(row + 1).recItemNumber = item.toDouble();
    records.at(row + 1).recEndDate = clock.now().addSecs(secondsLeft);
}

void TestEndingAlerts::windowsQueueByTheirOwnRule_data()
{
    QTest::addColumn<int>("firstAlert");
    QTest::addColumn<int>("secondAlert");
    QTest::addColumn<qint64>("secondsLeft");
    QTest::addColumn<bool>("firstQueued");
    QTest::addColumn<bool>("secondQueued");
    QTest::newRow("1 h, 60 min left: not yet") << 1 << 0 << qint64(60 * 60) << false << false;
    QTest::newRow("1 h, 59 min left") << 1 << 0 << qint64(59 * 60) << true << false;
    QTest::newRow("5 min, 5 min left") << 0 << 5 << qint64(5 * 60) << false << true;
    QTest::newRow("5 min, 6 min left") << 0 << 5 << qint64(6 * 60) << false << false;
    QTest::newRow("both, within the last minute") << 1 << 5 << qint64(20) << false << false;
    QTest::newRow("both, ended") << 1 << 5 << qint64(-60) << false << false;
    QTest::newRow("both, 3 min left") << 1 << 5 << qint64(3 * 60) << true << true;
}

void TestEndingAlerts::windowsQueueByTheirOwnRule()
{
    QFETCH(int, firstAlert);
    QFETCH(int, secondAlert);
    QFETCH(qint64, secondsLeft);
    QFETCH(bool, firstQueued);
    QFETCH(bool, secondQueued);
    settings.FirstAlert = firstAlert;
    settings.SecondAlert = secondAlert;
    watch(QStringLiteral("2407604973"), secondsLeft);
    watch(QStringLiteral("2407604974"), 0); // a record no update has reached: the zero date
    records.at(2).recEndDate = QDateTime();
    centre->CheckEndingItems();
    QCOMPARE(state.FirstAlertPending, firstQueued ? QList<double> { 2407604973.0 } : QList<double> {});
    QCOMPARE(state.SecondAlertPending, secondQueued ? QList<double> { 2407604973.0 } : QList<double> {});
    QCOMPARE(centre->tmrFlashing.isActive(), firstQueued || secondQueued);
}

void TestEndingAlerts::anItemIsAnnouncedOncePerWindow()
{
    settings.SecondAlert = 10;
    watch(QStringLiteral("2407604973"), 4 * 60);
    centre->CheckEndingItems();
    centre->AcknowledgeAlerts();
    // The end moves (a new page) but stays inside the window: nothing new.
    records.at(1).recEndDate = clock.now().addSecs(8 * 60);
    centre->CheckEndingItems();
    QVERIFY(state.SecondAlertPending.isEmpty());
    QCOMPARE(state.SecondAlertDone, QList<double> { 2407604973.0 });
}

void TestEndingAlerts::aClickEmptiesThePendingListsAndTheIconReturns()
{
    settings.FirstAlert = 2;
    settings.SecondAlert = 10;
    watch(QStringLiteral("2407604973"), 4 * 60);
    QSignalSpy icon(centre.get(), &AlertCentre::flashPhaseChanged);
    centre->CheckEndingItems();
    QVERIFY(centre->tmrFlashing.isActive());
    centre->tmrFlashing_Timer();
    centre->tmrFlashing_Timer();
    QCOMPARE(icon.size(), 2);
    QCOMPARE(icon[0][0].toBool(), !icon[1][0].toBool()); // the two images by turns
    centre->AcknowledgeAlerts();
    QVERIFY(!state.hasPending());
    centre->CheckEndingItems();
    QVERIFY(!centre->tmrFlashing.isActive());
    QCOMPARE(icon.last()[0].toBool(), false); // the program's icon is back
}

void TestEndingAlerts::alarmSoundsAtEveryTickUntilItsPhaseEnds()
{
    settings.SecondAlert = 10;
    settings.PlayAlertSound = 1;
    watch(QStringLiteral("2407604973"), 4 * 60);
    centre->CheckEndingItems();
    centre->CheckEndingItems();
    QCOMPARE(sound.played.size(), 2);
    QCOMPARE(sound.played.first(), QStringLiteral("/res/default.wav")); // no alarm.wav here
    QVERIFY(centre->tmrStopAlarmSound.isActive());
    centre->tmrStopAlarmSound_Timer(); // 16 s after the first sound
    QVERIFY(!centre->tmrStopAlarmSound.isActive());
    centre->CheckEndingItems();
    QCOMPARE(sound.played.size(), 2);
    // A new phase once the user has looked; none while the alert window is open.
    centre->AcknowledgeAlerts();
    watch(QStringLiteral("2407604975"), 5 * 60);
    centre->CheckEndingItems();
    QCOMPARE(sound.played.size(), 3);
    (void)centre->openAlertWindow();
    watch(QStringLiteral("2407604976"), 5 * 60);
    centre->CheckEndingItems();
    QCOMPARE(sound.played.size(), 3);
    centre->alertWindowClosed();
}

void TestEndingAlerts::windowSelectsTheMostUrgentRowByItsOwnText()
{
    settings.FirstAlert = 2;
    settings.SecondAlert = 10;
    watch(QStringLiteral("2407600001"), 90 * 60); // first window only
    watch(QStringLiteral(" 2407604973 "), 4 * 60); // both windows; a row text with blanks
    centre->CheckEndingItems();
    QVERIFY(!state.FirstAlertPending.isEmpty() && !state.SecondAlertPending.isEmpty());
    const EndingAlertView view = centre->openAlertWindow();
    QCOMPARE(view.rowToSelect, QStringLiteral("2407604973"));
    QCOMPARE(view.hoursText, QStringLiteral("Total Item will be ended in 2 hr.: 2"));
    QCOMPARE(view.minutesText, QStringLiteral("Total Item will be ended in 10 min.: 1"));
    QCOMPARE(view.totalText, QStringLiteral("New Ending Item(s): 3"));
    QVERIFY(!state.hasPending());
    QVERIFY(state.AlertQuiet);
    centre->alertWindowClosed();
    QVERIFY(!state.AlertQuiet);
}

void TestEndingAlerts::browsePopUpNeedsBothThresholdsButAPaintDoesNot()
{
    settings.FirstAlert = 0;
    settings.SecondAlert = 10;
    watch(QStringLiteral("2407604973"), 4 * 60);
    QStringList selected;
    EndingAlertPopUp popUp(
        *centre, nullptr, { [&](const QString &item) { selected.append(item); }, [] { return true; } });
    int shown = 0;
    QString minutesLabel;
    connect(&popUp, &EndingAlertPopUp::windowShown, this, [&] {
        ++shown;
        const auto closing = qScopeGuard([&] { popUp.window()->cmdClose->click(); });
        minutesLabel = popUp.window()->lblAlertMinute->text();
        // Another paint while the window is open does not open a second one.
        popUp.mainWindowPainted();
    });
    centre->CheckEndingItems();
    QVERIFY(centre->tmrFlashing.isActive());
    popUp.tmrShowAlermWhileBrowse_Timer();
    QCOMPARE(shown, 0);
    popUp.mainWindowPainted(); // asks only; the window opens from the event loop
    QCOMPARE(shown, 0);
    QTRY_COMPARE(shown, 1);
    QCOMPARE(minutesLabel, QStringLiteral("Total Item will be ended in 10 min.: 1"));
    QCOMPARE(selected, QStringList { QStringLiteral("2407604973") });
    QVERIFY(!popUp.isShowing());
    QVERIFY(!state.AlertQuiet);
    QCoreApplication::processEvents();
    QCOMPARE(shown, 1);
}

void TestEndingAlerts::checkYieldingToARemovalAndASortQueuesNoWrongItem()
{
    settings.SecondAlert = 10;
    watch(QStringLiteral("2407600001"), 4 * 60); // inside
    watch(QStringLiteral("2407600002"), 3 * 3600); // outside
    watch(QStringLiteral("2407600003"), 6 * 60); // inside
    watch(QStringLiteral("2407600004"), 5 * 3600); // outside
    for (int row = 0; row < model.rowCount(); ++row)
        model.setSubItem(row, WatchListModel::EndDate2, QString::number(9 - row));
    // While the check yields after its first record: a pass ends and re-sorts the list, the
    // user removes a row, and the next tick comes.
    QMetaObject::invokeMethod(
        this,
        [this] {
            model.sortByEndDate();
            model.removeRowAt(rowOf(QStringLiteral("2407600002")));
            centre->CheckEndingItems();
        },
        Qt::QueuedConnection);
    centre->CheckEndingItems();
    QCOMPARE(model.rowCount(), 3); // all of it happened inside the check
    QList<double> queued = state.SecondAlertPending;
    std::sort(queued.begin(), queued.end());
    QCOMPARE(queued, (QList<double> { 2407600001.0, 2407600003.0 }));
    QCOMPARE(records.count(), model.rowCount());
}

void TestEndingAlerts::checkQueuingNothingLetsNothingElseRun()
{
    settings.FirstAlert = 1;
    settings.SecondAlert = 10;
    for (int i = 0; i < 20; ++i)
        watch(QString::number(2407600001 + i), 2 * 3600 + 60 * i);
    bool ran = false;
    QMetaObject::invokeMethod(
        this, [&] { ran = true; }, Qt::QueuedConnection);
    centre->CheckEndingItems();
    QVERIFY(!ran);
    QVERIFY(!state.hasPending());
    QCoreApplication::processEvents();
}

QTEST_MAIN(TestEndingAlerts)
#include "TestEndingAlerts.moc"
