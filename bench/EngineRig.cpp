#include "EngineRig.h"

#include <algorithm>

#include <QEventLoop>

#include "clock/ClockSync.h"
#include "engine/EngineRequest.h"
#include "engine/UpdateEngine.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

namespace th::bench {

namespace {

constexpr int kRunTimeoutMs = 120000;

// Runs the event loop until `signal` of `sender` arrives, after `begin` has been called, or
// until the time-out.
template<typename Sender, typename Signal, typename Begin>
bool runUntil(Sender *sender, Signal signal, Begin begin)
{
    QEventLoop loop;
    bool arrived = false;
    QObject::connect(sender, signal, &loop, [&] {
        arrived = true;
        loop.quit();
    });
    QTimer::singleShot(kRunTimeoutMs, &loop, &QEventLoop::quit);
    begin();
    if (!arrived)
        loop.exec();
    return arrived;
}

} // namespace

EngineRig::EngineRig() = default;

EngineRig::~EngineRig()
{
    // The engine and the floor close their sockets before the simulator goes.
    m_floor.reset();
    m_engine.reset();
}

bool EngineRig::setUp(int items, int answerBytes, int latencyMs, QString *error)
{
    m_sim.clock().useRealTime();
    if (!m_dir.isValid() || !m_sim.start()) {
        *error = QStringLiteral("cannot start the simulator: %1").arg(m_sim.errorString());
        return false;
    }
    sim::Fault latency;
    latency.latencyMs = latencyMs;
    m_sim.setFaultForAll(latency);
    m_items = addBenchItems(m_sim, items, answerBytes, error);
    if (m_items.isEmpty())
        return false;
    auto opened = RegistryStore::openInFolder(m_dir.path());
    if (!opened.ok()) {
        *error = opened.errorMessage();
        return false;
    }
    m_store = std::move(opened).value();
    for (const BenchItem &item : m_items) {
        const QString text = QString::number(item.number);
        SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath(text), QStringLiteral("Item"), text);
        m_model.addRow(text);
    }
    m_model.ensureRuntimeColumns();
    m_records.resize(m_model.rowCount());
    m_clockSync = std::make_unique<ClockSync>(m_clockState, m_clock, m_zones, m_setter);
    m_engine = std::make_unique<UpdateEngine>(
        UpdateEngine::Context { m_model, m_records, *m_store, m_settings, *m_clockSync, m_clock });
    m_site = *parseHostPort(m_sim.siteHostPort(), 80);
    m_main = *parseHostPort(u"www.ebay.com", 80);
    m_engine->setHosts(m_site, m_main);
    QObject::connect(m_engine.get(), &UpdateEngine::statusChanged, m_engine.get(),
        [this](int panel, const QString &text) { m_panels[std::clamp(panel, 0, 5)] = text; });
    QObject::connect(
        m_engine.get(), &UpdateEngine::reSortRequested, m_engine.get(), [this] { m_model.sortByEndDate(); });
    buildFloor();
    return true;
}

bool EngineRig::runPass()
{
    const bool finished
        = runUntil(m_engine.get(), &UpdateEngine::passFinished, [this] { m_engine->subActive2(); });
    // The automatic update's minute counter stays quiet between the measured runs.
    m_engine->setAutomaticUpdate(false);
    return finished;
}

void EngineRig::buildFloor()
{
    QList<QList<QByteArray>> queues(UpdateEngine::kEngines);
    for (int row = 0; row < m_model.rowCount(); ++row)
        queues[row % UpdateEngine::kEngines].append(
            buildItemRequest(itemQuery(m_model.rowText(row)), false, m_main.text, m_main.text));
    m_floor = std::make_unique<FloorClient>(m_site.host, m_site.port, queues);
}

bool EngineRig::runFloor()
{
    return runUntil(m_floor.get(), &FloorClient::finished, [this] { m_floor->start(); });
}

int EngineRig::correctRows() const
{
    int correct = 0;
    for (const BenchItem &item : m_items) {
        const int row = m_model.findRow(QString::number(item.number));
        const QString price = m_model.subItem(row, WatchListModel::Price);
        if (row >= 0 && m_model.subItem(row, WatchListModel::ItemName) == item.title && !price.isEmpty()
            && price != u"Err." && !price.startsWith(u"Updating"))
            ++correct;
    }
    return correct;
}

QList<QByteArray> EngineRig::takeLoggedRequests()
{
    QList<QByteArray> requests;
    for (const sim::LoggedRequest &entry : m_sim.requestLog().entries())
        requests.append(entry.raw);
    m_sim.requestLog().clear();
    std::sort(requests.begin(), requests.end());
    return requests;
}

} // namespace th::bench
