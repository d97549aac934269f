#pragma once

#include <optional>

#include <QDialog>

#include "autobid/BidSettings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace th {

class IPrompter;

// "Auto-Bid": the highest price, the quantity and the seconds before the end of one item's
// automatic bid. OK checks the price against the least bid the site accepts, and the quantity
// and the seconds against their lists; Cancel and the close box give nothing.
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
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    // The quantity and the seconds within their lists; otherwise the user is told and the
    // box to correct gets the focus.
    bool bidChoicesAccepted();

    IPrompter &m_prompter;
    Money m_minimumBid;
    Money m_currentPrice;
    qint32 m_highestQuantity;
    std::optional<AutoBidEntry> m_entry;
};

} // namespace th
