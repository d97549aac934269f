#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "AppFixture.h"
#include "alerts/AlertCentre.h"
#include "alerts/AlertState.h"
#include "app/ClockCommands.h"
#include "app/ColumnWidthMemory.h"
#include "app/SearchCommands.h"
#include "app/UnixSignals.h"
#include "app/UpdateCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "clock/ui/frmSync.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "platform/LockFileSingleInstance.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/ui/RowIcons.h"
#include "watchlist/ui/WatchListView.h"
#include "widgets/LcdFont.h"

#include <csignal>

#include <QSignalSpy>

using namespace th;
using namespace th::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray configText(const AppFixture &f)
{
    QFile ini(f.dataFolder.filePath(QStringLiteral("config.ini")));
    return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
}

} // namespace

// Start-up, the two windows, their timers, the tray icon and menu, and closing.
class TestAppShell final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showOption_data();
    void showOption();
    void secondInstanceOnTheSameDataFolderEnds();
    void secondStartWithShowBringsTheRunningWindowForward();
    void onlyASecondStartWithShowAsksForTheWindow_data();
    void onlyASecondStartWithShowAsksForTheWindow();
    void windowShownFromTheTrayReturnsWhereTheUserLeftIt();
    void columnsStartWithThePartsWidths();
    void resizedColumnWidthsAreRestoredAfterARestart();
    void filesThatCannotBeWrittenAreKeptAndTheUserIsTold();
    void timersHaveTheirIntervalsAndStates();
    void captionAndTrayTip();
    void longTipIsCut();
    void trayMenuEntriesInOrder();
    void trayDoubleClickShowsAndMenuOpens();
    void closeBoxHidesAndTimersGoOn();
    void withoutNotificationAreaTheWindowShowsAndMinimises();
    void sessionEndHidesFirstThenEnds();
    void refusedSessionEndWithoutNotificationAreaMinimises();
    void withoutNotificationAreaTheWindowIconBlinks();
    void theWayOutIsNamed();
    void notificationAreaThatComesAndGoesIsFollowed();
    void mainWindowAccessKeysAreUnambiguous();
    void exitDuringStartUpEndsTheProgram();
    void closeButtonAcknowledgesAlerts();
    void sortOrdersAndStatusPanels();
    void storeThatCannotBeOpenedIsReportedAndKept_data();
    void storeThatCannotBeOpenedIsReportedAndKept();
    void startUpKeepsTheDaysCopyOfTheStore();
    void terminationSignalsAskForExit();
    void digitFontLoadsAndUnloads();
    void clockDialogOpensOnceAndKeepsTheFineTune();
    void failedAutomaticCorrectionIsReportedWithoutABox_data();
    void failedAutomaticCorrectionIsReportedWithoutABox();
};

void TestAppShell::showOption_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("shown");
    QTest::newRow("/show") << "/show" << true;
    QTest::newRow("capitals") << "/SHOW" << true;
    QTest::newRow("mixed") << "/Show" << true;
    QTest::newRow("further text") << "/show x" << false;
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("other option") << "-show" << false;
}

void TestAppShell::showOption()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, shown);
    AppFixture f;
    QCOMPARE(f.start(commandLine), Application::StartResult::Running);
    QCOMPARE(f.app->parts().mainWindow->isVisible(), shown);
    QVERIFY(f.tray->isShown());
}

