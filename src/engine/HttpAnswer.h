#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "common/Result.h"

namespace th {

// Reading a raw HTTP answer as it arrives: the engines hand the whole answer to the page
// reader, but they must know when it is complete on a connection the server keeps open, and
// the single-item update wants the body alone.

enum class AnswerState {
    // More may come; only a close by the server ends such an answer.
    Incomplete,
    // All the headers announce (a Content-Length, or a chunked body's last chunk) is here.
    Complete,
    // The chunked framing is broken (a size that is not a number, a chunk that cannot fit in
    // a receive buffer, data not followed by its line end): waiting longer cannot mend it.
    Malformed,
};

AnswerState httpAnswerState(QByteArrayView answer);

// True when the answer's headers announce how long it is (a Content-Length, or a chunked
// body) and all of it has arrived. An answer that announces nothing is complete only when the
// server closes the connection, and this says false.
bool httpAnswerComplete(QByteArrayView answer);

// The body of an answer: status line and headers removed, a chunked body joined. An answer
// that is not HTTP, or that was cut off before the end of its headers, is an error.
Result<QByteArray> httpAnswerBody(QByteArrayView answer);

// The answer as the page reader takes it: the status line and headers as received, then the
// body with a chunked body joined, so that the reader's positions never count chunk lines.
// An answer that is not chunked comes back unchanged.
QByteArray httpAnswerJoined(QByteArrayView answer);

// The status code of the answer's status line ("HTTP/1.1 503 ..." gives 503); 0 when the
// answer does not start with one.
int httpStatus(QByteArrayView answer);

// True when the answer's status line says that the server failed or refused the request
// (4xx, 5xx): its text is the server's complaint, not the page asked for.
bool httpErrorStatus(QByteArrayView answer);

// True when the server says that it failed (5xx): nothing of the item can be read from it.
inline bool httpServerFailed(QByteArrayView answer)
{
    const int status = httpStatus(answer);
    return status >= 500 && status <= 599;
}

// What keeps an item page from being read out of an answer as it arrived (`raw`) and as the
// page reader takes it (`joined`): "site sent an empty answer", "site answered 503", "site
// sent an unreadable answer"; empty when nothing does.
QString answerFault(QByteArrayView raw, QByteArrayView joined);

} // namespace th
