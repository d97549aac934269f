#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>

#include "../update/EngineFixture.h"
#include "AppFixture.h"
#include "alerts/AlertCentre.h"
#include "alerts/ui/EndingAlertPopUp.h"
#include "alerts/ui/frmEndingAlert.h"
#include "app/AlertCommands.h"
#include "app/SearchCommands.h"
#include "app/UpdateCommands.h"
#include "app/WatchListCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "watchlist/ui/WatchListView.h"

using namespace th;
using namespace th::test;

// The whole program against a simulator: start-up fills the list and runs the first pass,
// an added item is fetched half a second later, and the commands and the status bar follow
// the engine.
class TestAppUpdate final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startUpFillsTheListAndRunsTheFirstPass();
    void addedItemIsFetchedHalfASecondLater();
    void updateOneItemWantsASelection();
    void automaticUpdateSwitchesBothTimers();
    void statusBarShowsClocksAndEngineLights();
    void itemEndingSoonBringsUpTheAlertWindowOnItsRow();
    void searchOpensTheSitesPageAndRemembersIt();
    void aLockedButtonPassesTheFocusToTheList();
    void passFailuresGoToTheTrayWhileTheWindowIsHidden_data();
    void passFailuresGoToTheTrayWhileTheWindowIsHidden();

private:
    void addToSimulator(qint64 number, const QString &title, qint64 endsInSeconds);

    std::unique_ptr<ThreadedSimulator> remote;
    std::unique_ptr<AppFixture> f;
};

void TestAppUpdate::addToSimulator(qint64 number, const QString &title, qint64 endsInSeconds)
{
    remote->run([&] {
        sim::Listing listing;
        listing.number = number;
        listing.title = title;
        listing.endTime = remote->sim().clock().now().addSecs(endsInSeconds);
        QString error;
        QVERIFY2(remote->sim().house().addItem(listing, &error), qPrintable(error));
    });
}

void TestAppUpdate::init()
{
    remote = std::make_unique<ThreadedSimulator>();
    QVERIFY(remote->start());
    addToSimulator(2407600001, QStringLiteral("Pewter tankard"), 7200);
    addToSimulator(2407600002, QStringLiteral("Oak bookends"), 3600);
    addToSimulator(2407600003, QStringLiteral("Enamel sign"), 5400);
    f = std::make_unique<AppFixture>();
    QString host;
    remote->run([&] { host = remote->sim().siteHostPort(); });
    f->writeConfig(host);
    QVERIFY(storeWatchedItems(f->dataFolder.path(), { "2407600001", "2407600002" }));
}

void TestAppUpdate::cleanup()
{
    f.reset();
    remote.reset();
}

void TestAppUpdate::startUpFillsTheListAndRunsTheFirstPass()
{
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    WatchListModel &model = *f->app->parts().listModel;
    QCOMPARE(model.rowCount(), 2);
    // The pass runs from start-up on; its end sorts the list by end date.
    QTRY_COMPARE(model.subItem(0, WatchListModel::ItemName), QStringLiteral("Oak bookends"));
    QCOMPARE(model.subItem(1, WatchListModel::ItemName), QStringLiteral("Pewter tankard"));
    frmWatch *w = f->app->parts().mainWindow.get();
    QTRY_VERIFY(w->ui.panels[1]->text().startsWith(u"Last Update: "));
    QVERIFY(w->ui.cmdAddItem->isEnabled());
    QVERIFY(w->ui.Command1->isEnabled());
    QVERIFY(w->tmrChkAutoBid.isActive());
}

void TestAppUpdate::addedItemIsFetchedHalfASecondLater()
{
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    frmWatch *w = f->app->parts().mainWindow.get();
    QTRY_VERIFY(w->ui.cmdAddItem->isEnabled());
    WatchListCommands *list = f->app->parts().listCommands.get();
    QVERIFY(list->addItemFromDialog(QStringLiteral("2407600003")));
    QVERIFY(w->tmrUpdateCurrentItem.isActive());
    QCOMPARE(w->tmrUpdateCurrentItem.interval(), 500);
    f->app->parts().updateCommands->tmrUpdateCurrentItem_Timer();
    QVERIFY(!w->tmrUpdateCurrentItem.isActive());
    WatchListModel &model = *f->app->parts().listModel;
    // Fetched on its own and sorted in by its end date, still selected.
    QCOMPARE(model.subItem(1, WatchListModel::ItemName), QStringLiteral("Enamel sign"));
    QCOMPARE(list->selectedItemText(), QStringLiteral("2407600003"));
    QVERIFY(!list->reSortPending);
}

