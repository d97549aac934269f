#pragma once

#include <functional>

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace th {

// The "Add Item" dialog: one box for an item number. What OK does is decided by the
// caller, which answers whether the dialog closes (a refused number keeps it open for a
// correction).
class frmAddItemAth final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAddItemAth)

public:
    using OkHandler = std::function<bool(const QString &typed)>;

    explicit frmAddItemAth(OkHandler onOk, QWidget *parent = nullptr);

    QLineEdit *txtItemID = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void cmdOK_Click();

    OkHandler m_onOk;
};

} // namespace th
