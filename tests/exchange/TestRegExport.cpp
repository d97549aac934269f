#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include "TestSupport.h"
#include "exchange/RegExport.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

Q_DECLARE_METATYPE(th::RegValue)

namespace {

const QByteArray kTop = "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\]\r\n";

} // namespace

// The registry script the backup writes, byte for byte.
class TestRegExport final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void emptyWatchListGivesHeaderAndTopSection();
    void itemsFollowTheTopSection();
    void valueLines_data();
    void valueLines();
    void keysGoDepthFirstInNameOrder();
    void appendAddsNoSecondHeader_data();
    void appendAddsNoSecondHeader();
    void withoutSubKeysOnlyTheKeyItself();
    void missingKeyGivesASectionWithoutValues();
    void textBeyondAsciiIsUtf8WithoutMark();
    void unwritableFileIsReported();
    void unreadableStoreFailsAndKeepsTheOldBackup_data();
    void unreadableStoreFailsAndKeepsTheOldBackup();
    void exportPathJoinsFolderAndName_data();
    void exportPathJoinsFolderAndName();

private:
    QString file() const { return m_dir->filePath("eBayWatch.reg"); }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryStore> m_store;
};

void TestRegExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = openTestStore(m_dir->path());
    QVERIFY(m_store);
}

void TestRegExport::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

void TestRegExport::emptyWatchListGivesHeaderAndTopSection()
{
    QVERIFY(exportWatchList(*m_store, file()).ok());
    QCOMPARE(fileBytes(file()), "REGEDIT4\r\n\r\n" + kTop + "\r\n");
}

void TestRegExport::itemsFollowTheTopSection()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("2407604973"), "Item", "2407604973");
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("2407604973"), "MaxBid", "25");
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("3012345678"), "Item", "3012345678");
    SaveRegDword(*m_store, RegRoot::CurrentUser, itemKeyPath("3012345678"), "AuctionEndDate", 37721);
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("3012345678"), "AuctionEndDateTxt", "37720.75");
    // Settings are not part of the watch list.
    SaveRegString(*m_store, RegRoot::CurrentUser, QString::fromUtf16(kSettingsKey), "EBayID", "me");
    QVERIFY(exportWatchList(*m_store, file()).ok());
    QCOMPARE(fileBytes(file()),
        "REGEDIT4\r\n\r\n" + kTop
            + "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\2407604973]\r\n"
              "\"Item\"=\"2407604973\"\r\n"
              "\"MaxBid\"=\"25\"\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\3012345678]\r\n"
              "\"Item\"=\"3012345678\"\r\n"
              "\"AuctionEndDate\"=dword:00009359\r\n"
              "\"AuctionEndDateTxt\"=\"37720.75\"\r\n"
              "\r\n");
}

