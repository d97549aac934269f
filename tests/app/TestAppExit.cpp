#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "AppFixture.h"
#include "alerts/ui/BidNotifier.h"
#include "alerts/ui/frmNotify.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "engine/UpdateEngine.h"
#include "watchlist/WatchListModel.h"

using namespace th;
using namespace th::test;

// "Exit" while a modal dialog is open ends the whole program: the dialog's loop and the
// main loop return, the timers stop and no tray icon is left behind. On its own, because
// it ends the process's event loops.
class TestAppExit final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exitWithModalDialogOpenEndsCleanly();
    void exitWhileTheNewBidWindowWaitsEndsCleanly();
};

void TestAppExit::exitWithModalDialogOpenEndsCleanly()
{
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    frmResource *res = f.app->parts().resources.get();
    bool aboutReturned = false;
    QPointer<QDialog> about;

    QTimer::singleShot(0, res, [&] {
        // The About box runs its own modal loop until the program ends.
        res->mnuAbout->trigger();
        aboutReturned = true;
    });
    QTimer::singleShot(0, res, [&] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
                about = dialog;
        }
        // A right click on the tray icon still opens the menu while the dialog is open.
        f.tray->requestMenu();
        res->mnuExit->trigger();
    });
    const int status = QApplication::exec();

    QCOMPARE(status, 0);
    QVERIFY(aboutReturned);
    QVERIFY(!about.isNull() || aboutReturned);
    QVERIFY(f.app->exiting());
    QVERIFY(!f.tray->isShown());
    QCOMPARE(f.tray->removals, 1);
    QVERIFY(!f.app->parts().mainWindow->isVisible());
    QVERIFY(!res->engine()->tmrCheckBids.isActive());
    QVERIFY(!res->tmrAutoChkTimeSync.isActive());
    QVERIFY(!res->trayMenu()->isVisible());
}

void TestAppExit::exitWhileTheNewBidWindowWaitsEndsCleanly()
{
    // The notification window refuses every close but its button; Exit still ends the
    // program, and the handler waiting for the window comes back to a living program.
    AppFixture f;
    QCOMPARE(f.start(QStringLiteral("/show")), Application::StartResult::Running);
    f.app->parts().listModel->addRow(QStringLiteral("2407604973"));
    f.app->parts().engine->setNotifyReady(true);
    BidNotifier *notifier = f.app->parts().bidNotifier.get();
    bool returned = false;
    bool shown = false;
    QObject::connect(notifier, &BidNotifier::windowShown, notifier, [&] {
        shown = notifier->window()->isVisible();
        f.app->parts().resources->mnuExit->trigger();
    });
    QTimer::singleShot(0, notifier, [&] {
        notifier->subShowBidNotify(0);
        returned = true;
    });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(shown);
    QVERIFY(returned);
    QVERIFY(!notifier->window()->isVisible());
    QVERIFY(!notifier->isShowing());
    QVERIFY(!f.tray->isShown());
}

QTEST_MAIN(TestAppExit)
#include "TestAppExit.moc"
