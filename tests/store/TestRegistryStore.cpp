#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include "TestSupport.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"

using namespace th;
using namespace th::test;

Q_DECLARE_METATYPE(th::RegValue)

namespace {

const QString kKey = QStringLiteral("Software\\Quillmarsh\\Tallyhawk\\Watches\\2407604973");

QStringList valueNames(const QList<RegValue> &values)
{
    QStringList names;
    for (const RegValue &value : values)
        names.append(value.name);
    return names;
}

} // namespace

class TestRegistryStore final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void namesAreCaseInsensitiveAndKeepTheirCase();
    void separatorsCollapse_data();
    void separatorsCollapse();
    void subKeysEnumerateInCaseInsensitiveOrder();
    void valuesKeepCreationOrderWhenOverwritten();
    void everyKindRoundTrips_data();
    void everyKindRoundTrips();
    void typedReadersTreatOtherKindsAsAbsent_data();
    void typedReadersTreatOtherKindsAsAbsent();
    void stringsReadUpToTheFirstNul_data();
    void stringsReadUpToTheFirstNul();
    void onlyTheTwoHivesHoldKeys();
    void deletingAKeyTakesItsSubKeys();
    void deletingWhatIsMissingChangesNothing();
    void refusesOverlongKeyNames();
    void transactionCommitsAllOrNothing();
    void writesSurviveReopeningAndReachAnotherConnection();
    void newStoreIsPrivateToItsOwner();

    void refusesFilesThatAreNoSoundStore_data();
    void refusesFilesThatAreNoSoundStore();
    void refusesAStoreLockedPastTheTimeout();
    void storeIsMadePrivateWhateverItsMode();
    void fullDiskIsReportedAsSuch();

private:
    QString storePath() const { return m_dir->filePath(QStringLiteral("registry.db")); }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryStore> m_store;
};

void TestRegistryStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Result<std::unique_ptr<RegistryStore>> opened = RegistryStore::open(storePath());
    QVERIFY2(opened.ok(), qPrintable(opened.errorMessage()));
    m_store = std::move(opened).value();
}

void TestRegistryStore::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

void TestRegistryStore::namesAreCaseInsensitiveAndKeepTheirCase()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, QStringLiteral("Software\\MixedCase\\Item"),
        QStringLiteral("MaxBid"), QStringLiteral("25"));
    QCOMPARE(GetRegString(*m_store, RegRoot::CurrentUser, QStringLiteral("SOFTWARE\\mixedcase\\ITEM"),
                 QStringLiteral("maxbid")),
        QStringLiteral("25"));
    SaveRegString(*m_store, RegRoot::CurrentUser, QStringLiteral("software\\MIXEDCASE\\item"),
        QStringLiteral("MAXBID"), QStringLiteral("30"));
    QCOMPARE(
        m_store->subKeyNames(RegRoot::CurrentUser, QStringLiteral("Software")), QStringList { "MixedCase" });
    const QList<RegValue> values
        = m_store->values(RegRoot::CurrentUser, QStringLiteral("Software\\MixedCase\\Item"));
    QCOMPARE(values.size(), 1);
    QCOMPARE(values[0].name, QStringLiteral("MaxBid"));
    QCOMPARE(values[0].text(), QStringLiteral("30"));

    // Case folding is not limited to ASCII.
    SaveRegString(*m_store, RegRoot::CurrentUser, QStringLiteral("Software\\Ärger"), QStringLiteral("Größe"),
        QStringLiteral("x"));
    QCOMPARE(GetRegString(
                 *m_store, RegRoot::CurrentUser, QStringLiteral("SOFTWARE\\ärger"), QStringLiteral("GRÖßE")),
        QStringLiteral("x"));
}

void TestRegistryStore::separatorsCollapse_data()
{
    QTest::addColumn<QString>("writePath");
    QTest::addColumn<QString>("readPath");
    QTest::newRow("trailing backslash") << "Software\\A\\"
                                        << "Software\\A";
    QTest::newRow("doubled backslash") << "Software\\\\A"
                                       << "Software\\A";
    QTest::newRow("export style top and sub-key") << "Software\\Watches\\\\123456"
                                                  << "Software\\Watches\\123456\\";
    QTest::newRow("leading backslash") << "\\Software\\A"
                                       << "Software\\A";
    QTest::newRow("many backslashes") << "Software\\\\\\\\A\\\\\\"
                                      << "Software\\A";
}

