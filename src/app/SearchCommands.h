#pragma once

#include <memory>
#include <vector>

#include <QObject>
#include <QStringList>

#include "platform/IBrowserFactory.h"
#include "search/SearchAddress.h"

class QCompleter;
class QMouseEvent;
class QStringListModel;

namespace th {

class IBrowserFactory;
class IBrowserSession;
class IShell;
class frmWatch;

// The search box of the main window: Enter, the search and clear buttons, the completion
// from the history, and the history file.
class SearchCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchCommands)

public:
    SearchCommands(frmWatch &window, IShell &shell, IBrowserFactory &browser, SearchHosts hosts,
        QString historyPath, QObject *parent = nullptr);
    ~SearchCommands() override;

    // Opens the addresses for the box's text; nothing for an empty box. The search goes on
    // top of the history.
    void RunSearch();
    void cmdClear_Click();
    void LoadSearchHistory();
    void SaveSearchHistory();
    // Takes an entry out of the history (Control-Delete on an entry the completion offers).
    void removeHistoryEntry(const QString &entry);

    QStringList history() const { return m_history; }
    QCompleter *completer() const { return m_completer; }

Q_SIGNALS:
    // The history file could not be written; it keeps what it held before.
    void historyNotSaved(const QString &why);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SearchOptions currentOptions() const;
    // A press that the offered history took although it was meant for the search button.
    bool searchClickedPastOfferedHistory(const QMouseEvent &press) const;
    void showHistory();

    frmWatch &m_window;
    IShell &m_shell;
    IBrowserFactory &m_browser;
    SearchHosts m_hosts;
    QString m_historyPath;
    QStringList m_history;
    QStringListModel *m_historyModel = nullptr;
    QCompleter *m_completer = nullptr;
    // Google windows once opened belong to the user; their sessions stay released here.
    std::vector<std::unique_ptr<IBrowserSession>> m_googleWindows;
};

} // namespace th
