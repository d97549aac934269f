// pass_bench: how close an all-items pass of the update engine comes to the cost of the
// transfers alone.
//
//   pass_bench [--rounds N] [--items N] [--latency MS] [--page-kb KB] [--only pass|floor]
//
// The in-process simulator serves the items (answers of about 60 KB, a fixed delay before
// each). In one run, alternately, it times
//   - the pass: UpdateEngine::subActive2() until passFinished(), the five page engines
//     fetching every page, reading it and applying it to the list, the run-time records and
//     the store;
//   - the floor: a plain client sending the very same request bytes over five connections,
//     each reading its items' answers one after another until the server closes, and dropping
//     them.
// After an unmeasured first round that checks both (every row applied, the floor's requests
// byte for byte the engine's), it prints the medians of both, their ratio, the CPU time per
// applied page, the peak memory and whether any web process ran, and the targets with PASS or
// MISS. It always exits 0 once it has measured: a benchmark reports, it does not judge.
//
// The simulator runs in this process and on this thread: its work (building and sending every
// page) is in the CPU time of both the pass and the floor, and drops out of their difference.
// --only runs just one side, for a profiler:
//   valgrind --tool=callgrind pass_bench --only pass --items 100 --rounds 1

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>

#include "EngineRig.h"
#include "ProcessProbe.h"
#include "engine/UpdateEngine.h"

namespace {

using th::bench::EngineRig;

struct Options {
    int rounds = 5;
    int items = 500;
    int latencyMs = 20;
    int pageKb = 60;
    bool pass = true;
    bool floor = true;
};

struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
};

constexpr double kRatioTarget = 1.15;
constexpr double kCpuTargetMs = 0.5;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::optional<Options> parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times an all-items pass of the update engine against plain transfers of the same pages."));
    parser.addHelpOption();
    const QCommandLineOption rounds(QStringLiteral("rounds"), QStringLiteral("Measured rounds (default 5)."),
        QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption items(QStringLiteral("items"), QStringLiteral("Watched items (default 500)."),
        QStringLiteral("n"), QStringLiteral("500"));
    const QCommandLineOption latency(QStringLiteral("latency"),
        QStringLiteral("Delay before every answer, in ms (default 20)."), QStringLiteral("ms"),
        QStringLiteral("20"));
    const QCommandLineOption pageKb(QStringLiteral("page-kb"),
        QStringLiteral("Size of every answer in KB (default 60)."), QStringLiteral("kb"),
        QStringLiteral("60"));
    const QCommandLineOption only(QStringLiteral("only"),
        QStringLiteral("Run only the pass or only the floor."), QStringLiteral("pass|floor"));
    parser.addOptions({ rounds, items, latency, pageKb, only });
    parser.process(app);
    Options options;
    options.rounds = std::max(1, parser.value(rounds).toInt());
    options.items = std::max(1, parser.value(items).toInt());
    options.latencyMs = std::max(0, parser.value(latency).toInt());
    options.pageKb = std::max(8, parser.value(pageKb).toInt());
    const QString side = parser.value(only);
    if (!side.isEmpty() && side != u"pass" && side != u"floor") {
        std::fprintf(stderr, "pass_bench: --only takes \"pass\" or \"floor\"\n");
        return std::nullopt;
    }
    options.pass = side != u"floor";
    options.floor = side != u"pass";
    return options;
}

// Times `run`, which returns once its work is done, in wall time and in the CPU time of the
// whole process (getrusage, user and system).
template<typename Run> Sample measure(Run run, bool *ok)
{
    const double cpuBefore = th::bench::processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    *ok = run();
    return { double(wall.nsecsElapsed()) / 1e6, (th::bench::processCpuSeconds() - cpuBefore) * 1000 };
}

// Web processes seen at any of the checks, which run between the measured runs so that the
// look through /proc costs the measurements nothing.
QSet<QString> g_webProcesses;

void lookForWebProcesses()
{
    for (const QString &process : th::bench::webProcessesBelowUs())
        g_webProcesses.insert(process);
}

// The unmeasured first round: both sides once, with their results checked.
bool warmUp(EngineRig &rig, const Options &options)
{
    bool ok = true;
    QList<QByteArray> passRequests;
    if (options.pass) {
        if (!rig.runPass()) {
            std::fprintf(stderr, "pass_bench: the first pass did not finish\n");
            return false;
        }
        const int correct = rig.correctRows();
        std::printf(
            "first pass: %d of %d rows applied with their title and price\n", correct, rig.itemCount());
        ok = correct == rig.itemCount();
        passRequests = rig.takeLoggedRequests();
        // The list is now in the order every later pass keeps; the floor follows it.
        rig.buildFloor();
    }
    if (options.floor) {
        if (!rig.runFloor()) {
            std::fprintf(stderr, "pass_bench: the first floor run did not finish\n");
            return false;
        }
        const th::bench::FloorClient::Totals &totals = rig.floorTotals();
        std::printf("first floor run: %d answers, %d failed; answers %lld to %lld bytes, %.0f on average\n",
            totals.answers, totals.failures, static_cast<long long>(totals.smallest),
            static_cast<long long>(totals.largest), double(totals.bytes) / std::max(1, totals.answers));
        ok = ok && totals.answers == rig.itemCount() && totals.failures == 0;
        const QList<QByteArray> floorRequests = rig.takeLoggedRequests();
        if (options.pass) {
            const bool same = floorRequests == passRequests;
            std::printf("floor requests byte for byte the engine's: %s\n", same ? "yes" : "NO");
            ok = ok && same;
        }
    }
    return ok;
}

