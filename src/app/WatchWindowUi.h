#pragma once

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
class QToolButton;

namespace th {

class WatchListModel;
class WatchListView;

// The controls of the main window, built in one place so that the window class keeps to
// behaviour. Names are the ones every handler refers to.
struct WatchWindowUi {
    // Search area.
    QGroupBox *frmeAddSort = nullptr;
    QComboBox *txtAddress = nullptr;
    QToolButton *cmdSearch = nullptr;
    QToolButton *cmdClear = nullptr;
    QCheckBox *chkGoogle = nullptr;
    QCheckBox *chkTitleDesc = nullptr;
    QCheckBox *chkBuyItNow = nullptr;
    QCheckBox *chkPaypalOnly = nullptr;
    QComboBox *cboSorted = nullptr;
    QCheckBox *chkSearchSeller = nullptr;
    QCheckBox *chkCompletedItems = nullptr;

    // The list and its commands.
    WatchListView *lstWatching = nullptr;
    QPushButton *cmdAddItem = nullptr;
    QPushButton *cmdRemove = nullptr;
    QCheckBox *ChkDeleteConfirm = nullptr;
    QPushButton *cmdGoTo = nullptr;
    QPushButton *cmdUpdateOneItem = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *cmdOpenClockDialog = nullptr;
    QPushButton *cmdTestAutoBid = nullptr;
    QPushButton *cmdBidReady = nullptr;
    QPushButton *cmdClose = nullptr;

    // Engine labels and lights.
    std::array<QCheckBox *, 5> chkSockStatus {};
    std::array<QLabel *, 5> picSockStatus {};

    // Status bar panels 1..5 (index 0 unused).
    std::array<QLabel *, 6> panels {};

    // Menus.
    QMenu *mnuInfo = nullptr;
    QAction *mnuAbout = nullptr;
    // Shown only where there is no notification area, whose menu holds Exit otherwise.
    QAction *mnuExitProgram = nullptr;

    void setupUi(QMainWindow *window, WatchListModel &model);

private:
    void setupSearch(QMainWindow *window);
    void setupCommands(QMainWindow *window);
    void setupEngines(QMainWindow *window);
    void setupStatusBar(QMainWindow *window);
};

} // namespace th
