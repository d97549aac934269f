#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "AppFixture.h"
#include "app/SettingsCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "settings/ui/frmEmailWebBased.h"
#include "store/RegistryFunctions.h"
#include "watchlist/LiveTimeLeft.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

// The settings dialog inside the program: where it opens from, and what a new update
// interval sets going.
class TestSettingsCommands final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensModallyFromItsMenuEntries();
    void newIntervalStartsTheSequentialPassAndSorts_data();
    void newIntervalStartsTheSequentialPassAndSorts();
    void liveTimeLeftIsSwitchedFromTheDialogAndKeptForTheNextStart();
};

void TestSettingsCommands::opensModallyFromItsMenuEntries()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    frmWatch *main = f.app->parts().mainWindow.get();
    QVERIFY(!main->listMenu.mnuChkMail->menuAction()->isVisible());
    for (QAction *entry : { f.app->parts().resources->mnuSystemSetting, main->listMenu.mnuEbaySetting,
             main->listMenu.mnuEmailSetting }) {
        QVERIFY(entry->isEnabled());
        bool wasModal = false;
        QTimer::singleShot(0, this, [&] {
            frmEmailWebBased *dialog = f.app->parts().settingsCommands->dialog();
            QVERIFY(dialog);
            wasModal = dialog->isModal() && dialog->isVisible();
            dialog->close();
        });
        entry->trigger();
        QVERIFY2(wasModal, qPrintable(entry->objectName()));
        QVERIFY(!f.app->parts().settingsCommands->dialog());
    }
}

void TestSettingsCommands::newIntervalStartsTheSequentialPassAndSorts_data()
{
    QTest::addColumn<QString>("every");
    QTest::addColumn<bool>("passDue");
    QTest::newRow("unchanged") << "5" << false;
    QTest::newRow("changed") << "9" << true;
}

void TestSettingsCommands::newIntervalStartsTheSequentialPassAndSorts()
{
    QFETCH(QString, every);
    QFETCH(bool, passDue);
    AppFixture f;
    QVERIFY(storeWatchedItems(f.dataFolder.path(), { QStringLiteral("2407600001") }));
    QCOMPARE(f.start(), Application::StartResult::Running);
    UpdateEngine *engine = f.app->parts().engine.get();
    QVERIFY(!f.app->parts().listModel->ownSorting());
    f.app->parts().settings->SecondAlert = 10;

    QTimer::singleShot(0, this, [&] {
        frmEmailWebBased *dialog = f.app->parts().settingsCommands->dialog();
        QVERIFY(dialog);
        dialog->cboAutoUpdateEvery->setCurrentText(every);
        dialog->cboMinutes->setCurrentText(QStringLiteral("0")); // off
        dialog->cmdClose->click();
    });
    f.app->parts().resources->mnuSystemSetting->trigger();

    QCOMPARE(f.app->parts().settings->AutoUpdateEvery, every.toInt());
    // Only a changed interval is stored.
    QCOMPARE(GetRegDword(*f.app->parts().store, RegRoot::CurrentUser, QString::fromUtf16(kSettingsKey),
                 QStringLiteral("AutoUpdateEvery"), -1),
        passDue ? every.toInt() : -1);
    QCOMPARE(f.app->parts().settings->SecondAlert, 0);
    QCOMPARE(engine->tmrDelayUpdateBid.isActive(), passDue);
    QCOMPARE(f.app->parts().listModel->ownSorting(), passDue);
    if (!passDue)
        return;
    QCOMPARE(engine->tmrDelayUpdateBid.interval(), UpdateEngine::kDelayedPassMsecs);
    QVERIFY(engine->tmrDelayUpdateBid.isSingleShot());
    QSignalSpy status(engine, &UpdateEngine::statusChanged);
    engine->tmrDelayUpdateBid_Timer();
    QVERIFY(std::any_of(status.cbegin(), status.cend(), [](const QList<QVariant> &args) {
        return args.at(0).toInt() == 1
            && args.at(1).toString() == QStringLiteral("Updating......stay cool....");
    }));
}

void TestSettingsCommands::liveTimeLeftIsSwitchedFromTheDialogAndKeptForTheNextStart()
{
    AppFixture f;
    QCOMPARE(f.start(), Application::StartResult::Running);
    LiveTimeLeft *live = f.app->parts().liveTimeLeft.get();
    QVERIFY(!live->isEnabled());

    QTimer::singleShot(0, this, [&] {
        frmEmailWebBased *dialog = f.app->parts().settingsCommands->dialog();
        QVERIFY(dialog);
        QVERIFY(!dialog->chkLiveTimeLeft->isChecked());
        dialog->chkLiveTimeLeft->setChecked(true);
        dialog->cmdClose->click();
    });
    f.app->parts().resources->mnuSystemSetting->trigger();
    QVERIFY(live->isEnabled());
    QCOMPARE(live->tmrLiveTimeLeft.interval(), 1000);
    // Exit stops it with the other timers.
    f.app->exitProgram();
    QVERIFY(!live->isEnabled());
    f.app.reset();

    // The next start counts down from the beginning.
    QCOMPARE(f.start(), Application::StartResult::Running);
    QVERIFY(f.app->parts().liveTimeLeft->isEnabled());
}

QTEST_MAIN(TestSettingsCommands)
#include "TestSettingsCommands.moc"
