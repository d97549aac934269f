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
    void showWithoutFocus() override;
    void release() override;
    void close() override;
    bool userTouched() const override { return m_touched; }

    int formCount() const override;
    int elementCount(int form) const override;
    QString elementName(int form, int element) const override;
    bool setElementValue(int form, int element, const QString &value) override;
    bool submitForm(int form) override;
    QUrl formAction(int form) const override;
    QString documentTitle() const override;
    QString documentText() const override;

    QWebEngineView *view() const { return m_view; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onLoadFinished(bool ok);
    bool isInView(QObject *watched) const;
    void onLoadFailed(const QUrl &url, const QString &reason);
    bool hasElement(int form, int element) const;
    void clearDocument();

    QPointer<QWebEngineView> m_view;
    // The last completed document: element names and target address per form, title, text.
    QList<QStringList> m_forms;
    QList<QUrl> m_actions;
    QString m_title;
    QString m_text;
    bool m_released = false;
    // The user's own input reached the window. Becoming the active window is no sign: the
    // program activates a bid window as it opens, and the desktop activates another when one
    // closes.
    bool m_touched = false;
    quint64 m_loadSerial = 0;
};

} // namespace th
