#include "watchlist/ui/frmAddItemAth.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace th {

frmAddItemAth::frmAddItemAth(OkHandler onOk, QWidget *parent)
    : QDialog(parent)
    , m_onOk(std::move(onOk))
{
    setObjectName(QStringLiteral("frmAddItemAth"));
    setWindowTitle(QStringLiteral("Add Item"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto *line = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Item ID:"), this);
    txtItemID = new QLineEdit(this);
    txtItemID->setObjectName(QStringLiteral("txtItemID"));
    txtItemID->setMinimumWidth(220);
    label->setBuddy(txtItemID);
    line->addWidget(label);
    line->addWidget(txtItemID, 1);
    layout->addLayout(line);

    auto *hint = new QLabel(
        QStringLiteral("Please enter Item Number to the above box, you can go to web-browser and "
                       "use Copy (Ctrl-C) and Paste (Ctrl-V)"),
        this);
    hint->setWordWrap(true);
    hint->setMaximumWidth(360);
    layout->addWidget(hint);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &frmAddItemAth::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmAddItemAth::cmdOK_Click()
{
    if (!m_onOk || m_onOk(txtItemID->text()))
        accept();
    else
        txtItemID->setFocus();
}

} // namespace th
