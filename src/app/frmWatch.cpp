#include "app/frmWatch.h"

#include <utility>

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

#include "alerts/AlertState.h"
#include "common/Timers.h"
#include "common/Version.h"
#include "engine/CommandState.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/ui/WatchListView.h"

namespace th {

frmWatch::frmWatch(WatchListModel &model, AlertState &alerts, QWidget *parent)
    : QMainWindow(parent)
    , m_model(model)
    , m_alerts(alerts)
    , m_searchKeys(ui)
{
    setObjectName(QStringLiteral("frmWatch"));
    setWindowTitle(captionText());
    ui.setupUi(this, model);
    // The sort orders of a search.
    ui.cboSorted->addItems({ QStringLiteral("Ending first"), QStringLiteral("Newly Listed"),
        QStringLiteral("Lowest price first"), QStringLiteral("Highest price first") });
    ui.cboSorted->setCurrentIndex(0);
    listMenu.build(this);
    createTimers();
    connectCommands();
    // Room for every column where the screen allows it.
    const QRect screen = QGuiApplication::primaryScreen()
        ? QGuiApplication::primaryScreen()->availableGeometry()
        : QRect(0, 0, 1280, 800);
    resize(std::min(1340, screen.width() - 40), std::min(640, screen.height() - 60));
    setMinimumSize(720, 380);

    connect(ui.cmdClose, &QPushButton::clicked, this, &frmWatch::hideToTray);
    connect(ui.mnuAbout, &QAction::triggered, this, &frmWatch::aboutRequested);
    connect(ui.mnuExitProgram, &QAction::triggered, this, &frmWatch::endProgramRequested);
}

frmWatch::~frmWatch() = default;

void frmWatch::connectCommands()
{
    const auto ask
        = [this](WatchCommand command) { return [this, command] { Q_EMIT commandChosen(command); }; };
    const std::pair<QAbstractButton *, WatchCommand> buttons[] = {
        { ui.cmdAddItem, WatchCommand::AddItem },
        { ui.cmdRemove, WatchCommand::RemoveItem },
        { ui.cmdGoTo, WatchCommand::OpenItemPage },
        { ui.cmdUpdateOneItem, WatchCommand::UpdateSelected },
        { ui.Command1, WatchCommand::UpdateAll },
        { ui.cmdOpenClockDialog, WatchCommand::OpenClock },
        { ui.cmdTestAutoBid, WatchCommand::RealBidNow },
        { ui.cmdBidReady, WatchCommand::FillInBid },
        { ui.cmdSearch, WatchCommand::Search },
        { ui.cmdClear, WatchCommand::ClearSearch },
    };
    for (const auto &[button, command] : buttons)
        connect(button, &QAbstractButton::clicked, this, ask(command));
    const ListMenu &m = listMenu;
    m_menuCommands = {
        { m.mnuOpenItem, WatchCommand::OpenItemPage },
        { m.mnuClock, WatchCommand::OpenClock },
        { m.mnuRemarkPrice, WatchCommand::SetRemarkPrice },
        { m.mnuRemoveMaxbid, WatchCommand::RemoveRemarkPrice },
        { m.mnuBidNow, WatchCommand::FillInBid },
        { m.mnuEbaySetting, WatchCommand::OpenSettings },
        { m.mnuSetAutoBid, WatchCommand::SetAutoBid },
        { m.mnuRemoveAutoBid, WatchCommand::RemoveAutoBid },
        { m.mnuUpdateCurrentItem, WatchCommand::UpdateSelectedFromMenu },
        { m.mnuUpdate, WatchCommand::UpdateAll },
        { m.mnuAutoUpdate, WatchCommand::AutomaticUpdate },
        { m.mnuCopyItem2Clipboard, WatchCommand::CopyItemNumber },
        { m.mnuImportExport, WatchCommand::ImportExport },
        { m.mnuExportCalendar, WatchCommand::ExportCalendar },
        { m.mnuExportCsv, WatchCommand::ExportCsv },
        { m.mnuSyncClock, WatchCommand::SyncClock },
        { m.mnuPaypalVerify, WatchCommand::PaymentCheck },
        { m.mnuHotmail, WatchCommand::OpenHotmail },
        { m.mnuYahoo, WatchCommand::OpenYahooMail },
        { m.mnuBidLog, WatchCommand::OpenBidLog },
        { m.mnuBidGroups, WatchCommand::OpenBidGroups },
        { m.mnuEmailSetting, WatchCommand::OpenSettings },
    };
    for (const auto &[action, command] : m_menuCommands)
        connect(action, &QAction::triggered, this, ask(command));
    WatchListView *list = ui.lstWatching;
    connect(list, &WatchListView::enterPressed, this, ask(WatchCommand::OpenItemPage));
    connect(list, &WatchListView::deletePressed, this, ask(WatchCommand::RemoveItem));
    connect(list, &WatchListView::itemDoubleClicked, this, ask(WatchCommand::OpenClock));
    connect(list, &WatchListView::itemClicked, this, &frmWatch::rowClicked);
    connect(list, &WatchListView::headerClicked, this, &frmWatch::headerClicked);
    connect(list, &WatchListView::rightButtonDown, this, &frmWatch::popUpListMenu);
    // An entry chosen from the box's list, or from the offered history (the box takes the
    // entry and reports it as its own choice), runs once.
    connect(ui.txtAddress, qOverload<int>(&QComboBox::activated), this, ask(WatchCommand::Search));
    m_searchKeys.watchBox();
    connect(&m_searchKeys, &SearchBoxKeys::searchAsked, this, ask(WatchCommand::Search));
    connect(&m_searchKeys, &SearchBoxKeys::entryDeleted, this, &frmWatch::searchHistoryEntryDeleted);
}

QString frmWatch::captionText()
{
    return QStringLiteral("Tallyhawk for eBay (Version %1.%2.%3)")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionPatch);
}

