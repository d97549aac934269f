#include "EngineFixture.h"
#include <QElapsedTimer>
#include <QSignalSpy>

#include "common/Formats.h"

using namespace th;
using namespace th::test;

namespace {

// Points the engine at `remote`, which sells the walnut writing slope (item 2400000001) and
// answers every request in the way `mode` says.
void pointAtRemote(
    EngineFixture &f, ThreadedSimulator &remote, sim::Fault::Mode mode = sim::Fault::Mode::None)
{
    QString host;
    remote.run([&] {
        sim::Listing listing;
        listing.number = 2400000001;
        listing.title = QStringLiteral("Walnut writing slope");
        listing.startPrice = 1000;
        listing.endTime = remote.sim().clock().now().addSecs(7200);
        QString error;
        if (!remote.sim().house().addItem(listing, &error))
            qWarning("%s", qPrintable(error));
        sim::Fault fault;
        fault.mode = mode;
        remote.sim().setFaultForAll(fault);
        host = remote.sim().siteHostPort();
    });
    f.engine->setHosts(*parseHostPort(host, 80), *parseHostPort(u"www.ebay.com", 80));
}

} // namespace

// The single-item update and the sequential pass: one page at a time, each bounded in time.
class TestSingleAndSequential final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void singleUpdateAppliesTheSelectedRow();
    void singleUpdateOfANonItemOnlyResorts();
    void singleUpdateEndsWithErrAgainstASilentServer();
    void sequentialPassFetchesEveryRowInOrder();
    void sequentialPassGivesUpOnASilentServer();
    void sequentialPassFollowsItsItemsWhenTheListMoves();
    void singleUpdateGivesBackOnlyWhatItTook();
    void singleUpdateKeepsABidsQuietWindow();
    void unreadablePageIsToldBySingleUpdateAndEndsTheSequentialPass();
    void singleUpdateLookUpIsInsideTheDeadline();
    void singleUpdateReadsAChunkedAnswerOnAnOpenConnection();
    void singleUpdateShowsErrWhereNothingCanBeRead_data();
    void singleUpdateShowsErrWhereNothingCanBeRead();

private:
    std::unique_ptr<EngineFixture> f;
};

void TestSingleAndSequential::init()
{
    f = std::make_unique<EngineFixture>();
    QVERIFY(f->setUp());
}

void TestSingleAndSequential::cleanup()
{
    f.reset();
}

void TestSingleAndSequential::singleUpdateAppliesTheSelectedRow()
{
    ThreadedSimulator remote;
    QVERIFY(remote.start());
    pointAtRemote(*f, remote);
    f->model.addRow(QStringLiteral("2400000001"));
    f->model.addRow(QStringLiteral("2400000002"));
    f->selectedRow = 0;
    QSignalSpy resort(f->engine.get(), &UpdateEngine::reSortRequested);
    f->engine->updateOneBids(f->selectedRow);
    QCOMPARE(resort.size(), 1);
    QCOMPARE(f->cell(2400000001, WatchListModel::ItemName), QStringLiteral("Walnut writing slope"));
    QVERIFY(f->cell(2400000002, WatchListModel::ItemName).isEmpty());
    // The single update shows its end date in the slashed form.
    QVERIFY(f->cell(2400000001, WatchListModel::EndDate).contains(u'/'));
    // The request went to the item page address of the configured host.
    QList<sim::LoggedRequest> log;
    remote.run([&] { log = remote.sim().requestLog().entries(); });
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].target, QByteArray("/aw-cgi/eBayISAPI.dll?ViewItem&item=2400000001"));
    // The row's own record was written, none appended, and the idle state is back.
    QCOMPARE(f->records.count(), 2);
    const WatchItemRecord &record = f->records.at(f->row(2400000001) + 1);
    QCOMPARE(record.recItemNumber, 2400000001.0);
    QCOMPARE(record.recTitle, QStringLiteral("Walnut writing slope"));
    QVERIFY(f->engine->commands().updateOne);
    QVERIFY(f->engine->commands().updateAll);
    QVERIFY(f->engine->tmrCheckBids.isActive());
    QVERIFY(f->engine->gblnNotifyReady());
}

