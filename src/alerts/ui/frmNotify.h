#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace th {

// "New Bid Notification": which watched item received a new bid, with its bid count and
// price. Only its Close button closes it; the close box, Escape and the desktop are refused.
class frmNotify final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmNotify)

public:
    explicit frmNotify(QWidget *parent = nullptr);

    void fill(const QString &item, const QString &name, const QString &bids, const QString &price);
    // The program itself closes the window (it is ending).
    void closeByProgram();

    QLabel *itemNumber = nullptr;
    QLabel *itemName = nullptr;
    QLabel *numberOfBids = nullptr;
    QLabel *currentPrice = nullptr;
    QPushButton *cmdClose = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_closeAllowed = false;
};

} // namespace th
