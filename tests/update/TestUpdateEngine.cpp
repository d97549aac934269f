#include <QColor>
#include <QTcpServer>
#include <QTcpSocket>

#include "EngineFixture.h"
#include "common/Formats.h"
#include "engine/EngineRequest.h"

using namespace th;
using namespace th::test;

// The all-items pass end to end against the simulator: requests, queues, answers of every
// kind, time-outs, restarts, new bids, wins and the countdown.
class TestUpdateEngine final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void passOverTwelveItemsFillsEveryColumn();
    void requestsAreByteForByte();
    void motorsItemIsFetchedAgainUnderTheMotorsPath();
    void emptyAnswerShowsErrAndCounts();
    void neverClosingServerIsReconnectedAfter25Seconds();
    void restartedPassLosesTheOldAnswers();
    void newBidNotifiesByTheMinuteRuleAfterAFirstPass();
    void wonItemIsStoredAndShown();
    void countdownAfterAPass();
    void minuteCounterStartsAPassAtTheInterval();
    void oversizeAnswerIsCapped();
    void sortingWhileAPassRunsKeepsEveryAnswerOnItsItem();
    void newBidWindowOpenForMinutesCountsEveryAnswerOnce();
    void passStartLeavesNoEngineOfAnEarlierPassRunning();
    void rowsAddedOrRemovedDuringAPassEndItOnce_data();
    void rowsAddedOrRemovedDuringAPassEndItOnce();
    void unreachableSiteEndsThePassWithErr();
    void reconnectStartsTheAnswerAfresh();
    void answersOnOpenConnectionsNeedNoTimeOut_data();
    void answersOnOpenConnectionsNeedNoTimeOut();
    void anItemTheSiteDoesNotKnowIsNamedOnce();
    void changedPagesAreToldOnceNamingTheArmedBids();
    void serverErrorsAreNotBlamedOnThePages();
    void pagesThatCannotBeAppliedAreToldOnceWhenThePassEnds();

private:
    std::unique_ptr<EngineFixture> f;
};

void TestUpdateEngine::init()
{
    f = std::make_unique<EngineFixture>();
    QVERIFY(f->setUp());
}

void TestUpdateEngine::cleanup()
{
    f.reset();
}

void TestUpdateEngine::passOverTwelveItemsFillsEveryColumn()
{
    for (int i = 1; i <= 12; ++i)
        f->watch(2400000000 + i, 3600 * i);
    f->engine->subSplitToEngines();
    const QList<QList<int>> queues = { { 1, 6, 11 }, { 2, 7, 12 }, { 3, 8 }, { 4, 9 }, { 5, 10 } };
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(f->engine->engine(k).gEngineQueue, queues[k - 1]);

    QSignalSpy status(f->engine.get(), &UpdateEngine::statusChanged);
    QVERIFY(f->runPass());
    QCOMPARE(status[1][1].toString(), QStringLiteral("Updating......stay cool....(3,3,2,2,2)"));
    QCOMPARE(f->engine->glngUpdatedCount(), 12);
    QVERIFY(f->panels[1].startsWith(u"Last Update: "));
    QVERIFY(f->failures.isEmpty());
    for (int i = 1; i <= 12; ++i) {
        const qint64 number = 2400000000 + i;
        for (int sub : { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 })
            QVERIFY2(!f->cell(number, sub).isEmpty(),
                qPrintable(QStringLiteral("item %1 column %2").arg(number).arg(sub)));
        QCOMPARE(
            f->cell(number, WatchListModel::ItemName), QStringLiteral("Brass ship lantern no. %1").arg(i));
        const WatchItemRecord &record = f->records.at(f->row(number) + 1);
        QCOMPARE(record.recItemNumber, double(number));
        QCOMPARE(record.recCurrentPrice, Money::fromText(u"10"));
        QVERIFY(record.recEndDate > f->clock.now());
    }
    // Sorted by end date after the pass, records with their rows, and every engine idle again.
    for (int r = 0; r < 12; ++r) {
        QCOMPARE(f->model.rowText(r), QString::number(2400000001 + r));
        QCOMPARE(f->records.at(r + 1).recItemNumber, double(2400000001 + r));
    }
    for (int k = 1; k <= 5; ++k) {
        QCOMPARE(f->engine->engine(k).glngEnginePos, 1);
        QVERIFY(!f->engine->tmrSockTimeOut[k - 1].isActive());
    }
    QVERIFY(f->tmrChkAutoBid.isActive());
    QVERIFY(f->engine->tmrCheckBids.isActive());
    QVERIFY(f->engine->gblnNotifyReady());
}

