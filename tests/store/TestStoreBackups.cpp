// The rolling copies of the store: taken by day and before imports, checked, restored.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include "FakeClock.h"
#include "TestSupport.h"
#include "store/RegistryStore.h"
#include "store/StoreBackups.h"

using namespace th;
using namespace th::test;

namespace {

const QString kWatches = QStringLiteral("Software\\Quillmarsh\\Tallyhawk\\Watches");

// Every key below the current-user root with its values, as one text to compare.
QString dump(const RegistryStore &store, const QString &path = QString())
{
    QString text = u'[' + path + u"]\n";
    for (const RegValue &value : store.values(RegRoot::CurrentUser, path))
        text += value.name + u'=' + QString::number(value.kind) + u':'
            + QString::fromLatin1(value.data.toHex()) + u'\n';
    for (const QString &name : store.subKeyNames(RegRoot::CurrentUser, path))
        text += dump(store, path.isEmpty() ? name : path + u'\\' + name);
    return text;
}

QStringList fileNames(const QList<StoreCopy> &copies)
{
    QStringList names;
    for (const StoreCopy &copy : copies)
        names.append(QFileInfo(copy.path).fileName());
    return names;
}

} // namespace

class TestStoreBackups final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void copiesRotateByDayAndKeepSevenAndFour();
    void copiesOrderByTheMomentTheyWereTaken();
    void cutOffCopiesAreClearedAtStartUp();
    void restoreBringsBackEveryKeyAndValue_data();
    void restoreBringsBackEveryKeyAndValue();
    void unsoundCopyIsRefusedAndChangesNothing_data();
    void unsoundCopyIsRefusedAndChangesNothing();

private:
    QString storePath() const { return m_dir->filePath(QStringLiteral("registry.db")); }
    QString backups() const { return m_dir->filePath(QStringLiteral("backups")); }
    std::unique_ptr<RegistryStore> open() const
    {
        Result<std::unique_ptr<RegistryStore>> store = RegistryStore::open(storePath());
        return store ? std::move(store).value() : nullptr;
    }
    // A store with an item of every kind of value; its copy taken at `clock`'s day.
    QString storeWithACopy();

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
};

void TestStoreBackups::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_clock.set(QDateTime(QDate(2026, 3, 2), QTime(9, 30)));
}

QString TestStoreBackups::storeWithACopy()
{
    std::unique_ptr<RegistryStore> store = open();
    const QString item = kWatches + u"\\2407604973";
    (void)store->setValues(RegRoot::CurrentUser, item,
        { RegValue::fromString(QStringLiteral("Item"), QStringLiteral("2407604973")),
            RegValue::fromString(QStringLiteral("MaxAutoBid"), QStringLiteral("25.5")),
            RegValue::fromDword(QStringLiteral("AuctionEndDate"), 37721),
            RegValue::fromBinary(QStringLiteral("Raw"), QByteArray("\0\1\2", 3)) });
    (void)store->setValue(RegRoot::CurrentUser, kWatches + u"\\2407604974",
        RegValue::fromString(QStringLiteral("Item"), QStringLiteral("2407604974")));
    const Result<QString> copy = StoreBackups::takeDailyCopy(*store, m_clock.now());
    return copy ? copy.value() : QString();
}