void TestAppShell::secondInstanceOnTheSameDataFolderEnds()
{
    AppFixture first;
    first.instanceOverride = std::make_unique<LockFileSingleInstance>(first.dataFolder.path());
    QCOMPARE(first.start(), Application::StartResult::Running);

    AppFixture second;
    second.instanceOverride = std::make_unique<LockFileSingleInstance>(first.dataFolder.path());
    QCOMPARE(second.start(), Application::StartResult::AnotherInstance);
    // It ended before touching the tray, the store or a window.
    QCOMPARE(second.tray->adds, 0);
    QVERIFY(!second.app->parts().mainWindow.get());
    QVERIFY(!second.app->parts().store.get());
    QVERIFY(!QFile::exists(second.dataFolder.filePath(QStringLiteral("registry.db"))));
    QVERIFY(QFile::exists(first.dataFolder.filePath(QStringLiteral("registry.db"))));

    AppFixture elsewhere;
    elsewhere.instanceOverride = std::make_unique<LockFileSingleInstance>(elsewhere.dataFolder.path());
    QCOMPARE(elsewhere.start(), Application::StartResult::Running);
    // The first one is unchanged.
    QVERIFY(first.tray->isShown());
    QCoreApplication::processEvents();
    QVERIFY(!first.app->parts().mainWindow->isVisible());
}

void TestAppShell::secondStartWithShowBringsTheRunningWindowForward()
{
    AppFixture first;
    first.instanceOverride = std::make_unique<LockFileSingleInstance>(first.dataFolder.path());
    QCOMPARE(first.start(), Application::StartResult::Running);
    frmWatch *main = first.app->parts().mainWindow.get();
    QVERIFY(!main->isVisible());

    AppFixture second;
    second.instanceOverride = std::make_unique<LockFileSingleInstance>(first.dataFolder.path());
    QCOMPARE(second.start(QStringLiteral("/Show")), Application::StartResult::AnotherInstance);
    // The second still ended before touching the tray, the store or a window.
    QCOMPARE(second.tray->adds, 0);
    QVERIFY(!second.app->parts().mainWindow.get());
    QVERIFY(!second.app->parts().store.get());
    QTRY_VERIFY(main->isVisible());
    QVERIFY(!first.app->exiting());

    // Minimised, it comes back too.
    main->showMinimized();
    AppFixture third;
    third.instanceOverride = std::make_unique<LockFileSingleInstance>(first.dataFolder.path());
    QCOMPARE(third.start(QStringLiteral("/show")), Application::StartResult::AnotherInstance);
    QTRY_VERIFY(!main->isMinimized());
    QVERIFY(main->isVisible());
}

void TestAppShell::onlyASecondStartWithShowAsksForTheWindow_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("requests");
    QTest::newRow("automatic start") << "" << 0;
    QTest::newRow("/show") << "/show" << 1;
    QTest::newRow("capitals") << "/SHOW" << 1;
    QTest::newRow("further text") << "/show x" << 0;
}

void TestAppShell::onlyASecondStartWithShowAsksForTheWindow()
{
    QFETCH(QString, commandLine);
    AppFixture second;
    auto instance = std::make_unique<FakeSingleInstance>();
    instance->available = false;
    FakeSingleInstance *fake = instance.get();
    second.instanceOverride = std::move(instance);
    QCOMPARE(second.start(commandLine), Application::StartResult::AnotherInstance);
    QTEST(fake->showRequestsSent, "requests");
    QVERIFY(!fake->onShowRequest);

    // The holder listens once it is up, and shows its window when asked.
    AppFixture holder;
    auto held = std::make_unique<FakeSingleInstance>();
    FakeSingleInstance *heldFake = held.get();
    holder.instanceOverride = std::move(held);
    QCOMPARE(holder.start(), Application::StartResult::Running);
    QVERIFY(heldFake->onShowRequest);
    QVERIFY(!holder.app->parts().mainWindow->isVisible());
    heldFake->onShowRequest();
    QVERIFY(holder.app->parts().mainWindow->isVisible());
}

void TestAppShell::windowShownFromTheTrayReturnsWhereTheUserLeftIt()
{
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    main->resize(main->minimumSize());
    main->move(QPoint(37, 23));
    const QRect left = main->geometry();
    main->ui.cmdClose->click();
    QVERIFY(!main->isVisible());
    // The desktop would place a window shown anew where it likes.
    main->move(QPoint(0, 0));
    f.tray->doubleClick();
    QVERIFY(main->isVisible());
    QCOMPARE(main->geometry(), left);

    // Moved again and put away with the close box: it returns to the new place.
    main->move(QPoint(51, 64));
    const QRect again = main->geometry();
    QVERIFY(!main->close());
    main->move(QPoint(60, 60));
    f.app->parts().resources->mnuShow->trigger();
    QCOMPARE(main->geometry(), again);
}

