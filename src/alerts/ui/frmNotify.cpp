#include "alerts/ui/frmNotify.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace th {

namespace {

QLabel *valueLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

frmNotify::frmNotify(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNotify"));
    setWindowTitle(QStringLiteral("New Bid Notification"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
    auto *line = new QLabel(QStringLiteral("An item you are watching has received a new bid!"), this);
    QFont big = line->font();
    big.setPointSizeF(big.pointSizeF() * 1.15);
    line->setFont(big);
    top->addWidget(line, 1);
    layout->addLayout(top);

    auto *form = new QFormLayout;
    itemNumber = valueLabel(this, "itemNumber");
    itemName = valueLabel(this, "itemName");
    itemName->setMinimumWidth(320);
    numberOfBids = valueLabel(this, "numberOfBids");
    currentPrice = valueLabel(this, "currentPrice");
    form->addRow(QStringLiteral("Item #:"), itemNumber);
    form->addRow(QStringLiteral("Item Name:"), itemName);
    form->addRow(QStringLiteral("# of Bids:"), numberOfBids);
    form->addRow(QStringLiteral("Current Price:"), currentPrice);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdClose, &QPushButton::clicked, this, [this] {
        m_closeAllowed = true;
        accept();
        m_closeAllowed = false;
    });
}

void frmNotify::fill(const QString &item, const QString &name, const QString &bids, const QString &price)
{
    itemNumber->setText(item);
    itemName->setText(name);
    numberOfBids->setText(bids);
    currentPrice->setText(price);
}

void frmNotify::closeByProgram()
{
    m_closeAllowed = true;
    done(QDialog::Rejected);
    hide();
}

void frmNotify::reject()
{
    // Escape and the window manager's close come here: only the button closes the window.
    if (m_closeAllowed)
        QDialog::reject();
}

void frmNotify::closeEvent(QCloseEvent *event)
{
    if (m_closeAllowed)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

} // namespace th
