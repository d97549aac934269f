#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "FakePrompter.h"
#include "TestSupport.h"
#include "config/AppSettings.h"
#include "config/CryptPassword.h"
#include "platform/XdgStartupEntry.h"
#include "settings/ui/frmEmailWebBased.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

namespace {

constexpr qint32 kAbsent = -99;

// The dialog on a store, a settings struct and a start-up folder of its own.
struct Fixture {
    QTemporaryDir folder;
    std::unique_ptr<RegistryStore> store = openTestStore(folder.filePath(QStringLiteral("data")));
    AppSettings settings = defaultAppSettings(resourceFolder());
    FakePrompter prompter;
    XdgStartupEntry startup;
    QStringList played;

    Fixture() { qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toUtf8()); }

    std::unique_ptr<frmEmailWebBased> open()
    {
        return std::make_unique<frmEmailWebBased>(SettingsEditor::Context { settings, *store, prompter,
            startup, resourceFolder(), [this](const QString &path) { played.append(path); }, configPath() });
    }
    QString configPath() const { return folder.filePath(QStringLiteral("config.ini")); }
    QByteArray configText() const
    {
        QFile ini(configPath());
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
    }
    QString text(const QString &name, const QString &key = QString::fromUtf16(kSettingsKey)) const
    {
        return GetRegString(*store, RegRoot::CurrentUser, key, name, QStringLiteral("<absent>"));
    }
    qint32 number(const QString &name) const
    {
        return GetRegDword(*store, RegRoot::CurrentUser, QString::fromUtf16(kSettingsKey), name, kAbsent);
    }
    QString execLine() const
    {
        QFile entry(XdgStartupEntry::entryPath());
        if (!entry.open(QIODevice::ReadOnly))
            return {};
        for (const QByteArray &line : entry.readAll().split('\n')) {
            if (line.startsWith("Exec="))
                return QString::fromUtf8(line);
        }
        return {};
    }
};

// The Exec= line of an entry that starts the running program on the data folder it uses.
QString expectedExecLine()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QString home = qEnvironmentVariable("TALLYHAWK_HOME");
    if (home.isEmpty())
        return u"Exec=" + exe;
    return u"Exec=env TALLYHAWK_HOME=" + QDir(home).absolutePath() + u' ' + exe;
}

} // namespace

// The settings dialog through its controls: what a save stores and when it refuses, the
// sound browsers, and the start-up entry.
class TestSettingsDialog final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dialogFitsTheScreenWithItsButtonInView();
    void passwordsDifferingInCaseStopTheSave_data();
    void passwordsDifferingInCaseStopTheSave();
    void untickedSaveSettingKeepsOnlyTheName();
    void numbersAreTakenOnlyWithinTheirLists_data();
    void numbersAreTakenOnlyWithinTheirLists();
    void browseCancelResetsToTheDefaultFile_data();
    void browseCancelResetsToTheDefaultFile();
    void autoStartBoxWritesAndRemovesTheEntry();
    void openingWithAutoStartRewritesAStaleEntry();
    void unwritableAutoStartFolderIsReported();
    void liveTimeLeftBoxSitsUnderTheIntervalAndIsKeptInConfig();
    void calendarRewriteIsOffUntilTickedAndKeptInTheStore();
};

void TestSettingsDialog::passwordsDifferingInCaseStopTheSave_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("confirm");
    QTest::newRow("Hotmail") << "Hotmail"
                             << "txtHotmailPwd"
                             << "txtHotmailPwdConfirm";
    QTest::newRow("Yahoo!") << "Yahoo!"
                            << "txtYahooPwd"
                            << "txtYahooPwdConfirm";
    QTest::newRow("eBay") << "eBay"
                          << "txtEBayPWD"
                          << "txtEBayPWDConfirm";
}

