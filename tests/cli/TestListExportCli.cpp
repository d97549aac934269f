// tallyhawk-cli calendar and export --csv on the demo's watch list, against the simulator:
// what they write is read back by a real iCalendar library and a real CSV reader.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "PythonReader.h"
#include "TestSupport.h"
#include "listexport/CsvTable.h"
#include "sim/Simulator.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "store/StoreLayout.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// The item with an automatic bid, and the item whose title holds what a table must quote.
constexpr qint64 kArmedItem = 2407605023;
constexpr qint64 kAwkwardItem = 2407699001;

} // namespace

class TestListExportCli final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void calendarOfTheDemoListKeepsItsIdentitiesAfterAPass();
    void csvOfTheDemoListReadsBackFieldForField();
    void refusedAndFailedWritesAreLoud_data();
    void refusedAndFailedWritesAreLoud();

private:
    // Runs the tool while the simulator answers on this thread.
    Run cli(const QStringList &args);
    QString home() const { return m_home->path(); }
    // The demo's list: the first twelve items of its catalogue, and one more.
    QList<qint64> m_items;
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<sim::Simulator> m_sim;
};

void TestListExportCli::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    m_sim = std::make_unique<sim::Simulator>();
    QVERIFY(m_sim->start());
    // The tool runs on the PC's clock: the site's "now" is the PC's too.
    m_sim->clock().setNow(QDateTime::currentDateTimeUtc());
    QString error;
    QVERIFY2(m_sim->loadCatalogueFile(QStringLiteral(TALLYHAWK_DEMO_CATALOGUE), &error), qPrintable(error));
    sim::Listing awkward;
    awkward.number = kAwkwardItem;
    awkward.title = QStringLiteral("Lamp, brass; \"Art Deco\" - Ölgemälde «Paris»");
    awkward.endTime = m_sim->clock().now().addSecs(7200);
    QVERIFY(m_sim->addItem(awkward));

    // The demo watches the first twelve items of its catalogue.
    QFile catalogue(QStringLiteral(TALLYHAWK_DEMO_CATALOGUE));
    QVERIFY(catalogue.open(QIODevice::ReadOnly));
    const QJsonArray listed = QJsonDocument::fromJson(catalogue.readAll()).object().value("items").toArray();
    m_items.clear();
    for (int i = 0; i < 12 && i < listed.size(); ++i)
        m_items << listed[i].toObject().value("number").toString().toLongLong();
    QVERIFY(m_items.contains(kArmedItem));
    m_items.append(kAwkwardItem);

    writeFile(m_home->filePath("config.ini"),
        QStringLiteral("[Hosts]\r\nItemPage=%1\r\nMain=%1\r\n").arg(m_sim->siteHostPort()).toUtf8());
    std::unique_ptr<RegistryStore> store = openTestStore(home());
    QVERIFY(store);
    for (qint64 number : std::as_const(m_items)) {
        const QString item = QString::number(number);
        SaveRegString(*store, RegRoot::CurrentUser, itemKeyPath(item), QStringLiteral("Item"), item);
    }
    const QString armed = itemKeyPath(QString::number(kArmedItem));
    SaveRegString(*store, RegRoot::CurrentUser, armed, QStringLiteral("MaxAutoBid"), QStringLiteral("30.25"));
    SaveRegString(*store, RegRoot::CurrentUser, armed, QStringLiteral("MaxQuantity"), QStringLiteral("1"));
    SaveRegString(*store, RegRoot::CurrentUser, armed, QStringLiteral("MaxTimeLeft"), QStringLiteral("20"));
    SaveRegDword(*store, RegRoot::CurrentUser, armed, QStringLiteral("AuctionEndDate"), 46000);
    const QString settings = QString::fromUtf16(kSettingsKey);
    SaveRegDword(*store, RegRoot::CurrentUser, settings, QStringLiteral("FirstAlert"), 2);
    SaveRegDword(*store, RegRoot::CurrentUser, settings, QStringLiteral("SecondAlert"), 10);
}

