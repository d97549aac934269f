#include "app/frmResource.h"

#include <QAction>
#include <QMenu>

#include "common/Timers.h"
#include "engine/UpdateEngine.h"
#include "platform/AppPaths.h"
#include "platform/ITray.h"

namespace th {

frmResource::frmResource(ITray &tray, AlertCentre::Context alerts, QString resourceFolder, QObject *parent)
    : QObject(parent)
    , m_tray(tray)
    , m_alertCentre(std::move(alerts))
    , m_resourceFolder(std::move(resourceFolder))
{
    setObjectName(QStringLiteral("frmResource"));
    createTrayMenu();
    connect(&m_tray, &ITray::doubleClicked, this, &frmResource::showMainWindowRequested);
    connect(&m_tray, &ITray::contextMenuRequested, this, &frmResource::popUpTrayMenu);
}

frmResource::~frmResource()
{
    delete mnuOptions;
}

void frmResource::createTrayMenu()
{
    mnuOptions = new QMenu; // no parent widget: the resource object is not a window
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    auto add = [this](const char *name, const QString &caption) {
        QAction *action = mnuOptions->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto separator = [this](const char *name) {
        QAction *action = mnuOptions->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuShow = add("mnuShow", QStringLiteral("Show Watch Window"));
    mnuGetItemInfo = add("mnuGetItemInfo", QStringLiteral("Update Item Info"));
    mnuSep0 = separator("mnuSep0");
    mnuSetUpWatch = add("mnuSetUpWatch", QStringLiteral("Set-Up Watch Items"));
    mnuSetUpWatch->setVisible(false);
    mnuSyncClock = add("mnuSyncClock", QStringLiteral("Sync-clock with eBay"));
    mnuSystemSetting = add("mnuSystemSetting", QStringLiteral("System Configuration"));
    mnuBidLog = add("mnuBidLog", QStringLiteral("Bid Log"));
    mnuSep1a = separator("mnuSep1a");
    mnuSep1a->setVisible(false);
    mnuTestAdjClock = add("mnuTestAdjClock", QStringLiteral("Test Clock Adj"));
    mnuTestAdjClock->setVisible(false);
    mnuSep1 = separator("mnuSep1");
    mnuAbout = add("mnuAbout", QStringLiteral("About"));
    mnuBar6 = separator("mnuBar6");
    mnuExit = add("mnuExit", QStringLiteral("Exit"));

    // Commands whose windows and engines are not part of this build yet stay visible but
    // unavailable, so the menu keeps its shape.
    mnuGetItemInfo->setEnabled(false);

    connect(mnuShow, &QAction::triggered, this, &frmResource::showMainWindowRequested);
    connect(mnuTestAdjClock, &QAction::triggered, &clockCheck, &AutoClockCheck::RunAutoClockCheck);
    connect(mnuAbout, &QAction::triggered, this, &frmResource::aboutRequested);
    connect(mnuBidLog, &QAction::triggered, this, &frmResource::bidLogRequested);
    connect(mnuExit, &QAction::triggered, this, &frmResource::exitRequested);
}

void frmResource::popUpTrayMenu(const QPoint &at)
{
    mnuOptions->popup(at);
}

void frmResource::load(const QIcon &mainIcon, const QString &caption, const TimeServerTable &timeServers)
{
    m_alertCentre.resetLists();
    clockCheck.lngAutoChkTimeSyncCnt = 0;
    m_trayImage = QIcon(AppPaths::join(m_resourceFolder, QStringLiteral("trans.ico")));
    m_mainIcon = mainIcon;
    m_caption = caption;
    AddTrayIcon(mainIcon, caption);
    // The tray icon blinks between the program's icon and the blank image while alerts wait.
    connect(&m_alertCentre, &AlertCentre::flashPhaseChanged, this, [this](bool blank) {
        if (m_trayAdded && m_tray.isAvailable())
            ModifyTrayIcon(blank ? m_trayImage : m_mainIcon, m_caption);
    });
    m_timeServers = timeServers;
    clockCheck.setServer(m_timeServers.at(1).address);
}

void frmResource::AddTrayIcon(const QIcon &icon, const QString &tip)
{
    m_tray.setContextMenu(mnuOptions);
    m_tray.add(icon, tip);
    m_trayAdded = true;
}

void frmResource::ModifyTrayIcon(const QIcon &icon, const QString &tip)
{
    m_tray.modify(icon, tip);
}

void frmResource::DeleteTrayIcon()
{
    if (m_trayAdded)
        m_tray.remove();
    m_trayAdded = false;
}

void frmResource::closeDown()
{
    m_alertCentre.closeDown();
    // The engine's timers stop and its transfers are cancelled.
    if (m_engine)
        m_engine->shutDown();
    // The remaining timers go with the program; none of them may fire while it ends.
    disableTimer(tmrAutoChkTimeSync);
    mnuOptions->hide();
    DeleteTrayIcon();
    Q_EMIT closeOtherWindowsRequested();
}

} // namespace th
