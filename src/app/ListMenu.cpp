#include "app/ListMenu.h"

#include <QMenu>

namespace th {

namespace {

QAction *entry(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction *separator(QMenu *menu, const char *name)
{
    QAction *action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// A disabled line of dashes that reads as a divider between groups of commands.
QAction *dashes(QMenu *menu, const char *name)
{
    QAction *action = entry(menu, name, QStringLiteral("------------------------------------------"));
    action->setEnabled(false);
    return action;
}

} // namespace

void ListMenu::build(QWidget *parent)
{
    mnuLVPopup = new QMenu(QStringLiteral("&Menu"), parent);
    mnuLVPopup->setObjectName(QStringLiteral("mnuLVPopup"));
    QMenu *m = mnuLVPopup;
    mnuOpenItem = entry(m, "mnuOpenItem", QStringLiteral("Open Item in Browser"));
    mnuClock = entry(m, "mnuClock", QStringLiteral("Countdown Clock"));
    mnuBar2a = dashes(m, "mnuBar2a");
    mnuRemarkPrice = entry(m, "mnuRemarkPrice", QStringLiteral("SET Reminder Note of Max. Bid Price"));
    mnuRemoveMaxbid = entry(m, "mnuRemoveMaxbid", QStringLiteral("DELETE Reminder Max. Bid Note (Not Item)"));
    mnuBar1 = dashes(m, "mnuBar1");
    mnuMainBid = m->addMenu(QStringLiteral("> Make a Bid (Fill Data Only)"));
    mnuMainBid->setObjectName(QStringLiteral("mnuMainBid"));
    mnuBidNow = entry(mnuMainBid, "mnuBidNow", QStringLiteral("Bid Now (Fill Data Only)"));
    separator(mnuMainBid, "mnuMainBidSep");
    mnuEbaySetting = entry(mnuMainBid, "mnuEbaySetting", QStringLiteral("eBay's Account Setting"));
    mnuMainAutoBid = m->addMenu(QStringLiteral("> Auto-Bid   OR  [Bid Now (Real bid)]"));
    mnuMainAutoBid->setObjectName(QStringLiteral("mnuMainAutoBid"));
    mnuSetAutoBid = entry(mnuMainAutoBid, "mnuSetAutoBid", QStringLiteral("Set Auto-Bid (Bid Max)"));
    separator(mnuMainAutoBid, "mnuMainAutoBidSep");
    mnuRemoveAutoBid = entry(mnuMainAutoBid, "mnuRemoveAutoBid", QStringLiteral("Remove Auto-Bid"));
    mnuBidLog = entry(m, "mnuBidLog", QStringLiteral("Bid Log"));
    mnuBidGroups = entry(m, "mnuBidGroups", QStringLiteral("Bid Groups…"));
    mnuBar2 = separator(m, "mnuBar2");
    mnuUpdateCurrentItem = entry(m, "mnuUpdateCurrentItem", QStringLiteral("Update Current Item only"));
    mnuUpdate = entry(m, "mnuUpdate", QStringLiteral("Update All Items Now"));
    mnuAutoUpdate = entry(m, "mnuAutoUpdate", QStringLiteral("Automatic Update (ON)"));
    mnuAutoUpdate->setCheckable(true);
    mnuAutoUpdate->setChecked(true);
    mnuBar3 = separator(m, "mnuBar3");
    mnuCopyItem2Clipboard = entry(m, "mnuCopyItem2Clipboard", QStringLiteral("Copy Item# to Clipboard"));
    mnuImportExport = entry(m, "mnuImportExport", QStringLiteral("Import/Export"));
    mnuExportCalendar = entry(m, "mnuExportCalendar", QStringLiteral("Export Calendar\u2026"));
    mnuExportCsv = entry(m, "mnuExportCsv", QStringLiteral("Export CSV\u2026"));
    mnuSyncClock = entry(m, "mnuSyncClock", QStringLiteral("Sync.System Clock"));
    mnuBar9 = separator(m, "mnuBar9");
    mnuPaypalVerify = entry(m, "mnuPaypalVerify", QStringLiteral("> Verify: Paypal-verified user"));
    // The web-mail entries stay hidden with everything under them; nothing shows them.
    mnuChkMail = m->addMenu(QStringLiteral("> Check web-based email"));
    mnuChkMail->setObjectName(QStringLiteral("mnuChkMail"));
    mnuChkMail->menuAction()->setVisible(false);
    mnuHotmail = entry(mnuChkMail, "mnuHotmail", QStringLiteral("Hotmail"));
    mnuYahoo = entry(mnuChkMail, "mnuYahoo", QStringLiteral("Yahoo!"));
    mnuEmailSetting = entry(mnuChkMail, "mnuEmailSetting", QStringLiteral("Email Setting"));

    // Commands whose subsystems are not part of this build yet: present, unavailable.
    for (QAction *later : { mnuRemarkPrice, mnuRemoveMaxbid, mnuBidNow, mnuSetAutoBid, mnuRemoveAutoBid,
             mnuBidGroups, mnuUpdateCurrentItem, mnuUpdate, mnuAutoUpdate })
        later->setEnabled(false);
}

} // namespace th
