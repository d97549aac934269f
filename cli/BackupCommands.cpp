// The store's copies: backups lists them, restore puts one in the store's place.

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "cli/CliCommands.h"
#include "platform/AppPaths.h"
#include "platform/LockFileSingleInstance.h"
#include "store/RegistryStore.h"
#include "store/StoreBackups.h"

namespace th::cli {

namespace {

QString storePathIn(const QString &folder)
{
    return QDir(folder).filePath(QString::fromUtf16(RegistryStore::kFileName));
}

// A copy named as the user gave it, or by its bare name in the backups folder.
QString copyPath(const QString &given, const QString &backupsFolder)
{
    if (QFileInfo::exists(given) || given.contains(u'/'))
        return QFileInfo(given).absoluteFilePath();
    return QDir(backupsFolder).filePath(given);
}

} // namespace

int runBackups(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (!args.isEmpty()) {
        err << "usage: tallyhawk-cli backups\n";
        return 2;
    }
    const QString folder = StoreBackups::folderFor(storePathIn(AppPaths::dataFolder()));
    const QList<StoreCopy> copies = StoreBackups::list(folder);
    if (copies.isEmpty()) {
        out << "No copies of the store in " << QDir::toNativeSeparators(folder) << '\n';
        return 0;
    }
    for (const StoreCopy &copy : copies) {
        const bool daily = copy.kind == StoreCopy::Kind::Daily;
        out << copy.taken.toString(u"yyyy-MM-dd HH:mm:ss")
            << (daily ? "  daily          " : "  before import  ") << QDir::toNativeSeparators(copy.path)
            << '\n';
    }
    return 0;
}

int runRestore(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: tallyhawk-cli restore FILE\n";
        return 2;
    }
    const Result<QString> ensured = AppPaths::ensureDataFolder();
    if (!ensured) {
        err << "tallyhawk-cli: " << ensured.errorMessage() << '\n';
        return 1;
    }
    const QString folder = ensured.value();
    const QString store = storePathIn(folder);
    // Held until the restore is over: the program cannot start on the folder meanwhile.
    LockFileSingleInstance instance(folder);
    if (!instance.tryAcquire()) {
        err << "tallyhawk-cli: Tallyhawk is running on the data folder " << QDir::toNativeSeparators(folder)
            << "; nothing was restored. End it (Exit in its menu) and run the restore again.\n";
        return 1;
    }
    const QString copy = copyPath(args.first(), StoreBackups::folderFor(store));
    const Result<StoreBackups::Restored> restored
        = StoreBackups::restore(store, copy, QDateTime::currentDateTime());
    if (!restored) {
        err << "tallyhawk-cli: " << restored.errorMessage() << " Nothing was restored.\n";
        return 1;
    }
    out << "Restored the store " << QDir::toNativeSeparators(store) << " from "
        << QDir::toNativeSeparators(copy) << '\n';
    if (!restored.value().copyBefore.isEmpty())
        out << "The store as it was before is kept in "
            << QDir::toNativeSeparators(restored.value().copyBefore) << '\n';
    if (!restored.value().movedAside.isEmpty())
        out << "The store that could not be opened was moved to "
            << QDir::toNativeSeparators(restored.value().movedAside) << '\n';
    return 0;
}

} // namespace th::cli
