#pragma once

#include <memory>

#include <QObject>

namespace th {

class EndingAlertPopUp;
class frmResource;
class frmWatch;
class ITray;
class WatchListCommands;

// The ending alerts over the main window: the alert window, which selects its item in the
// list and waits while the user is busy elsewhere, and, without a notification area, the
// main window's own icon blinking.
class AlertCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertCommands)

public:
    AlertCommands(frmWatch &window, frmResource &resources, WatchListCommands &list, const ITray &tray,
        QObject *parent = nullptr);
    ~AlertCommands() override;

    EndingAlertPopUp &popUp() const { return *m_popUp; }
    // The program ends: the alert window goes without waiting for the user.
    void closeForExit();

private:
    std::unique_ptr<EndingAlertPopUp> m_popUp;
};

} // namespace th
