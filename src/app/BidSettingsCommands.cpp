#include "app/BidSettingsCommands.h"

#include "app/frmWatch.h"
#include "autobid/BidGroupBook.h"
#include "autobid/ui/frmBidGroups.h"
#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/Numeric.h"
#include "config/AppSettings.h"
#include "platform/IClock.h"
#include "platform/IPrompter.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

namespace th {

namespace {
const QString kNeutralTip = QStringLiteral("Right click to Update Menu");
} // namespace

BidSettingsCommands::BidSettingsCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    m_ctx.window.offerInListMenu({ WatchCommand::SetAutoBid, WatchCommand::RemoveAutoBid,
        WatchCommand::SetRemarkPrice, WatchCommand::RemoveRemarkPrice, WatchCommand::OpenBidGroups });
    connect(&m_ctx.window, &frmWatch::commandChosen, this, [this](WatchCommand command) {
        switch (command) {
        case WatchCommand::SetAutoBid:
            return mnuSetAutoBid_Click();
        case WatchCommand::RemoveAutoBid:
            return mnuRemoveAutoBid_Click();
        case WatchCommand::SetRemarkPrice:
            return mnuRemarkPrice_Click();
        case WatchCommand::RemoveRemarkPrice:
            return mnuRemoveMaxbid_Click();
        case WatchCommand::OpenBidGroups:
            return mnuBidGroups_Click();
        default:
            return;
        }
    });
}

QString BidSettingsCommands::selectedItem() const
{
    return m_ctx.window.selectedItem();
}

void BidSettingsCommands::setToolTip(const QString &text)
{
    m_ctx.window.setListToolTip(text);
}

WatchItemRecord *BidSettingsCommands::recordOf(const QString &item) const
{
    const int index = m_ctx.records.find(numericValue(item));
    return index > 0 ? &m_ctx.records.at(index) : nullptr;
}

void BidSettingsCommands::mnuSetAutoBid_Click()
{
    if (m_ctx.model.rowCount() == 0)
        return;
    if (m_ctx.settings.EBayID.isEmpty() && m_ctx.settings.EBayPWD.isEmpty()) {
        if (m_ctx.openSettings)
            m_ctx.openSettings();
        if (m_ctx.settings.EBayID.isEmpty() && m_ctx.settings.EBayPWD.isEmpty())
            return;
    }
    const QString item = selectedItem();
    const WatchItemRecord *record = recordOf(item);
    if (record) {
        if (secondBoundaries(m_ctx.clock.now(), record->recEndDate) < 0
            || record->recCurrentPrice <= Money {})
            return; // ended, or no price read yet
    }
    if (item.isEmpty()) {
        m_ctx.prompter.message(QStringLiteral("Please select an Item you wish to have an Auto-Bid"),
            QStringLiteral("Error: Invalid number"), PromptIcon::Critical, PromptButtons::Ok);
        setToolTip(kNeutralTip);
        return;
    }
    // Without its record the dialog would work on another item's; nothing to set then.
    if (!record)
        return;
    const int row = m_ctx.model.findRow(item);
    // The groups as the list and the store hold them now, whatever the book last read.
    m_ctx.groups.reload();
    AutoBidDialogValues values = autoBidDialogValues(item, m_ctx.model.subItem(row, WatchListModel::ItemName),
        m_ctx.model.subItem(row, WatchListModel::Price), record, m_ctx.store);
    values.item = item;
    values.end = record->recEndDate.dateTime();
    values.group = m_ctx.groups.groupOf(item);
    values.groupNames = m_ctx.groups.groupNames();
    values.groups = m_ctx.groups.groups();
    const std::optional<AutoBidEntry> entry = m_ctx.askAutoBid ? m_ctx.askAutoBid(values) : std::nullopt;
    if (!entry)
        return;
    // The list may have been sorted while the dialog was open.
    WatchItemRecord *chosen = recordOf(item);
    const int chosenRow = m_ctx.model.findRow(item);
    if (!chosen || chosenRow < 0)
        return;
    chosen->recMaxAutoBid = entry->amount;
    chosen->recMaxQuantity = entry->quantity;
    chosen->recMaxTimeLeft = entry->seconds;
    const quint64 failedBefore = m_ctx.store.failedWriteCount();
    storeAutoBid(m_ctx.store, item, *chosen);
    m_ctx.model.setIcon(chosenRow, WatchListModel::IconHammer);
    DeleteRegValue(
        m_ctx.store, RegRoot::CurrentUser, itemKeyPath(item), QString::fromUtf16(ItemValue::MaxBid));
    storeGroupChoice(item, *entry);
    if (m_ctx.store.failedWriteCount() != failedBefore)
        tellNotStored(item, *entry);
    // The record again: telling the user about close ends runs a modal box.
    if (const WatchItemRecord *now = recordOf(item); now && now->recMaxAutoBid > Money {})
        setToolTip(autoBidToolTip(*now, m_ctx.groups.groupOf(item)));
    Q_EMIT autoBidChanged(item);
}