void TestUpdateEngine::requestsAreByteForByte()
{
    f->watch(123456789, 3600);
    QVERIFY(f->runPass());
    const auto entries = f->sim.requestLog().entries();
    QCOMPARE(entries.size(), 1);
    const QByteArray expected
        = "GET /ws/eBayISAPI.dll?ViewItem&item=123456789 HTTP/1.1\r\n"
          "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-powerpoint, "
          "application/vnd.ms-excel, application/msword, */*\r\n"
          "Referer: http://www.ebay.com\r\n"
          "Accept-Language: en-us\r\n"
          "Content-Type: application/x-www-form-urlencoded\r\n"
          "Accept-Encoding: gzip , deflate\r\n"
          "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; MSNIA; Windows NT 5.0)\r\n"
          "Host: www.ebay.com \r\n"
          "Content-Length: 24\r\n"
          "Connection: Keep-Alive\r\n"
          "\r\n"
          "?ViewItem&item=123456789";
    QCOMPARE(entries[0].raw, expected);
}

void TestUpdateEngine::motorsItemIsFetchedAgainUnderTheMotorsPath()
{
    sim::Listing listing;
    listing.number = 2500000001;
    listing.title = QStringLiteral("1967 roadster, restored");
    listing.motors = true;
    listing.endTime = f->sim.clock().now().addSecs(7200);
    QString error;
    QVERIFY2(f->sim.house().addItem(listing, &error), qPrintable(error));
    SaveRegString(*f->store, RegRoot::CurrentUser, itemKeyPath(QStringLiteral("2500000001")),
        QStringLiteral("Item"), QStringLiteral("2500000001"));
    f->model.addRow(QStringLiteral("2500000001"));
    f->watch(2500000002, 3600);
    QVERIFY(f->runPass());
    const auto motors = f->sim.requestLog().entriesFor("item=2500000001");
    QCOMPARE(motors.size(), 2);
    QVERIFY(motors[0].target.startsWith("/ws/eBayISAPI.dll"));
    QVERIFY(motors[1].target.startsWith("/ebaymotors/ws/eBayISAPI.dll"));
    QCOMPARE(f->cell(2500000001, WatchListModel::ItemName), QStringLiteral("1967 roadster, restored"));
    // The flag went with the applied answer: the engine's next item would use /ws/ again.
    QVERIFY(!f->engine->engine(1).intMotorsRetry);
}

void TestUpdateEngine::emptyAnswerShowsErrAndCounts()
{
    f->watch(2400000001, 3600);
    f->watch(2400000002, 3600);
    sim::Fault empty;
    empty.mode = sim::Fault::Mode::Empty;
    f->sim.setItemFault(2400000002, empty);
    QVERIFY(f->runPass());
    QCOMPARE(f->engine->glngUpdatedCount(), 2);
    QCOMPARE(f->cell(2400000002, WatchListModel::Price), QStringLiteral("Err."));
    QVERIFY(f->cell(2400000001, WatchListModel::Price).contains(u"10.00"));
}

