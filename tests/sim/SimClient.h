#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// A bare HTTP client for the simulator's tests: raw bytes out, raw bytes back, over a
// loopback socket, waiting on the event loop (never sleeping).
namespace th::test {

struct Exchange {
    bool connected = false;
    // The server closed the connection (as opposed to the wait running out).
    bool closedByServer = false;
    // The connection was refused by the system.
    bool refused = false;
    QByteArray response;
    // How many pieces the answer arrived in.
    int reads = 0;
};

// Connects to 127.0.0.1:port, sends the bytes, and collects the answer until the server
// closes the connection or the wait ends.
Exchange exchange(quint16 port, const QByteArray &request, int waitMs = 10000);

// The request of the program's page engines, byte for byte: a GET whose query is repeated
// as its body, Host naming the main host with a trailing blank.
QByteArray engineRequest(
    const QByteArray &path, const QByteArray &query, const QByteArray &mainHost = "cgi.ebay.com");
// A browser-like form post.
QByteArray formPost(const QByteArray &path, const QList<QPair<QByteArray, QByteArray>> &fields);
QByteArray plainGet(const QByteArray &target);

QByteArray bodyOf(const QByteArray &response);
int statusOf(const QByteArray &response);

// The forms of a page, in order: each with its action and its fields' names and values.
struct PageForm {
    QString action;
    QString method;
    QList<QPair<QString, QString>> fields;
    QString value(const QString &name) const;
    bool has(const QString &name) const;
};
QList<PageForm> formsOf(const QByteArray &page);

} // namespace th::test
