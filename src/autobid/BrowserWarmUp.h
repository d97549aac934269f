#pragma once

#include <functional>
#include <optional>

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include "common/HostPort.h"

namespace th {

class IBrowserFactory;
class IBrowserSession;
class IClock;
class WatchItems;

// Starts the browser ahead of the first armed automatic bid, so that no bid waits for the web
// engine to start: once the earliest armed bid's moment is at most two minutes away, the
// browser is warmed up and its hidden page loads the auction site's sign-in page. A sign-in
// page without a password field is told at once, minutes before a bid would have failed on
// it. While no bid is armed nothing of the browser starts. After the computer has slept, the
// next armed moment warms it up again.
class BrowserWarmUp final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserWarmUp)

public:
    static constexpr int kAheadSeconds = 120;

    struct Context {
        IBrowserFactory &browser;
        IClock &clock;
        HostPort itemPage;
        // The earliest moment an armed automatic bid will fire; none while no bid is armed.
        std::function<std::optional<QDateTime>()> firstArmedMoment;
    };

    explicit BrowserWarmUp(Context context, QObject *parent = nullptr);

    // Warms up when the first armed moment is near. Runs every few seconds.
    void check();
    // The computer woke up: the next check near an armed moment warms up anew.
    void resumed();
    bool isWarm() const { return m_warm; }

    // The earliest fire moment among the armed automatic bids of `records` that have not fired.
    static std::optional<QDateTime> firstArmedMoment(const WatchItems &records);

Q_SIGNALS:
    // The sign-in page loaded but has no sign-in form to fill; `message` says so to the user.
    void signInPageChanged(const QString &message);

private:
    void onSignInPage(const QUrl &url, bool topLevel);

    Context m_ctx;
    QTimer m_timer;
    IBrowserSession *m_page = nullptr;
    bool m_warm = false;
};

} // namespace th
