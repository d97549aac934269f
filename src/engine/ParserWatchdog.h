#pragma once

#include <functional>
#include <optional>

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace th {

class ItemPageData;

// True when the page reader got nothing out of an answered page: no title, or no price on an
// item the page does not call ended. A page saying that the item is not found is a real
// answer of the site and reads as such.
bool pageReadEmpty(const ItemPageData &page);

// Notices when the site's pages stop reading: after an all-items pass in which at least half
// of the answered pages, and at least kMinimumEmpty, read empty, the site has most likely
// changed its pages. Only answered pages count: an item that got no page (no connection, no
// answer, a server error) says nothing about the reader.
class ParserWatchdog final {
public:
    static constexpr int kMinimumEmpty = 3;

    struct Report {
        int answered = 0;
        int empty = 0;
        // Armed automatic bids whose pages read empty, in the order their pages came, each
        // with the title the item had before its page stopped reading (empty when unknown).
        QList<std::pair<QString, QString>> armedItems;
        // Whether the user has been told of this already in an earlier pass.
        bool toldBefore = false;
    };

    // A new pass: what earlier passes answered is forgotten.
    void passStarted();
    // An answered page of `item`; an item answered twice in a pass counts with its last page.
    // `knownTitle` is the title the list showed for the item before this page.
    void pageAnswered(const QString &item, const ItemPageData &page, const QString &knownTitle);
    // The pass is over. A report while too many pages read empty, with the armed bids among
    // them (`isArmed` tells them); nothing when the pages read.
    std::optional<Report> passEnded(const std::function<bool(const QString &item)> &isArmed);

private:
    QStringList m_order;
    QMap<QString, bool> m_readEmpty;
    // The last title each item's page gave, across passes.
    QMap<QString, QString> m_titles;
    // The armed bids already named since the pages stopped reading.
    std::optional<QSet<QString>> m_named;
};

} // namespace th