void TestRegExport::valueLines_data()
{
    QTest::addColumn<RegValue>("value");
    QTest::addColumn<QString>("line");
    QTest::newRow("drive path doubles backslashes")
        << RegValue::fromString("s", "C:\\Sounds\\a.wav") << "\"s\"=\"C:\\\\Sounds\\\\a.wav\"";
    QTest::newRow("lower-case drive") << RegValue::fromString("s", "c:\\") << "\"s\"=\"c:\\\\\"";
    QTest::newRow("comma counts as a drive letter")
        << RegValue::fromString("s", ",:\\x\\y") << "\"s\"=\",:\\\\x\\\\y\"";
    QTest::newRow("digit is no drive letter") << RegValue::fromString("s", "1:\\x") << "\"s\"=\"1:\\x\"";
    // The reader would take the leading pair as one backslash.
    QTest::newRow("network path as bytes")
        << RegValue::fromString("s", "\\\\host\\share") << "\"s\"=hex(1):5C,5C,68,6F,73,74,5C,73,68,61,72,65";
    QTest::newRow("escaped quote as bytes")
        << RegValue::fromString("s", "a\\\"b") << "\"s\"=hex(1):61,5C,22,62";
    QTest::newRow("lone backslashes stay quoted")
        << RegValue::fromString("s", "a\\b\"c\\") << "\"s\"=\"a\\b\"c\\\"";
    QTest::newRow("drive without backslash") << RegValue::fromString("s", "C:x\\y") << "\"s\"=\"C:x\\y\"";
    QTest::newRow("date text unchanged") << RegValue::fromString("AutoBidAt", "Apr-10-03 18:30:00 PDT")
                                         << "\"AutoBidAt\"=\"Apr-10-03 18:30:00 PDT\"";
    QTest::newRow("quote unescaped") << RegValue::fromString("s", "say \"hi\"") << "\"s\"=\"say \"hi\"\"";
    QTest::newRow("empty text") << RegValue::fromString("WonItem", "") << "\"WonItem\"=\"\"";
    QTest::newRow("text up to its NUL")
        << RegValue::fromString("s", QString(QStringLiteral("ab") + QChar(0) + u"c")) << "\"s\"=\"ab\"";
    QTest::newRow("expandable text") << RegValue::fromString("e", "%TEMP%\\x", RegKind::ExpandString)
                                     << "\"e\"=\"%TEMP%\\x\"";
    QTest::newRow("multi-string up to its first NUL")
        << RegValue { "m", RegKind::MultiString, regDataFromText(QStringView(u"one\0two\0\0", 9)) }
        << "\"m\"=\"one\"";
    QTest::newRow("end day") << RegValue::fromDword("AuctionEndDate", 37721)
                             << "\"AuctionEndDate\"=dword:00009359";
    QTest::newRow("negative number") << RegValue::fromDword("LoadAtWinStartUp", quint32(-1))
                                     << "\"LoadAtWinStartUp\"=dword:ffffffff";
    QTest::newRow("binary") << RegValue::fromBinary("b", QByteArray("\x0a\xff", 2)) << "\"b\"=hex:0A,FF";
    QTest::newRow("empty binary") << RegValue::fromBinary("b", QByteArray()) << "\"b\"=hex:";
    QTest::newRow("unnamed default value") << RegValue::fromString("", "x") << "@=\"x\"";
    QTest::newRow("name with quote and backslash")
        << RegValue::fromString("a\"b\\c", "x") << "\"a\"b\\c\"=\"x\"";
    // Kept whole so that the backup can be read back.
    QTest::newRow("other kind") << RegValue { "x", 0x100, QByteArray("%P", 2) } << "\"x\"=hex(100):25,50";
    QTest::newRow("kind 0 without data") << RegValue { "n", RegKind::None, QByteArray() } << "\"n\"=hex(0):";
    QTest::newRow("32-bit kind of eight bytes")
        << RegValue { "d", RegKind::Dword, QByteArray(8, '\x01') } << "\"d\"=hex(4):01,01,01,01,01,01,01,01";
    QTest::newRow("text with a line break")
        << RegValue::fromString("s", QString::fromUtf8("a\r\nü")) << "\"s\"=hex(1):61,0D,0A,C3,BC";
}

void TestRegExport::valueLines()
{
    QFETCH(RegValue, value);
    QFETCH(QString, line);
    QCOMPARE(regValueLine(value), line);
    QVERIFY(m_store->setValue(RegRoot::CurrentUser, itemKeyPath("600000"), value));
    QVERIFY(exportWatchList(*m_store, file()).ok());
    QVERIFY(fileBytes(file()).contains(QByteArray("\r\n" + line.toUtf8() + "\r\n\r\n")));
}

void TestRegExport::keysGoDepthFirstInNameOrder()
{
    for (const char *path : { "b", "a\\z", "a\\Y\\deep", "C" })
        QVERIFY(m_store->createKey(RegRoot::CurrentUser, "Software\\Tree\\" + QLatin1String(path)));
    SaveRegString(*m_store, RegRoot::CurrentUser, "Software\\Tree\\a\\Y", "v", "1");
    QVERIFY(ExportRegKey(*m_store, RegRoot::CurrentUser, "Software\\Tree", file(), true, false).ok());
    QCOMPARE(fileBytes(file()),
        QByteArray("REGEDIT4\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Tree]\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Tree\\a]\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Tree\\a\\Y]\r\n\"v\"=\"1\"\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Tree\\a\\Y\\deep]\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Tree\\a\\z]\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Tree\\b]\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Tree\\C]\r\n\r\n"));
}

void TestRegExport::appendAddsNoSecondHeader_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("append");
    QTest::addColumn<QByteArray>("result");
    const QByteArray section = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\x]\r\n\"v\"=dword:00000001\r\n\r\n";
    QTest::newRow("append after a header")
        << QByteArray("REGEDIT4\r\n\r\n") << true << "REGEDIT4\r\n\r\n" + section;
    QTest::newRow("append where the header stands anywhere")
        << QByteArray("; REGEDIT4 below\r\n") << true << "; REGEDIT4 below\r\n" + section;
    QTest::newRow("append to a file without header")
        << QByteArray("junk\r\n") << true << "junk\r\nREGEDIT4\r\n\r\n" + section;
    QTest::newRow("append to a missing file") << QByteArray() << true << "REGEDIT4\r\n\r\n" + section;
    QTest::newRow("replace") << QByteArray("REGEDIT4\r\n\r\nold\r\n") << false
                             << "REGEDIT4\r\n\r\n" + section;
}

