#pragma once

#include <QTimer>

#include "platform/ITray.h"

class QSystemTrayIcon;

namespace th {

// The notification-area icon over QSystemTrayIcon.
class SystemTray final : public ITray {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SystemTray)

public:
    explicit SystemTray(QObject *parent = nullptr);
    ~SystemTray() override;

    bool isAvailable() const override;
    void add(const QIcon &icon, const QString &tip) override;
    void modify(const QIcon &icon, const QString &tip) override;
    void remove() override;
    bool isShown() const override;
    void setContextMenu(QMenu *menu) override;
    void showMessage(const QString &title, const QString &text) override;

private:
    QSystemTrayIcon *m_icon = nullptr;
    // Some desktops report a double click, others only single activations. A single
    // activation counts as the double click only on a desktop that has never reported one.
    QTimer m_singleTimer;
    bool m_seenDoubleClick = false;
    // The desktop tells no one when its notification area comes or goes: it is looked at
    // every few seconds.
    QTimer m_availabilityTimer;
    bool m_available = false;
};

} // namespace th
