// The step that applies one item page, on pages written by hand: when the user has won.

#include "EngineFixture.h"
#include "engine/ItemPageData.h"
#include "engine/PageApplier.h"

using namespace th;
using namespace th::test;

class TestPageApplier final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wonOnlyWhenTheHighBidderIsTheUser_data();
    void wonOnlyWhenTheHighBidderIsTheUser();
};

void TestPageApplier::wonOnlyWhenTheHighBidderIsTheUser_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("highBidder");
    QTest::addColumn<bool>("won");
    QTest::newRow("the user, other capitals") << "Secret_User_ID42"
                                              << "secret_user_id42" << true;
    QTest::newRow("the user, blanks around") << " secret_user_id42 "
                                             << "secret_user_id42  " << true;
    QTest::newRow("a rival named like the middle of the user") << "secret_user_id42"
                                                               << "user" << false;
    QTest::newRow("a rival named like the end of the user") << "secret_user_id42"
                                                            << "id4" << false;
    QTest::newRow("a rival whose name holds the user's") << "user"
                                                         << "secret_user_id42" << false;
    QTest::newRow("no high bidder") << "secret_user_id42"
                                    << "" << false;
    QTest::newRow("neither") << " "
                             << "" << false;
}

void TestPageApplier::wonOnlyWhenTheHighBidderIsTheUser()
{
    QFETCH(QString, user);
    QFETCH(QString, highBidder);
    QFETCH(bool, won);
    EngineFixture f;
    QVERIFY(f.setUp());
    f.clock.set(QDateTime(QDate(2026, 3, 2), QTime(12, 0)));
    f.settings.EBayID = user;
    const QString item = QStringLiteral("2400000042");
    f.model.addRow(item);
    PageApplier applier(
        PageApplier::Context { f.model, f.records, *f.store, f.settings, *f.clockSync, f.clock });
    ItemPageData page;
    page[ItemPageData::Title] = QStringLiteral("Pewter tankard");
    page[ItemPageData::BidCount] = QStringLiteral("3");
    page[ItemPageData::CurrentBid] = QStringLiteral("US $12.00");
    page[ItemPageData::EndsText] = QStringLiteral("Feb-27-26 10:00:00 PST"); // over
    page[ItemPageData::HighBidder] = highBidder;
    QVERIFY(applier.apply(page, item, PageApplier::Variant::Pass).ok());
    QCOMPARE(f.records.at(1).recAutoBidState, won ? 5 : 0);
    QCOMPARE(GetRegString(*f.store, RegRoot::CurrentUser, itemKeyPath(item), QStringLiteral("WonItem")),
        won ? QStringLiteral("True") : QString());
    QCOMPARE(f.model.icon(0) == WatchListModel::IconHammerWin, won);
}

QTEST_GUILESS_MAIN(TestPageApplier)
#include "TestPageApplier.moc"
