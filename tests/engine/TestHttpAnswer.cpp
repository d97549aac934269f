// When an answer on a connection the server keeps open is complete, and what its body is.

#include <QTest>

#include "engine/HttpAnswer.h"

using namespace th;

class TestHttpAnswer final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void completeness_data();
    void completeness();
    void bodies_data();
    void bodies();
    void brokenChunksEndTheWait_data();
    void brokenChunksEndTheWait();
    void pageTextKeepsTheHeadersAndJoinsTheChunks();
};

namespace {
const QByteArray kHead = "HTTP/1.1 200 OK\r\nServer: x\r\n";
} // namespace

void TestHttpAnswer::completeness_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("complete");
    QTest::newRow("no length: only a close ends it") << kHead + "\r\n<html>" << false;
    QTest::newRow("headers not all here") << kHead + "Content-Length: 0\r\n" << false;
    QTest::newRow("length reached") << kHead + "Content-Length: 5\r\n\r\nabcde" << true;
    QTest::newRow("length not reached") << kHead + "Content-Length: 6\r\n\r\nabcde" << false;
    QTest::newRow("length in capitals, no blank") << kHead + "CONTENT-LENGTH:2\r\n\r\nab" << true;
    QTest::newRow("unreadable length") << kHead + "Content-Length: x\r\n\r\nab" << false;
    QTest::newRow("chunked, last chunk here")
        << kHead + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"
        << true;
    QTest::newRow("chunked, last chunk's line end missing")
        << kHead + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n"
        << false;
    QTest::newRow("chunked, cut inside a chunk")
        << kHead + "Transfer-Encoding: chunked\r\n\r\na\r\nabc" << false;
    QTest::newRow("chunked, a zero inside the data is no last chunk") << kHead
            + "Transfer-Encoding: chunked\r\n\r\n5\r\n0\r\n\r\n\r\n" << false;
    QTest::newRow("chunked with trailers")
        << kHead + "Transfer-Encoding: chunked\r\n\r\n1;x=y\r\na\r\n0\r\nExpires: 0\r\n\r\n"
        << true;
}

void TestHttpAnswer::completeness()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, complete);
    QCOMPARE(httpAnswerComplete(answer), complete);
}

void TestHttpAnswer::bodies_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("plain") << kHead + "\r\n<html>page" << true << QByteArray("<html>page");
    QTest::newRow("bare line feeds") << QByteArray("HTTP/1.0 200 OK\nX: y\n\nbody") << true
                                     << QByteArray("body");
    QTest::newRow("chunks joined") << kHead
            + "Transfer-Encoding: chunked\r\n\r\n4\r\n<htm\r\nA;ext=1\r\nl>page and\r\n0\r\n\r\n"
                                   << true << QByteArray("<html>page and");
    QTest::newRow("cut off inside the headers") << kHead + "Content-" << false << QByteArray();
    QTest::newRow("not HTTP") << QByteArray("<html>page") << false << QByteArray();
}

void TestHttpAnswer::bodies()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, ok);
    QFETCH(QByteArray, body);
    const Result<QByteArray> read = httpAnswerBody(answer);
    QCOMPARE(read.ok(), ok);
    if (ok)
        QCOMPARE(read.value(), body);
}

void TestHttpAnswer::brokenChunksEndTheWait_data()
{
    QTest::addColumn<QByteArray>("chunks");
    QTest::addColumn<AnswerState>("state");
    QTest::newRow("size not a number") << QByteArray("zz\r\nabc") << AnswerState::Malformed;
    QTest::newRow("size near 2^63") << QByteArray("7ffffffffffffff0\r\nabc") << AnswerState::Malformed;
    QTest::newRow("size beyond any receive buffer") << QByteArray("400001\r\nabc") << AnswerState::Malformed;
    QTest::newRow("data longer than its size")
        << QByteArray("2\r\nabc\r\n0\r\n\r\n") << AnswerState::Malformed;
    QTest::newRow("size line still coming") << QByteArray("1a") << AnswerState::Incomplete;
}

void TestHttpAnswer::brokenChunksEndTheWait()
{
    QFETCH(QByteArray, chunks);
    QFETCH(AnswerState, state);
    QCOMPARE(httpAnswerState(QByteArray(kHead + "Transfer-Encoding: chunked\r\n\r\n" + chunks)), state);
}

void TestHttpAnswer::pageTextKeepsTheHeadersAndJoinsTheChunks()
{
    const QByteArray head = kHead + "Transfer-Encoding: chunked\r\n\r\n";
    QCOMPARE(httpAnswerJoined(QByteArray(head + "4\r\n<b>U\r\n7\r\nS $1,25\r\n0\r\n\r\n")),
        QByteArray(head + "<b>US $1,25"));
    const QByteArray plain = kHead + "\r\n4\r\n<b>U\r\n";
    QCOMPARE(httpAnswerJoined(plain), plain);
}

QTEST_APPLESS_MAIN(TestHttpAnswer)
#include "TestHttpAnswer.moc"
