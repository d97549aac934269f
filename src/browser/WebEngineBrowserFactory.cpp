#include "browser/WebEngineBrowserFactory.h"

#include <QWebEngineView>

#include "browser/BrowserFactory.h"
#include "browser/WebEngineBrowserSession.h"
#include "platform/IBrowserFactory.h"

namespace th {

WebEngineBrowserFactory::~WebEngineBrowserFactory()
{
    for (const QPointer<QWebEngineView> &view : std::as_const(m_views))
        delete view.data();
}

std::unique_ptr<IBrowserSession> WebEngineBrowserFactory::createSession()
{
    auto *view = new QWebEngineView; // top-level; owned by the user, deleted on close or by us
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->resize(1000, 750);
    // The window says which page it shows, as any browser window does.
    QObject::connect(view, &QWebEngineView::titleChanged, view, [view](const QString &title) {
        view->setWindowTitle(title.isEmpty() ? QString() : title + u" - Tallyhawk");
    });
    m_views.append(QPointer<QWebEngineView>(view));
    return std::make_unique<WebEngineBrowserSession>(view);
}

std::unique_ptr<IBrowserFactory> makeBrowserFactory()
{
    return std::make_unique<WebEngineBrowserFactory>();
}

} // namespace th