void TestSettingsDialog::passwordsDifferingInCaseStopTheSave()
{
    QFETCH(QString, service);
    QFETCH(QString, password);
    QFETCH(QString, confirm);
    Fixture f;
    auto dialog = f.open();
    dialog->chkSaveHotmail->setChecked(true);
    dialog->cboHours->setCurrentText(QStringLiteral("3"));
    dialog->findChild<QLineEdit *>(password)->setText(QStringLiteral("Secret"));
    dialog->findChild<QLineEdit *>(confirm)->setText(QStringLiteral("secret"));
    dialog->cmdClose->click();

    QCOMPARE(f.prompter.shown().size(), 1);
    QCOMPARE(f.prompter.last().title, u"Err: " + service + u" password mismatch");
    QCOMPARE(f.prompter.last().text,
        u"Please re-type your " + service + u" password in both boxes\nMake sure they are the same");
    QCOMPARE(f.prompter.last().icon, PromptIcon::Critical);
    QVERIFY(dialog->result() != QDialog::Accepted);
    QVERIFY(!ListRegSubKeys(*f.store, RegRoot::CurrentUser, QStringLiteral("Software\\Quillmarsh\\Tallyhawk"))
                 .contains(QStringLiteral("Setting")));
    QCOMPARE(f.settings.FirstAlert, 0);
}

void TestSettingsDialog::untickedSaveSettingKeepsOnlyTheName()
{
    Fixture f;
    auto dialog = f.open();
    dialog->txtEBayID->setText(QStringLiteral("buyer"));
    dialog->txtEBayPWD->setText(QStringLiteral("Pa55"));
    dialog->txtEBayPWDConfirm->setText(QStringLiteral("Pa55"));
    dialog->chkSaveEBay->setChecked(true);
    dialog->cmdClose->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(decodeStoredPassword(f.text(QStringLiteral("EBayPWD"))), QStringLiteral("Pa55"));

    dialog = f.open();
    QCOMPARE(dialog->txtEBayPWDConfirm->text(), QStringLiteral("Pa55"));
    dialog->chkSaveEBay->setChecked(false);
    dialog->cmdClose->click();
    QCOMPARE(f.text(QStringLiteral("EBayPWD")), QStringLiteral("<absent>"));
    QCOMPARE(f.text(QStringLiteral("EBayID")), QStringLiteral("buyer"));
    QCOMPARE(f.number(QStringLiteral("SaveEBay")), 0);
    // The password stays in use for this run.
    QCOMPARE(f.settings.EBayPWD, QStringLiteral("Pa55"));

    // The next start reads the store again.
    f.settings = loadAppSettings(*f.store, resourceFolder());
    dialog = f.open();
    QCOMPARE(dialog->txtEBayID->text(), QStringLiteral("buyer"));
    QCOMPARE(dialog->txtEBayPWD->text(), QString());
    QCOMPARE(dialog->txtEBayPWDConfirm->text(), QString());
    QVERIFY(!dialog->chkSaveEBay->isChecked());
}

void TestSettingsDialog::browseCancelResetsToTheDefaultFile_data()
{
    QTest::addColumn<bool>("alert");
    QTest::newRow("cmdBrowse") << true;
    QTest::newRow("cmdBrowse2") << false;
}

void TestSettingsDialog::browseCancelResetsToTheDefaultFile()
{
    QFETCH(bool, alert);
    Fixture f;
    const QString chosen = f.folder.filePath(QStringLiteral("chosen.wav"));
    auto dialog = f.open();
    QPushButton *button = alert ? dialog->cmdBrowse : dialog->cmdBrowse2;
    QLineEdit *box = alert ? dialog->txtAlertSound : dialog->txtNotifySound;
    QString &path = alert ? f.settings.gstrAlertTimeLeftSoundPath : f.settings.gstrNotifyPlaySoundPath;
    const QString valueName
        = alert ? QStringLiteral("gstrAlertTimeLeftSoundPath") : QStringLiteral("gstrNotifyPlaySoundPath");

    f.prompter.queueFile(chosen);
    button->click();
    QCOMPARE(f.prompter.last().title,
        alert ? QStringLiteral("Select Wave file for alarm")
              : QStringLiteral("Select Wave file to play when there is a new Bid"));
    QCOMPARE(f.prompter.last().filter, QStringLiteral("Wave Files (*.wav);;All Files (*)"));
    QCOMPARE(f.prompter.last().defaultText, resourceFolder());
    QCOMPARE(box->text(), chosen);
    QCOMPARE(box->toolTip(), chosen);
    QCOMPARE(path, chosen);
    QCOMPARE(f.text(valueName), chosen);
    QCOMPARE(f.played, QStringList { chosen });

    button->click(); // cancelled
    QCOMPARE(path, resourceFolder() + (alert ? u"/alarm.wav" : u"/notify.wav"));
    QCOMPARE(box->text(), chosen);
    QCOMPARE(f.text(valueName), chosen);
    QCOMPARE(f.played.size(), 1);
}

