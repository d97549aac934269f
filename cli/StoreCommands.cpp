// The store commands: list, export and import, on the store of the data folder.

#include <memory>

#include <QDateTime>
#include <QFileInfo>

#include "cli/CliCommands.h"
#include "exchange/RegExport.h"
#include "exchange/RegImport.h"
#include "exchange/WatchListListing.h"
#include "platform/AppPaths.h"
#include "store/RegistryStore.h"

namespace th::cli {

namespace {

int fail(QTextStream &err, const QString &message)
{
    err << "tallyhawk-cli: " << message << '\n';
    return 1;
}

int usage(QTextStream &err, const char *text)
{
    err << "usage: tallyhawk-cli " << text << '\n';
    return 2;
}

Result<std::unique_ptr<RegistryStore>> openStore()
{
    const Result<QString> folder = AppPaths::ensureDataFolder();
    if (!folder)
        return folder.error();
    return RegistryStore::openInFolder(folder.value());
}

} // namespace

int runList(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (!args.isEmpty())
        return usage(err, "list");
    Result<std::unique_ptr<RegistryStore>> store = openStore();
    if (!store)
        return fail(err, store.errorMessage());
    const Result<QString> listing = describeWatchList(*store.value());
    if (!listing)
        return fail(err, listing.errorMessage());
    out << listing.value();
    return 0;
}

int runExport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() == 2 && args.first() == u"--csv")
        return runCsvExport(args.last(), out, err);
    if (args.size() != 1 || args.first().startsWith(u"--"))
        return usage(err, "export FOLDER | export --csv FILE");
    if (!QFileInfo(args.first()).isDir())
        return fail(err, QStringLiteral("%1 is not a folder").arg(args.first()));
    Result<std::unique_ptr<RegistryStore>> store = openStore();
    if (!store)
        return fail(err, store.errorMessage());
    const QString path = watchListExportPath(args.first());
    if (const Result<void> written = exportWatchList(*store.value(), path); !written)
        return fail(err, written.errorMessage());
    out << "Exported the watch list to " << path << '\n';
    return 0;
}

int runImport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1)
        return usage(err, "import FILE");
    Result<std::unique_ptr<RegistryStore>> store = openStore();
    if (!store)
        return fail(err, store.errorMessage());
    const Result<ImportSummary> imported
        = RunRegImport(*store.value(), args.first(), QDateTime::currentDateTime());
    if (!imported)
        return fail(err, imported.errorMessage());
    out << importReport(imported.value(), args.first()) << '\n';
    return 0;
}

} // namespace th::cli
