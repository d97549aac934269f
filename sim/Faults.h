#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>

namespace th::sim {

// A way for the site to misbehave, on demand.
struct Fault {
    enum class Mode {
        None, // answer normally (a latency may still apply)
        Empty, // close without sending a byte
        NeverClose, // send the answer, then keep the connection open
        Silent, // read the request, send nothing, keep the connection open
        Drip, // send the answer in small pieces over time, then close
        Oversize, // send an answer padded to oversizeBytes, then close
        Refuse, // drop the connection at once, without reading the request
        KeepAlive, // send the answer with its length, then keep the connection open
        Chunked, // send the answer in chunks ending with the last chunk, keep the connection open
        Endless, // send the answer, then filler for ever, without a length; never close
        BadChunk, // a chunked answer whose second size line is badChunkLine; keep the connection open
        ServerError, // answer with the status `status` and a short error page, then close
        ShortBody, // announce a Content-Length larger than the body, keep the connection open
        KeepAliveNoLength, // say keep-alive, announce no length, keep the connection open
        MotorsLoop, // answer every item address, the motors one too, with the pointer to the motors one
    };

    Mode mode = Mode::None;
    // Milliseconds to wait after reading the request, before doing anything else.
    int latencyMs = 0;
    int dripBytes = 64;
    int dripIntervalMs = 20;
    qint64 oversizeBytes = 6 * 1024 * 1024;
    // Chunked: the size of every chunk (0: a few uneven sizes).
    int chunkBytes = 0;
    QString badChunkLine = QStringLiteral("zz");
    int status = 503;
    // How many requests the fault spoils before it clears itself; -1 for all of them.
    int count = -1;

    static QString modeName(Mode mode);
    static std::optional<Mode> modeFromName(const QString &name);
};

bool faultFromJson(const QJsonObject &object, Fault *fault, QString *error);
QJsonObject faultToJson(const Fault &fault);

// The faults in force: one per item, and one for every request. An item's own fault comes
// before the one for all.
class FaultPlan final {
public:
    void setForItem(qint64 item, const Fault &fault);
    void setForAll(const Fault &fault);
    void clearItem(qint64 item) { m_perItem.remove(item); }
    void clear();

    // The fault for a request about this item (0: no item), counting one use of it.
    std::optional<Fault> take(qint64 item);
    // Whether a request about the item would be refused, without counting a use.
    bool refuses(qint64 item) const;
    // A fault for all that refuses connections before anything is read.
    bool refusesEveryone() const;

    const QMap<qint64, Fault> &perItem() const { return m_perItem; }
    const std::optional<Fault> &forAll() const { return m_forAll; }

private:
    QMap<qint64, Fault> m_perItem;
    std::optional<Fault> m_forAll;
};

} // namespace th::sim
