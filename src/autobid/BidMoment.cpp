#include "autobid/BidMoment.h"

namespace th {

BidMomentCall callBidMoment(qint64 secondsLeft, std::optional<qint64> secondsLeftBefore, int leadSeconds)
{
    if (secondsLeft > leadSeconds)
        return BidMomentCall::NotYet;
    if (secondsLeft >= 1)
        return BidMomentCall::FireNow;
    // Still running at the last look, ended now: the bid's moment fell between the two.
    return secondsLeftBefore && *secondsLeftBefore >= 1 ? BidMomentCall::Missed : BidMomentCall::Over;
}

BidMomentCall BidMomentWatch::check(const QString &item, qint64 secondsLeft, int leadSeconds)
{
    const auto found = m_secondsLeft.constFind(item);
    const std::optional<qint64> before
        = found == m_secondsLeft.constEnd() ? std::nullopt : std::optional<qint64>(*found);
    m_secondsLeft.insert(item, secondsLeft);
    return callBidMoment(secondsLeft, before, leadSeconds);
}

} // namespace th
