#pragma once

#include <array>
#include <functional>

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QString>

namespace th {

// The rows of the watch list: per row the item number (the row text), eleven sub-items,
// a tag and an icon index. The row order is the list order that the update engine
// addresses by position; rows move only when the program sorts, never when a cell is
// written.
class WatchListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WatchListModel)

public:
    // Sub-item indexes, as every reader and writer addresses them.
    enum SubItem {
        ItemNumber = 0,
        ItemName = 1,
        Bids = 2,
        Price = 3,
        Reserve = 4,
        TimeRemaining = 5,
        EndDate = 6,
        SellerRating = 7,
        EndDate2 = 8, // hidden sort key: the end date-time in the program's own text
        BuyItNow = 9,
        Quantity = 10,
        Unused = 11,
        SubItemCount = 12,
    };
    // Row icons of the small image list, by index.
    enum Icon {
        IconBlank = 1,
        IconUp = 2,
        IconLightning = 3,
        IconHammer = 4,
        IconHammerFail = 5,
        IconHammerWin = 6
    };

    struct Column {
        QString key;
        QString caption;
        int widthTwips = 0;
        Qt::Alignment alignment = Qt::AlignLeft;
        int subItem = 0;
    };

    explicit WatchListModel(QObject *parent = nullptr);
    ~WatchListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    const QList<Column> &columns() const { return m_columns; }
    int columnOfKey(const QString &key) const;
    // The columns created with the first fill ("End Date2", "Buy It Now", "Quantity"); they
    // are created with the window, so that rows added to an empty list show them too.
    void ensureRuntimeColumns();

    // Rows, 0-based positions.
    int addRow(const QString &itemText);
    void removeRowAt(int row);
    void clear();
    QString rowText(int row) const;
    QString subItem(int row, int index) const;
    void setSubItem(int row, int index, const QString &text);
    QString tag(int row) const;
    void setTag(int row, const QString &tag);
    int icon(int row) const;
    void setIcon(int row, int icon);
    // Whether the row's auction is over, as its last page said; an ended row is drawn greyed,
    // a won one (its icon) in a colour of its own.
    bool ended(int row) const;
    void setEnded(int row, bool ended);
    // The first row whose trimmed text equals the trimmed `itemText`, or -1.
    int findRow(const QString &itemText) const;

    // The list's own sorting: one stable sort by the hidden end-date text, empty first.
    void switchOwnSortingOn();
    void switchOwnSortingOff() { m_ownSorting = false; }
    bool ownSorting() const { return m_ownSorting; }
    // The end-date order: earliest first, rows without a readable end date before all.
    void sortByEndDate();

Q_SIGNALS:
    // The rows were sorted: `oldRows[i]` is where the row now at position i stood before.
    void rowsReordered(const QList<int> &oldRows);

public:
    // How the view shows icon indexes; the model itself holds only the numbers.
    void setIconProvider(std::function<QIcon(int)> provider) { m_iconProvider = std::move(provider); }

private:
    struct Row {
        QString text;
        std::array<QString, SubItemCount> sub; // [0] unused: the row text stands there
        QString tag;
        int icon = IconBlank;
        bool ended = false;
    };
    // Sorts the rows stably; `less` compares two row positions of the order before the sort.
    template<typename Less> void stableSort(Less less);

    QList<Column> m_columns;
    QList<Row> m_rows;
    bool m_ownSorting = false;
    std::function<QIcon(int)> m_iconProvider;
};

} // namespace th
