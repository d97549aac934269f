#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include "../update/EngineFixture.h"
#include "alerts/ui/BidNotifier.h"
#include "alerts/ui/frmNotify.h"

using namespace th;
using namespace th::test;

// The new-bid sound and window: what each setting gives, the modal window and its close
// rules, and the engine going on underneath while the window is open.
class TestBidNotifier final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void settingsDecideSoundAndWindow_data();
    void settingsDecideSoundAndWindow();
    void missingSoundFilePlaysTheDefault();
    void nothingBeforeAFirstCompletePass();
    void onlyTheCloseButtonCloses();
    void passEndingWhileTheWindowIsOpenKeepsRowsWhole();
    void passGoesOnWhileTheWindowIsOpen();

private:
    // Presses Close on the window as soon as it shows, after `whileOpen` has run.
    void closeWhenShown(std::function<void()> whileOpen = {});

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<FakeSoundPlayer> sound;
    std::unique_ptr<BidNotifier> notifier;
    int shownCount = 0;
    QStringList shownTexts;
};

void TestBidNotifier::init()
{
    f = std::make_unique<EngineFixture>();
    QVERIFY(f->setUp());
    sound = std::make_unique<FakeSoundPlayer>(QStringLiteral("/res/default.wav"));
    notifier = std::make_unique<BidNotifier>(
        *f->engine, f->model, f->settings, *sound, QStringLiteral("/res/default.wav"));
    shownCount = 0;
    shownTexts.clear();
}

void TestBidNotifier::cleanup()
{
    notifier.reset();
    f.reset();
}

void TestBidNotifier::closeWhenShown(std::function<void()> whileOpen)
{
    connect(notifier.get(), &BidNotifier::windowShown, this, [this, whileOpen] {
        ++shownCount;
        frmNotify *w = notifier->window();
        // Closed whatever happens here: a failed check must not leave the window waiting.
        const auto closing = qScopeGuard([w] { w->cmdClose->click(); });
        shownTexts = { w->itemNumber->text(), w->itemName->text(), w->numberOfBids->text(),
            w->currentPrice->text() };
        if (whileOpen)
            whileOpen();
    });
}

void TestBidNotifier::settingsDecideSoundAndWindow_data()
{
    QTest::addColumn<bool>("playSound");
    QTest::addColumn<bool>("showWindow");
    QTest::newRow("both off") << false << false;
    QTest::newRow("sound only") << true << false;
    QTest::newRow("window only") << false << true;
    QTest::newRow("both") << true << true;
}

void TestBidNotifier::settingsDecideSoundAndWindow()
{
    QFETCH(bool, playSound);
    QFETCH(bool, showWindow);
    f->settings.gstrNotifyPlaySoundPath = QString::fromLatin1(TALLYHAWK_RESOURCE_DIR "/notify.wav");
    f->settings.PlayBidIncrementNotifySound = playSound ? 1 : 0;
    f->settings.chkShowBidNotification = showWindow ? 1 : 0;
    f->sim.addUser({ QStringLiteral("rival"), QString(), 40 });
    f->watch(2400000010, 900);
    QVERIFY(f->runPass());
    QVERIFY(f->runPass()); // the first pass after a load announces nothing; this one is ready
    QVERIFY(f->sim.placeBid(2400000010, QStringLiteral("rival"), 1500).accepted());
    closeWhenShown();
    QVERIFY(f->runPass());
    QCOMPARE(sound->played.size(), playSound ? 1 : 0);
    if (playSound)
        QCOMPARE(sound->played.first(), f->settings.gstrNotifyPlaySoundPath);
    QCOMPARE(shownCount, showWindow ? 1 : 0);
    if (showWindow) {
        QCOMPARE(shownTexts[0], QStringLiteral("2400000010"));
        QCOMPARE(shownTexts[1], QStringLiteral("Brass ship lantern no. 10"));
        QCOMPARE(shownTexts[2], QStringLiteral("1"));
        QVERIFY(shownTexts[3].contains(u"10.00"));
    }
    // The row shows the new bid whatever the settings.
    QCOMPARE(f->model.icon(f->row(2400000010)), int(WatchListModel::IconUp));
}

void TestBidNotifier::missingSoundFilePlaysTheDefault()
{
    f->settings.gstrNotifyPlaySoundPath = QStringLiteral("/nowhere/missing.wav");
    f->settings.PlayBidIncrementNotifySound = 1;
    notifier->announce(0);
    QCOMPARE(sound->played, QStringList { QStringLiteral("/res/default.wav") });
    QCOMPARE(shownCount, 0);
}

void TestBidNotifier::nothingBeforeAFirstCompletePass()
{
    f->watch(2400000010, 900);
    f->engine->setNotifyReady(false); // a list just (re)loaded
    closeWhenShown();
    notifier->subShowBidNotify(0);
    QCOMPARE(shownCount, 0);
    f->engine->setNotifyReady(true);
    notifier->subShowBidNotify(0);
    QCOMPARE(shownCount, 1);
    QVERIFY(!notifier->isShowing());
}