void TestSettingsDialog::autoStartBoxWritesAndRemovesTheEntry()
{
    Fixture f;
    auto dialog = f.open();
    dialog->chkAutoStart->click();
    QVERIFY(dialog->chkAutoStart->isChecked());
    QCOMPARE(f.execLine(), expectedExecLine());
    QCOMPARE(u"Exec=" + f.text(QStringLiteral("Tallyhawk"), QString::fromUtf16(kRunKey)), expectedExecLine());
    QCOMPARE(f.number(QStringLiteral("LoadAtWinStartUp")), -1);

    dialog->chkAutoStart->click();
    QVERIFY(!QFile::exists(XdgStartupEntry::entryPath()));
    QCOMPARE(f.text(QStringLiteral("Tallyhawk"), QString::fromUtf16(kRunKey)), QStringLiteral("<absent>"));
    QCOMPARE(f.number(QStringLiteral("LoadAtWinStartUp")), 0);
    QCOMPARE(f.settings.LoadAtWinStartUp, 0);
}

void TestSettingsDialog::openingWithAutoStartRewritesAStaleEntry()
{
    Fixture f;
    QVERIFY(f.startup.setEnabled(true, QStringLiteral("/old/place/tallyhawk")).ok());
    f.settings.LoadAtWinStartUp = -1;
    auto dialog = f.open();
    QVERIFY(dialog->chkAutoStart->isChecked());
    QCOMPARE(f.execLine(), expectedExecLine());
    QVERIFY(f.prompter.shown().isEmpty());
}

