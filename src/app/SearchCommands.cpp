#include "app/SearchCommands.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStringListModel>
#include <QToolButton>
#include <QUrl>

#include "app/frmWatch.h"
#include "platform/IBrowserFactory.h"
#include "platform/IBrowserSession.h"
#include "platform/IShell.h"
#include "search/SearchHistory.h"

namespace th {

SearchCommands::SearchCommands(frmWatch &window, IShell &shell, IBrowserFactory &browser, SearchHosts hosts,
    QString historyPath, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_shell(shell)
    , m_browser(browser)
    , m_hosts(std::move(hosts))
    , m_historyPath(std::move(historyPath))
{
    WatchWindowUi &ui = m_window.ui;
    m_historyModel = new QStringListModel(this);
    m_completer = new QCompleter(m_historyModel, this);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    ui.txtAddress->setCompleter(m_completer);
    m_completer->popup()->installEventFilter(this);
    ui.txtAddress->view()->installEventFilter(this);

    // Enter in the box searches; the box itself would only take the text into its list. The
    // keys reach the box or its line, depending on who sends them.
    ui.txtAddress->installEventFilter(this);
    ui.txtAddress->lineEdit()->installEventFilter(this);
    connect(ui.cmdSearch, &QToolButton::clicked, this, &SearchCommands::RunSearch);
    connect(ui.cmdClear, &QToolButton::clicked, this, &SearchCommands::cmdClear_Click);
    // An entry chosen from the box's list, or from the offered history (the box takes the
    // entry and reports it as its own choice), runs once.
    connect(ui.txtAddress, qOverload<int>(&QComboBox::activated), this, [this](int) { RunSearch(); });
    connect(&m_window, &frmWatch::closeRequested, this, &SearchCommands::SaveSearchHistory);
}

SearchCommands::~SearchCommands() = default;

SearchOptions SearchCommands::currentOptions() const
{
    const WatchWindowUi &ui = m_window.ui;
    // A grey (partly checked) box counts as checked.
    auto on = [](const QCheckBox *box) { return box->checkState() != Qt::Unchecked; };
    SearchOptions options;
    options.google = on(ui.chkGoogle);
    options.titleDesc = on(ui.chkTitleDesc);
    options.buyItNow = on(ui.chkBuyItNow);
    options.paypalOnly = on(ui.chkPaypalOnly);
    options.seller = on(ui.chkSearchSeller);
    options.completed = on(ui.chkCompletedItems);
    options.sortText = ui.cboSorted->currentText();
    return options;
}

void SearchCommands::RunSearch()
{
    const QString text = m_window.ui.txtAddress->currentText();
    if (text.isEmpty())
        return;
    const SearchAddresses addresses = searchAddressesFor(text, currentOptions(), m_hosts);
    if (!addresses.google.isEmpty()) {
        std::unique_ptr<IBrowserSession> window = m_browser.createSession();
        window->navigate(QUrl(addresses.google));
        window->show();
        window->release();
        m_googleWindows.push_back(std::move(window));
    }
    m_shell.open(addresses.site);
    m_history = withSearchOnTop(m_history, text);
    showHistory();
    m_window.ui.txtAddress->setEditText(text);
    SaveSearchHistory();
}

void SearchCommands::cmdClear_Click()
{
    m_window.ui.txtAddress->clearEditText();
    m_window.ui.txtAddress->setFocus();
}

void SearchCommands::LoadSearchHistory()
{
    m_history = th::LoadSearchHistory(m_historyPath);
    showHistory();
    m_window.ui.txtAddress->clearEditText();
}

void SearchCommands::SaveSearchHistory()
{
    const Result<void> saved = th::SaveSearchHistory(m_historyPath, m_history);
    if (!saved && saved.error().code != kSearchHistoryFolderMissing)
        Q_EMIT historyNotSaved(saved.errorMessage());
}

void SearchCommands::removeHistoryEntry(const QString &entry)
{
    if (m_history.removeAll(entry) == 0)
        return;
    const QString text = m_window.ui.txtAddress->currentText();
    showHistory();
    m_window.ui.txtAddress->setEditText(text);
    SaveSearchHistory();
}

void SearchCommands::showHistory()
{
    m_historyModel->setStringList(m_history);
    QComboBox *box = m_window.ui.txtAddress;
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(m_history);
}

bool SearchCommands::searchClickedPastOfferedHistory(const QMouseEvent &press) const
{
    const QToolButton *search = m_window.ui.cmdSearch;
    const QPoint at = search->mapFromGlobal(press.globalPosition().toPoint());
    return press.button() == Qt::LeftButton && search->isVisible() && search->isEnabled()
        && search->rect().contains(at);
}

bool SearchCommands::eventFilter(QObject *watched, QEvent *event)
{
    QAbstractItemView *offered = m_completer->popup();
    // While the history is offered, the offer holds the keyboard and the mouse: Enter and a
    // click on the search button would only close it. Both search, with the text the box
    // shows (the typed words, or the entry the user moved to).
    if (watched == offered && offered->isVisible()) {
        if (event->type() == QEvent::MouseButtonPress
            && searchClickedPastOfferedHistory(*static_cast<QMouseEvent *>(event))) {
            offered->hide();
            RunSearch();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                offered->hide();
                RunSearch();
                return true;
            }
        }
    }
    // Control-Delete takes the highlighted entry out of the history, in the completion's
    // list as in the box's own.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool inBox = watched == m_window.ui.txtAddress || watched == m_window.ui.txtAddress->lineEdit();
        if (enter && inBox) {
            RunSearch();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers().testFlag(Qt::ControlModifier)) {
            auto *view = qobject_cast<QAbstractItemView *>(watched);
            if (view && view->currentIndex().isValid()) {
                removeHistoryEntry(view->currentIndex().data().toString());
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace th
