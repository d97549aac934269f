// What the site may do wrong, seen from the all-items pass and the sequential pass: every
// entry ends, every pass ends, the rows keep what they had, the status bar says what happened.
#include "EngineFixture.h"

using namespace th;
using namespace th::test;

namespace {

constexpr qint64 kFaulted = 2400000001;
// Dealt to the same engine as the faulted item, after it.
constexpr qint64 kAfterIt = 2400000006;

sim::Fault fault(sim::Fault::Mode mode)
{
    sim::Fault result;
    result.mode = mode;
    return result;
}

QStringList cells(const EngineFixture &f, qint64 number)
{
    QStringList all;
    for (int sub = 1; sub < WatchListModel::SubItemCount; ++sub)
        all.append(sub == WatchListModel::Price ? QString() : f.cell(number, sub));
    return all;
}

} // namespace

class TestPassFaults final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyPassEndsWhateverTheSiteDoes_data();
    void everyPassEndsWhateverTheSiteDoes();
    void siteThatStopsAnsweringEndsThePassWithinMinutes();
    void minuteCounterLetsARunningPassEnd();
    void sequentialPassReadsWhatTheEnginesRead_data();
    void sequentialPassReadsWhatTheEnginesRead();

private:
    std::unique_ptr<EngineFixture> f;
};

void TestPassFaults::init()
{
    f = std::make_unique<EngineFixture>();
    QVERIFY(f->setUp());
}

void TestPassFaults::cleanup()
{
    f.reset();
}

void TestPassFaults::everyPassEndsWhateverTheSiteDoes_data()
{
    QTest::addColumn<sim::Fault>("fault");
    QTest::addColumn<int>("requests"); // for the faulted item
    QTest::addColumn<QString>("note"); // in the status bar after the pass ("" none, and the page read)
    const QString late = QStringLiteral("site did not answer in time");
    sim::Fault drip = fault(sim::Fault::Mode::Drip);
    drip.dripBytes = 1;
    drip.dripIntervalMs = 1000;
    sim::Fault huge = fault(sim::Fault::Mode::BadChunk);
    huge.badChunkLine = QStringLiteral("7ffffffffffffff0");
    sim::Fault small = fault(sim::Fault::Mode::Chunked);
    small.chunkBytes = 16;
    QTest::newRow("accepts, never answers") << fault(sim::Fault::Mode::Silent) << 3 << late;
    QTest::newRow("a byte a second") << drip << 3 << late;
    QTest::newRow("endless body") << fault(sim::Fault::Mode::Endless) << 3 << late;
    QTest::newRow("length beyond the body") << fault(sim::Fault::Mode::ShortBody) << 3 << late;
    QTest::newRow("keep-alive, no length") << fault(sim::Fault::Mode::KeepAliveNoLength) << 3 << late;
    QTest::newRow("chunk size not a number")
        << fault(sim::Fault::Mode::BadChunk) << 1 << QStringLiteral("site sent an unreadable answer");
    QTest::newRow("chunk size near 2^63") << huge << 1 << QStringLiteral("site sent an unreadable answer");
    QTest::newRow("503") << fault(sim::Fault::Mode::ServerError) << 1 << QStringLiteral("site answered 503");
    QTest::newRow("motors, again and again") << fault(sim::Fault::Mode::MotorsLoop) << 2
                                             << QStringLiteral("site kept pointing to the motors section");
    QTest::newRow("chunks of 16 bytes") << small << 1 << QString();
}

void TestPassFaults::everyPassEndsWhateverTheSiteDoes()
{
    QFETCH(sim::Fault, fault);
    QFETCH(int, requests);
    QFETCH(QString, note);
    for (int i = 1; i <= 6; ++i)
        f->watch(2400000000 + i, 3600 * i);
    QVERIFY(f->runPass());
    const QStringList clean = cells(*f, kFaulted);
    const QString price = f->cell(kFaulted, WatchListModel::Price);
    f->sim.requestLog().clear();

    f->sim.setItemFault(kFaulted, fault);
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    auto asked = [this] { return f->sim.requestLog().entriesFor("item=2400000001").size(); };
    // Each time the faulted item has been asked for, its time-out finds it stalled; an answer
    // that ends by itself needs no time-out.
    const bool stalls = note == u"site did not answer in time";
    for (int tick = 1; stalls && tick <= 4 && finished.isEmpty(); ++tick) {
        QTRY_VERIFY(!finished.isEmpty() || asked() == tick);
        f->clock.advanceSeconds(26);
        f->engine->tmrSockTimeOut_Timer(0);
    }
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(asked(), requests);
    QCOMPARE(cells(*f, kFaulted), clean);
    QCOMPARE(f->cell(kFaulted, WatchListModel::Price), note.isEmpty() ? price : QStringLiteral("Err."));
    QVERIFY(f->cell(kAfterIt, WatchListModel::Price).contains(u"10.00"));
    QCOMPARE(f->panels[1].section(QStringLiteral("  ("), 1).chopped(note.isEmpty() ? 0 : 1), note);
    QCOMPARE(f->engine->commands(), CommandState {});
}

