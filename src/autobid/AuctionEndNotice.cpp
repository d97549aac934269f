#include "autobid/AuctionEndNotice.h"

namespace th {

std::optional<QString> AuctionEndNotice::check(const AuctionEnd &end)
{
    if (!end.ended || m_told.contains(end.item))
        return std::nullopt;
    m_told.insert(end.item);
    const QString which = end.item + (end.title.isEmpty() ? QString() : u" (" + end.title + u')');
    const QString named = u"item " + which;
    if (end.won)
        return u"You won " + named + u" for " + end.finalPrice + u'.';
    if (!end.notPlaced.isEmpty())
        return u"Item " + which + u" ended at " + end.finalPrice + u" without the automatic bid: "
            + end.notPlaced + u'.';
    return u"The automatic bid lost " + named + u" to a higher bid; it ended at " + end.finalPrice + u'.';
}

} // namespace th
