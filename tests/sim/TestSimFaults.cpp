// Faults on demand and the raw request log, seen from a client on a loopback socket.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimeZone>

#include "SimClient.h"
#include "sim/Simulator.h"

using namespace th::sim;
using namespace th::test;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(17, 0), QTimeZone::utc());

QByteArray itemRequest(qint64 number)
{
    return engineRequest("/ws/eBayISAPI.dll", "?ViewItem&item=" + QByteArray::number(number));
}

Fault fault(Fault::Mode mode)
{
    Fault result;
    result.mode = mode;
    return result;
}

} // namespace

class TestSimFaults final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void logHoldsTheExactBytesSent();
    void logKeepsARequestSentInPieces();
    void latencyDelaysTheAnswer();
    void emptyAnswerClosesWithoutAByte();
    void neverClosingKeepsTheConnectionAfterThePage();
    void silentReadsTheRequestAndSendsNothing();
    void slowDripSendsTheSamePageInPieces();
    void oversizeAnswerIsPaddedToTheSize();
    void refusalForOneItemDropsOnlyItsRequests();
    void refusalForAllDropsEveryConnection();
    void stoppedSiteRefusesConnectionsUntilResumed();
    void countedFaultClearsItself();
    void itemFaultComesBeforeTheFaultForAll();

private:
    QByteArray normalPage(qint64 number);

    std::unique_ptr<Simulator> m_sim;
};

void TestSimFaults::init()
{
    m_sim = std::make_unique<Simulator>();
    m_sim->clock().setNow(kNow);
    QVERIFY(m_sim->start());
    for (qint64 number : { 5000001LL, 5000002LL }) {
        Listing listing;
        listing.number = number;
        listing.title = QStringLiteral("Item %1").arg(number);
        listing.endTime = kNow.addSecs(3600);
        QVERIFY(m_sim->addItem(listing));
    }
}

void TestSimFaults::cleanup()
{
    m_sim.reset();
}

QByteArray TestSimFaults::normalPage(qint64 number)
{
    const Exchange answer = exchange(m_sim->sitePort(), itemRequest(number));
    return answer.response;
}

void TestSimFaults::logHoldsTheExactBytesSent()
{
    const QByteArray request = itemRequest(123);
    QVERIFY(request.endsWith("Connection: Keep-Alive\r\n\r\n?ViewItem&item=123"));
    QVERIFY(exchange(m_sim->sitePort(), request).closedByServer);
    exchange(m_sim->sitePort(), plainGet("/sim/state"));
    const QList<LoggedRequest> log = m_sim->requestLog().entries();
    // The control request is not the program's and stays out of the log.
    QCOMPARE(log.size(), 1);
    QCOMPARE(log.first().raw, request);
    QCOMPARE(log.first().method, QByteArray("GET"));
    QCOMPARE(log.first().target, QByteArray("/ws/eBayISAPI.dll?ViewItem&item=123"));
    QCOMPARE(log.first().connectedAt, kNow);
    QVERIFY(!log.first().refused);
}

void TestSimFaults::logKeepsARequestSentInPieces()
{
    const QByteArray request = itemRequest(5000001);
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_sim->sitePort());
    QVERIFY(socket.waitForConnected(5000));
    QByteArray received;
    connect(&socket, &QTcpSocket::readyRead, &socket, [&] { received += socket.readAll(); });
    const qsizetype cut = request.indexOf("Content-Length");
    socket.write(request.left(cut));
    QTRY_COMPARE(m_sim->requestLog().entries().value(0).raw, request.left(cut));
    // Nothing is answered before the announced body has arrived.
    QVERIFY(received.isEmpty());
    socket.write(request.mid(cut, request.size() - cut - 5));
    QTRY_COMPARE(m_sim->requestLog().entries().value(0).raw.size(), request.size() - 5);
    QVERIFY(received.isEmpty());
    socket.write(request.right(5));
    QTRY_VERIFY(received.endsWith("</html>\r\n"));
    QCOMPARE(m_sim->requestLog().entries().value(0).raw, request);
}

void TestSimFaults::latencyDelaysTheAnswer()
{
    Fault slow;
    slow.latencyMs = 300;
    m_sim->setItemFault(5000001, slow);
    QElapsedTimer timer;
    timer.start();
    const Exchange answer = exchange(m_sim->sitePort(), itemRequest(5000001));
    QVERIFY(timer.elapsed() >= 300);
    QVERIFY(answer.closedByServer);
    QVERIFY(answer.response.startsWith("HTTP/1.1 200 OK"));
}

void TestSimFaults::emptyAnswerClosesWithoutAByte()
{
    m_sim->setItemFault(5000001, fault(Fault::Mode::Empty));
    const Exchange answer = exchange(m_sim->sitePort(), itemRequest(5000001));
    QVERIFY(answer.connected);
    QVERIFY(answer.closedByServer);
    QVERIFY(answer.response.isEmpty());
    // The request was read whole before the close.
    QCOMPARE(m_sim->requestLog().entries().last().raw, itemRequest(5000001));
}

void TestSimFaults::neverClosingKeepsTheConnectionAfterThePage()
{
    const QByteArray page = normalPage(5000001);
    m_sim->setItemFault(5000001, fault(Fault::Mode::NeverClose));
    QTcpSocket socket;
    QByteArray received;
    connect(&socket, &QTcpSocket::readyRead, &socket, [&] { received += socket.readAll(); });
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_sim->sitePort());
    QVERIFY(socket.waitForConnected(5000));
    socket.write(itemRequest(5000001));
    QTRY_VERIFY(received.endsWith("</html>\r\n"));
    QCOMPARE(bodyOf(received), bodyOf(page));
    // The simulator wrote the page and did not start a close: its side is still connected.
    QCOMPARE(m_sim->openSiteConnections(), 1);
    QCOMPARE(closed.count(), 0);
    m_sim->abortSiteConnections();
    QTRY_COMPARE(closed.count(), 1);
}

