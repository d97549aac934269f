#include "search/ui/frmPaypalVerify.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QUrl>

#include "platform/IBrowserFactory.h"
#include "platform/IShell.h"
#include "search/SearchAddress.h"

namespace th {

frmPaypalVerify::frmPaypalVerify(Context context, QWidget *parent)
    : QDialog(parent)
    , m_ctx(std::move(context))
{
    setObjectName(QStringLiteral("frmPaypalVerify"));
    setWindowTitle(QStringLiteral("Check seller for Paypal Verfied-status"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto *grid = new QGridLayout(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(32, 32));
    Image1->setAlignment(Qt::AlignTop);
    grid->addWidget(Image1, 0, 0, 2, 1);
    Label1 = new QLabel(QStringLiteral("Please enter seller's Paypal-email-address:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    grid->addWidget(Label1, 0, 1, 1, 2);
    txtPaypalIn = new QLineEdit(this);
    txtPaypalIn->setObjectName(QStringLiteral("txtPaypalIn"));
    txtPaypalIn->setMinimumWidth(300);
    grid->addWidget(txtPaypalIn, 1, 1, 1, 2);
    cmdVerify = new QPushButton(QStringLiteral("&Verify"), this);
    cmdVerify->setObjectName(QStringLiteral("cmdVerify"));
    cmdVerify->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    grid->addWidget(cmdVerify, 2, 1);
    grid->addWidget(cmdClose, 2, 2);

    connect(cmdVerify, &QPushButton::clicked, this, &frmPaypalVerify::cmdVerify_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    // Enter verifies an address; in an empty box it does nothing.
    connect(txtPaypalIn, &QLineEdit::returnPressed, this, [this] {
        if (!txtPaypalIn->text().isEmpty())
            cmdVerify_Click();
    });
}

frmPaypalVerify::~frmPaypalVerify() = default;

void frmPaypalVerify::cmdVerify_Click()
{
    if (m_firstUse) {
        std::unique_ptr<IBrowserSession> window = m_ctx.browser.createSession();
        window->navigate(QUrl(u"http://" + m_ctx.hotmailHost));
        window->show();
        window->release();
        m_windows.push_back(std::move(window));
        m_firstUse = false;
    }
    const QString address = txtPaypalIn->text().trimmed();
    // Encoded whole, so that a "#", "?" or "+" in the address cannot cut or change the page's.
    if (!address.isEmpty())
        m_ctx.shell.open(
            u"https://" + m_ctx.paypalHost + u"/verified/pal=" + encodeSearchText(address, false));
}

} // namespace th
