// The main window on its own: what each of its controls asks for, the search box while it
// offers the history, and what counts as the window painting.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "FakeBrowser.h"
#include "FakeSeams.h"
#include "alerts/AlertState.h"
#include "app/SearchCommands.h"
#include "app/frmWatch.h"
#include "search/SearchHistory.h"
#include "watchlist/WatchListModel.h"

using namespace th;
using namespace th::test;

class TestWatchWindow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void offeredHistoryLetsEveryWayOfSearchingThroughOnce_data();
    void offeredHistoryLetsEveryWayOfSearchingThroughOnce();
    void onlyTheWindowComingIntoViewCountsAsPainting();
    void everyControlAsksForItsCommand_data();
    void everyControlAsksForItsCommand();
    void captionsShowWholeAtTheSmallestSize();

private:
    // Types `text` into the box, the way a user does, until the history is offered.
    QAbstractItemView *typeUntilOffered(const QString &text);

    QTemporaryDir m_folder;
    WatchListModel m_model;
    AlertState m_alerts;
    FakeShell m_shell;
    FakeBrowserFactory m_browser;
    std::unique_ptr<frmWatch> m_window;
    std::unique_ptr<SearchCommands> m_search;
};

void TestWatchWindow::init()
{
    m_shell.opened.clear();
    m_window = std::make_unique<frmWatch>(m_model, m_alerts);
    const QString history = m_folder.filePath(QStringLiteral("iSense.dat"));
    QVERIFY(SaveSearchHistory(history, { QStringLiteral("red lamp"), QStringLiteral("brass bell") }));
    m_search = std::make_unique<SearchCommands>(SearchCommands::Context { *m_window, m_shell, m_browser,
        SearchHosts { QStringLiteral("http://s.test"), QStringLiteral("http://c.test"),
            QStringLiteral("http://l.test"), QStringLiteral("http://i.test"),
            QStringLiteral("http://g.test") },
        history, QStringLiteral("http://h.test"), QStringLiteral("http://p.test") });
    m_search->LoadSearchHistory();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestWatchWindow::cleanup()
{
    m_search.reset();
    m_window.reset();
}

QAbstractItemView *TestWatchWindow::typeUntilOffered(const QString &text)
{
    QLineEdit *line = m_window->ui.txtAddress->lineEdit();
    m_window->activateWindow();
    line->setFocus();
    QTest::keyClicks(line, text);
    QAbstractItemView *offered = m_search->completer()->popup();
    return QTest::qWaitFor([&] { return offered->isVisible(); }) ? offered : nullptr;
}

void TestWatchWindow::offeredHistoryLetsEveryWayOfSearchingThroughOnce_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("query");
    QTest::newRow("Enter on the typed words") << "enter"
                                              << "red";
    QTest::newRow("Enter on the entry moved to") << "down enter"
                                                 << "red+lamp";
    QTest::newRow("a click on an entry") << "click entry"
                                         << "red+lamp";
    QTest::newRow("a click on the search button") << "click search"
                                                  << "red";
}

void TestWatchWindow::offeredHistoryLetsEveryWayOfSearchingThroughOnce()
{
    QFETCH(QString, way);
    QFETCH(QString, query);
    QAbstractItemView *offered = typeUntilOffered(QStringLiteral("red"));
    QVERIFY(offered);
    // While the history is offered, the offer has the keyboard and the mouse.
    if (way == u"enter") {
        QTest::keyClick(offered, Qt::Key_Return);
    } else if (way == u"down enter") {
        QTest::keyClick(offered, Qt::Key_Down);
        QTest::keyClick(offered, Qt::Key_Return);
    } else if (way == u"click entry") {
        const QRect entry = offered->visualRect(offered->model()->index(0, 0));
        QTest::mouseClick(offered->viewport(), Qt::LeftButton, {}, entry.center());
    } else {
        QToolButton *search = m_window->ui.cmdSearch;
        const QPoint at = search->rect().center();
        const QPoint global = search->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, offered->mapFromGlobal(global), global, Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(offered, &press);
        QTest::mouseRelease(search, Qt::LeftButton, {}, at);
    }
    QCOMPARE(m_shell.opened.size(), 1);
    QVERIFY2(m_shell.opened.first().endsWith(u"&query=" + query), qPrintable(m_shell.opened.first()));
    QVERIFY(!offered->isVisible());
}