void BidSettingsCommands::tellNotStored(const QString &item, const AutoBidEntry &entry)
{
    const QString why = m_ctx.store.lastWriteError();
    // A member's group is what keeps it from winning more than the group allows: armed
    // without it, the bid could win what the user meant never to win.
    if (!entry.group.isEmpty() && m_ctx.groups.groupOf(item) != entry.group) {
        deleteAutoBid(m_ctx.store, item, recordOf(item), /*keepTraces=*/false);
        m_ctx.groups.reload();
        if (const int row = m_ctx.model.findRow(item); row >= 0)
            m_ctx.model.setIcon(row, WatchListModel::IconBlank);
        setToolTip(kNeutralTip);
        m_ctx.prompter.message(
            QStringLiteral("The automatic bid on item %1 was not set: its bid group \"%2\" "
                           "could not be stored, and without it the group's limit could "
                           "not hold the bid back.\n%3")
                .arg(item, entry.group, why),
            QStringLiteral("Auto-Bid not set"), PromptIcon::Critical, PromptButtons::Ok);
        return;
    }
    m_ctx.prompter.message(
        QStringLiteral("The automatic bid on item %1 could not be stored: it holds for this "
                       "run only, and a restart of Tallyhawk loses it.\n%2")
            .arg(item, why),
        QStringLiteral("Auto-Bid not stored"), PromptIcon::Critical, PromptButtons::Ok);
}

void BidSettingsCommands::storeGroupChoice(const QString &item, const AutoBidEntry &entry)
{
    if (!entry.group.isEmpty())
        m_ctx.groups.setLimit(entry.group, entry.groupLimit);
    m_ctx.groups.setGroup(item, entry.group);
    const GroupMember *member = m_ctx.groups.groups().member(item);
    if (!member)
        return;
    const QString warning = m_ctx.groups.groups().closeEndsWarning(*member);
    if (!warning.isEmpty())
        m_ctx.prompter.message(warning, QStringLiteral("Bid group: ends close together"),
            PromptIcon::Exclamation, PromptButtons::Ok);
}

