// Bids run side by side over scripted pages and a standing clock: each follows only its own
// window, sends only what its kind may send, and ends in one outcome that is kept.

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QTest>

#include "FakeBrowser.h"
#include "FakeClock.h"
#include "TestSupport.h"
#include "autobid/AuctionEndNotice.h"
#include "autobid/BidLogModel.h"
#include "autobid/BidMoment.h"
#include "autobid/BidRecordStore.h"
#include "autobid/BidRunner.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

namespace {

const HostPort kHost { QStringLiteral("site.test"), 8080, QStringLiteral("site.test:8080") };
const QString kBase = QStringLiteral("http://site.test:8080");
const QString kItem = QStringLiteral("2407604973");
const QString kOther = QStringLiteral("2407604974");
const QList<QStringList> kItemPageForms { { "query" }, { "MfcISAPICommand", "item", "maxbid", "quant" } };
const QList<QStringList> kSignInForms { { "query" }, { "MfcISAPICommand", "item", "user", "pass" } };
const QString kConfirmed
    = QStringLiteral("home | sign in\nBid confirmation\nYou are the current high bidder, buyer.\n");

// The steps a test walks a bid's window through.
enum Step {
    ItemPage,
    ItemPageWithoutBidForm,
    BidFormToOtherPort,
    SignInPage,
    MotorsSignInPage,
    SignedInConfirmPage,
    SignInFormToOtherHost,
    Confirmed,
    OutbidAnswer,
    ProblemAnswer,
    SignInFailedAnswer,
    StrangeAnswer,
    LoadFails,
    CloseWindow,
    RemoveItem,
    PassDeadline,
};

QUrl itemUrl(const QString &item)
{
    return QUrl(kBase + u"/ws/eBayISAPI.dll?ViewItem&item=" + item);
}

class MemoryBidStore final : public IBidRecordStore {
public:
    void saveBidRecord(const BidRecord &record) override { saved.append(record); }
    QList<BidRecord> loadBidRecords() const override { return saved; }
    QList<BidRecord> saved;
};

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestBidRunner final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void fillInAfterUnfinishedAutomaticBidIsNeverSent_data();
    void fillInAfterUnfinishedAutomaticBidIsNeverSent();
    void realBidAfterClosedFillInWindowIsSent();
    void automaticBidsInTheSameSecondAreAllPlaced();
    void eachBidEndsInOneKeptOutcome_data();
    void eachBidEndsInOneKeptOutcome();
    void bidsThatCannotStartAreTold();
    void missedMomentsFireOrAreTold_data();
    void missedMomentsFireOrAreTold();
    void storeKeepsTheLastBidOfWatchedItemsOnly();
    void logShowsNewestFirstAndSortsNumbers();
    void auctionEndIsToldOnceWonOrLost();

private:
    quint64 start(BidKind kind, const QString &item = kItem);
    void walk(FakeBrowserSession *session, const QString &item, const QList<Step> &steps);

    FakeClock clock;
    FakeBrowserFactory browser;
    MemoryBidStore store;
    BidAccount account;
    std::unique_ptr<BidRunner> runner;
};

void TestBidRunner::init()
{
    clock.set(QDateTime(QDate(2026, 3, 2), QTime(12, 0)));
    browser.sessions.clear();
    browser.refuse = false;
    store.saved.clear();
    account = { QStringLiteral("buyer"), QStringLiteral("s3cret") };
    runner = std::make_unique<BidRunner>(
        BidRunner::Context { browser, clock, [this] { return account; }, kHost, &store });
}

quint64 TestBidRunner::start(BidKind kind, const QString &item)
{
    return runner->start(BidOrder { item, QStringLiteral("Lamp"), kind, Money::fromText(u"25.5"), 2, 20 });
}

