#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;

namespace th {

// The program's icon in the desktop's notification area.
class ITray : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // The longest tip the notification area shows; longer tips are cut.
    static constexpr int kMaxTipLength = 63;

    // Whether the desktop has a notification area at all.
    virtual bool isAvailable() const = 0;
    // Adds the icon (cutting the tip), changes it, removes it.
    virtual void add(const QIcon &icon, const QString &tip) = 0;
    virtual void modify(const QIcon &icon, const QString &tip) = 0;
    virtual void remove() = 0;
    virtual bool isShown() const = 0;
    // The menu the desktop may show by itself on a context request; the program also
    // opens it on contextMenuRequested.
    virtual void setContextMenu(QMenu *menu) = 0;
    // A passing message beside the icon (a balloon); the icon and its tip stay as they are.
    virtual void showMessage(const QString &title, const QString &text) = 0;

    static QString cutTip(const QString &tip) { return tip.left(kMaxTipLength); }

Q_SIGNALS:
    // A double click (or a single activation where the desktop reports nothing else).
    void doubleClicked();
    // A request for the menu at the given screen position.
    void contextMenuRequested(const QPoint &globalPos);
    // The notification area appeared or went away while the program runs (a panel restarted,
    // an applet removed). An icon added before shows again by itself once it is back.
    void availabilityChanged(bool available);
};

} // namespace th
