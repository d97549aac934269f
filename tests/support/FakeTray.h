#pragma once

#include <QStringList>

#include "platform/ITray.h"

namespace th::test {

// A notification area that exists (unless told otherwise) and records what it shows.
class FakeTray final : public ITray {
    Q_OBJECT

public:
    using ITray::ITray;

    bool isAvailable() const override { return available; }
    void add(const QIcon &icon, const QString &text) override
    {
        shown = true;
        currentIcon = icon;
        tip = cutTip(text);
        ++adds;
    }
    void modify(const QIcon &icon, const QString &text) override
    {
        currentIcon = icon;
        tip = cutTip(text);
        ++modifications;
    }
    void remove() override
    {
        shown = false;
        ++removals;
    }
    bool isShown() const override { return shown; }
    void setContextMenu(QMenu *m) override { menu = m; }
    void showMessage(const QString &title, const QString &text) override
    {
        messages.append(title + u'|' + text);
    }

    // What the user does with the icon.
    void doubleClick() { Q_EMIT doubleClicked(); }
    void requestMenu(const QPoint &at = QPoint(100, 100)) { Q_EMIT contextMenuRequested(at); }
    // The desktop's notification area comes or goes.
    void setAvailable(bool on)
    {
        available = on;
        Q_EMIT availabilityChanged(on);
    }

    bool available = true;
    bool shown = false;
    QIcon currentIcon;
    QString tip;
    QMenu *menu = nullptr;
    int adds = 0;
    int modifications = 0;
    int removals = 0;
    // Every message shown, as "title|text".
    QStringList messages;
};

} // namespace th::test
