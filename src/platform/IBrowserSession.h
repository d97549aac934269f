#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

namespace th {

// One browser window driven by the program through its pages' forms. The window belongs
// to the user: releasing the session stops driving it and leaves it open.
//
// When a top-level page has finished loading, the session reads the structure of its forms
// and only then announces documentComplete, so that the handler can walk forms and
// elements without waiting. Values set and forms submitted are applied to the page in the
// order they were asked for.
class IBrowserSession : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void navigate(const QUrl &url) = 0;
    // Shows the window and brings it to the front with the focus: a window the user asked for.
    virtual void show() = 0;
    // Shows the window without taking the focus from what the user is doing: a window the
    // program opens by itself.
    virtual void showWithoutFocus() = 0;
    // Stops driving the window; no more documentComplete. The window stays open.
    virtual void release() = 0;
    // Closes the window for good, as the program's own doing: no windowClosed follows. Nothing
    // happens when the window is already gone.
    virtual void close() = 0;
    // The user has clicked, typed or scrolled in the window since it was opened: the window is
    // being looked at and must stay. Still known after release().
    virtual bool userTouched() const = 0;

    // The forms of the last completed document, counting from 0; -1 element count for a
    // form that does not exist.
    virtual int formCount() const = 0;
    virtual int elementCount(int form) const = 0;
    // Empty for an element without a name or an element that does not exist.
    virtual QString elementName(int form, int element) const = 0;
    // False when the form or element does not exist.
    virtual bool setElementValue(int form, int element, const QString &value) = 0;
    virtual bool submitForm(int form) = 0;
    // The absolute address `form` posts to (the document's own address when the form names
    // none); empty for a form that does not exist.
    virtual QUrl formAction(int form) const = 0;
    // The title and the visible text of the last completed document, to read the site's
    // answer from.
    virtual QString documentTitle() const = 0;
    virtual QString documentText() const = 0;

Q_SIGNALS:
    // A document finished loading; `topLevel` is false for a frame's document.
    void documentComplete(const QUrl &url, bool topLevel);
    // The top-level page could not be loaded at all (no connection, no such host); `reason`
    // says why in the browser's words. No documentComplete follows for that page.
    void loadFailed(const QUrl &url, const QString &reason);
    // The user closed the window while the session still drove it.
    void windowClosed();
};

} // namespace th