void TestUpdateEngine::neverClosingServerIsReconnectedAfter25Seconds()
{
    f->watch(2400000001, 3600);
    sim::Fault open;
    open.mode = sim::Fault::Mode::NeverClose;
    open.count = 1;
    f->sim.setItemFault(2400000001, open);
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    // The answer arrives but the connection stays open.
    QTRY_VERIFY(!f->engine->engine(1).gstrEngineBuffer.isEmpty());
    QVERIFY(f->engine->tmrSockTimeOut[0].isActive());
    // A tick 25 seconds after the connect is not enough; one after 26 is.
    f->clock.advanceSeconds(25);
    f->engine->tmrSockTimeOut_Timer(0);
    QVERIFY(f->labels.isEmpty());
    f->clock.advanceSeconds(1);
    f->engine->tmrSockTimeOut_Timer(0);
    QCOMPARE(f->labels[0], QStringLiteral("Engine-1- (R1)"));
    QCOMPARE(f->engine->engine(1).lngReconnectCount, 1);
    // The reconnect asks again, gets a closing answer and the pass ends; the first copy of
    // the answer stayed in front.
    QVERIFY(finished.wait(10000));
    QCOMPARE(f->sim.requestLog().entriesFor("item=2400000001").size(), 2);
    QCOMPARE(f->cell(2400000001, WatchListModel::ItemName), QStringLiteral("Brass ship lantern no. 1"));
}

void TestUpdateEngine::restartedPassLosesTheOldAnswers()
{
    for (int i = 1; i <= 6; ++i)
        f->watch(2400000000 + i, 3600 * i);
    sim::Fault slow;
    slow.latencyMs = 300;
    slow.count = 5;
    f->sim.setFaultForAll(slow);
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    auto requestsRead = [this] {
        int read = 0;
        for (const sim::LoggedRequest &entry : f->sim.requestLog().entries())
            read += entry.target.isEmpty() ? 0 : 1;
        return read;
    };
    QTRY_COMPARE(requestsRead(), 5);
    // The new pass's answers go out after every answer of the first pass has.
    slow.latencyMs = 600;
    slow.count = 6;
    f->sim.setFaultForAll(slow);
    // While the first answers are still on their way, the titles change and a new pass starts.
    for (int i = 1; i <= 6; ++i) {
        auto snapshot = f->sim.item(2400000000 + i);
        QVERIFY(snapshot);
        sim::Listing listing = snapshot->listing;
        listing.title = QStringLiteral("Second pass %1").arg(i);
        QString error;
        QVERIFY2(f->sim.house().updateItem(listing, &error), qPrintable(error));
    }
    f->engine->subActive2();
    QVERIFY(finished.wait(20000));
    QCOMPARE(f->engine->glngUpdatedCount(), 6);
    QCOMPARE(finished.size(), 1);
    for (int i = 1; i <= 6; ++i)
        QCOMPARE(f->cell(2400000000 + i, WatchListModel::ItemName), QStringLiteral("Second pass %1").arg(i));
}

void TestUpdateEngine::newBidNotifiesByTheMinuteRuleAfterAFirstPass()
{
    f->settings.chkShowBidNotification = 1;
    f->settings.PlayBidIncrementNotifySound = 1;
    f->sim.addUser({ QStringLiteral("rival"), QString(), 40 });
    f->watch(2400000010, 600); // ends in 10 minutes
    f->watch(2400000003, 180); // ends in 3 minutes
    QVERIFY(f->runPass());
    QVERIFY(f->notified.isEmpty()); // the first pass only learns the counts
    QCOMPARE(f->cell(2400000010, WatchListModel::Bids), QStringLiteral("0"));

    QVERIFY(f->sim.placeBid(2400000010, QStringLiteral("rival"), 1500).accepted());
    QVERIFY(f->sim.placeBid(2400000003, QStringLiteral("rival"), 1500).accepted());
    QVERIFY(f->runPass());
    QCOMPARE(f->model.icon(f->row(2400000010)), int(WatchListModel::IconUp));
    QCOMPARE(f->model.icon(f->row(2400000003)), int(WatchListModel::IconUp));
    QCOMPARE(f->notified.size(), 1);
    QCOMPARE(f->model.rowText(f->notified[0]), QStringLiteral("2400000010"));
    QCOMPARE(f->sounded, QList<int> { f->notified[0] });

    // No change on the next pass: nothing new to announce, the up arrow stays.
    QVERIFY(f->runPass());
    QCOMPARE(f->notified.size(), 1);
    QCOMPARE(f->model.icon(f->row(2400000010)), int(WatchListModel::IconUp));
}

