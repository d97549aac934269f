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
//
// A window stays while its bid runs. Once an automatic bid has ended, its window closes after
// a short while, unless the user has touched it meanwhile: then it is the user's. A real or
// fill-in bid's window is the user's from the start and stays.
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
        // How long an automatic bid's window stays once its outcome is recorded.
        int closeAfterSeconds = kCloseAfterSeconds;
    };
    static constexpr int kCloseAfterSeconds = 30;

    explicit BidRunner(Context context, QObject *parent = nullptr);
    ~BidRunner() override;

    // Starts a bid in a new window; no other bid is touched. A real or automatic bid without an
    // account, or one whose window cannot be opened, ends at once as not started. Returns the
    // bid's serial number.
    quint64 start(const BidOrder &order);
    // The item left the watch list: its bids stop before they send anything more.
    void itemRemoved(const QString &item);
    // Ends every bid whose deadline has passed, and closes the windows of ended automatic bids
    // whose time is up. Runs every second while bids run or windows wait to close.
    void checkDeadlines();

    int runningCount() const { return int(m_running.size()); }
    // Windows of ended automatic bids that will close unless the user touches them.
    int closingCount() const { return int(m_closing.size()); }
    // The running bid of that serial number; null once it has ended.
    BidTask *task(quint64 serial) const;

Q_SIGNALS:
    void bidStarted(const BidRecord &record);
    // The bid form or the sign-in was sent.
    void bidProgressed(const BidRecord &record);
    void bidEnded(const BidRecord &record);

private:
    struct ClosingWindow {
        std::unique_ptr<IBrowserSession> window;
        QDateTime closeAt;
    };

    void onEnded(BidTask *task, const BidRecord &record);
    void closeEndedWindows();

    Context m_ctx;
    std::vector<std::unique_ptr<BidTask>> m_running;
    std::vector<ClosingWindow> m_closing;
    quint64 m_serial = 0;
    QTimer m_deadlineTimer;
};

} // namespace th
