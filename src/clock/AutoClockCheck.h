#pragma once

#include <functional>

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include "clock/DaytimeQuery.h"
#include "common/HostPort.h"

namespace th {

class ClockSync;
struct Error;

// The automatic clock check: every tick of tmrAutoChkTimeSync counts while AutoAdjustTime
// is on; from the 60th tick on (ten minutes) each tick asks the time server on wskAtom and
// the reply corrects the PC clock at once. It never opens a window: a correction that
// fails is announced once per cause for the run (correctionFailureToReport), and the
// offset goes on being measured.
class AutoClockCheck final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AutoClockCheck)

public:
    static constexpr int kTicksBeforeFirstQuery = 60;
    static constexpr int kTickMsecs = 10000;

    // The timer runs from the start; ticks do nothing until attach().
    explicit AutoClockCheck(QObject *parent = nullptr);

    // `autoAdjustTime` reads the setting at every tick, so a change applies at once.
    void attach(ClockSync &clockSync, std::function<bool()> autoAdjustTime);
    // The server the check asks: entry 1 of the time-server table.
    void setServer(const HostPort &server) { m_server = server; }
    HostPort server() const { return m_server; }

    // One tick of the check; also run on demand ("Test Clock Adj") and before a bid.
    void RunAutoClockCheck();
    // For a bid under way: the check pauses, and later counts its ten minutes anew.
    void pause();
    void restartCounting();

    QTimer tmrAutoChkTimeSync;
    qint32 lngAutoChkTimeSyncCnt = 0;
    DaytimeQuery wskAtom;

Q_SIGNALS:
    // A correction failed for a reason not yet announced in this run; `message` says why.
    void correctionFailureToReport(const QString &message);

private:
    void onCorrectionRefused(const Error &error);

    ClockSync *m_clockSync = nullptr;
    std::function<bool()> m_autoAdjustTime;
    HostPort m_server;
    QSet<QString> m_reportedCauses;
};

} // namespace th