void TestPassFaults::siteThatStopsAnsweringEndsThePassWithinMinutes()
{
    // Three entries an engine. The first is asked for three times, the second once, and the
    // third not at all: four time-outs, about two minutes, however long the list.
    for (int i = 1; i <= 15; ++i)
        f->watch(2400000000 + i, 3600 * i);
    f->sim.setFaultForAll(fault(sim::Fault::Mode::Silent));
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    for (const int asked : { 5, 10, 15, 20 }) {
        QTRY_COMPARE(f->sim.requestLog().entries().size(), asked);
        QVERIFY(finished.isEmpty());
        f->clock.advanceSeconds(26);
        for (int engine = 0; engine < PassEngines::kEngines; ++engine)
            f->engine->tmrSockTimeOut_Timer(engine);
    }
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(f->sim.requestLog().entries().size(), 20);
    for (int i = 1; i <= 15; ++i)
        QCOMPARE(f->cell(2400000000 + i, WatchListModel::Price), QStringLiteral("Err."));
    QCOMPARE(f->engine->commands(), CommandState {});
}

void TestPassFaults::minuteCounterLetsARunningPassEnd()
{
    // A pass that outlasts the update interval (the site is slow) is not started over.
    f->settings.AutoUpdateEvery = 1;
    f->watch(kFaulted, 3600);
    f->sim.setItemFault(kFaulted, fault(sim::Fault::Mode::Silent));
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    for (int tick = 1; tick <= 3; ++tick) {
        QTRY_COMPARE(f->sim.requestLog().entries().size(), tick);
        f->engine->tmrCheckBids_Timer();
        f->clock.advanceSeconds(26);
        f->engine->tmrSockTimeOut_Timer(0);
    }
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(f->sim.requestLog().entries().size(), 3);
}

void TestPassFaults::sequentialPassReadsWhatTheEnginesRead_data()
{
    QTest::addColumn<sim::Fault>("fault");
    QTest::addColumn<int>("requests"); // for the faulted item
    QTest::addColumn<bool>("read");
    sim::Fault small = fault(sim::Fault::Mode::Chunked);
    small.chunkBytes = 16;
    QTest::newRow("chunks of 16 bytes") << small << 1 << true;
    QTest::newRow("503") << fault(sim::Fault::Mode::ServerError) << 1 << false;
    QTest::newRow("motors, again and again") << fault(sim::Fault::Mode::MotorsLoop) << 2 << false;
    QTest::newRow("chunk size not a number") << fault(sim::Fault::Mode::BadChunk) << 1 << false;
    QTest::newRow("empty") << fault(sim::Fault::Mode::Empty) << 1 << false;
}

void TestPassFaults::sequentialPassReadsWhatTheEnginesRead()
{
    QFETCH(sim::Fault, fault);
    QFETCH(int, requests);
    QFETCH(bool, read);
    f->watch(kFaulted, 3600);
    // A motors item: its ordinary address points to the motors one, which has the page.
    sim::Listing motors;
    motors.number = 2500000001;
    motors.title = QStringLiteral("1967 roadster, restored");
    motors.motors = true;
    motors.endTime = f->sim.clock().now().addSecs(7200);
    QVERIFY(f->sim.addItem(motors));
    f->model.addRow(QStringLiteral("2500000001"));
    auto runSequential = [this] {
        f->engine->updateBids();
        QTRY_VERIFY_WITH_TIMEOUT(!f->engine->sequentialPassRunning(), 20000);
    };
    runSequential();
    const QStringList clean = cells(*f, kFaulted);
    const QString price = f->cell(kFaulted, WatchListModel::Price);
    QCOMPARE(f->cell(2500000001, WatchListModel::ItemName), motors.title);
    f->sim.requestLog().clear();

    f->sim.setItemFault(kFaulted, fault);
    runSequential();
    QCOMPARE(f->sim.requestLog().entriesFor("item=2400000001").size(), requests);
    QCOMPARE(f->sim.requestLog().entriesFor("item=2500000001").size(), 2);
    QCOMPARE(cells(*f, kFaulted), clean);
    QCOMPARE(f->cell(kFaulted, WatchListModel::Price), read ? price : QStringLiteral("Err."));
    QCOMPARE(f->cell(2500000001, WatchListModel::ItemName), motors.title);
}

QTEST_GUILESS_MAIN(TestPassFaults)
#include "TestPassFaults.moc"
