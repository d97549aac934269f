// Bids placed through a real browser window against the simulated site: an automatic bid
// set in its dialog fires and is accepted, a fill-in bid stops at the filled sign-in page,
// and a motors item's bid goes through the motors sign-in page.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "../update/EngineFixture.h"
#include "AppFixture.h"
#include "app/BidCommands.h"
#include "app/frmWatch.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidLogModel.h"
#include "autobid/BidRunner.h"
#include "autobid/ui/frmAutoBid.h"
#include "browser/BrowserFactory.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/ui/WatchListView.h"

using namespace th;
using namespace th::test;

namespace {
constexpr qint64 kSeveralUnits = 2407610001;
constexpr qint64 kSingle = 2407610002;
constexpr qint64 kMotors = 2407610003;
constexpr int kPageWait = 60000;
} // namespace

class TestBidFlow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void automaticBidIsPlacedBeforeTheEnd();
    void fillInBidLeavesTheSignInFilledAndUnsent();
    void motorsItemIsBidThroughTheMotorsSignIn();

private:
    void addItem(qint64 number, const QString &title, int quantity, bool motors);
    // The member's bid on `number` as the site has it: "maximum in cents x quantity", or "".
    QString bidOf(qint64 number, const QString &member);
    void select(qint64 number);
    WatchItemRecord &record(qint64 number);
    // Fills the automatic-bid dialog once it is open, and confirms it.
    void answerAutoBidDialog(const QString &price, const QString &quantity, const QString &seconds);

    std::unique_ptr<ThreadedSimulator> remote;
    std::unique_ptr<AppFixture> f;
};

void TestBidFlow::addItem(qint64 number, const QString &title, int quantity, bool motors)
{
    remote->run([&] {
        sim::Listing listing;
        listing.number = number;
        listing.title = title;
        listing.quantity = quantity;
        listing.motors = motors;
        listing.startPrice = 1000;
        listing.endTime = remote->sim().clock().now().addSecs(3600);
        QString error;
        QVERIFY2(remote->sim().house().addItem(listing, &error), qPrintable(error));
    });
}

QString TestBidFlow::bidOf(qint64 number, const QString &member)
{
    QString found;
    remote->run([&] {
        const std::optional<sim::ItemSnapshot> item = remote->sim().house().snapshot(number);
        for (const sim::Bid &bid : item ? item->bids : QList<sim::Bid> {}) {
            if (bid.bidder == member)
                found = QStringLiteral("%1 x %2").arg(bid.maximum).arg(bid.quantity);
        }
    });
    return found;
}

void TestBidFlow::select(qint64 number)
{
    f->app->parts().mainWindow->ui.lstWatching->selectRow(
        f->app->parts().listModel->findRow(QString::number(number)));
}

WatchItemRecord &TestBidFlow::record(qint64 number)
{
    return f->app->parts().records->at(f->app->parts().records->find(double(number)));
}

void TestBidFlow::answerAutoBidDialog(const QString &price, const QString &quantity, const QString &seconds)
{
    QTimer::singleShot(20, this, [=, this] {
        auto *dialog = qobject_cast<frmAutoBid *>(QApplication::activeModalWidget());
        if (!dialog) {
            answerAutoBidDialog(price, quantity, seconds);
            return;
        }
        dialog->txtMaxBidPrice->setText(price);
        dialog->cboMaxQuantity->setCurrentText(quantity);
        dialog->cboAutoBidTime->setCurrentText(seconds);
        dialog->cmdOk->click();
    });
}

void TestBidFlow::initTestCase()
{
    remote = std::make_unique<ThreadedSimulator>();
    QVERIFY(remote->start());
    addItem(kSeveralUnits, QStringLiteral("Brass lamp, set of five"), 5, false);
    addItem(kSingle, QStringLiteral("Oak picture frame"), 1, false);
    addItem(kMotors, QStringLiteral("Roadster hubcaps"), 1, true);
    QString host;
    remote->run([&] {
        remote->sim().house().addUser(sim::SimUser { QStringLiteral("buyer"), QStringLiteral("s3cret"), 12 });
        host = remote->sim().siteHostPort();
    });
    f = std::make_unique<AppFixture>();
    f->writeConfig(host);
    f->browserOverride = makeBrowserFactory();
    QVERIFY(storeWatchedItems(f->dataFolder.path(),
        { QString::number(kSeveralUnits), QString::number(kSingle), QString::number(kMotors) }));
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    QTRY_VERIFY_WITH_TIMEOUT(f->app->parts().engine->gblnAutoBidStarted(), kPageWait);
    // Ticked by hand from here on.
    f->app->parts().mainWindow->tmrChkAutoBid.stop();
    f->app->parts().settings->EBayID = QStringLiteral("buyer");
    f->app->parts().settings->EBayPWD = QStringLiteral("s3cret");
    QCOMPARE(webEngineProcessCount(), 0);
}

