#include "autobid/BidRecordStore.h"

#include "autobid/AutoBidLog.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

namespace th {

namespace {

// The values of an item key that hold its last bid. Times keep their milliseconds: the
// latencies of a bid are read from them.
namespace LastBid {
inline constexpr char16_t Title[] = u"LastBidTitle";
inline constexpr char16_t Kind[] = u"LastBidKind";
inline constexpr char16_t Amount[] = u"LastBidAmount";
inline constexpr char16_t Quantity[] = u"LastBidQuantity";
inline constexpr char16_t Lead[] = u"LastBidLead";
inline constexpr char16_t Group[] = u"LastBidGroup";
inline constexpr char16_t FiredAt[] = u"LastBidFiredAt";
inline constexpr char16_t BidFormAt[] = u"LastBidFormAt";
inline constexpr char16_t SignInAt[] = u"LastBidSignInAt";
inline constexpr char16_t AnswerAt[] = u"LastBidAnswerAt";
inline constexpr char16_t Outcome[] = u"LastBidOutcome";
inline constexpr char16_t Message[] = u"LastBidMessage";
} // namespace LastBid

constexpr auto kTimeFormat = Qt::ISODateWithMs;

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(kTimeFormat) : QString();
}

RegValue text(const char16_t *name, const QString &value)
{
    return RegValue::fromString(QString::fromUtf16(name), value);
}

} // namespace

void RegistryBidRecordStore::saveBidRecord(const BidRecord &record)
{
    const QString key = itemKeyPath(record.item);
    if (!record.outcome || !m_store.keyExists(RegRoot::CurrentUser, key))
        return;
    const Result<void> written = m_store.setValues(RegRoot::CurrentUser, key,
        {
            text(LastBid::Title, record.title),
            text(LastBid::Kind, bidKindText(record.kind)),
            text(LastBid::Amount, record.amount.toText()),
            text(LastBid::Quantity, QString::number(record.quantity)),
            text(LastBid::Lead, QString::number(record.leadSeconds)),
            text(LastBid::Group, record.group),
            text(LastBid::FiredAt, timeText(record.firedAt)),
            text(LastBid::BidFormAt, timeText(record.bidFormAt)),
            text(LastBid::SignInAt, timeText(record.signInAt)),
            text(LastBid::AnswerAt, timeText(record.answerAt)),
            text(LastBid::Outcome, bidOutcomeText(*record.outcome)),
            text(LastBid::Message, record.message),
        });
    // The outcome is still told and shown; only its record for later runs is lost.
    if (!written)
        qCWarning(lcAutoBid) << "The outcome of the bid on" << record.item
                             << "was not stored:" << written.errorMessage();
}

QList<BidRecord> RegistryBidRecordStore::loadBidRecords() const
{
    QList<BidRecord> records;
    for (const QString &item : readWatchList(m_store)) {
        const QString key = itemKeyPath(item);
        const auto read = [&](const char16_t *name) {
            const std::optional<RegValue> value
                = m_store.value(RegRoot::CurrentUser, key, QString::fromUtf16(name));
            return value && value->isStringKind() ? value->text() : QString();
        };
        const std::optional<BidOutcome> outcome = bidOutcomeFromText(read(LastBid::Outcome));
        const std::optional<BidKind> kind = bidKindFromText(read(LastBid::Kind));
        if (!outcome || !kind)
            continue;
        BidRecord record;
        record.item = item;
        record.title = read(LastBid::Title);
        record.kind = *kind;
        record.amount = Money::fromText(read(LastBid::Amount));
        record.quantity = read(LastBid::Quantity).toInt();
        record.leadSeconds = read(LastBid::Lead).toInt();
        record.group = read(LastBid::Group);
        record.firedAt = QDateTime::fromString(read(LastBid::FiredAt), kTimeFormat);
        record.bidFormAt = QDateTime::fromString(read(LastBid::BidFormAt), kTimeFormat);
        record.signInAt = QDateTime::fromString(read(LastBid::SignInAt), kTimeFormat);
        record.answerAt = QDateTime::fromString(read(LastBid::AnswerAt), kTimeFormat);
        record.outcome = outcome;
        record.message = read(LastBid::Message);
        records.append(record);
    }
    return records;
}

} // namespace th
