#include "engine/EngineRequest.h"

namespace th {

QByteArray buildItemRequest(
    const QString &query, bool motors, const QString &hostHeader, const QString &refererHost)
{
    const QByteArray q = query.toLatin1();
    QByteArray request;
    request.reserve(512 + 2 * q.size());
    request += "GET ";
    request += motors ? "/ebaymotors/ws/eBayISAPI.dll" : "/ws/eBayISAPI.dll";
    request += q;
    request += " HTTP/1.1\r\n"
               "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-powerpoint, "
               "application/vnd.ms-excel, application/msword, */*\r\n"
               "Referer: http://";
    request += refererHost.toLatin1();
    request += "\r\n"
               "Accept-Language: en-us\r\n"
               "Content-Type: application/x-www-form-urlencoded\r\n"
               "Accept-Encoding: gzip , deflate\r\n"
               "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; MSNIA; Windows NT 5.0)\r\n"
               "Host: ";
    request += hostHeader.toLatin1();
    request += " \r\n"
               "Content-Length: ";
    request += QByteArray::number(query.size());
    request += "\r\n"
               "Connection: Keep-Alive\r\n"
               "\r\n";
    request += q;
    return request;
}

QString itemQuery(const QString &itemText)
{
    return u"?ViewItem&item=" + itemText.trimmed();
}

bool isMotorsAnswer(QByteArrayView response)
{
    if (response.size() >= 2000)
        return false;
    return response.toByteArray().toLower().contains("/ebaymotors/");
}

void appendCapped(QByteArray &buffer, QByteArrayView data)
{
    const qsizetype room = kMaxResponseBytes - buffer.size();
    if (room <= 0)
        return;
    buffer.append(data.first(std::min(room, data.size())));
}

} // namespace th
