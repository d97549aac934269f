#include "autobid/BidRecord.h"

#include <array>
#include <utility>

namespace th {

namespace {

constexpr std::array kKindNames {
    std::pair { BidKind::Automatic, u"automatic" },
    std::pair { BidKind::Real, u"real" },
    std::pair { BidKind::FillIn, u"fill-in" },
};

// The short names are also what the store keeps: they never change.
constexpr std::array kOutcomeNames {
    std::pair { BidOutcome::Placed, u"placed" },
    std::pair { BidOutcome::Outbid, u"outbid" },
    std::pair { BidOutcome::Refused, u"refused by the site" },
    std::pair { BidOutcome::SignInRefused, u"sign-in refused" },
    std::pair { BidOutcome::Unreachable, u"site unreachable" },
    std::pair { BidOutcome::PageChanged, u"page changed" },
    std::pair { BidOutcome::WindowClosed, u"window closed" },
    std::pair { BidOutcome::ItemRemoved, u"item removed" },
    std::pair { BidOutcome::TimedOut, u"timed out" },
    std::pair { BidOutcome::TargetNotAllowed, u"form target not allowed" },
    std::pair { BidOutcome::NotStarted, u"not started" },
    std::pair { BidOutcome::FilledIn, u"filled in" },
    std::pair { BidOutcome::Unknown, u"unknown" },
    std::pair { BidOutcome::HeldBack, u"held back" },
    std::pair { BidOutcome::Cancelled, u"cancelled" },
};

template<typename Names, typename Value> QString nameOf(const Names &names, Value value)
{
    for (const auto &[v, name] : names) {
        if (v == value)
            return QString::fromUtf16(name);
    }
    return {};
}

template<typename Value, typename Names> std::optional<Value> valueOf(const Names &names, QStringView text)
{
    for (const auto &[v, name] : names) {
        if (text == QStringView(name))
            return v;
    }
    return std::nullopt;
}

} // namespace

QString bidKindText(BidKind kind)
{
    return nameOf(kKindNames, kind);
}

std::optional<BidKind> bidKindFromText(QStringView text)
{
    return valueOf<BidKind>(kKindNames, text);
}

QString bidOutcomeText(BidOutcome outcome)
{
    return nameOf(kOutcomeNames, outcome);
}

std::optional<BidOutcome> bidOutcomeFromText(QStringView text)
{
    return valueOf<BidOutcome>(kOutcomeNames, text);
}

QString bidOutcomeSentence(const BidRecord &record)
{
    const QString kind = record.kind == BidKind::Automatic ? QStringLiteral("Automatic bid")
        : record.kind == BidKind::Real                     ? QStringLiteral("Real bid")
                                                           : QStringLiteral("Fill-in bid");
    QString sentence = kind + u" on item " + record.item;
    if (!record.title.isEmpty())
        sentence += u" (" + record.title + u')';
    sentence += u", " + record.amount.toText() + u" x " + QString::number(record.quantity) + u": ";
    if (!record.outcome)
        return sentence + u"under way.";
    switch (*record.outcome) {
    case BidOutcome::Placed:
        sentence += QStringLiteral("placed");
        break;
    case BidOutcome::FilledIn:
        sentence += QStringLiteral("filled in");
        break;
    case BidOutcome::Outbid:
        sentence += QStringLiteral("taken, but outbid");
        break;
    case BidOutcome::Unknown:
        sentence += QStringLiteral("not known to be placed");
        break;
    case BidOutcome::HeldBack:
    case BidOutcome::Cancelled:
        // The group's reason begins with what happened ("Held back: ...", "Cancelled: ...").
        sentence += record.message.isEmpty() ? bidOutcomeText(*record.outcome) : record.message;
        return sentence.endsWith(u'.') ? sentence : sentence + u'.';
    default:
        sentence += u"not placed: " + bidOutcomeText(*record.outcome);
        break;
    }
    if (!record.message.isEmpty())
        sentence += u": " + record.message;
    if (!sentence.endsWith(u'.'))
        sentence += u'.';
    return sentence;
}

std::optional<qint64> msecsAfterFire(const BidRecord &record, const QDateTime &step)
{
    if (!record.firedAt.isValid() || !step.isValid())
        return std::nullopt;
    return record.firedAt.msecsTo(step);
}

} // namespace th
