#include "sim/HttpMessage.h"

#include <algorithm>

#include <QLocale>
#include <QTimeZone>

namespace th::sim {

QByteArray HttpRequest::header(const QByteArray &name) const
{
    for (const auto &entry : headers) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
            return entry.second.trimmed();
    }
    return QByteArray();
}

QByteArray HttpRequest::path() const
{
    const int mark = target.indexOf('?');
    return mark < 0 ? target : target.left(mark);
}

QByteArray HttpRequest::query() const
{
    const int mark = target.indexOf('?');
    return mark < 0 ? QByteArray() : target.mid(mark + 1);
}

void HttpRequestReader::append(const QByteArray &bytes)
{
    if (m_state != State::Incomplete)
        return;
    m_buffer.append(bytes);
    if (m_requestLine.isEmpty()) {
        const int lineEnd = m_buffer.indexOf('\n');
        if (lineEnd >= 0)
            m_requestLine = m_buffer.left(lineEnd).trimmed();
    }
    if (!m_headDone) {
        int headEnd = m_buffer.indexOf("\r\n\r\n");
        int separator = 4;
        const int bareEnd = m_buffer.indexOf("\n\n");
        if (bareEnd >= 0 && (headEnd < 0 || bareEnd < headEnd)) {
            headEnd = bareEnd;
            separator = 2;
        }
        if (headEnd < 0) {
            if (m_buffer.size() > kMaxHeaderBytes)
                m_state = State::Invalid;
            return;
        }
        parseHead(m_buffer.left(headEnd));
        m_buffer.remove(0, headEnd + separator);
        m_headDone = true;
        if (m_state == State::Invalid)
            return;
    }
    if (m_buffer.size() >= m_bodyLength) {
        m_request.body = m_buffer.left(m_bodyLength);
        m_buffer.clear();
        m_state = State::Complete;
    }
}

void HttpRequestReader::parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> parts = lines.value(0).trimmed().split(' ');
    if (parts.size() != 3 || parts.at(0).isEmpty() || !parts.at(1).startsWith('/')
        || !parts.at(2).startsWith("HTTP/")) {
        m_state = State::Invalid;
        return;
    }
    m_request.method = parts.at(0);
    m_request.target = parts.at(1);
    m_request.version = parts.at(2);
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i);
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        m_request.headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
    }
    const QByteArray length = m_request.header("Content-Length");
    if (!length.isEmpty()) {
        bool ok = false;
        m_bodyLength = length.toLongLong(&ok);
        if (!ok || m_bodyLength < 0 || m_bodyLength > kMaxBodyBytes)
            m_state = State::Invalid;
    }
}

QByteArray HttpResponse::serialize(const QDateTime &date) const
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    text += "Server: tallyhawk-sim\r\n";
    text += "Date: " + httpDate(date) + "\r\n";
    text += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    if (!contentType.isEmpty())
        text += "Content-Type: " + contentType + "\r\n";
    for (const auto &header : extraHeaders)
        text += header.first + ": " + header.second + "\r\n";
    if (chunked) {
        text += "Transfer-Encoding: chunked\r\n\r\n";
        // Chunks of uneven sizes, so that a reader cannot get by on one.
        constexpr qsizetype kChunkSizes[] = { 1000, 4096, 333 };
        qsizetype at = 0;
        for (int i = 0; at < body.size(); ++i) {
            const qsizetype size
                = std::min(chunkBytes > 0 ? chunkBytes : kChunkSizes[i % 3], body.size() - at);
            text += QByteArray::number(size, 16) + "\r\n" + body.mid(at, size) + "\r\n";
            at += size;
        }
        text += "0\r\n\r\n";
        return text;
    }
    if (withContentLength)
        text += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    text += "\r\n";
    text += body;
    return text;
}

HttpResponse HttpResponse::html(const QString &page, int status, const QByteArray &reason)
{
    HttpResponse response;
    response.status = status;
    response.reason = reason;
    response.body = page.toLatin1();
    return response;
}

QByteArray httpDate(const QDateTime &instant)
{
    return QLocale::c().toString(instant.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss")).toLatin1()
        + " GMT";
}

FormFields::FormFields(const QByteArray &encoded)
{
    for (const QByteArray &part : encoded.split('&')) {
        if (part.isEmpty())
            continue;
        const int equals = part.indexOf('=');
        if (equals < 0) {
            const QString word = decodeFormText(part);
            if (m_command.isEmpty())
                m_command = word;
            m_fields.append({ word, QString() });
        } else {
            m_fields.append({ decodeFormText(part.left(equals)), decodeFormText(part.mid(equals + 1)) });
        }
    }
}

void FormFields::add(const FormFields &other)
{
    m_fields.append(other.m_fields);
    if (m_command.isEmpty())
        m_command = other.m_command;
}

bool FormFields::contains(const QString &name) const
{
    for (const auto &field : m_fields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString FormFields::value(const QString &name) const
{
    for (const auto &field : m_fields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return QString();
}

QString FormFields::command() const
{
    return m_command;
}

QString decodeFormText(const QByteArray &text)
{
    QByteArray plus = text;
    plus.replace('+', ' ');
    return QString::fromLatin1(QByteArray::fromPercentEncoding(plus));
}

QString encodeFormText(const QString &text)
{
    return QString::fromLatin1(text.toLatin1().toPercentEncoding());
}

} // namespace th::sim
