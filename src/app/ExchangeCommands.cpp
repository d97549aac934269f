#include "app/ExchangeCommands.h"

#include "app/WatchListCommands.h"
#include "app/frmWatch.h"
#include "exchange/RemovableMedia.h"
#include "exchange/ui/frmImportExport.h"

namespace th {

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
                           },
        &m_ctx.window);
    dialog.exec();
}

} // namespace th
