#include "autobid/ui/frmAutoBid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "common/Numeric.h"
#include "platform/IPrompter.h"
#include "widgets/NamedWidgets.h"

namespace th {

namespace {

QComboBox *editableCombo(QWidget *parent, const char *name)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

// More wins than this from one group would be a list, not a group.
constexpr int kMostWins = 99;
constexpr int kNoteWidth = 520;
constexpr int kLongestGroupName = 60;

// A wrapped text of the notes' width, as tall as its lines: the dialog's layout then never
// squeezes it, at any scale of the screen.
void wrapAtNoteWidth(QLabel *label)
{
    label->setWordWrap(true);
    label->setFixedWidth(kNoteWidth);
    label->setMinimumHeight(label->text().isEmpty() ? 0 : label->heightForWidth(kNoteWidth));
}

} // namespace

frmAutoBid::frmAutoBid(const AutoBidDialogValues &values, IPrompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_minimumBid(values.minimumBid)
    , m_currentPrice(values.currentPrice)
    , m_highestQuantity(values.highestQuantity)
    , m_item(values.item)
    , m_end(values.end)
    , m_groups(values.groups)
{
    setObjectName(QStringLiteral("frmAutoBid"));
    setWindowTitle(QStringLiteral("Auto-Bid"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto *grid = new QGridLayout(this);
    lblAuctionTitle = namedLabel(this, "lblAuctionTitle", values.auctionTitle);
    lblAuctionTitle->setWordWrap(true);
    QFont bold = lblAuctionTitle->font();
    bold.setBold(true);
    lblAuctionTitle->setFont(bold);
    grid->addWidget(lblAuctionTitle, 0, 0, 1, 3);
    lblCurrentMaxBid = namedLabel(this, "lblCurrentMaxBid", values.currentMaxBid);
    grid->addWidget(lblCurrentMaxBid, 1, 0, 1, 3);
    lblMinBid = namedLabel(this, "lblMinBid", values.minimumBidText);
    grid->addWidget(lblMinBid, 2, 0, 1, 3);

    grid->addWidget(namedLabel(this, "lblMaxAutoBidPrice", QStringLiteral("My Max.Bid Price:")), 3, 0);
    txtMaxBidPrice = new QLineEdit(values.price, this);
    txtMaxBidPrice->setObjectName(QStringLiteral("txtMaxBidPrice"));
    grid->addWidget(txtMaxBidPrice, 3, 1);
    grid->addWidget(namedLabel(this, "lblQuantity", QStringLiteral("Max.Quantity:")), 4, 0);
    cboMaxQuantity = editableCombo(this, "cboMaxQuantity");
    cboMaxQuantity->addItems(values.quantityChoices);
    cboMaxQuantity->setEditText(values.quantity);
    grid->addWidget(cboMaxQuantity, 4, 1);
    grid->addWidget(namedLabel(this, "lblBidTime", QStringLiteral("Bidding At/Around")), 5, 0);
    cboAutoBidTime = editableCombo(this, "cboAutoBidTime");
    cboAutoBidTime->addItems(values.secondsChoices);
    cboAutoBidTime->setEditText(values.seconds);
    grid->addWidget(cboAutoBidTime, 5, 1);
    grid->addWidget(
        namedLabel(this, "lblBiddingTxt", QStringLiteral("Seconds Before the End of this auction")), 5, 2);
    addGroupRows(grid, 6, values);

    const QStringList notes {
        QStringLiteral(
            "Please AWARE that .....This function is NOT 100% guarantee due to 1. Ebays page format, "
            "2. Internet Connection Speed....."),
        QStringLiteral(
            "Note: Time to bid is depended on your internet connection. You NEED to give an ample time "
            "for program to 1. pull up browser, 2.Fetch current Item page, 3. Fill Information, "
            "4. Auto-Click submission. (which most likely depends on Inet-Speed)"),
    };
    int row = 9;
    for (const QString &note : notes) {
        QLabel *label = namedLabel(this, "lblNote", note);
        wrapAtNoteWidth(label);
        grid->addWidget(label, row++, 0, 1, 3);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, row, 0, 1, 3);

    connect(cmdOk, &QPushButton::clicked, this, &frmAutoBid::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    showGroupWarning();
}

void frmAutoBid::addGroupRows(QGridLayout *grid, int row, const AutoBidDialogValues &values)
{
    cboBidGroup = editableCombo(this, "cboBidGroup");
    // A group's name is a value name in the store and a line in the groups window.
    cboBidGroup->lineEdit()->setMaxLength(kLongestGroupName);
    cboBidGroup->addItem(QString::fromUtf16(kNoBidGroup));
    cboBidGroup->addItems(values.groupNames);
    cboBidGroup->setEditText(values.group.isEmpty() ? QString::fromUtf16(kNoBidGroup) : values.group);
    QLabel *groupLabel = namedLabel(this, "lblBidGroup", QStringLiteral("Bid &Group:"));
    groupLabel->setBuddy(cboBidGroup);
    grid->addWidget(groupLabel, row, 0);
    grid->addWidget(cboBidGroup, row, 1);
    grid->addWidget(
        namedLabel(this, "lblBidGroupTxt", QStringLiteral("Pick a group, or type a new name")), row, 2);

    spnWinUpTo = new QSpinBox(this);
    spnWinUpTo->setObjectName(QStringLiteral("spnWinUpTo"));
    spnWinUpTo->setRange(1, kMostWins);
    QLabel *limitLabel = namedLabel(this, "lblWinUpTo", QStringLiteral("&Win up to:"));
    limitLabel->setBuddy(spnWinUpTo);
    grid->addWidget(limitLabel, row + 1, 0);
    grid->addWidget(spnWinUpTo, row + 1, 1);
    grid->addWidget(namedLabel(this, "lblWinUpToTxt",
                        QStringLiteral("items of the group; its other bids are cancelled then")),
        row + 1, 2);

    lblGroupWarning = namedLabel(this, "lblGroupWarning", QString());
    wrapAtNoteWidth(lblGroupWarning);
    QFont bold = lblGroupWarning->font();
    bold.setBold(true);
    lblGroupWarning->setFont(bold);
    grid->addWidget(lblGroupWarning, row + 2, 0, 1, 3);

    groupChosen();
    connect(cboBidGroup, &QComboBox::editTextChanged, this, [this] {
        groupChosen();
        showGroupWarning();
    });
    connect(spnWinUpTo, &QSpinBox::valueChanged, this, &frmAutoBid::showGroupWarning);
    connect(cboAutoBidTime, &QComboBox::editTextChanged, this, &frmAutoBid::showGroupWarning);
}

void frmAutoBid::groupChosen()
{
    const QString group = chosenBidGroup(cboBidGroup->currentText());
    spnWinUpTo->setEnabled(!group.isEmpty());
    spnWinUpTo->setValue(group.isEmpty() ? BidGroups::kDefaultLimit : m_groups.limit(group));
}

void frmAutoBid::showGroupWarning()
{
    const QString group = chosenBidGroup(cboBidGroup->currentText());
    QString warning;
    if (!group.isEmpty() && m_end.isValid()) {
        BidGroups chosen = m_groups;
        chosen.setLimit(group, spnWinUpTo->value());
        const GroupMember candidate { m_item, group, m_end,
            int(qRound(numericValue(cboAutoBidTime->currentText()))) };
        warning = chosen.closeEndsWarning(candidate);
    }
    if (warning == lblGroupWarning->text() && lblGroupWarning->isHidden() == warning.isEmpty())
        return;
    lblGroupWarning->setText(warning);
    wrapAtNoteWidth(lblGroupWarning);
    lblGroupWarning->setVisible(!warning.isEmpty());
    // The dialog grows or shrinks with the warning, so that no line of it is cut off.
    layout()->activate();
    resize(width(), minimumSizeHint().height());
}

void frmAutoBid::cmdOk_Click()
{
    const QString price = txtMaxBidPrice->text();
    QString text;
    QString title = QStringLiteral("Error: Wrong data type");
    switch (checkMaxBid(price, m_minimumBid)) {
    case MaxBidCheck::Accepted:
        if (!bidChoicesAccepted())
            return;
        if (const std::optional<QString> question = maxBidTypoQuestion(price, m_currentPrice); question
            && m_prompter.message(*question, QStringLiteral("Check your maximum bid"), PromptIcon::Question,
                   PromptButtons::YesNoDefaultNo)
                != PromptAnswer::Yes) {
            txtMaxBidPrice->setFocus();
            return;
        }
        m_entry = autoBidEntry(price, cboMaxQuantity->currentText(), cboAutoBidTime->currentText());
        m_entry->group = chosenBidGroup(cboBidGroup->currentText());
        m_entry->groupLimit = spnWinUpTo->value();
        accept();
        return;
    case MaxBidCheck::Empty:
        text = QStringLiteral("No. Max Bid Price");
        break;
    case MaxBidCheck::NotNumeric:
        text = QStringLiteral("Please check, Max.Bid Price must be numeric only");
        break;
    case MaxBidCheck::BelowMinimum:
        text = QStringLiteral("Please check, Max.Bid Price must >= Current Bid + Bid Increment");
        title = QStringLiteral("Error: Wrong Bid Amount");
        break;
    }
    m_prompter.message(text, title, PromptIcon::Critical, PromptButtons::Ok);
    txtMaxBidPrice->setFocus();
}

bool frmAutoBid::bidChoicesAccepted()
{
    const BidChoiceCheck check
        = checkBidChoices(cboMaxQuantity->currentText(), cboAutoBidTime->currentText(), m_highestQuantity);
    if (check == BidChoiceCheck::Accepted)
        return true;
    m_prompter.message(bidChoiceMessage(check, m_highestQuantity), QStringLiteral("Error: Wrong data type"),
        PromptIcon::Critical, PromptButtons::Ok);
    (check == BidChoiceCheck::QuantityOutOfRange ? cboMaxQuantity : cboAutoBidTime)->setFocus();
    return false;
}

} // namespace th