void TestSingleAndSequential::singleUpdateOfANonItemOnlyResorts()
{
    f->model.addRow(QStringLiteral("12345"));
    f->selectedRow = 0;
    QSignalSpy resort(f->engine.get(), &UpdateEngine::reSortRequested);
    f->engine->updateOneBids(f->selectedRow);
    QCOMPARE(resort.size(), 1);
    QVERIFY(f->sim.requestLog().entries().isEmpty());
    QVERIFY(f->model.subItem(0, WatchListModel::Price).isEmpty());
    QVERIFY(f->engine->tmrCheckBids.isActive());
}

void TestSingleAndSequential::singleUpdateEndsWithErrAgainstASilentServer()
{
    ThreadedSimulator remote;
    QVERIFY(remote.start());
    pointAtRemote(*f, remote, sim::Fault::Mode::Silent);
    f->model.addRow(QStringLiteral("2400000001"));
    f->selectedRow = 0;
    QElapsedTimer waited;
    waited.start();
    f->engine->updateOneBids(f->selectedRow); // the deadline is 1.5 s here
    QVERIFY(waited.elapsed() < 10000);
    QCOMPARE(f->model.subItem(0, WatchListModel::Price), QStringLiteral("Err."));
    QVERIFY(f->engine->commands().updateOne);
    // A refused connection ends the same way, at once.
    remote.run([&] { QVERIFY(remote.sim().setSiteListening(false)); });
    f->model.setSubItem(0, WatchListModel::Price, QString());
    f->engine->updateOneBids(f->selectedRow);
    QCOMPARE(f->model.subItem(0, WatchListModel::Price), QStringLiteral("Err."));
}

void TestSingleAndSequential::sequentialPassFetchesEveryRowInOrder()
{
    for (int i = 1; i <= 4; ++i)
        f->watch(2400000000 + i, 3600 * i);
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->tmrDelayUpdateBid.start();
    f->engine->tmrDelayUpdateBid_Timer();
    QVERIFY(!f->engine->tmrDelayUpdateBid.isActive());
    QVERIFY(!f->engine->commands().updateAll);
    QTRY_VERIFY_WITH_TIMEOUT(!f->engine->sequentialPassRunning(), 20000);
    const auto log = f->sim.requestLog().entries();
    QCOMPARE(log.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(log[i].target,
            QByteArray("/ws/eBayISAPI.dll?ViewItem&item=240000000") + QByteArray::number(i + 1));
        // The sequential pass names the item-page host it connects to.
        QVERIFY(log[i].raw.contains(QByteArray("\r\nHost: " + f->sim.siteHostPort().toLatin1() + " \r\n")));
    }
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(f->cell(2400000000 + i, WatchListModel::ItemName),
            QStringLiteral("Brass ship lantern no. %1").arg(i));
    QVERIFY(f->panels[1].startsWith(u"Last Update: "));
    QVERIFY(f->engine->commands().updateAll);
    QVERIFY(f->engine->commands().addRemove);
    QVERIFY(f->engine->tmrCheckBids.isActive());
    QVERIFY(!f->tmrChkAutoBid.isActive()); // only an all-items pass switches the auto-bid trigger on
    // What follows a pass over every row (end notices, the calendar file) follows it too.
    QCOMPARE(finished.size(), 1);
}

void TestSingleAndSequential::sequentialPassGivesUpOnASilentServer()
{
    f->watch(2400000001, 3600);
    f->watch(2400000002, 7200);
    sim::Fault silent;
    silent.mode = sim::Fault::Mode::Silent;
    silent.count = 1;
    f->sim.setItemFault(2400000001, silent);
    f->engine->updateBids();
    QTRY_COMPARE(f->sim.requestLog().entries().size(), 1);
    QVERIFY(f->engine->sequentialWaiting());
    QVERIFY(f->engine->tmrSequentialWait.isActive());
    f->engine->sequentialTimeout(); // 30 seconds on, as the timer would
    QTRY_VERIFY_WITH_TIMEOUT(!f->engine->sequentialPassRunning(), 20000);
    QCOMPARE(f->cell(2400000001, WatchListModel::Price), QStringLiteral("Err."));
    QCOMPARE(f->cell(2400000002, WatchListModel::ItemName), QStringLiteral("Brass ship lantern no. 2"));
}

