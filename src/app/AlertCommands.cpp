#include "app/AlertCommands.h"

#include <QApplication>

#include "alerts/AlertCentre.h"
#include "alerts/ui/EndingAlertPopUp.h"
#include "alerts/ui/frmEndingAlert.h"
#include "app/WatchListCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "platform/ITray.h"

namespace th {

AlertCommands::AlertCommands(
    frmWatch &window, frmResource &resources, WatchListCommands &list, const ITray &tray, QObject *parent)
    : QObject(parent)
{
    AlertCentre &alerts = resources.alerts();
    m_popUp = std::make_unique<EndingAlertPopUp>(alerts, &window,
        EndingAlertPopUp::Context {
            [&list](const QString &item) { list.SelectRowByItemNumber(item); },
            [&window] { return window.MainWindowActive; },
        });
    connect(&window, &frmWatch::painted, m_popUp.get(), &EndingAlertPopUp::mainWindowPainted);
    connect(&window.tmrShowAlermWhileBrowse, &QTimer::timeout, m_popUp.get(),
        &EndingAlertPopUp::tmrShowAlermWhileBrowse_Timer);
    // Without a notification area the main window's own icon blinks, and the window asks
    // the desktop for attention.
    connect(&alerts, &AlertCentre::flashPhaseChanged, &window, [&window, &resources, &tray](bool blank) {
        if (tray.isAvailable()) {
            window.setWindowIcon(QApplication::windowIcon());
            return;
        }
        window.setWindowIcon(blank ? resources.trayImage() : QApplication::windowIcon());
        if (blank)
            QApplication::alert(&window);
    });
}

AlertCommands::~AlertCommands() = default;

void AlertCommands::closeForExit()
{
    m_popUp->closeForExit();
}

} // namespace th
