#include "config/CryptPassword.h"

#include <array>
#include <utility>

#include <QStringDecoder>

namespace th {

QByteArray CryptPassword(const QString &key, const QByteArray &data)
{
    const QByteArray keyBytes = key.toUtf8();
    Q_ASSERT(!keyBytes.isEmpty());
    if (keyBytes.isEmpty())
        return data;

    std::array<quint8, 256> state {};
    for (int i = 0; i < 256; ++i)
        state[i] = quint8(i);
    int j = 0;
    for (int i = 0; i < 256; ++i) {
        j = (j + state[i] + quint8(keyBytes[i % keyBytes.size()])) % 256;
        std::swap(state[i], state[j]);
    }

    QByteArray output(data.size(), Qt::Uninitialized);
    int i = 0;
    j = 0;
    for (qsizetype n = 0; n < data.size(); ++n) {
        i = (i + 1) % 256;
        j = (j + state[i]) % 256;
        std::swap(state[i], state[j]);
        const quint8 k = state[(state[i] + state[j]) % 256];
        output[n] = char(quint8(data[n]) ^ k);
    }
    return output;
}

QString encodeStoredPassword(const QString &password)
{
    if (password.isEmpty())
        return {};
    const QByteArray cipher = CryptPassword(QString::fromLatin1(kPasswordKey), password.toUtf8());
    return QString::fromLatin1(cipher.toHex().toUpper());
}

QString decodeStoredPassword(const QString &stored)
{
    if (stored.isEmpty() || stored.size() % 2 != 0)
        return {};
    for (const QChar c : stored) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f')))
            return {};
    }
    const QByteArray plain
        = CryptPassword(QString::fromLatin1(kPasswordKey), QByteArray::fromHex(stored.toLatin1()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString password = utf8.decode(plain);
    return utf8.hasError() ? QString() : password;
}

} // namespace th
