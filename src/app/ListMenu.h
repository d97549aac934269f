#pragma once

class QAction;
class QMenu;
class QWidget;

namespace th {

// The watch list's right-button menu and its entries, in their order.
struct ListMenu {
    QMenu *mnuLVPopup = nullptr;
    QAction *mnuOpenItem = nullptr;
    QAction *mnuClock = nullptr;
    QAction *mnuBar2a = nullptr;
    QAction *mnuRemarkPrice = nullptr;
    QAction *mnuRemoveMaxbid = nullptr;
    QAction *mnuBar1 = nullptr;
    QMenu *mnuMainBid = nullptr;
    QAction *mnuBidNow = nullptr;
    QAction *mnuEbaySetting = nullptr;
    QMenu *mnuMainAutoBid = nullptr;
    QAction *mnuSetAutoBid = nullptr;
    QAction *mnuRemoveAutoBid = nullptr;
    QAction *mnuBidLog = nullptr;
    QAction *mnuBidGroups = nullptr;
    QAction *mnuBar2 = nullptr;
    QAction *mnuUpdateCurrentItem = nullptr;
    QAction *mnuUpdate = nullptr;
    QAction *mnuAutoUpdate = nullptr;
    QAction *mnuBar3 = nullptr;
    QAction *mnuCopyItem2Clipboard = nullptr;
    QAction *mnuImportExport = nullptr;
    // Ours: the watch list for calendars and spreadsheets.
    QAction *mnuExportCalendar = nullptr;
    QAction *mnuExportCsv = nullptr;
    QAction *mnuSyncClock = nullptr;
    QAction *mnuBar9 = nullptr;
    QAction *mnuPaypalVerify = nullptr;
    QMenu *mnuChkMail = nullptr;
    QAction *mnuHotmail = nullptr;
    QAction *mnuYahoo = nullptr;
    QAction *mnuEmailSetting = nullptr;

    void build(QWidget *parent);
};

} // namespace th
