#pragma once

#include <QDateTime>
#include <QHostAddress>
#include <QObject>

#include <functional>

class QTcpServer;
class QTcpSocket;

namespace th::sim {

// The reply of a daytime server of the national time service: a line feed, the line
// "JJJJJ YY-MM-DD HH:MM:SS TT L H msADV UTC(NIST) *", a blank and a line feed.
// `instant` is the time the server reports (UTC); `msAdvance` its advance in milliseconds.
QByteArray daytimeReply(const QDateTime &instant, double msAdvance);

// The two-digit daylight-saving code of that line: 00 in standard time, 50 in daylight time,
// and during the run-up to a change the days left (counting the day of the change as 1),
// plus 50 before the change to daylight time.
int daylightCode(const QDateTime &instant);

// A stand-in for the public time servers: answers each connection with one daytime line
// from the simulator clock moved by a chosen offset, then closes.
class DaytimeServer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DaytimeServer)

public:
    enum class Mode {
        Answer, // the line, then close
        Silent, // accept and never answer
        CloseAtOnce, // accept and close without a byte
    };

    DaytimeServer(std::function<QDateTime()> now, quint64 seed, QObject *parent = nullptr);
    ~DaytimeServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    // Stops accepting (the system refuses connections); resume() listens on the same port.
    void stop();
    bool resume();
    bool isListening() const;
    quint16 port() const { return m_port; }
    QHostAddress address() const { return m_address; }
    QString errorString() const { return m_error; }

    // Seconds the reported time is ahead of the simulator clock (negative: behind).
    void setOffsetSeconds(qint64 seconds) { m_offsetSeconds = seconds; }
    qint64 offsetSeconds() const { return m_offsetSeconds; }
    void setMode(Mode mode) { m_mode = mode; }
    // The seed of the advance figures the replies carry.
    void setSeed(quint64 seed) { m_seed = seed; }
    Mode mode() const { return m_mode; }

    // Connections accepted so far.
    int connectionsServed() const { return m_served; }
    // Drops connections kept open by the silent mode.
    void abortConnections();

Q_SIGNALS:
    void served();

private:
    void acceptPending();

    std::function<QDateTime()> m_now;
    quint64 m_seed;
    QTcpServer *m_server = nullptr;
    QHostAddress m_address;
    quint16 m_port = 0;
    QString m_error;
    qint64 m_offsetSeconds = 0;
    Mode m_mode = Mode::Answer;
    int m_served = 0;
};

} // namespace th::sim
