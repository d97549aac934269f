#pragma once

#include <vector>

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "app/ListMenu.h"
#include "app/SearchBoxKeys.h"
#include "app/WatchWindowUi.h"
#include "search/SearchAddress.h"

class QCompleter;
class QWindow;

namespace th {

struct AlertState;
struct CommandState;
class WatchListModel;

// What the user asks of the main window, whichever button, list-menu entry or key asked it.
enum class WatchCommand {
    AddItem,
    RemoveItem,
    OpenItemPage,
    CopyItemNumber,
    OpenClock,
    SetAutoBid,
    RemoveAutoBid,
    SetRemarkPrice,
    RemoveRemarkPrice,
    RealBidNow,
    FillInBid,
    OpenHotmail,
    OpenYahooMail,
    OpenBidLog,
    OpenBidGroups,
    OpenSettings,
    UpdateAll,
    UpdateSelected,
    UpdateSelectedFromMenu,
    AutomaticUpdate,
    ImportExport,
    ExportCalendar,
    ExportCsv,
    SyncClock,
    PaymentCheck,
    Search,
    ClearSearch,
};

// The main window: the watch list, its commands, the engine lights and the status bar.
// Closing it only hides it; the program ends through "Exit" or the end of the session.
// The command classes talk to it through the methods and signals below; the controls
// themselves stay its own business (and its tests').
class frmWatch final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmWatch)

public:
    frmWatch(WatchListModel &model, AlertState &alerts, QWidget *parent = nullptr);
    ~frmWatch() override;

    static QString captionText();

    // Where the desktop has no notification area, closing minimises instead of hiding, so
    // the window can always be found again.
    void setHasTray(bool hasTray);
    // The notification area came or went while the program runs.
    void notificationAreaChanged(bool available);
    // The program itself closes the window ("Exit"): nothing is refused.
    void closeByProgram();
    // Shows the window (not modal) and brings it to the front.
    void showWatchWindow();
    void AcknowledgeAlerts();
    // Puts the window out of the way: hidden, or minimised where there is no notification
    // area to live in.
    void hideToTray();
    bool isParked() const;

    // The list: its selected row (0-based, -1 for none) and that row's text.
    int selectedRow() const;
    QString selectedItem() const;
    void selectRow(int row);
    int itemCount() const;
    void setListToolTip(const QString &text);
    // False when the user ticked that items go without a question.
    bool asksBeforeRemoving() const;
    WatchListView &listView() const { return *ui.lstWatching; }

    // The status bar's panels 1..5; "with tip" keeps a text too long for its panel readable.
    void setStatusPanel(int panel, const QString &text);
    void setStatusPanelWithTip(int panel, const QString &text);
    // Engine `engine` (0-based): its label and its light.
    void setEngineLabel(int engine, const QString &text);
    void setEngineLight(int engine, const QPixmap &image);
    // The caption over the search area, where the countdown to the next update shows.
    void setCountdownCaption(const QString &caption);
    // Locks and unlocks the commands the engines' work allows.
    void applyCommandState(const CommandState &state);
    // The list-menu entries of `commands` can be chosen from now on.
    void offerInListMenu(std::initializer_list<WatchCommand> commands);
    bool automaticUpdateOn() const;
    void showAutomaticUpdate(bool on);

    // The search box.
    QString searchText() const;
    void setSearchText(const QString &text);
    void clearSearchText();
    void focusSearchBox();
    SearchOptions searchOptions() const;
    void showSearchHistory(const QStringList &history);
    // `completer` offers the history as the user types; the window keeps the keyboard and
    // the mouse doing what the user meant while it is offered.
    void offerSearchHistory(QCompleter *completer);

    WatchWindowUi ui;
    ListMenu listMenu;

    QTimer tmrChkAutoBid;
    QTimer tmrUpdateCurrentItem;
    QTimer tmrShowAlermWhileBrowse;
    QTimer tmShowSysClock;

    bool MainWindowActive = false;

Q_SIGNALS:
    void commandChosen(th::WatchCommand command);
    // A row of the list was clicked; its header was clicked.
    void rowClicked();
    void headerClicked();
    // Control-Delete on an entry of the offered history.
    void searchHistoryEntryDeleted(const QString &entry);
    // Every close request, also one that only hides (the search history is saved then).
    void closeRequested();
    // Closed while hidden by someone other than the program: the program must end.
    void endProgramRequested();
    void aboutRequested();
    // The window itself has come into view: shown, restored or uncovered (alerts waiting
    // pop up then). A repaint of its contents is not one.
    void painted();
    // The window went to the notification area for the first time in this run.
    void firstHiddenToTray();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createTimers();
    void connectCommands();
    void popUpListMenu(const QPoint &globalPos);

    WatchListModel &m_model;
    AlertState &m_alerts;
    // The list-menu entries and what each asks for.
    std::vector<std::pair<QAction *, WatchCommand>> m_menuCommands;
    SearchBoxKeys m_searchKeys;
    bool m_hasTray = true;
    bool m_closingByProgram = false;
    bool m_hiddenBefore = false;
    // The desktop's surface of the window, whose exposures count as the window painting.
    QPointer<QWindow> m_watchedSurface;
    // Where the window stood when it went to the notification area; it comes back there.
    QByteArray m_parkedGeometry;
};

} // namespace th
