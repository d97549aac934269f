#include "platform_gui/WidgetPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace th {

namespace {

QMessageBox::Icon toIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::CopyAddressClose:
        return QMessageBox::Close;
    }
    return QMessageBox::Ok;
}

QWidget *dialogParent()
{
    QWidget *active = QApplication::activeWindow();
    return active && active->isVisible() ? active : nullptr;
}

} // namespace

PromptAnswer WidgetPrompter::message(
    const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons)
{
    QMessageBox box(toIcon(icon), title, text, toButtons(buttons), dialogParent());
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton *copy = nullptr;
    if (buttons == PromptButtons::CopyAddressClose) {
        copy = box.addButton(QStringLiteral("&Copy Address"), QMessageBox::AcceptRole);
        box.setDefaultButton(copy);
        box.setEscapeButton(QMessageBox::Close);
        // The address in the text can be selected too.
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    const int result = box.exec();
    if (copy)
        return box.clickedButton() == copy ? PromptAnswer::Copy : PromptAnswer::Ok;
    switch (result) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        // Closing a box that has no Cancel button counts as its only or default answer.
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
}

std::optional<QString> WidgetPrompter::input(
    const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text
        = QInputDialog::getText(dialogParent(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString WidgetPrompter::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(dialogParent(), title, folder, filter);
}

QString WidgetPrompter::existingFolder(const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(dialogParent(), title, folder);
}

QString WidgetPrompter::saveFileName(const QString &title, const QString &suggested, const QString &filter)
{
    return QFileDialog::getSaveFileName(dialogParent(), title, suggested, filter);
}

} // namespace th
