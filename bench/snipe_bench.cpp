// Automatic bids through real browser windows against the simulator in this process, run by
// the bid runner as the program runs them, each fired at its lead's second. Per bid: when it
// fired against that second, the browser's times from the fire to the bid form submitted, to
// the sign-in submitted and to the site's answer, the outcome, and whether the site took the
// bid before the end. Each scenario runs in a fresh process, so its first bid meets a web
// engine that has not started:
//
//   snipe_bench                   every scenario below, one after the other
//   snipe_bench leads [n]         n bids for each lead of 3, 5 and 10 s (default 5)
//   snipe_bench same-second       ten bids firing in the same second
//   snipe_bench cold              one bid, two busy processes beside it, no warm-up
//   snipe_bench warm-start        the same, with the browser warmed up as the program does it
//   snipe_bench memory [n]        n bids one after the other (default 50); memory before and after

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include "ProcessProbe.h"
#include "autobid/BidRunner.h"
#include "autobid/BrowserWarmUp.h"
#include "browser/BrowserFactory.h"
#include "platform/IBrowserFactory.h"
#include "platform/SystemClock.h"
#include "sim/Simulator.h"

using namespace th;

namespace {

constexpr qint64 kFirstItem = 2407630001;
// Time for the simulator and the first page before the first bid fires.
constexpr int kFirstFireSeconds = 12;

struct Bid {
    qint64 item = 0;
    int lead = 0;
    QDateTime end; // UTC, whole seconds
    BidRecord record;
    bool beforeEnd = false;
};

class SimThread final {
public:
    SimThread()
    {
        m_sim = new sim::Simulator;
        m_sim->moveToThread(&m_thread);
        m_thread.start();
    }
    ~SimThread()
    {
        run([this] { delete m_sim; });
        m_thread.quit();
        m_thread.wait();
    }
    Q_DISABLE_COPY_MOVE(SimThread)
    void run(const std::function<void()> &work)
    {
        QMetaObject::invokeMethod(m_sim, work, Qt::BlockingQueuedConnection);
    }
    sim::Simulator &sim() { return *m_sim; }

private:
    QThread m_thread;
    sim::Simulator *m_sim = nullptr;
};

struct Scenario {
    QList<Bid> bids;
    bool busyBeside = false; // two processes spinning beside the bids
    bool warmUp = true; // the browser is warmed up before the first bid, as in the program
    bool memory = false; // memory before the first bid, after the last, after the windows closed
};

qint64 msBetween(const QDateTime &from, const QDateTime &to)
{
    return from.isValid() && to.isValid() ? from.msecsTo(to) : -1;
}

// Items ending at `ends` (seconds from now, whole seconds) with the given leads.
QList<Bid> plan(const QList<QPair<int, int>> &endsAndLeads)
{
    QDateTime now = QDateTime::currentDateTimeUtc();
    now = now.addMSecs(-now.time().msec());
    QList<Bid> bids;
    for (const auto &[ends, lead] : endsAndLeads)
        bids.append(Bid { kFirstItem + bids.size(), lead, now.addSecs(ends), {}, false });
    return bids;
}

QList<QProcess *> startBusyProcesses(const QString &self)
{
    QList<QProcess *> busy;
    for (int i = 0; i < 2; ++i) {
        auto *process = new QProcess;
        process->start(self, { QStringLiteral("busy") });
        busy.append(process);
    }
    return busy;
}

void printTable(const Scenario &scenario)
{
    std::printf("%-12s %4s %10s %9s %9s %9s %-14s %s\n", "item", "lead", "fire after", "bid form", "sign-in",
        "answer", "outcome", "placed before the end");
    for (const Bid &bid : scenario.bids) {
        const BidRecord &r = bid.record;
        const QDateTime moment = bid.end.addSecs(-bid.lead);
        std::printf("%-12lld %3ds %7lld ms %6lld ms %6lld ms %6lld ms %-14s %s\n", bid.item, bid.lead,
            msBetween(moment, r.firedAt.toUTC()), msBetween(r.firedAt, r.bidFormAt),
            msBetween(r.firedAt, r.signInAt), msBetween(r.firedAt, r.answerAt),
            r.outcome ? qPrintable(bidOutcomeText(*r.outcome)) : "running", bid.beforeEnd ? "yes" : "NO");
    }
    int placed = 0;
    for (const Bid &bid : scenario.bids)
        placed += bid.beforeEnd ? 1 : 0;
    std::printf("placed before the end: %d of %lld\n", placed, qint64(scenario.bids.size()));
}

int runScenario(const QString &self, Scenario scenario)
{
    const QList<QProcess *> busy = scenario.busyBeside ? startBusyProcesses(self) : QList<QProcess *> {};
    SimThread remote;
    QString host;
    remote.run([&] {
        sim::Simulator &sim = remote.sim();
        sim.clock().useRealTime();
        sim.start();
        sim.house().addUser(sim::SimUser { QStringLiteral("buyer"), QStringLiteral("s3cret"), 10 });
        for (const Bid &bid : std::as_const(scenario.bids)) {
            sim::Listing listing;
            listing.number = bid.item;
            listing.title = QStringLiteral("Bench item %1").arg(bid.item % 1000);
            listing.endTime = bid.end;
            QString error;
            if (!sim.house().addItem(listing, &error))
                qFatal("simulator: %s", qPrintable(error));
        }
        host = sim.siteHostPort();
    });
    const std::optional<HostPort> site = parseHostPort(host, 80);
    if (!site)
        qFatal("simulator address %s", qPrintable(host));

    SystemClock clock;
    std::unique_ptr<IBrowserFactory> browser = makeBrowserFactory();
    BidRunner runner(BidRunner::Context { *browser, clock,
        [] {
            return BidAccount { QStringLiteral("buyer"), QStringLiteral("s3cret") };
        },
        *site, nullptr });
    std::optional<BrowserWarmUp> warmUp;
    if (scenario.warmUp) {
        // Asked every few seconds in the program; here at once, since the first moment is near.
        warmUp.emplace(
            BrowserWarmUp::Context { *browser, clock, *site, [&scenario] {
                                        return std::optional<QDateTime>(
                                            scenario.bids.first().end.addSecs(-scenario.bids.first().lead));
                                    } });
        QObject::connect(&*warmUp, &BrowserWarmUp::signInPageChanged,
            [](const QString &message) { std::printf("warm-up: %s\n", qPrintable(message)); });
        warmUp->check();
    }

    long memoryBefore = 0;
    long memoryAfterBids = 0;
    int ended = 0;
    QObject::connect(&runner, &BidRunner::bidEnded, [&](const BidRecord &record) {
        for (Bid &bid : scenario.bids) {
            if (QString::number(bid.item) == record.item)
                bid.record = record;
        }
        if (++ended == scenario.bids.size()) {
            memoryAfterBids = bench::memoryWithWebProcessesKiB();
            // The windows of automatic bids close a while after their outcome.
            const int wait = scenario.memory ? (BidRunner::kCloseAfterSeconds + 5) * 1000 : 500;
            QTimer::singleShot(wait, qApp, &QCoreApplication::quit);
        }
    });
    // Fired as the trigger fires: every bid whose lead's second has come, in one go.
    for (const Bid &bid : std::as_const(scenario.bids)) {
        const qint64 wait = QDateTime::currentDateTimeUtc().msecsTo(bid.end.addSecs(-bid.lead));
        QTimer::singleShot(
            std::max<qint64>(0, wait), Qt::PreciseTimer, &runner, [&runner, &memoryBefore, bid] {
                if (memoryBefore == 0)
                    memoryBefore = bench::memoryWithWebProcessesKiB();
                runner.start(BidOrder { QString::number(bid.item), QStringLiteral("Bench item"),
                    BidKind::Automatic, Money::fromText(u"25"), 1, bid.lead });
            });
    }
    qApp->exec();
    const long memoryClosed = bench::memoryWithWebProcessesKiB();

    remote.run([&] {
        for (Bid &bid : scenario.bids) {
            const std::optional<sim::ItemSnapshot> item = remote.sim().house().snapshot(bid.item);
            for (const sim::Bid &placed : item ? item->bids : QList<sim::Bid> {}) {
                if (placed.bidder == u"buyer")
                    bid.beforeEnd = placed.placedAt < bid.end;
            }
        }
    });
    for (QProcess *process : busy) {
        process->kill();
        process->waitForFinished();
        delete process;
    }
    printTable(scenario);
    if (scenario.memory)
        std::printf("memory (this process and its web processes, Pss): before the first bid %ld MiB, after "
                    "the last outcome %ld MiB, once the windows closed %ld MiB: %+ld MiB\n",
            memoryBefore / 1024, memoryAfterBids / 1024, memoryClosed / 1024,
            (memoryClosed - memoryBefore) / 1024);
    return 0;
}

int spinBusy()
{
    // A busy process: it spins until it is stopped, at most five minutes.
    QElapsedTimer running;
    running.start();
    volatile quint64 sink = 0;
    while (running.elapsed() < 300000)
        for (int i = 0; i < 1000000; ++i)
            sink = sink + quint64(i);
    return 0;
}

int runAll(const QString &self)
{
    const QStringList modes { QStringLiteral("same-second"), QStringLiteral("leads"), QStringLiteral("cold"),
        QStringLiteral("warm-start"), QStringLiteral("memory") };
    for (const QString &mode : modes) {
        std::printf("\n== snipe_bench %s\n", qPrintable(mode));
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(self, { mode });
        child.waitForFinished(-1);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "busy")
        return spinBusy();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const int count = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 0;

    Scenario scenario;
    if (mode.isEmpty())
        return runAll(self);
    if (mode == "same-second") {
        QList<QPair<int, int>> bids;
        for (int i = 0; i < 10; ++i)
            bids.append({ kFirstFireSeconds + 3, 3 });
        scenario.bids = plan(bids);
    } else if (mode == "leads") {
        QList<QPair<int, int>> bids;
        int at = kFirstFireSeconds;
        for (int round = 0; round < (count ? count : 5); ++round) {
            for (const int lead : { 3, 5, 10 }) {
                bids.append({ at + lead, lead });
                at += 4; // one bid's pages are done before the next fires
            }
        }
        scenario.bids = plan(bids);
    } else if (mode == "cold" || mode == "warm-start") {
        scenario.bids = plan({ { kFirstFireSeconds + 3, 3 } });
        scenario.busyBeside = true;
        scenario.warmUp = mode == "warm-start";
    } else if (mode == "memory") {
        QList<QPair<int, int>> bids;
        for (int i = 0; i < (count ? count : 50); ++i)
            bids.append({ kFirstFireSeconds + 5 + i * 2, 5 });
        scenario.bids = plan(bids);
        scenario.memory = true;
    } else {
        std::fprintf(
            stderr, "usage: snipe_bench [leads [n] | same-second | cold | warm-start | memory [n]]\n");
        return 2;
    }
    return runScenario(self, std::move(scenario));
}