void TestBidRunner::walk(FakeBrowserSession *session, const QString &item, const QList<Step> &steps)
{
    const QUrl flow(kBase + u"/aw-cgi/eBayISAPI.dll");
    for (const Step step : steps) {
        clock.advanceMsecs(150);
        switch (step) {
        case ItemPage:
            session->complete(itemUrl(item), kItemPageForms, true, { {}, flow });
            break;
        case ItemPageWithoutBidForm:
            session->complete(itemUrl(item), { { "query" } });
            break;
        case BidFormToOtherPort:
            session->complete(
                itemUrl(item), kItemPageForms, true, { {}, QUrl("http://site.test:8081/aw-cgi/x") });
            break;
        case SignInPage:
            session->complete(flow, kSignInForms);
            break;
        case SignedInConfirmPage: // no account fields: the site knows the user already
            session->complete(flow, kItemPageForms, true, { {}, flow });
            break;
        case MotorsSignInPage:
            session->complete(QUrl(kBase + u"/ebaymotors/aw-cgi/eBayISAPI.dll"), kSignInForms);
            break;
        case SignInFormToOtherHost:
            session->complete(flow, kSignInForms, true, { {}, QUrl("http://site.test.evil:8080/aw-cgi/x") });
            break;
        case Confirmed:
            session->answer(flow, QStringLiteral("eBay - Bid Confirmation"), kConfirmed);
            break;
        case OutbidAnswer:
            session->answer(flow, QStringLiteral("eBay - Bid Confirmation"),
                QStringLiteral(
                    "Bid confirmation\nYou have been outbid by another member's earlier maximum.\n"));
            break;
        case ProblemAnswer:
            session->answer(flow, QStringLiteral("eBay - Problem with your bid"),
                QStringLiteral("Search\nProblem with your bid\n\nYour bid must be at least $26.00.\nBack\n"));
            break;
        case SignInFailedAnswer:
            session->answer(flow, QStringLiteral("eBay - Sign In failed"),
                QStringLiteral("Sign In failed\nThe user ID or password you entered is incorrect.\n"));
            break;
        case StrangeAnswer:
            session->answer(flow, QStringLiteral("eBay - Thanks"), QStringLiteral("Thanks\nSee you soon.\n"));
            break;
        case LoadFails:
            session->fail(itemUrl(item), QStringLiteral("Connection refused"));
            break;
        case CloseWindow:
            session->closeWindow();
            break;
        case RemoveItem:
            runner->itemRemoved(item);
            break;
        case PassDeadline:
            clock.advanceSeconds(BidTask::kDeadlineSeconds);
            runner->checkDeadlines();
            break;
        }
    }
}

void TestBidRunner::fillInAfterUnfinishedAutomaticBidIsNeverSent_data()
{
    QTest::addColumn<QList<Step>>("automaticSteps");
    QTest::addColumn<QString>("fillInItem");
    QTest::addColumn<Step>("fillInSignIn");
    QTest::addColumn<bool>("passwordFilled");

    QTest::newRow("automatic waits for its item page") << QList<Step> {} << kItem << SignInPage << true;
    QTest::newRow("automatic waits for its sign-in")
        << QList<Step> { ItemPage } << kOther << SignInPage << true;
    QTest::newRow("motors sign-in") << QList<Step> { ItemPage } << kItem << MotorsSignInPage << false;
}

void TestBidRunner::fillInAfterUnfinishedAutomaticBidIsNeverSent()
{
    QFETCH(QList<Step>, automaticSteps);
    QFETCH(QString, fillInItem);
    QFETCH(Step, fillInSignIn);
    QFETCH(bool, passwordFilled);

    const quint64 automatic = start(BidKind::Automatic);
    FakeBrowserSession *automaticWindow = browser.sessions.at(0);
    walk(automaticWindow, kItem, automaticSteps);
    const qsizetype automaticActions = automaticWindow->actions.size();

    start(BidKind::FillIn, fillInItem);
    FakeBrowserSession *fillIn = browser.sessions.at(1);
    walk(fillIn, fillInItem, { ItemPage, fillInSignIn });

    QCOMPARE(fillIn->submitCount(), 1); // the bid form, never the sign-in
    const bool filled = std::any_of(fillIn->actions.begin(), fillIn->actions.end(),
        [](const auto &a) { return a.text == QStringLiteral("s3cret"); });
    QCOMPARE(filled, passwordFilled);
    QCOMPARE(store.saved.size(), 1);
    QCOMPARE(*store.saved.at(0).outcome, BidOutcome::FilledIn);
    // The automatic bid was neither touched nor ended by the fill-in.
    QCOMPARE(automaticWindow->actions.size(), automaticActions);
    QVERIFY(runner->task(automatic));
}

