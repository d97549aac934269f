// The Import/Export dialog: backup, restore and the folders it offers.

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "FakeBrowser.h"
#include "FakeClock.h"
#include "FakePrompter.h"
#include "FakeSeams.h"
#include "TestSupport.h"
#include "exchange/RemovableMedia.h"
#include "exchange/ui/frmImportExport.h"
#include "search/ui/frmPaypalVerify.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

class TestImportExportDialog final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void backupOfAnEmptyStoreWritesOneSection();
    void noToOverwriteKeepsTheOldFile();
    void backupThatCannotBeWrittenSaysSoAndStaysOpen();
    void restoreReloadsTheListAndConfirms();
    void restoreTellsWhatItDeletedAndLeftOut();
    void refusedRestoreNamesTheLineAndChangesNothing();
    void foldersOfferRemovableMediaThenTheDataFolder();
    void theFolderLastUsedIsOfferedAgain();
    void paypalLookUpOpensTheFirstUseWindowOnceAndTheEncodedAddress();

private:
    std::unique_ptr<frmImportExport> dialog(const QStringList &removable = {});
    QString backupPath() const { return m_folder->filePath(QStringLiteral("eBayWatch.reg")); }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<RegistryStore> m_store;
    FakePrompter m_prompter;
    FakeClock m_clock;
    int m_reloads = 0;
};

void TestImportExportDialog::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    m_folder = std::make_unique<QTemporaryDir>();
    m_store = openTestStore(m_home->path());
    QVERIFY(m_store);
    m_prompter = FakePrompter {};
    m_reloads = 0;
}

void TestImportExportDialog::cleanup()
{
    m_store.reset();
}

std::unique_ptr<frmImportExport> TestImportExportDialog::dialog(const QStringList &removable)
{
    auto made = std::make_unique<frmImportExport>(frmImportExport::Context { *m_store, m_prompter, m_clock,
        m_home->path(), [removable] { return removable; }, [this] { ++m_reloads; } });
    made->cboImportExport->setEditText(m_folder->path());
    return made;
}

void TestImportExportDialog::backupOfAnEmptyStoreWritesOneSection()
{
    auto form = dialog();
    form->cmdExport_Click();
    QCOMPARE(fileBytes(backupPath()),
        QByteArray(
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\]\r\n\r\n"));
    QCOMPARE(m_prompter.last().text, QStringLiteral("Export Successfully"));
    QCOMPARE(form->result(), int(QDialog::Accepted));
}

void TestImportExportDialog::noToOverwriteKeepsTheOldFile()
{
    writeFile(backupPath(), "an older backup");
    m_prompter.queueAnswer(PromptAnswer::No);
    auto form = dialog();
    form->cmdExport_Click();
    QCOMPARE(m_prompter.shown().size(), 1);
    QCOMPARE(m_prompter.last().title, QStringLiteral("Export: Overwrite Existing File?"));
    QCOMPARE(m_prompter.last().buttons, PromptButtons::YesNo);
    QCOMPARE(fileBytes(backupPath()), QByteArray("an older backup"));
}

void TestImportExportDialog::backupThatCannotBeWrittenSaysSoAndStaysOpen()
{
    // The chosen "folder" is a file: nothing can be written below it.
    const QString notAFolder = m_folder->filePath(QStringLiteral("plain.txt"));
    writeFile(notAFolder, "x");
    auto form = dialog();
    form->cboImportExport->setEditText(notAFolder);
    form->cmdExport_Click();
    QCOMPARE(m_prompter.last().title, QStringLiteral("Error:"));
    QVERIFY2(
        m_prompter.last().text.startsWith(u"Error (cmdCompact_Click): "), qPrintable(m_prompter.last().text));
    QCOMPARE(form->result(), int(QDialog::Rejected));
    QCOMPARE(fileBytes(notAFolder), QByteArray("x"));
}

void TestImportExportDialog::restoreReloadsTheListAndConfirms()
{
    writeFile(backupPath(),
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\2407604973]\r\n"
        "\"Item\"=\"2407604973\"\r\n\r\n[HKEY_CURRENT_"
        "USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\2407605007]\r\n"
        "\"Item\"=\"2407605007\"\r\n\r\n");
    auto form = dialog();
    form->cmdImport_Click();
    QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Import: Import File?"));
    QCOMPARE(m_prompter.last().text, QStringLiteral("Successful Import"));
    QCOMPARE(m_prompter.last().icon, PromptIcon::Information);
    QCOMPARE(m_reloads, 1);
    QCOMPARE(readWatchList(*m_store).size(), 2);
    QCOMPARE(form->result(), int(QDialog::Accepted));
}