void TestSettingsDialog::unwritableAutoStartFolderIsReported()
{
    Fixture f;
    // A file where the autostart folder belongs: the entry cannot be written.
    QVERIFY(QDir().mkpath(f.folder.filePath(QStringLiteral("config"))));
    QFile blocker(f.folder.filePath(QStringLiteral("config/autostart")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    auto dialog = f.open();
    dialog->chkAutoStart->click();
    QCOMPARE(f.prompter.shown().size(), 1);
    QCOMPARE(f.prompter.last().icon, PromptIcon::Critical);
    QVERIFY2(
        f.prompter.last().text.contains(XdgStartupEntry::entryPath()), qPrintable(f.prompter.last().text));
    QVERIFY(!dialog->chkAutoStart->isChecked());
    QCOMPARE(f.number(QStringLiteral("LoadAtWinStartUp")), kAbsent);
    QCOMPARE(f.settings.LoadAtWinStartUp, 0);
}

void TestSettingsDialog::numbersAreTakenOnlyWithinTheirLists_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");
    const auto row = [](const char *value, const char *typed, bool taken) {
        QTest::addRow("%s %s", value, typed)
            << QString::fromLatin1(value) << QString::fromLatin1(typed) << taken;
    };
    for (const char *typed : { "0", "abc", "", "99999999999" })
        row("AutoUpdateEvery", typed, false);
    row("AutoUpdateEvery", "3", true);
    row("FirstAlert", "abc", false);
    row("FirstAlert", "12", true);
    row("SecondAlert", "-5", false);
    row("SecondAlert", "56", false);
    row("SecondAlert", " 55 ", true);
}

void TestSettingsDialog::numbersAreTakenOnlyWithinTheirLists()
{
    QFETCH(QString, value);
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    const QMap<QString, std::pair<const char *, QString>> boxes {
        { QStringLiteral("FirstAlert"),
            { "cboHours", QStringLiteral("First Alert must be a whole number of hours from 0 to 12") } },
        { QStringLiteral("SecondAlert"),
            { "cboMinutes", QStringLiteral("Second Alert must be a whole number of minutes from 0 to 55") } },
        { QStringLiteral("AutoUpdateEvery"),
            { "cboAutoUpdateEvery",
                QStringLiteral(
                    "Program Update Item(s) Every must be a whole number of minutes from 3 to 59") } },
    };
    Fixture f;
    auto dialog = f.open();
    dialog->findChild<QComboBox *>(QString::fromLatin1(boxes[value].first))->setCurrentText(typed);
    dialog->cmdClose->click();
    QCOMPARE(dialog->result() == QDialog::Accepted, taken);
    if (taken) {
        QCOMPARE(f.number(value), typed.trimmed().toInt());
        return;
    }
    QCOMPARE(f.prompter.last().text, u"Please check, " + boxes[value].second);
    QCOMPARE(f.prompter.last().icon, PromptIcon::Critical);
    // Nothing of the save is stored.
    for (const char *name : { "FirstAlert", "SecondAlert", "AutoUpdateEvery", "AutoAdjustTime" })
        QCOMPARE(f.number(QString::fromLatin1(name)), kAbsent);
}

void TestSettingsDialog::liveTimeLeftBoxSitsUnderTheIntervalAndIsKeptInConfig()
{
    Fixture f;
    QFile ini(f.configPath());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[User]\nLargeScreen=1\n");
    ini.close();
    auto dialog = f.open();
    QCOMPARE(dialog->chkLiveTimeLeft->text(), QStringLiteral("Count time left down between updates"));
    // Off unless the user asks for it.
    QVERIFY(!dialog->chkLiveTimeLeft->isChecked());
    // Right under the update interval.
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const int intervalBottom
        = dialog->cboAutoUpdateEvery->mapTo(dialog.get(), QPoint(0, dialog->cboAutoUpdateEvery->height()))
              .y();
    const int boxTop = dialog->chkLiveTimeLeft->mapTo(dialog.get(), QPoint(0, 0)).y();
    const int nextTop = dialog->chkAutoAdjTime->mapTo(dialog.get(), QPoint(0, 0)).y();
    QVERIFY(intervalBottom <= boxTop);
    QVERIFY(boxTop < nextTop);

    // A save that leaves it off writes nothing of it.
    QSignalSpy switched(dialog.get(), &frmEmailWebBased::liveTimeLeftChanged);
    dialog->cmdClose->click();
    QCOMPARE(f.configText(), QByteArray("[User]\nLargeScreen=1\n"));
    QCOMPARE(switched.count(), 0);

    dialog = f.open();
    dialog->chkLiveTimeLeft->setChecked(true);
    QSignalSpy switchedOn(dialog.get(), &frmEmailWebBased::liveTimeLeftChanged);
    dialog->cmdClose->click();
    QCOMPARE(f.configText(), QByteArray("[User]\nLargeScreen=1\nLiveTimeLeft=1\n"));
    QCOMPARE(switchedOn.count(), 1);
    QCOMPARE(switchedOn.first().at(0).toBool(), true);
    // Nothing of the store's settings key names it.
    QCOMPARE(f.text(QStringLiteral("LiveTimeLeft")), QStringLiteral("<absent>"));

    dialog = f.open();
    QVERIFY(dialog->chkLiveTimeLeft->isChecked());
    dialog->chkLiveTimeLeft->setChecked(false);
    QSignalSpy switchedOff(dialog.get(), &frmEmailWebBased::liveTimeLeftChanged);
    dialog->cmdClose->click();
    QCOMPARE(f.configText(), QByteArray("[User]\nLargeScreen=1\nLiveTimeLeft=0\n"));
    QCOMPARE(switchedOff.count(), 1);
    QCOMPARE(switchedOff.first().at(0).toBool(), false);
}

void TestSettingsDialog::calendarRewriteIsOffUntilTickedAndKeptInTheStore()
{
    Fixture f;
    auto dialog = f.open();
    QVERIFY(!dialog->chkRewriteCalendarFile->isChecked());
    dialog->chkRewriteCalendarFile->setChecked(true);
    dialog->cmdClose->click();
    QCOMPARE(f.settings.RewriteCalendarFile, 1);
    QCOMPARE(f.number(QStringLiteral("RewriteCalendarFile")), 1);
    QCOMPARE(loadAppSettings(*f.store, resourceFolder()).RewriteCalendarFile, 1);
    dialog = f.open();
    QVERIFY(dialog->chkRewriteCalendarFile->isChecked());
}

void TestSettingsDialog::dialogFitsTheScreenWithItsButtonInView()
{
    // A font twice as large, as a scale of 2 gives, makes the settings larger than the
    // test screen.
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 2);
    QApplication::setFont(large);
    const auto restore = qScopeGuard([&normal] { QApplication::setFont(normal); });
    Fixture f;
    const auto dialog = f.open();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QSize screen = dialog->screen()->availableSize();
    QVERIFY2(dialog->height() <= screen.height() && dialog->width() <= screen.width(),
        qPrintable(QStringLiteral("%1x%2").arg(dialog->width()).arg(dialog->height())));
    QVERIFY(dialog->cmdClose->isVisible());
    QVERIFY(dialog->rect().contains(dialog->cmdClose->geometry()));
}

QTEST_MAIN(TestSettingsDialog)
#include "TestSettingsDialog.moc"
