#pragma once

#include "sim/HttpMessage.h"

#include <QJsonObject>

namespace th::sim {

class Simulator;
struct ItemSnapshot;

// The control interface over HTTP, for the demo script and the benchmarks: JSON under /sim/.
//
//   GET  /sim/state                      ports, clock, seed, speed, item count
//   GET  /sim/clock                      {"now": ISO, "mode": "manual"|"real"}
//   POST /sim/clock                      {"now": ISO} | {"advanceSeconds": n} | {"mode": ...}
//   GET  /sim/items                      every item with its state and bids
//   POST /sim/items                      an item document (catalogue form); answers the item
//   GET  /sim/items/N                    one item
//   POST /sim/items/N                    fields to change (catalogue form)
//   DELETE /sim/items/N                  the item disappears (its page says not found)
//   POST /sim/items/N/close              the seller ends the listing now
//   POST /sim/items/N/bids               {"user", "max", "quantity"}: a bid by a member
//   GET  /sim/users, POST /sim/users     members ({"id", "password", "rating"})
//   POST /sim/catalogue                  a whole catalogue document, added
//   GET  /sim/faults                     the faults in force
//   POST /sim/faults                     {"item": N | "all", "mode", "latencyMs", "dripBytes",
//                                         "dripIntervalMs", "oversizeBytes", "count",
//                                         "chunkBytes", "badChunkLine", "status"}
//   DELETE /sim/faults                   all faults cleared ({"item": N} for one)
//   POST /sim/listening                  {"site": bool, "daytime": bool}
//   GET  /sim/log, DELETE /sim/log       the raw request log (raw bytes as Latin-1 text and
//                                        base64)
//   GET  /sim/daytime, POST /sim/daytime {"offsetSeconds": n, "mode": "answer"|"silent"|"close"}
//   POST /sim/signed-in                  {"user": id} ("" signs out)
//   GET  /sim/layout, POST /sim/layout   {"layout": "known"|"changed"}: how item pages look
//   POST /sim/reset                      an empty site
class ControlApi final {
public:
    explicit ControlApi(Simulator &simulator);

    static bool isControlPath(const QByteArray &path);
    HttpResponse handle(const HttpRequest &request);

    static QJsonObject itemToJson(const ItemSnapshot &item);

private:
    HttpResponse state();
    HttpResponse clock(const HttpRequest &request, const QJsonObject &body);
    HttpResponse items(const HttpRequest &request, const QJsonObject &body);
    HttpResponse item(
        const HttpRequest &request, qint64 number, const QString &action, const QJsonObject &body);
    HttpResponse users(const HttpRequest &request, const QJsonObject &body);
    HttpResponse faults(const HttpRequest &request, const QJsonObject &body);
    HttpResponse listening(const QJsonObject &body);
    HttpResponse log(const HttpRequest &request);
    HttpResponse daytime(const HttpRequest &request, const QJsonObject &body);
    HttpResponse layout(const HttpRequest &request, const QJsonObject &body);

    Simulator &m_simulator;
};

} // namespace th::sim