void TestStoreBackups::copiesRotateByDayAndKeepSevenAndFour()
{
    std::unique_ptr<RegistryStore> store = open();
    QVERIFY(store);
    for (int day = 0; day < 10; ++day) {
        const Result<QString> copy = StoreBackups::takeDailyCopy(*store, m_clock.now());
        QVERIFY2(copy && !copy.value().isEmpty(), qPrintable(copy.errorMessage()));
        struct stat info { };
        QCOMPARE(::stat(QFile::encodeName(copy.value()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        // Once a day only.
        QCOMPARE(
            StoreBackups::takeDailyCopy(*store, m_clock.now().addSecs(3600)).valueOr(QStringLiteral("?")),
            QString());
        for (int import = 0; import < (day == 9 ? 5 : 0); ++import) {
            const Result<QString> before = StoreBackups::takeImportCopy(*store, m_clock.now());
            QVERIFY(before);
            StoreBackups::settleImportCopy(before.value(), true);
        }
        m_clock.set(m_clock.now().addDays(1));
    }
    // A refused import changed nothing: its copy goes, and pushes none of the others out.
    const Result<QString> refused = StoreBackups::takeImportCopy(*store, m_clock.now());
    QVERIFY(refused);
    StoreBackups::settleImportCopy(refused.value(), false);

    QCOMPARE(fileNames(StoreBackups::list(backups())),
        (QStringList { "registry-2026-03-11-import-093000-5.db", "registry-2026-03-11-import-093000-4.db",
            "registry-2026-03-11-import-093000-3.db", "registry-2026-03-11-import-093000-2.db",
            "registry-2026-03-11-093000.db", "registry-2026-03-10-093000.db", "registry-2026-03-09-093000.db",
            "registry-2026-03-08-093000.db", "registry-2026-03-07-093000.db", "registry-2026-03-06-093000.db",
            "registry-2026-03-05-093000.db" }));
    QVERIFY(QDir(backups()).entryList(QDir::Files | QDir::Hidden).size() == 11);
}

// An import before the first start of the day, then the day's copy: the day's copy is the
// newer. A day's copy named by its day alone (an older version's) counts from the time its
// file was written on that day.
void TestStoreBackups::copiesOrderByTheMomentTheyWereTaken()
{
    std::unique_ptr<RegistryStore> store = open();
    QVERIFY(store);
    m_clock.set(QDateTime(QDate(2026, 3, 2), QTime(8, 0)));
    const Result<QString> beforeImport = StoreBackups::takeImportCopy(*store, m_clock.now());
    QVERIFY(beforeImport);
    StoreBackups::settleImportCopy(beforeImport.value(), true);
    QVERIFY(store->setValue(RegRoot::CurrentUser, kWatches + u"\\2407604973",
        RegValue::fromString(QStringLiteral("Item"), QStringLiteral("2407604973"))));
    m_clock.set(QDateTime(QDate(2026, 3, 2), QTime(9, 0)));
    const Result<QString> daily = StoreBackups::takeDailyCopy(*store, m_clock.now());
    QVERIFY(daily && !daily.value().isEmpty());
    const QString older = backups() + u"/registry-2026-03-02.db";
    QVERIFY(QFile::copy(beforeImport.value(), older));
    QFile olderFile(older);
    QVERIFY(olderFile.open(QIODevice::ReadWrite));
    QVERIFY(
        olderFile.setFileTime(QDateTime(QDate(2026, 3, 2), QTime(8, 30)), QFileDevice::FileModificationTime));
    olderFile.close();

    QCOMPARE(fileNames(StoreBackups::list(backups())),
        (QStringList { "registry-2026-03-02-090000.db", "registry-2026-03-02.db",
            "registry-2026-03-02-import-080000.db" }));
    const std::optional<StoreCopy> newest = StoreBackups::newestSound(backups());
    QVERIFY(newest);
    QCOMPARE(newest->path, daily.value());
}

// A restore or an import that was killed leaves its unfinished copy; the next start clears
// it away, but not the copy another program is writing.
void TestStoreBackups::cutOffCopiesAreClearedAtStartUp()
{
    std::unique_ptr<RegistryStore> store = open();
    QVERIFY(store);
    QVERIFY(QDir().mkpath(backups()));
    const auto part = [&](const QString &name, const QDateTime &written) {
        const QString path = backups() + u'/' + name;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("SQLite format 3");
            file.flush();
            file.setFileTime(written, QFileDevice::FileModificationTime);
        }
        return path;
    };
    const QDateTime anHourAgo = QDateTime::currentDateTime().addSecs(-3600);
    const QString killed = part(QStringLiteral("registry-2026-03-01-import-120000.db.part"), anHourAgo);
    const QString writing = part(QStringLiteral("registry-2026-03-02-import-092000.db.part"), anHourAgo);
    const QString begun
        = part(QStringLiteral("registry-2026-03-02-import-093000.db.part"), QDateTime::currentDateTime());
    const int held = ::open(QFile::encodeName(writing).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX), 0);

    QVERIFY(StoreBackups::takeDailyCopy(*store, m_clock.now()));
    ::close(held);
    QVERIFY(!QFile::exists(killed));
    QVERIFY(QFile::exists(writing));
    QVERIFY(QFile::exists(begun));
}

void TestStoreBackups::restoreBringsBackEveryKeyAndValue_data()
{
    QTest::addColumn<bool>("storeDamaged");
    QTest::newRow("over the store") << false;
    QTest::newRow("in place of a damaged store") << true;
}

void TestStoreBackups::restoreBringsBackEveryKeyAndValue()
{
    QFETCH(bool, storeDamaged);
    const QString copy = storeWithACopy();
    QVERIFY(!copy.isEmpty());
    QString original;
    {
        std::unique_ptr<RegistryStore> store = open();
        original = dump(*store);
        // What happened after the copy: a key gone, one added, a value changed.
        QVERIFY(store->deleteKey(RegRoot::CurrentUser, kWatches + u"\\2407604974"));
        QVERIFY(store->setValue(RegRoot::CurrentUser, kWatches + u"\\2407609999",
            RegValue::fromString(QStringLiteral("Item"), QStringLiteral("2407609999"))));
        QVERIFY(store->setValue(RegRoot::CurrentUser, kWatches + u"\\2407604973",
            RegValue::fromString(QStringLiteral("MaxAutoBid"), QStringLiteral("900"))));
    }
    QByteArray damaged(8192, 'x');
    if (storeDamaged)
        writeFile(storePath(), damaged);

    m_clock.advanceSeconds(3600);
    const Result<StoreBackups::Restored> restored = StoreBackups::restore(storePath(), copy, m_clock.now());
    QVERIFY2(restored, qPrintable(restored.errorMessage()));
    std::unique_ptr<RegistryStore> store = open();
    QVERIFY(store);
    QCOMPARE(dump(*store), original);
    if (storeDamaged) {
        // The damaged store is kept, as it was.
        QFile aside(restored.value().movedAside);
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), damaged);
    } else {
        // The store as it was before the restore can be had back.
        QCOMPARE(QFileInfo(restored.value().copyBefore).fileName(),
            QStringLiteral("registry-2026-03-02-import-103000.db"));
        QVERIFY(RegistryStore::checkCopy(restored.value().copyBefore));
    }
}

