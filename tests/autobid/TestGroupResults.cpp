// A bid group of five against the simulated site, on the whole program with a scripted
// browser: each member's result is read from its item's page after its end, and once the
// group has its win the members still to come are cancelled, each with its reason.

#include <QTest>
#include <QUrlQuery>

#include "../update/EngineFixture.h"
#include "AppFixture.h"
#include "FakeBrowser.h"
#include "FakeTray.h"
#include "app/AppParts.h"
#include "app/frmWatch.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidGroupBook.h"
#include "autobid/BidGroupResults.h"
#include "autobid/BidGroupStore.h"
#include "autobid/BidLogModel.h"
#include "autobid/BidRunner.h"
#include "autobid/BidSettings.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

using namespace th;
using namespace th::test;

namespace {
constexpr qint64 kFirst = 2407630001;
constexpr int kMembers = 5;
constexpr int kLead = 5;
constexpr int kPageWait = 60000;
const QString kGroup = QStringLiteral("lens");
} // namespace

class TestGroupResults final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void groupOfFiveWinsOneAndCancelsTheRest();

private:
    QString item(int k) const { return QString::number(kFirst + k); }
    // The member's bid as the site has it, in cents; 0 for none.
    qint64 siteBidOf(int k, const QString &member);
    // Walks a fired bid's window through the site's pages and places the bid on the site.
    void answerBid(FakeBrowserSession &window);

    std::unique_ptr<ThreadedSimulator> remote;
    std::unique_ptr<AppFixture> f;
    QString m_flow;
};

void TestGroupResults::init()
{
    remote = std::make_unique<ThreadedSimulator>();
    QVERIFY(remote->start());
    QString host;
    remote->run([&] {
        sim::AuctionHouse &house = remote->sim().house();
        house.addUser(sim::SimUser { QStringLiteral("buyer"), QStringLiteral("s3cret"), 12 });
        house.addUser(sim::SimUser { QStringLiteral("rival"), QStringLiteral("rival"), 40 });
        for (int k = 0; k < kMembers; ++k) {
            sim::Listing listing;
            listing.number = kFirst + k;
            listing.title = u"50mm lens, copy " + QString::number(k + 1);
            listing.startPrice = 1000;
            listing.endTime = remote->sim().clock().now().addSecs(180 + 60 * k);
            QString error;
            QVERIFY2(house.addItem(listing, &error), qPrintable(error));
        }
        // The first copy goes to a rival who will pay more than the buyer.
        house.placeBid(kFirst, QStringLiteral("rival"), 8000);
        host = remote->sim().siteHostPort();
    });
    m_flow = u"http://" + host + u"/aw-cgi/eBayISAPI.dll";
    f = std::make_unique<AppFixture>();
    f->writeConfig(host);
    QStringList items;
    for (int k = 0; k < kMembers; ++k)
        items.append(item(k));
    QVERIFY(storeWatchedItems(f->dataFolder.path(), items));
}

void TestGroupResults::cleanup()
{
    f.reset();
    remote.reset();
}

qint64 TestGroupResults::siteBidOf(int k, const QString &member)
{
    qint64 found = 0;
    remote->run([&] {
        const std::optional<sim::ItemSnapshot> snapshot = remote->sim().house().snapshot(kFirst + k);
        for (const sim::Bid &bid : snapshot ? snapshot->bids : QList<sim::Bid> {}) {
            if (bid.bidder == member)
                found = bid.maximum;
        }
    });
    return found;
}

void TestGroupResults::answerBid(FakeBrowserSession &window)
{
    const QUrl page(window.actions.at(0).text);
    const qint64 number = QUrlQuery(page).queryItemValue(QStringLiteral("item")).toLongLong();
    remote->run(
        [&] { QVERIFY(remote->sim().house().placeBid(number, QStringLiteral("buyer"), 5000).accepted()); });
    window.complete(page, { {}, { "item", "maxbid", "quant" } });
    window.complete(QUrl(m_flow), { {}, { "item", "user", "pass" } });
    window.answer(QUrl(m_flow), QStringLiteral("eBay - Bid Confirmation"),
        QStringLiteral("Bid confirmation\nYou are the current high bidder, buyer.\n"));
}

