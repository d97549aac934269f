#include "platform/CheckedShell.h"

#include "common/Version.h"
#include "platform/IPrompter.h"
#include "platform/IWebBrowserCheck.h"

namespace th {

namespace {

bool isWebAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(u"http://", Qt::CaseInsensitive)
        || trimmed.startsWith(u"https://", Qt::CaseInsensitive);
}

} // namespace

CheckedShell::CheckedShell(std::unique_ptr<IShell> desktop, std::unique_ptr<IWebBrowserCheck> browserCheck,
    IPrompter &prompter, std::function<void(const QString &)> copyToClipboard)
    : m_desktop(std::move(desktop))
    , m_browserCheck(std::move(browserCheck))
    , m_prompter(prompter)
    , m_copyToClipboard(std::move(copyToClipboard))
{
}

CheckedShell::~CheckedShell() = default;

QString CheckedShell::unopenedMessage(const QString &address)
{
    return QStringLiteral("This page could not be opened, because no web browser is set up to open "
                          "web addresses:\n\n%1\n\nCopy the address and paste it into a web browser, "
                          "or choose a default web browser in the desktop's settings.")
        .arg(address);
}

bool CheckedShell::open(const QString &addressOrFile)
{
    if (!isWebAddress(addressOrFile))
        return m_desktop->open(addressOrFile);
    if (m_browserCheck->httpHandler() == IWebBrowserCheck::Answer::Missing) {
        reportUnopened(addressOrFile);
        return false;
    }
    if (m_desktop->open(addressOrFile))
        return true;
    reportUnopened(addressOrFile);
    return false;
}

void CheckedShell::reportUnopened(const QString &address)
{
    const PromptAnswer answer = m_prompter.message(unopenedMessage(address),
        QString::fromLatin1(kProgramTitle), PromptIcon::Exclamation, PromptButtons::CopyAddressClose);
    if (answer == PromptAnswer::Copy && m_copyToClipboard)
        m_copyToClipboard(address);
}

} // namespace th
