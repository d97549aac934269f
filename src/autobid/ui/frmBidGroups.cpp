#include "autobid/ui/frmBidGroups.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "autobid/BidGroupBook.h"
#include "common/Formats.h"
#include "common/Version.h"
#include "platform/IPrompter.h"
#include "watchlist/WatchItems.h"
#include "widgets/NamedWidgets.h"

namespace th {

namespace {

// As many wins as the automatic-bid dialog allows.
constexpr int kMostWins = 99;
constexpr int kGroupNameRole = Qt::UserRole;

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QString groupLine(const BidGroups &groups, const QString &group)
{
    return QStringLiteral("%1  (win up to %2)").arg(group).arg(groups.limit(group));
}

} // namespace

frmBidGroups::frmBidGroups(Context context, QWidget *parent)
    : QDialog(parent)
    , m_ctx(context)
{
    setObjectName(QStringLiteral("frmBidGroups"));
    setWindowTitle(QString::fromLatin1(kProgramTitle) + u" - Bid Groups");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);

    lblNoGroups = namedLabel(this, "lblNoGroups",
        QStringLiteral("There are no bid groups. To make one, choose \"Set Auto-Bid (Bid Max)\" for an item "
                       "and pick or type a group name in the \"Bid Group\" box."));
    lblNoGroups->setWordWrap(true);

    lstGroups = new QListWidget(this);
    lstGroups->setObjectName(QStringLiteral("lstGroups"));
    lstGroups->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstGroups->setTextElideMode(Qt::ElideRight);
    QLabel *groupsLabel = namedLabel(this, "lblGroups", QStringLiteral("&Groups:"));
    groupsLabel->setBuddy(lstGroups);

    spnWinUpTo = new QSpinBox(this);
    spnWinUpTo->setObjectName(QStringLiteral("spnWinUpTo"));
    spnWinUpTo->setRange(1, kMostWins);
    QLabel *limitLabel = namedLabel(this, "lblWinUpTo", QStringLiteral("&Win up to:"));
    limitLabel->setBuddy(spnWinUpTo);
    lblGroupState = namedLabel(this, "lblGroupState", QString());

    lstMembers = new QTableWidget(0, ColumnCount, this);
    lstMembers->setObjectName(QStringLiteral("lstMembers"));
    lstMembers->setHorizontalHeaderLabels({ QStringLiteral("Item"), QStringLiteral("Title"),
        QStringLiteral("End"), QStringLiteral("Maximum"), QStringLiteral("State") });
    lstMembers->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstMembers->setSelectionMode(QAbstractItemView::SingleSelection);
    lstMembers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstMembers->setTabKeyNavigation(false);
    // One line a member; a long title is cut short in the table and read whole in its tip.
    lstMembers->setWordWrap(false);
    lstMembers->setTextElideMode(Qt::ElideRight);
    lstMembers->verticalHeader()->hide();
    lstMembers->verticalHeader()->setDefaultSectionSize(lstMembers->fontMetrics().height() + 8);
    lstMembers->horizontalHeader()->setSectionResizeMode(Title, QHeaderView::Stretch);
    QLabel *membersLabel = namedLabel(this, "lblMembers", QStringLiteral("&Members:"));
    membersLabel->setBuddy(lstMembers);

    cmdTakeOut = new QPushButton(QStringLiteral("&Take Out"), this);
    cmdTakeOut->setObjectName(QStringLiteral("cmdTakeOut"));
    // Enter never takes a member out: the default is Close.
    cmdTakeOut->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);

    auto *left = new QVBoxLayout;
    left->addWidget(groupsLabel);
    left->addWidget(lstGroups);
    auto *limitRow = new QHBoxLayout;
    limitRow->addWidget(limitLabel);
    limitRow->addWidget(spnWinUpTo);
    limitRow->addSpacing(12);
    limitRow->addWidget(lblGroupState, 1);
    auto *right = new QVBoxLayout;
    right->addLayout(limitRow);
    right->addWidget(membersLabel);
    right->addWidget(lstMembers);
    auto *lists = new QHBoxLayout;
    lists->addLayout(left, 1);
    lists->addLayout(right, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdTakeOut);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblNoGroups);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    connect(lstGroups, &QListWidget::currentRowChanged, this, &frmBidGroups::showMembers);
    connect(spnWinUpTo, &QSpinBox::valueChanged, this, &frmBidGroups::limitChanged);
    connect(lstMembers, &QTableWidget::itemSelectionChanged, this, &frmBidGroups::memberSelected);
    connect(cmdTakeOut, &QPushButton::clicked, this, &frmBidGroups::cmdTakeOut_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_ctx.book, &BidGroupBook::changed, this, &frmBidGroups::refresh);

    refresh();
    resize(720, 320);
}

QString frmBidGroups::shownGroup() const
{
    const QListWidgetItem *current = lstGroups->currentItem();
    return current ? current->data(kGroupNameRole).toString() : QString();
}

