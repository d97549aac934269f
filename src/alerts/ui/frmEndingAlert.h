#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace th {

struct EndingAlertView;

// "Timing Alert Service since the LAST reminder": how many watched items have come within
// the user's alert windows since the last look. Modal, owned by the main window.
class frmEndingAlert final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmEndingAlert)

public:
    explicit frmEndingAlert(QWidget *parent = nullptr);

    // The texts of an opening window; an empty view keeps the design texts.
    void fill(const EndingAlertView &view);

    QLabel *lbl1 = nullptr;
    QLabel *lblAlertHour = nullptr;
    QLabel *lblAlertMinute = nullptr;
    QLabel *lblTotaltag = nullptr;
    QPushButton *cmdClose = nullptr;
};

} // namespace th
