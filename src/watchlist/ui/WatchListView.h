#pragma once

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

Q_SIGNALS:
    void itemClicked();
    void rightButtonDown(const QPoint &globalPos);
    void enterPressed();
    void itemDoubleClicked();
    void headerClicked(int column);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyColumnLayout();

    WatchListModel &m_model;
};

} // namespace th
