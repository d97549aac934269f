#pragma once

#include <memory>
#include <vector>

#include <QObject>
#include <QTimer>

#include "autobid/BidTask.h"

namespace th {

class IBidRecordStore;
class IBrowserFactory;

// Runs any number of bids at once, each in a window of its own (one browser profile for all,
// so the site's sign-in is shared), and sees that each ends in one outcome within its
// deadline. Every ended bid is kept in the store under its item's key and announced.
class BidRunner final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidRunner)

public:
    struct Context {
        IBrowserFactory &browser;
        IClock &clock;
        std::function<BidAccount()> account;
        HostPort itemPage;
        IBidRecordStore *store = nullptr; // none: the outcomes are only announced
    };

    explicit BidRunner(Context context, QObject *parent = nullptr);
    ~BidRunner() override;

    // Starts a bid in a new window; no other bid is touched. A real or automatic bid without an
    // account, or one whose window cannot be opened, ends at once as not started. Returns the
    // bid's serial number.
    quint64 start(const BidOrder &order);
    // The item left the watch list: its bids stop before they send anything more.
    void itemRemoved(const QString &item);
    // Ends every bid whose deadline has passed. Runs every second while bids run.
    void checkDeadlines();

    int runningCount() const { return int(m_running.size()); }
    // The running bid of that serial number; null once it has ended.
    BidTask *task(quint64 serial) const;

Q_SIGNALS:
    void bidStarted(const BidRecord &record);
    // The bid form or the sign-in was sent.
    void bidProgressed(const BidRecord &record);
    void bidEnded(const BidRecord &record);

private:
    void onEnded(BidTask *task, const BidRecord &record);

    Context m_ctx;
    std::vector<std::unique_ptr<BidTask>> m_running;
    quint64 m_serial = 0;
    QTimer m_deadlineTimer;
};

} // namespace th
