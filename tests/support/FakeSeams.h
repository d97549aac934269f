#pragma once

// Recording fakes of the small platform seams.

#include <functional>

#include <QList>
#include <QStringList>

#include "platform/IClockSetter.h"
#include "platform/IConnectionState.h"
#include "platform/IShell.h"
#include "platform/ISingleInstance.h"
#include "platform/ISleepGuard.h"
#include "platform/ISoundPlayer.h"
#include "platform/IStartupEntry.h"
#include "platform/ITimeZoneSource.h"
#include "platform/IWebBrowserCheck.h"

namespace th::test {

class FakeShell final : public IShell {
public:
    bool open(const QString &addressOrFile) override
    {
        opened.append(addressOrFile);
        return succeed;
    }
    QStringList opened;
    bool succeed = true;
};

// Records what was asked to play. `missing` paths behave as files that cannot be played:
// the default sound is recorded instead, as the real player does.
class FakeSoundPlayer final : public ISoundPlayer {
public:
    explicit FakeSoundPlayer(QString defaultSound = QStringLiteral("default.wav"))
        : defaultSoundPath(std::move(defaultSound))
    {
    }
    void play(const QString &wavPath) override
    {
        requested.append(wavPath);
        played.append(missing.contains(wavPath) ? defaultSoundPath : wavPath);
        playing = true;
    }
    void stop() override
    {
        ++stops;
        playing = false;
    }
    QString defaultSoundPath;
    QStringList requested;
    QStringList played;
    QStringList missing;
    int stops = 0;
    bool playing = false;
};

class FakeTimeZoneSource final : public ITimeZoneSource {
public:
    TimeZoneInformation information(const QDateTime &) const override { return info; }
    TimeZoneInformation info;
};

// Records every adjustment; answers at once with `result`, or holds the answer until
// finishPending() when `hold` is set.
class FakeClockSetter final : public IClockSetter {
public:
    void adjustBy(qint64 offsetMsecs, bool isInteractive, std::function<void(Result<void>)> done) override
    {
        adjustments.append(offsetMsecs);
        interactive.append(isInteractive);
        if (hold) {
            pending.append(std::move(done));
            return;
        }
        done(result);
    }
    void finishPending()
    {
        const auto calls = std::exchange(pending, {});
        for (const auto &done : calls)
            done(result);
    }
    QList<qint64> adjustments;
    // Whether each adjustment may ask the user for authorisation.
    QList<bool> interactive;
    Result<void> result;
    bool hold = false;
    QList<std::function<void(Result<void>)>> pending;
};

// Records the locks asked for. Without `available` every request is refused as a system
// without a bus refuses it.
class FakeSleepGuard final : public ISleepGuard {
public:
    void hold(const QString &why) override
    {
        if (!available) {
            Q_EMIT unavailable(QStringLiteral("no system bus"));
            return;
        }
        reasons.append(why);
        held = true;
    }
    void release() override { held = false; }
    void wakeUp() { Q_EMIT resumed(); }
    bool available = true;
    bool held = false;
    QStringList reasons;
};

class FakeConnectionState final : public IConnectionState {
public:
    quint32 flags() const override { return value; }
    quint32 value = ConnectionFlag::Lan | ConnectionFlag::Configured;
};

class FakeStartupEntry final : public IStartupEntry {
public:
    bool isEnabled() const override { return enabled; }
    Result<void> setEnabled(bool on, const QString &command) override
    {
        if (!fail) {
            enabled = on;
            lastCommand = command;
            return {};
        }
        return makeError(1, QStringLiteral("refused"));
    }
    bool enabled = false;
    bool fail = false;
    QString lastCommand;
};

// Answers whether a web browser is set up with `answer`, counting the questions.
class FakeWebBrowserCheck final : public IWebBrowserCheck {
public:
    Answer httpHandler() override
    {
        ++questions;
        return answer;
    }
    Answer answer = Answer::Present;
    int questions = 0;
};

class FakeSingleInstance final : public ISingleInstance {
public:
    bool tryAcquire() override
    {
        ++attempts;
        return available;
    }
    void listenForShowRequests(std::function<void()> showRequested) override
    {
        onShowRequest = std::move(showRequested);
    }
    bool askHolderToShow() override
    {
        ++showRequestsSent;
        return true;
    }
    bool available = true;
    int attempts = 0;
    // What the holder runs when a later start asks for the window (empty until it listens).
    std::function<void()> onShowRequest;
    int showRequestsSent = 0;
};

} // namespace th::test
