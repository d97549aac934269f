// When the watchdog says that the site's pages stopped reading, and whom it names.

#include <QTest>

#include "engine/ItemPageData.h"
#include "engine/ParserWatchdog.h"

using namespace th;

namespace {

// The page of one item as the reader gave it.
ItemPageData page(const QString &kind)
{
    ItemPageData data;
    data[ItemPageData::Title] = QStringLiteral("Brass lamp");
    data[ItemPageData::CurrentBid] = QStringLiteral("$12.50");
    data[ItemPageData::IsEnded] = ItemPageData::FalseText;
    data[ItemPageData::IsNotFound] = ItemPageData::FalseText;
    if (kind == u"no title")
        data[ItemPageData::Title] = QStringLiteral("(Info not found)");
    if (kind == u"no price" || kind == u"ended without price")
        data[ItemPageData::CurrentBid].clear();
    if (kind == u"ended without price")
        data[ItemPageData::IsEnded] = ItemPageData::TrueText;
    if (kind == u"not found") {
        data = ItemPageData();
        data[ItemPageData::IsNotFound] = ItemPageData::TrueText;
    }
    return data;
}

} // namespace

class TestParserWatchdog final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void speaksWhenHalfTheAnsweredPagesReadEmpty_data();
    void speaksWhenHalfTheAnsweredPagesReadEmpty();
    void speaksOnceUntilThePagesReadAgain();
};

void TestParserWatchdog::speaksWhenHalfTheAnsweredPagesReadEmpty_data()
{
    QTest::addColumn<QStringList>("pages"); // of items 1, 2, 3 …
    QTest::addColumn<QStringList>("armed");
    QTest::addColumn<bool>("speaks");
    QTest::addColumn<QStringList>("named");
    QTest::newRow("3 of 5") << QStringList { "no title", "read", "no price", "no title", "read" }
                            << QStringList { "1", "2", "4" } << true
                            << QStringList { "1 (Old 1)", "4 (Old 4)" };
    QTest::newRow("2 of 5") << QStringList { "no title", "read", "no price", "read", "read" }
                            << QStringList { "1" } << false << QStringList {};
    QTest::newRow("3 of 7") << QStringList { "no title", "no title", "no title", "read", "read", "read",
        "read" } << QStringList {}
                            << false << QStringList {};
    QTest::newRow("ended items without a price read")
        << QStringList { "ended without price", "ended without price", "ended without price", "read" }
        << QStringList {} << false << QStringList {};
    QTest::newRow("not found is an answer") << QStringList { "not found", "not found", "not found", "read" }
                                            << QStringList {} << false << QStringList {};
}

void TestParserWatchdog::speaksWhenHalfTheAnsweredPagesReadEmpty()
{
    QFETCH(QStringList, pages);
    QFETCH(QStringList, armed);
    QFETCH(bool, speaks);
    QFETCH(QStringList, named);
    ParserWatchdog watchdog;
    watchdog.passStarted();
    for (int i = 0; i < pages.size(); ++i)
        watchdog.pageAnswered(QString::number(i + 1), page(pages[i]), QStringLiteral("Old %1").arg(i + 1));
    const std::optional<ParserWatchdog::Report> report
        = watchdog.passEnded([&armed](const QString &item) { return armed.contains(item); });
    QCOMPARE(report.has_value(), speaks);
    if (!report)
        return;
    QStringList names;
    for (const auto &[item, title] : report->armedItems)
        names.append(item + u" (" + title + u")");
    QCOMPARE(names, named);
    QCOMPARE(report->answered, pages.size());
    QVERIFY(!report->toldBefore);
}

void TestParserWatchdog::speaksOnceUntilThePagesReadAgain()
{
    ParserWatchdog watchdog;
    QStringList armed { "1" };
    const auto pass = [&](const QString &kind) {
        watchdog.passStarted();
        for (int i = 1; i <= 4; ++i)
            watchdog.pageAnswered(QString::number(i), page(kind), QString());
        return watchdog.passEnded([&armed](const QString &item) { return armed.contains(item); });
    };
    QVERIFY(!pass(QStringLiteral("no title"))->toldBefore);
    QVERIFY(pass(QStringLiteral("no title"))->toldBefore);
    // Another armed bid among the empty pages is news.
    armed.append(QStringLiteral("2"));
    QVERIFY(!pass(QStringLiteral("no title"))->toldBefore);
    // A pass without a single answer tells nothing either way.
    watchdog.passStarted();
    QVERIFY(!watchdog.passEnded([](const QString &) { return true; }));
    QVERIFY(pass(QStringLiteral("no title"))->toldBefore);
    QVERIFY(!pass(QStringLiteral("read")));
    QVERIFY(!pass(QStringLiteral("no title"))->toldBefore);
}

QTEST_APPLESS_MAIN(TestParserWatchdog)
#include "TestParserWatchdog.moc"
