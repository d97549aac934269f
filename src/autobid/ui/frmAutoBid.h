#pragma once

#include <optional>

#include <QDialog>

#include "autobid/BidSettings.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace th {

class IPrompter;

// "Auto-Bid": the highest price, the quantity and the seconds before the end of one item's
// automatic bid. OK checks the price against the least bid the site accepts, and the quantity
// and the seconds against their lists; Cancel and the close box give nothing. The item may join
// a bid group ("(none)", a group of the list, or a new name typed in) with the group's "Win
// up to" limit; while a group is chosen the dialog says when members end too close together
// for one's result to be known before the other's bid is due.
class frmAutoBid final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAutoBid)

public:
    frmAutoBid(const AutoBidDialogValues &values, IPrompter &prompter, QWidget *parent = nullptr);

    void cmdOk_Click();
    // The confirmed values; nothing unless OK passed its checks.
    std::optional<AutoBidEntry> entry() const { return m_entry; }

    QLabel *lblAuctionTitle = nullptr;
    QLabel *lblCurrentMaxBid = nullptr;
    QLabel *lblMinBid = nullptr;
    QLineEdit *txtMaxBidPrice = nullptr;
    QComboBox *cboMaxQuantity = nullptr;
    QComboBox *cboAutoBidTime = nullptr;
    QComboBox *cboBidGroup = nullptr;
    QSpinBox *spnWinUpTo = nullptr;
    QLabel *lblGroupWarning = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    // The quantity and the seconds within their lists; otherwise the user is told and the
    // box to correct gets the focus.
    bool bidChoicesAccepted();
    void addGroupRows(QGridLayout *grid, int row, const AutoBidDialogValues &values);
    // A group of the list chosen: its limit shows. No group: no limit to set.
    void groupChosen();
    // The warning about close ends for the group, limit and seconds now chosen.
    void showGroupWarning();

    IPrompter &m_prompter;
    Money m_minimumBid;
    Money m_currentPrice;
    qint32 m_highestQuantity;
    QString m_item;
    QDateTime m_end;
    BidGroups m_groups;
    std::optional<AutoBidEntry> m_entry;
};

} // namespace th
