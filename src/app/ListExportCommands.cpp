#include "app/ListExportCommands.h"

#include <QDir>

#include "app/frmWatch.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "listexport/CalendarFeed.h"
#include "listexport/CsvTable.h"
#include "listexport/ExportTarget.h"
#include "listexport/ListEntries.h"
#include "platform/IClock.h"
#include "platform/IPrompter.h"
#include "store/RegistryFunctions.h"
#include "store/StoreLayout.h"

namespace th {

ListExportCommands::ListExportCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    connect(&m_ctx.window, &frmWatch::commandChosen, this, [this](WatchCommand command) {
        if (command == WatchCommand::ExportCalendar)
            mnuExportCalendar_Click();
        else if (command == WatchCommand::ExportCsv)
            mnuExportCsv_Click();
    });
    connect(&m_ctx.engine, &UpdateEngine::passFinished, this, &ListExportCommands::rewriteCalendar);
}

QByteArray ListExportCommands::calendarBytes() const
{
    const AppSettings &s = m_ctx.settings;
    return calendarFile(listEntries(m_ctx.model, m_ctx.records),
        CalendarOptions { m_ctx.itemPageHost, m_ctx.clock.now(), s.FirstAlert, s.SecondAlert });
}

bool ListExportCommands::exportTo(const QString &title, const QString &suggested, const QString &filter,
    const QByteArray &bytes, QString *written)
{
    const QString path = m_ctx.prompter.saveFileName(title, suggested, filter);
    if (path.isEmpty())
        return false;
    if (const Result<void> saved = writeExportFile(path, bytes, m_ctx.dataFolder); !saved) {
        m_ctx.prompter.message(saved.errorMessage(), title, PromptIcon::Critical, PromptButtons::Ok);
        return false;
    }
    *written = path;
    return true;
}

void ListExportCommands::mnuExportCalendar_Click()
{
    AppSettings &s = m_ctx.settings;
    const QString suggested = s.CalendarFile.isEmpty()
        ? QDir::home().filePath(QStringLiteral("tallyhawk-watch-list.ics"))
        : s.CalendarFile;
    QString path;
    if (!exportTo(QStringLiteral("Export Calendar"), suggested, QStringLiteral("iCalendar files (*.ics)"),
            calendarBytes(), &path))
        return;
    m_toldFailure.clear();
    if (path != s.CalendarFile) {
        s.CalendarFile = path;
        SaveRegString(m_ctx.store, RegRoot::CurrentUser, QString::fromUtf16(kSettingsKey),
            QString::fromUtf16(SettingName::CalendarFile), path);
    }
}

void ListExportCommands::mnuExportCsv_Click()
{
    QString path;
    exportTo(QStringLiteral("Export CSV"), QDir::home().filePath(QStringLiteral("tallyhawk-watch-list.csv")),
        QStringLiteral("CSV files (*.csv)"), csvTable(listEntries(m_ctx.model, m_ctx.records)), &path);
}

void ListExportCommands::rewriteCalendar()
{
    const AppSettings &s = m_ctx.settings;
    if (s.RewriteCalendarFile == 0 || s.CalendarFile.isEmpty())
        return;
    const Result<void> written = writeExportFile(s.CalendarFile, calendarBytes(), m_ctx.dataFolder);
    if (written) {
        m_toldFailure.clear();
        return;
    }
    if (written.errorMessage() == m_toldFailure)
        return;
    m_toldFailure = written.errorMessage();
    m_ctx.tellNotWritten(written.errorMessage());
}

} // namespace th