void BidSettingsCommands::mnuRemoveAutoBid_Click()
{
    const QString item = selectedItem();
    const int row = m_ctx.model.findRow(item);
    if (m_ctx.model.rowCount() == 0 || item.isEmpty() || row < 0
        || m_ctx.model.icon(row) < WatchListModel::IconHammer)
        return;
    if (m_ctx.prompter.message(QStringLiteral("Do you want to remove Auto-Bid?"),
            QStringLiteral("Remove Auto-Bid confirmation"), PromptIcon::None, PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return;
    deleteAutoBid(m_ctx.store, item, recordOf(item), /*keepTraces=*/false);
    m_ctx.groups.reload();
    if (const int now = m_ctx.model.findRow(item); now >= 0)
        m_ctx.model.setIcon(now, WatchListModel::IconBlank);
    setToolTip(kNeutralTip);
    Q_EMIT autoBidChanged(item);
}

void BidSettingsCommands::mnuRemarkPrice_Click()
{
    if (m_ctx.model.rowCount() == 0)
        return;
    const QString item = selectedItem();
    const QString key = itemKeyPath(item);
    if (!item.isEmpty()
        && GetRegDword(
               m_ctx.store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::AuctionEndDate), 0)
            != 0) {
        if (m_ctx.prompter.message(
                QStringLiteral("Item is in Auto-Bid, Do you want to remove? and Set a Remark Price instead?"),
                QStringLiteral("Alert: Command Confusion?"), PromptIcon::None, PromptButtons::YesNo)
            != PromptAnswer::Yes)
            return;
        deleteAutoBid(m_ctx.store, item, recordOf(item), /*keepTraces=*/true);
        m_ctx.groups.reload();
        if (const int now = m_ctx.model.findRow(item); now >= 0)
            m_ctx.model.setIcon(now, WatchListModel::IconBlank);
        setToolTip(kNeutralTip);
        Q_EMIT autoBidChanged(item);
    }
    if (item.isEmpty()) {
        m_ctx.prompter.message(QStringLiteral("Please select item you wish to set a reminder note first"),
            QStringLiteral("Error: Invalid number"), PromptIcon::Critical, PromptButtons::Ok);
        setToolTip(kNeutralTip);
        return;
    }
    const std::optional<QString> answer
        = m_ctx.prompter.input(QStringLiteral("Please enter your reminder Max. bid price: "),
            QStringLiteral("Max.Price Reminder"), QStringLiteral("0"));
    if (!answer || answer->isEmpty())
        return;
    const int row = m_ctx.model.findRow(item);
    if (row < 0)
        return; // the item left the list while the box was open
    if (isNumeric(*answer)) {
        SaveRegString(
            m_ctx.store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::MaxBid), answer->trimmed());
        setToolTip(u"Our max bid for this item is: " + formatMoney(Money::fromDouble(numericValue(*answer))));
        m_ctx.model.setIcon(row, WatchListModel::IconLightning);
    } else {
        m_ctx.prompter.message(QStringLiteral("You enter an invalid number. (Numeric only)"),
            QStringLiteral("Error: Invalid number"), PromptIcon::Critical, PromptButtons::Ok);
        m_ctx.model.setIcon(row, WatchListModel::IconBlank);
        setToolTip(kNeutralTip);
    }
}

void BidSettingsCommands::mnuRemoveMaxbid_Click()
{
    const QString item = selectedItem();
    const int row = m_ctx.model.findRow(item);
    if (m_ctx.model.rowCount() == 0 || item.isEmpty() || row < 0
        || m_ctx.model.icon(row) != WatchListModel::IconLightning)
        return;
    if (m_ctx.prompter.message(QStringLiteral("Do you want to remove Max.bid price note?"),
            QStringLiteral("Remove note confirmation"), PromptIcon::None, PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return;
    DeleteRegValue(
        m_ctx.store, RegRoot::CurrentUser, itemKeyPath(item), QString::fromUtf16(ItemValue::MaxBid));
    if (const int now = m_ctx.model.findRow(item); now >= 0)
        m_ctx.model.setIcon(now, WatchListModel::IconBlank);
    setToolTip(kNeutralTip);
}

void BidSettingsCommands::mnuBidGroups_Click()
{
    m_ctx.groups.reload();
    if (!m_groupsWindow) {
        m_groupsWindow = new frmBidGroups(
            frmBidGroups::Context { m_ctx.groups, m_ctx.records, m_ctx.prompter }, &m_ctx.window);
        m_groupsWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_groupsWindow->show();
    m_groupsWindow->raise();
    m_groupsWindow->activateWindow();
}

} // namespace th
