#include "alerts/ui/frmEndingAlert.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "alerts/AlertCentre.h"
#include "widgets/NamedWidgets.h"

namespace th {

frmEndingAlert::frmEndingAlert(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEndingAlert"));
    setWindowTitle(QStringLiteral("Timing Alert Service since the LAST reminder"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
    lbl1 = namedLabel(this, "lbl1", QStringLiteral("Item will be ENDed soon (Please check)"));
    QFont big = lbl1->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.15);
    lbl1->setFont(big);
    top->addWidget(lbl1, 1);
    // Wide enough for the whole caption in the title bar, which window managers cut short.
    lbl1->setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 80);
    layout->addLayout(top);

    lblAlertHour = namedLabel(this, "lblAlertHour", QStringLiteral("Total Item will be ended in Long: 0"));
    lblAlertMinute
        = namedLabel(this, "lblAlertMinute", QStringLiteral("Total Item will be ended in Short: 0"));
    lblTotaltag = namedLabel(this, "lblTotaltag", QStringLiteral("Total Alert (since last view): 0"));
    for (QLabel *label : { lblAlertHour, lblAlertMinute, lblTotaltag }) {
        label->setIndent(40);
        layout->addWidget(label);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void frmEndingAlert::fill(const EndingAlertView &view)
{
    if (view.empty)
        return;
    lblAlertHour->setVisible(view.showHours);
    lblAlertHour->setText(view.hoursText);
    lblAlertMinute->setVisible(view.showMinutes);
    lblAlertMinute->setText(view.minutesText);
    lblTotaltag->setText(view.totalText);
}

} // namespace th