void TestSingleAndSequential::sequentialPassFollowsItsItemsWhenTheListMoves()
{
    for (int i = 1; i <= 4; ++i)
        f->watch(2400000000 + i, 3600 * i);
    QVERIFY(f->runPass());
    sim::Fault slow;
    slow.latencyMs = 100;
    f->sim.setFaultForAll(slow);
    f->engine->updateBids();
    QTRY_COMPARE(f->sim.requestLog().entries().size(), 5);
    // Between the first request and its answer the user sorts: the last row goes on top.
    f->model.setSubItem(3, WatchListModel::EndDate2, QString());
    f->model.sortByEndDate();
    QCOMPARE(f->model.rowText(0), QStringLiteral("2400000004"));
    QTRY_VERIFY_WITH_TIMEOUT(!f->engine->sequentialPassRunning(), 8000);
    for (int row = 0; row < 4; ++row) {
        const QString item = f->model.rowText(row);
        const QString title = QStringLiteral("Brass ship lantern no. %1").arg(item.right(1));
        QCOMPARE(f->model.subItem(row, WatchListModel::ItemName), title);
        QCOMPARE(f->records.at(row + 1).recTitle, title);
    }
    QCOMPARE(f->sim.requestLog().entries().size(), 8);
}

void TestSingleAndSequential::singleUpdateGivesBackOnlyWhatItTook()
{
    ThreadedSimulator remote;
    QVERIFY(remote.start());
    f->watch(2400000001, 3600);
    f->watch(2400000002, 3600);
    sim::Fault silent;
    silent.mode = sim::Fault::Mode::Silent;
    f->sim.setFaultForAll(silent);
    f->engine->updateBids(); // waits on the first item
    QTRY_VERIFY(f->engine->sequentialWaiting());
    QVERIFY(!f->engine->commands().addRemove);
    // An item added meanwhile is updated on its own.
    pointAtRemote(*f, remote);
    f->selectedRow = 1;
    f->engine->updateOneBids(f->selectedRow);
    const CommandState commands = f->engine->commands();
    QVERIFY(!commands.addRemove); // still the sequential pass's
    QVERIFY(commands.updateOne);
    QVERIFY(commands.updateAll);
    QVERIFY(commands.trayUpdate);
}

void TestSingleAndSequential::singleUpdateKeepsABidsQuietWindow()
{
    ThreadedSimulator remote;
    QVERIFY(remote.start());
    pointAtRemote(*f, remote);
    f->model.addRow(QStringLiteral("2400000001"));
    f->selectedRow = 0;
    f->engine->quietUpdates();
    f->engine->updateOneBids(f->selectedRow);
    QCOMPARE(f->cell(2400000001, WatchListModel::ItemName), QStringLiteral("Walnut writing slope"));
    QVERIFY(f->engine->updatesQuietedForBid());
    QVERIFY(!f->engine->tmrCheckBids.isActive());
    QVERIFY(!f->engine->tmNextUpdate.isActive());
    QVERIFY(f->engine->commands().updateOne);
}

