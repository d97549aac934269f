#include "autobid/AuctionEndNotice.h"

namespace th {

std::optional<QString> AuctionEndNotice::check(const AuctionEnd &end)
{
    if (!end.ended || m_told.contains(end.item))
        return std::nullopt;
    m_told.insert(end.item);
    const QString named = u"item " + end.item + (end.title.isEmpty() ? QString() : u" (" + end.title + u')');
    if (end.won)
        return u"You won " + named + u" for " + end.finalPrice + u'.';
    return u"The automatic bid lost " + named + u" to a higher bid; it ended at " + end.finalPrice + u'.';
}

} // namespace th
