#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace th::sim {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// One request as the simulator read it off the wire.
struct HttpRequest {
    QByteArray method;
    QByteArray target;
    QByteArray version;
    HeaderList headers;
    QByteArray body;

    // The value of the first header with that name (any capitals), trimmed.
    QByteArray header(const QByteArray &name) const;
    // The target up to its "?", and what follows it (without the "?").
    QByteArray path() const;
    QByteArray query() const;
};

// Reads a request as its bytes arrive: the request line, the headers up to the empty line,
// then as many body bytes as Content-Length announces. Bytes after that are not part of it.
class HttpRequestReader final {
public:
    enum class State { Incomplete, Complete, Invalid };

    void append(const QByteArray &bytes);
    State state() const { return m_state; }
    // The request line as soon as it has arrived (without its line end); empty before.
    QByteArray requestLine() const { return m_requestLine; }
    const HttpRequest &request() const { return m_request; }

    // The largest header block and body taken.
    static constexpr int kMaxHeaderBytes = 64 * 1024;
    static constexpr qint64 kMaxBodyBytes = 1024 * 1024;

private:
    void parseHead(const QByteArray &head);

    QByteArray m_buffer;
    QByteArray m_requestLine;
    HttpRequest m_request;
    State m_state = State::Incomplete;
    bool m_headDone = false;
    qint64 m_bodyLength = 0;
};

// An answer in the manner of the servers of the time: status line, headers, body, and the
// end of the body marked by closing the connection.
struct HttpResponse {
    int status = 200;
    QByteArray reason = "OK";
    QByteArray contentType = "text/html";
    HeaderList extraHeaders;
    QByteArray body;
    // Answers of the control interface carry their length; pages do not, as the site's did.
    bool withContentLength = false;
    // A server that keeps the connection open says so, and then must announce the length:
    // with a Content-Length (withContentLength) or as a chunked body.
    bool keepAlive = false;
    bool chunked = false;
    // The size of every chunk of a chunked body (0: a few uneven sizes).
    qsizetype chunkBytes = 0;

    QByteArray serialize(const QDateTime &date) const;

    static HttpResponse html(const QString &page, int status = 200, const QByteArray &reason = "OK");
};

// "Tue, 03 Mar 2026 17:00:00 GMT".
QByteArray httpDate(const QDateTime &instant);

// The fields of a query string or a form body, in order. A field without "=" (the command
// word of "?ViewItem&item=5") has an empty value. "+" is a blank, %XX a byte (Latin-1).
class FormFields final {
public:
    FormFields() = default;
    explicit FormFields(const QByteArray &encoded);

    void add(const FormFields &other);
    bool contains(const QString &name) const;
    // The first value of the name (names compared without regard to capitals).
    QString value(const QString &name) const;
    // The first field that has no "=" at all, such as "ViewItem".
    QString command() const;
    const QList<QPair<QString, QString>> &fields() const { return m_fields; }

private:
    QList<QPair<QString, QString>> m_fields;
    QString m_command;
};

// Percent-decoding with "+" as blank, each decoded byte one Latin-1 character.
QString decodeFormText(const QByteArray &text);
// Percent-encoding of a user id or search word for an address on the pages.
QString encodeFormText(const QString &text);

} // namespace th::sim
