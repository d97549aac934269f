#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace th::regscript {

// The lines of a registry script file, read from the device as they are asked for, so that
// memory holds about one line and never the whole file. Lines end in CR LF, LF or CR; the
// last line needs no end.
//
// A file that starts with a UTF-16 byte-order mark (as the system editor writes them) is
// UTF-16 of that byte order throughout. Any other file is read line by line: a line is UTF-8
// when its bytes are, and otherwise 8-bit text one byte a character (Latin-1), as files in
// an old code page are; one such line does not change how the others read. A UTF-8
// byte-order mark at the start is skipped.
class ScriptLineReader final {
public:
    explicit ScriptLineReader(QIODevice &device);
    ScriptLineReader(const ScriptLineReader &) = delete;
    ScriptLineReader &operator=(const ScriptLineReader &) = delete;

    // The next line without its end, into `line` (whose buffer is used again when it is
    // not shared). False at the end of the file, and when the file cannot be read on or is
    // not UTF-16 where it says it is: `error` then tells why.
    bool readLine(QString &line);

    // Why reading stopped before the end of the file; empty when it did not.
    QString error() const { return m_error; }
    // How many lines so far were not UTF-8 and were read as Latin-1.
    int latin1Lines() const { return m_latin1Lines; }

private:
    enum class Encoding { Unknown, EightBit, Utf16LE, Utf16BE };

    bool fill();
    void detectEncoding();
    bool readEightBitLine(QString &line);
    bool readWideLine(QString &line);
    bool decodeWide();
    bool fail(const QString &why);

    QIODevice &m_device;
    Encoding m_encoding = Encoding::Unknown;
    QByteArray m_bytes; // read, not yet handed out (8-bit) or not yet decoded (UTF-16)
    qsizetype m_bytePos = 0;
    QString m_units; // UTF-16: decoded, not yet handed out
    qsizetype m_unitPos = 0;
    bool m_atEnd = false; // the device has nothing more
    bool m_failed = false;
    QString m_error;
    int m_latin1Lines = 0;
};

} // namespace th::regscript
