#pragma once

#include "platform/IPrompter.h"

namespace th {

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
