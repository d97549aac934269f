#pragma once

#include <functional>

#include <QByteArray>
#include <QObject>
#include <QString>

namespace th {

class frmWatch;
class IClock;
class IPrompter;
class RegistryStore;
class UpdateEngine;
class WatchItems;
class WatchListModel;
struct AppSettings;

// "Export Calendar…" and "Export CSV…" of the list menu, and the calendar file written again
// after every pass when the user asked for it.
class ListExportCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListExportCommands)

public:
    struct Context {
        frmWatch &window;
        WatchListModel &model;
        WatchItems &records;
        AppSettings &settings;
        RegistryStore &store;
        IPrompter &prompter;
        IClock &clock;
        UpdateEngine &engine;
        // Tells the user, without a box, that the calendar file could not be written after a
        // pass (nobody may be at the window then).
        std::function<void(const QString &why)> tellNotWritten;
        // The item-page host the calendar's addresses point to.
        QString itemPageHost;
        // The data folder, whose own files are never replaced by an export.
        QString dataFolder;
    };

    explicit ListExportCommands(Context context, QObject *parent = nullptr);

    // Each asks for the file (the calendar starting from the one written last), writes it in
    // one step and tells the user when that fails. The calendar file chosen is remembered for
    // the writes after each pass.
    void mnuExportCalendar_Click();
    void mnuExportCsv_Click();
    // The end of a pass over all items: the remembered calendar file is written again when
    // the user asked for it. A failure is told once, until a write succeeds again.
    void rewriteCalendar();

private:
    QByteArray calendarBytes() const;
    // Writes `bytes` to a file the user chooses; true when written.
    bool exportTo(const QString &title, const QString &suggested, const QString &filter,
        const QByteArray &bytes, QString *written);

    Context m_ctx;
    QString m_toldFailure;
};

} // namespace th
