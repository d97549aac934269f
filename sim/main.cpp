// tallyhawk-sim: the local auction site and time server for the demo and the benchmarks.
// It prints one line per server it listens on, "<name> <host>:<port>", then serves until
// SIGINT or SIGTERM.
#include "sim/Simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int g_signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the event loop picks the byte up.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

bool installSignalHandlers(QCoreApplication &app)
{
    if (::pipe(g_signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(g_signalPipe[0], &byte, 1);
        app.quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

bool readPort(const QCommandLineParser &parser, const QString &name, quint16 *port)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const uint value = parser.value(name).toUInt(&ok);
    if (!ok || value > 65535)
        return false;
    *port = quint16(value);
    return true;
}

void printServer(const char *name, const QHostAddress &address, quint16 port)
{
    std::printf("%s %s:%u\n", name, qPrintable(address.toString()), unsigned(port));
}

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "A local stand-in for the auction site and the daytime time servers.\n"
        "Prints one line per server: \"site\", \"daytime\", \"control\" and \"portal\", then one per "
        "outside service (\"google\", \"hotmail\", \"yahoomail\", \"paypal\": a stand-in page that says "
        "which "
        "service it is), each followed by host:port.\n"
        "The daytime server's clock offset (seconds ahead of this machine's clock) starts with "
        "--daytime-offset and is changed while running through the control interface: POST /sim/daytime "
        "{\"offsetSeconds\": n, \"mode\": \"answer\"|\"silent\"|\"close\"}."));
    parser.addHelpOption();
    parser.addOptions({
        { QStringLiteral("host"), QStringLiteral("Address to listen on (default 127.0.0.1)."),
            QStringLiteral("address"), QStringLiteral("127.0.0.1") },
        { QStringLiteral("port"), QStringLiteral("Port of the site (default: a free one)."),
            QStringLiteral("port") },
        { QStringLiteral("daytime-port"), QStringLiteral("Port of the daytime server (default: a free one)."),
            QStringLiteral("port") },
        { QStringLiteral("control-port"),
            QStringLiteral("Port of the control interface (default: a free one)."), QStringLiteral("port") },
        { QStringLiteral("portal-port"),
            QStringLiteral(
                "Port of the stand-in web search, web mail and payment pages (default: a free one)."),
            QStringLiteral("port") },
        { QStringLiteral("catalogue"),
            QStringLiteral("Catalogue file (JSON); without it a built-in one is used."),
            QStringLiteral("file") },
        { QStringLiteral("seed"), QStringLiteral("Seed of the other bidders and of the built-in catalogue."),
            QStringLiteral("number"), QStringLiteral("1") },
        { QStringLiteral("speed"), QStringLiteral("How many times busier the other bidders are (default 1)."),
            QStringLiteral("factor"), QStringLiteral("1") },
        { QStringLiteral("daytime-offset"),
            QStringLiteral("Seconds the daytime server's clock is ahead of this machine's (negative: behind; "
                           "default 0)."),
            QStringLiteral("seconds"), QStringLiteral("0") },
        { QStringLiteral("changed-layout"),
            QStringLiteral("Item pages in a changed layout: every label renamed, another page title (the "
                           "control interface switches it too).") },
    });
}

bool readOptions(const QCommandLineParser &parser, th::sim::SimulatorOptions *options)
{
    options->controlListener = true;
    options->portalListener = true;
    bool ok = options->address.setAddress(parser.value(QStringLiteral("host")));
    ok = ok && readPort(parser, QStringLiteral("port"), &options->sitePort)
        && readPort(parser, QStringLiteral("daytime-port"), &options->daytimePort)
        && readPort(parser, QStringLiteral("control-port"), &options->controlPort)
        && readPort(parser, QStringLiteral("portal-port"), &options->portalPort);
    bool seedOk = false;
    options->seed = parser.value(QStringLiteral("seed")).toULongLong(&seedOk);
    bool speedOk = false;
    options->speed = parser.value(QStringLiteral("speed")).toDouble(&speedOk);
    return ok && seedOk && speedOk && options->speed > 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyhawk-sim"));

    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app);
    th::sim::SimulatorOptions options;
    if (!readOptions(parser, &options)) {
        std::fprintf(stderr, "tallyhawk-sim: bad option value (see --help)\n");
        return 2;
    }

    th::sim::Simulator simulator;
    simulator.clock().useRealTime();
    if (!simulator.start(options)) {
        std::fprintf(stderr, "tallyhawk-sim: cannot listen: %s\n", qPrintable(simulator.errorString()));
        return 1;
    }
    if (parser.isSet(QStringLiteral("catalogue"))) {
        QString error;
        if (!simulator.loadCatalogueFile(parser.value(QStringLiteral("catalogue")), &error)) {
            std::fprintf(stderr, "tallyhawk-sim: %s\n", qPrintable(error));
            return 1;
        }
    } else {
        simulator.loadBuiltInCatalogue();
    }
    bool offsetOk = false;
    const qint64 offset = parser.value(QStringLiteral("daytime-offset")).toLongLong(&offsetOk);
    if (!offsetOk) {
        std::fprintf(stderr, "tallyhawk-sim: bad option value (see --help)\n");
        return 2;
    }
    simulator.daytime().setOffsetSeconds(offset);
    if (parser.isSet(QStringLiteral("changed-layout")))
        simulator.site().setPageLayout(th::sim::PageLayout::Changed);
    if (!installSignalHandlers(app)) {
        std::fprintf(stderr, "tallyhawk-sim: cannot install signal handlers\n");
        return 1;
    }

    printServer("site", options.address, simulator.sitePort());
    printServer("daytime", options.address, simulator.daytimePort());
    printServer("control", options.address, simulator.controlPort());
    printServer("portal", options.address, simulator.portalPort());
    for (const th::sim::PortalService service : th::sim::kPortalServices)
        printServer(th::sim::portalServiceName(service), options.address, simulator.servicePort(service));
    std::fflush(stdout);
    std::fprintf(stderr, "tallyhawk-sim: %d items, seed %llu, speed %g; stop with Ctrl+C\n",
        int(simulator.house().itemNumbers().size()), static_cast<unsigned long long>(options.seed),
        options.speed);

    const int status = app.exec();
    simulator.stop();
    return status;
}
