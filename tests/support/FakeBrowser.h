#pragma once

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
        enum Kind { Navigate, Show, Release, SetValue, Submit } kind;
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
        actions.append(Action { Action::Show });
    }
    void release() override
    {
        released = true;
        actions.append(Action { Action::Release });
    }
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

    // The test's side: a page with these forms has finished loading.
    void complete(const QUrl &url, const QList<QStringList> &pageForms, bool topLevel = true)
    {
        if (topLevel)
            forms = pageForms;
        Q_EMIT documentComplete(url, topLevel);
    }

    QList<QStringList> forms;
    QList<Action> actions;
    bool visible = false;
    bool released = false;
};

// Hands out fake sessions and keeps a pointer to each for the test.
class FakeBrowserFactory final : public IBrowserFactory {
public:
    std::unique_ptr<IBrowserSession> createSession() override
    {
        auto session = std::make_unique<FakeBrowserSession>();
        sessions.append(session.get());
        return session;
    }
    QList<FakeBrowserSession *> sessions;
};

} // namespace th::test
