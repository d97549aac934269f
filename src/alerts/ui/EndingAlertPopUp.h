#pragma once

#include <functional>

#include <QObject>
#include <QPointer>

class QWidget;

namespace th {

class AlertCentre;
class frmEndingAlert;

// Brings the ending-alert window up: when the main window paints while alerts are pending,
// and at the browse tick. One window at a time, and never from inside a paint: a paint only
// asks, and the window opens from the event loop right after.
class EndingAlertPopUp final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EndingAlertPopUp)

public:
    struct Context {
        // Selects the rows whose item text is the one given (SelectRowByItemNumber).
        std::function<void(const QString &)> selectRowByItemNumber;
        // Whether the main window is in use.
        std::function<bool()> mainWindowActive;
    };

    EndingAlertPopUp(AlertCentre &centre, QWidget *owner, Context context, QObject *parent = nullptr);
    ~EndingAlertPopUp() override;

    // The main window has painted.
    void mainWindowPainted();
    // The tick of tmrShowAlermWhileBrowse.
    void tmrShowAlermWhileBrowse_Timer();
    // Shows the window, modal, unless one is open already; returns when it has closed.
    void showAlertWindow();
    // The program ends: an open window goes.
    void closeForExit();

    bool isShowing() const { return m_showing; }
    frmEndingAlert *window() const { return m_window; }

Q_SIGNALS:
    // The window is on the screen (for tests).
    void windowShown();

private:
    AlertCentre &m_centre;
    QPointer<QWidget> m_owner;
    Context m_ctx;
    QPointer<frmEndingAlert> m_window;
    bool m_showing = false;
    bool m_requested = false;
};

} // namespace th
