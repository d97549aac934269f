#include "app/BidReports.h"

#include "app/UserNotifier.h"
#include "app/frmWatch.h"
#include "autobid/AutoBidLog.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidLogModel.h"
#include "autobid/BidRecordStore.h"
#include "autobid/BidRunner.h"
#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/ItemNumber.h"
#include "engine/UpdateEngine.h"
#include "platform/IClock.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

namespace th {

BidReports::BidReports(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
    , m_runStart(context.clock.now().toMSecsSinceEpoch())
{
    const QList<BidRecord> stored = m_ctx.records.loadBidRecords();
    m_ctx.log.addStored(stored);
    for (const BidRecord &record : stored) {
        if (record.finished())
            m_lastOutcome.insert(record.item, bidOutcomeSentence(record));
    }
    BidLogModel *log = &m_ctx.log;
    connect(&m_ctx.runner, &BidRunner::bidStarted, log, &BidLogModel::showBid);
    connect(&m_ctx.runner, &BidRunner::bidProgressed, log, &BidLogModel::showBid);
    connect(&m_ctx.runner, &BidRunner::bidEnded, this, &BidReports::onBidEnded);
    connect(&m_ctx.trigger, &AutoBidTrigger::groupMemberNoted, this, &BidReports::onGroupMemberNoted);
    connect(&m_ctx.engine, &UpdateEngine::passFinished, this, &BidReports::tellAuctionEnds);
    // A group member's result is read by a single-item update soon after its end.
    connect(&m_ctx.engine, &UpdateEngine::oneItemUpdated, this, &BidReports::tellAuctionEnds);
}

void BidReports::onGroupMemberNoted(const BidRecord &record, bool tellUser)
{
    m_ctx.log.showBid(record);
    m_ctx.records.saveBidRecord(record);
    const QString sentence = bidOutcomeSentence(record);
    m_lastOutcome.insert(record.item, sentence);
    qCInfo(lcAutoBid, "%s", qPrintable(sentence));
    m_ctx.window.setStatusPanelWithTip(1, sentence);
    if (m_ctx.window.selectedItem().trimmed() == record.item)
        m_ctx.window.setListToolTip(sentence);
    if (record.outcome != BidOutcome::Cancelled)
        return;
    m_notPlaced.insert(record.item, record.message);
    // The row shows no automatic bid any more, as after "Remove Auto-Bid".
    if (const int row = m_ctx.model.findRow(record.item); row >= 0)
        m_ctx.model.setIcon(row, WatchListModel::IconBlank);
    if (tellUser)
        m_ctx.notifier.tellUser(sentence);
}

void BidReports::onBidEnded(const BidRecord &record)
{
    m_ctx.log.showBid(record);
    const QString sentence = bidOutcomeSentence(record);
    m_lastOutcome.insert(record.item, sentence);
    if (record.kind == BidKind::Automatic) {
        const bool reachedSite = record.outcome == BidOutcome::Placed || record.outcome == BidOutcome::Outbid;
        if (reachedSite)
            m_notPlaced.remove(record.item);
        else
            m_notPlaced.insert(record.item,
                bidOutcomeText(record.outcome.value_or(BidOutcome::Unknown))
                    + (record.message.isEmpty() ? QString() : u": " + record.message));
    }
    if (record.outcome == BidOutcome::Placed || record.outcome == BidOutcome::FilledIn)
        qCInfo(lcAutoBid, "%s", qPrintable(sentence));
    else
        qCWarning(lcAutoBid, "%s", qPrintable(sentence));
    m_ctx.window.setStatusPanelWithTip(1, sentence);
    if (m_ctx.window.selectedItem().trimmed() == record.item)
        m_ctx.window.setListToolTip(sentence);
    // Nobody may be at the window when an automatic bid ends: it is said where it is seen.
    if (record.kind == BidKind::Automatic)
        m_ctx.notifier.tellUser(sentence);
    if (record.kind != BidKind::FillIn)
        m_ctx.trigger.restartPeriodicWork();
}

void BidReports::tellAuctionEnds()
{
    const qint64 now = m_ctx.clock.now().toMSecsSinceEpoch();
    for (int i = 1; i <= m_ctx.items.count(); ++i) {
        const WatchItemRecord &record = m_ctx.items.at(i);
        if (record.recMaxAutoBid <= Money {} || !record.recEndDate.isValid()
            || record.recEndDate.instant() < m_runStart)
            continue;
        const QString item = itemNumberText(record.recItemNumber);
        // Until a page read after the end has been applied, the price may not be the last one.
        const int row = m_ctx.model.findRow(item);
        if (row < 0 || !m_ctx.model.ended(row))
            continue;
        const bool won = storedAsWon(m_ctx.store, item);
        const AuctionEnd end { item, record.recTitle.trimmed(),
            secondBoundaries(now, record.recEndDate.instant()) <= 0, won, formatMoney(record.recCurrentPrice),
            m_notPlaced.value(item) };
        if (const std::optional<QString> told = m_ends.check(end)) {
            qCInfo(lcAutoBid, "%s", qPrintable(*told));
            m_ctx.notifier.tellUser(*told);
        }
    }
}

} // namespace th