Run TestListExportCli::cli(const QStringList &args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TALLYHAWK_HOME", home());
    process.setProcessEnvironment(environment);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(QStringLiteral(TALLYHAWK_CLI), args);
    Run run;
    if (!finished.wait(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void TestListExportCli::calendarOfTheDemoListKeepsItsIdentitiesAfterAPass()
{
    const QString path = m_home->filePath("list.ics");
    Run run = cli({ "calendar", path });
    QVERIFY2(run.status == 0, qPrintable(run.err));
    const QJsonArray events = readWithPython("read_calendar.py", path).object().value("events").toArray();

    QStringList expected;
    for (qint64 number : std::as_const(m_items)) {
        if (!m_sim->item(number)->isOver())
            expected << QString::number(number);
    }
    QCOMPARE(events.size(), expected.size());
    QStringList identities;
    for (int i = 0; i < events.size(); ++i) {
        const QJsonObject event = events[i].toObject();
        const QString item = event.value("uid").toString().section(u'@', 0, 0);
        identities << event.value("uid").toString();
        QVERIFY2(expected.contains(item), qPrintable(item));
        const std::optional<sim::ItemSnapshot> snapshot = m_sim->item(item.toLongLong());
        QCOMPARE(event.value("uid").toString(), item + "@items.tallyhawk.invalid");
        QCOMPARE(event.value("summary").toString(), snapshot->listing.title);
        QCOMPARE(
            event.value("start").toString(), snapshot->endTime.toUTC().toString("yyyy-MM-dd'T'HH:mm:ss'Z'"));
        QCOMPARE(event.value("duration").toInt(-1), 0);
        QVERIFY(event.value("url").toString().endsWith("ViewItem&item=" + item));
        QVERIFY(event.value("url").toString().contains(m_sim->siteHostPort()));
        const QString description = event.value("description").toString();
        QVERIFY2(
            description.startsWith("Price: ") && description.contains("\nBids: "), qPrintable(description));
        const QJsonArray alarms = event.value("alarms").toArray();
        if (item.toLongLong() == kArmedItem) {
            QVERIFY(event.value("description").toString().contains("Automatic bid: maximum $30.25"));
            QCOMPARE(alarms.size(), 2);
            QCOMPARE(alarms[0].toObject().value("seconds").toInt(), -7200);
            QCOMPARE(alarms[1].toObject().value("seconds").toInt(), -600);
            QCOMPARE(alarms[1].toObject().value("related").toString(), "END");
        } else {
            QCOMPARE(alarms.size(), 0);
        }
    }

    // Another pass after a new bid: the same events, each under the same identity.
    QVERIFY(m_sim->placeBid(kAwkwardItem, QStringLiteral("second_buyer"), 5000).accepted());
    run = cli({ "calendar", path });
    QVERIFY2(run.status == 0, qPrintable(run.err));
    const QJsonArray again = readWithPython("read_calendar.py", path).object().value("events").toArray();
    QStringList identitiesAgain;
    for (const QJsonValue &event : again) {
        identitiesAgain << event.toObject().value("uid").toString();
        if (event.toObject().value("uid").toString().startsWith(QString::number(kAwkwardItem)))
            QVERIFY(event.toObject().value("description").toString().contains("Bids: 1"));
    }
    QCOMPARE(identitiesAgain, identities);
}

void TestListExportCli::csvOfTheDemoListReadsBackFieldForField()
{
    const Run run = cli({ "export", "--csv", "-" });
    QVERIFY2(run.status == 0, qPrintable(run.err));
    const QString path = m_home->filePath("out.csv");
    writeFile(path, run.out);
    const QJsonArray rows = readWithPython("read_csv.py", path).array();
    QCOMPARE(rows.size(), m_items.size() + 1);
    QCOMPARE(rows[0].toArray().toVariantList(), QVariant(csvHeader()).toList());
    QList<qint64> seen;
    for (int i = 1; i < rows.size(); ++i) {
        const QJsonArray row = rows[i].toArray();
        QCOMPARE(row.size(), csvHeader().size());
        const qint64 number = row[0].toString().toLongLong();
        seen << number;
        const std::optional<sim::ItemSnapshot> snapshot = m_sim->item(number);
        QVERIFY(snapshot);
        QCOMPARE(row[1].toString(), snapshot->listing.title);
        const QDateTime end = QDateTime::fromString(row[6].toString(), Qt::ISODate);
        QVERIFY2(row[6].toString().contains(QRegularExpression("[+-]\\d\\d:\\d\\d$")),
            qPrintable(row[6].toString()));
        QCOMPARE(end.toSecsSinceEpoch(), snapshot->endTime.toSecsSinceEpoch());
        const bool armed = number == kArmedItem;
        QCOMPARE(row[10].toString(), armed ? "30.25" : "");
        QCOMPARE(row[11].toString(), armed ? "1" : "");
        QCOMPARE(row[12].toString(), armed ? "20" : "");
    }
    std::sort(seen.begin(), seen.end());
    QList<qint64> items = m_items;
    std::sort(items.begin(), items.end());
    QCOMPARE(seen, items);
}

void TestListExportCli::refusedAndFailedWritesAreLoud_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("target");
    QTest::newRow("calendar onto the store") << QStringList { "calendar" } << "registry.db";
    QTest::newRow("table onto config.ini") << QStringList { "export", "--csv" } << "config.ini";
    QTest::newRow("calendar onto a folder") << QStringList { "calendar" } << "IntelliSense";
    QTest::newRow("table into a missing folder") << QStringList { "export", "--csv" } << "gone/list.csv";
}

void TestListExportCli::refusedAndFailedWritesAreLoud()
{
    QFETCH(QStringList, args);
    QFETCH(QString, target);
    QVERIFY(QDir().mkpath(m_home->filePath("IntelliSense")));
    const QString path = m_home->filePath(target);
    const QByteArray before = fileBytes(path);
    const QStringList filesBefore
        = QDir(home()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const Run run = cli(args << path);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(path), qPrintable(run.err));
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QDir(home()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), filesBefore);
}

QTEST_GUILESS_MAIN(TestListExportCli)
#include "TestListExportCli.moc"