void TestSimFaults::silentReadsTheRequestAndSendsNothing()
{
    m_sim->setFaultForAll(fault(Fault::Mode::Silent));
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_sim->sitePort());
    QVERIFY(socket.waitForConnected(5000));
    socket.write(itemRequest(5000002));
    QTRY_COMPARE(m_sim->requestLog().entries().value(0).raw, itemRequest(5000002));
    QCOMPARE(m_sim->openSiteConnections(), 1);
    QCOMPARE(socket.bytesAvailable(), 0);
    QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
}

void TestSimFaults::slowDripSendsTheSamePageInPieces()
{
    const QByteArray page = normalPage(5000001);
    Fault drip = fault(Fault::Mode::Drip);
    drip.dripBytes = 4096;
    drip.dripIntervalMs = 1;
    m_sim->setItemFault(5000001, drip);
    const Exchange answer = exchange(m_sim->sitePort(), itemRequest(5000001));
    QVERIFY(answer.closedByServer);
    QCOMPARE(bodyOf(answer.response), bodyOf(page));
    QVERIFY(answer.reads >= answer.response.size() / 4096 / 2);
    QVERIFY(answer.reads > 1);
}

void TestSimFaults::oversizeAnswerIsPaddedToTheSize()
{
    const QByteArray page = normalPage(5000001);
    m_sim->setItemFault(5000001, fault(Fault::Mode::Oversize));
    const Exchange answer = exchange(m_sim->sitePort(), itemRequest(5000001));
    QVERIFY(answer.closedByServer);
    QCOMPARE(answer.response.size(), 6 * 1024 * 1024);
    QVERIFY(answer.response.startsWith(page.left(page.indexOf("\r\nDate:"))));
    QCOMPARE(answer.response.mid(answer.response.indexOf("\r\n\r\n")).left(bodyOf(page).size() + 4),
        page.mid(page.indexOf("\r\n\r\n")));
    // The padding adds none of the words a page reader looks for.
    const QByteArray padding = answer.response.mid(page.size()).toLower();
    QVERIFY(!padding.contains("ends") && !padding.contains("not found") && !padding.contains("<b>"));
}

void TestSimFaults::refusalForOneItemDropsOnlyItsRequests()
{
    m_sim->setItemFault(5000001, fault(Fault::Mode::Refuse));
    const Exchange refused = exchange(m_sim->sitePort(), itemRequest(5000001));
    QVERIFY(refused.connected);
    QVERIFY(refused.closedByServer);
    QVERIFY(refused.response.isEmpty());
    QVERIFY(m_sim->requestLog().entries().last().refused);
    QVERIFY(exchange(m_sim->sitePort(), itemRequest(5000002)).response.startsWith("HTTP/1.1 200 OK"));
}

void TestSimFaults::refusalForAllDropsEveryConnection()
{
    m_sim->setFaultForAll(fault(Fault::Mode::Refuse));
    const Exchange refused = exchange(m_sim->sitePort(), itemRequest(5000002));
    QVERIFY(refused.closedByServer);
    QVERIFY(refused.response.isEmpty());
    QVERIFY(m_sim->requestLog().entries().last().refused);
    QVERIFY(m_sim->requestLog().entries().last().raw.isEmpty());
    m_sim->clearFaults();
    QVERIFY(exchange(m_sim->sitePort(), itemRequest(5000002)).response.startsWith("HTTP/1.1 200 OK"));
}

void TestSimFaults::stoppedSiteRefusesConnectionsUntilResumed()
{
    const quint16 port = m_sim->sitePort();
    QVERIFY(m_sim->setSiteListening(false));
    QVERIFY(!m_sim->isSiteListening());
    const Exchange refused = exchange(port, itemRequest(5000001));
    QVERIFY(refused.refused);
    QVERIFY(!refused.connected);
    QVERIFY(m_sim->setSiteListening(true));
    QCOMPARE(m_sim->sitePort(), port);
    QVERIFY(exchange(port, itemRequest(5000001)).response.startsWith("HTTP/1.1 200 OK"));
}

void TestSimFaults::countedFaultClearsItself()
{
    Fault once = fault(Fault::Mode::Empty);
    once.count = 2;
    m_sim->setItemFault(5000001, once);
    QVERIFY(exchange(m_sim->sitePort(), itemRequest(5000001)).response.isEmpty());
    QVERIFY(exchange(m_sim->sitePort(), itemRequest(5000001)).response.isEmpty());
    QVERIFY(m_sim->faults().perItem().isEmpty());
    QVERIFY(exchange(m_sim->sitePort(), itemRequest(5000001)).response.startsWith("HTTP/1.1 200 OK"));
}

void TestSimFaults::itemFaultComesBeforeTheFaultForAll()
{
    m_sim->setFaultForAll(fault(Fault::Mode::Empty));
    m_sim->setItemFault(5000001, fault(Fault::Mode::None));
    QVERIFY(exchange(m_sim->sitePort(), itemRequest(5000001)).response.startsWith("HTTP/1.1 200 OK"));
    QVERIFY(exchange(m_sim->sitePort(), itemRequest(5000002)).response.isEmpty());
    // Requests about no item at all fall under the fault for all too.
    QVERIFY(exchange(m_sim->sitePort(), plainGet("/")).response.isEmpty());
    // The control interface never does.
    QVERIFY(exchange(m_sim->sitePort(), plainGet("/sim/state")).response.startsWith("HTTP/1.1 200 OK"));
}

QTEST_GUILESS_MAIN(TestSimFaults)
#include "TestSimFaults.moc"
