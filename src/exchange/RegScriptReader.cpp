#include "exchange/RegScriptReader.h"

#include "exchange/LineWindow.h"
#include "exchange/RegScriptParser.h"
#include "exchange/RegScriptText.h"
#include "exchange/ScriptLineReader.h"

namespace th {

using namespace regscript;

namespace {

const QString kHeader4 = QStringLiteral("REGEDIT4");
const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");

} // namespace

Result<RegScriptReadSummary> readRegScript(QIODevice &device, const RegScriptSink &sink)
{
    ScriptLineReader reader(device);
    LineWindow lines(reader);
    const QString *first = lines.at(0);
    QStringView header = first ? skipBlanks(*first) : QStringView();
    while (!header.isEmpty() && isBlank(header.back()))
        header.chop(1);
    const bool version4 = header == kHeader4;
    const bool version5 = header == kHeader5;
    if (!version4 && !version5)
        return makeError(1,
            QStringLiteral("line 1: this is not a registry script (it must begin with %1 or %2)")
                .arg(kHeader4, kHeader5));
    if (const Result<void> read = RegScriptParser(lines, version5, sink).run(); !read)
        return read.error();
    if (!reader.error().isEmpty()) {
        const int line = int(lines.readCount() + 1);
        return makeError(line, QStringLiteral("line %1: %2").arg(line).arg(reader.error()));
    }
    return RegScriptReadSummary { reader.latin1Lines() };
}

} // namespace th