void TestAppShell::columnsStartWithThePartsWidths()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    const WatchListView *view = f.app->parts().mainWindow->ui.lstWatching;
    const WatchListModel &model = *f.app->parts().listModel;
    QCOMPARE(model.columnCount(), 11);
    for (int i = 0; i < model.columnCount(); ++i) {
        const int twips = model.columns().at(i).widthTwips;
        QCOMPARE(view->isColumnHidden(i), twips == 0);
        if (twips != 0)
            QCOMPARE(view->columnWidth(i), twipsToPixels(twips));
    }
    QCOMPARE(view->columnWidth(1), twipsToPixels(6703));
    QVERIFY(view->isColumnHidden(model.columnOfKey(QStringLiteral("End Date2"))));
    // Nothing is written for a user who never resized a column.
    f.app->exitProgram();
    QVERIFY(!configText(f).contains("[Columns]"));
}

void TestAppShell::resizedColumnWidthsAreRestoredAfterARestart()
{
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    WatchListView *view = f.app->parts().mainWindow->ui.lstWatching;
    ColumnWidthMemory *memory = f.app->parts().columnWidths.get();
    QVERIFY(!memory->tmrSaveColumnWidths.isActive());
    view->header()->resizeSection(1, 333);
    view->header()->resizeSection(5, 121);
    // A drag is written once it has ended.
    QVERIFY(memory->tmrSaveColumnWidths.isActive());
    QVERIFY(memory->tmrSaveColumnWidths.isSingleShot());
    QVERIFY(!configText(f).contains("[Columns]"));
    memory->save();
    QVERIFY(!memory->tmrSaveColumnWidths.isActive());
    QByteArray text = configText(f);
    QVERIFY(text.contains(
        QByteArray("[Columns]\nWidth0=" + QByteArray::number(twipsToPixels(2205)) + "\nWidth1=333\n")));
    QVERIFY(text.contains("\nWidth5=121\n"));
    QVERIFY(text.contains("\nWidth8=0\n"));
    QVERIFY(text.contains(QByteArray("\nWidth10=" + QByteArray::number(twipsToPixels(900)) + "\n")));
    // The hosts written before stay as they were.
    QVERIFY(text.startsWith("[Hosts]\nItemPage=127.0.0.1:1\n"));

    // A change still waiting at exit is written then.
    view->header()->resizeSection(2, 77);
    f.app->exitProgram();
    QVERIFY(configText(f).contains("\nWidth2=77\n"));
    f.app.reset();

    // Even a width saved for the hidden end-date key keeps it hidden.
    QFile ini(f.dataFolder.filePath(QStringLiteral("config.ini")));
    QVERIFY(ini.open(QIODevice::ReadWrite));
    text = ini.readAll().replace("Width8=0", "Width8=90").replace("Width3=", "Width3=x");
    ini.resize(0);
    ini.write(text);
    ini.close();
    QCOMPARE(f.start(), Application::StartResult::Running);
    view = f.app->parts().mainWindow->ui.lstWatching;
    QCOMPARE(view->columnWidth(1), 333);
    QCOMPARE(view->columnWidth(2), 77);
    QCOMPARE(view->columnWidth(5), 121);
    // A value that is not a width gives the column its own.
    QCOMPARE(view->columnWidth(3), twipsToPixels(2204));
    QVERIFY(view->isColumnHidden(8));
    QCOMPARE(view->columnWidths().at(8), 0);
}

