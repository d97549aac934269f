#include <csignal>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include "TestSupport.h"
#include "platform/LockFileSingleInstance.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

} // namespace

// tallyhawk-cli list, export and import on the store of the data folder.
class TestStoreCli final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void listsAnEmptyStoreAsNothing();
    void importListAndExport();
    void refusedImportChangesNothing();
    void importReportsLinesReadAsLatin1();
    void exportOfAnUnreadableStoreFails();
    void listOfAnUnreadableStoreFails();
    void exportOnAFullDiskFailsAndKeepsTheOldBackup();
    void unopenableStoreIsReportedAndLeftAlone_data();
    void unopenableStoreIsReportedAndLeftAlone();
    void wrongArgumentsAreReported_data();
    void wrongArgumentsAreReported();
    void restoreWaitsForTheProgramToEndThenRestores_data();
    void restoreWaitsForTheProgramToEndThenRestores();

private:
    Run cli(const QStringList &args, const QProcessEnvironment &extra = {}, qint64 fileSizeLimit = -1) const;
    QString storePath() const { return m_home->filePath("registry.db"); }
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestStoreCli::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    // The desktop's runtime folder, here one of the test's own.
    const QString runtime = m_home->filePath("runtime");
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

// Runs the command line tool on the test's data folder. `extra` changes its environment (an
// empty value removes a variable); a `fileSizeLimit` lets it write files only that large.
Run TestStoreCli::cli(const QStringList &args, const QProcessEnvironment &extra, qint64 fileSizeLimit) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TALLYHAWK_HOME", m_home->path());
    for (const QString &name : extra.keys()) {
        if (extra.value(name).isEmpty())
            environment.remove(name);
        else
            environment.insert(name, extra.value(name));
    }
    process.setProcessEnvironment(environment);
    if (fileSizeLimit >= 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit {};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = rlim_t(fileSizeLimit);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start(QStringLiteral(TALLYHAWK_CLI), args);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void TestStoreCli::listsAnEmptyStoreAsNothing()
{
    const Run run = cli({ "list" });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, QString());
    QVERIFY(QFile::exists(storePath()));
}

void TestStoreCli::importListAndExport()
{
    const QString script = m_home->filePath("in.reg");
    writeFile(script,
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\]\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\2407604973]\r\n"
        "\"Item\"=\"2407604973\"\r\n\"MaxBid\"=\"25\"\r\n\"AuctionEndDate\"=dword:00009359\r\n"
        "\"Sound\"=\"C:\\\\a.wav\"\r\n\"Note\"=\"\xC3\xBC \"quoted\"\"\r\n\"Bytes\"=hex:0a,ff\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\500000]\r\n"
        "\"Item\"=\"500000\"\r\n\r\n");
    Run run = cli({ "import", script });
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.contains("3 keys and 7 values"));

    run = cli({ "list" });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out,
        QString::fromUtf8("2407604973\n"
                          "  \"Item\" = \"2407604973\"\n"
                          "  \"MaxBid\" = \"25\"\n"
                          "  \"AuctionEndDate\" = dword:00009359 (37721)\n"
                          "  \"Sound\" = \"C:\\a.wav\"\n"
                          "  \"Note\" = \"ü \"quoted\"\"\n"
                          "  \"Bytes\" = hex:0A,FF\n"
                          "500000\n"
                          "  \"Item\" = \"500000\"\n"));

    const QString folder = m_home->filePath("backup");
    QVERIFY(QDir().mkpath(folder));
    run = cli({ "export", folder });
    QCOMPARE(run.status, 0);
    QCOMPARE(fileBytes(folder + "/eBayWatch.reg"),
        QByteArray(
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\2407604973]\r\n"
            "\"Item\"=\"2407604973\"\r\n\"MaxBid\"=\"25\"\r\n\"AuctionEndDate\"=dword:00009359\r\n"
            "\"Sound\"=\"C:\\\\a.wav\"\r\n\"Note\"=\"\xC3\xBC \"quoted\"\"\r\n\"Bytes\"=hex:0A,FF\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\500000]\r\n"
            "\"Item\"=\"500000\"\r\n\r\n"));
}

