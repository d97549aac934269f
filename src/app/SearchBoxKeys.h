#pragma once

#include <QObject>
#include <QPointer>

class QAbstractItemView;
class QMouseEvent;

namespace th {

struct WatchWindowUi;

// The keys and clicks of the main window's search box that mean more than the box itself
// knows: Enter searches, Control-Delete takes an entry out of the history, and while the
// history is offered, Enter and a click on the search button still search.
class SearchBoxKeys final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchBoxKeys)

public:
    // The controls must exist when the window starts to use this.
    explicit SearchBoxKeys(const WatchWindowUi &ui, QObject *parent = nullptr);

    // Watches the box and its line; after the window has built them.
    void watchBox();
    // `offered` is the list that offers the history as the user types.
    void watchOffer(QAbstractItemView *offered);

Q_SIGNALS:
    void searchAsked();
    void entryDeleted(const QString &entry);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A press that the offered history took although it was meant for the search button.
    bool searchClickedPastOfferedHistory(const QMouseEvent &press) const;

    const WatchWindowUi &m_ui;
    QPointer<QAbstractItemView> m_offered;
};

} // namespace th
