#include "SimClient.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

namespace th::test {

Exchange exchange(quint16 port, const QByteArray &request, int waitMs)
{
    Exchange result;
    QTcpSocket socket;
    QEventLoop loop;
    bool finished = false;
    auto finish = [&] {
        finished = true;
        loop.quit();
    };
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] {
        result.response += socket.readAll();
        ++result.reads;
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [&] {
        result.closedByServer = true;
        finish();
    });
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &socket, [&](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::ConnectionRefusedError) {
            result.refused = true;
            finish();
        } else if (error == QAbstractSocket::RemoteHostClosedError) {
            result.closedByServer = true;
            finish();
        }
    });
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&] {
        result.connected = true;
        if (!request.isEmpty())
            socket.write(request);
    });
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    // The event loop runs until the server closes or the guard runs out; a guard that runs
    // out leaves closedByServer false for the test to see.
    QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
    if (!finished)
        loop.exec();
    if (socket.bytesAvailable() > 0)
        result.response += socket.readAll();
    return result;
}

QByteArray engineRequest(const QByteArray &path, const QByteArray &query, const QByteArray &mainHost)
{
    QByteArray text;
    text += "GET " + path + query + " HTTP/1.1\r\n";
    text += "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-powerpoint, "
            "application/vnd.ms-excel, application/msword, */*\r\n";
    text += "Referer: http://" + mainHost + "\r\n";
    text += "Accept-Language: en-us\r\n";
    text += "Content-Type: application/x-www-form-urlencoded\r\n";
    text += "Accept-Encoding: gzip , deflate\r\n";
    text += "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; MSNIA; Windows NT 5.0)\r\n";
    text += "Host: " + mainHost + " \r\n";
    text += "Content-Length: " + QByteArray::number(query.size()) + "\r\n";
    text += "Connection: Keep-Alive\r\n";
    text += "\r\n";
    text += query;
    return text;
}

QByteArray formPost(const QByteArray &path, const QList<QPair<QByteArray, QByteArray>> &fields)
{
    QByteArray body;
    for (const auto &field : fields) {
        if (!body.isEmpty())
            body += '&';
        body += field.first.toPercentEncoding() + '=' + field.second.toPercentEncoding();
    }
    return "POST " + path
        + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
          "Content-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: keep-alive\r\n\r\n" + body;
}

QByteArray plainGet(const QByteArray &target)
{
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: keep-alive\r\n\r\n";
}

QByteArray bodyOf(const QByteArray &response)
{
    const int end = response.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : response.mid(end + 4);
}

int statusOf(const QByteArray &response)
{
    return response.split(' ').value(1).toInt();
}

QString PageForm::value(const QString &name) const
{
    for (const auto &field : fields) {
        if (field.first == name)
            return field.second;
    }
    return QString();
}

bool PageForm::has(const QString &name) const
{
    for (const auto &field : fields) {
        if (field.first == name)
            return true;
    }
    return false;
}

QList<PageForm> formsOf(const QByteArray &page)
{
    static const QRegularExpression formPattern(QStringLiteral("<form\\b([^>]*)>(.*?)</form>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression inputPattern(
        QStringLiteral("<input\\b([^>]*)>"), QRegularExpression::CaseInsensitiveOption);
    auto attribute = [](const QString &tag, const QString &name) -> QString {
        const QRegularExpression pattern(
            QStringLiteral("\\b%1=\"([^\"]*)\"").arg(name), QRegularExpression::CaseInsensitiveOption);
        return pattern.match(tag).captured(1);
    };
    QList<PageForm> forms;
    const QString text = QString::fromLatin1(page);
    for (auto it = formPattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch form = it.next();
        PageForm entry;
        entry.action = attribute(form.captured(1), QStringLiteral("action"));
        entry.method = attribute(form.captured(1), QStringLiteral("method"));
        for (auto inputs = inputPattern.globalMatch(form.captured(2)); inputs.hasNext();) {
            const QString tag = inputs.next().captured(1);
            const QString name = attribute(tag, QStringLiteral("name"));
            if (!name.isEmpty())
                entry.fields.append({ name, attribute(tag, QStringLiteral("value")) });
        }
        forms.append(entry);
    }
    return forms;
}

} // namespace th::test
