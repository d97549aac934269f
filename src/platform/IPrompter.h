#pragma once

#include <optional>

#include <QString>

namespace th {

enum class PromptIcon { None, Information, Critical, Exclamation, Question };
// CopyAddressClose: a "Copy Address" button (answer Copy) and a "Close" button (answer Ok).
// YesNoDefaultNo: Yes and No with No as the default button, for a question whose Yes is the
// risky answer (Enter answers No).
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, CopyAddressClose, YesNoDefaultNo };
enum class PromptAnswer { Ok, Cancel, Yes, No, Copy };

// Every message box, input box and file dialog of the program. Each call is modal: it
// returns only when the user has answered, and other events (timers, sockets) go on
// running meanwhile, so a caller must look its rows and objects up again afterwards.
class IPrompter {
public:
    virtual ~IPrompter() = default;

    // A message box with the exact text, title, icon and buttons.
    virtual PromptAnswer message(
        const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons)
        = 0;

    // An input box; nothing when the user cancels.
    virtual std::optional<QString> input(
        const QString &prompt, const QString &title, const QString &defaultText)
        = 0;

    // An open-file dialog; an empty path when the user cancels. `filter` is in the
    // "Description (*.ext)" form, entries separated by ";;".
    virtual QString openFileName(const QString &title, const QString &folder, const QString &filter) = 0;

    // A folder chooser; an empty path when the user cancels.
    virtual QString existingFolder(const QString &title, const QString &folder) = 0;

    // A save-file dialog that starts at `suggested` (a folder and a file name) and asks
    // before an existing file is replaced; an empty path when the user cancels. `filter` as
    // for openFileName.
    virtual QString saveFileName(const QString &title, const QString &suggested, const QString &filter) = 0;
};

} // namespace th