void TestUpdateEngine::wonItemIsStoredAndShown()
{
    f->settings.EBayID = QStringLiteral("Buyer_Joe");
    f->sim.addUser({ QStringLiteral("buyer_joe"), QStringLiteral("pw"), 12 });
    sim::Bid bid;
    bid.bidder = QStringLiteral("buyer_joe");
    bid.maximum = 3000;
    bid.placedAt = f->sim.clock().now().addSecs(-7200);
    const sim::Listing listing = f->watch(2400000077, 3600, { bid });
    f->sim.clock().advanceSeconds(7200);
    f->clock.advanceSeconds(7200);
    QVERIFY(f->runPass());
    QCOMPARE(GetRegString(*f->store, RegRoot::CurrentUser, itemKeyPath(QStringLiteral("2400000077")),
                 QStringLiteral("WonItem")),
        QStringLiteral("True"));
    QCOMPARE(f->model.icon(f->row(2400000077)), int(WatchListModel::IconHammerWin));
    QCOMPARE(f->records.at(f->row(2400000077) + 1).recAutoBidState, 5);
    // The row reads as won: ended, in a colour of its own.
    QVERIFY(f->model.ended(f->row(2400000077)));
    QCOMPARE(f->model.data(f->model.index(f->row(2400000077), 1), Qt::ForegroundRole).value<QColor>(),
        QColor(0, 110, 40));
    // Later updates keep the icon through the stored mark alone.
    f->settings.EBayID.clear();
    QVERIFY(f->runPass());
    QCOMPARE(f->model.icon(f->row(2400000077)), int(WatchListModel::IconHammerWin));
}

void TestUpdateEngine::countdownAfterAPass()
{
    f->watch(2400000001, 3600);
    QVERIFY(f->runPass());
    QVERIFY(f->engine->tmNextUpdate.isActive());
    f->clock.advanceSeconds(1);
    f->engine->tmNextUpdate_Timer();
    QCOMPARE(f->caption, QStringLiteral("Search   ----   [Time to the next update: 04:59]"));
}

void TestUpdateEngine::minuteCounterStartsAPassAtTheInterval()
{
    f->watch(2400000001, 3600);
    QVERIFY(f->runPass());
    const int before = f->sim.requestLog().entries().size();
    for (int minute = 1; minute <= 4; ++minute)
        f->engine->tmrCheckBids_Timer();
    QCOMPARE(f->engine->lngMinutes(), 4);
    QVERIFY(!f->engine->tmrSockTimeOut[0].isActive()); // no pass started
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->tmrCheckBids_Timer();
    QCOMPARE(f->engine->lngMinutes(), 0);
    QVERIFY(!f->engine->tmrCheckBids.isActive()); // locked while the pass runs
    QVERIFY(finished.wait(10000));
    QCOMPARE(f->sim.requestLog().entries().size(), before + 1);
}

void TestUpdateEngine::oversizeAnswerIsCapped()
{
    f->watch(2400000001, 3600);
    sim::Fault big;
    big.mode = sim::Fault::Mode::Oversize;
    f->sim.setItemFault(2400000001, big);
    QVERIFY(f->runPass());
    QCOMPARE(f->cell(2400000001, WatchListModel::ItemName), QStringLiteral("Brass ship lantern no. 1"));
    QVERIFY(f->engine->engine(1).gstrEngineBuffer.isEmpty());
}