void TestRegistryStore::separatorsCollapse()
{
    QFETCH(QString, writePath);
    QFETCH(QString, readPath);
    SaveRegDword(*m_store, RegRoot::CurrentUser, writePath, QStringLiteral("n"), 7);
    QCOMPARE(GetRegDword(*m_store, RegRoot::CurrentUser, readPath, QStringLiteral("n")), 7);
    QStringList path = readPath.split(u'\\', Qt::SkipEmptyParts);
    const QString leaf = path.takeLast();
    QCOMPARE(m_store->subKeyNames(RegRoot::CurrentUser, path.join(u'\\')), QStringList { leaf });
}

void TestRegistryStore::subKeysEnumerateInCaseInsensitiveOrder()
{
    const QString parent = QStringLiteral("Software\\Order");
    for (const char *name : { "b", "C", "A", "a_b", "ab", "10", "9", "B2" })
        QVERIFY(m_store->createKey(RegRoot::CurrentUser, parent + u'\\' + QLatin1String(name)));
    // Upper-cased, "_" sorts after the letters, as it does in the registry.
    QCOMPARE(m_store->subKeyNames(RegRoot::CurrentUser, parent),
        (QStringList { "10", "9", "A", "ab", "a_b", "b", "B2", "C" }));
}

void TestRegistryStore::valuesKeepCreationOrderWhenOverwritten()
{
    for (const char *name : { "Item", "MaxBid", "WonItem", "AutoBidAt" })
        SaveRegString(*m_store, RegRoot::CurrentUser, kKey, QLatin1String(name), QStringLiteral("1"));
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, QStringLiteral("maxbid"), QStringLiteral("2"));
    SaveRegDword(*m_store, RegRoot::CurrentUser, kKey, QStringLiteral("Item"), 3);
    DeleteRegValue(*m_store, RegRoot::CurrentUser, kKey, QStringLiteral("WonItem"));
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, QStringLiteral("WonItem"), QStringLiteral("True"));
    const QList<RegValue> values = m_store->values(RegRoot::CurrentUser, kKey);
    QCOMPARE(valueNames(values), (QStringList { "Item", "MaxBid", "AutoBidAt", "WonItem" }));
    QCOMPARE(values[0].dword(), 3u);
    QCOMPARE(values[1].text(), QStringLiteral("2"));
}

void TestRegistryStore::everyKindRoundTrips_data()
{
    QTest::addColumn<RegValue>("value");
    QTest::newRow("string") << RegValue::fromString("s", "Apr-10-03 18:30:00 PDT");
    QTest::newRow("empty string") << RegValue::fromString("s", "");
    QTest::newRow("expandable string") << RegValue::fromString("e", "%HOME%\\x", RegKind::ExpandString);
    QTest::newRow("multi-string") << RegValue { "m", RegKind::MultiString,
        regDataFromText(QStringView(u"a\0b\0\0", 5)) };
    QTest::newRow("dword") << RegValue::fromDword("d", 0xFFFFFFFFu);
    QTest::newRow("binary") << RegValue::fromBinary("b", QByteArray("\x00\x0A\xFF", 3));
    QTest::newRow("empty binary") << RegValue::fromBinary("b", QByteArray());
    QTest::newRow("kind 0") << RegValue { "n", RegKind::None, QByteArray("V\0a\0", 4) };
    QTest::newRow("kind 0x100") << RegValue { "x", 0x100, QByteArray("%PATH%", 6) };
    QTest::newRow("kind 0xffffffff") << RegValue { "y", 0xFFFFFFFFu, QByteArray("\x01", 1) };
    QTest::newRow("unnamed default value") << RegValue::fromString("", "default");
    QTest::newRow("text beyond Latin-1") << RegValue::fromString("ü", QString::fromUtf8("ぁ €𝄞"));
}

void TestRegistryStore::everyKindRoundTrips()
{
    QFETCH(RegValue, value);
    QVERIFY(m_store->setValue(RegRoot::CurrentUser, kKey, value));
    QCOMPARE(m_store->value(RegRoot::CurrentUser, kKey, value.name), std::optional<RegValue>(value));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey), QList<RegValue> { value });
}

