#include "app/UserNotifier.h"

#include "app/AppLog.h"
#include "app/frmWatch.h"
#include "common/Version.h"
#include "platform/ITray.h"

namespace th {

UserNotifier::UserNotifier(ITray &tray, frmWatch &window, QObject *parent)
    : QObject(parent)
    , m_tray(tray)
    , m_window(window)
{
    connect(&window, &frmWatch::firstHiddenToTray, this, [this] {
        showTrayMessage(
            QStringLiteral("Tallyhawk keeps watching your items here. Double-click the icon to open the "
                           "list; Exit is in the icon's menu."));
    });
}

void UserNotifier::tellUser(const QString &text)
{
    if (m_tray.isAvailable())
        showTrayMessage(text);
    else
        m_window.setStatusPanelWithTip(1, text);
}

void UserNotifier::tellFileNotSaved(const QString &why)
{
    qCWarning(lcApp, "%s", qPrintable(why));
    tellUser(why);
}

void UserNotifier::showTrayMessage(const QString &text)
{
    m_tray.showMessage(QString::fromLatin1(kProgramTitle), text);
}

} // namespace th
