#include "engine/HttpAnswer.h"

#include <optional>

#include <QList>

namespace th {

namespace {

constexpr int kNotHttp = 313;
constexpr int kCutOff = 314;

struct Head {
    qsizetype bodyStart = -1;
    std::optional<qsizetype> contentLength;
    bool chunked = false;
};

// The position of the body and what the headers announce; bodyStart stays -1 while the
// headers have not all arrived.
Head readHead(QByteArrayView answer)
{
    Head head;
    qsizetype end = answer.indexOf("\r\n\r\n");
    qsizetype separator = 4;
    if (end < 0) {
        end = answer.indexOf("\n\n");
        separator = 2;
    }
    if (end < 0)
        return head;
    head.bodyStart = end + separator;
    const QByteArray headers = answer.first(end).toByteArray().toLower();
    for (const QByteArray &line : headers.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.first(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            bool ok = false;
            const qsizetype length = value.toLongLong(&ok);
            if (ok && length >= 0)
                head.contentLength = length;
        } else if (name == "transfer-encoding" && value.contains("chunked")) {
            head.chunked = true;
        }
    }
    return head;
}

// Walks a chunked body: joins the chunks into `joined` (when given) and tells whether the
// last chunk and the end of its trailers have arrived.
bool walkChunks(QByteArrayView body, QByteArray *joined)
{
    qsizetype at = 0;
    while (at < body.size()) {
        const qsizetype lineEnd = body.indexOf("\r\n", at);
        if (lineEnd < 0)
            return false;
        QByteArrayView sizeText = body.sliced(at, lineEnd - at);
        if (const qsizetype semicolon = sizeText.indexOf(';'); semicolon >= 0)
            sizeText = sizeText.first(semicolon);
        bool ok = false;
        const qsizetype size = sizeText.trimmed().toByteArray().toLongLong(&ok, 16);
        if (!ok || size < 0)
            return false;
        if (size == 0) {
            // The trailers end with an empty line; usually there are none.
            return body.indexOf("\r\n\r\n", lineEnd) >= 0;
        }
        const qsizetype data = lineEnd + 2;
        if (joined)
            joined->append(body.sliced(data, std::min(size, body.size() - data)));
        at = data + size + 2;
    }
    return false;
}

} // namespace

bool httpAnswerComplete(QByteArrayView answer)
{
    const Head head = readHead(answer);
    if (head.bodyStart < 0)
        return false;
    const QByteArrayView body = answer.sliced(head.bodyStart);
    if (head.chunked)
        return walkChunks(body, nullptr);
    return head.contentLength && body.size() >= *head.contentLength;
}

Result<QByteArray> httpAnswerBody(QByteArrayView answer)
{
    if (!answer.startsWith("HTTP/"))
        return makeError(kNotHttp, QStringLiteral("The server's answer is not a web page"));
    const Head head = readHead(answer);
    if (head.bodyStart < 0)
        return makeError(kCutOff, QStringLiteral("The server's answer was cut off"));
    const QByteArrayView body = answer.sliced(head.bodyStart);
    if (!head.chunked)
        return body.toByteArray();
    QByteArray joined;
    walkChunks(body, &joined);
    return joined;
}

bool httpErrorStatus(QByteArrayView answer)
{
    // "HTTP/1.1 503 Service Unavailable"
    if (!answer.startsWith("HTTP/"))
        return false;
    const qsizetype blank = answer.indexOf(' ');
    if (blank < 0 || answer.size() < blank + 4)
        return false;
    const char first = answer[blank + 1];
    return first == '4' || first == '5';
}

} // namespace th
