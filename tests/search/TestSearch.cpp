// The addresses a search opens, and the search history file.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestSupport.h"
#include "search/SearchAddress.h"
#include "search/SearchHistory.h"

using namespace th;
using namespace th::test;

class TestSearch final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addresses_data();
    void addresses();
    void googleGetsTheTextToo();
    void historyRoundTripsWholeLines();
    void olderFilesReadEachLineWhole();
    void historyKeepsNewestFirstWithoutDuplicates();
    void missingFolderNeitherLoadsNorSaves();
};

namespace {

const SearchHosts kHosts { QStringLiteral("s.test"), QStringLiteral("c.test"), QStringLiteral("l.test"),
    QStringLiteral("i.test"), QStringLiteral("g.test") };
const QString kSearch = QStringLiteral("http://s.test/search/search.dll?MfcISAPICommand=GetResult&ht=1&");

constexpr int TitleDesc = 1;
constexpr int BuyItNow = 2;
constexpr int Paypal = 4;
constexpr int Seller = 8;
constexpr int Completed = 16;

} // namespace

void TestSearch::addresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QString>("address");
    const QString end = QStringLiteral("Ending first");
    QTest::newRow("keywords") << "red lamp" << 0 << end
                              << kSearch + "&SortProperty=MetaEndSort&query=red+lamp";
    QTest::newRow("ampersand") << "a&b" << 0 << QString() << kSearch + "&query=a%26b";
    QTest::newRow("every option, newly listed")
        << "lamp" << (TitleDesc | BuyItNow | Paypal) << "Newly Listed"
        << kSearch + "&srchdesc=y&itf=2&pt=2&SortProperty=MetaNewSort&query=lamp";
    QTest::newRow("lowest price") << "lamp" << 0 << "Lowest price first"
                                  << kSearch + "&SortProperty=MetaLowestPriceSort&query=lamp";
    QTest::newRow("highest price") << "lamp" << 0 << "Highest price first"
                                   << kSearch + "&SortProperty=MetaHighestPriceSort&query=lamp";
    QTest::newRow("unknown sort") << "lamp" << 0 << "ending first" << kSearch + "&query=lamp";
    QTest::newRow("item number") << "2407604973" << 0 << QString()
                                 << "http://i.test/aw-cgi/eBayISAPI.dll?ViewItem&item=2407604973";
    QTest::newRow("item number with blanks and options")
        << " 2407604973 " << BuyItNow << end
        << "http://i.test/aw-cgi/eBayISAPI.dll?ViewItem&item=2407604973&itf=2&SortProperty=MetaEndSort";
    QTest::newRow("small number is a keyword") << "12345" << 0 << QString() << kSearch + "&query=12345";
    QTest::newRow("500000 is a keyword") << "500000" << 0 << QString() << kSearch + "&query=500000";
    QTest::newRow("exponent is a keyword") << "1e6" << 0 << QString() << kSearch + "&query=1e6";
    QTest::newRow("seller wins over ended")
        << " joe & co " << (Seller | Completed) << end
        << "http://l.test/aw-cgi/eBayISAPI.dll?MfcISAPICommand=ViewListedItems&userid=joe%20%26%20co"
           "&SortProperty=MetaEndSort&include=0&since=-1&sort=3&rows=25";
    QTest::newRow("ended auctions") << " red lamp " << (Completed | TitleDesc) << end
                                    << "http://c.test/search/search.dll?query=red%20lamp&ht=1";
    QTest::newRow("ended auctions of nothing: keywords")
        << "   " << Completed << QString() << kSearch + "&query=+++";
    QTest::newRow("characters that would change the address")
        << "#1 50% off + more?" << 0 << QString() << kSearch + "&query=%231+50%25+off+%2B+more%3F";
    QTest::newRow("non-ASCII text") << QString::fromUtf8("Schöne Vase") << 0 << QString()
                                    << kSearch + "&query=Sch%C3%B6ne+Vase";
}

void TestSearch::addresses()
{
    QFETCH(QString, text);
    QFETCH(int, flags);
    QFETCH(QString, sort);
    QFETCH(QString, address);
    SearchOptions options;
    options.titleDesc = flags & TitleDesc;
    options.buyItNow = flags & BuyItNow;
    options.paypalOnly = flags & Paypal;
    options.seller = flags & Seller;
    options.completed = flags & Completed;
    options.sortText = sort;
    const SearchAddresses addresses = searchAddressesFor(text, options, kHosts);
    QCOMPARE(addresses.site, address);
    QVERIFY(addresses.google.isEmpty());
}

void TestSearch::googleGetsTheTextToo()
{
    SearchOptions options;
    options.google = true;
    const SearchAddresses addresses = searchAddressesFor(QStringLiteral("a&b c"), options, kHosts);
    QCOMPARE(addresses.google, QStringLiteral("http://g.test/search?q=a%26b%20c"));
    QCOMPARE(addresses.site, kSearch + "&query=a%26b+c");
}

void TestSearch::historyRoundTripsWholeLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("iSense.dat"));
    // A phrase typed with its quotes keeps them: the reader takes one pair away.
    const QStringList entries { QStringLiteral("red, lamp"), QString::fromUtf8("Schöne Vase"),
        QStringLiteral("2407604973"), QStringLiteral("\"red lamp\""), QStringLiteral("\"") };
    QVERIFY(SaveSearchHistory(path, entries));
    QCOMPARE(fileBytes(path),
        QByteArray("red, lamp\r\nSch\xC3\xB6ne Vase\r\n2407604973\r\n\"\"red lamp\"\"\r\n\"\r\n"));
    QCOMPARE(LoadSearchHistory(path), entries);
}

void TestSearch::olderFilesReadEachLineWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("iSense.dat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"red, lamp\"\r\n  \r\nSch\xF6ne Vase\r\n\"only\"\r\nlast");
    file.close();
    QCOMPARE(LoadSearchHistory(path),
        (QStringList { QStringLiteral("red, lamp"), QString::fromUtf8("Schöne Vase"), QStringLiteral("only"),
            QStringLiteral("last") }));
}

void TestSearch::historyKeepsNewestFirstWithoutDuplicates()
{
    QStringList history { QStringLiteral("lamp"), QStringLiteral("vase") };
    history = withSearchOnTop(history, QStringLiteral(" VASE "));
    QCOMPARE(history, (QStringList { QStringLiteral("VASE"), QStringLiteral("lamp") }));
    for (int i = 0; i < 150; ++i)
        history = withSearchOnTop(history, QString::number(i));
    QCOMPARE(history.size(), kSearchHistoryMax);
    QCOMPARE(history.first(), QStringLiteral("149"));
}

void TestSearch::missingFolderNeitherLoadsNorSaves()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("IntelliSense/iSense.dat"));
    QVERIFY(LoadSearchHistory(path).isEmpty());
    QVERIFY(!SaveSearchHistory(path, { QStringLiteral("lamp") }));
    QVERIFY(!QDir(dir.filePath(QStringLiteral("IntelliSense"))).exists());
}

QTEST_APPLESS_MAIN(TestSearch)
#include "TestSearch.moc"
