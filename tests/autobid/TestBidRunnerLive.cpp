// Bids through real browser windows against the simulated site: several started in the same
// moment are all placed, and the site's refusals, a refused sign-in and an unreachable site
// each end their bid with what happened.

#include <QApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWidget>

#include "TestSupport.h"
#include "autobid/BidRunner.h"
#include "autobid/BrowserWarmUp.h"
#include "browser/BrowserFactory.h"
#include "platform/IBrowserFactory.h"
#include "platform/IBrowserSession.h"
#include "platform/SystemClock.h"
#include "sim/Simulator.h"

using namespace th;
using namespace th::test;

namespace {
constexpr qint64 kFirst = 2407620001;
constexpr qint64 kMotors = 2407620009;
constexpr int kPageWait = 90000;
} // namespace

class TestBidRunnerLive final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void bidsStartedTogetherAreAllPlaced();
    void eachBidEndsAsTheSiteAnswers_data();
    void eachBidEndsAsTheSiteAnswers();
    void warmUpFindsTheSignInFormAndWindowsClose();

private:
    void addItem(qint64 number, bool motors);
    // The member's highest bid on `number` in cents, 0 when none.
    qint64 bidOf(qint64 number);
    QList<BidRecord> run(const HostPort &host, const QString &password, const QList<BidOrder> &orders);

    sim::Simulator m_sim;
    SystemClock m_clock;
    std::unique_ptr<IBrowserFactory> m_browser;
};

void TestBidRunnerLive::addItem(qint64 number, bool motors)
{
    sim::Listing listing;
    listing.number = number;
    listing.title = u"Pewter jug " + QString::number(number % 100);
    listing.motors = motors;
    listing.startPrice = 1000;
    listing.endTime = m_sim.clock().now().addSecs(3600);
    QVERIFY(m_sim.addItem(listing));
}

qint64 TestBidRunnerLive::bidOf(qint64 number)
{
    qint64 cents = 0;
    const std::optional<sim::ItemSnapshot> item = m_sim.item(number);
    for (const sim::Bid &bid : item->bids) {
        if (bid.bidder == u"buyer")
            cents = qMax(cents, qint64(bid.maximum));
    }
    return cents;
}

void TestBidRunnerLive::initTestCase()
{
    QVERIFY(m_sim.start());
    m_sim.addUser({ QStringLiteral("buyer"), QStringLiteral("s3cret"), 12 });
    for (qint64 number = kFirst; number < kFirst + 4; ++number)
        addItem(number, false);
    addItem(kMotors, true);
    m_browser = makeBrowserFactory();
}

QList<BidRecord> TestBidRunnerLive::run(
    const HostPort &host, const QString &password, const QList<BidOrder> &orders)
{
    BidRunner runner({ *m_browser, m_clock,
        [password] {
            return BidAccount { QStringLiteral("buyer"), password };
        },
        host, nullptr });
    QSignalSpy ended(&runner, &BidRunner::bidEnded);
    for (const BidOrder &order : orders)
        runner.start(order);
    [&] { QTRY_COMPARE_WITH_TIMEOUT(ended.size(), orders.size(), kPageWait); }();
    QList<BidRecord> records;
    for (const QList<QVariant> &signal : std::as_const(ended))
        records.append(signal.at(0).value<BidRecord>());
    return records;
}

void TestBidRunnerLive::bidsStartedTogetherAreAllPlaced()
{
    const HostPort host { m_sim.address().toString(), m_sim.sitePort(), m_sim.siteHostPort() };
    QList<BidOrder> orders;
    for (qint64 number = kFirst; number < kFirst + 3; ++number)
        orders.append({ QString::number(number), {}, BidKind::Automatic, Money::fromText(u"25.5"), 1, 3 });
    const QList<BidRecord> records = run(host, QStringLiteral("s3cret"), orders);
    QCOMPARE(records.size(), 3);
    for (const BidRecord &record : records) {
        QCOMPARE(*record.outcome, BidOutcome::Placed);
        QVERIFY2(record.message.contains(u"high bidder"), qPrintable(record.message));
        QVERIFY(record.bidFormAt.isValid() && record.signInAt.isValid());
        QCOMPARE(bidOf(record.item.toLongLong()), 2550);
    }
}

void TestBidRunnerLive::eachBidEndsAsTheSiteAnswers_data()
{
    QTest::addColumn<qint64>("item");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("siteDown");
    QTest::addColumn<BidOutcome>("outcome");

    QTest::newRow("motors item placed") << kMotors << "31"
                                        << "s3cret" << false << BidOutcome::Placed;
    QTest::newRow("below the price") << kFirst + 3 << "5"
                                     << "s3cret" << false << BidOutcome::Refused;
    QTest::newRow("wrong password") << kFirst + 3 << "40"
                                    << "wrong" << false << BidOutcome::SignInRefused;
    QTest::newRow("site down") << kFirst + 3 << "40"
                               << "s3cret" << true << BidOutcome::Unreachable;
}

void TestBidRunnerLive::eachBidEndsAsTheSiteAnswers()
{
    QFETCH(qint64, item);
    QFETCH(QString, amount);
    QFETCH(QString, password);
    QFETCH(bool, siteDown);
    QFETCH(BidOutcome, outcome);

    HostPort host { m_sim.address().toString(), m_sim.sitePort(), m_sim.siteHostPort() };
    if (siteDown) {
        // A port that was free a moment ago: nothing listens there.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        host.port = probe.serverPort();
        host.text = host.host + u':' + QString::number(host.port);
    }
    const QList<BidRecord> records = run(
        host, password, { { QString::number(item), {}, BidKind::Real, Money::fromText(amount), 1, 0 } });
    QCOMPARE(records.size(), 1);
    QCOMPARE(*records.at(0).outcome, outcome);
    QVERIFY(!records.at(0).message.isEmpty());
    QCOMPARE(bidOf(item) > 0, outcome == BidOutcome::Placed);
}

void TestBidRunnerLive::warmUpFindsTheSignInFormAndWindowsClose()
{
    const HostPort host { m_sim.address().toString(), m_sim.sitePort(), m_sim.siteHostPort() };
    BrowserWarmUp warmUp({ *m_browser, m_clock, host, [this] { return std::optional(m_clock.now()); } });
    QSignalSpy changed(&warmUp, &BrowserWarmUp::signInPageChanged);
    QSignalSpy loaded(m_browser->warmUp(), &IBrowserSession::documentComplete);
    warmUp.check();
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kPageWait);
    QCOMPARE(changed.size(), 0);

    const auto shown = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.begin(), windows.end(), [](QWidget *w) { return w->isVisible(); });
    };
    const auto before = shown();
    BidRunner runner({ *m_browser, m_clock,
        [] {
            return BidAccount { QStringLiteral("buyer"), QStringLiteral("s3cret") };
        },
        host, nullptr, 0 });
    QSignalSpy ended(&runner, &BidRunner::bidEnded);
    runner.start({ QString::number(kFirst + 1), {}, BidKind::Automatic, Money::fromText(u"41"), 1, 3 });
    QCOMPARE(shown(), before + 1);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, kPageWait);
    // Nobody touched it: the window goes once its outcome is in.
    QTRY_COMPARE_WITH_TIMEOUT(shown(), before, 5000);
}

QTEST_MAIN(TestBidRunnerLive)
#include "TestBidRunnerLive.moc"
