#include "browser/WebEngineBrowserFactory.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWebEngineView>

#include "browser/BrowserFactory.h"
#include "browser/WebEngineBrowserSession.h"
#include "platform/IBrowserFactory.h"

namespace th {

WebEngineBrowserFactory::~WebEngineBrowserFactory()
{
    m_warm.reset();
    for (const QPointer<QWebEngineView> &view : std::as_const(m_views))
        delete view.data();
}

std::unique_ptr<IBrowserSession> WebEngineBrowserFactory::createSession()
{
    auto *view = new QWebEngineView; // top-level; owned by the user, deleted on close or by us
    view->setAttribute(Qt::WA_DeleteOnClose);
    // A large window, within a small or highly scaled screen.
    view->resize(
        QSize(1000, 750).boundedTo(QGuiApplication::primaryScreen()->availableSize() - QSize(40, 80)));
    // The window says which page it shows, as any browser window does.
    QObject::connect(view, &QWebEngineView::titleChanged, view, [view](const QString &title) {
        view->setWindowTitle(title.isEmpty() ? QString() : title + u" - Tallyhawk");
    });
    m_views.append(QPointer<QWebEngineView>(view));
    return std::make_unique<WebEngineBrowserSession>(view);
}

IBrowserSession *WebEngineBrowserFactory::warmUp()
{
    if (!m_warm) {
        // Never shown: a page of the default profile starts the engine, and its first load the
        // page processes; it shares the bid windows' cookies.
        auto *view = new QWebEngineView;
        m_views.append(QPointer<QWebEngineView>(view));
        m_warm = std::make_unique<WebEngineBrowserSession>(view);
    }
    return m_warm.get();
}

std::unique_ptr<IBrowserFactory> makeBrowserFactory()
{
    return std::make_unique<WebEngineBrowserFactory>();
}

} // namespace th
