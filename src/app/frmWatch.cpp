#include "app/frmWatch.h"

#include <utility>

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "alerts/AlertState.h"
#include "common/Timers.h"
#include "common/Version.h"

namespace th {

frmWatch::frmWatch(WatchListModel &model, AlertState &alerts, QWidget *parent)
    : QMainWindow(parent)
    , m_alerts(alerts)
{
    setObjectName(QStringLiteral("frmWatch"));
    setWindowTitle(captionText());
    ui.setupUi(this, model);
    listMenu.build(this);
    createTimers();
    // Room for every column where the screen allows it.
    const QRect screen = QGuiApplication::primaryScreen()
        ? QGuiApplication::primaryScreen()->availableGeometry()
        : QRect(0, 0, 1280, 800);
    resize(std::min(1340, screen.width() - 40), std::min(640, screen.height() - 60));
    setMinimumSize(720, 380);

    connect(ui.cmdClose, &QPushButton::clicked, this, &frmWatch::hideToTray);
    connect(ui.mnuAbout, &QAction::triggered, this, &frmWatch::aboutRequested);
    connect(ui.mnuExitProgram, &QAction::triggered, this, &frmWatch::endProgramRequested);
}

frmWatch::~frmWatch() = default;

QString frmWatch::captionText()
{
    return QStringLiteral("Tallyhawk for eBay (Version %1.%2.%3)")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionPatch);
}

void frmWatch::createTimers()
{
    setUpTimer(tmrChkAutoBid, "tmrChkAutoBid", 1000, false);
    setUpTimer(tmrUpdateCurrentItem, "tmrUpdateCurrentItem", 500, false, /*singleShot=*/true);
    setUpTimer(tmrShowAlermWhileBrowse, "tmrShowAlermWhileBrowse", 6000, true);
    setUpTimer(tmShowSysClock, "tmShowSysClock", 1000, true);
}

void frmWatch::AcknowledgeAlerts()
{
    m_alerts.acknowledge();
}

void frmWatch::hideToTray()
{
    AcknowledgeAlerts();
    MainWindowActive = false;
    if (m_hasTray) {
        if (isVisible())
            m_parkedGeometry = saveGeometry();
        hide();
    } else {
        showMinimized();
    }
    if (m_hasTray && !std::exchange(m_hiddenBefore, true))
        Q_EMIT firstHiddenToTray();
}

void frmWatch::setHasTray(bool hasTray)
{
    m_hasTray = hasTray;
    // Without a notification area the window is the only way in: it says how to leave.
    ui.mnuExitProgram->setVisible(!hasTray);
    if (!hasTray)
        ui.cmdClose->setToolTip(QStringLiteral(
            "Minimise the window; Tallyhawk keeps watching. To end it, choose Exit in the Info menu"));
}

bool frmWatch::isParked() const
{
    return !isVisible() || (!m_hasTray && isMinimized());
}

void frmWatch::showWatchWindow()
{
    // The desktop may place a window shown again wherever it likes: it returns where the
    // user left it.
    if (!isVisible() && !m_parkedGeometry.isEmpty())
        restoreGeometry(std::exchange(m_parkedGeometry, {}));
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void frmWatch::closeByProgram()
{
    m_closingByProgram = true;
    close();
}

void frmWatch::closeEvent(QCloseEvent *event)
{
    Q_EMIT closeRequested();
    if (m_closingByProgram) {
        event->accept();
        return;
    }
    event->ignore();
    // Shown: the close only hides (or, without a notification area, minimises). Already
    // hidden (or minimised with nowhere else to live): the program ends.
    if (!isParked()) {
        hideToTray();
        return;
    }
    Q_EMIT endProgramRequested();
}

bool frmWatch::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
    case QEvent::FocusIn:
        MainWindowActive = true;
        break;
    case QEvent::Show:
        // The desktop says when the window comes into view (shown, restored, uncovered);
        // its own repaints, such as the status-bar clocks every second, do not count.
        if (QWindow *handle = windowHandle(); handle && handle != m_watchedSurface) {
            handle->installEventFilter(this);
            m_watchedSurface = handle;
        }
        break;
    case QEvent::Hide:
        MainWindowActive = false;
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

bool frmWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedSurface && event->type() == QEvent::Expose && m_watchedSurface->isExposed()) {
        MainWindowActive = true;
        Q_EMIT painted();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace th