void TestStoreCli::refusedImportChangesNothing()
{
    QVERIFY(storeWatchedItems(m_home->path(), { "600000" }));
    const QString script = m_home->filePath("bad.reg");
    writeFile(script,
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\700000]\n"
        "\"Item\"=\"700000\"\n[HKEY_USERS\\x]\n");
    const Run run = cli({ "import", script });
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QString());
    QVERIFY(run.err.startsWith("tallyhawk-cli: Cannot import " + script + ": line 5: "));
    QCOMPARE(run.err.count(u'\n'), 1);
    QCOMPARE(cli({ "list" }).out, QString("600000\n  \"Item\" = \"600000\"\n"));
}

void TestStoreCli::importReportsLinesReadAsLatin1()
{
    const QString script = m_home->filePath("old.reg");
    writeFile(script,
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\600000]\r\n"
        "\"Item\"=\"600000\"\r\n\"Note\"=\"Caf\xE9\"\r\n\"Other\"=\"\xC3\xBC\"\r\n");
    const Run run = cli({ "import", script });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out,
        "Imported 1 keys and 3 values from " + script
            + "\n1 line was not UTF-8 and was read as Latin-1 (ISO 8859-1)\n");
    QVERIFY(cli({ "list" }).out.contains(QString::fromUtf8("\"Note\" = \"Café\"\n  \"Other\" = \"ü\"")));
}

void TestStoreCli::exportOfAnUnreadableStoreFails()
{
    QVERIFY(storeWatchedItems(m_home->path(), { "600000" }));
    // The file still opens as a store, but its values cannot be read.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(storePath()).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "ALTER TABLE reg_value RENAME TO gone", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    const Run run = cli({ "export", m_home->path() });
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith("tallyhawk-cli: Cannot back up to "), qPrintable(run.err));
    QCOMPARE(run.err.count(u'\n'), 1);
    QVERIFY(!QFile::exists(m_home->filePath("eBayWatch.reg")));
}

// A listing that stops at what could be read would pass for the whole list.
void TestStoreCli::listOfAnUnreadableStoreFails()
{
    QVERIFY(storeWatchedItems(m_home->path(), { "600000" }));
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(storePath()).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "ALTER TABLE reg_value RENAME TO gone", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    const Run run = cli({ "list" });
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith("tallyhawk-cli: The store "), qPrintable(run.err));
    QCOMPARE(run.err.count(u'\n'), 1);
}

// The disk takes only the first bytes of the new backup: the old one stays, and the command
// fails with the reason.
void TestStoreCli::exportOnAFullDiskFailsAndKeepsTheOldBackup()
{
    {
        const std::unique_ptr<RegistryStore> store = openTestStore(m_home->path());
        QVERIFY(store);
        SaveRegString(*store, RegRoot::CurrentUser, itemKeyPath("2407604973"), "Note", QString(100000, u'x'));
    }
    const QString backup = m_home->filePath("eBayWatch.reg");
    writeFile(backup, "REGEDIT4\r\n\r\nan older backup\r\n");
    // Room for the store's shared-memory file, not for the backup.
    const Run run = cli({ "export", m_home->path() }, {}, 64 * 1024);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith("tallyhawk-cli: Cannot write " + backup + ": File too large"),
        qPrintable(run.err));
    QCOMPARE(fileBytes(backup), QByteArray("REGEDIT4\r\n\r\nan older backup\r\n"));
}

void TestStoreCli::unopenableStoreIsReportedAndLeftAlone_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("garbage, list") << "garbage" << QStringList { "list" };
    QTest::newRow("truncated, list") << "truncated" << QStringList { "list" };
    QTest::newRow("truncated, export") << "truncated" << QStringList { "export", "." };
    QTest::newRow("garbage, import") << "garbage" << QStringList { "import", "in.reg" };
}

