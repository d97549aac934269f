#pragma once

#include <QObject>
#include <QPointer>

namespace th {

struct AppSettings;
struct ClockState;
class ClockSync;
class frmResource;
class frmSync;
class frmWatch;
class HostConfig;
class IClock;
class IConnectionState;
class IPrompter;
class ITray;
class RegistryStore;

// The clock commands of the program: the automatic clock check on the resource object,
// the clock dialog opened from the tray and the list menu, the fine tune it hands back,
// and the report of an automatic correction that failed.
class ClockCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockCommands)

public:
    struct Context {
        frmResource &resource;
        frmWatch &window;
        ClockSync &clockSync;
        ClockState &state;
        AppSettings &settings;
        RegistryStore &store;
        const HostConfig &hosts;
        const IClock &clock;
        const IConnectionState &connection;
        ITray &tray;
        IPrompter &prompter;
    };

    explicit ClockCommands(Context context, QObject *parent = nullptr);

    // Shows the clock dialog, or raises the one already open.
    void mnuSyncClock_Click();
    // The open dialog, or null.
    frmSync *dialog() const;

private:
    void reportCorrectionFailure(const QString &message);

    Context m_ctx;
    QPointer<frmSync> m_dialog;
};

} // namespace th