void TestBidNotifier::onlyTheCloseButtonCloses()
{
    f->watch(2400000010, 900);
    f->engine->setNotifyReady(true);
    bool closeBoxRefused = false;
    bool escapeRefused = false;
    connect(notifier.get(), &BidNotifier::windowShown, this, [&] {
        frmNotify *w = notifier->window();
        const auto closing = qScopeGuard([w] { w->cmdClose->click(); });
        QVERIFY(w->isVisible());
        QVERIFY(w->isModal());
        QCOMPARE(w->windowTitle(), QStringLiteral("New Bid Notification"));
        closeBoxRefused = !w->close() && w->isVisible();
        QTest::keyClick(w, Qt::Key_Escape);
        escapeRefused = w->isVisible();
        // A second new bid meanwhile does not open another window.
        notifier->subShowBidNotify(0);
    });
    notifier->subShowBidNotify(0);
    QVERIFY(closeBoxRefused);
    QVERIFY(escapeRefused);
    QVERIFY(!notifier->window()->isVisible());
    QVERIFY(!notifier->isShowing());
}

void TestBidNotifier::passEndingWhileTheWindowIsOpenKeepsRowsWhole()
{
    f->settings.chkShowBidNotification = 1;
    f->sim.addUser({ QStringLiteral("rival"), QString(), 40 });
    // Item 7 ends last but is dealt first; the others end earlier and will sort above it.
    f->watch(2400000007, 9000);
    for (int i = 1; i <= 6; ++i)
        f->watch(2400000000 + i, 600 + 300 * i);
    QVERIFY(f->runPass());
    QVERIFY(f->runPass());
    QVERIFY(f->sim.placeBid(2400000007, QStringLiteral("rival"), 1500).accepted());
    // Item 7 now ends first: the sort at the end of the pass moves it to the top.
    sim::Listing seven = f->sim.item(2400000007)->listing;
    seven.endTime = f->sim.clock().now().addSecs(400);
    QString error;
    QVERIFY2(f->sim.house().updateItem(seven, &error), qPrintable(error));
    QCOMPARE(f->model.rowText(f->model.rowCount() - 1), QStringLiteral("2400000007"));
    // Slow the other items so that their answers arrive while the window is open.
    sim::Fault slow;
    slow.latencyMs = 150;
    for (int i = 1; i <= 6; ++i)
        f->sim.setItemFault(2400000000 + i, slow);
    bool passEndedWhileOpen = false;
    closeWhenShown([&] {
        QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
        passEndedWhileOpen = finished.wait(10000);
    });
    QSignalSpy finished(f->engine.get(), &UpdateEngine::passFinished);
    f->engine->subActive2();
    QTRY_COMPARE_WITH_TIMEOUT(shownCount, 1, 15000);
    QVERIFY(passEndedWhileOpen);
    QCOMPARE(shownTexts[0], QStringLiteral("2400000007"));
    // Every row carries its own item's data and record after the re-sort.
    for (int row = 0; row < f->model.rowCount(); ++row) {
        const QString item = f->model.rowText(row);
        const int n = item.right(1).toInt();
        QCOMPARE(f->model.subItem(row, WatchListModel::ItemName),
            QStringLiteral("Brass ship lantern no. %1").arg(n));
        QCOMPARE(f->records.at(row + 1).recItemNumber, item.toDouble());
    }
    QCOMPARE(f->model.rowText(0), QStringLiteral("2400000007"));
    QCOMPARE(f->model.icon(0), int(WatchListModel::IconUp));
}

void TestBidNotifier::passGoesOnWhileTheWindowIsOpen()
{
    f->settings.chkShowBidNotification = 1;
    f->sim.addUser({ QStringLiteral("rival"), QString(), 40 });
    // Sorted by their ends, item 1 is dealt first, to the engine that also fetches item 6.
    for (int i = 1; i <= 8; ++i)
        f->watch(2400000000 + i, 3600 * i);
    QVERIFY(f->runPass());
    QVERIFY(f->runPass());
    QVERIFY(f->sim.placeBid(2400000001, QStringLiteral("rival"), 1500).accepted());
    // Closed in the end whatever happens, so that a window holding the pass cannot hang here.
    connect(notifier.get(), &BidNotifier::windowShown, this, [this] {
        ++shownCount;
        QTimer::singleShot(8000, notifier->window(), [this] { notifier->window()->cmdClose->click(); });
    });
    bool openAtPassEnd = false;
    connect(
        f->engine.get(), &UpdateEngine::passFinished, this, [&] { openAtPassEnd = notifier->isShowing(); });
    QVERIFY(f->runPass());
    QCOMPARE(shownCount, 1);
    QVERIFY(openAtPassEnd);
    QVERIFY(notifier->window()->isVisible());
    QCOMPARE(f->engine->commands(), CommandState {});
    // The page that brought the news is applied whole.
    QCOMPARE(f->records.at(f->row(2400000001) + 1).recBidCount, qint16(1));
    QCOMPARE(f->model.tag(f->row(2400000001)), QString());

    // The row goes and the list is fetched again while the window is still open.
    f->model.removeRowAt(f->row(2400000001));
    QVERIFY(f->sim.placeBid(2400000006, QStringLiteral("rival"), 1500).accepted());
    QVERIFY(f->runPass());
    QCOMPARE(shownCount, 1); // one window at a time
    QCOMPARE(f->model.icon(f->row(2400000006)), int(WatchListModel::IconUp));
    QCOMPARE(notifier->window()->itemNumber->text(), QStringLiteral("2400000001"));
    notifier->window()->cmdClose->click();
    QVERIFY(!notifier->isShowing());
    for (int row = 0; row < f->model.rowCount(); ++row)
        QCOMPARE(f->records.at(row + 1).recItemNumber, f->model.rowText(row).toDouble());
}

QTEST_MAIN(TestBidNotifier)
#include "TestBidNotifier.moc"