void TestUpdateEngine::sortingWhileAPassRunsKeepsEveryAnswerOnItsItem()
{
    // Dealt in the order 1..8 (no end dates yet); the user sorts while the answers travel.
    for (int i = 1; i <= 8; ++i)
        f->watch(2400000000 + i, 3600 * (9 - i));
    QVERIFY(f->runPass()); // now sorted: item 8 (ending first) on top
    QCOMPARE(f->model.rowText(0), QStringLiteral("2400000008"));
    sim::Fault slow;
    slow.latencyMs = 300;
    f->sim.setFaultForAll(slow);
    // Reverse the end times so that the next sort turns the list round.
    for (int i = 1; i <= 8; ++i) {
        sim::Listing listing = f->sim.item(2400000000 + i)->listing;
        listing.endTime = f->sim.clock().now().addSecs(3600 * i);
        QString error;
        QVERIFY(f->sim.house().updateItem(listing, &error));
    }
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    const qsizetype before = f->sim.requestLog().entries().size();
    f->engine->subActive2();
    QTRY_COMPARE(f->sim.requestLog().entries().size(), before + 5);
    // The user clicks a header: rows move in the middle of the pass (a row without a known
    // end goes to the top).
    f->model.setSubItem(4, WatchListModel::EndDate2, QString());
    const QString moved = f->model.rowText(4);
    f->model.sortByEndDate();
    QCOMPARE(f->model.rowText(0), moved);
    QVERIFY(finished.wait(10000));
    for (int row = 0; row < f->model.rowCount(); ++row) {
        const QString item = f->model.rowText(row);
        const int n = item.right(1).toInt();
        QCOMPARE(f->model.subItem(row, WatchListModel::ItemName),
            QStringLiteral("Brass ship lantern no. %1").arg(n));
        QCOMPARE(f->records.at(row + 1).recItemNumber, item.toDouble());
        QCOMPARE(f->records.at(row + 1).recTitle, QStringLiteral("Brass ship lantern no. %1").arg(n));
    }
    QCOMPARE(f->model.rowText(0), QStringLiteral("2400000001"));
}

void TestUpdateEngine::newBidWindowOpenForMinutesCountsEveryAnswerOnce()
{
    f->settings.chkShowBidNotification = 1;
    f->sim.addUser({ QStringLiteral("rival"), QString(), 40 });
    for (int i = 1; i <= 6; ++i)
        f->watch(2400000000 + i, 3600 * i);
    QVERIFY(f->runPass());
    QVERIFY(f->sim.placeBid(2400000001, QStringLiteral("rival"), 1500).accepted());
    const qsizetype before = f->sim.requestLog().entries().size();
    int windows = 0;
    f->whileAnnouncing = [&](int) {
        ++windows;
        // The window stays open for 90 seconds while the other engines finish their items
        // and every time-out keeps ticking.
        QTRY_VERIFY(f->engine->glngUpdatedCount() >= 5);
        for (int tick = 0; tick < 6; ++tick) {
            f->clock.advanceSeconds(15);
            for (int i = 0; i < UpdateEngine::kEngines; ++i)
                f->engine->tmrSockTimeOut_Timer(i);
            QCoreApplication::processEvents();
        }
        QVERIFY(!f->engine->tmrSockTimeOut[0].isActive());
    };
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    QVERIFY(finished.wait(10000));
    QCOMPARE(windows, 1);
    QCOMPARE(f->engine->glngUpdatedCount(), 6);
    QCOMPARE(f->sim.requestLog().entries().size(), before + 6);
    QCOMPARE(f->sim.requestLog().entriesFor("item=2400000001").size(), 2); // one a pass
    QCOMPARE(finished.size(), 1);
    for (int i = 1; i <= 6; ++i)
        QVERIFY(!f->cell(2400000000 + i, WatchListModel::Price).startsWith(u"Updating"));
}

void TestUpdateEngine::passStartLeavesNoEngineOfAnEarlierPassRunning()
{
    for (int i = 1; i <= 6; ++i)
        f->watch(2400000000 + i, 3600);
    sim::Fault slow;
    slow.latencyMs = 300;
    f->sim.setFaultForAll(slow);
    f->engine->subActive2();
    QTRY_COMPARE(f->sim.requestLog().entries().size(), 5);
    // While five answers travel the list shrinks to two rows, and a pass starts over them.
    while (f->model.rowCount() > 2)
        f->model.removeRowAt(2);
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    for (int i = 2; i < UpdateEngine::kEngines; ++i)
        QVERIFY2(!f->engine->tmrSockTimeOut[i].isActive(), qPrintable(QString::number(i)));
    QVERIFY(finished.wait(10000));
    QCOMPARE(f->engine->glngUpdatedCount(), 2);
    // An empty list starts nothing and leaves nothing running.
    f->model.clear();
    f->engine->subActive2();
    for (int i = 0; i < UpdateEngine::kEngines; ++i)
        QVERIFY(!f->engine->tmrSockTimeOut[i].isActive());
}

