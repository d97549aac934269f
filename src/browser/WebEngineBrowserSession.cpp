#include "browser/WebEngineBrowserSession.h"

#include "browser/BrowserLog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace th {

namespace {

// Reads every form's element names, in document order.
constexpr const char kReadForms[] = R"JS(
(function () {
  var result = [];
  for (var f = 0; f < document.forms.length; ++f) {
    var names = [];
    var elements = document.forms[f].elements;
    for (var e = 0; e < elements.length; ++e)
      names.push(elements[e].name || "");
    result.push(names);
  }
  return result;
})()
)JS";

QString jsString(const QString &text)
{
    // A JSON string literal is a valid JavaScript string literal.
    const QByteArray quoted = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(quoted.mid(1, quoted.size() - 2));
}

} // namespace

WebEngineBrowserSession::WebEngineBrowserSession(QWebEngineView *view, QObject *parent)
    : IBrowserSession(parent)
    , m_view(view)
{
    connect(m_view, &QWebEngineView::loadStarted, this, [this] {
        ++m_loadSerial;
        m_forms.clear();
    });
    connect(m_view, &QWebEngineView::loadFinished, this, &WebEngineBrowserSession::onLoadFinished);
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
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}

void WebEngineBrowserSession::release()
{
    m_released = true;
    if (m_view)
        disconnect(m_view, nullptr, this, nullptr);
    m_forms.clear();
}

void WebEngineBrowserSession::onLoadFinished(bool ok)
{
    if (!m_view || m_released)
        return;
    if (!ok)
        qCDebug(lcBrowser) << "page did not load completely";
    const QUrl url = m_view->url();
    const quint64 serial = m_loadSerial;
    QPointer<WebEngineBrowserSession> self(this);
    m_view->page()->runJavaScript(
        QString::fromLatin1(kReadForms), [self, url, serial](const QVariant &result) {
            if (!self || self->m_released || serial != self->m_loadSerial)
                return;
            self->m_forms.clear();
            const QVariantList forms = result.toList();
            for (const QVariant &form : forms)
                self->m_forms.append(form.toStringList());
            Q_EMIT self->documentComplete(url, true);
        });
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

} // namespace th
