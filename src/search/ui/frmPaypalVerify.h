#pragma once

#include <memory>
#include <vector>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace th {

class IBrowserFactory;
class IBrowserSession;
class IShell;

// "Check seller for Paypal Verfied-status": looks a seller's payment address up on the
// payment service's verification page, in the user's browser.
class frmPaypalVerify final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmPaypalVerify)

public:
    struct Context {
        IBrowserFactory &browser;
        IShell &shell;
        QString hotmailHost; // the first-use window's page
        QString paypalHost;
    };

    explicit frmPaypalVerify(Context context, QWidget *parent = nullptr);
    ~frmPaypalVerify() override;

    // The first Verify opens the first-use window; an address opens its verification page.
    void cmdVerify_Click();

    QLabel *Label1 = nullptr;
    QLineEdit *txtPaypalIn = nullptr;
    QPushButton *cmdVerify = nullptr;
    QPushButton *cmdClose = nullptr;
    QLabel *Image1 = nullptr;

private:
    Context m_ctx;
    bool m_firstUse = true;
    // Windows once released belong to the user; their sessions are kept until the dialog goes.
    std::vector<std::unique_ptr<IBrowserSession>> m_windows;
};

} // namespace th