void TestRegExport::appendAddsNoSecondHeader()
{
    QFETCH(QByteArray, existing);
    QFETCH(bool, append);
    QFETCH(QByteArray, result);
    if (!existing.isEmpty()) {
        QFile out(file());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(existing);
    }
    SaveRegDword(*m_store, RegRoot::LocalMachine, "SOFTWARE\\x", "v", 1);
    QVERIFY(ExportRegKey(*m_store, RegRoot::LocalMachine, "SOFTWARE\\x", file(), true, append).ok());
    QCOMPARE(fileBytes(file()), result);
}

void TestRegExport::withoutSubKeysOnlyTheKeyItself()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("2407604973"), "Item", "2407604973");
    const QString watches = QString::fromUtf16(kWatchListKey) + u'\\';
    QVERIFY(ExportRegKey(*m_store, RegRoot::CurrentUser, watches, file(), false, false).ok());
    QCOMPARE(fileBytes(file()), "REGEDIT4\r\n\r\n" + kTop + "\r\n");
}

void TestRegExport::missingKeyGivesASectionWithoutValues()
{
    QVERIFY(ExportRegKey(*m_store, RegRoot::Users, "Missing\\Key", file(), true, false).ok());
    QCOMPARE(fileBytes(file()), QByteArray("REGEDIT4\r\n\r\n[HKEY_USERS\\Missing\\Key]\r\n\r\n"));
}

void TestRegExport::textBeyondAsciiIsUtf8WithoutMark()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("600000"), QString::fromUtf8("Nöte"),
        QString::fromUtf8("€ 5 ぁ"));
    QVERIFY(exportWatchList(*m_store, file()).ok());
    const QByteArray bytes = fileBytes(file());
    QVERIFY(bytes.startsWith("REGEDIT4\r\n"));
    QVERIFY(bytes.contains("\"N\xC3\xB6te\"=\"\xE2\x82\xAC 5 \xE3\x81\x81\"\r\n"));
}

void TestRegExport::unwritableFileIsReported()
{
    const QString inMissingFolder = m_dir->filePath("missing/eBayWatch.reg");
    const Result<void> written = exportWatchList(*m_store, inMissingFolder);
    QVERIFY(!written.ok());
    QVERIFY(written.errorMessage().contains(inMissingFolder));
    QVERIFY(!ExportRegKey(*m_store, RegRoot::CurrentUser, "x", inMissingFolder, true, true).ok());
}

void TestRegExport::unreadableStoreFailsAndKeepsTheOldBackup_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::newRow("values cannot be read") << QByteArray("reg_value");
    QTest::newRow("keys cannot be read") << QByteArray("reg_key");
}

void TestRegExport::unreadableStoreFailsAndKeepsTheOldBackup()
{
    QFETCH(QByteArray, table);
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("2407604973"), "Item", "2407604973");
    QVERIFY(exportWatchList(*m_store, file()).ok());
    const QByteArray previous = fileBytes(file());
    // Another program damages the open store: from now on reading it fails.
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(m_store->path()).constData(), &other), SQLITE_OK);
    const QByteArray rename = "ALTER TABLE " + table + " RENAME TO gone";
    QCOMPARE(sqlite3_exec(other, rename.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    const Result<void> written = exportWatchList(*m_store, file());
    QVERIFY(!written.ok());
    QVERIFY2(written.errorMessage().startsWith("Cannot back up to " + file() + ": The store "),
        qPrintable(written.errorMessage()));
    QCOMPARE(fileBytes(file()), previous);
    QVERIFY(!ExportRegKey(*m_store, RegRoot::CurrentUser, "Software", file(), true, true).ok());
    QCOMPARE(fileBytes(file()), previous);
}

void TestRegExport::exportPathJoinsFolderAndName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << "/home/u/backup"
                            << "/home/u/backup/eBayWatch.reg";
    QTest::newRow("folder with separator") << "/media/stick/"
                                           << "/media/stick/eBayWatch.reg";
    QTest::newRow("root") << "/"
                          << "/eBayWatch.reg";
}

void TestRegExport::exportPathJoinsFolderAndName()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(watchListExportPath(folder), path);
}

QTEST_APPLESS_MAIN(TestRegExport)
#include "TestRegExport.moc"
