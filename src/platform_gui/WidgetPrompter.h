#pragma once

#include <memory>

#include "platform/IPrompter.h"

class QFont;
class QInputDialog;
class QMessageBox;
class QWidget;

namespace th {

// The width a box needs to show `title` whole in its window frame: the title in the
// frame's bold face of `font`, plus room for the frame's icon and buttons.
int messageBoxTitleWidth(const QString &title, const QFont &font);

// The message box of message(), not yet shown: its buttons, default button, and a width
// that shows its whole title.
std::unique_ptr<QMessageBox> createMessageBox(
    const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons, QWidget *parent);

// The input box of input(), not yet shown, as wide as its whole title needs.
std::unique_ptr<QInputDialog> createInputDialog(
    const QString &prompt, const QString &title, const QString &defaultText, QWidget *parent);

// Message boxes, input boxes and file dialogs as real modal windows.
class WidgetPrompter final : public IPrompter {
public:
    PromptAnswer message(
        const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons) override;
    std::optional<QString> input(
        const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString existingFolder(const QString &title, const QString &folder) override;
    QString saveFileName(const QString &title, const QString &suggested, const QString &filter) override;
};

} // namespace th
