#pragma once

#include <QList>
#include <QPointer>
#include <QStringList>

#include "platform/IBrowserSession.h"

#include <QWebEngineView>

namespace th {

// A browser session over a top-level web view. The view is created with the session and
// closes itself (and is deleted) when the user closes it.
class WebEngineBrowserSession final : public IBrowserSession {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEngineBrowserSession)

public:
    explicit WebEngineBrowserSession(QWebEngineView *view, QObject *parent = nullptr);
    ~WebEngineBrowserSession() override;

    void navigate(const QUrl &url) override;
    void show() override;
    void release() override;

    int formCount() const override;
    int elementCount(int form) const override;
    QString elementName(int form, int element) const override;
    bool setElementValue(int form, int element, const QString &value) override;
    bool submitForm(int form) override;

    QWebEngineView *view() const { return m_view; }

private:
    void onLoadFinished(bool ok);
    bool hasElement(int form, int element) const;

    QPointer<QWebEngineView> m_view;
    QList<QStringList> m_forms; // element names per form of the last completed document
    bool m_released = false;
    quint64 m_loadSerial = 0;
};

} // namespace th
