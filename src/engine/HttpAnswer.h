#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include "common/Result.h"

namespace th {

// Reading a raw HTTP answer as it arrives: the engines hand the whole answer to the page
// reader, but they must know when it is complete on a connection the server keeps open, and
// the single-item update wants the body alone.

// True when the answer's headers announce how long it is (a Content-Length, or a chunked
// body) and all of it has arrived. An answer that announces nothing is complete only when the
// server closes the connection, and this says false.
bool httpAnswerComplete(QByteArrayView answer);

// The body of an answer: status line and headers removed, a chunked body joined. An answer
// that is not HTTP, or that was cut off before the end of its headers, is an error.
Result<QByteArray> httpAnswerBody(QByteArrayView answer);

// True when the answer's status line says that the server failed or refused the request
// (4xx, 5xx): its text is the server's complaint, not the page asked for.
bool httpErrorStatus(QByteArrayView answer);

} // namespace th