void frmBidGroups::showGroup(const QString &group)
{
    for (int row = 0; row < lstGroups->count(); ++row) {
        if (lstGroups->item(row)->data(kGroupNameRole).toString() == group) {
            lstGroups->setCurrentRow(row);
            return;
        }
    }
}

QString frmBidGroups::selectedMember() const
{
    const QList<QTableWidgetItem *> picked = lstMembers->selectedItems();
    return picked.isEmpty() ? QString() : lstMembers->item(picked.first()->row(), Item)->text();
}

void frmBidGroups::refresh()
{
    const QString group = shownGroup();
    const QStringList names = m_ctx.book.groupNames();
    {
        const QSignalBlocker quiet(lstGroups);
        lstGroups->clear();
        for (const QString &name : names) {
            auto *line = new QListWidgetItem(groupLine(m_ctx.book.groups(), name), lstGroups);
            line->setData(kGroupNameRole, name);
            line->setToolTip(line->text());
        }
        const qsizetype kept = names.indexOf(group);
        lstGroups->setCurrentRow(names.isEmpty() ? -1 : int(std::max<qsizetype>(kept, 0)));
    }
    lblNoGroups->setVisible(names.isEmpty());
    showMembers();
}

void frmBidGroups::showMembers()
{
    const QString group = shownGroup();
    const QString member = selectedMember();
    const BidGroups &groups = m_ctx.book.groups();
    {
        const QSignalBlocker quiet(spnWinUpTo);
        spnWinUpTo->setValue(groups.limit(group));
    }
    spnWinUpTo->setEnabled(!group.isEmpty());
    lblGroupState->setText(group.isEmpty() ? QString()
                                           : QStringLiteral("%1 won, %2 awaiting a result")
                                                 .arg(groups.wins(group))
                                                 .arg(groups.unknownResults(group)));

    const QSignalBlocker quiet(lstMembers);
    const QList<GroupMember> members = groups.members(group);
    lstMembers->clearSelection();
    lstMembers->setRowCount(int(members.size()));
    for (int row = 0; row < members.size(); ++row) {
        const GroupMember &m = members.at(row);
        const int index = m_ctx.records.find(m.item.toDouble());
        const WatchItemRecord *record = index > 0 ? &m_ctx.records.at(index) : nullptr;
        lstMembers->setItem(row, Item, cell(m.item));
        QTableWidgetItem *title = cell(record ? record->recTitle : QString());
        title->setToolTip(title->text());
        lstMembers->setItem(row, Title, title);
        lstMembers->setItem(row, End, cell(m.end.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        lstMembers->setItem(row, Maximum, cell(m.maximum > Money {} ? formatMoney(m.maximum) : QString()));
        lstMembers->setItem(row, State, cell(groupMemberStateText(m.state)));
        if (m.item == member)
            lstMembers->selectRow(row);
    }
    lstMembers->resizeColumnToContents(Item);
    lstMembers->resizeColumnToContents(End);
    lstMembers->resizeColumnToContents(Maximum);
    lstMembers->resizeColumnToContents(State);
    memberSelected();
}

void frmBidGroups::limitChanged(int wins)
{
    const QString group = shownGroup();
    if (!group.isEmpty() && !m_ctx.book.setLimit(group, wins))
        m_ctx.prompter.message(
            QStringLiteral("The limit of group \"%1\" could not be stored: it holds for this run only.\n%2")
                .arg(group, m_ctx.book.storeError()),
            QStringLiteral("Bid group not stored"), PromptIcon::Critical, PromptButtons::Ok);
}

void frmBidGroups::memberSelected()
{
    const GroupMember *member = m_ctx.book.groups().member(selectedMember());
    cmdTakeOut->setEnabled(member && member->state == GroupMemberState::Armed);
}

void frmBidGroups::cmdTakeOut_Click()
{
    const QString item = selectedMember();
    const GroupMember *member = m_ctx.book.groups().member(item);
    if (!member || member->state != GroupMemberState::Armed)
        return;
    const QString group = member->group;
    if (m_ctx.prompter.message(
            QStringLiteral("Take item %1 out of group \"%2\"? Its automatic bid stays set.").arg(item, group),
            QStringLiteral("Take Out of Bid Group"), PromptIcon::Question, PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return;
    // The member may have fired while the question was open.
    member = m_ctx.book.groups().member(item);
    if (member && member->state == GroupMemberState::Armed && member->group == group
        && !m_ctx.book.takeOut(item))
        m_ctx.prompter.message(
            QStringLiteral(
                "Item %1 could not be taken out of group \"%2\": the store did not take the change.\n%3")
                .arg(item, group, m_ctx.book.storeError()),
            QStringLiteral("Bid group not stored"), PromptIcon::Critical, PromptButtons::Ok);
}

} // namespace th
