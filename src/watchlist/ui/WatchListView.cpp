#include "watchlist/ui/WatchListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include "watchlist/WatchListModel.h"
#include "watchlist/ui/RowIcons.h"

namespace th {

WatchListView::WatchListView(WatchListModel &model, QWidget *parent)
    : QTreeView(parent)
    , m_model(model)
{
    setObjectName(QStringLiteral("lstWatching"));
    m_model.setIconProvider(&rowIcon);
    setModel(&m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setIconSize(QSize(16, 16));
    setToolTip(QStringLiteral("Right click to Update Menu"));
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    connect(header(), &QHeaderView::sectionClicked, this, &WatchListView::headerClicked);
    connect(this, &QAbstractItemView::clicked, this, &WatchListView::itemClicked);
    connect(this, &QAbstractItemView::doubleClicked, this, &WatchListView::itemDoubleClicked);
    connect(&m_model, &QAbstractItemModel::columnsInserted, this, &WatchListView::applyColumnLayout);
    connect(header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_layingOut && !isColumnHidden(column))
            Q_EMIT columnWidthsChangedByUser();
    });
    applyColumnLayout();
}

void WatchListView::applyColumnLayout()
{
    const QScopedValueRollback layingOut(m_layingOut, true);
    const auto &columns = m_model.columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].widthTwips == 0) {
            setColumnHidden(i, true);
        } else {
            setColumnHidden(i, false);
            setColumnWidth(i, twipsToPixels(columns[i].widthTwips));
        }
    }
}

QList<int> WatchListView::columnWidths() const
{
    QList<int> widths;
    for (int i = 0; i < m_model.columnCount(); ++i)
        widths.append(isColumnHidden(i) ? 0 : columnWidth(i));
    return widths;
}

void WatchListView::restoreColumnWidths(const QList<int> &widths)
{
    const QScopedValueRollback layingOut(m_layingOut, true);
    for (int i = 0; i < m_model.columnCount() && i < widths.size(); ++i) {
        if (!isColumnHidden(i) && widths[i] > 0)
            setColumnWidth(i, widths[i]);
    }
}

void WatchListView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    if (m_model.rowCount() > 0)
        return;
    // An empty list says how to fill it.
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap,
        QStringLiteral("No items watched yet.\n\nClick \"Add Item\" and enter the item number of an auction, "
                       "or restore a backup with \"Import/Export\" in the list's right-click menu."));
}

int WatchListView::selectedRow() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void WatchListView::selectRow(int row)
{
    if (row < 0 || row >= m_model.rowCount()) {
        clearSelection();
        return;
    }
    const QModelIndex index = m_model.index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void WatchListView::mousePressEvent(QMouseEvent *event)
{
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        Q_EMIT rightButtonDown(event->globalPosition().toPoint());
}

void WatchListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT enterPressed();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        Q_EMIT deletePressed();
        return;
    }
    QTreeView::keyPressEvent(event);
    // Moving the selection with the keyboard gives the same feedback as a click.
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_Home
        || event->key() == Qt::Key_End || event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)
        Q_EMIT itemClicked();
}

} // namespace th
