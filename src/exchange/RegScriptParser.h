#pragma once

#include <array>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringView>

#include "common/Result.h"
#include "exchange/RegScriptReader.h"
#include "store/RegValue.h"

namespace th::regscript {

class LineWindow;

// The lines of a registry script after its header, read into operations for a sink: key
// lines, value lines with their data (hexadecimal data in RegScriptParserHex.cpp), comments.
class RegScriptParser final {
public:
    RegScriptParser(LineWindow &lines, bool wide, const RegScriptSink &sink)
        : m_lines(lines)
        , m_wide(wide)
        , m_sink(sink)
    {
    }

    // Reads every line after the header. Stops at the first line that cannot be read or
    // the first operation the sink refuses.
    Result<void> run();

private:
    struct Failure {
        int line = 0;
        QString reason;
    };
    // The data of a value line: a value (its name still to be set) or a deletion.
    struct Data {
        bool remove = false;
        RegValue value;
    };

    bool keyLine(QStringView text);
    bool valueLine(QStringView text);
    bool valueData(const QString &name, QStringView rest, RegScriptOperation &operation, Failure &failure);
    std::optional<Data> data(QStringView text, qsizetype &index, Failure &failure);
    std::optional<QByteArray> quotedData(QStringView text, QString &why) const;
    QString name(QStringView quoted);
    std::optional<QByteArray> hexData(QStringView text, qsizetype &index, Failure &failure);
    RegValue hexValue(quint32 kind, QByteArray bytes) const;
    bool fail(qsizetype index, const QString &reason);
    bool hand(const RegScriptOperation &operation);

    LineWindow &m_lines;
    bool m_wide = false;
    const RegScriptSink &m_sink;
    qsizetype m_index = 0;
    bool m_inKey = false;
    RegRoot m_root = RegRoot::CurrentUser;
    QString m_keyPath;
    Failure m_failure;
    std::optional<Error> m_sinkError;
    std::array<QString, 16> m_names;
    std::size_t m_nextName = 0;
};

} // namespace th::regscript