void TestRegistryStore::typedReadersTreatOtherKindsAsAbsent_data()
{
    QTest::addColumn<RegValue>("value");
    QTest::addColumn<QString>("asString");
    QTest::addColumn<qint32>("asDword");
    QTest::newRow("string") << RegValue::fromString("v", "12") << "12" << -1;
    QTest::newRow("expandable string, unexpanded")
        << RegValue::fromString("v", "%TEMP%", RegKind::ExpandString) << "%TEMP%" << -1;
    QTest::newRow("multi-string") << RegValue::fromString("v", "a", RegKind::MultiString) << "default" << -1;
    QTest::newRow("dword") << RegValue::fromDword("v", quint32(-5)) << "default" << -5;
    QTest::newRow("binary of four bytes")
        << RegValue::fromBinary("v", QByteArray(4, '\1')) << "default" << -1;
    QTest::newRow("dword kind of eight bytes")
        << RegValue { "v", RegKind::Dword, QByteArray(8, '\1') } << "default" << -1;
    QTest::newRow("kind 0x100") << RegValue { "v", 0x100, regDataFromText(u"12") } << "default" << -1;
}

void TestRegistryStore::typedReadersTreatOtherKindsAsAbsent()
{
    QFETCH(RegValue, value);
    QFETCH(QString, asString);
    QFETCH(qint32, asDword);
    QVERIFY(m_store->setValue(RegRoot::CurrentUser, kKey, value));
    QCOMPARE(GetRegString(*m_store, RegRoot::CurrentUser, kKey, "v", "default"), asString);
    QCOMPARE(GetRegDword(*m_store, RegRoot::CurrentUser, kKey, "v", -1), asDword);
}

void TestRegistryStore::stringsReadUpToTheFirstNul_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("read");
    QTest::newRow("without NUL") << "37720.75"
                                 << "37720.75";
    QTest::newRow("with terminating NUL") << QString(QStringLiteral("37720.75") + QChar(0)) << "37720.75";
    QTest::newRow("NUL inside") << QString(QStringLiteral("ab") + QChar(0) + u"cd") << "ab";
    QTest::newRow("only a NUL") << QString(QChar(0)) << "";
}

void TestRegistryStore::stringsReadUpToTheFirstNul()
{
    QFETCH(QString, stored);
    QFETCH(QString, read);
    QVERIFY(m_store->setValue(RegRoot::CurrentUser, kKey, RegValue::fromString("AutoBidAt", stored)));
    QCOMPARE(GetRegString(*m_store, RegRoot::CurrentUser, kKey, "AutoBidAt", "default"), read);
}

void TestRegistryStore::onlyTheTwoHivesHoldKeys()
{
    SaveRegString(*m_store, RegRoot::LocalMachine, "SOFTWARE\\tallyhawk\\frmAlarm", "Top", "10");
    QCOMPARE(GetRegString(*m_store, RegRoot::LocalMachine, "software\\TALLYHAWK\\frmalarm", "top"), "10");
    QCOMPARE(
        GetRegString(*m_store, RegRoot::CurrentUser, "SOFTWARE\\tallyhawk\\frmAlarm", "Top", "none"), "none");
    for (const RegRoot root : { RegRoot::ClassesRoot, RegRoot::Users, RegRoot::CurrentConfig }) {
        QVERIFY(!m_store->setValue(root, "Software\\X", RegValue::fromString("v", "1")));
        QVERIFY(!m_store->createKey(root, "Software\\X"));
        QCOMPARE(GetRegString(*m_store, root, "Software\\X", "v", "none"), "none");
        QVERIFY(ListRegSubKeys(*m_store, root, "").isEmpty());
    }
}

void TestRegistryStore::deletingAKeyTakesItsSubKeys()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey + "\\Sub\\Deeper", "v", "1");
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "2407604973");
    SaveRegString(
        *m_store, RegRoot::CurrentUser, "Software\\Quillmarsh\\Tallyhawk\\Watches\\2407604974", "Item", "x");
    DeleteRegKey(*m_store, RegRoot::CurrentUser, kKey.toUpper());
    QVERIFY(!m_store->keyExists(RegRoot::CurrentUser, kKey));
    QVERIFY(!m_store->keyExists(RegRoot::CurrentUser, kKey + "\\Sub\\Deeper"));
    QCOMPARE(ListRegSubKeys(*m_store, RegRoot::CurrentUser, "Software\\Quillmarsh\\Tallyhawk\\Watches"),
        QStringList { "2407604974" });
    // A new key of the same name starts empty.
    QVERIFY(m_store->createKey(RegRoot::CurrentUser, kKey));
    QVERIFY(m_store->values(RegRoot::CurrentUser, kKey).isEmpty());
    QVERIFY(m_store->subKeyNames(RegRoot::CurrentUser, kKey).isEmpty());
    QVERIFY(!m_store->deleteKey(RegRoot::CurrentUser, "\\"));
}

