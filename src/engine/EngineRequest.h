#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace th {

// The item-page request of the update engines, byte for byte as the auction site has always
// received it: the query in the request line and again as the body, the Host header naming
// `hostHeader` followed by one blank. `motors` asks for the motors section's path.
QByteArray buildItemRequest(
    const QString &query, bool motors, const QString &hostHeader, const QString &refererHost);

// "?ViewItem&item=" and the item number, blanks around it removed.
QString itemQuery(const QString &itemText);

// A short answer that only points to the motors section: it must be fetched again there.
bool isMotorsAnswer(QByteArrayView response);

// The most a receive buffer holds; the rest of an oversize answer is dropped.
inline constexpr qsizetype kMaxResponseBytes = 4 * 1024 * 1024;

// Appends `data` to `buffer` without letting it grow past kMaxResponseBytes.
void appendCapped(QByteArray &buffer, QByteArrayView data);

} // namespace th
