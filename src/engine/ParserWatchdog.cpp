#include "engine/ParserWatchdog.h"

#include "engine/ItemPageData.h"

namespace th {

namespace {
// What the reader gives as the title of a page that has none it can find.
constexpr QLatin1String kNoTitle { "(Info not found)" };
} // namespace

bool pageReadEmpty(const ItemPageData &page)
{
    if (page[ItemPageData::IsNotFound] == ItemPageData::TrueText)
        return false;
    if (page[ItemPageData::Title] == kNoTitle || page[ItemPageData::Title].isEmpty())
        return true;
    return page[ItemPageData::CurrentBid].isEmpty() && page[ItemPageData::IsEnded] != ItemPageData::TrueText;
}

void ParserWatchdog::passStarted()
{
    m_order.clear();
    m_readEmpty.clear();
}

void ParserWatchdog::pageAnswered(const QString &item, const ItemPageData &page, const QString &knownTitle)
{
    const bool empty = pageReadEmpty(page);
    if (!m_readEmpty.contains(item))
        m_order.append(item);
    m_readEmpty.insert(item, empty);
    if (!empty)
        m_titles.insert(item, page[ItemPageData::Title]);
    else if (!m_titles.contains(item) && !knownTitle.isEmpty() && knownTitle != kNoTitle)
        m_titles.insert(item, knownTitle);
}

std::optional<ParserWatchdog::Report> ParserWatchdog::passEnded(
    const std::function<bool(const QString &item)> &isArmed)
{
    Report report;
    report.answered = int(m_order.size());
    for (const QString &item : std::as_const(m_order)) {
        if (!m_readEmpty.value(item))
            continue;
        ++report.empty;
        if (isArmed(item))
            report.armedItems.append({ item, m_titles.value(item) });
    }
    if (report.empty < kMinimumEmpty || report.empty * 2 < report.answered) {
        // The pages read again (or too few answered to tell): a later change is news again.
        if (report.answered > 0)
            m_named.reset();
        return std::nullopt;
    }
    report.toldBefore = m_named.has_value();
    if (!m_named)
        m_named.emplace();
    for (const auto &[item, title] : std::as_const(report.armedItems)) {
        if (!m_named->contains(item)) {
            m_named->insert(item);
            report.toldBefore = false;
        }
    }
    return report;
}

} // namespace th
