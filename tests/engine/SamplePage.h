#pragma once

#include <QByteArray>

namespace th::test {

// An invented auction item, written out as a page in the vocabulary the item page reader
// knows: the page head, style sheets and scripts, the site's navigation, the item table, a long
// description with Latin-1 characters, shipping tables and a footer, as long and as noisy as a
// real page of the time. All names are invented. The same item and seed give the same bytes.
struct SampleItem {
    enum class Kind { Auction, FixedPrice, Ended, Closed, NotFound };
    enum class QuantityLayout { Cell, OwnLine };
    enum class CountryLayout { CountryRegion, CountryTwice };

    Kind kind = Kind::Auction;
    QByteArray itemNumber = "3012345678";
    QByteArray title = "Brass Desk Lamp &amp; Green Glass Shade";
    QByteArray endsText = "Apr-10-03 18:30:00 PDT";
    QByteArray startedText = "Apr-03-03 18:30:00 PDT";
    QByteArray bidCount = "7"; // empty: the page shows no bid count row
    QByteArray currentBid = "US $12.50"; // empty: no bids yet, the page shows no current bid
    QByteArray startingBid = "US $5.00";
    QByteArray reserve; // "not met" or "met"; empty: no reserve
    QByteArray buyItNowPrice; // empty: no Buy It Now
    QByteArray quantity = "1";
    QByteArray timeLeft = "2 days 4 hours +";
    QByteArray location = "Maple Hollow, Vermont";
    QByteArray country = "United States";
    QByteArray sellerId = "brasslamp_emporium";
    QByteArray sellerRating = "412";
    QByteArray highBidderLink = "pat.quill%40example.net"; // as the link writes it; empty: none
    QByteArray bidIncrement = "US $0.50";
    QuantityLayout quantityLayout = QuantityLayout::Cell;
    CountryLayout countryLayout = CountryLayout::CountryRegion;
    bool httpHeaders = true; // the answer as the engine collects it, status line first
    bool crlf = true;
    qsizetype targetSize = 60000;
    quint32 seed = 1;
};

QByteArray writeSamplePage(const SampleItem &item);

// The bulk of a page (styles, scripts, navigation, description text) without any item data.
QByteArray writeSampleNoise(qsizetype size, quint32 seed);

} // namespace th::test
