// Bid windows that clean up after themselves, and the browser started ahead of the first armed
// bid: scripted pages, a standing clock, deadlines ticked by hand.

#include <QSignalSpy>
#include <QTest>

#include "FakeBrowser.h"
#include "FakeClock.h"
#include "autobid/BidRunner.h"
#include "autobid/BrowserWarmUp.h"
#include "watchlist/WatchItems.h"

using namespace th;
using namespace th::test;

namespace {

const HostPort kHost { QStringLiteral("site.test"), 8080, QStringLiteral("site.test:8080") };
const QUrl kItemPage(QStringLiteral("http://site.test:8080/ws/eBayISAPI.dll?ViewItem&item=2407604973"));
const QUrl kFlow(QStringLiteral("http://site.test:8080/aw-cgi/eBayISAPI.dll"));
const QList<QStringList> kItemPageForms { { "query" }, { "MfcISAPICommand", "item", "maxbid", "quant" } };
const QList<QStringList> kSignInForms { { "query" }, { "MfcISAPICommand", "item", "user", "pass" } };

} // namespace

class TestBidWindows final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void endedAutomaticWindowsCloseUnlessTouched_data();
    void endedAutomaticWindowsCloseUnlessTouched();
    void onlyWindowsTheUserAskedForTakeTheFocus_data();
    void onlyWindowsTheUserAskedForTakeTheFocus();
    void browserWarmsUpOnlyNearAnArmedMoment_data();
    void browserWarmsUpOnlyNearAnArmedMoment();
    void firstArmedMomentSkipsItemsThatWillNotFire_data();
    void firstArmedMomentSkipsItemsThatWillNotFire();
    void changedSignInPageIsToldAtWarmUp_data();
    void changedSignInPageIsToldAtWarmUp();

private:
    BidRunner::Context runnerContext(FakeBrowserFactory &browser)
    {
        return { browser, clock,
            [] {
                return BidAccount { QStringLiteral("buyer"), QStringLiteral("pw") };
            },
            kHost, nullptr };
    }
    static void startLampBid(BidRunner &runner, BidKind kind)
    {
        runner.start(BidOrder {
            QStringLiteral("2407604973"), QStringLiteral("Lamp"), kind, Money::fromText(u"25"), 1, 5 });
    }

    FakeClock clock;
};

void TestBidWindows::endedAutomaticWindowsCloseUnlessTouched_data()
{
    QTest::addColumn<BidKind>("kind");
    QTest::addColumn<bool>("answered"); // the site's answer came; otherwise the bid still runs
    QTest::addColumn<bool>("touched");
    QTest::addColumn<int>("secondsAfter");
    QTest::addColumn<bool>("closed");

    QTest::newRow("automatic, shortly after") << BidKind::Automatic << true << false << 29 << false;
    QTest::newRow("automatic, after the while") << BidKind::Automatic << true << false << 30 << true;
    QTest::newRow("automatic, touched") << BidKind::Automatic << true << true << 300 << false;
    QTest::newRow("automatic, still running") << BidKind::Automatic << false << false << 45 << false;
    QTest::newRow("real bid") << BidKind::Real << true << false << 300 << false;
    QTest::newRow("fill-in") << BidKind::FillIn << true << false << 300 << false;
}

void TestBidWindows::endedAutomaticWindowsCloseUnlessTouched()
{
    QFETCH(BidKind, kind);
    QFETCH(bool, answered);
    QFETCH(bool, touched);
    QFETCH(int, secondsAfter);
    QFETCH(bool, closed);

    FakeBrowserFactory browser;
    BidRunner runner(runnerContext(browser));
    startLampBid(runner, kind);
    FakeBrowserSession *window = browser.sessions.at(0);
    window->complete(kItemPage, kItemPageForms, true, { {}, kFlow });
    window->complete(kFlow, kSignInForms);
    if (answered && kind != BidKind::FillIn)
        window->answer(kFlow, QStringLiteral("eBay - Bid Confirmation"),
            QStringLiteral("Bid confirmation\nYou are the current high bidder, buyer.\n"));
    window->touched = touched;
    // Ticked each second, as the runner's timer does: a touch at any time keeps the window.
    for (int second = 1; second <= secondsAfter; ++second) {
        clock.advanceSeconds(1);
        runner.checkDeadlines();
    }
    // A closed or touched window is let go of; the fake may be gone by now.
    QCOMPARE(browser.closes, closed ? 1 : 0);
    QCOMPARE(runner.closingCount(), kind == BidKind::Automatic && answered && !touched && !closed ? 1 : 0);
}

void TestBidWindows::onlyWindowsTheUserAskedForTakeTheFocus_data()
{
    QTest::addColumn<BidKind>("kind");
    QTest::addColumn<bool>("inFront");
    QTest::newRow("automatic") << BidKind::Automatic << false;
    QTest::newRow("real bid") << BidKind::Real << true;
    QTest::newRow("fill-in") << BidKind::FillIn << true;
}

void TestBidWindows::onlyWindowsTheUserAskedForTakeTheFocus()
{
    QFETCH(BidKind, kind);
    QFETCH(bool, inFront);
    FakeBrowserFactory browser;
    BidRunner runner(runnerContext(browser));
    startLampBid(runner, kind);
    QVERIFY(browser.sessions.at(0)->visible);
    QCOMPARE(browser.sessions.at(0)->inFront, inFront);
}