// A disk that fills up while config.ini or the search history is written: the files keep
// what they held (the configured hosts above all), and the user learns why.
void TestAppShell::filesThatCannotBeWrittenAreKeptAndTheUserIsTold()
{
    AppFixture f;
    QVERIFY(QDir(f.dataFolder.path()).mkpath(QStringLiteral("IntelliSense")));
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    const QByteArray config = configText(f);
    f.app->parts().mainWindow->ui.txtAddress->setEditText(QString(2 * config.size(), u'x'));
    f.app->parts().search->RunSearch();
    const auto historyBytes = [&f] {
        QFile history(f.dataFolder.filePath(QStringLiteral("IntelliSense/iSense.dat")));
        return history.open(QIODevice::ReadOnly) ? history.readAll() : QByteArray();
    };
    const QByteArray searches = historyBytes();
    QVERIFY(searches.size() > config.size());
    f.app->parts().mainWindow->ui.lstWatching->header()->resizeSection(1, 333);
    {
        const FileSizeLimit full(config.size());
        f.app->parts().columnWidths->save();
        f.app->parts().search->SaveSearchHistory();
    }
    QCOMPARE(configText(f), config);
    QCOMPARE(historyBytes(), searches);
    QCOMPARE(f.tray->messages.size(), 2);
    QVERIFY2(f.tray->messages[0].contains(u"config.ini: File too large"), qPrintable(f.tray->messages[0]));
    QVERIFY2(f.tray->messages[1].contains(u"iSense.dat: File too large"), qPrintable(f.tray->messages[1]));
}

void TestAppShell::timersHaveTheirIntervalsAndStates()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    frmResource *res = f.app->parts().resources.get();
    struct Expected {
        QTimer *timer;
        const char *name;
        int interval;
        bool active;
    };
    const Expected table[] = {
        { &main->tmrChkAutoBid, "tmrChkAutoBid", 1000, false },
        { &main->tmrUpdateCurrentItem, "tmrUpdateCurrentItem", 500, false },
        { &main->tmrShowAlermWhileBrowse, "tmrShowAlermWhileBrowse", 6000, true },
        { &main->tmShowSysClock, "tmShowSysClock", 1000, true },
        { &res->tmrAutoChkTimeSync, "tmrAutoChkTimeSync", 10000, true },
        { &res->engine()->tmrCheckBids, "tmrCheckBids", 60000, true }, // switched on at the end of start-up
        { &res->engine()->tmNextUpdate, "tmNextUpdate", 1000, false },
        { &res->engine()->tmrSockTimeOut[0], "tmrSockTimeOut", 15000, false },
        { &res->engine()->tmrSockTimeOut[4], "tmrSockTimeOut", 15000, false },
        { &res->engine()->tmrDelayUpdateBid, "tmrDelayUpdateBid", 2000, false },
        { &res->alerts().tmrChkItemAlert, "tmrChkItemAlert", 5000, false },
        { &res->alerts().tmrFlashing, "tmrFlashing", 500, false },
        { &res->alerts().tmrStopAlarmSound, "tmrStopAlarmSound", 16000, false },
    };
    for (const Expected &e : table) {
        QCOMPARE(e.timer->objectName(), QString::fromLatin1(e.name));
        QCOMPARE(e.timer->interval(), e.interval);
        QVERIFY2(e.timer->isActive() == e.active, e.name);
    }
    QVERIFY(main->tmrUpdateCurrentItem.isSingleShot());
}

void TestAppShell::captionAndTrayTip()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    const QRegularExpression caption(
        QStringLiteral(R"(^Tallyhawk for eBay \(Version [1-9]?\d\.[1-9]?\d\.[1-9]?\d\)$)"));
    QVERIFY(caption.match(f.app->parts().mainWindow->windowTitle()).hasMatch());
    QCOMPARE(f.tray->tip, f.app->parts().mainWindow->windowTitle());
    // The time servers come from the configuration (the fixture puts them on loopback).
    QCOMPARE(f.app->parts().resources->timeServers().hostName(0), QStringLiteral("127.0.0.1"));
    QCOMPARE(f.app->parts().resources->timeServers().location(11),
        QStringLiteral("Abovenet, San Jose, California"));
    QCOMPARE(f.tray->menu, f.app->parts().resources->trayMenu());
}

