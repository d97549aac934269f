#include "exchange/ScriptLineReader.h"

#include <algorithm>
#include <cstring>

#include <QIODevice>

namespace th::regscript {

namespace {

// How much is read from the device at a time.
constexpr qsizetype kChunkBytes = 1 << 20;

// The index of the first CR or LF at or after `from`; `size` when there is none.
template<typename Char> qsizetype findLineEnd(const Char *data, qsizetype from, qsizetype size)
{
    while (from < size && data[from] != u'\r' && data[from] != u'\n')
        ++from;
    return from;
}

// How many characters the line end at `end` takes: CR LF two, CR or LF one.
template<typename Char> qsizetype lineEndLength(const Char *data, qsizetype end, qsizetype size)
{
    return data[end] == u'\r' && end + 1 < size && data[end + 1] == u'\n' ? 2 : 1;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

} // namespace

ScriptLineReader::ScriptLineReader(QIODevice &device)
    : m_device(device)
{
}

bool ScriptLineReader::fail(const QString &why)
{
    m_failed = true;
    m_error = why;
    return false;
}

// Appends the next chunk of the device to the bytes not yet used, dropping those used.
// False at the end of the device and on a read error.
bool ScriptLineReader::fill()
{
    if (m_atEnd || m_failed)
        return false;
    // The bytes not yet used move to the front of the buffer, which keeps its allocation.
    const qsizetype kept = m_bytes.size() - m_bytePos;
    if (m_bytePos > 0) {
        std::memmove(m_bytes.data(), m_bytes.constData() + m_bytePos, std::size_t(kept));
        m_bytes.resize(kept);
        m_bytePos = 0;
    }
    // A line longer than a chunk grows the buffer by doubling, not chunk by chunk.
    if (m_bytes.capacity() < kept + kChunkBytes)
        m_bytes.reserve(std::max(kept + kChunkBytes, 2 * m_bytes.capacity()));
    m_bytes.resize(kept + kChunkBytes);
    const qint64 got = m_device.read(m_bytes.data() + kept, kChunkBytes);
    m_bytes.resize(kept + std::max<qint64>(got, 0));
    if (got < 0) {
        m_atEnd = true;
        return fail(QStringLiteral("the file cannot be read on (%1)").arg(m_device.errorString()));
    }
    if (got == 0) {
        m_atEnd = true;
        return false;
    }
    return true;
}

void ScriptLineReader::detectEncoding()
{
    while (m_bytes.size() < 3 && fill()) { }
    m_encoding = Encoding::EightBit;
    if (m_bytes.startsWith("\xFF\xFE")) {
        m_encoding = Encoding::Utf16LE;
        m_bytePos = 2;
    } else if (m_bytes.startsWith("\xFE\xFF")) {
        m_encoding = Encoding::Utf16BE;
        m_bytePos = 2;
    } else if (m_bytes.startsWith("\xEF\xBB\xBF")) {
        m_bytePos = 3;
    }
}

bool ScriptLineReader::readLine(QString &line)
{
    if (m_failed)
        return false;
    if (m_encoding == Encoding::Unknown)
        detectEncoding();
    return m_encoding == Encoding::EightBit ? readEightBitLine(line) : readWideLine(line);
}

bool ScriptLineReader::readEightBitLine(QString &line)
{
    qsizetype scanned = 0; // from m_bytePos, which a fill moves to 0 with the bytes
    for (;;) {
        const char *data = m_bytes.constData() + m_bytePos;
        const qsizetype size = m_bytes.size() - m_bytePos;
        const qsizetype end = findLineEnd(data, scanned, size);
        // A CR that is the last byte read so far may be the first half of a CR LF.
        if (!m_atEnd && (end == size || (data[end] == '\r' && end + 1 == size))) {
            scanned = end;
            if (!fill() && m_failed)
                return false;
            continue;
        }
        if (size == 0)
            return false;
        const QByteArrayView bytes(data, end);
        if (isAscii(bytes)) {
            // Into the line's own buffer, which the caller may hand in again for the next line.
            line.resize(end);
            QChar *out = line.data();
            for (qsizetype i = 0; i < end; ++i)
                out[i] = QLatin1Char(data[i]);
        } else if (bytes.isValidUtf8()) {
            line = QString::fromUtf8(bytes);
        } else {
            line = QString::fromLatin1(bytes);
            ++m_latin1Lines;
        }
        m_bytePos += end < size ? end + lineEndLength(data, end, size) : end;
        return true;
    }
}

// Turns the bytes read so far, or else the next chunk, into UTF-16 units, keeping an odd
// last byte for the chunk after. False when nothing more could be read.
bool ScriptLineReader::decodeWide()
{
    if (m_bytes.size() - m_bytePos < 2 && !fill())
        return false;
    if (m_unitPos > 0) {
        const qsizetype left = m_units.size() - m_unitPos;
        std::memmove(m_units.data(), m_units.constData() + m_unitPos, std::size_t(left) * sizeof(QChar));
        m_units.resize(left);
        m_unitPos = 0;
    }
    const auto *bytes = reinterpret_cast<const uchar *>(m_bytes.constData() + m_bytePos);
    const qsizetype count = (m_bytes.size() - m_bytePos) / 2;
    const qsizetype kept = m_units.size();
    m_units.resize(kept + count);
    QChar *units = m_units.data() + kept;
    const bool little = m_encoding == Encoding::Utf16LE;
    for (qsizetype i = 0; i < count; ++i) {
        const uchar first = bytes[2 * i];
        const uchar second = bytes[2 * i + 1];
        units[i] = little ? QChar(first | (second << 8)) : QChar((first << 8) | second);
    }
    m_bytePos += 2 * count;
    return true;
}

bool ScriptLineReader::readWideLine(QString &line)
{
    qsizetype scanned = 0; // from m_unitPos, which decoding moves to 0 with the units
    for (;;) {
        const QChar *data = m_units.constData() + m_unitPos;
        const qsizetype size = m_units.size() - m_unitPos;
        const qsizetype end = findLineEnd(data, scanned, size);
        if (!m_atEnd && (end == size || (data[end] == u'\r' && end + 1 == size))) {
            scanned = end;
            if (!decodeWide() && m_failed)
                return false;
            continue;
        }
        if (size == 0) {
            if (m_bytePos < m_bytes.size())
                return fail(QStringLiteral("the file ends in the middle of a UTF-16 character"));
            return false;
        }
        line = QString(data, end);
        // A surrogate pair never holds a line end, so each line must be whole UTF-16.
        if (!QStringView(line).isValidUtf16())
            return fail(QStringLiteral("the text is not valid UTF-16"));
        m_unitPos += end < size ? end + lineEndLength(data, end, size) : end;
        return true;
    }
}

} // namespace th::regscript