void printRow(const char *label, const std::vector<Sample> &samples, int items)
{
    std::vector<double> wall, cpu;
    for (const Sample &sample : samples) {
        wall.push_back(sample.wallMs);
        cpu.push_back(sample.cpuMs);
    }
    std::printf("  %-26s %10.1f %10.1f %12.3f\n", label, median(wall), median(cpu), median(cpu) / items);
}

const char *mark(bool met)
{
    return met ? "PASS" : "MISS";
}

void report(const Options &options, const std::vector<Sample> &passes, const std::vector<Sample> &floors,
    long setUpKiB)
{
    const int n = options.items;
    std::printf("\n%d items, answers of about %d KB, %d ms before every answer, %d connections, median of %d "
                "rounds\n\n",
        n, options.pageKb, options.latencyMs, th::UpdateEngine::kEngines, options.rounds);
    std::printf("  %-26s %10s %10s %12s\n", "", "wall ms", "CPU ms", "CPU/page ms");
    if (options.pass)
        printRow("pass (update engine)", passes, n);
    if (options.floor)
        printRow("floor (plain client)", floors, n);

    std::vector<double> ratios, cpuPerPage;
    for (std::size_t i = 0; i < std::min(passes.size(), floors.size()); ++i) {
        ratios.push_back(passes[i].wallMs / floors[i].wallMs);
        cpuPerPage.push_back((passes[i].cpuMs - floors[i].cpuMs) / n);
    }
    const bool both = !ratios.empty();
    const double ratio = median(ratios);
    const double cpu = median(cpuPerPage);
    if (both) {
        std::printf("  %-26s %10.3f   (median of the rounds' pass/floor)\n", "ratio", ratio);
        std::printf("  %-26s %10.3f ms (pass CPU minus floor CPU, per page)\n", "CPU per applied page", cpu);
    }
    const QStringList web(g_webProcesses.begin(), g_webProcesses.end());
    std::printf("  %-26s %10.1f MiB (%.1f MiB after set-up)\n", "peak memory (maxrss)",
        double(th::bench::peakResidentKiB()) / 1024, double(setUpKiB) / 1024);
    std::printf("  %-26s %10s (web engine library loaded: %s)\n", "web processes seen",
        web.isEmpty() ? "none" : qPrintable(web.join(u", ")), th::bench::webEngineLoaded() ? "yes" : "no");
    std::printf("\n  CPU per applied page counts what the pass costs beyond the transfers: reading the\n"
                "  answer into the engine's buffer, parsing it, writing the row, the record and the store,\n"
                "  the engine's timers and signals, and the sort at the end. The simulator runs in this\n"
                "  process and on this thread: building and sending the pages is in both CPU columns and\n"
                "  drops out of the difference; its wall time is in both runs.\n\n");
    if (!both)
        return;
    std::printf("targets\n");
    std::printf(
        "  ratio at most %.2f            %8.3f   %s\n", kRatioTarget, ratio, mark(ratio <= kRatioTarget));
    std::printf(
        "  CPU per page at most %.1f ms    %8.3f   %s\n", kCpuTargetMs, cpu, mark(cpu <= kCpuTargetMs));
    std::printf(
        "  no web process                %8s   %s\n", web.isEmpty() ? "none" : "some", mark(web.isEmpty()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::optional<Options> options = parseOptions(app);
    if (!options)
        return 2;

    EngineRig rig;
    QString error;
    if (!rig.setUp(options->items, options->pageKb * 1024, options->latencyMs, &error)) {
        std::fprintf(stderr, "pass_bench: %s\n", qPrintable(error));
        return 1;
    }
    const long setUpKiB = th::bench::peakResidentKiB();
    lookForWebProcesses();
    if (!warmUp(rig, *options))
        std::printf("the first round found faults: the numbers below measure a faulty run\n");
    lookForWebProcesses();

    std::vector<Sample> passes, floors;
    for (int round = 0; round < options->rounds; ++round) {
        // The order alternates, so that a drift of the machine falls on both sides alike.
        const bool passFirst = round % 2 == 0;
        for (int side = 0; side < 2; ++side) {
            const bool isPass = (side == 0) == passFirst;
            if (isPass ? !options->pass : !options->floor)
                continue;
            bool ok = false;
            const Sample sample = isPass ? measure([&] { return rig.runPass(); }, &ok)
                                         : measure([&] { return rig.runFloor(); }, &ok);
            rig.takeLoggedRequests();
            lookForWebProcesses();
            if (!ok) {
                std::fprintf(stderr, "pass_bench: a %s run did not finish\n", isPass ? "pass" : "floor");
                return 1;
            }
            (isPass ? passes : floors).push_back(sample);
        }
    }
    report(*options, passes, floors, setUpKiB);
    return 0;
}
