#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace th {

// The way a later start reaches the running program of the same data folder: a local
// socket beside the single-instance lock. The running program listens; a start with
// "/show" connects, says "show" and ends without waiting for anything else.
class ShowRequestChannel final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShowRequestChannel)

public:
    explicit ShowRequestChannel(QString socketPath, QObject *parent = nullptr);
    ~ShowRequestChannel() override;

    // Starts listening; a socket file left by a program that died is replaced. Only the
    // holder of the single-instance lock may call it. False when the socket cannot be made.
    bool listen();
    bool isListening() const;

    // Asks the program listening at `socketPath` to show its main window. Waits at most
    // `timeoutMsecs` for the connection and the request to go out, never for an answer, so
    // a running program that is busy cannot hold the caller. False when nobody listens.
    static bool sendShowRequest(const QString &socketPath, int timeoutMsecs = 2000);

    QString socketPath() const { return m_socketPath; }

Q_SIGNALS:
    // A later start asked for the main window.
    void showRequested();

private:
    void acceptConnections();

    QString m_socketPath;
    QLocalServer *m_server = nullptr;
};

} // namespace th
