#pragma once

#include <functional>

#include <QList>
#include <QQueue>

#include "platform/IPrompter.h"

namespace th::test {

// Answers every prompt at once from a script and records what was shown.
class FakePrompter final : public IPrompter {
public:
    enum class Kind { Message, Input, OpenFile, Folder, SaveFile };
    struct Shown {
        Kind kind = Kind::Message;
        QString text;
        QString title;
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
        QString defaultText; // input boxes; the folder (the suggested file to save) for file dialogs
        QString filter; // open-file and save-file dialogs
    };

    // Queued answers; when none is queued a message box answers Ok (Yes for Yes/No, No when
    // No is the default), an input box and a file dialog are cancelled.
    void queueAnswer(PromptAnswer answer) { m_answers.enqueue(answer); }
    void queueInput(std::optional<QString> text) { m_inputs.enqueue(std::move(text)); }
    void queueFile(QString path) { m_files.enqueue(std::move(path)); }
    // Runs inside the next prompt, as if the user did something while the box was open.
    void whileOpen(std::function<void()> action) { m_whileOpen.enqueue(std::move(action)); }

    const QList<Shown> &shown() const { return m_shown; }
    Shown last() const { return m_shown.isEmpty() ? Shown {} : m_shown.last(); }
    void clear() { m_shown.clear(); }

    PromptAnswer message(
        const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons) override
    {
        m_shown.append({ Kind::Message, text, title, icon, buttons, {}, {} });
        runWhileOpen();
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        if (buttons == PromptButtons::YesNoDefaultNo)
            return PromptAnswer::No;
        return (buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel) ? PromptAnswer::Yes
                                                                                          : PromptAnswer::Ok;
    }

    std::optional<QString> input(
        const QString &prompt, const QString &title, const QString &defaultText) override
    {
        m_shown.append(
            { Kind::Input, prompt, title, PromptIcon::None, PromptButtons::OkCancel, defaultText, {} });
        runWhileOpen();
        return m_inputs.isEmpty() ? std::nullopt : m_inputs.dequeue();
    }

    QString openFileName(const QString &title, const QString &folder, const QString &filter) override
    {
        m_shown.append(
            { Kind::OpenFile, {}, title, PromptIcon::None, PromptButtons::OkCancel, folder, filter });
        runWhileOpen();
        return m_files.isEmpty() ? QString() : m_files.dequeue();
    }

    QString existingFolder(const QString &title, const QString &folder) override
    {
        m_shown.append({ Kind::Folder, {}, title, PromptIcon::None, PromptButtons::OkCancel, folder, {} });
        runWhileOpen();
        return m_files.isEmpty() ? QString() : m_files.dequeue();
    }

    QString saveFileName(const QString &title, const QString &suggested, const QString &filter) override
    {
        m_shown.append(
            { Kind::SaveFile, {}, title, PromptIcon::None, PromptButtons::OkCancel, suggested, filter });
        runWhileOpen();
        return m_files.isEmpty() ? QString() : m_files.dequeue();
    }

private:
    void runWhileOpen()
    {
        if (!m_whileOpen.isEmpty())
            m_whileOpen.dequeue()();
    }

    QList<Shown> m_shown;
    QQueue<PromptAnswer> m_answers;
    QQueue<std::optional<QString>> m_inputs;
    QQueue<QString> m_files;
    QQueue<std::function<void()>> m_whileOpen;
};

} // namespace th::test
