#include "engine/ItemPageParser.h"

#include <array>
#include <utility>

#include "engine/ItemPageScanner.h"

namespace th {

namespace {

// Where the item page puts its notices: an "auction has ended" whose following position is this
// far into the text belongs to the page's bulk (a description, a related listing), not to the
// notice at the top.
constexpr qsizetype kEndedNoticeLimit = 18000;
// The quantity label proper lies in the item table; a match whose following position is below
// this belongs to the page head (scripts, style names) and is skipped for the next candidate.
constexpr qsizetype kQuantityLabelStart = 1000;

const QByteArray kTrue = QByteArrayLiteral("True");
const QByteArray kFalse = QByteArrayLiteral("False");

using M = PageMarker;

// One parse: the page, its fields (1 to 20, slot 0 unused) and the two facts that steer it.
class ParseRun final {
public:
    explicit ParseRun(QByteArrayView page)
        : m_scan(page)
    {
    }

    ItemPageData run();

private:
    bool readStatus();
    void readPrices();
    void readTitle();
    void readEndsBidderAndReserve();
    void readBuyItNow();
    void readQuantity();
    qsizetype quantityLabelCursor(PageMarker &tried) const;
    void readTimeLeftAndLocation();
    void readCountry();
    void readSeller();
    ItemPageData result() const;

    QByteArray &field(ItemPageData::Field index) { return m_fields[std::size_t(index)]; }