void frmWatch::createTimers()
{
    setUpTimer(tmrChkAutoBid, "tmrChkAutoBid", 1000, false);
    setUpTimer(tmrUpdateCurrentItem, "tmrUpdateCurrentItem", 500, false, /*singleShot=*/true);
    setUpTimer(tmrShowAlermWhileBrowse, "tmrShowAlermWhileBrowse", 6000, true);
    setUpTimer(tmShowSysClock, "tmShowSysClock", 1000, true);
}

void frmWatch::AcknowledgeAlerts()
{
    m_alerts.acknowledge();
}

void frmWatch::hideToTray()
{
    AcknowledgeAlerts();
    MainWindowActive = false;
    if (m_hasTray) {
        if (isVisible())
            m_parkedGeometry = saveGeometry();
        hide();
    } else {
        showMinimized();
    }
    if (m_hasTray && !std::exchange(m_hiddenBefore, true))
        Q_EMIT firstHiddenToTray();
}

void frmWatch::setHasTray(bool hasTray)
{
    m_hasTray = hasTray;
    // Without a notification area the window is the only way in: it says how to leave.
    ui.mnuExitProgram->setVisible(!hasTray);
    ui.cmdClose->setToolTip(hasTray
            ? QStringLiteral("Hide the window; Tallyhawk keeps watching from the notification area")
            : QStringLiteral(
                "Minimise the window; Tallyhawk keeps watching. To end it, choose Exit in the Info menu"));
}

void frmWatch::notificationAreaChanged(bool available)
{
    setHasTray(available);
    // A window hidden in a notification area that went away must stay within reach: it
    // waits minimised in the task bar.
    if (!available && !isVisible())
        showMinimized();
}

bool frmWatch::isParked() const
{
    return !isVisible() || (!m_hasTray && isMinimized());
}

void frmWatch::showWatchWindow()
{
    // The desktop may place a window shown again wherever it likes: it returns where the
    // user left it.
    if (!isVisible() && !m_parkedGeometry.isEmpty())
        restoreGeometry(std::exchange(m_parkedGeometry, {}));
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void frmWatch::closeByProgram()
{
    m_closingByProgram = true;
    close();
}

void frmWatch::closeEvent(QCloseEvent *event)
{
    Q_EMIT closeRequested();
    if (m_closingByProgram) {
        event->accept();
        return;
    }
    event->ignore();
    // Shown: the close only hides (or, without a notification area, minimises). Already
    // hidden (or minimised with nowhere else to live): the program ends.
    if (!isParked()) {
        hideToTray();
        return;
    }
    Q_EMIT endProgramRequested();
}

bool frmWatch::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
    case QEvent::FocusIn:
        MainWindowActive = true;
        break;
    case QEvent::Show:
        // The desktop says when the window comes into view (shown, restored, uncovered);
        // its own repaints, such as the status-bar clocks every second, do not count.
        if (QWindow *handle = windowHandle(); handle && handle != m_watchedSurface) {
            handle->installEventFilter(this);
            m_watchedSurface = handle;
        }
        break;
    case QEvent::Hide:
        MainWindowActive = false;
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

bool frmWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedSurface && event->type() == QEvent::Expose && m_watchedSurface->isExposed()) {
        MainWindowActive = true;
        Q_EMIT painted();
    }
    return QMainWindow::eventFilter(watched, event);
}