void TestStoreCli::unopenableStoreIsReportedAndLeftAlone()
{
    QFETCH(QString, damage);
    QFETCH(QStringList, args);
    QByteArray bytes;
    if (damage == u"garbage") {
        for (int i = 0; i < 40000; ++i)
            bytes.append(char((i * 7919 + 13) % 251));
    } else {
        {
            Result<std::unique_ptr<RegistryStore>> store = RegistryStore::openInFolder(m_home->path());
            QVERIFY(store.ok());
            QVERIFY(store.value()->transaction([&]() -> Result<void> {
                for (int i = 0; i < 300; ++i)
                    SaveRegString(*store.value(), RegRoot::CurrentUser,
                        itemKeyPath(QString::number(600000 + i)), "Item", QString(100, u'x'));
                return {};
            }));
        }
        bytes = fileBytes(storePath());
        QVERIFY(bytes.size() > 8192);
        bytes.truncate(bytes.size() / 2);
    }
    writeFile(storePath(), bytes);
    QFile::remove(storePath() + "-wal");
    QFile::remove(storePath() + "-shm");
    writeFile(m_home->filePath("in.reg"), "REGEDIT4\n");
    if (args.size() == 2 && args[1] == u"in.reg")
        args[1] = m_home->filePath("in.reg");
    if (args.size() == 2 && args[1] == u".")
        args[1] = m_home->path();

    const Run run = cli(args);
    QVERIFY2(run.status > 0, qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith("tallyhawk-cli: The store " + storePath() + " cannot be opened: "),
        qPrintable(run.err));
    QCOMPARE(run.err.count(u'\n'), 1);
    QCOMPARE(fileBytes(storePath()), bytes);
    QVERIFY(!QFile::exists(m_home->filePath("eBayWatch.reg")));
}

void TestStoreCli::wrongArgumentsAreReported_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("export without folder") << QStringList { "export" };
    QTest::newRow("export to a missing folder") << QStringList { "export", "/nonexistent/folder" };
    QTest::newRow("import without file") << QStringList { "import" };
    QTest::newRow("import of a missing file") << QStringList { "import", "/nonexistent/eBayWatch.reg" };
    QTest::newRow("list with an argument") << QStringList { "list", "x" };
}

void TestStoreCli::wrongArgumentsAreReported()
{
    QFETCH(QStringList, args);
    const Run run = cli(args);
    QVERIFY(run.status > 0);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err.count(u'\n'), 1);
}

void TestStoreCli::restoreWaitsForTheProgramToEndThenRestores_data()
{
    QTest::addColumn<bool>("sameRuntimeFolder");
    QTest::newRow("run from the desktop") << true;
    // A shell of another session, or one started with su, has another runtime folder or none.
    QTest::newRow("run without the desktop's runtime folder") << false;
}

void TestStoreCli::restoreWaitsForTheProgramToEndThenRestores()
{
    QFETCH(bool, sameRuntimeFolder);
    QProcessEnvironment restoreEnvironment;
    if (!sameRuntimeFolder)
        restoreEnvironment.insert("XDG_RUNTIME_DIR", QString());
    const QString script = m_home->filePath("in.reg");
    const QByteArray head = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\";
    writeFile(script, head + "2407604973]\r\n\"Item\"=\"2407604973\"\r\n\"MaxBid\"=\"25\"\r\n\r\n");
    QCOMPARE(cli({ "import", script }).status, 0);
    const QString before = cli({ "list" }).out;
    writeFile(script, head + "500000]\r\n\"Item\"=\"500000\"\r\n\r\n");
    QCOMPARE(cli({ "import", script }).status, 0);
    // The newest copy is the store as it was before the second import.
    const QString copy = cli({ "backups" }).out.section(u'\n', 0, 0).section(u' ', -1);
    QVERIFY2(copy.contains(u"-import-"), qPrintable(copy));

    auto program = std::make_unique<LockFileSingleInstance>(m_home->path());
    QVERIFY(program->tryAcquire());
    Run run = cli({ "restore", QFileInfo(copy).fileName() }, restoreEnvironment);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(u"Tallyhawk is running on the data folder"), qPrintable(run.err));
    QVERIFY(cli({ "list" }).out.contains(u"500000"));

    program.reset();
    run = cli({ "restore", QFileInfo(copy).fileName() });
    QCOMPARE(run.status, 0);
    QCOMPARE(cli({ "list" }).out, before);
}

QTEST_GUILESS_MAIN(TestStoreCli)
#include "TestStoreCli.moc"
