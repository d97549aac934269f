#pragma once

#include <QIcon>
#include <QObject>
#include <QTimer>

#include "alerts/AlertCentre.h"
#include "clock/AutoClockCheck.h"
#include "clock/TimeServerTable.h"

class QAction;
class QMenu;

namespace th {

class ITray;
class UpdateEngine;

// The hidden resource object: it owns the tray icon and its menu and the timers of the
// update engine, the alerts and the clock check. It is never shown.
class frmResource final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmResource)

public:
    frmResource(ITray &tray, AlertCentre::Context alerts, QString resourceFolder, QObject *parent = nullptr);
    ~frmResource() override;

    // The load step: empties the alert lists, resets the clock-check counter, loads the
    // blank tray image and adds the tray icon with the main window's icon and caption.
    void load(const QIcon &mainIcon, const QString &caption, const TimeServerTable &timeServers);
    // The closing step: timers off, transfers cancelled, tray icon removed.
    void closeDown();

    void AddTrayIcon(const QIcon &icon, const QString &tip);
    void ModifyTrayIcon(const QIcon &icon, const QString &tip);
    void DeleteTrayIcon();

    QMenu *trayMenu() const { return mnuOptions; }
    const QIcon &trayImage() const { return m_trayImage; }
    // The time servers of the automatic clock check, filled at load.
    const TimeServerTable &timeServers() const { return m_timeServers; }

    // The update engine, with its own timers and sockets; set once the store is open.
    void setEngine(UpdateEngine *engine) { m_engine = engine; }
    UpdateEngine *engine() const { return m_engine; }

    // The ending-item check with its timers, the tray's blinking and the alarm sound.
    AlertCentre &alerts() { return m_alertCentre; }

    // The automatic clock check, with its timer, counter and socket.
    AutoClockCheck clockCheck;
    QTimer &tmrAutoChkTimeSync = clockCheck.tmrAutoChkTimeSync;

    // The tray menu and its entries.
    QMenu *mnuOptions = nullptr;
    QAction *mnuShow = nullptr;
    QAction *mnuGetItemInfo = nullptr;
    QAction *mnuSep0 = nullptr;
    QAction *mnuSetUpWatch = nullptr;
    QAction *mnuSyncClock = nullptr;
    QAction *mnuSystemSetting = nullptr;
    QAction *mnuBidLog = nullptr;
    QAction *mnuSep1a = nullptr;
    QAction *mnuTestAdjClock = nullptr;
    QAction *mnuSep1 = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuBar6 = nullptr;
    QAction *mnuExit = nullptr;

Q_SIGNALS:
    void showMainWindowRequested();
    void aboutRequested();
    void bidLogRequested();
    void exitRequested();
    // Someone wants every open window but the main one closed (the end of the program).
    void closeOtherWindowsRequested();

private:
    void createTrayMenu();
    void popUpTrayMenu(const QPoint &at);

    ITray &m_tray;
    AlertCentre m_alertCentre;
    QIcon m_mainIcon;
    QString m_caption;
    QString m_resourceFolder;
    QIcon m_trayImage;
    bool m_trayAdded = false;
    TimeServerTable m_timeServers;
    UpdateEngine *m_engine = nullptr;
};

} // namespace th