void TestBidRunner::realBidAfterClosedFillInWindowIsSent()
{
    start(BidKind::FillIn);
    walk(browser.sessions.at(0), kItem, { ItemPage, CloseWindow });
    QCOMPARE(*store.saved.at(0).outcome, BidOutcome::WindowClosed);

    start(BidKind::Real);
    walk(browser.sessions.at(1), kItem, { ItemPage, SignInPage, Confirmed });
    QCOMPARE(browser.sessions.at(1)->submitCount(), 2);
    QCOMPARE(*store.saved.at(1).outcome, BidOutcome::Placed);
}

void TestBidRunner::automaticBidsInTheSameSecondAreAllPlaced()
{
    const QStringList items { kItem, kOther, QStringLiteral("2407604975") };
    for (const QString &item : items)
        start(BidKind::Automatic, item);
    QCOMPARE(runner->runningCount(), 3);
    // The windows' pages arrive interleaved, each window's in its own order.
    for (const Step step : { ItemPage, SignInPage, Confirmed }) {
        for (int i = items.size() - 1; i >= 0; --i)
            walk(browser.sessions.at(i), items.at(i), { step });
    }
    QCOMPARE(store.saved.size(), 3);
    for (const BidRecord &record : std::as_const(store.saved)) {
        QCOMPARE(*record.outcome, BidOutcome::Placed);
        QVERIFY(record.firedAt < record.bidFormAt && record.bidFormAt < record.signInAt
            && record.signInAt < record.answerAt);
    }
    for (FakeBrowserSession *session : std::as_const(browser.sessions))
        QCOMPARE(session->submitCount(), 2);
    QCOMPARE(runner->runningCount(), 0);
}

void TestBidRunner::eachBidEndsInOneKeptOutcome_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<BidOutcome>("outcome");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("submits");

    QTest::newRow("placed") << QList<Step> { ItemPage, SignInPage, Confirmed } << BidOutcome::Placed
                            << "current high bidder" << 2;
    QTest::newRow("already signed in") << QList<Step> { ItemPage, SignedInConfirmPage, Confirmed }
                                       << BidOutcome::Placed << "current high bidder" << 2;
    QTest::newRow("outbid") << QList<Step> { ItemPage, SignInPage, OutbidAnswer } << BidOutcome::Outbid
                            << "outbid by another member" << 2;
    QTest::newRow("refused after sign-in") << QList<Step> { ItemPage, SignInPage, ProblemAnswer }
                                           << BidOutcome::Refused << "at least $26.00" << 2;
    QTest::newRow("refused at bid form")
        << QList<Step> { ItemPage, ProblemAnswer } << BidOutcome::Refused << "at least $26.00" << 1;
    QTest::newRow("sign-in refused") << QList<Step> { ItemPage, SignInPage, SignInFailedAnswer }
                                     << BidOutcome::SignInRefused << "password you entered" << 2;
    QTest::newRow("unrecognised answer")
        << QList<Step> { ItemPage, SignInPage, StrangeAnswer } << BidOutcome::Unknown << "See you soon" << 2;
    QTest::newRow("unreachable") << QList<Step> { LoadFails } << BidOutcome::Unreachable
                                 << "Connection refused" << 0;
    QTest::newRow("page changed") << QList<Step> { ItemPageWithoutBidForm } << BidOutcome::PageChanged
                                  << "bid form was not found" << 0;
    QTest::newRow("window closed") << QList<Step> { ItemPage, CloseWindow } << BidOutcome::WindowClosed
                                   << "before the sign-in" << 1;
    QTest::newRow("removed while the item page loads")
        << QList<Step> { RemoveItem, ItemPage, SignInPage } << BidOutcome::ItemRemoved << "removed" << 0;
    QTest::newRow("removed before the sign-in")
        << QList<Step> { ItemPage, RemoveItem, SignInPage } << BidOutcome::ItemRemoved << "removed" << 1;
    QTest::newRow("timed out") << QList<Step> { ItemPage, SignInPage, PassDeadline } << BidOutcome::TimedOut
                               << "no answer within 60 s" << 2;
    QTest::newRow("bid form to another port")
        << QList<Step> { BidFormToOtherPort } << BidOutcome::TargetNotAllowed << "site.test:8081" << 0;
    QTest::newRow("sign-in form to another host") << QList<Step> { ItemPage, SignInFormToOtherHost }
                                                  << BidOutcome::TargetNotAllowed << "site.test.evil" << 1;
}