void TestStoreBackups::unsoundCopyIsRefusedAndChangesNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not a database") << "text"
                                    << "it is not a store of this program";
    QTest::newRow("a damaged page") << "page"
                                    << "it is damaged";
    QTest::newRow("another program's database") << "foreign"
                                                << "it is not a store of this program";
}

void TestStoreBackups::unsoundCopyIsRefusedAndChangesNothing()
{
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    const QString copy = storeWithACopy();
    QVERIFY(!copy.isEmpty());
    if (damage == u"text") {
        writeFile(copy, QByteArray("REGEDIT4\r\n\r\n"));
    } else if (damage == u"page") {
        // The second page holds the keys' table: its cells are overwritten.
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(4096 + 8));
        file.write(QByteArray(64, '\xff'));
    } else {
        // A sound database, but not a store of ours.
        QFile::remove(copy);
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(copy).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES('x')", nullptr, nullptr,
                     nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    std::unique_ptr<RegistryStore> store = open();
    const QString before = dump(*store);
    store.reset();

    const Result<StoreBackups::Restored> restored = StoreBackups::restore(storePath(), copy, m_clock.now());
    QVERIFY(!restored);
    QVERIFY2(restored.errorMessage().contains(reason), qPrintable(restored.errorMessage()));
    store = open();
    QCOMPARE(dump(*store), before);
    QCOMPARE(fileNames(StoreBackups::list(backups())), QStringList { QFileInfo(copy).fileName() });
}

QTEST_GUILESS_MAIN(TestStoreBackups)
#include "TestStoreBackups.moc"