void TestAppShell::longTipIsCut()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    f.app->parts().resources->ModifyTrayIcon(QIcon(), QString(80, u'x'));
    QCOMPARE(f.tray->tip.size(), 63);
}

void TestAppShell::trayMenuEntriesInOrder()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    const QList<QAction *> actions = f.app->parts().resources->trayMenu()->actions();
    QStringList names;
    QStringList captions;
    QList<bool> visible;
    for (QAction *a : actions) {
        names.append(a->objectName());
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        visible.append(a->isVisible());
    }
    QCOMPARE(names,
        (QStringList { "mnuShow", "mnuGetItemInfo", "mnuSep0", "mnuSetUpWatch", "mnuSyncClock",
            "mnuSystemSetting", "mnuBidLog", "mnuSep1a", "mnuTestAdjClock", "mnuSep1", "mnuAbout", "mnuBar6",
            "mnuExit" }));
    QCOMPARE(captions,
        (QStringList { "Show Watch Window", "Update Item Info", "-", "Set-Up Watch Items",
            "Sync-clock with eBay", "System Configuration", "Bid Log", "-", "Test Clock Adj", "-", "About",
            "-", "Exit" }));
    QCOMPARE(visible,
        (QList<bool> { true, true, true, false, true, true, true, false, false, true, true, true, true }));
}

void TestAppShell::trayDoubleClickShowsAndMenuOpens()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    QVERIFY(!main->isVisible());
    f.tray->doubleClick();
    QVERIFY(main->isVisible());
    // Again while shown: still shown, nothing else changes.
    f.tray->doubleClick();
    QVERIFY(main->isVisible());
    QCOMPARE(f.tray->adds, 1);

    f.tray->requestMenu(QPoint(40, 40));
    QTRY_VERIFY(f.app->parts().resources->trayMenu()->isVisible());
    f.app->parts().resources->trayMenu()->hide();
}

void TestAppShell::closeBoxHidesAndTimersGoOn()
{
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    QVERIFY(main->isVisible());
    QVERIFY(!main->close());
    QVERIFY(!main->isVisible());
    QVERIFY(!main->MainWindowActive);
    QVERIFY(f.tray->isShown());
    QVERIFY(f.app->parts().engine->tmrCheckBids.isActive());
    QVERIFY(main->tmShowSysClock.isActive());
    QVERIFY(!f.app->exiting());
}

