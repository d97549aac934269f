#include "app/ExchangeCommands.h"

#include "app/WatchListCommands.h"
#include "app/frmWatch.h"
#include "exchange/RemovableMedia.h"
#include "exchange/ui/frmImportExport.h"
#include "store/RegistryFunctions.h"
#include "store/StoreLayout.h"

namespace th {

namespace {

// The folder of the last backup or restore, kept beside the settings so that the dialog
// offers it again, in a later run too.
constexpr char16_t kExchangeFolderValue[] = u"ImportExportFolder";

} // namespace

ExchangeCommands::ExchangeCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    connect(&m_ctx.window, &frmWatch::commandChosen, this, [this](WatchCommand command) {
        if (command == WatchCommand::ImportExport)
            mnuImportExport_Click();
    });
}

void ExchangeCommands::mnuImportExport_Click()
{
    WatchListCommands &list = m_ctx.list;
    frmImportExport dialog(frmImportExport::Context {
                               m_ctx.store,
                               m_ctx.prompter,
                               m_ctx.clock,
                               m_ctx.dataFolder,
                               [] { return removableFolders(readMountTable(), isRemovableDevice); },
                               [&list] { list.reloadListKeepingRecords(); },
                               lastFolder(),
                               [this](const QString &folder) {
                                   SaveRegString(m_ctx.store, RegRoot::CurrentUser,
                                       QString::fromUtf16(kSettingsKey),
                                       QString::fromUtf16(kExchangeFolderValue), folder);
                               },
                           },
        &m_ctx.window);
    dialog.exec();
}

QString ExchangeCommands::lastFolder() const
{
    return GetRegString(m_ctx.store, RegRoot::CurrentUser, QString::fromUtf16(kSettingsKey),
        QString::fromUtf16(kExchangeFolderValue));
}

} // namespace th