void TestUpdateEngine::rowsAddedOrRemovedDuringAPassEndItOnce_data()
{
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("removed");
    QTest::newRow("one added") << 1 << 0;
    QTest::newRow("one removed") << 0 << 1;
    QTest::newRow("two added, one removed") << 2 << 1;
}

void TestUpdateEngine::rowsAddedOrRemovedDuringAPassEndItOnce()
{
    QFETCH(int, added);
    QFETCH(int, removed);
    for (int i = 1; i <= 4; ++i)
        f->watch(2400000000 + i, 3600 * i);
    sim::Fault slow;
    slow.latencyMs = 200;
    slow.count = 4;
    f->sim.setFaultForAll(slow);
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    QTRY_COMPARE(f->sim.requestLog().entries().size(), 4);
    // The Add dialog or the Remove question was open when the pass started.
    for (int i = 0; i < removed; ++i)
        f->model.removeRowAt(f->row(2400000002 + i));
    for (int i = 0; i < added; ++i)
        f->watch(2400000010 + i, 3600);
    QVERIFY(finished.wait(10000));
    QTRY_COMPARE(f->engine->glngUpdatedCount(), 4); // every dealt entry, once
    QCOMPARE(finished.size(), 1);
    QVERIFY(f->panels[1].startsWith(u"Last Update: "));
    QCOMPARE(f->records.count(), f->model.rowCount());
}

void TestUpdateEngine::unreachableSiteEndsThePassWithErr()
{
    QTcpServer gone;
    QVERIFY(gone.listen(QHostAddress::LocalHost));
    const HostPort site = *parseHostPort(QStringLiteral("127.0.0.1:%1").arg(gone.serverPort()), 80);
    gone.close();
    f->engine->setHosts(site, *parseHostPort(u"www.ebay.com", 80));
    for (int i = 1; i <= 7; ++i)
        f->watch(2400000000 + i, 3600);
    int refusals = 0;
    for (int i = 0; i < UpdateEngine::kEngines; ++i)
        connect(f->engine->socket(i), &QTcpSocket::errorOccurred, this, [&refusals] { ++refusals; });
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    QSignalSpy readEmpty(f->engine.get(), &UpdateEngine::pagesReadEmpty);
    f->engine->subActive2();
    // Every attempt is refused; the time-out tries twice more, then gives the entry up, and
    // the second entries of engines 1 and 2 are not tried at all.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        QTRY_COMPARE(refusals, attempt * UpdateEngine::kEngines);
        f->clock.advanceSeconds(15);
        for (int i = 0; i < UpdateEngine::kEngines; ++i)
            f->engine->tmrSockTimeOut_Timer(i);
    }
    QCOMPARE(finished.size(), 1);
    QCOMPARE(readEmpty.size(), 0); // no page came, so none read empty
    QCOMPARE(refusals, 15);
    for (int i = 1; i <= 7; ++i)
        QCOMPARE(f->cell(2400000000 + i, WatchListModel::Price), QStringLiteral("Err."));
    QCOMPARE(f->panels[1],
        u"Last Update: " + formatDate(f->clock.now(), DateFormat::LongYear) + u"  (not reached: " + site.text
            + u", connection refused)");
    QCOMPARE(f->engine->commands(), CommandState {});
    for (int i = 0; i < UpdateEngine::kEngines; ++i)
        QVERIFY(!f->engine->tmrSockTimeOut[i].isActive());

    // Once the site is back, a pass reads plainly again.
    f->engine->setHosts(*parseHostPort(f->sim.siteHostPort(), 80), *parseHostPort(u"www.ebay.com", 80));
    QVERIFY(f->runPass());
    QVERIFY(!f->panels[1].contains(u"not reached"));
}

