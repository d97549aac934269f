#pragma once

#include <memory>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimeZone>

#include "FakeClock.h"
#include "FakeSeams.h"
#include "TestSupport.h"
#include "alerts/BidAnnouncement.h"
#include "clock/ClockState.h"
#include "clock/ClockSync.h"
#include "common/HostPort.h"
#include "common/Timers.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "platform/SystemTimeZoneSource.h"
#include "sim/Simulator.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

namespace th::test {

// A simulator on a thread of its own, for the fetches that wait without an event loop: an
// in-process simulator on the same thread could never answer them.
class ThreadedSimulator final {
public:
    ThreadedSimulator()
    {
        m_sim = new sim::Simulator;
        m_sim->moveToThread(&m_thread);
        m_thread.start();
    }
    ~ThreadedSimulator()
    {
        run([this] { delete m_sim; });
        m_thread.quit();
        m_thread.wait();
    }
    // Runs `work` on the simulator's thread and waits for it.
    void run(const std::function<void()> &work)
    {
        QMetaObject::invokeMethod(m_sim, work, Qt::BlockingQueuedConnection);
    }
    bool start()
    {
        bool ok = false;
        run([&] { ok = m_sim->start(); });
        return ok;
    }
    sim::Simulator &sim() { return *m_sim; }

private:
    QThread m_thread;
    sim::Simulator *m_sim = nullptr;
};

// A server on a thread of its own that answers every connection with the same bytes and
// closes: for pages the simulator would never write.
class CannedServer final {
public:
    explicit CannedServer(QByteArray answer)
    {
        m_server = new QTcpServer;
        m_server->moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            m_server,
            [this, answer] {
                QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this, answer] {
                    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
                        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, answer] {
                            socket->readAll();
                            socket->write(answer);
                            socket->disconnectFromHost();
                        });
                        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                    }
                });
                m_server->listen(QHostAddress::LocalHost);
                m_port = m_server->serverPort();
            },
            Qt::BlockingQueuedConnection);
    }
    ~CannedServer()
    {
        QMetaObject::invokeMethod(
            m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    HostPort site() const { return *parseHostPort(QStringLiteral("127.0.0.1:%1").arg(m_port), 80); }

private:
    QThread m_thread;
    QTcpServer *m_server = nullptr;
    quint16 m_port = 0;
};

// The update engine on its own, against the simulator on loopback: a store, a list, the
// run-time records, the settings and fake seams, with the engine's signals recorded.
struct EngineFixture {
    QTemporaryDir dir;
    sim::Simulator sim;
    std::unique_ptr<RegistryStore> store;
    WatchListModel model;
    WatchItems records;
    AppSettings settings;
    FakeClock clock;
    FakeTimeZoneSource zones;
    FakeClockSetter setter;
    ClockState clockState;
    std::unique_ptr<ClockSync> clockSync;
    QTimer tmrChkItemAlert;
    QTimer tmrChkAutoBid;
    std::unique_ptr<UpdateEngine> engine;
    QMap<int, QString> panels;
    QMap<int, QString> labels;
    QList<int> notified; // windows a notifier would show
    QList<int> sounded; // sounds a notifier would play
    QStringList failures;
    QString caption;
    int selectedRow = -1;
    // Runs inside the announcement of a new bid, where the real program shows a modal window.
    std::function<void(int row)> whileAnnouncing;

    bool setUp()
    {
        if (!dir.isValid() || !sim.start())
            return false;
        store = openTestStore(dir.path());
        if (!store)
            return false;
        clock.set(sim.clock().now().toLocalTime());
        zones.info = SystemTimeZoneSource::informationFor(QTimeZone::systemTimeZone(), clock.now());
        clockSync = std::make_unique<ClockSync>(clockState, clock, zones, setter);
        settings.AutoUpdateEvery = 5;
        settings.gstrNotifyPlaySoundPath = QStringLiteral("notify.wav");
        tmrChkItemAlert.setInterval(5000);
        tmrChkAutoBid.setInterval(1000);
        keepRecordsWithRows(model, records, &model);
        engine = std::make_unique<UpdateEngine>(
            UpdateEngine::Context { model, records, *store, settings, *clockSync, clock });
        QObject::connect(
            engine.get(), &UpdateEngine::checksQuieted, engine.get(), [this] { tmrChkItemAlert.stop(); });
        QObject::connect(engine.get(), &UpdateEngine::checksResumed, engine.get(),
            [this] { enableTimer(tmrChkItemAlert); });
        QObject::connect(engine.get(), &UpdateEngine::firstPassFinished, engine.get(),
            [this] { enableTimer(tmrChkAutoBid); });
        engine->setHosts(*parseHostPort(sim.siteHostPort(), 80), *parseHostPort(u"www.ebay.com", 80));
        engine->setSingleFetchDeadline(1500);
        QObject::connect(engine.get(), &UpdateEngine::statusChanged, engine.get(),
            [this](int panel, const QString &text) { panels[panel] = text; });
        QObject::connect(engine.get(), &UpdateEngine::engineLabelChanged, engine.get(),
            [this](int index, const QString &text) { labels[index] = text; });
        QObject::connect(engine.get(), &UpdateEngine::newBidAnnounced, engine.get(), [this](int row) {
            const BidAnnouncement wanted = BidAnnouncement::from(settings);
            if (wanted.playSound)
                sounded.append(row);
            if (wanted.showWindow && engine->gblnNotifyReady())
                notified.append(row);
            if (whileAnnouncing)
                whileAnnouncing(row);
        });
        QObject::connect(engine.get(), &UpdateEngine::applyFailed, engine.get(),
            [this](const QString &message) { failures.append(message); });
        QObject::connect(engine.get(), &UpdateEngine::countdownCaptionChanged, engine.get(),
            [this](const QString &text) { caption = text; });
        QObject::connect(
            engine.get(), &UpdateEngine::reSortRequested, engine.get(), [this] { model.sortByEndDate(); });
        model.ensureRuntimeColumns();
        return true;
    }

    // An auction on the simulator, watched: in the store and in the list.
    sim::Listing watch(qint64 number, qint64 endsInSeconds, const QList<sim::Bid> &bids = {})
    {
        sim::Listing listing;
        listing.number = number;
        listing.title = QStringLiteral("Brass ship lantern no. %1").arg(number % 1000);
        listing.startPrice = 1000;
        listing.reservePrice = 2500;
        listing.buyItNowPrice = 9900;
        listing.endTime = sim.clock().now().addSecs(endsInSeconds);
        QString error;
        if (!sim.house().addItem(listing, &error, bids))
            qWarning("%s", qPrintable(error));
        const QString item = QString::number(number);
        SaveRegString(*store, RegRoot::CurrentUser, itemKeyPath(item), QStringLiteral("Item"), item);
        model.addRow(item);
        return listing;
    }

    // Runs an all-items pass to its end.
    bool runPass()
    {
        QSignalSpy finished(engine.get(), &UpdateEngine::passFinished);
        engine->subActive2();
        return finished.wait(20000) || finished.size() > 0;
    }

    int row(qint64 number) const { return model.findRow(QString::number(number)); }
    QString cell(qint64 number, int subItem) const { return model.subItem(row(number), subItem); }
};

} // namespace th::test
