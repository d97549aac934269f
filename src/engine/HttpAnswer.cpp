#include "engine/HttpAnswer.h"

#include <optional>

#include <QList>

#include "engine/EngineRequest.h"

namespace th {

namespace {

constexpr int kNotHttp = 313;
constexpr int kCutOff = 314;
// A chunk's size line is a few hex digits and perhaps an extension, never kilobytes.
constexpr qsizetype kLongestChunkLine = 1024;

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

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The size on a chunk's line ("1a3", "1a3;name=value"), or nothing when it is not a hex
// number or is larger than a receive buffer can ever hold: such a chunk cannot end.
std::optional<qsizetype> chunkSize(QByteArrayView line)
{
    if (const qsizetype semicolon = line.indexOf(';'); semicolon >= 0)
        line = line.first(semicolon);
    line = line.trimmed();
    if (line.isEmpty())
        return std::nullopt;
    qsizetype size = 0;
    for (const char c : line) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        // Checked before every digit, so the value never grows past the cap.
        size = size * 16 + digit;
        if (size > kMaxResponseBytes)
            return std::nullopt;
    }
    return size;
}

// Walks a chunked body: joins the chunks into `joined` (when given) and tells whether the
// last chunk and the end of its trailers have arrived.
AnswerState walkChunks(QByteArrayView body, QByteArray *joined)
{
    qsizetype at = 0;
    while (at < body.size()) {
        const qsizetype lineEnd = body.indexOf("\r\n", at);
        if (lineEnd < 0)
            return body.size() - at > kLongestChunkLine ? AnswerState::Malformed : AnswerState::Incomplete;
        const std::optional<qsizetype> size = chunkSize(body.sliced(at, lineEnd - at));
        if (!size)
            return AnswerState::Malformed;
        if (*size == 0) {
            // The trailers end with an empty line; usually there are none.
            return body.indexOf("\r\n\r\n", lineEnd) >= 0 ? AnswerState::Complete : AnswerState::Incomplete;
        }
        const qsizetype data = lineEnd + 2;
        const qsizetype here = std::min(*size, body.size() - data);
        if (joined)
            joined->append(body.sliced(data, here));
        if (here < *size)
            return AnswerState::Incomplete;
        const QByteArrayView after
            = body.sliced(data + *size).first(std::min<qsizetype>(2, body.size() - data - *size));
        if (!QByteArrayView("\r\n").startsWith(after))
            return AnswerState::Malformed;
        at = data + *size + 2;
    }
    return AnswerState::Incomplete;
}

} // namespace

AnswerState httpAnswerState(QByteArrayView answer)
{
    const Head head = readHead(answer);
    if (head.bodyStart < 0)
        return AnswerState::Incomplete;
    const QByteArrayView body = answer.sliced(head.bodyStart);
    if (head.chunked)
        return walkChunks(body, nullptr);
    return head.contentLength && body.size() >= *head.contentLength ? AnswerState::Complete
                                                                    : AnswerState::Incomplete;
}

bool httpAnswerComplete(QByteArrayView answer)
{
    return httpAnswerState(answer) == AnswerState::Complete;
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

QByteArray httpAnswerJoined(QByteArrayView answer)
{
    const Head head = readHead(answer);
    if (head.bodyStart < 0 || !head.chunked)
        return answer.toByteArray();
    QByteArray joined = answer.first(head.bodyStart).toByteArray();
    walkChunks(answer.sliced(head.bodyStart), &joined);
    return joined;
}

int httpStatus(QByteArrayView answer)
{
    // "HTTP/1.1 503 Service Unavailable"
    if (!answer.startsWith("HTTP/"))
        return 0;
    const qsizetype blank = answer.indexOf(' ');
    if (blank < 0 || answer.size() < blank + 4)
        return 0;
    int status = 0;
    for (const char c : answer.sliced(blank + 1, 3)) {
        if (c < '0' || c > '9')
            return 0;
        status = status * 10 + (c - '0');
    }
    return status;
}

bool httpErrorStatus(QByteArrayView answer)
{
    const int status = httpStatus(answer);
    return status >= 400 && status <= 599;
}

QString answerFault(QByteArrayView raw, QByteArrayView joined)
{
    if (joined.isEmpty())
        return QStringLiteral("site sent an empty answer");
    if (httpServerFailed(joined))
        return QStringLiteral("site answered %1").arg(httpStatus(joined));
    if (httpAnswerState(raw) == AnswerState::Malformed)
        return QStringLiteral("site sent an unreadable answer");
    return QString();
}

} // namespace th