int frmWatch::selectedRow() const
{
    return ui.lstWatching->selectedRow();
}

QString frmWatch::selectedItem() const
{
    return m_model.rowText(selectedRow());
}

void frmWatch::selectRow(int row)
{
    ui.lstWatching->selectRow(row);
}

int frmWatch::itemCount() const
{
    return m_model.rowCount();
}

void frmWatch::setListToolTip(const QString &text)
{
    ui.lstWatching->setToolTip(text);
}

bool frmWatch::asksBeforeRemoving() const
{
    return !ui.ChkDeleteConfirm->isChecked();
}

void frmWatch::popUpListMenu(const QPoint &globalPos)
{
    QMenu *menu = listMenu.mnuLVPopup;
    if (menu->isEnabled())
        menu->popup(globalPos);
}

void frmWatch::setStatusPanel(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 5)
        ui.panels[panel]->setText(text);
}

void frmWatch::setStatusPanelWithTip(int panel, const QString &text)
{
    if (panel < 1 || panel > 5)
        return;
    ui.panels[panel]->setText(text);
    ui.panels[panel]->setToolTip(text);
}

void frmWatch::setEngineLabel(int engine, const QString &text)
{
    ui.chkSockStatus[engine]->setText(text);
}

void frmWatch::setEngineLight(int engine, const QPixmap &image)
{
    // A label given a picture repaints even when it is the one it shows; the lights are set
    // every second, and change only when an engine starts or ends its work.
    QLabel *light = ui.picSockStatus[engine];
    if (light->pixmap().cacheKey() != image.cacheKey())
        light->setPixmap(image);
}

void frmWatch::setCountdownCaption(const QString &caption)
{
    ui.frmeAddSort->setTitle(caption);
}

void frmWatch::applyCommandState(const CommandState &state)
{
    // A button that locks while it has the focus would pass the focus on down the window,
    // to "Close", which a Space then presses: the list takes it instead.
    const QWidget *focus = focusWidget();
    const bool focusLocks = (focus == ui.cmdAddItem && !state.addRemove)
        || (focus == ui.cmdRemove && !state.addRemove) || (focus == ui.cmdUpdateOneItem && !state.updateOne)
        || (focus == ui.Command1 && !state.updateAll);
    if (focusLocks)
        ui.lstWatching->setFocus();
    ui.cmdAddItem->setEnabled(state.addRemove);
    ui.cmdRemove->setEnabled(state.addRemove);
    listMenu.mnuLVPopup->setEnabled(state.addRemove);
    ui.cmdUpdateOneItem->setEnabled(state.updateOne);
    ui.Command1->setEnabled(state.updateAll);
}

void frmWatch::offerInListMenu(std::initializer_list<WatchCommand> commands)
{
    for (const auto &[action, command] : m_menuCommands) {
        if (std::find(commands.begin(), commands.end(), command) != commands.end())
            action->setEnabled(true);
    }
}

bool frmWatch::automaticUpdateOn() const
{
    return listMenu.mnuAutoUpdate->isChecked();
}

void frmWatch::showAutomaticUpdate(bool on)
{
    listMenu.mnuAutoUpdate->setText(
        on ? QStringLiteral("Automatic Update (ON)") : QStringLiteral("Automatic Update (OFF)"));
}

QString frmWatch::searchText() const
{
    return ui.txtAddress->currentText();
}

void frmWatch::setSearchText(const QString &text)
{
    ui.txtAddress->setEditText(text);
}

void frmWatch::clearSearchText()
{
    ui.txtAddress->clearEditText();
}

void frmWatch::focusSearchBox()
{
    ui.txtAddress->setFocus();
}

SearchOptions frmWatch::searchOptions() const
{
    // A grey (partly checked) box counts as checked.
    auto on = [](const QCheckBox *box) { return box->checkState() != Qt::Unchecked; };
    SearchOptions options;
    options.google = on(ui.chkGoogle);
    options.titleDesc = on(ui.chkTitleDesc);
    options.buyItNow = on(ui.chkBuyItNow);
    options.paypalOnly = on(ui.chkPaypalOnly);
    options.seller = on(ui.chkSearchSeller);
    options.completed = on(ui.chkCompletedItems);
    options.sortText = ui.cboSorted->currentText();
    return options;
}

void frmWatch::showSearchHistory(const QStringList &history)
{
    QComboBox *box = ui.txtAddress;
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(history);
}

void frmWatch::offerSearchHistory(QCompleter *completer)
{
    ui.txtAddress->setCompleter(completer);
    m_searchKeys.watchOffer(completer->popup());
}

} // namespace th
