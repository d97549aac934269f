#include <array>

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"

using namespace th;

namespace {

const QString kShared = QStringLiteral("Software\\Durability\\Shared");

// The numbers a writer printed, one a line; a line cut short by the kill does not count.
QList<long> returnedWrites(const QByteArray &output)
{
    QList<long> numbers;
    const QList<QByteArray> lines = output.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        numbers.append(lines[i].toLong());
    return numbers;
}

void startWriter(QProcess &process, const QString &store, const QString &prefix, int count)
{
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QStringLiteral(STORE_WRITER_CHILD), { store, prefix, QString::number(count) });
    QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
}

void verifyWrites(const RegistryStore &store, const QString &prefix, const QList<long> &numbers)
{
    for (const long i : numbers) {
        const QString number = QString::number(i);
        QCOMPARE(GetRegString(
                     store, RegRoot::CurrentUser, "Software\\Durability\\" + prefix + "\\" + number, "Value"),
            prefix + number);
        QCOMPARE(GetRegDword(store, RegRoot::CurrentUser, kShared, prefix + number, -1), qint32(i));
    }
}

} // namespace

// A store survives a writer killed at any moment, and two writers at once. The moments come
// from a seed printed at the start; TALLYHAWK_TEST_SEED=N runs the same moments again.
class TestStoreDurability final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void killedWriterLosesNoReturnedWrite_data();
    void killedWriterLosesNoReturnedWrite();
    void twoWritersAtOnceLoseNothing();
    void programsCreatingOneStoreAtOnceAllSucceed();

private:
    QRandomGenerator m_random;
};

void TestStoreDurability::initTestCase()
{
    bool given = false;
    quint32 seed = qEnvironmentVariable("TALLYHAWK_TEST_SEED").toUInt(&given);
    if (!given)
        seed = QRandomGenerator::global()->generate();
    m_random.seed(seed);
    qInfo("seed %u (TALLYHAWK_TEST_SEED=%u runs these kill moments again)", seed, seed);
}

void TestStoreDurability::killedWriterLosesNoReturnedWrite_data()
{
    QTest::addColumn<bool>("storeExists");
    QTest::addColumn<int>("maxWrites");
    QTest::newRow("kill within the first writes of a new store") << false << 3;
    for (int round = 1; round <= 5; ++round)
        QTest::addRow("kill at a random write, round %d", round) << true << 400;
}

void TestStoreDurability::killedWriterLosesNoReturnedWrite()
{
    QFETCH(bool, storeExists);
    QFETCH(int, maxWrites);
    QTemporaryDir dir;
    const QString path = dir.filePath("registry.db");
    if (storeExists)
        QVERIFY(RegistryStore::open(path).ok());

    const int target = int(m_random.bounded(maxWrites)) + 1;
    QProcess writer;
    startWriter(writer, path, "k", 0);
    QByteArray output;
    while (returnedWrites(output).size() < target) {
        QVERIFY2(writer.waitForReadyRead(30000), qPrintable(writer.readAllStandardError()));
        output += writer.readAllStandardOutput();
    }
    writer.kill();
    QVERIFY(writer.waitForFinished(30000));
    output += writer.readAllStandardOutput();
    const QList<long> returned = returnedWrites(output);
    QVERIFY(returned.size() >= target);

    Result<std::unique_ptr<RegistryStore>> reopened = RegistryStore::open(path);
    QVERIFY2(reopened.ok(), qPrintable(reopened.errorMessage()));
    verifyWrites(*reopened.value(), "k", returned);
    // At most the write in flight went further.
    const int stored = int(reopened.value()->values(RegRoot::CurrentUser, kShared).size());
    QVERIFY2(stored == returned.size() || stored == returned.size() + 1,
        qPrintable(QStringLiteral("%1 stored, %2 returned").arg(stored).arg(returned.size())));
}

void TestStoreDurability::twoWritersAtOnceLoseNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("registry.db");
    constexpr int kWrites = 150;
    QProcess first;
    QProcess second;
    startWriter(first, path, "a", kWrites);
    startWriter(second, path, "b", kWrites);
    QVERIFY(first.waitForFinished(120000));
    QVERIFY(second.waitForFinished(120000));
    QVERIFY2(first.exitCode() == 0, first.readAllStandardError().constData());
    QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());
    QCOMPARE(returnedWrites(first.readAllStandardOutput()).size(), kWrites);
    QCOMPARE(returnedWrites(second.readAllStandardOutput()).size(), kWrites);

    Result<std::unique_ptr<RegistryStore>> store = RegistryStore::open(path);
    QVERIFY2(store.ok(), qPrintable(store.errorMessage()));
    QList<long> all;
    for (long i = 0; i < kWrites; ++i)
        all.append(i);
    verifyWrites(*store.value(), "a", all);
    verifyWrites(*store.value(), "b", all);
    QCOMPARE(store.value()->values(RegRoot::CurrentUser, kShared).size(), 2 * kWrites);
    QCOMPARE(store.value()->subKeyNames(RegRoot::CurrentUser, "Software\\Durability\\a").size(), kWrites);
}

// The desktop program and `tallyhawk-cli import` may both create a new data folder's store
// at the same moment; neither may take the other's half-made store for a foreign file.
void TestStoreDurability::programsCreatingOneStoreAtOnceAllSucceed()
{
    constexpr int kRounds = 100;
    constexpr int kPrograms = 8;
    constexpr int kWrites = 2;
    for (int round = 0; round < kRounds; ++round) {
        QTemporaryDir dir;
        const QString path = dir.filePath("registry.db");
        std::array<QProcess, kPrograms> writers;
        for (int p = 0; p < kPrograms; ++p)
            startWriter(writers[p], path, QStringLiteral("p%1").arg(p), kWrites);
        for (int p = 0; p < kPrograms; ++p) {
            QProcess &writer = writers[p];
            QVERIFY(writer.waitForFinished(60000));
            QVERIFY2(writer.exitCode() == 0,
                qPrintable(QStringLiteral("round %1, program %2: %3")
                               .arg(round)
                               .arg(p)
                               .arg(QString::fromLocal8Bit(writer.readAllStandardError()))));
        }
        Result<std::unique_ptr<RegistryStore>> store = RegistryStore::open(path);
        QVERIFY2(store.ok(), qPrintable(store.errorMessage()));
        QCOMPARE(store.value()->values(RegRoot::CurrentUser, kShared).size(), kPrograms * kWrites);
    }
}

QTEST_GUILESS_MAIN(TestStoreDurability)
#include "TestStoreDurability.moc"
