#pragma once

#include <memory>

#include <QList>
#include <QPointer>

#include "platform/IBrowserFactory.h"
#include "platform/IBrowserSession.h"

class QWebEngineView;

namespace th {

// Makes browser sessions. The web engine starts with the first session or warm-up, not before,
// and the factory closes any window still open when it is destroyed at the end of the program.
class WebEngineBrowserFactory final : public IBrowserFactory {
public:
    WebEngineBrowserFactory() = default;
    ~WebEngineBrowserFactory() override;
    Q_DISABLE_COPY_MOVE(WebEngineBrowserFactory)

    std::unique_ptr<IBrowserSession> createSession() override;
    IBrowserSession *warmUp() override;

private:
    QList<QPointer<QWebEngineView>> m_views;
    // The hidden page that keeps the web engine running once warmed up.
    std::unique_ptr<IBrowserSession> m_warm;
};

} // namespace th
