#include "autobid/BidRunner.h"

#include <algorithm>

#include "autobid/BidRecordStore.h"
#include "platform/IBrowserFactory.h"
#include "platform/IBrowserSession.h"
#include "platform/IClock.h"

namespace th {

BidRunner::BidRunner(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
    m_deadlineTimer.setInterval(1000);
    connect(&m_deadlineTimer, &QTimer::timeout, this, &BidRunner::checkDeadlines);
}

BidRunner::~BidRunner() = default;

quint64 BidRunner::start(const BidOrder &order)
{
    const quint64 serial = ++m_serial;
    auto owned = std::make_unique<BidTask>(
        BidTask::Context { m_ctx.clock, m_ctx.account, m_ctx.itemPage }, order, serial);
    BidTask *task = owned.get();
    m_running.push_back(std::move(owned));
    connect(task, &BidTask::progressed, this, &BidRunner::bidProgressed);
    connect(task, &BidTask::ended, this, [this, task](const BidRecord &record) { onEnded(task, record); });
    Q_EMIT bidStarted(task->record());

    const BidAccount account = m_ctx.account ? m_ctx.account() : BidAccount {};
    if (order.kind != BidKind::FillIn && account.user.isEmpty() && account.password.isEmpty()) {
        task->refuse(QStringLiteral("no auction-site account is set (Settings, eBay's Account)"));
        return serial;
    }
    task->start(m_ctx.browser.createSession());
    if (!task->finished() && !m_deadlineTimer.isActive())
        m_deadlineTimer.start();
    return serial;
}

void BidRunner::itemRemoved(const QString &item)
{
    const QString number = item.trimmed();
    // Ending a bid removes it from the running ones: walk a copy.
    std::vector<BidTask *> tasks;
    for (const auto &task : m_running)
        tasks.push_back(task.get());
    for (BidTask *task : tasks) {
        if (task->item() == number)
            task->itemRemoved();
    }
}

void BidRunner::checkDeadlines()
{
    std::vector<BidTask *> tasks;
    for (const auto &task : m_running)
        tasks.push_back(task.get());
    for (BidTask *task : tasks)
        task->checkDeadline();
    closeEndedWindows();
}

void BidRunner::closeEndedWindows()
{
    const QDateTime now = m_ctx.clock.now();
    std::erase_if(m_closing, [&now](ClosingWindow &closing) {
        // A touched window is left to the user: the session lets go of it, the window stays.
        if (closing.window->userTouched())
            return true;
        if (now < closing.closeAt)
            return false;
        closing.window->close();
        return true;
    });
    if (m_running.empty() && m_closing.empty())
        m_deadlineTimer.stop();
}

BidTask *BidRunner::task(quint64 serial) const
{
    const auto found = std::find_if(m_running.begin(), m_running.end(),
        [serial](const std::unique_ptr<BidTask> &task) { return task->record().serial == serial; });
    return found == m_running.end() ? nullptr : found->get();
}

void BidRunner::onEnded(BidTask *task, const BidRecord &record)
{
    const auto found = std::find_if(m_running.begin(), m_running.end(),
        [task](const std::unique_ptr<BidTask> &owned) { return owned.get() == task; });
    if (found != m_running.end()) {
        // The bid may be ending inside its own window's signal: it goes once that is over.
        if (record.kind == BidKind::Automatic) {
            if (std::unique_ptr<IBrowserSession> window = task->takeWindow())
                m_closing.push_back(
                    { std::move(window), m_ctx.clock.now().addSecs(m_ctx.closeAfterSeconds) });
        }
        found->release()->deleteLater();
        m_running.erase(found);
    }
    if (m_running.empty() && m_closing.empty())
        m_deadlineTimer.stop();
    else if (!m_deadlineTimer.isActive())
        m_deadlineTimer.start();
    if (m_ctx.store)
        m_ctx.store->saveBidRecord(record);
    Q_EMIT bidEnded(record);
}

} // namespace th
