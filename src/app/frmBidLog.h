#pragma once

#include <QDialog>

class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace th {

class BidLogModel;

// The bid log: every bid of this run and the last stored one of each watched item, newest
// first, one line each. Sorted by a click on a column header (amounts, times and latencies as
// numbers); the selected lines, or all of them when none is selected, go to the clipboard
// with Ctrl+C, the Copy button or the lines' menu. It stays open beside the list.
class frmBidLog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmBidLog)

public:
    explicit frmBidLog(BidLogModel &log, QWidget *parent = nullptr);

    // The lines as the clipboard gets them: the selected ones in the order shown.
    QString selectedText() const;
    void copySelection();

    QTableView *lstBids = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdClose = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    BidLogModel &m_log;
    QSortFilterProxyModel *m_sorted = nullptr;
};

} // namespace th