void TestRegistryStore::deletingWhatIsMissingChangesNothing()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "2407604973");
    QVERIFY(m_store->deleteValue(RegRoot::CurrentUser, kKey, "MaxBid"));
    QVERIFY(m_store->deleteValue(RegRoot::CurrentUser, kKey + "\\Missing", "Item"));
    QVERIFY(m_store->deleteKey(RegRoot::CurrentUser, kKey + "\\Missing"));
    QVERIFY(!m_store->keyExists(RegRoot::CurrentUser, kKey + "\\Missing"));
    QCOMPARE(GetRegString(*m_store, RegRoot::CurrentUser, kKey + "\\Missing", "Item", "dflt"), "dflt");
    QCOMPARE(GetRegDword(*m_store, RegRoot::CurrentUser, kKey, "AuctionEndDate"), 0);
    QCOMPARE(valueNames(m_store->values(RegRoot::CurrentUser, kKey)), QStringList { "Item" });
}

void TestRegistryStore::refusesOverlongKeyNames()
{
    const QString ok(RegistryStore::kMaxKeyNameLength, u'k');
    QVERIFY(m_store->createKey(RegRoot::CurrentUser, "Software\\" + ok));
    const Result<void> overlong = m_store->createKey(RegRoot::CurrentUser, "Software\\" + ok + u'k');
    QVERIFY(!overlong);
    QVERIFY(!overlong.errorMessage().isEmpty());
    QCOMPARE(m_store->subKeyNames(RegRoot::CurrentUser, "Software"), QStringList { ok });
}

void TestRegistryStore::transactionCommitsAllOrNothing()
{
    Result<void> failed = m_store->transaction([&]() -> Result<void> {
        SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "1");
        (void)m_store->createKey(RegRoot::CurrentUser, "Software\\Other");
        return makeError(1, "stop");
    });
    QVERIFY(!failed.ok());
    QVERIFY(!m_store->keyExists(RegRoot::CurrentUser, "Software"));

    // A write that fails inside the transaction undoes the others too.
    failed = m_store->transaction([&]() -> Result<void> {
        SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "1");
        (void)m_store->createKey(RegRoot::CurrentUser, "Software\\" + QString(300, u'x'));
        return {};
    });
    QVERIFY(!failed.ok());
    QVERIFY(!m_store->keyExists(RegRoot::CurrentUser, "Software"));

    Result<void> done = m_store->transaction([&]() -> Result<void> {
        SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "1");
        SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "MaxBid", "2");
        return {};
    });
    QVERIFY2(done.ok(), qPrintable(done.errorMessage()));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey).size(), 2);
}

void TestRegistryStore::writesSurviveReopeningAndReachAnotherConnection()
{
    Result<std::unique_ptr<RegistryStore>> second = RegistryStore::open(storePath());
    QVERIFY2(second.ok(), qPrintable(second.errorMessage()));
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "2407604973");
    QCOMPARE(GetRegString(*second.value(), RegRoot::CurrentUser, kKey, "Item"), "2407604973");
    SaveRegDword(*second.value(), RegRoot::CurrentUser, kKey, "AuctionEndDate", 37721);
    QCOMPARE(GetRegDword(*m_store, RegRoot::CurrentUser, kKey, "AuctionEndDate"), 37721);
    second.value().reset();
    m_store.reset();
    Result<std::unique_ptr<RegistryStore>> reopened = RegistryStore::open(storePath());
    QVERIFY2(reopened.ok(), qPrintable(reopened.errorMessage()));
    QCOMPARE(valueNames(reopened.value()->values(RegRoot::CurrentUser, kKey)),
        (QStringList { "Item", "AuctionEndDate" }));
}

void TestRegistryStore::newStoreIsPrivateToItsOwner()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "2407604973");
    for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") }) {
        struct stat info { };
        if (::stat(QFile::encodeName(storePath() + suffix).constData(), &info) != 0) {
            QVERIFY2(!suffix.isEmpty(), "the store file is missing");
            continue;
        }
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
    }
}

void TestRegistryStore::refusesFilesThatAreNoSoundStore_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("code");
    QTest::newRow("text file") << "text" << StoreError::NotAStore;
    QTest::newRow("random bytes") << "garbage" << StoreError::NotAStore;
    QTest::newRow("shorter than a header") << "header-only" << StoreError::NotAStore;
    QTest::newRow("store cut in half") << "truncate" << StoreError::Damaged;
    QTest::newRow("store emptied") << "empty" << StoreError::Damaged;
    QTest::newRow("store with a page overwritten") << "scribble" << StoreError::Damaged;
    QTest::newRow("database of another program") << "foreign" << StoreError::NotAStore;
    QTest::newRow("store of a newer version") << "newer" << StoreError::NewerVersion;
}

