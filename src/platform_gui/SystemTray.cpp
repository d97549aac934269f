#include "platform_gui/SystemTray.h"

#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>
#include <QSystemTrayIcon>

namespace th {

SystemTray::SystemTray(QObject *parent)
    : ITray(parent)
    , m_icon(new QSystemTrayIcon(this))
{
    constexpr int kAvailabilityCheckMs = 3000;
    m_available = QSystemTrayIcon::isSystemTrayAvailable();
    m_availabilityTimer.setInterval(kAvailabilityCheckMs);
    connect(&m_availabilityTimer, &QTimer::timeout, this, [this] {
        const bool available = QSystemTrayIcon::isSystemTrayAvailable();
        if (available == m_available)
            return;
        m_available = available;
        // A new notification area knows nothing of the icon shown in the old one.
        if (available && m_icon->isVisible()) {
            m_icon->hide();
            m_icon->show();
        }
        Q_EMIT availabilityChanged(available);
    });
    m_availabilityTimer.start();
    m_singleTimer.setSingleShot(true);
    m_singleTimer.setInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    connect(&m_singleTimer, &QTimer::timeout, this, [this] {
        if (!m_seenDoubleClick)
            Q_EMIT doubleClicked();
    });
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            m_seenDoubleClick = true;
            m_singleTimer.stop();
            Q_EMIT doubleClicked();
            break;
        case QSystemTrayIcon::Trigger:
            if (!m_seenDoubleClick)
                m_singleTimer.start();
            break;
        case QSystemTrayIcon::Context:
            Q_EMIT contextMenuRequested(QCursor::pos());
            break;
        default:
            break;
        }
    });
}

SystemTray::~SystemTray() = default;

bool SystemTray::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTray::add(const QIcon &icon, const QString &tip)
{
    m_icon->setIcon(icon);
    m_icon->setToolTip(cutTip(tip));
    m_icon->show();
}

void SystemTray::modify(const QIcon &icon, const QString &tip)
{
    m_icon->setIcon(icon);
    m_icon->setToolTip(cutTip(tip));
}

void SystemTray::remove()
{
    m_icon->hide();
}

bool SystemTray::isShown() const
{
    return m_icon->isVisible();
}

void SystemTray::setContextMenu(QMenu *menu)
{
    m_icon->setContextMenu(menu);
}

void SystemTray::showMessage(const QString &title, const QString &text)
{
    m_icon->showMessage(title, text, QSystemTrayIcon::Warning);
}

} // namespace th
