// Every file the program writes, written when the disk takes only part of it: the old file
// stays as it was and the writer says why.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "FakePrompter.h"
#include "FakeSeams.h"
#include "TestSupport.h"
#include "config/AppSettings.h"
#include "config/UserConfig.h"
#include "exchange/RegExport.h"
#include "platform/XdgStartupEntry.h"
#include "search/SearchHistory.h"
#include "settings/SettingsEditor.h"
#include "store/RegistryStore.h"

using namespace th;
using namespace th::test;

namespace {

// Files may grow to this many bytes while a writer runs.
constexpr qint64 kFileSizeLimit = 16;

} // namespace

class TestFullDisk final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void settingsThatCannotBeSavedAreTold();
};

void TestFullDisk::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("backup") << "backup"
                            << "eBayWatch.reg";
    QTest::newRow("backup appended") << "append"
                                     << "eBayWatch.reg";
    QTest::newRow("search history") << "history"
                                    << "iSense.dat";
    QTest::newRow("column widths") << "columns"
                                   << "config.ini";
    QTest::newRow("live time left") << "live"
                                    << "config.ini";
    QTest::newRow("start-up entry") << "startup"
                                    << "autostart/tallyhawk.desktop";
}

void TestFullDisk::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, writer);
    QFETCH(QString, fileName);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    // The old file: a configuration pointing at a test host, an earlier backup, ...
    const QByteArray old = "[Hosts]\nItemPage=127.0.0.1:8080\n";
    writeFile(path, old);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));

    QVERIFY(storeWatchedItems(dir.path(), { "2407604973", "2407604974" }));
    Result<std::unique_ptr<RegistryStore>> store = RegistryStore::openInFolder(dir.path());
    QVERIFY(store);

    Result<void> written;
    {
        const FileSizeLimit limit(kFileSizeLimit);
        if (writer == u"backup")
            written = exportWatchList(*store.value(), path);
        else if (writer == u"append")
            written = ExportRegKey(*store.value(), RegRoot::CurrentUser,
                QStringLiteral("Software\\Quillmarsh\\Tallyhawk\\Watches"), path, true, true);
        else if (writer == u"history")
            written = SaveSearchHistory(path, { QStringLiteral("red lamp"), QStringLiteral("blue vase") });
        else if (writer == u"columns")
            written = UserConfig::setColumnWidths(path, QList<int>(UserConfig::kColumnCount, 120));
        else if (writer == u"live")
            written = UserConfig::setLiveTimeLeft(path, true);
        else
            written = XdgStartupEntry().setEnabled(true, QStringLiteral("/usr/bin/tallyhawk"));
    }
    QVERIFY(!written);
    QVERIFY2(written.errorMessage().contains(path), qPrintable(written.errorMessage()));
    QCOMPARE(fileBytes(path), old);
    // Nothing half-written is left beside it.
    QCOMPARE(QDir(QFileInfo(path).absolutePath())
                 .entryList({ u'*' + QFileInfo(path).fileName() + u'*' }, QDir::Files | QDir::Hidden),
        QStringList { QFileInfo(path).fileName() });
}

// The save of the settings dialog on a full disk: the store and config.ini keep what they
// held, and the user learns that the settings hold only for this run.
void TestFullDisk::settingsThatCannotBeSavedAreTold()
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("config.ini"));
    const QByteArray old = "[Hosts]\nItemPage=127.0.0.1:8080\n";
    writeFile(config, old);
    std::unique_ptr<RegistryStore> store = openTestStore(dir.path());
    QVERIFY(store);
    AppSettings settings = defaultAppSettings(resourceFolder());
    FakePrompter prompter;
    FakeStartupEntry startup;
    SettingsEditor editor(
        SettingsEditor::Context { settings, *store, prompter, startup, resourceFolder(), {}, config });
    SettingsForm form = editor.load();
    form.hours = QStringLiteral("2");
    form.liveTimeLeft = true;
    {
        const FileSizeLimit full(kFileSizeLimit);
        QCOMPARE(editor.save(form), SettingsEditor::SaveResult::Saved);
    }
    QCOMPARE(fileBytes(config), old);
    QCOMPARE(prompter.shown().size(), 1);
    QCOMPARE(prompter.last().icon, PromptIcon::Critical);
    QVERIFY2(prompter.last().text.startsWith(u"The settings could not all be saved.\nThe store "),
        qPrintable(prompter.last().text));
    QVERIFY2(prompter.last().text.endsWith(config + u": File too large"), qPrintable(prompter.last().text));
    // In use for this run all the same.
    QCOMPARE(settings.FirstAlert, 2);
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "TestFullDisk.moc"