void TestSingleAndSequential::unreadablePageIsToldBySingleUpdateAndEndsTheSequentialPass()
{
    CannedServer site(
        "HTTP/1.0 200 OK\r\n\r\n<title>eBay item 2400000001 (Ends Foo-99-03 18:30:00 PDT) - Lamp</title>");
    f->engine->setHosts(site.site(), *parseHostPort(u"www.ebay.com", 80));
    f->model.addRow(QStringLiteral("2400000001"));
    f->model.addRow(QStringLiteral("2400000002"));
    f->selectedRow = 0;
    f->engine->updateOneBids(f->selectedRow);
    QCOMPARE(f->cell(2400000001, WatchListModel::ItemName), QStringLiteral("Lamp"));
    QVERIFY(f->engine->commands().updateOne);
    // The user asked for this one: the error is told at once.
    const QStringList told { QStringLiteral(
        "Type mismatch: the end date \"Foo-99-03 18:30:00 PDT\" cannot be read") };
    QCOMPARE(f->failures, told);

    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->updateBids();
    QTRY_VERIFY_WITH_TIMEOUT(!f->engine->sequentialPassRunning(), 8000);
    QVERIFY(f->engine->commands().addRemove);
    QCOMPARE(finished.size(), 0);
    // The pass ended at the first unreadable page, without a message.
    QCOMPARE(f->cell(2400000002, WatchListModel::Price), QStringLiteral("Updating..."));
    QCOMPARE(f->failures, told);
}

void TestSingleAndSequential::singleUpdateLookUpIsInsideTheDeadline()
{
    f->engine->setHosts(*parseHostPort(u"slow-name.example:80", 80), *parseHostPort(u"www.ebay.com", 80));
    f->engine->singleFetch().setResolver([](const QString &) {
        QThread::sleep(4);
        return QList<QHostAddress> { QHostAddress::LocalHost };
    });
    f->model.addRow(QStringLiteral("2400000001"));
    f->selectedRow = 0;
    QElapsedTimer waited;
    waited.start();
    f->engine->updateOneBids(f->selectedRow); // the deadline is 1.5 s here
    QVERIFY2(waited.elapsed() < 3000, qPrintable(QString::number(waited.elapsed())));
    QCOMPARE(f->model.subItem(0, WatchListModel::Price), QStringLiteral("Err."));
}

void TestSingleAndSequential::singleUpdateReadsAChunkedAnswerOnAnOpenConnection()
{
    ThreadedSimulator remote;
    QVERIFY(remote.start());
    pointAtRemote(*f, remote, sim::Fault::Mode::Chunked);
    f->model.addRow(QStringLiteral("2400000001"));
    f->selectedRow = 0;
    f->engine->updateOneBids(f->selectedRow);
    QCOMPARE(f->cell(2400000001, WatchListModel::ItemName), QStringLiteral("Walnut writing slope"));
    QVERIFY(f->cell(2400000001, WatchListModel::Price).contains(u"10.00"));
}

void TestSingleAndSequential::singleUpdateShowsErrWhereNothingCanBeRead_data()
{
    QTest::addColumn<sim::Fault::Mode>("mode");
    QTest::addColumn<int>("requests");
    QTest::newRow("503") << sim::Fault::Mode::ServerError << 1;
    QTest::newRow("motors, again and again") << sim::Fault::Mode::MotorsLoop << 2;
}

void TestSingleAndSequential::singleUpdateShowsErrWhereNothingCanBeRead()
{
    QFETCH(sim::Fault::Mode, mode);
    QFETCH(int, requests);
    ThreadedSimulator remote;
    QVERIFY(remote.start());
    pointAtRemote(*f, remote, mode);
    f->model.addRow(QStringLiteral("2400000001"));
    f->model.setSubItem(0, WatchListModel::ItemName, QStringLiteral("Walnut writing slope"));
    f->selectedRow = 0;
    f->engine->updateOneBids(f->selectedRow);
    QCOMPARE(f->model.subItem(0, WatchListModel::Price), QStringLiteral("Err."));
    QCOMPARE(f->model.subItem(0, WatchListModel::ItemName), QStringLiteral("Walnut writing slope"));
    qsizetype asked = 0;
    remote.run([&] { asked = remote.sim().requestLog().entries().size(); });
    QCOMPARE(asked, requests);
}

QTEST_GUILESS_MAIN(TestSingleAndSequential)
#include "TestSingleAndSequential.moc"