void TestImportExportDialog::restoreTellsWhatItDeletedAndLeftOut()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath(QStringLiteral("600001")),
        QStringLiteral("Item"), QStringLiteral("600001"));
    writeFile(backupPath(),
        "REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\600001]\r\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\12]\r\n\"Item\"=\"12\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\600002]\r\n\"Note\"=\"Sch\xF6n\"\r\n");
    auto form = dialog();
    form->cmdImport_Click();
    QCOMPARE(m_prompter.shown().size(), 3);
    QCOMPARE(m_prompter.shown()[1].text, QStringLiteral("Successful Import"));
    const QString report = m_prompter.last().text;
    for (const QString &told : { QStringLiteral("Deleted 1 keys and values"),
             QStringLiteral("Removed 1 watched items: 600001"), QStringLiteral("backups/registry-"),
             QStringLiteral("1 line was not UTF-8"), QStringLiteral("line 4 \"12\"") })
        QVERIFY2(report.contains(told), qPrintable(report));
    QCOMPARE(readWatchList(*m_store), QStringList { "600002" });
}

void TestImportExportDialog::refusedRestoreNamesTheLineAndChangesNothing()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath(QStringLiteral("600001")),
        QStringLiteral("Item"), QStringLiteral("600001"));
    writeFile(backupPath(),
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\600002]\r\n"
        "\"Item\"=\"600002\"\r\n\"Note\"=\"x\"\r\n\r\n[HKEY_USERS\\Elsewhere]\r\n\"Item\"=\"x\"\r\n");
    auto form = dialog();
    form->cmdImport_Click();
    QCOMPARE(m_prompter.last().title, QStringLiteral("Error:"));
    QVERIFY2(m_prompter.last().text.contains(u"line 7"), qPrintable(m_prompter.last().text));
    QCOMPARE(m_reloads, 0);
    QCOMPARE(readWatchList(*m_store).size(), 1);
    QVERIFY(form->cmdImport->isEnabled());
}

void TestImportExportDialog::foldersOfferRemovableMediaThenTheDataFolder()
{
    const QList<MountEntry> mounts = parseMountTable("/dev/sda1 / ext4 rw 0 0\n"
                                                     "/dev/sdb1 /media/joe/USB\\040STICK vfat rw 0 0\n"
                                                     "/dev/sdc1 /mnt/backup ext4 rw 0 0\n"
                                                     "tmpfs /run/user/0 tmpfs rw 0 0\n");
    const QStringList folders
        = removableFolders(mounts, [](const QString &device) { return device == u"/dev/sdc1"; });
    QCOMPARE(
        folders, (QStringList { QStringLiteral("/media/joe/USB STICK"), QStringLiteral("/mnt/backup") }));
    frmImportExport form(frmImportExport::Context {
        *m_store, m_prompter, m_clock, m_home->path(), [folders] { return folders; }, {} });
    QCOMPARE(form.cboImportExport->count(), 3);
    QCOMPARE(form.cboImportExport->itemText(0), QStringLiteral("/media/joe/USB STICK"));
    QCOMPARE(form.cboImportExport->currentText(), m_home->path());
}

void TestImportExportDialog::theFolderLastUsedIsOfferedAgain()
{
    QStringList told;
    auto folderUsed = [&told](const QString &folder) { told.append(folder); };
    frmImportExport first(frmImportExport::Context {
        *m_store, m_prompter, m_clock, m_home->path(), {}, {}, QString(), folderUsed });
    QCOMPARE(first.cboImportExport->currentText(), m_home->path());
    first.cboImportExport->setEditText(m_folder->path() + u' ');
    m_prompter.queueAnswer(PromptAnswer::Yes);
    first.cmdExport_Click();
    QCOMPARE(told, QStringList { m_folder->path() });
    // A restore from there tells it too; a refused one does not.
    frmImportExport second(frmImportExport::Context {
        *m_store, m_prompter, m_clock, m_home->path(), {}, {}, m_folder->path(), folderUsed });
    QCOMPARE(second.cboImportExport->currentText(), m_folder->path());
    QCOMPARE(second.cboImportExport->findText(m_folder->path()), 1);
    second.cmdImport_Click();
    QCOMPARE(told.size(), 2);
    second.cboImportExport->setEditText(m_home->path());
    second.cmdImport_Click();
    QCOMPARE(told.size(), 2);
}

void TestImportExportDialog::paypalLookUpOpensTheFirstUseWindowOnceAndTheEncodedAddress()
{
    FakeBrowserFactory browser;
    FakeShell shell;
    frmPaypalVerify form(
        frmPaypalVerify::Context { browser, shell, QStringLiteral("mail.test"), QStringLiteral("pay.test") });
    QTest::keyClick(form.txtPaypalIn, Qt::Key_Return); // an empty box: nothing at all
    QVERIFY(browser.sessions.isEmpty());
    form.cmdVerify_Click(); // empty: only the first-use window
    QCOMPARE(browser.sessions.size(), 1);
    QCOMPARE(browser.sessions[0]->actions.first().text, QStringLiteral("http://mail.test"));
    QVERIFY(browser.sessions[0]->visible && browser.sessions[0]->released);
    QVERIFY(shell.opened.isEmpty());
    form.txtPaypalIn->setText(QStringLiteral(" a+b@x.example "));
    QTest::keyClick(form.txtPaypalIn, Qt::Key_Return);
    QCOMPARE(shell.opened, QStringList { QStringLiteral("https://pay.test/verified/pal=a%2Bb%40x.example") });
    QCOMPARE(browser.sessions.size(), 1); // the first-use window only once
}

QTEST_MAIN(TestImportExportDialog)
#include "TestImportExportDialog.moc"
