#pragma once

#include <QObject>

namespace th {

class ClockSync;
class frmResource;
class frmWatch;
class IClock;
class IPrompter;
class ITray;
class UpdateEngine;
class WatchListCommands;
struct AppSettings;
struct CommandState;

// Connects the update engine to the windows: its triggers (tray, list menu, buttons,
// timers), the command locks, the status bar, the engine labels and lights, the countdown
// and the clocks.
class UpdateCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpdateCommands)

public:
    struct Context {
        frmWatch &window;
        frmResource &resource;
        UpdateEngine &engine;
        WatchListCommands &list;
        ClockSync &clockSync;
        AppSettings &settings;
        IPrompter &prompter;
        IClock &clock;
        ITray &tray;
    };

    explicit UpdateCommands(Context context, QObject *parent = nullptr);

    // The triggers of the update.
    void updateAllNow(); // "Update All Items Now", "Update All"
    void mnuUpdateCurrentItem_Click();
    void cmdUpdateOneItem_Click();
    void tmrUpdateCurrentItem_Timer();
    void mnuAutoUpdate_Click();
    // The 1-second display of the clocks, the item total and the engine lights.
    void tmShowSysClock_Timer();

private:
    void applyCommandState(const CommandState &state);
    // The failures of a pass: a box, or a tray message while the main window is hidden.
    void tellPassFailures(const QString &message);

    Context m_ctx;
    // A box about a pass's failures is open: the next pass's go to the log only.
    bool m_failureBoxOpen = false;
};

} // namespace th
