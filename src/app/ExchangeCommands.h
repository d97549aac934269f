#pragma once

#include <QObject>
#include <QString>

namespace th {

class frmWatch;
class IClock;
class IPrompter;
class RegistryStore;
class WatchListCommands;

// The backup and restore of the watch list from the list menu. A restore fills the list
// again, each item keeping what the program knows of it.
class ExchangeCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExchangeCommands)

public:
    struct Context {
        frmWatch &window;
        RegistryStore &store;
        IPrompter &prompter;
        IClock &clock;
        WatchListCommands &list;
        // The default folder of a backup.
        QString dataFolder;
    };

    explicit ExchangeCommands(Context context, QObject *parent = nullptr);

    // The dialog, modal.
    void mnuImportExport_Click();
    // The folder of the last backup or restore that succeeded; empty when there was none.
    QString lastFolder() const;

private:
    Context m_ctx;
};

} // namespace th
