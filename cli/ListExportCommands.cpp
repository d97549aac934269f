// The watch list for other programs: the calendar file and the CSV table, each made from a
// fresh update of every item.

#include <cstdio>
#include <functional>
#include <memory>

#include <QFile>

#include "cli/CliCommands.h"
#include "cli/ListPages.h"
#include "listexport/CalendarFeed.h"
#include "listexport/CsvTable.h"
#include "listexport/ExportTarget.h"
#include "platform/AppPaths.h"
#include "platform/SystemClock.h"
#include "store/RegistryStore.h"

namespace th::cli {

namespace {

int fail(QTextStream &err, const QString &message)
{
    err << "tallyhawk-cli: " << message << '\n';
    return 1;
}

// "-" is standard output; any other target is replaced in one step once the whole file is
// written, and never one of the data folder's own files.
int writeTarget(const QString &target, const QByteArray &bytes, const QString &dataFolder, QTextStream &out,
    QTextStream &err, const QString &what)
{
    if (target == u"-") {
        out.flush();
        QFile standardOutput;
        if (!standardOutput.open(stdout, QIODevice::WriteOnly) || standardOutput.write(bytes) != bytes.size()
            || !standardOutput.flush() || std::fflush(stdout) != 0)
            return fail(
                err, QStringLiteral("Cannot write to standard output: %1").arg(standardOutput.errorString()));
        return 0;
    }
    if (const Result<void> written = writeExportFile(target, bytes, dataFolder); !written)
        return fail(err, written.errorMessage());
    out << "Wrote " << what << " to " << target << '\n';
    return 0;
}

// Opens the store, reads every item's page and hands the list to `make`.
int exportList(const QString &target, QTextStream &out, QTextStream &err, const QString &what,
    const std::function<QByteArray(const ListPages &)> &make)
{
    const Result<QString> folder = AppPaths::ensureDataFolder();
    if (!folder)
        return fail(err, folder.errorMessage());
    // Refused before the pages are fetched: nothing is gained by reading them first.
    if (target != u"-") {
        if (const Result<void> allowed = checkExportTarget(target, folder.value()); !allowed)
            return fail(err, allowed.errorMessage());
    }
    Result<std::unique_ptr<RegistryStore>> store = RegistryStore::openInFolder(folder.value());
    if (!store)
        return fail(err, store.errorMessage());
    const ListPages pages = readListPages(*store.value(), folder.value(), err);
    return writeTarget(target, make(pages), folder.value(), out, err, what);
}

} // namespace

int runCalendar(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: tallyhawk-cli calendar FILE\n";
        return 2;
    }
    return exportList(args.first(), out, err, QStringLiteral("the calendar"), [](const ListPages &pages) {
        const CalendarOptions options { pages.itemPageHost, SystemClock().now(), pages.settings.FirstAlert,
            pages.settings.SecondAlert };
        return calendarFile(pages.entries, options);
    });
}

int runCsvExport(const QString &target, QTextStream &out, QTextStream &err)
{
    return exportList(target, out, err, QStringLiteral("the watch list"),
        [](const ListPages &pages) { return csvTable(pages.entries); });
}

} // namespace th::cli