void TestAppShell::withoutNotificationAreaTheWindowShowsAndMinimises()
{
    AppFixture f;
    QCOMPARE(f.start(QString(), /*trayAvailable=*/false), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    QVERIFY(main->isVisible());
    QVERIFY(!main->close());
    QVERIFY(main->isVisible());
    QVERIFY(main->isMinimized());
    QVERIFY(!f.app->exiting());
}

void TestAppShell::sessionEndHidesFirstThenEnds()
{
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    QVERIFY(f.app->refuseSessionEnd());
    QVERIFY(!f.app->parts().mainWindow->isVisible());
    QVERIFY(f.tray->isShown());
    // Hidden now: the next request ends the program without asking.
    QVERIFY(!f.app->refuseSessionEnd());
    QVERIFY(f.app->exiting());
    QVERIFY(!f.tray->isShown());
    QVERIFY(f.prompter->shown().isEmpty());
}

void TestAppShell::refusedSessionEndWithoutNotificationAreaMinimises()
{
    AppFixture f;
    QCOMPARE(f.start(QString(), /*trayAvailable=*/false), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    QVERIFY(f.app->refuseSessionEnd());
    // The logout may still be cancelled: the program must stay within reach.
    QVERIFY(main->isVisible());
    QVERIFY(main->isMinimized());
    QVERIFY(!f.app->refuseSessionEnd());
    QVERIFY(f.app->exiting());
}

void TestAppShell::withoutNotificationAreaTheWindowIconBlinks()
{
    AppFixture f;
    QCOMPARE(f.start(QString(), /*trayAvailable=*/false), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    AlertCentre &alerts = f.app->parts().resources->alerts();
    const qint64 programIcon = main->windowIcon().cacheKey();
    alerts.tmrFlashing_Timer();
    QVERIFY(main->windowIcon().cacheKey() != programIcon);
    alerts.tmrFlashing_Timer();
    QCOMPARE(main->windowIcon().cacheKey(), programIcon);
    QCOMPARE(f.tray->modifications, 0);
}

void TestAppShell::theWayOutIsNamed()
{
    {
        AppFixture f;
        QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
        frmWatch *main = f.app->parts().mainWindow.get();
        QVERIFY(!main->ui.mnuExitProgram->isVisible());
        main->ui.cmdClose->click();
        main->show();
        main->ui.cmdClose->click();
        QCOMPARE(f.tray->messages.size(), 1); // the first time only
    }
    AppFixture f;
    QCOMPARE(f.start(QString(), /*trayAvailable=*/false), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    QVERIFY(main->ui.mnuExitProgram->isVisible());
    QVERIFY(main->ui.cmdClose->toolTip().contains(u"Exit in the Info menu"));
    main->ui.mnuExitProgram->trigger();
    QVERIFY(f.app->exiting());
}

void TestAppShell::notificationAreaThatComesAndGoesIsFollowed()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    AlertCentre &alerts = f.app->parts().resources->alerts();
    const qint64 programIcon = main->windowIcon().cacheKey();
    QVERIFY(!main->isVisible());
    // The panel goes: the window hidden there waits in the task bar, says how to leave and
    // minimises on Close; its own icon blinks.
    f.tray->setAvailable(false);
    QVERIFY(main->isVisible());
    QVERIFY(main->isMinimized());
    QVERIFY(main->ui.mnuExitProgram->isVisible());
    QVERIFY(main->ui.cmdClose->toolTip().contains(u"Exit in the Info menu"));
    main->showNormal();
    QVERIFY(!main->close());
    QVERIFY(main->isVisible() && main->isMinimized());
    alerts.tmrFlashing_Timer();
    QVERIFY(main->windowIcon().cacheKey() != programIcon);
    alerts.tmrFlashing_Timer();
    // It comes back: Close hides the window again and the icon no longer blinks.
    f.tray->setAvailable(true);
    for (int tick = 0; tick < 2; ++tick) {
        alerts.tmrFlashing_Timer();
        QCOMPARE(main->windowIcon().cacheKey(), programIcon);
    }
    QVERIFY(!main->ui.mnuExitProgram->isVisible());
    QVERIFY(!main->ui.cmdClose->toolTip().contains(u"Exit in the Info menu"));
    main->showNormal();
    main->close();
    QVERIFY(!main->isVisible());
    QVERIFY(!f.app->exiting());
}

void TestAppShell::mainWindowAccessKeysAreUnambiguous()
{
    // Two controls sharing an access key make it only move the focus: the Info menu, where
    // Exit lives without a notification area, must open with Alt+I.
    AppFixture f;
    QCOMPARE(f.start(QString(), /*trayAvailable=*/false), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    QStringList captions;
    for (const QAbstractButton *button : main->findChildren<QAbstractButton *>())
        captions.append(button->text());
    for (const QAction *menu : main->menuBar()->actions())
        captions.append(menu->text());
    QHash<QChar, QString> owners;
    for (const QString &caption : captions) {
        const qsizetype at = QString(caption).replace(u"&&"_s, u"  "_s).indexOf(u'&');
        if (at < 0 || at + 1 >= caption.size())
            continue;
        const QChar key = caption.at(at + 1).toLower();
        QVERIFY2(!owners.contains(key), qPrintable(owners.value(key) + u" and "_s + caption));
        owners.insert(key, caption);
    }
    QCOMPARE(owners.value(u'i'), QStringLiteral("&Info"));
}

void TestAppShell::exitDuringStartUpEndsTheProgram()
{
    AppFixture f;
    QVERIFY(storeWatchedItems(f.dataFolder.path(), { "2407600001" }));
    // A termination signal is handled while the list is filled, before the main loop runs.
    QMetaObject::invokeMethod(
        qApp, [&f] { f.app->exitProgram(); }, Qt::QueuedConnection);
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Exited);
    QVERIFY(f.app->exiting());
    QVERIFY(!f.app->parts().mainWindow->isVisible());
    QVERIFY(!f.tray->isShown());
    QVERIFY(!f.app->parts().engine->tmrCheckBids.isActive());
    for (int i = 0; i < UpdateEngine::kEngines; ++i)
        QVERIFY(!f.app->parts().engine->tmrSockTimeOut[i].isActive());
}

void TestAppShell::closeButtonAcknowledgesAlerts()
{
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    f.app->parts().alerts->FirstAlertPending = { 4711.0 };
    f.app->parts().alerts->SecondAlertPending = { 4712.0 };
    f.app->parts().alerts->AlertQuiet = true;
    f.app->parts().mainWindow->ui.cmdClose->click();
    QVERIFY(!f.app->parts().mainWindow->isVisible());
    QVERIFY(!f.app->parts().alerts->hasPending());
    QCOMPARE(f.app->parts().alerts->FirstAlertDone, QList<double> { 4711.0 });
    QCOMPARE(f.app->parts().alerts->SecondAlertDone, QList<double> { 4712.0 });
    QVERIFY(!f.app->parts().alerts->AlertQuiet);
}

void TestAppShell::sortOrdersAndStatusPanels()
{
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    QComboBox *sorted = f.app->parts().mainWindow->ui.cboSorted;
    QCOMPARE(sorted->count(), 4);
    QCOMPARE(sorted->itemText(0), QStringLiteral("Ending first"));
    QCOMPARE(sorted->itemText(3), QStringLiteral("Highest price first"));
    QCOMPARE(sorted->currentText(), QStringLiteral("Ending first"));
    const auto &panels = f.app->parts().mainWindow->ui.panels;
    QCOMPARE(panels[2]->width(), 93); // 1400 twips
    QCOMPARE(panels[3]->width(), 107); // 1600 twips
}

void TestAppShell::storeThatCannotBeOpenedIsReportedAndKept_data()
{
    QTest::addColumn<bool>("emptied");
    QTest::newRow("not a store") << false;
    // An empty file where the store was is a store that lost its content, not a new one.
    QTest::newRow("store emptied") << true;
}

void TestAppShell::storeThatCannotBeOpenedIsReportedAndKept()
{
    QFETCH(bool, emptied);
    AppFixture f;
    const QString path = f.dataFolder.filePath(QStringLiteral("registry.db"));
    QByteArray garbage(8192, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) % 251);
    const QByteArray content = emptied ? QByteArray() : garbage;
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // Two copies: a sound one, and a newer one that is damaged too.
    const QString backups = f.dataFolder.filePath(QStringLiteral("backups"));
    QVERIFY(QDir().mkpath(backups));
    const QString sound = backups + u"/registry-2026-02-27.db";
    {
        QTemporaryDir other;
        QVERIFY(storeWatchedItems(other.path(), { "2407600001" }));
        QVERIFY(openTestStore(other.path())->copyTo(sound));
        QFile damaged(backups + u"/registry-2026-02-28.db");
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(garbage);
    }
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Failed);
    QCOMPARE(f.prompter->shown().size(), 1);
    QCOMPARE(f.prompter->last().icon, PromptIcon::Critical);
    QVERIFY(f.prompter->last().text.contains(QStringLiteral("registry.db")));
    QVERIFY2(f.prompter->last().text.endsWith(
                 u"To put it in the store's place, run:\n\n    tallyhawk-cli restore " + sound),
        qPrintable(f.prompter->last().text));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
    QVERIFY(!f.app->parts().mainWindow->isVisible());
}

void TestAppShell::startUpKeepsTheDaysCopyOfTheStore()
{
    AppFixture f;
    QVERIFY(storeWatchedItems(f.dataFolder.path(), { "2407600001" }));
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    const QString copy = f.dataFolder.filePath(
        u"backups/registry-" + f.clock->now().toString(u"yyyy-MM-dd-HHmmss") + u".db");
    QVERIFY(RegistryStore::checkCopy(copy));
}

void TestAppShell::terminationSignalsAskForExit()
{
    UnixSignals signals;
    QSignalSpy spy(&signals, &UnixSignals::terminationRequested);
    ::raise(SIGTERM);
    QTRY_COMPARE(spy.size(), 1);
    ::raise(SIGINT);
    QTRY_COMPARE(spy.size(), 2);
}

void TestAppShell::digitFontLoadsAndUnloads()
{
    const QString family = LcdFont::LoadLcdFont(resourceFolder());
    QVERIFY(family.contains(QStringLiteral("DSEG7")));
    QVERIFY(LcdFont::isLoaded());
    QCOMPARE(LcdFont::LoadLcdFont(resourceFolder()), family); // once only
    LcdFont::UnloadLcdFont();
    QVERIFY(!LcdFont::isLoaded());
    QVERIFY(LcdFont::LoadLcdFont(QStringLiteral("/nonexistent")).isEmpty());
}

void TestAppShell::clockDialogOpensOnceAndKeepsTheFineTune()
{
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    frmResource *res = f.app->parts().resources.get();
    // The hidden entry runs one tick of the automatic check once it is shown.
    QVERIFY(!res->mnuTestAdjClock->isVisible());
    f.app->parts().settings->AutoAdjustTime = 1;
    res->mnuTestAdjClock->setVisible(true);
    res->mnuTestAdjClock->trigger();
    QCOMPARE(res->clockCheck.lngAutoChkTimeSyncCnt, 1);
    res->mnuSyncClock->trigger();
    const QPointer<frmSync> dialog = f.app->parts().clockCommands->dialog();
    QVERIFY(dialog && dialog->isVisible());
    f.app->parts().mainWindow->listMenu.mnuSyncClock->trigger();
    QCOMPARE(f.app->parts().clockCommands->dialog(), dialog.data());

    // "+2.5" moves both status-bar clocks by two and a half seconds; the store keeps 2.
    dialog->cboFineTune->setEditText(QStringLiteral("+2.5"));
    dialog->cmdClose->click();
    QTRY_VERIFY(!dialog);
    QCOMPARE(f.app->parts().settings->TimeFinetune.units(), 25000);
    QCOMPARE(loadAppSettings(*f.app->parts().store, resourceFolder()).TimeFinetune, FixedSeconds(2));
    f.clock->set(QDateTime(QDate(2026, 3, 2), QTime(12, 0, 0, 600)));
    f.app->parts().updateCommands->tmShowSysClock_Timer();
    QCOMPARE(f.app->parts().mainWindow->ui.panels[4]->text(), QStringLiteral("Time: 12:00:03"));
}

void TestAppShell::failedAutomaticCorrectionIsReportedWithoutABox_data()
{
    QTest::addColumn<bool>("trayAvailable");
    QTest::newRow("notification area") << true;
    QTest::newRow("status bar without one") << false;
}

void TestAppShell::failedAutomaticCorrectionIsReportedWithoutABox()
{
    QFETCH(bool, trayAvailable);
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show"), trayAvailable), Application::StartResult::Running);
    f.app->parts().resources->mnuSyncClock->trigger();
    const QString cause
        = QStringLiteral("The clock cannot be set: the system clock is kept by network time synchronisation");
    Q_EMIT f.app->parts().resources->clockCheck.correctionFailureToReport(cause);
    QCOMPARE(f.tray->messages, trayAvailable ? QStringList { u"Tallyhawk|" + cause } : QStringList {});
    if (!trayAvailable)
        QCOMPARE(f.app->parts().mainWindow->ui.panels[1]->text(), cause);
    QCOMPARE(f.app->parts().clockCommands->dialog()->lblClockMessage->text(), cause);
    QVERIFY(f.prompter->shown().isEmpty());
}

QTEST_MAIN(TestAppShell)
#include "TestAppShell.moc"
