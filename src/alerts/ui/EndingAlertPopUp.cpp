#include "alerts/ui/EndingAlertPopUp.h"

#include <QTimer>

#include "alerts/AlertCentre.h"
#include "alerts/ui/frmEndingAlert.h"

namespace th {

EndingAlertPopUp::EndingAlertPopUp(AlertCentre &centre, QWidget *owner, Context context, QObject *parent)
    : QObject(parent)
    , m_centre(centre)
    , m_owner(owner)
    , m_ctx(std::move(context))
{
}

EndingAlertPopUp::~EndingAlertPopUp()
{
    delete m_window.data();
}

void EndingAlertPopUp::mainWindowPainted()
{
    // A modal loop inside a paint is not allowed: the window opens once the paint is over.
    if (m_showing || m_requested || !m_centre.hasPending())
        return;
    m_requested = true;
    QTimer::singleShot(0, this, [this] {
        m_requested = false;
        if (m_centre.hasPending())
            showAlertWindow();
    });
}

void EndingAlertPopUp::tmrShowAlermWhileBrowse_Timer()
{
    if (!m_showing && m_centre.browsePopUpDue(m_ctx.mainWindowActive && m_ctx.mainWindowActive()))
        showAlertWindow();
}

void EndingAlertPopUp::showAlertWindow()
{
    if (m_showing)
        return;
    m_showing = true;
    // A fresh window every time, with its design texts.
    m_window = new frmEndingAlert(m_owner);
    const EndingAlertView view = m_centre.openAlertWindow();
    m_window->fill(view);
    if (!view.rowToSelect.isEmpty() && m_ctx.selectRowByItemNumber)
        m_ctx.selectRowByItemNumber(view.rowToSelect);
    QTimer::singleShot(0, this, &EndingAlertPopUp::windowShown);
    const QPointer<EndingAlertPopUp> self(this);
    const QPointer<frmEndingAlert> window = m_window;
    window->exec();
    if (window)
        window->deleteLater();
    if (!self)
        return;
    m_centre.alertWindowClosed();
    m_showing = false;
}

void EndingAlertPopUp::closeForExit()
{
    if (m_window)
        m_window->reject();
}

} // namespace th
