#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "TestSupport.h"
#include "browser/BrowserFactory.h"

using namespace th;
using namespace th::test;

namespace {

const char kItemPage[]
    = "<html><head><title>Item</title></head><body>"
      "<form name=search action=/search><input name=query value=''><input type=submit></form>"
      "<form name=bid action=/bid method=get>"
      "<input type=hidden name=item value=4711>"
      "<input name=maxbid value=''><input name=quant value='1'>"
      "<input type=submit name=submit value='Place bid'></form>"
      "</body></html>";

const char kDonePage[] = "<html><body><p>Bid received</p><form><input name=user></form></body></html>";

} // namespace

// The browser window really loads pages served on loopback, reports their forms and
// fills and submits them.
class TestBrowserSession final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void drivesAFormThroughARealPage();

private:
    void serve();

    QTcpServer m_server;
    QList<QByteArray> m_requests;
};

void TestBrowserSession::initTestCase()
{
    QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
    connect(&m_server, &QTcpServer::newConnection, this, &TestBrowserSession::serve);
}

void TestBrowserSession::serve()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            QByteArray request = socket->property("request").toByteArray() + socket->readAll();
            socket->setProperty("request", request);
            if (!request.contains("\r\n\r\n"))
                return;
            const QByteArray line = request.left(request.indexOf("\r\n"));
            m_requests.append(line);
            const QByteArray body = line.startsWith("GET /bid") ? kDonePage
                : line.startsWith("GET /item")                  ? kItemPage
                                                                : QByteArray("<html></html>");
            socket->write(
                "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestBrowserSession::drivesAFormThroughARealPage()
{
    QCOMPARE(webEngineProcessCount(), 0);
    {
        const std::unique_ptr<IBrowserFactory> factory = makeBrowserFactory();
        QCOMPARE(webEngineProcessCount(), 0); // a factory alone starts nothing

        std::unique_ptr<IBrowserSession> session = factory->createSession();
        QSignalSpy complete(session.get(), &IBrowserSession::documentComplete);
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
        session->navigate(QUrl(base + u"/item?id=4711"));
        session->show();
        QTRY_COMPARE_WITH_TIMEOUT(complete.size(), 1, 60000);
        QCOMPARE(complete[0][0].toUrl(), QUrl(base + u"/item?id=4711"));
        QCOMPARE(complete[0][1].toBool(), true);
        QVERIFY(webEngineProcessCount() > 0);

        QCOMPARE(session->formCount(), 2);
        QCOMPARE(session->elementCount(0), 2);
        QCOMPARE(session->elementCount(1), 4);
        QCOMPARE(session->elementCount(2), -1);
        QStringList names;
        for (int i = 0; i < session->elementCount(1); ++i)
            names.append(session->elementName(1, i));
        QCOMPARE(names,
            (QStringList { QStringLiteral("item"), QStringLiteral("maxbid"), QStringLiteral("quant"),
                QStringLiteral("submit") }));
        QVERIFY(!session->setElementValue(1, 9, QStringLiteral("x")));
        QVERIFY(session->setElementValue(1, 1, QStringLiteral("25.5")));
        QVERIFY(session->setElementValue(1, 2, QStringLiteral("2")));
        // A field named "submit" must not stop the form from being submitted.
        QVERIFY(session->submitForm(1));

        QTRY_COMPARE_WITH_TIMEOUT(complete.size(), 2, 60000);
        QVERIFY(m_requests.contains(
                    QByteArray("GET /bid?item=4711&maxbid=25.5&quant=2&submit=Place+bid HTTP/1.1"))
            || m_requests.contains(QByteArray("GET /bid?item=4711&maxbid=25.5&quant=2 HTTP/1.1")));
        QCOMPARE(complete[1][0].toUrl().path(), QStringLiteral("/bid"));
        QCOMPARE(session->formCount(), 1);
        QCOMPARE(session->elementName(0, 0), QStringLiteral("user"));

        // Released: the window stays open but the session reports nothing more.
        session->release();
        QCOMPARE(session->formCount(), 0);
    }
}

QTEST_MAIN(TestBrowserSession)
#include "TestBrowserSession.moc"
