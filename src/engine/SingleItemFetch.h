#pragma once

#include <QByteArray>
#include <QString>

#include "common/Result.h"

namespace th {

// The single-item update's fetch: one HTTP GET of a page, waited for on the spot with
// nothing else running meanwhile, and bounded by one deadline for the whole exchange. The
// answer's headers are stripped and a chunked body is joined. A time-out, a refused
// connection or an answer that is not HTTP is an error.
class SingleItemFetch final {
public:
    static constexpr int kDeadlineMsecs = 30000;

    // `host` and `port` are where to connect; `path` includes the query.
    Result<QByteArray> get(const QString &host, quint16 port, const QString &hostHeader, const QString &path,
        int deadlineMsecs = kDeadlineMsecs);

    // True while a fetch waits for its answer.
    bool busy() const { return m_busy; }

    // The body of a raw HTTP answer (status line and headers removed, chunks joined).
    static Result<QByteArray> bodyOf(const QByteArray &response);

private:
    bool m_busy = false;
};

} // namespace th
