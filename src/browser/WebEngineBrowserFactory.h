#pragma once

#include <memory>

#include <QList>
#include <QPointer>

#include "platform/IBrowserFactory.h"
#include "platform/IBrowserSession.h"

class QWebEngineView;

namespace th {

// Makes browser sessions. The web engine starts with the first session, not before, and the
// factory closes any window still open when it is destroyed at the end of the program.
class WebEngineBrowserFactory final : public IBrowserFactory {
public:
    WebEngineBrowserFactory() = default;
    ~WebEngineBrowserFactory() override;
    Q_DISABLE_COPY_MOVE(WebEngineBrowserFactory)

    std::unique_ptr<IBrowserSession> createSession() override;

private:
    QList<QPointer<QWebEngineView>> m_views;
};

} // namespace th
