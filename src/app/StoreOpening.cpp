#include "app/StoreOpening.h"

#include <QDir>
#include <QTimer>

#include "app/AppLog.h"
#include "app/UserNotifier.h"
#include "common/Version.h"
#include "platform/AppPaths.h"
#include "platform/IPrompter.h"
#include "store/RegistryStore.h"
#include "store/StoreBackups.h"

namespace th {

namespace {

QString storeFailureText(const Error &error, const QString &dataFolder)
{
    // A store that is damaged or not a store at all can be replaced by a sound copy; one
    // that is locked or newer than this program must not be.
    const int code = error.code;
    if (code != StoreError::Damaged && code != StoreError::NotAStore && code != StoreError::CannotRead)
        return error.message;
    const std::optional<StoreCopy> copy = StoreBackups::newestSound(
        StoreBackups::folderFor(AppPaths::join(dataFolder, QString::fromUtf16(RegistryStore::kFileName))));
    if (!copy)
        return error.message;
    const QString path = QDir::toNativeSeparators(copy->path);
    return error.message + u"\n\nThe newest sound copy of the store is " + path
        + u". To put it in the store's place, run:\n\n    tallyhawk-cli restore " + path;
}

} // namespace

std::unique_ptr<RegistryStore> openStoreOrTell(const QString &dataFolder, IPrompter &prompter)
{
    Result<std::unique_ptr<RegistryStore>> store = RegistryStore::openInFolder(dataFolder);
    if (store.ok())
        return std::move(store).value();
    prompter.message(storeFailureText(store.error(), dataFolder), QString::fromLatin1(kProgramTitle),
        PromptIcon::Critical, PromptButtons::Ok);
    return nullptr;
}

void takeDailyCopy(RegistryStore &store, const QDateTime &now, UserNotifier &notifier)
{
    const Result<QString> copy = StoreBackups::takeDailyCopy(store, now);
    if (copy)
        return;
    qCWarning(lcApp, "%s", qPrintable(copy.errorMessage()));
    QTimer::singleShot(
        0, &notifier, [&notifier, message = copy.errorMessage()] { notifier.showTrayMessage(message); });
}

} // namespace th
