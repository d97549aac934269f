#pragma once

#include <algorithm>
#include <memory>

#include <QList>
#include <QStringList>

#include "platform/IBrowserFactory.h"

namespace th::test {

// A browser window whose pages are scripted by the test: the test loads a page (its forms'
// element names) and announces its completion; the fake records every value set and every
// form submitted.
class FakeBrowserSession final : public IBrowserSession {
    Q_OBJECT

public:
    struct Action {
        enum Kind { Navigate, Show, Release, SetValue, Submit, Close } kind;
        int form = -1;
        int element = -1;
        QString text; // URL or value
    };

    void navigate(const QUrl &url) override
    {
        actions.append(Action { Action::Navigate, -1, -1, url.toString() });
    }
    void show() override
    {
        visible = true;
        inFront = true;
        actions.append(Action { Action::Show });
    }
    void showWithoutFocus() override
    {
        visible = true;
        actions.append(Action { Action::Show });
    }
    void release() override
    {
        released = true;
        actions.append(Action { Action::Release });
    }
    void close() override
    {
        closed = true;
        actions.append(Action { Action::Close });
        if (closeCount)
            ++*closeCount;
    }
    bool userTouched() const override { return touched; }
    int formCount() const override { return int(forms.size()); }
    int elementCount(int form) const override
    {
        return form >= 0 && form < forms.size() ? int(forms[form].size()) : -1;
    }
    QString elementName(int form, int element) const override
    {
        if (elementCount(form) <= element || element < 0)
            return {};
        return forms[form][element];
    }
    bool setElementValue(int form, int element, const QString &value) override
    {
        if (elementCount(form) <= element || element < 0)
            return false;
        actions.append(Action { Action::SetValue, form, element, value });
        return true;
    }
    bool submitForm(int form) override
    {
        if (form < 0 || form >= forms.size())
            return false;
        actions.append(Action { Action::Submit, form, -1, {} });
        return true;
    }

    QUrl formAction(int form) const override
    {
        if (form < 0 || form >= forms.size())
            return {};
        return form < formTargets.size() && !formTargets[form].isEmpty() ? formTargets[form] : pageUrl;
    }
    QString documentTitle() const override { return title; }
    QString documentText() const override { return text; }

    // The test's side: a page with these forms has finished loading. A form without a target
    // of its own posts to the page's address.
    void complete(const QUrl &url, const QList<QStringList> &pageForms, bool topLevel = true,
        const QList<QUrl> &targets = {})
    {
        if (topLevel) {
            pageUrl = url;
            forms = pageForms;
            formTargets = targets;
            title.clear();
            text.clear();
        }
        Q_EMIT documentComplete(url, topLevel);
    }
    // A page without forms, read for what it says.
    void answer(const QUrl &url, const QString &pageTitle, const QString &pageText)
    {
        pageUrl = url;
        forms.clear();
        formTargets.clear();
        title = pageTitle;
        text = pageText;
        Q_EMIT documentComplete(url, true);
    }
    void fail(const QUrl &url, const QString &reason) { Q_EMIT loadFailed(url, reason); }
    void closeWindow() { Q_EMIT windowClosed(); }

    bool submitted() const
    {
        return std::any_of(
            actions.begin(), actions.end(), [](const Action &a) { return a.kind == Action::Submit; });
    }
    int submitCount() const
    {
        return int(std::count_if(
            actions.begin(), actions.end(), [](const Action &a) { return a.kind == Action::Submit; }));
    }

    QUrl pageUrl;
    QList<QStringList> forms;
    QList<QUrl> formTargets;
    QString title;
    QString text;
    QList<Action> actions;
    bool visible = false;
    bool inFront = false; // shown with the focus, in front of the other windows
    bool released = false;
    bool closed = false;
    // Counts closes where the test can still read it once the session is gone.
    int *closeCount = nullptr;
    // The test's side: the user has clicked or typed in the window.
    bool touched = false;
};

// Hands out fake sessions and keeps a pointer to each for the test.
class FakeBrowserFactory final : public IBrowserFactory {
public:
    std::unique_ptr<IBrowserSession> createSession() override
    {
        if (refuse)
            return nullptr;
        auto session = std::make_unique<FakeBrowserSession>();
        session->closeCount = &closes;
        sessions.append(session.get());
        return session;
    }
    IBrowserSession *warmUp() override
    {
        ++warmUps;
        if (refuse)
            return nullptr;
        if (!hidden)
            hidden = std::make_unique<FakeBrowserSession>();
        return hidden.get();
    }
    QList<FakeBrowserSession *> sessions;
    // No window can be opened.
    bool refuse = false;
    // The hidden page of the warm-up, once asked for, and how often it was asked for.
    std::unique_ptr<FakeBrowserSession> hidden;
    int warmUps = 0;
    // Windows the program closed.
    int closes = 0;
};

} // namespace th::test