void TestGroupResults::groupOfFiveWinsOneAndCancelsTheRest()
{
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    const AppParts &p = f->app->parts();
    QTRY_VERIFY_WITH_TIMEOUT(p.engine->gblnAutoBidStarted(), kPageWait);
    // Ticked by hand from here on, on the site's clock.
    p.mainWindow->tmrChkAutoBid.stop();
    remote->run([&] { f->clock->set(remote->sim().clock().now()); });
    p.settings->EBayID = QStringLiteral("buyer");
    p.settings->EBayPWD = QStringLiteral("s3cret");
    for (int k = 0; k < kMembers; ++k) {
        WatchItemRecord &record = p.records->at(p.records->find(double(kFirst + k)));
        record.recMaxAutoBid = Money::fromText(u"50");
        record.recMaxQuantity = 1;
        record.recMaxTimeLeft = kLead;
        storeAutoBid(*p.store, item(k), record);
        storeBidGroup(*p.store, item(k), kGroup);
    }
    p.bidGroups->reload();
    // A rival's bid after the last full update: the second copy ends above the price the
    // list last read for it.
    remote->run([&] {
        QVERIFY(remote->sim().house().placeBid(kFirst + 1, QStringLiteral("rival"), 2000).accepted());
    });
    auto *results = p.autoBidTrigger->findChild<BidGroupResults *>();
    QVERIFY(results);

    for (int second = 0; second < 180 + 60 * (kMembers - 1) + 30; ++second) {
        f->clock->advanceSeconds(1);
        remote->run([&] { remote->sim().clock().advanceSeconds(1); });
        const qsizetype fired = f->browser->sessions.size();
        p.autoBidTrigger->tmrChkAutoBid_Timer();
        if (f->browser->sessions.size() > fired)
            answerBid(*f->browser->sessions.last());
        results->check();
    }

    const BidGroups &groups = p.bidGroups->groups();
    QCOMPARE(groups.member(item(0))->state, GroupMemberState::Lost);
    QCOMPARE(groups.member(item(1))->state, GroupMemberState::Won);
    for (int k = 2; k < kMembers; ++k) {
        QCOMPARE(groups.member(item(k))->state, GroupMemberState::Cancelled);
        QCOMPARE(siteBidOf(k, QStringLiteral("buyer")), 0);
    }
    QCOMPARE(f->browser->sessions.size(), 2);
    // Each cancelled member has its line in the bid log, with its reason.
    QStringList cancelled;
    for (int row = 0; row < p.bidLog->rowCount(); ++row) {
        const BidRecord &record = p.bidLog->record(row);
        if (record.outcome == BidOutcome::Cancelled) {
            cancelled.append(record.item);
            QVERIFY2(record.message.contains(u"wins up to 1, and " + item(1) + u" won"),
                qPrintable(record.message));
            // The log's line says what happened once, not "cancelled: Cancelled: ...".
            const QString shown = p.bidLog->index(row, BidLogModel::Outcome).data().toString();
            QCOMPARE(shown.count(u"ancelled", Qt::CaseInsensitive), 1);
        }
    }
    cancelled.sort();
    QCOMPARE(cancelled, QStringList({ item(2), item(3), item(4) }));
    // The user hears of the cancelling once, with the group's win.
    const auto told
        = std::count_if(f->tray->messages.cbegin(), f->tray->messages.cend(), [](const QString &text) {
              return text.contains(u"Bid group \"lens\" has won " + QString::number(kFirst + 1));
          });
    QCOMPARE(told, 1);
    // The end notice names the final price as the page after the end showed it.
    const QString price = p.listModel->subItem(p.listModel->findRow(item(1)), WatchListModel::Price);
    QVERIFY(!price.isEmpty() && price != QStringLiteral("$10.00"));
    QVERIFY2(f->tray->messages.filter(u"You won item " + item(1)).value(0).contains(u"for " + price),
        qPrintable(f->tray->messages.join(u'\n')));
}

QTEST_MAIN(TestGroupResults)
#include "TestGroupResults.moc"