void TestBidFlow::cleanupTestCase()
{
    f.reset();
    remote.reset();
}

void TestBidFlow::automaticBidIsPlacedBeforeTheEnd()
{
    select(kSeveralUnits);
    answerAutoBidDialog(QStringLiteral("25.5"), QStringLiteral("2"), QStringLiteral("5"));
    f->app->parts().mainWindow->listMenu.mnuSetAutoBid->trigger();
    QCOMPARE(record(kSeveralUnits).recMaxAutoBid, Money::fromText(u"25.5"));
    // The selection moves on; the bid stays with its item.
    select(kSingle);

    f->clock->set(record(kSeveralUnits).recEndDate.addSecs(-6));
    f->app->parts().autoBidTrigger->tmrChkAutoBid_Timer();
    QCOMPARE(f->app->parts().bidRunner->runningCount(), 0);
    f->clock->advanceSeconds(1);
    f->app->parts().autoBidTrigger->tmrChkAutoBid_Timer();
    QCOMPARE(f->app->parts().bidRunner->runningCount(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(
        bidOf(kSeveralUnits, QStringLiteral("buyer")), QStringLiteral("2550 x 2"), kPageWait);
    QTRY_COMPARE_WITH_TIMEOUT(f->app->parts().bidRunner->runningCount(), 0, kPageWait);
    QVERIFY(bidOf(kSingle, QStringLiteral("buyer")).isEmpty());
}

void TestBidFlow::fillInBidLeavesTheSignInFilledAndUnsent()
{
    select(kSingle);
    const QWidgetList before = QApplication::topLevelWidgets();
    f->prompter->queueInput(QStringLiteral("12"));
    f->app->parts().bidCommands->cmdBidReady_Click();
    const BidRunner &runner = *f->app->parts().bidRunner;
    QCOMPARE(runner.runningCount(), 1);
    // Ended as filled in; the window is the user's now.
    QTRY_COMPARE_WITH_TIMEOUT(runner.runningCount(), 0, kPageWait);
    const BidRecord &bid = f->app->parts().bidLog->record(0);
    QCOMPARE(bid.kind, BidKind::FillIn);
    QCOMPARE(*bid.outcome, BidOutcome::FilledIn);

    QWebEngineView *window = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *view = qobject_cast<QWebEngineView *>(widget); view && !before.contains(view))
            window = view;
    }
    QVERIFY(window);
    QString fields;
    window->page()->runJavaScript(
        QStringLiteral("var f = document.forms[1]; f.user.value + '|' + f.pass.value + '|' "
                       "+ f.maxbid.value"),
        [&](const QVariant &result) { fields = result.toString(); });
    QTRY_VERIFY_WITH_TIMEOUT(!fields.isEmpty(), kPageWait);
    QCOMPARE(fields, QStringLiteral("buyer|s3cret|12"));
    QVERIFY(bidOf(kSingle, QStringLiteral("buyer")).isEmpty());
}

void TestBidFlow::motorsItemIsBidThroughTheMotorsSignIn()
{
    WatchItemRecord &motors = record(kMotors);
    motors.recMaxAutoBid = Money::fromText(u"31");
    motors.recMaxQuantity = 1;
    motors.recMaxTimeLeft = 10;
    select(kMotors);
    f->app->parts().bidCommands->cmdTestAutoBid_Click(); // the question is answered Yes
    QCOMPARE(record(kMotors).recAutoBidState, 1);
    QTRY_COMPARE_WITH_TIMEOUT(bidOf(kMotors, QStringLiteral("buyer")), QStringLiteral("3100 x 1"), kPageWait);
}

QTEST_MAIN(TestBidFlow)
#include "TestBidFlow.moc"