void TestUpdateEngine::reconnectStartsTheAnswerAfresh()
{
    f->watch(2400000001, 3600);
    QVERIFY(f->runPass());
    QStringList clean;
    for (int sub = 1; sub < WatchListModel::SubItemCount; ++sub)
        clean.append(f->cell(2400000001, sub));
    // The first answer stops in the middle of the price.
    QTcpSocket plain;
    plain.connectToHost(QHostAddress::LocalHost, parseHostPort(f->sim.siteHostPort(), 80)->port);
    QVERIFY(plain.waitForConnected(5000));
    plain.write("GET /ws/eBayISAPI.dll?ViewItem&item=2400000001 HTTP/1.1\r\n\r\n");
    QSignalSpy closed(&plain, &QTcpSocket::disconnected);
    QVERIFY(closed.wait(5000));
    const QByteArray answer = plain.readAll();
    const qsizetype price = answer.indexOf("10.00", answer.indexOf("Current bid"));
    QVERIFY(price > 0);
    sim::Fault stall;
    stall.mode = sim::Fault::Mode::Drip;
    stall.dripBytes = int(price) + 2;
    stall.dripIntervalMs = 600000;
    stall.count = 1;
    f->sim.setItemFault(2400000001, stall);
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    QTRY_COMPARE(f->engine->engine(1).gstrEngineBuffer.size(), price + 2);
    f->clock.advanceSeconds(26);
    f->engine->tmrSockTimeOut_Timer(0);
    QVERIFY(finished.wait(10000));
    QCOMPARE(f->sim.requestLog().entriesFor("item=2400000001").size(), 4);
    for (int sub = 1; sub < WatchListModel::SubItemCount; ++sub)
        QCOMPARE(f->cell(2400000001, sub), clean[sub - 1]);
}

void TestUpdateEngine::answersOnOpenConnectionsNeedNoTimeOut_data()
{
    QTest::addColumn<sim::Fault::Mode>("mode");
    QTest::newRow("length announced") << sim::Fault::Mode::KeepAlive;
    QTest::newRow("chunked") << sim::Fault::Mode::Chunked;
}

void TestUpdateEngine::answersOnOpenConnectionsNeedNoTimeOut()
{
    QFETCH(sim::Fault::Mode, mode);
    for (int i = 1; i <= 7; ++i)
        f->watch(2400000000 + i, 3600 * i);
    sim::Fault open;
    open.mode = mode;
    f->sim.setFaultForAll(open);
    // No time-out ever ticks here: the pass ends on the answers alone.
    QVERIFY(f->runPass());
    QCOMPARE(f->sim.requestLog().entries().size(), 7);
    for (int i = 1; i <= 7; ++i) {
        QCOMPARE(f->cell(2400000000 + i, WatchListModel::ItemName),
            QStringLiteral("Brass ship lantern no. %1").arg(i));
        QVERIFY(f->cell(2400000000 + i, WatchListModel::Price).contains(u"10.00"));
    }
}

void TestUpdateEngine::anItemTheSiteDoesNotKnowIsNamedOnce()
{
    f->watch(2400000001, 3600);
    f->model.addRow(QStringLiteral("2400000999")); // no such item on the site
    QSignalSpy status(f->engine.get(), &UpdateEngine::statusChanged);
    QVERIFY(f->runPass());
    QVERIFY(f->runPass());
    int named = 0;
    for (const QList<QVariant> &text : status)
        named += text[1].toString() == u"Item 2400000999 was not found on the auction site" ? 1 : 0;
    QCOMPARE(named, 1);
    QCOMPARE(f->panels[2], QStringLiteral("Item 2400000999 was not found on the auction site"));
}

