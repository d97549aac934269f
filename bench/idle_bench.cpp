// What the desktop program costs while nothing happens: a watch list of 1000 items (ending
// alerts set, a few automatic bids armed days ahead), measured after its first pass has been
// applied, for 60 seconds in which no update is due. It prints the process's CPU time per
// second of wall time (% of one core) and its resident memory. The simulator runs as a
// separate process, so that only the program is measured.
//
//   idle_bench [items, default 1000] [seconds, default 60] [--live] [--hidden]
//
// --live counts the time left down in the list every second; --hidden hides the main window
// (as in the notification area) once the first pass has ended.

#include <unistd.h>

#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "ProcessProbe.h"
#include "app/Application.h"
#include "app/Platform.h"
#include "app/frmWatch.h"
#include "config/AppSettings.h"
#include "config/HostConfig.h"
#include "engine/UpdateEngine.h"
#include "platform/AppPaths.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;

namespace {

constexpr qint64 kFirstItem = 2407700001;
// Every this many items one carries an automatic bid.
constexpr int kArmedEvery = 50;
// Ends lie between two and nine days ahead: nothing ends, enters an alert window or comes due
// for its bid while the benchmark runs.
constexpr int kEarliestEndMinutes = 2 * 24 * 60;
constexpr int kEndSpreadMinutes = 7 * 24 * 60;

struct Options {
    int items = 1000;
    int seconds = 60;
    bool live = false;
    bool hidden = false;
};

Options readOptions(const QStringList &arguments)
{
    Options options;
    QList<int> numbers;
    for (const QString &argument : arguments.mid(1)) {
        if (argument == u"--live")
            options.live = true;
        else if (argument == u"--hidden")
            options.hidden = true;
        else if (argument.toInt() > 0)
            numbers.append(argument.toInt());
    }
    if (!numbers.isEmpty())
        options.items = numbers[0];
    if (numbers.size() > 1)
        options.seconds = numbers[1];
    return options;
}

QByteArray catalogue(int items)
{
    QJsonArray users { QJsonObject { { QStringLiteral("id"), QStringLiteral("buyer") },
                           { QStringLiteral("password"), QStringLiteral("s3cret") },
                           { QStringLiteral("rating"), 10 } },
        QJsonObject { { QStringLiteral("id"), QStringLiteral("shop") }, { QStringLiteral("rating"), 500 } } };
    QJsonArray listings;
    for (int i = 0; i < items; ++i) {
        listings.append(QJsonObject {
            { QStringLiteral("number"), QString::number(kFirstItem + i) },
            { QStringLiteral("title"), QStringLiteral("Idle bench item %1").arg(i) },
            { QStringLiteral("seller"), QStringLiteral("shop") },
            { QStringLiteral("endsInMinutes"), kEarliestEndMinutes + (i * 97) % kEndSpreadMinutes },
            { QStringLiteral("startedMinutesAgo"), 600 },
            { QStringLiteral("price"), 5 + i % 40 },
            { QStringLiteral("botBidsPerHour"), 0 },
        });
    }
    return QJsonDocument(
        QJsonObject { { QStringLiteral("users"), users }, { QStringLiteral("items"), listings } })
        .toJson(QJsonDocument::Compact);
}

// The simulator's addresses, by the first word of each line it prints once listening.
QHash<QString, QString> startSimulator(QProcess &sim, const QString &catalogueFile)
{
    sim.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/tallyhawk-sim"));
    sim.setArguments(
        { QStringLiteral("--catalogue"), catalogueFile, QStringLiteral("--seed"), QStringLiteral("1") });
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    if (!sim.waitForStarted())
        qFatal("tallyhawk-sim did not start: %s", qPrintable(sim.errorString()));
    QHash<QString, QString> addresses;
    while (!addresses.contains(QStringLiteral("portal"))) {
        if (!sim.canReadLine() && !sim.waitForReadyRead(30000))
            qFatal("tallyhawk-sim printed no addresses");
        const QStringList words = QString::fromLatin1(sim.readLine()).simplified().split(u' ');
        if (words.size() >= 2)
            addresses.insert(words[0], words[1]);
    }
    return addresses;
}

void writeConfig(const QString &folder, const QHash<QString, QString> &addresses, bool live)
{
    QFile ini(folder + QStringLiteral("/config.ini"));
    if (!ini.open(QIODevice::WriteOnly))
        qFatal("cannot write config.ini");
    ini.write("[Hosts]\n");
    for (int i = 0; i < HostConfig::kHostCount; ++i) {
        using Host = HostConfig::Host;
        const Host host = Host(i);
        const bool portal = host == Host::Google || host == Host::Hotmail || host == Host::YahooMail
            || host == Host::Paypal;
        const QString address = addresses.value(portal ? QStringLiteral("portal") : QStringLiteral("site"));
        ini.write((HostConfig::keyName(host) + u'=' + address + u'\n').toLatin1());
    }
    ini.write("[TimeServers]\n");
    ini.write(("Server0=" + addresses.value(QStringLiteral("daytime")) + u'\n').toLatin1());
    ini.write(live ? "[User]\nLiveTimeLeft=1\n" : "");
}

void seedWatchList(const QString &folder, int items)
{
    Result<std::unique_ptr<RegistryStore>> opened = RegistryStore::openInFolder(folder);
    if (!opened.ok())
        qFatal("store: %s", qPrintable(opened.errorMessage()));
    RegistryStore &store = *opened.value();
    const Result<void> written = store.transaction([&]() -> Result<void> {
        for (int i = 0; i < items; ++i) {
            const QString item = QString::number(kFirstItem + i);
            const QString key = itemKeyPath(item);
            const auto save = [&](const char16_t *name, const QString &value) {
                SaveRegString(store, RegRoot::CurrentUser, key, QString::fromUtf16(name), value);
            };
            save(ItemValue::Item, item);
            if (i % kArmedEvery == 0) {
                save(ItemValue::MaxAutoBid, QStringLiteral("900"));
                save(ItemValue::MaxQuantity, QStringLiteral("1"));
                save(ItemValue::MaxTimeLeft, QStringLiteral("10"));
            }
        }
        return {};
    });
    if (!written.ok())
        qFatal("store: %s", qPrintable(written.errorMessage()));
}

// A figure of /proc/self/status in KiB: "VmRSS" (resident now) or "VmHWM" (the most so far).
long statusKiB(const QByteArray &name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(QByteArray(name + ':')))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Options options = readOptions(app.arguments());

