#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace th {

class frmEmailWebBased;
class frmResource;
class frmWatch;
class IPrompter;
class ISoundPlayer;
class IStartupEntry;
class LiveTimeLeft;
class RegistryStore;
class UpdateEngine;
class WatchListModel;
struct AppSettings;

// Opens the settings dialog from its menu entries and carries a changed update interval
// to the update engine and the list.
class SettingsCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsCommands)

public:
    struct Context {
        AppSettings &settings;
        RegistryStore &store;
        IPrompter &prompter;
        ISoundPlayer &sound;
        IStartupEntry &startupEntry;
        UpdateEngine &engine;
        WatchListModel &model;
        LiveTimeLeft &liveTimeLeft;
        QString resourceFolder;
        // config.ini of the data folder.
        QString configPath;
    };

    explicit SettingsCommands(Context context, QObject *parent = nullptr);

    // The tray's "System Configuration" (no owner window: the resource object is none),
    // the list menu's "eBay's Account Setting" and "Email Setting" (owned by the main window).
    void connectMenus(frmResource &resource, frmWatch &window);
    // Shows the dialog modally; returns when it has closed. An opening while it is open
    // brings the open one to the front.
    void openSettings(QWidget *owner);
    // The open dialog, if any.
    frmEmailWebBased *dialog() const;

private:
    // A new interval counts from a fresh pass: the sequential pass starts shortly, and the
    // list sorts itself again as after filling.
    void updateIntervalChanged();

    Context m_ctx;
    QPointer<frmEmailWebBased> m_dialog;
};

} // namespace th
