#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace th {

class BidGroupBook;
class IPrompter;
class WatchItems;

// "Bid Groups": each group of the list with its "Win up to" limit and its members (item,
// title, end, maximum, state). The limit of the chosen group can be changed and an armed
// member taken out of its group; both are stored at once. It stays open beside the list and
// follows the book as bids fire, results come in and members are cancelled.
class frmBidGroups final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmBidGroups)

public:
    struct Context {
        BidGroupBook &book;
        const WatchItems &records;
        IPrompter &prompter;
    };

    enum MemberColumn { Item, Title, End, Maximum, State, ColumnCount };

    explicit frmBidGroups(Context context, QWidget *parent = nullptr);

    // The group whose members show; "" when there is none.
    QString shownGroup() const;
    void showGroup(const QString &group);
    // The selected member's item; "" for none.
    QString selectedMember() const;

    // Takes the selected member out of its group after the user agrees. Only an armed member
    // can leave: one whose bid fired may still be a win the group has to count.
    void cmdTakeOut_Click();

    QLabel *lblNoGroups = nullptr;
    QListWidget *lstGroups = nullptr;
    QSpinBox *spnWinUpTo = nullptr;
    QLabel *lblGroupState = nullptr;
    QTableWidget *lstMembers = nullptr;
    QPushButton *cmdTakeOut = nullptr;
    QPushButton *cmdClose = nullptr;

private:
    // Reads the book again, keeping the chosen group and member where they still exist.
    void refresh();
    void showMembers();
    void limitChanged(int wins);
    void memberSelected();

    Context m_ctx;
};

} // namespace th
