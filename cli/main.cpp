// tallyhawk-cli: headless tools on the same store and code as the program.

#include <cstdio>

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include "cli/CliCommands.h"
#include "common/Version.h"

namespace {

struct Command {
    const char *name;
    const char *usage;
    int (*run)(const QStringList &, QTextStream &, QTextStream &);
};

constexpr Command kCommands[] = {
    { "parse",
        "parse FILE        print an item page's twenty fields as a JSON array (\"-\" reads standard input)",
        th::cli::runParse },
    { "list", "list              print the watch list with every stored value", th::cli::runList },
    { "export",
        "export FOLDER     write the watch list to FOLDER/eBayWatch.reg\n"
        "  export --csv FILE write the list's columns and automatic bids as a CSV table (\"-\": standard "
        "output)",
        th::cli::runExport },
    { "calendar", "calendar FILE     write the ends of the watched items as an iCalendar file",
        th::cli::runCalendar },
    { "import", "import FILE       read a registry script into the store", th::cli::runImport },
    { "backups", "backups           list the store's copies, newest first", th::cli::runBackups },
    { "restore", "restore FILE      put a copy of the store in its place (while Tallyhawk is not running)",
        th::cli::runRestore },
};

void printUsage(QTextStream &stream)
{
    stream << "usage: tallyhawk-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const Command &command : kCommands)
        stream << "  " << command.usage << '\n';
    stream << "\nThe store is the one of the data folder in $TALLYHAWK_HOME.\n";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(th::kProgramTitle));
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h") {
        printUsage(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    if (args.first() == u"--version") {
        out << "tallyhawk-cli " << th::kVersionText << '\n';
        return 0;
    }
    const QString name = args.takeFirst();
    for (const Command &command : kCommands) {
        if (name == QLatin1String(command.name)) {
            const int status = command.run(args, out, err);
            out.flush();
            err.flush();
            return status;
        }
    }
    err << "tallyhawk-cli: unknown command '" << name << "'\n";
    printUsage(err);
    return 2;
}