void TestAppUpdate::updateOneItemWantsASelection()
{
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    frmWatch *w = f->app->parts().mainWindow.get();
    QTRY_VERIFY(w->ui.cmdUpdateOneItem->isEnabled());
    w->ui.lstWatching->clearSelection();
    w->ui.cmdUpdateOneItem->click();
    QCOMPARE(f->prompter->last().title, QStringLiteral("Error: No item found"));
    QCOMPARE(f->prompter->last().text, QStringLiteral("Please select an item you would like to update"));
    QCOMPARE(f->prompter->last().icon, PromptIcon::Information);
}

void TestAppUpdate::automaticUpdateSwitchesBothTimers()
{
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    frmWatch *w = f->app->parts().mainWindow.get();
    QTRY_VERIFY(w->ui.panels[1]->text().startsWith(u"Last Update: "));
    UpdateEngine *engine = f->app->parts().engine.get();
    QAction *toggle = w->listMenu.mnuAutoUpdate;
    toggle->trigger();
    QCOMPARE(toggle->text(), QStringLiteral("Automatic Update (OFF)"));
    QVERIFY(!toggle->isChecked());
    QVERIFY(!engine->tmrCheckBids.isActive());
    QVERIFY(!engine->tmNextUpdate.isActive());
    toggle->trigger();
    QCOMPARE(toggle->text(), QStringLiteral("Automatic Update (ON)"));
    QVERIFY(engine->tmrCheckBids.isActive());
    QVERIFY(engine->tmNextUpdate.isActive());
}

void TestAppUpdate::statusBarShowsClocksAndEngineLights()
{
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    frmWatch *w = f->app->parts().mainWindow.get();
    QTRY_VERIFY(w->ui.panels[1]->text().startsWith(u"Last Update: "));
    // 12:00 in New York is 09:00 on the auction site's Pacific clock.
    f->clock->set(QDateTime(QDate(2026, 3, 2), QTime(12, 0, 5)));
    f->app->parts().settings->TimeFinetune = 2;
    f->app->parts().updateCommands->tmShowSysClock_Timer();
    QCOMPARE(w->ui.panels[4]->text(), QStringLiteral("Time: 12:00:07"));
    QCOMPARE(w->ui.panels[5]->text(), QStringLiteral("Ebay: 09:00:07"));
    QCOMPARE(w->ui.panels[3]->text(), QStringLiteral("Total Item(s): 2"));
    w->ui.chkSockStatus[2]->setText(QStringLiteral("Engine-3- (R2)"));
    f->app->parts().updateCommands->tmShowSysClock_Timer();
    QCOMPARE(w->ui.chkSockStatus[2]->text(), QStringLiteral("Engine-3"));
}

void TestAppUpdate::itemEndingSoonBringsUpTheAlertWindowOnItsRow()
{
    addToSimulator(2407600004, QStringLiteral("Ship's bell"), 3 * 60);
    QVERIFY(storeWatchedItems(f->dataFolder.path(), { "2407600004" }));
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    f->app->parts().settings->SecondAlert = 5;
    frmWatch *w = f->app->parts().mainWindow.get();
    QTRY_VERIFY(w->ui.panels[1]->text().startsWith(u"Last Update: "));
    AlertCentre &alerts = f->app->parts().resources->alerts();
    QVERIFY(alerts.tmrChkItemAlert.isActive()); // back on after the pass
    QString selected;
    QString shortLabel;
    EndingAlertPopUp *popUp = &f->app->parts().alertCommands->popUp();
    connect(popUp, &EndingAlertPopUp::windowShown, this, [&] {
        const auto closing = qScopeGuard([&] { popUp->window()->cmdClose->click(); });
        selected = f->app->parts().listCommands->selectedItemText();
        shortLabel = popUp->window()->lblAlertMinute->text();
    });
    alerts.CheckEndingItems();
    QVERIFY(alerts.tmrFlashing.isActive());
    // The main window comes back into view while the alert waits.
    w->hide();
    w->show();
    QTRY_VERIFY(!selected.isEmpty());
    QCOMPARE(selected, QStringLiteral("2407600004"));
    QCOMPARE(shortLabel, QStringLiteral("Total Item will be ended in 5 min.: 1"));
}

