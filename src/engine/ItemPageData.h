#pragma once

#include <array>

#include <QLatin1String>
#include <QString>
#include <QStringList>

namespace th {

// The twenty text fields read from one item page, indexed 1 to 20 as the rest of the engine
// counts them. Every field starts empty; flags hold "True" or "False" (or stay empty where the
// parse stopped before them). Values keep the page's own spelling and case: deciding what a
// field means is the caller's business, not the page reader's.
class ItemPageData final {
public:
    enum Field : int {
        Title = 1,
        BidCount = 2,
        CurrentBid = 3,
        IsFixedPrice = 4,
        IsEnded = 5,
        IsNotFound = 6,
        HasBuyItNow = 7,
        BuyItNowPrice = 8,
        ReserveStatus = 9,
        StartingBid = 10,
        Quantity = 11,
        TimeLeft = 12,
        Location = 13,
        Country = 14,
        StartedText = 15,
        EndsText = 16,
        SellerId = 17,
        SellerRating = 18,
        HighBidder = 19,
        BidIncrement = 20,
    };
    static constexpr int FirstField = 1;
    static constexpr int LastField = 20;
    static constexpr int FieldCount = 20;

    // The texts the flag fields hold; callers compare them as text.
    static constexpr QLatin1String TrueText { "True" };
    static constexpr QLatin1String FalseText { "False" };

    // index runs from 1 to 20.
    const QString &operator[](int index) const
    {
        Q_ASSERT(index >= FirstField && index <= LastField);
        return m_fields[std::size_t(index - FirstField)];
    }
    QString &operator[](int index)
    {
        Q_ASSERT(index >= FirstField && index <= LastField);
        return m_fields[std::size_t(index - FirstField)];
    }

    // The twenty fields in order, field 1 first.
    QStringList toList() const { return QStringList(m_fields.cbegin(), m_fields.cend()); }

    friend bool operator==(const ItemPageData &, const ItemPageData &) = default;

private:
    std::array<QString, FieldCount> m_fields;
};

} // namespace th
