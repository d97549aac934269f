#include "app/SearchCommands.h"

#include <QCompleter>
#include <QStringListModel>
#include <QUrl>

#include "app/frmWatch.h"
#include "config/HostConfig.h"
#include "platform/IBrowserFactory.h"
#include "platform/IBrowserSession.h"
#include "platform/IShell.h"
#include "search/SearchHistory.h"
#include "search/ui/frmPaypalVerify.h"

namespace th {

SearchCommands::SearchCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    m_historyModel = new QStringListModel(this);
    m_completer = new QCompleter(m_historyModel, this);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    frmWatch &window = m_ctx.window;
    window.offerSearchHistory(m_completer);
    connect(&window, &frmWatch::commandChosen, this, [this](WatchCommand command) {
        switch (command) {
        case WatchCommand::Search:
            return RunSearch();
        case WatchCommand::ClearSearch:
            return cmdClear_Click();
        case WatchCommand::PaymentCheck:
            return mnuPaypalVerify_Click();
        default:
            return;
        }
    });
    connect(&window, &frmWatch::searchHistoryEntryDeleted, this, &SearchCommands::removeHistoryEntry);
    connect(&window, &frmWatch::closeRequested, this, &SearchCommands::SaveSearchHistory);
}

SearchCommands::~SearchCommands() = default;

SearchHosts SearchCommands::hostsOf(const HostConfig &hosts)
{
    const auto host = [&hosts](HostConfig::Host which) { return hosts.host(which).text; };
    return SearchHosts { host(HostConfig::Host::Search), host(HostConfig::Host::CompletedSearch),
        host(HostConfig::Host::SellerListing), host(HostConfig::Host::ItemPage),
        host(HostConfig::Host::Google) };
}

void SearchCommands::RunSearch()
{
    const QString text = m_ctx.window.searchText();
    if (text.isEmpty())
        return;
    const SearchAddresses addresses = searchAddressesFor(text, m_ctx.window.searchOptions(), m_ctx.hosts);
    if (!addresses.google.isEmpty()) {
        std::unique_ptr<IBrowserSession> window = m_ctx.browser.createSession();
        window->navigate(QUrl(addresses.google));
        window->show();
        window->release();
        m_googleWindows.push_back(std::move(window));
    }
    m_ctx.shell.open(addresses.site);
    m_history = withSearchOnTop(m_history, text);
    showHistory();
    m_ctx.window.setSearchText(text);
    SaveSearchHistory();
}

void SearchCommands::cmdClear_Click()
{
    m_ctx.window.clearSearchText();
    m_ctx.window.focusSearchBox();
}

void SearchCommands::LoadSearchHistory()
{
    m_history = th::LoadSearchHistory(m_ctx.historyPath);
    showHistory();
    m_ctx.window.clearSearchText();
}

void SearchCommands::SaveSearchHistory()
{
    const Result<void> saved = th::SaveSearchHistory(m_ctx.historyPath, m_history);
    if (!saved && saved.error().code != kSearchHistoryFolderMissing)
        Q_EMIT historyNotSaved(saved.errorMessage());
}

void SearchCommands::removeHistoryEntry(const QString &entry)
{
    if (m_history.removeAll(entry) == 0)
        return;
    const QString text = m_ctx.window.searchText();
    showHistory();
    m_ctx.window.setSearchText(text);
    SaveSearchHistory();
}

void SearchCommands::showHistory()
{
    m_historyModel->setStringList(m_history);
    m_ctx.window.showSearchHistory(m_history);
}

void SearchCommands::mnuPaypalVerify_Click()
{
    frmPaypalVerify dialog(
        frmPaypalVerify::Context { m_ctx.browser, m_ctx.shell, m_ctx.hotmailHost, m_ctx.paypalHost },
        &m_ctx.window);
    dialog.exec();
}

} // namespace th