void TestBidRunner::eachBidEndsInOneKeptOutcome()
{
    QFETCH(QList<Step>, steps);
    QFETCH(BidOutcome, outcome);
    QFETCH(QString, message);
    QFETCH(int, submits);

    start(BidKind::Automatic);
    FakeBrowserSession *window = browser.sessions.at(0);
    walk(window, kItem, steps);

    QCOMPARE(store.saved.size(), 1);
    const BidRecord &record = store.saved.at(0);
    QCOMPARE(*record.outcome, outcome);
    QVERIFY2(record.message.contains(message), qPrintable(record.message));
    QCOMPARE(window->submitCount(), submits);
    QVERIFY(record.answerAt >= record.firedAt);
    // Nothing but the bid's own values went into the page, and no password to a foreign form.
    for (const FakeBrowserSession::Action &action : std::as_const(window->actions)) {
        if (action.kind == FakeBrowserSession::Action::SetValue)
            QVERIFY(action.text != QStringLiteral("s3cret") || outcome != BidOutcome::TargetNotAllowed);
    }
    QVERIFY(window->released);
    QCOMPARE(runner->runningCount(), 0);
    // A bid ends once: later pages and the deadline change nothing.
    walk(window, kItem, { Confirmed, PassDeadline });
    QCOMPARE(store.saved.size(), 1);
}

void TestBidRunner::bidsThatCannotStartAreTold()
{
    account = {};
    start(BidKind::Automatic);
    browser.refuse = true;
    account.user = QStringLiteral("buyer");
    start(BidKind::Real);

    QCOMPARE(store.saved.size(), 2);
    QCOMPARE(*store.saved.at(0).outcome, BidOutcome::NotStarted);
    QVERIFY(store.saved.at(0).message.contains(u"account"));
    QCOMPARE(*store.saved.at(1).outcome, BidOutcome::NotStarted);
    QVERIFY(store.saved.at(1).message.contains(u"browser window"));
    QVERIFY(bidOutcomeSentence(store.saved.at(1)).startsWith(u"Real bid on item " + kItem + u" (Lamp)"));
}

void TestBidRunner::missedMomentsFireOrAreTold_data()
{
    QTest::addColumn<QList<qint64>>("secondsLeftAtChecks");
    QTest::addColumn<BidMomentCall>("lastCall");

    QTest::newRow("regular tick at the lead") << QList<qint64> { 21, 20 } << BidMomentCall::FireNow;
    QTest::newRow("before the lead") << QList<qint64> { 22, 21 } << BidMomentCall::NotYet;
    QTest::newRow("clock jump, time left") << QList<qint64> { 25, 1 } << BidMomentCall::FireNow;
    QTest::newRow("clock jump past the end") << QList<qint64> { 25, 0 } << BidMomentCall::Missed;
    QTest::newRow("asleep past the end") << QList<qint64> { 25, -3600 } << BidMomentCall::Missed;
    QTest::newRow("told once") << QList<qint64> { 25, -1, -2 } << BidMomentCall::Over;
    QTest::newRow("ended before it was watched") << QList<qint64> { -5 } << BidMomentCall::Over;
}

void TestBidRunner::missedMomentsFireOrAreTold()
{
    QFETCH(QList<qint64>, secondsLeftAtChecks);
    QFETCH(BidMomentCall, lastCall);

    BidMomentWatch watch;
    BidMomentCall call = BidMomentCall::NotYet;
    for (const qint64 secondsLeft : secondsLeftAtChecks)
        call = watch.check(kItem, secondsLeft, 20);
    QCOMPARE(call, lastCall);
}

