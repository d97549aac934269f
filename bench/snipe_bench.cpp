// Automatic bids through the real browser window against the simulator in this process: for
// leads of 3, 5 and 10 seconds, how many bids the site accepted before the item ended, when the
// trigger fired relative to the lead's second, and how long the browser took from the fire to
// the bid form, to the sign-in and to the site accepting the bid. The first bid pays for the
// web engine's start and is shown on its own.
//
//   snipe_bench [bids per lead, default 7]

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "app/Application.h"
#include "app/Platform.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidRunner.h"
#include "config/AppSettings.h"
#include "config/HostConfig.h"
#include "platform/AppPaths.h"
#include "sim/Simulator.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;

namespace {

constexpr qint64 kFirstItem = 2407620001;
constexpr int kLeads[] = { 3, 5, 10 };
// Between two bids' firing moments: one bid's pages are done before the next one fires.
constexpr int kSpacingSeconds = 4;
// Time for the start and the first pass before the first bid fires.
constexpr int kFirstFireSeconds = 40;

struct Bid {
    qint64 item = 0;
    int lead = 0;
    QDateTime end; // UTC
    QDateTime fired; // UTC
    qint64 formMs = -1;
    qint64 signInMs = -1;
    qint64 acceptedMs = -1;
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
    void run(const std::function<void()> &work)
    {
        QMetaObject::invokeMethod(m_sim, work, Qt::BlockingQueuedConnection);
    }
    sim::Simulator &sim() { return *m_sim; }

private:
    QThread m_thread;
    sim::Simulator *m_sim = nullptr;
};

qint64 median(QList<qint64> values)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString figures(const QList<qint64> &values)
{
    if (values.isEmpty())
        return QStringLiteral("-");
    return QStringLiteral("median %1 ms, max %2 ms")
        .arg(median(values))
        .arg(*std::max_element(values.begin(), values.end()));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    const int perLead = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;

    SimThread remote;
    QString host;
    QList<Bid> bids;
    remote.run([&] {
        sim::Simulator &sim = remote.sim();
        sim.clock().useRealTime();
        sim.start();
        sim.house().addUser(sim::SimUser { QStringLiteral("buyer"), QStringLiteral("s3cret"), 10 });
        // The site's ends are whole seconds.
        QDateTime start = sim.clock().now();
        start = start.addMSecs(-start.time().msec());
        int index = 0;
        for (int round = 0; round < perLead; ++round) {
            for (int lead : kLeads) {
                sim::Listing listing;
                listing.number = kFirstItem + index;
                listing.title = QStringLiteral("Bench item %1").arg(index);
                listing.endTime = start.addSecs(kFirstFireSeconds + index * kSpacingSeconds + lead);
                QString error;
                if (!sim.house().addItem(listing, &error))
                    qFatal("simulator: %s", qPrintable(error));
                bids.append(Bid { listing.number, lead, listing.endTime });
                ++index;
            }
        }
        host = sim.siteHostPort();
    });

    QTemporaryDir data;
    {
        QFile ini(data.filePath(QStringLiteral("config.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            qFatal("cannot write config.ini");
        ini.write("[Hosts]\n");
        for (int i = 0; i < HostConfig::kHostCount; ++i)
            ini.write((HostConfig::keyName(HostConfig::Host(i)) + u'=' + host + u'\n').toLatin1());
        ini.write("[TimeServers]\nServer0=127.0.0.1:1\nServer1=127.0.0.1:1\n");
    }
    {
        Result<std::unique_ptr<RegistryStore>> store = RegistryStore::openInFolder(data.path());
        if (!store.ok())
            qFatal("store: %s", qPrintable(store.errorMessage()));
        for (const Bid &bid : bids) {
            const QString key = itemKeyPath(QString::number(bid.item));
            const auto save = [&](const char16_t *name, const QString &value) {
                SaveRegString(*store.value(), RegRoot::CurrentUser, key, QString::fromUtf16(name), value);
            };
            save(ItemValue::Item, QString::number(bid.item));
            save(ItemValue::MaxAutoBid, QStringLiteral("25"));
            save(ItemValue::MaxQuantity, QStringLiteral("1"));
            save(ItemValue::MaxTimeLeft, QString::number(bid.lead));
        }
    }

    const QString resources = AppPaths::resourceFolder();
    Application program(QString(), makeRealPlatform(data.path(), resources), data.path(), resources);
    if (program.start() != Application::StartResult::Running)
        qFatal("the program did not start");
    program.parts().settings->EBayID = QStringLiteral("buyer");
    program.parts().settings->EBayPWD = QStringLiteral("s3cret");

    QHash<QString, int> byItem;
    for (int i = 0; i < bids.size(); ++i)
        byItem.insert(QString::number(bids[i].item), i);
    QElapsedTimer sinceFire;
    int current = -1;
    QObject::connect(
        program.parts().autoBidTrigger.get(), &AutoBidTrigger::bidFired, [&](const QString &item) {
            current = byItem.value(item, -1);
            if (current >= 0)
                bids[current].fired = QDateTime::currentDateTimeUtc();
            sinceFire.start();
        });
    QObject::connect(
        program.parts().bidRunner.get(), &BidRunner::bidProgressed, [&](const BidRecord &record) {
            if (current < 0 || byItem.value(record.item) != current)
                return;
            if (record.bidFormAt.isValid() && bids[current].formMs < 0)
                bids[current].formMs = sinceFire.elapsed();
            if (record.signInAt.isValid() && bids[current].signInMs < 0)
                bids[current].signInMs = sinceFire.elapsed();
        });
    // The site's side: when each bid was accepted, by the simulator's own record of it.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (current < 0 || bids[current].acceptedMs >= 0)
            return;
        Bid &bid = bids[current];
        remote.run([&] {
            const std::optional<sim::ItemSnapshot> item = remote.sim().house().snapshot(bid.item);
            for (const sim::Bid &placed : item ? item->bids : QList<sim::Bid> {}) {
                if (placed.bidder == u"buyer") {
                    bid.acceptedMs = bid.fired.msecsTo(placed.placedAt);
                    bid.beforeEnd = placed.placedAt < bid.end;
                }
            }
        });
    });
    poll.start();
    const QDateTime lastEnd = bids.last().end.addSecs(3);
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (QDateTime::currentDateTimeUtc() > lastEnd)
            program.exitProgram();
    });
    done.start(200);
    app.exec();

