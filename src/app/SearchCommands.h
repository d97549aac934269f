#pragma once

#include <memory>
#include <vector>

#include <QObject>
#include <QStringList>

#include "platform/IBrowserFactory.h"
#include "search/SearchAddress.h"

class QCompleter;
class QStringListModel;

namespace th {

class HostConfig;
class IBrowserFactory;
class IBrowserSession;
class IShell;
class frmWatch;

// The search box of the main window: Enter, the search and clear buttons, the completion
// from the history, and the history file; and the other web shortcut of the list menu, the
// check of a payment account.
class SearchCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchCommands)

public:
    struct Context {
        frmWatch &window;
        IShell &shell;
        IBrowserFactory &browser;
        SearchHosts hosts;
        QString historyPath;
        // The payment check's first-use page and its own site.
        QString hotmailHost;
        QString paypalHost;
    };

    explicit SearchCommands(Context context, QObject *parent = nullptr);
    ~SearchCommands() override;

    // The servers of a search, from the configuration.
    static SearchHosts hostsOf(const HostConfig &hosts);

    // Opens the addresses for the box's text; nothing for an empty box. The search goes on
    // top of the history.
    void RunSearch();
    void cmdClear_Click();
    void LoadSearchHistory();
    void SaveSearchHistory();
    // Takes an entry out of the history (Control-Delete on an entry the completion offers).
    void removeHistoryEntry(const QString &entry);
    // The payment check's dialog, modal.
    void mnuPaypalVerify_Click();

    QStringList history() const { return m_history; }
    QCompleter *completer() const { return m_completer; }

Q_SIGNALS:
    // The history file could not be written; it keeps what it held before.
    void historyNotSaved(const QString &why);

private:
    void showHistory();

    Context m_ctx;
    QStringList m_history;
    QStringListModel *m_historyModel = nullptr;
    QCompleter *m_completer = nullptr;
    // Google windows once opened belong to the user; their sessions stay released here.
    std::vector<std::unique_ptr<IBrowserSession>> m_googleWindows;
};

} // namespace th
