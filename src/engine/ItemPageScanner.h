#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace th {

// The fixed strings the item page reader looks for, in the order of their first use. Each is
// matched without regard to capitals.
enum class PageMarker : int {
    AuctionHasEnded, // "auction has ended"
    NotFound, // "not found"
    AuctionIsClosed, // "auction is closed"
    FixedPricePage, // "pageviewitemfixedprice"
    CurrentBid, // "current bid"
    BoldOpen, // "<b>"
    BoldClose, // "</b>"
    BoldUsPrice, // "><b>us"
    TitleOpen, // "<title>"
    TitleSeparator, // " - "
    TitleClose, // "</title>"
    BidCount, // "# of bids"
    Ends, // "ends"
    Blank, // " "
    ParenClose, // ")"
    HighBidder, // "high bidder"
    LinkOpen, // "<a href="
    UserId, // "userid="
    Ampersand, // "&"
    ReserveOpen, // "(reserve"
    BuyItNow, // ">buy it now<"
    StartingBid, // "starting bid"
    QuantityCell, // ">quantity<"
    QuantityTagEnd, // ">quantity"
    QuantityFontLine, // "quantity" CR LF "</font>"
    QuantityLine, // CR LF "quantity" CR LF
    TimeLeft, // "time left"
    Location, // "location"
    CountryRegion, // "country/region"
    Country, // "country"
    Started, // "started"
    FontSize2, // "size="2">"
    FontClose, // "</font>"
    SellerRating, // "seller (rating)"
    LinkEnd, // "">"
    ParenOpen, // "("
    BidIncrement, // "bid increment"
    Count
};

// One page prepared for the reader's searches: the page as given and one lower-cased copy of
// it, made once. Lower-casing touches the ASCII letters only, one byte for one byte, so every
// position in the copy is the same position in the page; the markers are all ASCII.
//
// Positions are 1-based character positions, 0 meaning "not found", because the reader's
// rules are written that way: passing a missing marker leaves the cursor at the marker's
// length, and that small cursor is how absence shows (and where an unchecked search resumes).
class ItemPageScanner final {
public:
    explicit ItemPageScanner(QByteArrayView page);

    // Position of the first match of `marker` at or after position `from`, or 0.
    qsizetype find(PageMarker marker, qsizetype from) const;

    // The cursor just behind the first match at or after `from`: the match position plus the
    // marker's length, which is the length alone when the marker is absent.
    qsizetype pass(PageMarker marker, qsizetype from) const { return find(marker, from) + length(marker); }

    // Whether a cursor returned by pass() stands behind a real match.
    static bool passed(qsizetype cursor, PageMarker marker) { return cursor > length(marker); }

    bool contains(PageMarker marker) const { return find(marker, 1) != 0; }

    // Cuts the page text from `cursor` up to the first match of `closing` at or after it and
    // tidies it with CleanText. Without such a match nothing is cut and `field` is left alone.
    // Returns whether a value was cut.
    bool cut(qsizetype cursor, PageMarker closing, QByteArray &field) const;

    // The bold element after `keyword`, searched from `from`: the text between the next "<b>"
    // and its "</b>". A missing keyword or "<b>" empties `field`. Returns the cursor as the
    // search left it (just behind the "<b>" when both were found).
    qsizetype boldElement(PageMarker keyword, qsizetype from, QByteArray &field) const;

    static qsizetype length(PageMarker marker);

private:
    QByteArrayView m_page;
    QByteArray m_lower;
};

// A copy of `text` with the ASCII capitals lower-cased and every other byte as it stands.
QByteArray asciiLowerCopy(QByteArrayView text);

} // namespace th