    std::printf("snipe_bench: %lld automatic bids, %d per lead, against the simulator on loopback\n",
        qint64(bids.size()), perLead);
    std::printf("%-12s %4s %12s %8s %8s %9s %s\n", "item", "lead", "fire after", "form", "sign-in",
        "accepted", "placed before the end");
    for (const Bid &bid : std::as_const(bids)) {
        const qint64 after = bid.fired.isValid() ? bid.end.addSecs(-bid.lead).msecsTo(bid.fired) : -1;
        std::printf("%-12lld %3ds %9lld ms %5lld ms %5lld ms %6lld ms %s\n", bid.item, bid.lead, after,
            bid.formMs, bid.signInMs, bid.acceptedMs, bid.beforeEnd ? "yes" : "NO");
    }
    for (int lead : kLeads) {
        int placed = 0;
        int count = 0;
        QList<qint64> fireAfterBoundary;
        QList<qint64> form;
        QList<qint64> signIn;
        QList<qint64> accepted;
        for (int i = 0; i < bids.size(); ++i) {
            const Bid &bid = bids[i];
            if (bid.lead != lead)
                continue;
            ++count;
            placed += bid.beforeEnd ? 1 : 0;
            if (bid.fired.isValid())
                fireAfterBoundary.append(bid.end.addSecs(-lead).msecsTo(bid.fired));
            if (i == 0)
                continue; // the cold start is shown below
            if (bid.formMs >= 0)
                form.append(bid.formMs);
            if (bid.signInMs >= 0)
                signIn.append(bid.signInMs);
            if (bid.acceptedMs >= 0)
                accepted.append(bid.acceptedMs);
        }
        std::printf("lead %2d s: %d of %d placed before the end\n", lead, placed, count);
        std::printf("  fire after the lead's second: %s\n", qPrintable(figures(fireAfterBoundary)));
        std::printf("  warm: fire -> bid form submitted %s; -> sign-in submitted %s; -> accepted %s\n",
            qPrintable(figures(form)), qPrintable(figures(signIn)), qPrintable(figures(accepted)));
    }
    const Bid &cold = bids.first();
    std::printf("cold (first bid, web engine starting): form %lld ms, sign-in %lld ms, accepted %lld ms\n",
        cold.formMs, cold.signInMs, cold.acceptedMs);
    return 0;
}