void TestRegistryStore::refusesFilesThatAreNoSoundStore()
{
    QFETCH(QString, damage);
    QFETCH(int, code);
    // A store with enough in it to span several pages.
    QVERIFY(m_store->transaction([&]() -> Result<void> {
        for (int i = 0; i < 200; ++i)
            SaveRegString(
                *m_store, RegRoot::CurrentUser, kKey + QString::number(i), "Item", QString(200, u'x'));
        return {};
    }));
    m_store.reset();
    QByteArray bytes = fileBytes(storePath());
    QVERIFY(bytes.size() > 4 * 4096);

    if (damage == u"text") {
        bytes = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n";
    } else if (damage == u"garbage") {
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919 + 13) % 251);
    } else if (damage == u"header-only") {
        bytes = bytes.left(50);
    } else if (damage == u"empty") {
        bytes.clear();
    } else if (damage == u"truncate") {
        bytes = bytes.left(bytes.size() / 2);
    } else if (damage == u"scribble") {
        for (qsizetype i = 4096; i < 2 * 4096; ++i)
            bytes[i] = char(0xA5);
    } else {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(storePath()).constData(), &db), SQLITE_OK);
        const char *sql = damage == u"foreign" ? "PRAGMA application_id = 7" : "PRAGMA user_version = 9";
        QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        bytes = fileBytes(storePath());
    }
    writeFile(storePath(), bytes);
    QFile::remove(storePath() + "-wal");
    QFile::remove(storePath() + "-shm");

    Result<std::unique_ptr<RegistryStore>> opened = RegistryStore::open(storePath());
    QVERIFY(!opened.ok());
    QCOMPARE(opened.error().code, code);
    QVERIFY2(opened.errorMessage().contains(storePath()), qPrintable(opened.errorMessage()));
    QVERIFY(!opened.errorMessage().contains(u'\n'));
    QCOMPARE(fileBytes(storePath()), bytes);
}

void TestRegistryStore::refusesAStoreLockedPastTheTimeout()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "2407604973");
    m_store.reset();
    sqlite3 *holder = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(storePath()).constData(), &holder), SQLITE_OK);
    QCOMPARE(
        sqlite3_exec(holder, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
        SQLITE_OK);
    const QByteArray before = fileBytes(storePath());

    Result<std::unique_ptr<RegistryStore>> opened = RegistryStore::open(storePath(), 200);
    QVERIFY(!opened.ok());
    QCOMPARE(opened.error().code, StoreError::Locked);
    QVERIFY(opened.errorMessage().contains(storePath()));
    QCOMPARE(fileBytes(storePath()), before);

    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    opened = RegistryStore::open(storePath(), 200);
    QVERIFY2(opened.ok(), qPrintable(opened.errorMessage()));
    QCOMPARE(GetRegString(*opened.value(), RegRoot::CurrentUser, kKey, "Item"), "2407604973");
}

// The store holds the account passwords: a file that an older program or a copy left
// readable by others is made private when it is opened.
void TestRegistryStore::storeIsMadePrivateWhateverItsMode()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "2407604973");
    QVERIFY(QFile::exists(storePath() + "-wal"));
    for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        ::chmod(QFile::encodeName(storePath() + suffix).constData(), 0644);
    Result<std::unique_ptr<RegistryStore>> reopened = RegistryStore::open(storePath());
    QVERIFY2(reopened.ok(), qPrintable(reopened.errorMessage()));
    for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") }) {
        struct stat info { };
        QCOMPARE(::stat(QFile::encodeName(storePath() + suffix).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
    }
}

// A disk too full for the files beside the store is no damage to the store: it is not
// reported as one (which would advise putting a copy in its place).
void TestRegistryStore::fullDiskIsReportedAsSuch()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Item", "2407604973");
    m_store.reset();
    QFile::remove(storePath() + "-wal");
    QFile::remove(storePath() + "-shm");
    const QByteArray before = fileBytes(storePath());
    Result<std::unique_ptr<RegistryStore>> opened = Result<std::unique_ptr<RegistryStore>>(Error {});
    {
        const th::test::FileSizeLimit full(16);
        opened = RegistryStore::open(storePath());
    }
    QVERIFY(!opened.ok());
    QCOMPARE(opened.error().code, StoreError::DiskRefused);
    QVERIFY2(opened.errorMessage().contains(u"the disk may be full"), qPrintable(opened.errorMessage()));
    QCOMPARE(fileBytes(storePath()), before);
}

QTEST_APPLESS_MAIN(TestRegistryStore)
#include "TestRegistryStore.moc"