    ItemPageScanner m_scan;
    std::array<QByteArray, ItemPageData::LastField + 1> m_fields;
    bool m_ended = false;
    bool m_fixedPrice = false;
};

// True when the page turned out to be a "not found" answer: nothing else is read from it.
bool ParseRun::readStatus()
{
    const qsizetype ended = m_scan.pass(M::AuctionHasEnded, 1);
    if (ItemPageScanner::passed(ended, M::AuctionHasEnded) && ended < kEndedNoticeLimit) {
        m_ended = true;
        field(ItemPageData::IsEnded) = kTrue;
        return false;
    }
    if (m_scan.contains(M::NotFound)) {
        field(ItemPageData::IsNotFound) = kTrue;
        return true;
    }
    field(ItemPageData::IsEnded) = kFalse;
    field(ItemPageData::IsNotFound) = kFalse;
    if (m_scan.contains(M::AuctionIsClosed)) {
        m_ended = true;
        field(ItemPageData::IsEnded) = kTrue;
    }
    return false;
}

void ParseRun::readPrices()
{
    m_fixedPrice = m_scan.contains(M::FixedPricePage);
    field(ItemPageData::IsFixedPrice) = m_fixedPrice ? kTrue : kFalse;

    if (!m_fixedPrice)
        m_scan.boldElement(M::CurrentBid, 1, field(ItemPageData::CurrentBid));

    // A price shown in another currency carries the converted US amount in bold right after a
    // tag: that amount stands in for the missing current bid.
    if (field(ItemPageData::CurrentBid).isEmpty()) {
        const qsizetype cursor = m_scan.pass(M::BoldUsPrice, 1);
        if (ItemPageScanner::passed(cursor, M::BoldUsPrice)) {
            QByteArray amount;
            if (m_scan.cut(cursor, M::BoldClose, amount))
                field(ItemPageData::CurrentBid) = "[US " + amount + ']';
        }
    }
}

void ParseRun::readTitle()
{
    // The page title reads "eBay item N (Ends date) - title": the item's title is what follows
    // the first separator.
    QByteArray &title = field(ItemPageData::Title);
    const qsizetype afterOpen = m_scan.pass(M::TitleOpen, 1);
    const bool opened = ItemPageScanner::passed(afterOpen, M::TitleOpen);
    const qsizetype cursor = opened ? m_scan.pass(M::TitleSeparator, afterOpen) : 0;
    if (!opened || !ItemPageScanner::passed(cursor, M::TitleSeparator)) {
        title = QByteArrayLiteral("(Info not found)");
        return;
    }
    m_scan.cut(cursor, M::TitleClose, title);
}

void ParseRun::readEndsBidderAndReserve()
{
    m_scan.boldElement(M::BidCount, 1, field(ItemPageData::BidCount));

    qsizetype cursor = m_scan.pass(M::Ends, 1);
    if (ItemPageScanner::passed(cursor, M::Ends)) {
        cursor = m_scan.pass(M::Blank, cursor);
        if (ItemPageScanner::passed(cursor, M::Blank))
            m_scan.cut(cursor, M::ParenClose, field(ItemPageData::EndsText));
    }

    cursor = m_scan.pass(M::HighBidder, 1);
    if (ItemPageScanner::passed(cursor, M::HighBidder)) {
        cursor = m_scan.pass(M::LinkOpen, cursor); // unchecked
        cursor = m_scan.pass(M::UserId, cursor);
        if (ItemPageScanner::passed(cursor, M::UserId)) {
            QByteArray &bidder = field(ItemPageData::HighBidder);
            m_scan.cut(cursor, M::Ampersand, bidder);
            bidder.replace("%40", "@");
        }
    }

    cursor = m_scan.pass(M::ReserveOpen, 1);
    if (ItemPageScanner::passed(cursor, M::ReserveOpen))
        m_scan.cut(cursor, M::ParenClose, field(ItemPageData::ReserveStatus));
}

void ParseRun::readBuyItNow()
{
    qsizetype cursor = m_scan.pass(M::BuyItNow, 1);
    if (!ItemPageScanner::passed(cursor, M::BuyItNow)) {
        field(ItemPageData::HasBuyItNow) = kFalse;
        return;
    }
    field(ItemPageData::HasBuyItNow) = kTrue;
    cursor = m_scan.pass(M::BoldOpen, cursor);
    if (ItemPageScanner::passed(cursor, M::BoldOpen))
        m_scan.cut(cursor, M::BoldClose, field(ItemPageData::BuyItNowPrice));
}

// The label's cursor and, in `tried`, the label form that produced it: the cell form first,
// then the looser forms while the match lies in the page head.
qsizetype ParseRun::quantityLabelCursor(PageMarker &tried) const
{
    tried = M::QuantityCell;
    qsizetype cursor = m_scan.pass(tried, 1);
    if (cursor < kQuantityLabelStart) {
        tried = M::QuantityTagEnd;
        cursor = m_scan.pass(tried, 1);
        if (cursor < kQuantityLabelStart) {
            tried = M::QuantityFontLine;
            cursor = m_scan.pass(tried, 1);
        }
    }
    return cursor;
}

void ParseRun::readQuantity()
{
    QByteArray &quantity = field(ItemPageData::Quantity);
    PageMarker tried = M::QuantityCell;
    qsizetype cursor = quantityLabelCursor(tried);
    if (ItemPageScanner::passed(cursor, tried)) {
        cursor = m_scan.pass(M::BoldOpen, cursor);
        if (ItemPageScanner::passed(cursor, M::BoldOpen))
            m_scan.cut(cursor, M::BoldClose, quantity);
    }

    // A font tag inside the bold value means the label matched the wrong cell; the label on a
    // line of its own is the other layout of the same table.
    if (quantity.toLower().contains("font")) {
        cursor = m_scan.pass(M::QuantityLine, 1);
        if (ItemPageScanner::passed(cursor, M::QuantityLine)) {
            cursor = m_scan.pass(M::BoldOpen, cursor);
            if (ItemPageScanner::passed(cursor, M::BoldOpen))
                m_scan.cut(cursor, M::BoldClose, quantity);
        }
    }

    if (m_fixedPrice) {
        // Fixed-price pages say "5 available"; only the number is wanted, and what is left
        // around it stays as it is.
        static const QByteArray available = QByteArrayLiteral("available");
        QByteArray kept;
        const QByteArray lower = quantity.toLower();
        qsizetype from = 0;
        for (qsizetype at = lower.indexOf(available); at >= 0; at = lower.indexOf(available, from)) {
            kept += QByteArrayView(quantity).sliced(from, at - from);
            from = at + available.size();
        }
        kept += QByteArrayView(quantity).sliced(from);
        quantity = kept;
    }
}

void ParseRun::readTimeLeftAndLocation()
{
    QByteArray &timeLeft = field(ItemPageData::TimeLeft);
    const qsizetype cursor = m_scan.boldElement(M::TimeLeft, 1, timeLeft);
    if (timeLeft.toLower().contains("font"))
        timeLeft = QByteArrayLiteral("Item has ended");

    // The location label is looked for only after the time left, wherever that search stopped.
    m_scan.boldElement(M::Location, cursor, field(ItemPageData::Location));
}

void ParseRun::readCountry()
{
    QByteArray &country = field(ItemPageData::Country);
    if (m_scan.contains(M::CountryRegion)) {
        m_scan.boldElement(M::CountryRegion, 1, country);
        return;
    }
    // Without the combined label the page names the country twice: the value read is the bold
    // text after the "Country" that follows the first one's bold tag.
    qsizetype cursor = m_scan.pass(M::Country, 1); // unchecked
    cursor = m_scan.pass(M::BoldOpen, cursor + 1); // unchecked
    m_scan.boldElement(M::Country, cursor + 1, country);
}

void ParseRun::readSeller()
{
    qsizetype cursor = m_scan.pass(M::SellerRating, 1);
    if (!ItemPageScanner::passed(cursor, M::SellerRating))
        return;
    cursor = m_scan.pass(M::LinkOpen, cursor); // unchecked
    cursor = m_scan.pass(M::UserId, cursor);
    if (!ItemPageScanner::passed(cursor, M::UserId))
        return;
    m_scan.cut(cursor, M::LinkEnd, field(ItemPageData::SellerId));

    cursor = m_scan.pass(M::ParenOpen, cursor);
    if (!ItemPageScanner::passed(cursor, M::ParenOpen))
        return;
    QByteArray &rating = field(ItemPageData::SellerRating);
    m_scan.cut(cursor, M::ParenClose, rating);
    rating.replace("\"\"", "\"");
}

ItemPageData ParseRun::run()
{
    if (readStatus())
        return result();
    readPrices();
    readTitle();
    readEndsBidderAndReserve();
    if (m_ended)
        return result();

    readBuyItNow();
    m_scan.boldElement(M::StartingBid, 1, field(ItemPageData::StartingBid));
    readQuantity();
    readTimeLeftAndLocation();
    readCountry();

    qsizetype cursor = m_scan.pass(M::Started, 1);
    if (ItemPageScanner::passed(cursor, M::Started)) {
        cursor = m_scan.pass(M::FontSize2, cursor);
        if (ItemPageScanner::passed(cursor, M::FontSize2))
            m_scan.cut(cursor, M::FontClose, field(ItemPageData::StartedText));
    }

    readSeller();

    cursor = m_scan.pass(M::BidIncrement, 1);
    if (ItemPageScanner::passed(cursor, M::BidIncrement)) {
        cursor = m_scan.pass(M::FontSize2, cursor);
        if (ItemPageScanner::passed(cursor, M::FontSize2))
            m_scan.cut(cursor, M::FontClose, field(ItemPageData::BidIncrement));
    }
    return result();
}

ItemPageData ParseRun::result() const
{
    ItemPageData data;
    for (int index = ItemPageData::FirstField; index <= ItemPageData::LastField; ++index)
        data[index] = QString::fromLatin1(m_fields[std::size_t(index)]);
    // The site writes a quote or an accent of a title as a character reference.
    data[ItemPageData::Title] = decodeCharacterReferences(data[ItemPageData::Title]);
    return data;
}

} // namespace

ItemPageData ParseItemPage(QByteArrayView page)
{
    return ParseRun(page).run();
}

namespace {

// The character a reference names ("amp", "#233", "#xE9"), or an empty string when it names
// none this reader knows.
QString referencedCharacter(QStringView name)
{
    static const std::array<std::pair<QStringView, char16_t>, 6> named { {
        { u"amp", u'&' }, { u"quot", u'"' }, { u"apos", u'\'' }, { u"lt", u'<' }, { u"gt", u'>' },
        { u"nbsp", u' ' }, // a title is plain text: a hard blank reads as a blank
    } };
    for (const auto &[text, character] : named) {
        if (name == text)
            return QString(QChar(character));
    }
    if (name.size() < 2 || name[0] != u'#')
        return {};
    const bool hex = name[1] == u'x' || name[1] == u'X';
    const QStringView digits = name.mid(hex ? 2 : 1);
    bool ok = false;
    const uint code
        = digits.isEmpty() || digits[0] == u'+' || digits[0] == u'-' ? 0 : digits.toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10FFFF || QChar::isSurrogate(code))
        return {};
    const char32_t character = code;
    return QString::fromUcs4(&character, 1);
}

} // namespace

QString decodeCharacterReferences(QStringView text)
{
    // The longest reference this reader knows, "&#x10FFFF;" and "&#1114111;", is ten long.
    constexpr qsizetype kLongestReference = 10;
    QString decoded;
    decoded.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'&') {
            const qsizetype semicolon = text.indexOf(u';', i + 1);
            if (semicolon > i + 1 && semicolon - i < kLongestReference) {
                const QString character = referencedCharacter(text.mid(i + 1, semicolon - i - 1));
                if (!character.isEmpty()) {
                    decoded += character;
                    i = semicolon + 1;
                    continue;
                }
            }
        }
        decoded += c;
        ++i;
    }
    return decoded;
}

QByteArray CleanText(QByteArrayView text)
{
    QByteArray cleaned;
    cleaned.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < size && text[i + 1] == '\n') {
            c = ' ';
            ++i;
        }
        if (c == ' ' && (cleaned.isEmpty() || cleaned.back() == ' '))
            continue;
        cleaned.append(c);
    }
    if (!cleaned.isEmpty() && cleaned.back() == ' ')
        cleaned.chop(1);
    return cleaned;
}

} // namespace th