void TestBidWindows::browserWarmsUpOnlyNearAnArmedMoment_data()
{
    QTest::addColumn<int>("secondsToMoment"); // < -1000: no bid is armed
    QTest::addColumn<int>("warmUps");

    QTest::newRow("nothing armed") << -100000 << 0;
    QTest::newRow("moment far off") << 121 << 0;
    QTest::newRow("two minutes before") << 120 << 1;
    QTest::newRow("moment near") << 10 << 1;
    QTest::newRow("moment already passed") << -5 << 1;
}

void TestBidWindows::browserWarmsUpOnlyNearAnArmedMoment()
{
    QFETCH(int, secondsToMoment);
    QFETCH(int, warmUps);

    FakeBrowserFactory browser;
    const QDateTime moment = clock.now().addSecs(secondsToMoment);
    BrowserWarmUp warmUp(BrowserWarmUp::Context { browser, clock, kHost, [&]() -> std::optional<QDateTime> {
                                                     if (secondsToMoment < -1000)
                                                         return std::nullopt;
                                                     return moment;
                                                 } });
    warmUp.check();
    warmUp.check(); // once warm, it stays so
    QCOMPARE(browser.warmUps, warmUps);
    QVERIFY(browser.sessions.isEmpty()); // no window opens for it
    if (warmUps == 0)
        return;
    QCOMPARE(browser.hidden->actions.size(), 1);
    QCOMPARE(
        browser.hidden->actions[0].text, QStringLiteral("http://site.test:8080/aw-cgi/eBayISAPI.dll?SignIn"));
    QVERIFY(!browser.hidden->visible);
    // After a sleep the next check near the moment warms up again.
    warmUp.resumed();
    warmUp.check();
    QCOMPARE(browser.warmUps, 2);
}

void TestBidWindows::firstArmedMomentSkipsItemsThatWillNotFire_data()
{
    // The earlier item ends in 100 s with a lead of 10 s; the later one in 600 s, lead 10 s.
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("maximum");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<bool>("hasEnd");
    QTest::addColumn<int>("secondsToFirst");

    QTest::newRow("earlier armed") << 0 << "25" << 1 << true << 90;
    QTest::newRow("earlier fired") << 1 << "25" << 1 << true << 590;
    QTest::newRow("earlier without a maximum") << 0 << "0" << 1 << true << 590;
    QTest::newRow("earlier without a quantity") << 0 << "25" << 0 << true << 590;
    QTest::newRow("earlier without an end") << 0 << "25" << 1 << false << 590;
}

void TestBidWindows::firstArmedMomentSkipsItemsThatWillNotFire()
{
    QFETCH(int, state);
    QFETCH(QString, maximum);
    QFETCH(int, quantity);
    QFETCH(bool, hasEnd);
    QFETCH(int, secondsToFirst);

    WatchItems records;
    records.resize(2);
    for (int i = 1; i <= 2; ++i) {
        WatchItemRecord &record = records.at(i);
        record.recMaxAutoBid = Money::fromText(u"25");
        record.recMaxQuantity = 1;
        record.recMaxTimeLeft = 10;
        record.recEndDate = clock.now().addSecs(i == 1 ? 600 : 100);
    }
    WatchItemRecord &earlier = records.at(2);
    earlier.recAutoBidState = state;
    earlier.recMaxAutoBid = Money::fromText(maximum);
    earlier.recMaxQuantity = quantity;
    if (!hasEnd)
        earlier.recEndDate = QDateTime();
    const std::optional<QDateTime> first = BrowserWarmUp::firstArmedMoment(records);
    QVERIFY(first.has_value());
    QCOMPARE(clock.now().secsTo(*first), secondsToFirst);
}

void TestBidWindows::changedSignInPageIsToldAtWarmUp_data()
{
    QTest::addColumn<QList<QStringList>>("forms");
    QTest::addColumn<bool>("told");

    QTest::newRow("sign-in form") << kSignInForms << false;
    QTest::newRow("password field gone")
        << QList<QStringList> { { "query" }, { "user", "password" } } << true;
    QTest::newRow("no form at all") << QList<QStringList> {} << true;
}

void TestBidWindows::changedSignInPageIsToldAtWarmUp()
{
    QFETCH(QList<QStringList>, forms);
    QFETCH(bool, told);

    FakeBrowserFactory browser;
    BrowserWarmUp warmUp(BrowserWarmUp::Context { browser, clock, kHost, [this] { return clock.now(); } });
    QSignalSpy changed(&warmUp, &BrowserWarmUp::signInPageChanged);
    warmUp.check();
    browser.hidden->complete(
        QUrl(QStringLiteral("http://site.test:8080/aw-cgi/eBayISAPI.dll?SignIn")), forms);
    // Later pages of the hidden window are no longer the sign-in page.
    browser.hidden->complete(kFlow, {});
    QCOMPARE(changed.size(), told ? 1 : 0);
    if (told)
        QVERIFY(changed[0][0].toString().contains(u"no password field"));
}

QTEST_GUILESS_MAIN(TestBidWindows)
#include "TestBidWindows.moc"
