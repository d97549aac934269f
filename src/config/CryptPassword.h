#pragma once

#include <QByteArray>
#include <QString>

namespace th {

// The password key: one fixed text of nine characters, the same for every account and
// every installation. It keeps stored passwords from being read at a glance; it is not
// meant to stand up to anyone who has this program.
inline constexpr char kPasswordKey[] = "qM4#hawK7";

// The RC4 stream cipher over bytes, keyed with the UTF-8 bytes of `key`. The same call
// encodes and decodes: applying it twice with the same key gives the data back. The output
// is as long as the input.
QByteArray CryptPassword(const QString &key, const QByteArray &data);

// A password as the store keeps it: the cipher of its UTF-8 bytes under the password key,
// as upper-case hexadecimal text, two digits a byte. Every password survives the store this
// way, also one whose cipher holds a zero byte. An empty password stays empty.
QString encodeStoredPassword(const QString &password);

// The password back from its stored form. An empty value stays empty; a value that is not
// such a text (odd length, other characters, not UTF-8 once decoded) gives an empty password.
QString decodeStoredPassword(const QString &stored);

} // namespace th
