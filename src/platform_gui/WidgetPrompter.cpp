#include "platform_gui/WidgetPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
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
    case PromptButtons::YesNoDefaultNo:
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

int messageBoxTitleWidth(const QString &title, const QFont &font)
{
    // Window managers draw titles in a bold face, and put the window's icon and two or
    // three buttons beside it.
    QFont frameFont = font;
    frameFont.setBold(true);
    const QFontMetrics metrics(frameFont);
    constexpr int kFrameControlsInLines = 8;
    return metrics.horizontalAdvance(title) + kFrameControlsInLines * metrics.height();
}

std::unique_ptr<QMessageBox> createMessageBox(
    const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(toIcon(icon), title, text, toButtons(buttons), parent);
    box->setWindowModality(Qt::ApplicationModal);
    if (buttons == PromptButtons::CopyAddressClose) {
        box->setDefaultButton(box->addButton(QStringLiteral("&Copy Address"), QMessageBox::AcceptRole));
        box->setEscapeButton(QMessageBox::Close);
        // The address in the text can be selected too.
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    if (buttons == PromptButtons::YesNoDefaultNo)
        box->setDefaultButton(QMessageBox::No);
    // The box sizes itself to its text alone and the frame cuts a longer title; a spacer
    // across the box's grid keeps it as wide as the title needs.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        grid->addItem(new QSpacerItem(messageBoxTitleWidth(title, box->font()), 0, QSizePolicy::Minimum,
                          QSizePolicy::Minimum),
            grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

std::unique_ptr<QInputDialog> createInputDialog(
    const QString &prompt, const QString &title, const QString &defaultText, QWidget *parent)
{
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setWindowTitle(title);
    dialog->setLabelText(prompt);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(defaultText);
    // The dialog's layout sets its size from its controls: the text box carries the width.
    if (auto *edit = dialog->findChild<QLineEdit *>())
        edit->setMinimumWidth(messageBoxTitleWidth(title, dialog->font()));
    return dialog;
}

PromptAnswer WidgetPrompter::message(
    const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons)
{
    const std::unique_ptr<QMessageBox> box = createMessageBox(text, title, icon, buttons, dialogParent());
    const int result = box->exec();
    if (buttons == PromptButtons::CopyAddressClose) {
        // Copy Address is the default button of that box.
        return box->clickedButton() == box->defaultButton() ? PromptAnswer::Copy : PromptAnswer::Ok;
    }
    switch (result) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        // Closing a box that has no Cancel button counts as its only or default answer.
        return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoDefaultNo ? PromptAnswer::No
                                                                                           : PromptAnswer::Ok;
    }
}

std::optional<QString> WidgetPrompter::input(
    const QString &prompt, const QString &title, const QString &defaultText)
{
    const std::unique_ptr<QInputDialog> dialog
        = createInputDialog(prompt, title, defaultText, dialogParent());
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog->textValue();
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
