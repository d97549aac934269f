// Many generated and mutated pages (seeded, so a failure repeats): the reader never crashes,
// never reads outside the page, and what it returns always keeps its shape. Each page is handed
// over in a heap block of exactly its size, so that a read past the end shows under the
// address sanitizer.

#include <algorithm>
#include <iterator>
#include <memory>

#include <QRandomGenerator>
#include <QTest>

#include "SamplePage.h"
#include "engine/ItemPageParser.h"

using namespace th;
using th::test::SampleItem;

namespace {

// Pieces that steer the reader, so that random pages take its every branch.
const char *const kTokens[] = {
    "auction has ended",
    "not found",
    "auction is closed",
    "pageviewitemfixedprice",
    "Current bid",
    "<b>",
    "</b>",
    "><b>US",
    "<title>",
    " - ",
    "</title>",
    "&amp;",
    "# of bids",
    "ends",
    " ",
    ")",
    "high bidder",
    "<a href=",
    "userid=",
    "&",
    "%40",
    "(reserve",
    ">buy it now<",
    "starting bid",
    ">quantity<",
    ">quantity",
    "quantity\r\n</font>",
    "\r\nquantity\r\n",
    "font",
    "available",
    "time left",
    "location",
    "country/region",
    "Country",
    "started",
    "size=\"2\">",
    "</font>",
    "seller (rating)",
    "\">",
    "(",
    "\"\"",
    "bid increment",
    "\r\n",
    "  ",
    "\t",
    "US $12.50",
    "Lamp",
    "\xc9t\xe9",
    "\0",
};

class PageMaker final {
public:
    explicit PageMaker(quint32 seed)
        : m_random(seed)
    {
    }

    QByteArray next()
    {
        QByteArray page;
        switch (pick(4)) {
        case 0:
            page = samplePage();
            break;
        case 1:
        case 2:
            page = tokenSoup();
            break;
        default:
            page = randomBytes(pick(5000));
            break;
        }
        const int mutations = pick(7);
        for (int i = 0; i < mutations; ++i)
            mutate(page);
        return page;
    }

    int pick(int count) { return count <= 0 ? 0 : int(m_random.bounded(count)); }

private:
    QByteArray token()
    {
        QByteArray text(kTokens[pick(int(std::size(kTokens)))]);
        if (text.isEmpty())
            return QByteArray(1, '\0');
        switch (pick(3)) {
        case 0:
            return text.toUpper();
        case 1:
            return text;
        default:
            for (char &c : text)
                if (c >= 'a' && c <= 'z' && pick(2))
                    c = char(c - ('a' - 'A'));
            return text;
        }
    }

    QByteArray tokenSoup()
    {
        QByteArray page;
        const int pieces = 5 + pick(120);
        for (int i = 0; i < pieces; ++i) {
            if (pick(12) == 0) // padding that carries later pieces across the 1000 and 18000 marks
                page += QByteArray(pick(pick(2) ? 1200 : 19000), '.');
            else
                page += token();
        }
        return page;
    }

    QByteArray samplePage()
    {
        SampleItem item;
        item.kind = SampleItem::Kind(pick(5));
        item.quantityLayout = SampleItem::QuantityLayout(pick(2));
        item.countryLayout = SampleItem::CountryLayout(pick(2));
        item.httpHeaders = pick(2);
        item.crlf = pick(2);
        item.targetSize = 1000 + pick(40000);
        item.seed = m_random.generate();
        if (pick(2))
            item.currentBid.clear();
        if (pick(2))
            item.buyItNowPrice = "US $99.00";
        return test::writeSamplePage(item);
    }

    QByteArray randomBytes(qsizetype size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(pick(256));
        return bytes;
    }

    void mutate(QByteArray &page)
    {
        const qsizetype at = pick(int(page.size()) + 1);
        const qsizetype span = pick(int(qMin<qsizetype>(page.size() - at, 3000)) + 1);
        switch (pick(6)) {
        case 0:
            page.remove(at, span);
            break;
        case 1:
            page.insert(at, page.mid(at, span));
            break;
        case 2:
            page.insert(at, token());
            break;
        case 3:
            for (qsizetype i = at; i < at + span && i < page.size(); i += 1 + pick(50))
                page[i] = char(pick(256));
            break;
        case 4:
            page.truncate(at);
            break;
        default:
            page.insert(at, randomBytes(pick(40)));
            break;
        }
    }

