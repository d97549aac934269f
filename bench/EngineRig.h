#pragma once

#include <memory>

#include <QList>
#include <QTemporaryDir>
#include <QTimer>

#include "BenchCatalogue.h"
#include "FloorClient.h"
#include "clock/ClockState.h"
#include "common/HostPort.h"
#include "config/AppSettings.h"
#include "platform/SystemClock.h"
#include "platform/SystemTimeZoneSource.h"
#include "platform/TimedatedClockSetter.h"
#include "sim/Simulator.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th {
class ClockSync;
class RegistryStore;
class UpdateEngine;
} // namespace th

namespace th::bench {

// The update engine with the program's pieces around it, wired as the application wires them
// (a store in a temporary folder, the list, the run-time records, the settings, the real clock
// and time zone), against the simulator in this process; and the plain floor client beside
// it. The clock setter is the real one and is never asked: nothing here computes an offset.
class EngineRig final {
public:
    EngineRig();
    ~EngineRig();
    EngineRig(const EngineRig &) = delete;
    EngineRig &operator=(const EngineRig &) = delete;

    // Starts the simulator with `items` items of about `answerBytes` each and a delay of
    // `latencyMs` before every answer, and watches them all.
    bool setUp(int items, int answerBytes, int latencyMs, QString *error);

    // One all-items pass, from subActive2() to passFinished(); false when it did not finish
    // within two minutes.
    bool runPass();
    // The floor's queues follow the list's order as it stands now, dealt to the connections as
    // the engine deals its rows, with the request bytes the engine sends.
    void buildFloor();
    // One run of the floor client over every item; false when it did not finish.
    bool runFloor();

    const FloorClient::Totals &floorTotals() const { return m_floor->totals(); }
    int itemCount() const { return int(m_items.size()); }
    // Rows showing their item's title and a price (not "Err.", not "Updating").
    int correctRows() const;
    // The raw requests the simulator received since the last call, sorted; the log is emptied.
    QList<QByteArray> takeLoggedRequests();

private:
    QTemporaryDir m_dir;
    sim::Simulator m_sim;
    QList<BenchItem> m_items;
    std::unique_ptr<RegistryStore> m_store;
    WatchListModel m_model;
    WatchItems m_records;
    AppSettings m_settings;
    SystemClock m_clock;
    SystemTimeZoneSource m_zones;
    TimedatedClockSetter m_setter;
    ClockState m_clockState;
    std::unique_ptr<ClockSync> m_clockSync;
    std::unique_ptr<UpdateEngine> m_engine;
    std::unique_ptr<FloorClient> m_floor;
    HostPort m_site;
    HostPort m_main;
    // What the status bar would show.
    QString m_panels[6];
};

} // namespace th::bench