void TestBidRunner::storeKeepsTheLastBidOfWatchedItemsOnly()
{
    QTemporaryDir folder;
    QVERIFY(storeWatchedItems(folder.path(), { kItem }));
    const std::unique_ptr<RegistryStore> registry = openTestStore(folder.path());
    RegistryBidRecordStore kept(*registry);

    start(BidKind::Automatic);
    walk(browser.sessions.at(0), kItem, { ItemPage, SignInPage, Confirmed });
    start(BidKind::Automatic, kOther); // no longer on the list
    walk(browser.sessions.at(1), kOther, { ItemPage, SignInPage, Confirmed });
    store.saved.first().group = QStringLiteral("Lenses");
    for (const BidRecord &record : std::as_const(store.saved))
        kept.saveBidRecord(record);

    QVERIFY(!registry->keyExists(RegRoot::CurrentUser, itemKeyPath(kOther)));
    const QList<BidRecord> loaded = kept.loadBidRecords();
    QCOMPARE(loaded.size(), 1);
    const BidRecord &back = loaded.at(0);
    const BidRecord &sent = store.saved.at(0);
    QCOMPARE(back.item, kItem);
    QCOMPARE(back.kind, BidKind::Automatic);
    QCOMPARE(back.amount, sent.amount);
    QCOMPARE(back.quantity, 2);
    QCOMPARE(back.leadSeconds, 20);
    QCOMPARE(back.group, QStringLiteral("Lenses"));
    QCOMPARE(back.signInAt, sent.signInAt); // to the millisecond
    QCOMPARE(*back.outcome, BidOutcome::Placed);
    QCOMPARE(back.message, sent.message);
}

void TestBidRunner::logShowsNewestFirstAndSortsNumbers()
{
    BidLogModel log;
    QAbstractItemModelTester tester(&log);
    BidRecord stored;
    stored.item = kOther;
    stored.amount = Money::fromText(u"100");
    stored.quantity = 1;
    stored.firedAt = clock.now().addDays(-1);
    stored.outcome = BidOutcome::Placed;
    stored.group = QStringLiteral("Lenses");
    log.addStored({ stored });
    connect(runner.get(), &BidRunner::bidStarted, &log, &BidLogModel::showBid);
    connect(runner.get(), &BidRunner::bidProgressed, &log, &BidLogModel::showBid);
    connect(runner.get(), &BidRunner::bidEnded, &log, &BidLogModel::showBid);

    start(BidKind::Automatic);
    walk(browser.sessions.at(0), kItem, { ItemPage, SignInPage, ProblemAnswer });
    QCOMPARE(log.rowCount(), 2);
    QCOMPARE(log.record(0).item, kItem);
    QCOMPARE(log.index(0, BidLogModel::Bid).data().toString(), QStringLiteral("25.5 x 2"));
    QCOMPARE(log.index(0, BidLogModel::ToSignIn).data().toString(), QStringLiteral("0.30 s"));
    QCOMPARE(log.index(0, BidLogModel::ToSignIn).data(BidLogModel::SortRole).toLongLong(), 300);
    QCOMPARE(log.index(0, BidLogModel::Bid).data(BidLogModel::SortRole).toDouble(), 51.0);
    QVERIFY(log.index(0, BidLogModel::Outcome).data().toString().startsWith(u"refused by the site: "));
    QCOMPARE(log.copyText({ 1 }).count(u'\t'), BidLogModel::ColumnCount - 1);
    QCOMPARE(log.index(1, BidLogModel::Group).data().toString(), QStringLiteral("Lenses"));
    QCOMPARE(log.headerData(BidLogModel::Group, Qt::Horizontal).toString(), QStringLiteral("Group"));
}

void TestBidRunner::auctionEndIsToldOnceWonOrLost()
{
    AuctionEndNotice notice;
    AuctionEnd end { kItem, QStringLiteral("Lamp"), false, false, QStringLiteral("US $31.00") };
    QVERIFY(!notice.check(end)); // still running
    end.ended = true;
    QCOMPARE(notice.check(end).value_or(QString()),
        u"The automatic bid lost item " + kItem + u" (Lamp) to a higher bid; it ended at US $31.00.");
    QVERIFY(!notice.check(end)); // told once
    QCOMPARE(notice.check({ kOther, {}, true, true, QStringLiteral("$12.50") }).value_or(QString()),
        u"You won item " + kOther + u" for $12.50.");
    // A bid that never reached the site did not lose to a higher one.
    QCOMPARE(notice
                 .check({ QStringLiteral("7000003"), {}, true, false, QStringLiteral("$9.00"),
                     QStringLiteral("site unreachable") })
                 .value_or(QString()),
        QStringLiteral("Item 7000003 ended at $9.00 without the automatic bid: site unreachable."));
}

QTEST_GUILESS_MAIN(TestBidRunner)
#include "TestBidRunner.moc"
