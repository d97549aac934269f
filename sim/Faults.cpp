#include "sim/Faults.h"

#include <array>
#include <utility>

namespace th::sim {

namespace {

constexpr std::array<std::pair<Fault::Mode, const char *>, 15> kModeNames = { {
    { Fault::Mode::None, "none" },
    { Fault::Mode::Empty, "empty" },
    { Fault::Mode::NeverClose, "never-close" },
    { Fault::Mode::Silent, "silent" },
    { Fault::Mode::Drip, "drip" },
    { Fault::Mode::Oversize, "oversize" },
    { Fault::Mode::Refuse, "refuse" },
    { Fault::Mode::KeepAlive, "keep-alive" },
    { Fault::Mode::Chunked, "chunked" },
    { Fault::Mode::Endless, "endless" },
    { Fault::Mode::BadChunk, "bad-chunk" },
    { Fault::Mode::ServerError, "server-error" },
    { Fault::Mode::ShortBody, "short-body" },
    { Fault::Mode::KeepAliveNoLength, "keep-alive-no-length" },
    { Fault::Mode::MotorsLoop, "motors-loop" },
} };

} // namespace

QString Fault::modeName(Mode mode)
{
    for (const auto &entry : kModeNames) {
        if (entry.first == mode)
            return QString::fromLatin1(entry.second);
    }
    return QString();
}

std::optional<Fault::Mode> Fault::modeFromName(const QString &name)
{
    for (const auto &entry : kModeNames) {
        if (name.compare(QLatin1String(entry.second), Qt::CaseInsensitive) == 0)
            return entry.first;
    }
    return std::nullopt;
}

bool faultFromJson(const QJsonObject &object, Fault *fault, QString *error)
{
    Fault result;
    if (object.contains(QLatin1String("mode"))) {
        const std::optional<Fault::Mode> mode
            = Fault::modeFromName(object.value(QLatin1String("mode")).toString());
        if (!mode) {
            *error = QStringLiteral("unknown fault mode");
            return false;
        }
        result.mode = *mode;
    }
    result.latencyMs = object.value(QLatin1String("latencyMs")).toInt(0);
    result.dripBytes = object.value(QLatin1String("dripBytes")).toInt(result.dripBytes);
    result.dripIntervalMs = object.value(QLatin1String("dripIntervalMs")).toInt(result.dripIntervalMs);
    result.oversizeBytes
        = qint64(object.value(QLatin1String("oversizeBytes")).toDouble(double(result.oversizeBytes)));
    result.count = object.value(QLatin1String("count")).toInt(-1);
    result.chunkBytes = object.value(QLatin1String("chunkBytes")).toInt(result.chunkBytes);
    result.badChunkLine = object.value(QLatin1String("badChunkLine")).toString(result.badChunkLine);
    result.status = object.value(QLatin1String("status")).toInt(result.status);
    if (result.latencyMs < 0 || result.dripBytes < 1 || result.dripIntervalMs < 0 || result.oversizeBytes < 0
        || result.chunkBytes < 0 || result.status < 100 || result.status > 999
        || result.oversizeBytes > qint64(512) * 1024 * 1024 || result.count == 0 || result.count < -1) {
        *error = QStringLiteral("fault values out of range");
        return false;
    }
    *fault = result;
    return true;
}

QJsonObject faultToJson(const Fault &fault)
{
    QJsonObject object;
    object.insert(QStringLiteral("mode"), Fault::modeName(fault.mode));
    object.insert(QStringLiteral("latencyMs"), fault.latencyMs);
    object.insert(QStringLiteral("dripBytes"), fault.dripBytes);
    object.insert(QStringLiteral("dripIntervalMs"), fault.dripIntervalMs);
    object.insert(QStringLiteral("oversizeBytes"), double(fault.oversizeBytes));
    object.insert(QStringLiteral("count"), fault.count);
    object.insert(QStringLiteral("chunkBytes"), fault.chunkBytes);
    object.insert(QStringLiteral("badChunkLine"), fault.badChunkLine);
    object.insert(QStringLiteral("status"), fault.status);
    return object;
}

void FaultPlan::setForItem(qint64 item, const Fault &fault)
{
    m_perItem.insert(item, fault);
}

void FaultPlan::setForAll(const Fault &fault)
{
    m_forAll = fault;
}

void FaultPlan::clear()
{
    m_perItem.clear();
    m_forAll.reset();
}

std::optional<Fault> FaultPlan::take(qint64 item)
{
    auto use = [](Fault &fault) {
        const Fault taken = fault;
        if (fault.count > 0)
            --fault.count;
        return taken;
    };
    const auto it = m_perItem.find(item);
    if (item > 0 && it != m_perItem.end()) {
        const Fault taken = use(*it);
        if (it->count == 0)
            m_perItem.erase(it);
        return taken;
    }
    if (m_forAll) {
        const Fault taken = use(*m_forAll);
        if (m_forAll->count == 0)
            m_forAll.reset();
        return taken;
    }
    return std::nullopt;
}

bool FaultPlan::refuses(qint64 item) const
{
    const auto it = m_perItem.constFind(item);
    if (item > 0 && it != m_perItem.constEnd())
        return it->mode == Fault::Mode::Refuse;
    return m_forAll && m_forAll->mode == Fault::Mode::Refuse;
}

bool FaultPlan::refusesEveryone() const
{
    return m_forAll && m_forAll->mode == Fault::Mode::Refuse;
}

} // namespace th::sim
