#include "browser/WebEngineBrowserSession.h"

#include "browser/BrowserLog.h"

#include <QApplication>
#include <QEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWindow>

namespace th {

namespace {

// Reads every form's element names in document order and the address it posts to, with the
// page's title and visible text. The form's own properties are read through the prototype,
// because a field named "action" or "elements" would hide them.
constexpr const char kReadForms[] = R"JS(
(function () {
  var proto = HTMLFormElement.prototype;
  var actionOf = Object.getOwnPropertyDescriptor(proto, "action").get;
  var elementsOf = Object.getOwnPropertyDescriptor(proto, "elements").get;
  var forms = [];
  for (var f = 0; f < document.forms.length; ++f) {
    var names = [];
    var elements = elementsOf.call(document.forms[f]);
    for (var e = 0; e < elements.length; ++e)
      names.push(elements[e].name || "");
    forms.push({ action: actionOf.call(document.forms[f]), names: names });
  }
  var text = document.body ? document.body.innerText : "";
  return { forms: forms, title: document.title, text: text.substring(0, 65536) };
})()
)JS";

QString jsString(const QString &text)
{
    // A JSON string literal is a valid JavaScript string literal.
    const QByteArray quoted = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(quoted.mid(1, quoted.size() - 2));
}

// Brings a window to the front once the desktop has put it on the screen: asked before, the
// desktop may ignore the request for a window it has not placed yet and leave it behind.
class FrontOnceExposed final : public QObject {
public:
    explicit FrontOnceExposed(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && m_window->windowHandle()
            && m_window->windowHandle()->isExposed()) {
            m_window->raise();
            m_window->activateWindow();
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

WebEngineBrowserSession::WebEngineBrowserSession(QWebEngineView *view, QObject *parent)
    : IBrowserSession(parent)
    , m_view(view)
{
    connect(m_view, &QWebEngineView::loadStarted, this, [this] {
        ++m_loadSerial;
        clearDocument();
    });
    // The loading state tells a page that never arrived from one that did (even with an error
    // status, which is a document to read); a plain finished flag cannot.
    connect(m_view->page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            return;
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus
            && info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain) {
            onLoadFailed(info.url(), info.errorString());
            return;
        }
        onLoadFinished(info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
    });
    connect(m_view, &QObject::destroyed, this, [this] {
        if (!m_released)
            Q_EMIT windowClosed();
    });
    // The page's input goes to the web view's inner widgets, created as pages load: watching
    // the application's input events is the one place that sees them all. Only until the first
    // touch, and never for a page that is not shown.
    qApp->installEventFilter(this);
}

bool WebEngineBrowserSession::isInView(QObject *watched) const
{
    if (!m_view)
        return false;
    if (watched == m_view)
        return true;
    const auto *widget = qobject_cast<QWidget *>(watched);
    return widget && m_view->isAncestorOf(widget);
}

bool WebEngineBrowserSession::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
        if (isInView(watched))
            m_touched = true;
        break;
    default:
        break;
    }
    if (m_touched)
        qApp->removeEventFilter(this);
    return false;
}

void WebEngineBrowserSession::clearDocument()
{
    m_forms.clear();
    m_actions.clear();
    m_title.clear();
    m_text.clear();
}

WebEngineBrowserSession::~WebEngineBrowserSession() = default;

void WebEngineBrowserSession::navigate(const QUrl &url)
{
    if (m_view && !m_released)
        m_view->load(url);
}

void WebEngineBrowserSession::show()
{
    if (!m_view)
        return;
    m_view->setAttribute(Qt::WA_ShowWithoutActivating, false);
    const bool placed = m_view->isVisible();
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
    if (!placed && m_view->windowHandle())
        m_view->windowHandle()->installEventFilter(new FrontOnceExposed(m_view));
}

void WebEngineBrowserSession::showWithoutFocus()
{
    if (!m_view)
        return;
    m_view->setAttribute(Qt::WA_ShowWithoutActivating);
    m_view->show();
}

void WebEngineBrowserSession::release()
{
    m_released = true;
    if (m_view) {
        disconnect(m_view, nullptr, this, nullptr);
        disconnect(m_view->page(), nullptr, this, nullptr);
    }
    clearDocument();
}

void WebEngineBrowserSession::close()
{
    release();
    qApp->removeEventFilter(this);
    if (m_view)
        m_view->close();
}

void WebEngineBrowserSession::onLoadFinished(bool ok)
{
    if (!m_view || m_released)
        return;
    const QUrl url = m_view->url();
    if (!ok)
        qCDebug(lcBrowser) << "page did not load completely";
    const quint64 serial = m_loadSerial;
    QPointer<WebEngineBrowserSession> self(this);
    m_view->page()->runJavaScript(
        QString::fromLatin1(kReadForms), [self, url, serial](const QVariant &result) {
            if (!self || self->m_released || serial != self->m_loadSerial)
                return;
            self->clearDocument();
            const QVariantMap document = result.toMap();
            const QVariantList forms = document.value(QStringLiteral("forms")).toList();
            for (const QVariant &form : forms) {
                const QVariantMap fields = form.toMap();
                self->m_forms.append(fields.value(QStringLiteral("names")).toStringList());
                self->m_actions.append(QUrl(fields.value(QStringLiteral("action")).toString()));
            }
            self->m_title = document.value(QStringLiteral("title")).toString();
            self->m_text = document.value(QStringLiteral("text")).toString();
            Q_EMIT self->documentComplete(url, true);
        });
}

void WebEngineBrowserSession::onLoadFailed(const QUrl &url, const QString &reason)
{
    if (!m_view || m_released)
        return;
    qCDebug(lcBrowser) << "page did not load:" << reason;
    Q_EMIT loadFailed(url, reason.isEmpty() ? QStringLiteral("the page did not load") : reason);
}

int WebEngineBrowserSession::formCount() const
{
    return int(m_forms.size());
}

int WebEngineBrowserSession::elementCount(int form) const
{
    if (form < 0 || form >= m_forms.size())
        return -1;
    return int(m_forms[form].size());
}

QString WebEngineBrowserSession::elementName(int form, int element) const
{
    if (!hasElement(form, element))
        return {};
    return m_forms[form][element];
}

bool WebEngineBrowserSession::hasElement(int form, int element) const
{
    return form >= 0 && form < m_forms.size() && element >= 0 && element < m_forms[form].size();
}

bool WebEngineBrowserSession::setElementValue(int form, int element, const QString &value)
{
    if (!m_view || !hasElement(form, element))
        return false;
    m_view->page()->runJavaScript(QStringLiteral("document.forms[%1].elements[%2].value = %3;")
                                      .arg(form)
                                      .arg(element)
                                      .arg(jsString(value)));
    return true;
}

bool WebEngineBrowserSession::submitForm(int form)
{
    if (!m_view || form < 0 || form >= m_forms.size())
        return false;
    // The prototype's submit, because a field named "submit" hides the form's own.
    m_view->page()->runJavaScript(
        QStringLiteral("HTMLFormElement.prototype.submit.call(document.forms[%1]);").arg(form));
    return true;
}

QUrl WebEngineBrowserSession::formAction(int form) const
{
    return form >= 0 && form < m_actions.size() ? m_actions[form] : QUrl();
}

QString WebEngineBrowserSession::documentTitle() const
{
    return m_title;
}

QString WebEngineBrowserSession::documentText() const
{
    return m_text;
}

} // namespace th
