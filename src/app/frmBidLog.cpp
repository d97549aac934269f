#include "app/frmBidLog.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "autobid/BidLogModel.h"
#include "common/Version.h"

namespace th {

frmBidLog::frmBidLog(BidLogModel &log, QWidget *parent)
    : QDialog(parent)
    , m_log(log)
{
    setObjectName(QStringLiteral("frmBidLog"));
    setWindowTitle(QString::fromLatin1(kProgramTitle) + u" - Bid Log");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);

    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(&log);
    m_sorted->setSortRole(BidLogModel::SortRole);

    lstBids = new QTableView(this);
    lstBids->setObjectName(QStringLiteral("lstBids"));
    lstBids->setModel(m_sorted);
    // Newest first until the user sorts otherwise: the log's own order.
    lstBids->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    lstBids->setSortingEnabled(true);
    lstBids->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstBids->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstBids->setAlternatingRowColors(true);
    lstBids->verticalHeader()->hide();
    lstBids->horizontalHeader()->setStretchLastSection(true);
    lstBids->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto *copy = new QAction(QStringLiteral("&Copy"), lstBids);
    copy->setObjectName(QStringLiteral("mnuCopy"));
    connect(copy, &QAction::triggered, this, &frmBidLog::copySelection);
    lstBids->addAction(copy);
    // The table's own Ctrl+C copies a single cell: here it copies whole lines.
    lstBids->installEventFilter(this);

    cmdCopy = new QPushButton(QStringLiteral("&Copy"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    connect(cmdCopy, &QPushButton::clicked, this, &frmBidLog::copySelection);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstBids);
    layout->addLayout(buttons);
    // As wide as the log wants, as far as the screen has room.
    resize(QSize(1240, 360).boundedTo(screen()->availableSize() - QSize(40, 80)));
    lstBids->resizeColumnsToContents();
    // A long title would take the room of the outcome, which says what happened; both
    // show whole in their tips.
    constexpr int kTitleWidth = 260;
    if (lstBids->columnWidth(BidLogModel::Title) > kTitleWidth)
        lstBids->setColumnWidth(BidLogModel::Title, kTitleWidth);
}

QString frmBidLog::selectedText() const
{
    QList<int> rows;
    const QModelIndexList picked = lstBids->selectionModel()->selectedRows();
    // In the order shown, whatever order the lines were picked in.
    for (int shown = 0; shown < m_sorted->rowCount(); ++shown) {
        const QModelIndex index = m_sorted->index(shown, 0);
        if (picked.isEmpty() || picked.contains(index))
            rows.append(m_sorted->mapToSource(index).row());
    }
    return m_log.copyText(rows);
}

bool frmBidLog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstBids && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmBidLog::copySelection()
{
    QGuiApplication::clipboard()->setText(selectedText());
}

} // namespace th
