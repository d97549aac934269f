#include "engine/ItemPageScanner.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string.h> // memmem

#include "engine/ItemPageParser.h"

namespace th {

namespace {

constexpr int kMarkerCount = int(PageMarker::Count);

// Written in lower case: they are looked for in the lower-cased copy of the page.
constexpr std::array<QByteArrayView, kMarkerCount> kMarkerTexts = {
    "auction has ended",
    "not found",
    "auction is closed",
    "pageviewitemfixedprice",
    "current bid",
    "<b>",
    "</b>",
    "><b>us",
    "<title>",
    " - ",
    "</title>",
    "# of bids",
    "ends",
    " ",
    ")",
    "high bidder",
    "<a href=",
    "userid=",
    "&",
    "(reserve",
    ">buy it now<",
    "starting bid",
    ">quantity<",
    ">quantity",
    "quantity\r\n</font>",
    "\r\nquantity\r\n",
    "time left",
    "location",
    "country/region",
    "country",
    "started",
    "size=\"2\">",
    "</font>",
    "seller (rating)",
    "\">",
    "(",
    "bid increment",
};

constexpr bool everyMarkerWritten()
{
    for (QByteArrayView text : kMarkerTexts)
        if (text.size() == 0)
            return false;
    return true;
}
static_assert(everyMarkerWritten(), "one text per PageMarker, in the enumeration's order");

QByteArrayView markerText(PageMarker marker)
{
    return kMarkerTexts[std::size_t(marker)];
}

// Eight bytes at a time: a byte is a capital when it is ASCII and lies between 'A' and 'Z';
// adding 0x20 to exactly those bytes lower-cases them without touching any other.
inline std::uint64_t lowerWord(std::uint64_t word)
{
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    const std::uint64_t low7 = word & (0x7F * ones);
    const std::uint64_t aboveZ = low7 + (0x7F - 'Z') * ones; // high bit set where > 'Z'
    const std::uint64_t fromA = low7 + (0x80 - 'A') * ones; // high bit set where >= 'A'
    const std::uint64_t capitals = (fromA ^ aboveZ) & ~word & (0x80 * ones);
    return word | (capitals >> 2);
}

} // namespace

QByteArray asciiLowerCopy(QByteArrayView text)
{
    QByteArray lower(text.size(), Qt::Uninitialized);
    const char *from = text.data();
    char *to = lower.data();
    const qsizetype size = text.size();
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, from + i, 8);
        word = lowerWord(word);
        std::memcpy(to + i, &word, 8);
    }
    for (; i < size; ++i) {
        const char c = from[i];
        to[i] = (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
    }
    return lower;
}

ItemPageScanner::ItemPageScanner(QByteArrayView page)
    : m_page(page)
    , m_lower(asciiLowerCopy(page))
{
}

qsizetype ItemPageScanner::length(PageMarker marker)
{
    return markerText(marker).size();
}

qsizetype ItemPageScanner::find(PageMarker marker, qsizetype from) const
{
    Q_ASSERT(from >= 1);
    const qsizetype size = m_lower.size();
    const qsizetype start = from - 1;
    const QByteArrayView text = markerText(marker);
    if (start > size - text.size())
        return 0;
    // The C library's searches are vectorised; on a page without the marker (the common case for
    // the status notices) they cross it several times faster than a skip-table search.
    const char *base = m_lower.constData();
    const void *hit = text.size() == 1
        ? std::memchr(base + start, text.front(), std::size_t(size - start))
        : ::memmem(base + start, std::size_t(size - start), text.data(), std::size_t(text.size()));
    return hit ? static_cast<const char *>(hit) - base + 1 : 0;
}

bool ItemPageScanner::cut(qsizetype cursor, PageMarker closing, QByteArray &field) const
{
    const qsizetype end = find(closing, cursor);
    if (end == 0 || end < cursor)
        return false;
    field = CleanText(m_page.sliced(cursor - 1, end - cursor));
    return true;
}

qsizetype ItemPageScanner::boldElement(PageMarker keyword, qsizetype from, QByteArray &field) const
{
    qsizetype cursor = pass(keyword, from);
    if (!passed(cursor, keyword)) {
        field.clear();
        return cursor;
    }
    cursor = pass(PageMarker::BoldOpen, cursor);
    if (!passed(cursor, PageMarker::BoldOpen)) {
        field.clear();
        return cursor;
    }
    cut(cursor, PageMarker::BoldClose, field);
    return cursor;
}

} // namespace th
