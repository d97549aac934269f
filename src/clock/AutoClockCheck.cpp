#include "clock/AutoClockCheck.h"

#include <limits>

#include "clock/ClockLog.h"
#include "clock/ClockSync.h"
#include "common/Result.h"
#include "common/Timers.h"

namespace th {

AutoClockCheck::AutoClockCheck(QObject *parent)
    : QObject(parent)
{
    setUpTimer(tmrAutoChkTimeSync, "tmrAutoChkTimeSync", kTickMsecs, true);
    connect(&tmrAutoChkTimeSync, &QTimer::timeout, this, &AutoClockCheck::RunAutoClockCheck);
    wskAtom.setObjectName(QStringLiteral("wskAtom"));
    connect(&wskAtom, &DaytimeQuery::replyReceived, this, [this](const QString &text) {
        if (m_clockSync)
            m_clockSync->applyDaytimeReply(text, true);
    });
}

void AutoClockCheck::attach(ClockSync &clockSync, std::function<bool()> autoAdjustTime)
{
    m_clockSync = &clockSync;
    m_autoAdjustTime = std::move(autoAdjustTime);
    connect(&clockSync, &ClockSync::clockCorrectionRefused, this, &AutoClockCheck::onCorrectionRefused);
}

void AutoClockCheck::RunAutoClockCheck()
{
    if (!m_clockSync || !m_autoAdjustTime || !m_autoAdjustTime()) {
        lngAutoChkTimeSyncCnt = 0;
        return;
    }
    // A 32-bit count would need 680 years of ticks to overflow; it stops at the top anyway.
    if (lngAutoChkTimeSyncCnt < std::numeric_limits<qint32>::max())
        ++lngAutoChkTimeSyncCnt;
    if (lngAutoChkTimeSyncCnt < kTicksBeforeFirstQuery)
        return;
    // The count is not reset: every later tick asks again, and the next 10 seconds count
    // from this query.
    disableTimer(tmrAutoChkTimeSync);
    wskAtom.query(m_server);
    enableTimer(tmrAutoChkTimeSync);
}

void AutoClockCheck::pause()
{
    disableTimer(tmrAutoChkTimeSync);
}

void AutoClockCheck::restartCounting()
{
    lngAutoChkTimeSyncCnt = 0;
    enableTimer(tmrAutoChkTimeSync);
}

void AutoClockCheck::onCorrectionRefused(const Error &error)
{
    if (m_reportedCauses.contains(error.message))
        return;
    m_reportedCauses.insert(error.message);
    Q_EMIT correctionFailureToReport(error.message);
}

} // namespace th