void TestUpdateEngine::changedPagesAreToldOnceNamingTheArmedBids()
{
    for (int i = 1; i <= 5; ++i)
        f->watch(2400000000 + i, 3600);
    // Automatic bids on items 1 and 3; the one on 3 has fired already.
    for (const char *item : { "2400000001", "2400000003" })
        SaveRegString(*f->store, RegRoot::CurrentUser, itemKeyPath(QString::fromLatin1(item)),
            QStringLiteral("MaxAutoBid"), QStringLiteral("40"));
    QSignalSpy readEmpty(f->engine.get(), &UpdateEngine::pagesReadEmpty);
    QVERIFY(f->runPass());
    QCOMPARE(readEmpty.size(), 0);
    f->records.at(f->row(2400000003) + 1).recAutoBidState = 1;

    f->sim.site().setPageLayout(sim::PageLayout::Changed);
    QVERIFY(f->runPass());
    QCOMPARE(readEmpty.size(), 1);
    QCOMPARE(readEmpty[0][0].toString(),
        QStringLiteral(
            "5 of 5 item pages read empty: the auction site has most likely changed its pages, and "
            "Tallyhawk cannot read them. These automatic bids cannot fire while their pages read "
            "empty: 2400000001 (Brass ship lantern no. 1)."));
    QVERIFY(f->panels[1].endsWith(u"  (5 of 5 pages read empty, the site may have changed; automatic bids "
                                  u"that cannot fire: 2400000001)"));

    // Said once; the status bar keeps saying it while it lasts, and forgets it once the pages
    // read again.
    QVERIFY(f->runPass());
    QCOMPARE(readEmpty.size(), 1);
    QVERIFY(f->panels[1].contains(u"read empty"));
    f->sim.site().setPageLayout(sim::PageLayout::Known);
    QVERIFY(f->runPass());
    QVERIFY(!f->panels[1].contains(u"read empty"));
    QCOMPARE(readEmpty.size(), 1);
}

void TestUpdateEngine::serverErrorsAreNotBlamedOnThePages()
{
    const CannedServer busy("HTTP/1.0 503 Service Unavailable\r\nContent-Type: "
                            "text/html\r\n\r\n<html><title>Busy</title></html>");
    f->engine->setHosts(busy.site(), *parseHostPort(u"www.ebay.com", 80));
    for (int i = 1; i <= 5; ++i)
        f->watch(2400000000 + i, 3600);
    QSignalSpy readEmpty(f->engine.get(), &UpdateEngine::pagesReadEmpty);
    QVERIFY(f->runPass());
    QCOMPARE(readEmpty.size(), 0);
    QVERIFY(!f->panels[1].contains(u"read empty"));
}

void TestUpdateEngine::pagesThatCannotBeAppliedAreToldOnceWhenThePassEnds()
{
    const CannedServer site(
        "HTTP/1.0 200 OK\r\n\r\n<title>eBay item 2400000001 (Ends Foo-99-03 18:30:00 PDT) - Lamp</title>");
    f->engine->setHosts(site.site(), *parseHostPort(u"www.ebay.com", 80));
    for (int i = 1; i <= 7; ++i)
        f->watch(2400000000 + i, 3600);
    QSignalSpy told(f->engine.get(), &UpdateEngine::passPagesNotApplied);
    int unlocked = 0;
    connect(f->engine.get(), &UpdateEngine::commandsChanged, this,
        [&](const CommandState &state) { unlocked += state == CommandState {} ? 1 : 0; });
    QVERIFY(f->runPass());
    QVERIFY(f->failures.isEmpty()); // no box per page
    QCOMPARE(told.size(), 1);
    QCOMPARE(told[0][0].toString(),
        QStringLiteral("The pages of 7 items could not be applied in the last update. The first error: Type "
                       "mismatch: the end date \"Foo-99-03 18:30:00 PDT\" cannot be read"));
    // The commands come back once, at the end of the pass, not after every failure.
    QCOMPARE(unlocked, 1);
    QCOMPARE(f->engine->commands(), CommandState {});
    // The next pass tells its own failures, counted afresh.
    f->model.removeRowAt(0);
    QVERIFY(f->runPass());
    QCOMPARE(told.size(), 2);
    QVERIFY(told[1][0].toString().startsWith(u"The pages of 6 items"));
}

QTEST_GUILESS_MAIN(TestUpdateEngine)
#include "TestUpdateEngine.moc"
