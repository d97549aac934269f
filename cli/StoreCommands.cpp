#include "cli/CliCommands.h"

namespace th::cli {

namespace {
int notYet(const char *name, QTextStream &err)
{
    err << "tallyhawk-cli: " << name << " is not available in this build\n";
    return 2;
}
} // namespace

int runList(const QStringList &, QTextStream &, QTextStream &err)
{
    return notYet("list", err);
}

int runExport(const QStringList &, QTextStream &, QTextStream &err)
{
    return notYet("export", err);
}

int runImport(const QStringList &, QTextStream &, QTextStream &err)
{
    return notYet("import", err);
}

} // namespace th::cli
