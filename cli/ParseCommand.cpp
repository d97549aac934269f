#include "cli/CliCommands.h"

namespace th::cli {

int runParse(const QStringList &, QTextStream &, QTextStream &err)
{
    err << "tallyhawk-cli: parse is not available in this build\n";
    return 2;
}

} // namespace th::cli