void TestAppUpdate::searchOpensTheSitesPageAndRemembersIt()
{
    QVERIFY(QDir(f->dataFolder.path()).mkpath(QStringLiteral("IntelliSense")));
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    WatchWindowUi &ui = f->app->parts().mainWindow->ui;
    const QList<const QWidget *> controls { ui.txtAddress, ui.cmdSearch, ui.cmdClear, ui.cboSorted,
        ui.chkGoogle, ui.chkSearchSeller, ui.chkCompletedItems };
    for (const QWidget *control : controls)
        QVERIFY(control->isEnabled());
    ui.chkGoogle->setChecked(true);
    ui.txtAddress->setEditText(QStringLiteral("pewter & brass"));
    QTest::keyClick(ui.txtAddress->lineEdit(), Qt::Key_Return);
    QCOMPARE(f->shell->opened.size(), 1);
    const QString address = f->shell->opened.first();
    QVERIFY2(address.endsWith(u"&SortProperty=MetaEndSort&query=pewter+%26+brass"), qPrintable(address));
    QCOMPARE(f->browser->sessions.size(), 1);
    QVERIFY(f->browser->sessions[0]->visible && f->browser->sessions[0]->released);

    // The simulator serves a page of results for the address.
    const QUrl url(address);
    QTcpSocket socket;
    socket.connectToHost(url.host(), quint16(url.port(80)));
    QVERIFY(socket.waitForConnected(5000));
    socket.write("GET " + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) + " HTTP/1.0\r\n\r\n");
    QByteArray page;
    while (socket.waitForReadyRead(5000))
        page += socket.readAll();
    QVERIFY2(page.startsWith("HTTP/1.1 200"), page.left(80).constData());

    // The search is remembered and offered again.
    QCOMPARE(f->app->parts().search->history(), QStringList { QStringLiteral("pewter & brass") });
    QFile file(f->dataFolder.filePath(QStringLiteral("IntelliSense/iSense.dat")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("pewter & brass\r\n"));
    QCompleter *completer = f->app->parts().search->completer();
    completer->setCompletionPrefix(QStringLiteral("PEW"));
    QCOMPARE(completer->currentCompletion(), QStringLiteral("pewter & brass"));
    f->app->parts().search->removeHistoryEntry(QStringLiteral("pewter & brass"));
    QVERIFY(f->app->parts().search->history().isEmpty());
}

void TestAppUpdate::aLockedButtonPassesTheFocusToTheList()
{
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    frmWatch *w = f->app->parts().mainWindow.get();
    QTRY_VERIFY(w->ui.panels[1]->text().startsWith(u"Last Update: "));
    QApplication::setActiveWindow(w);
    w->ui.cmdUpdateOneItem->setFocus();
    QTRY_VERIFY(w->ui.cmdUpdateOneItem->hasFocus());
    f->app->parts().engine->subActive2(); // the commands lock
    QVERIFY(!w->ui.cmdUpdateOneItem->isEnabled());
    QVERIFY(w->ui.lstWatching->hasFocus());
    QVERIFY(!w->ui.cmdClose->hasFocus());
}

void TestAppUpdate::passFailuresGoToTheTrayWhileTheWindowIsHidden_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("inTheTray");
    QTest::newRow("window shown") << "/show" << true << false;
    QTest::newRow("window hidden in the tray") << "" << true << true;
    QTest::newRow("no notification area") << "" << false << false;
}

void TestAppUpdate::passFailuresGoToTheTrayWhileTheWindowIsHidden()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, inTheTray);
    QCOMPARE(f->start(commandLine, trayAvailable), Application::StartResult::Running);
    QTRY_VERIFY(f->app->parts().mainWindow->ui.panels[1]->text().startsWith(u"Last Update: "));
    f->prompter->clear();
    f->tray->messages.clear();
    const QString message = QStringLiteral("The pages of 2 items could not be applied in the last update.");
    // Another pass fails while the box is open: the user still finds one box.
    if (!inTheTray)
        f->prompter->whileOpen(
            [this, message] { Q_EMIT f->app->parts().engine->passPagesNotApplied(message); });
    Q_EMIT f->app->parts().engine->passPagesNotApplied(message);
    QCOMPARE(f->tray->messages, inTheTray ? QStringList { u"Tallyhawk|" + message } : QStringList {});
    QCOMPARE(f->prompter->shown().size(), inTheTray ? 0 : 1);
    if (!inTheTray)
        QCOMPARE(f->prompter->last().text, message);
}

QTEST_MAIN(TestAppUpdate)
#include "TestAppUpdate.moc"
