#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QTcpSocket;

namespace th::bench {

// The floor of an all-items pass: the same requests over the same number of connections, one
// item after another on each, every answer read until the server closes and then dropped.
// Nothing is kept, parsed or applied; what is left is the cost of the transfers themselves.
class FloorClient final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FloorClient)

public:
    struct Totals {
        int answers = 0; // connections the server closed after answering
        int failures = 0; // connections that ended in an error, or with no byte
        qint64 bytes = 0; // every byte of every answer
        qint64 smallest = -1; // the shortest and longest answer
        qint64 largest = 0;
    };

    // `queues` holds, per connection, the request bytes of its items in the order they are
    // fetched.
    FloorClient(
        const QString &host, quint16 port, const QList<QList<QByteArray>> &queues, QObject *parent = nullptr);
    ~FloorClient() override;

    // Starts every connection on its first item; finished() follows the last answer.
    void start();
    const Totals &totals() const { return m_totals; }

Q_SIGNALS:
    void finished();

private:
    struct Connection {
        QTcpSocket *socket = nullptr;
        QList<QByteArray> queue;
        qsizetype next = 0;
        qint64 received = 0;
    };

    void connectNext(int index);
    void drain(int index);
    void endAnswer(int index, bool failed);

    QString m_host;
    quint16 m_port = 0;
    QList<Connection> m_connections;
    int m_running = 0;
    Totals m_totals;
    // Answers are read into this and dropped.
    QByteArray m_scratch;
};

} // namespace th::bench