    QTemporaryDir data;
    const QString catalogueFile = data.filePath(QStringLiteral("catalogue.json"));
    {
        QFile file(catalogueFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(catalogue(options.items)) < 0)
            qFatal("cannot write the catalogue");
    }
    QProcess sim;
    const QHash<QString, QString> addresses = startSimulator(sim, catalogueFile);
    writeConfig(data.path(), addresses, options.live);
    seedWatchList(data.path(), options.items);

    const QString resources = AppPaths::resourceFolder();
    Application program(QString(), makeRealPlatform(data.path(), resources), data.path(), resources);
    if (program.start() != Application::StartResult::Running)
        qFatal("the program did not start");
    AppSettings &settings = *program.parts().settings;
    // No update comes due while the benchmark runs; the alerts look at every item.
    settings.AutoUpdateEvery = 24 * 60;
    settings.FirstAlert = 1;
    settings.SecondAlert = 10;

    QElapsedTimer wall;
    double cpuAtStart = 0;
    double cpu = 0;
    double seconds = 0;
    long residentAtStart = 0;
    long residentAtEnd = 0;
    QElapsedTimer sinceStart;
    sinceStart.start();
    qint64 firstPassMsecs = -1;
    QTimer measure;
    measure.setSingleShot(true);
    QObject::connect(program.parts().engine.get(), &UpdateEngine::passFinished, &measure, [&] {
        if (firstPassMsecs >= 0)
            return;
        firstPassMsecs = sinceStart.elapsed();
        if (options.hidden)
            program.parts().mainWindow->hide();
        // A moment for the pass's last echoes (the sort, the repaint) before the count starts.
        QTimer::singleShot(2000, &measure, [&] {
            cpuAtStart = bench::processCpuSeconds();
            residentAtStart = statusKiB("VmRSS");
            wall.start();
            measure.start(options.seconds * 1000);
        });
    });
    QObject::connect(&measure, &QTimer::timeout, &measure, [&] {
        cpu = bench::processCpuSeconds() - cpuAtStart;
        seconds = double(wall.elapsed()) / 1000;
        residentAtEnd = statusKiB("VmRSS");
        program.exitProgram();
    });
    app.exec();

    if (seconds <= 0)
        qFatal("the first pass did not end");
    std::printf("idle_bench: %d items, first pass %.1f s, then %.0f s idle%s%s\n", options.items,
        double(firstPassMsecs) / 1000, seconds, options.live ? ", time left counting down" : "",
        options.hidden ? ", main window hidden" : "");
    std::printf("CPU while idle: %.3f s, %.3f %% of a core\n", cpu, 100 * cpu / seconds);
    std::printf("resident memory: %ld KiB at the start of the idle time, %ld KiB at its end, peak %ld KiB\n",
        residentAtStart, residentAtEnd, statusKiB("VmHWM"));
    sim.terminate();
    sim.waitForFinished();
    return 0;
}
