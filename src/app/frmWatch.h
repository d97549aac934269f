#pragma once

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "app/ListMenu.h"
#include "app/WatchWindowUi.h"

class QWindow;

namespace th {

struct AlertState;
class WatchListModel;

// The main window: the watch list, its commands, the engine lights and the status bar.
// Closing it only hides it; the program ends through "Exit" or the end of the session.
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
    // The program itself closes the window ("Exit"): nothing is refused.
    void closeByProgram();
    // Shows the window (not modal) and brings it to the front.
    void showWatchWindow();
    void AcknowledgeAlerts();
    // Puts the window out of the way: hidden, or minimised where there is no notification
    // area to live in.
    void hideToTray();
    bool isParked() const;

    WatchWindowUi ui;
    ListMenu listMenu;

    QTimer tmrChkAutoBid;
    QTimer tmrUpdateCurrentItem;
    QTimer tmrShowAlermWhileBrowse;
    QTimer tmShowSysClock;

    bool MainWindowActive = false;

Q_SIGNALS:
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

    AlertState &m_alerts;
    bool m_hasTray = true;
    bool m_closingByProgram = false;
    bool m_hiddenBefore = false;
    // The desktop's surface of the window, whose exposures count as the window painting.
    QPointer<QWindow> m_watchedSurface;
    // Where the window stood when it went to the notification area; it comes back there.
    QByteArray m_parkedGeometry;
};

} // namespace th