    QRandomGenerator m_random;
};

// The page in a heap block of exactly its size: no terminating zero, nothing after it.
ItemPageData parseExact(const QByteArray &page)
{
    const auto block = std::make_unique<char[]>(std::size_t(page.size()));
    std::copy(page.cbegin(), page.cend(), block.get());
    return ParseItemPage(QByteArrayView(block.get(), page.size()));
}

QByteArray asciiUpper(QByteArray page)
{
    for (char &c : page)
        if (c >= 'a' && c <= 'z')
            c = char(c - ('a' - 'A'));
    return page;
}

QString checkShape(const QStringList &read)
{
    if (read.size() != 20)
        return QStringLiteral("not twenty fields");
    for (int flag : { 4, 5, 6, 7 }) {
        const QString &text = read[flag - 1];
        if (!text.isEmpty() && text != u"True" && text != u"False")
            return QStringLiteral("flag %1 reads %2").arg(flag).arg(text);
    }
    if (read[5] == u"True") {
        for (int index = 1; index <= 20; ++index)
            if (index != 6 && !read[index - 1].isEmpty())
                return QStringLiteral("field %1 filled on a not-found page").arg(index);
    }
    if (read[4] == u"True") {
        for (int index : { 7, 8, 10, 11, 12, 13, 14, 15, 17, 18, 20 })
            if (!read[index - 1].isEmpty())
                return QStringLiteral("field %1 filled on an ended page").arg(index);
    }
    for (int index = 1; index <= 20; ++index) {
        const QString &text = read[index - 1];
        for (QChar c : text)
            if (c.unicode() > 0xFF)
                return QStringLiteral("field %1 holds a character beyond Latin-1").arg(index);
        // Every value went through the tidying; only the removal of "available" in a quantity
        // may leave blanks behind.
        if (index != 11 && CleanText(text.toLatin1()) != text.toLatin1())
            return QStringLiteral("field %1 was not tidied: [%2]").arg(index).arg(text);
    }
    return {};
}

} // namespace

class TestItemPageParserRobustness final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void randomPagesKeepTheFieldsInShape();
    void capitalsNeverChangeWhatIsFound();
};

void TestItemPageParserRobustness::randomPagesKeepTheFieldsInShape()
{
    PageMaker maker(0x7A11);
    for (int round = 0; round < 3000; ++round) {
        const QByteArray page = maker.next();
        const QStringList read = parseExact(page).toList();
        const QString fault = checkShape(read);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(fault)));
        QCOMPARE(ParseItemPage(page).toList(), read);
    }
}

void TestItemPageParserRobustness::capitalsNeverChangeWhatIsFound()
{
    // Markers match in any capitals and values are cut at the same places, so a page in capitals
    // reads as the same fields in capitals. The title's "&amp;" is turned back only in small
    // letters, so pages holding it in any form are left out of the title comparison.
    PageMaker maker(0xCA95);
    for (int round = 0; round < 1500; ++round) {
        const QByteArray page = maker.next();
        const QStringList read = parseExact(page).toList();
        const QStringList upper = parseExact(asciiUpper(page)).toList();
        const bool titleComparable = !page.toLower().contains("&amp;");
        for (int index = titleComparable ? 1 : 2; index <= 20; ++index) {
            QVERIFY2(read[index - 1].toLatin1().toUpper() == upper[index - 1].toLatin1().toUpper(),
                qPrintable(QStringLiteral("round %1 field %2: [%3] against [%4]")
                               .arg(round)
                               .arg(index)
                               .arg(read[index - 1], upper[index - 1])));
        }
    }
}

QTEST_APPLESS_MAIN(TestItemPageParserRobustness)
#include "TestItemPageParserRobustness.moc"
