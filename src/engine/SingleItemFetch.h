#pragma once

#include <functional>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QList>
#include <QString>

#include "common/Result.h"

namespace th {

// The single-item update's fetch: one HTTP GET of a page, waited for on the spot with
// nothing else running meanwhile, and bounded by one deadline for the whole exchange, the
// look-up of the host's address included. The answer's headers are stripped and a chunked
// body is joined; a short answer pointing to the motors section is followed once. A time-out,
// a refused connection, an answer that is not HTTP, a broken chunked body and the server's
// failure (5xx) are errors.
class SingleItemFetch final {
public:
    static constexpr int kDeadlineMsecs = 30000;

    // Finds the addresses of a host name; it may take as long as it likes; the fetch stops
    // waiting for it at its deadline.
    using Resolver = std::function<QList<QHostAddress>(const QString &host)>;

    SingleItemFetch();

    // `host` and `port` are where to connect; `path` includes the query.
    Result<QByteArray> get(const QString &host, quint16 port, const QString &hostHeader, const QString &path,
        int deadlineMsecs = kDeadlineMsecs);

    // True while a fetch waits for its answer.
    bool busy() const { return m_busy; }

    // Tests replace the system's name look-up.
    void setResolver(Resolver resolver) { m_resolver = std::move(resolver); }

private:
    // One GET: the body of the answer.
    Result<QByteArray> fetch(const QString &host, quint16 port, const QString &hostHeader,
        const QString &path, const QDeadlineTimer &deadline);
    // The raw answer to `request`.
    Result<QByteArray> exchange(
        const QString &host, quint16 port, const QByteArray &request, const QDeadlineTimer &deadline);

    bool m_busy = false;
    Resolver m_resolver;
};

} // namespace th