void TestWatchWindow::onlyTheWindowComingIntoViewCountsAsPainting()
{
    QSignalSpy painted(m_window.get(), &frmWatch::painted);
    // The status-bar clock redraws every second; that is not the window painting.
    m_window->ui.panels[4]->setText(QStringLiteral("Time: 12:00:01"));
    m_window->ui.panels[4]->repaint();
    m_window->repaint();
    QCOMPARE(painted.count(), 0);
    m_window->hide();
    m_window->show();
    QTRY_VERIFY(painted.count() >= 1);
    QVERIFY(m_window->MainWindowActive);
}

void TestWatchWindow::everyControlAsksForItsCommand_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<WatchCommand>("command");
    const std::pair<const char *, WatchCommand> rows[] = {
        { "cmdAddItem", WatchCommand::AddItem },
        { "cmdRemove", WatchCommand::RemoveItem },
        { "cmdGoTo", WatchCommand::OpenItemPage },
        { "mnuOpenItem", WatchCommand::OpenItemPage },
        { "mnuCopyItem2Clipboard", WatchCommand::CopyItemNumber },
        { "cmdOpenClockDialog", WatchCommand::OpenClock },
        { "mnuClock", WatchCommand::OpenClock },
        { "mnuSetAutoBid", WatchCommand::SetAutoBid },
        { "mnuRemoveAutoBid", WatchCommand::RemoveAutoBid },
        { "mnuRemarkPrice", WatchCommand::SetRemarkPrice },
        { "mnuRemoveMaxbid", WatchCommand::RemoveRemarkPrice },
        { "cmdTestAutoBid", WatchCommand::RealBidNow },
        { "cmdBidReady", WatchCommand::FillInBid },
        { "mnuBidNow", WatchCommand::FillInBid },
        { "mnuHotmail", WatchCommand::OpenHotmail },
        { "mnuYahoo", WatchCommand::OpenYahooMail },
        { "mnuBidLog", WatchCommand::OpenBidLog },
        { "mnuBidGroups", WatchCommand::OpenBidGroups },
        { "mnuEbaySetting", WatchCommand::OpenSettings },
        { "mnuEmailSetting", WatchCommand::OpenSettings },
        { "Command1", WatchCommand::UpdateAll },
        { "mnuUpdate", WatchCommand::UpdateAll },
        { "cmdUpdateOneItem", WatchCommand::UpdateSelected },
        { "mnuUpdateCurrentItem", WatchCommand::UpdateSelectedFromMenu },
        { "mnuAutoUpdate", WatchCommand::AutomaticUpdate },
        { "mnuImportExport", WatchCommand::ImportExport },
        { "mnuSyncClock", WatchCommand::SyncClock },
        { "mnuPaypalVerify", WatchCommand::PaymentCheck },
        { "cmdClear", WatchCommand::ClearSearch },
    };
    for (const auto &[control, command] : rows)
        QTest::newRow(control) << QString::fromLatin1(control) << command;
}

void TestWatchWindow::everyControlAsksForItsCommand()
{
    QFETCH(QString, control);
    QFETCH(WatchCommand, command);
    m_search.reset(); // the window alone: no command answers with a dialog
    QList<WatchCommand> asked;
    connect(m_window.get(), &frmWatch::commandChosen, this, [&](WatchCommand c) { asked.append(c); });
    if (auto *button = m_window->findChild<QAbstractButton *>(control)) {
        button->setEnabled(true);
        button->click();
    } else {
        auto *entry = m_window->findChild<QAction *>(control);
        QVERIFY(entry);
        entry->setEnabled(true);
        entry->trigger();
    }
    QCOMPARE(asked, QList<WatchCommand> { command });
}

void TestWatchWindow::captionsShowWholeAtTheSmallestSize()
{
    m_window->setStatusPanel(4, QStringLiteral("Time: 23:59:59"));
    const QLabel *time = m_window->ui.panels[4];
    QVERIFY(time->contentsRect().width() >= time->fontMetrics().horizontalAdvance(time->text()));
    for (const QSize size : { m_window->minimumSize(), QSize(1340, 640) }) {
        m_window->resize(size);
        QCoreApplication::sendPostedEvents(); // the layout follows the size
        QCoreApplication::sendPostedEvents();
        const QWidget *central = m_window->centralWidget();
        for (const QAbstractButton *button : central->findChildren<QAbstractButton *>()) {
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
            const QRect shown(button->mapTo(central, QPoint(0, 0)), button->size());
            QVERIFY2(central->rect().contains(shown), qPrintable(button->text()));
        }
    }
    // Wide enough for one row of commands, the window keeps them in one.
    QCOMPARE(m_window->ui.cmdClose->y(), m_window->ui.cmdAddItem->y());
}

QTEST_MAIN(TestWatchWindow)
#include "TestWatchWindow.moc"
