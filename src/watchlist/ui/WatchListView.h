#pragma once

#include <QList>
#include <QTreeView>

namespace th {

class WatchListModel;

// lstWatching: the watch list in report mode. In-place editing is refused; the right
// button opens the list menu on button down; Enter opens the selected item's page.
class WatchListView final : public QTreeView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WatchListView)

public:
    explicit WatchListView(WatchListModel &model, QWidget *parent = nullptr);

    // The selected row (0-based), or -1.
    int selectedRow() const;
    void selectRow(int row);

    // The width of every column in pixels; a hidden column ("End Date2") counts 0.
    QList<int> columnWidths() const;
    // Gives the columns widths saved earlier: an entry that is missing, negative or 0 keeps
    // the column's own width, and a hidden column stays hidden whatever is saved for it.
    void restoreColumnWidths(const QList<int> &widths);

Q_SIGNALS:
    void itemClicked();
    void rightButtonDown(const QPoint &globalPos);
    void enterPressed();
    // The Delete key: the window removes the selected item, as its Remove Item command.
    void deletePressed();
    void itemDoubleClicked();
    void headerClicked(int column);
    // The user dragged a column to a new width.
    void columnWidthsChangedByUser();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyColumnLayout();

    WatchListModel &m_model;
    // Set while the program itself sizes the columns.
    bool m_layingOut = false;
};

} // namespace th
