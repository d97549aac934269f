#pragma once

#include <memory>

#include <QMap>
#include <QTemporaryDir>
#include <QTimer>

#include "FakeBrowser.h"
#include "FakeClock.h"
#include "FakeSeams.h"
#include "FakeTray.h"
#include "alerts/AlertCentre.h"
#include "alerts/AlertState.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidGroupBook.h"
#include "autobid/BidGroupResults.h"
#include "autobid/BidRunner.h"
#include "autobid/SleepGuardPolicy.h"
#include "clock/AutoClockCheck.h"
#include "clock/ClockState.h"
#include "clock/ClockSync.h"
#include "common/HostPort.h"
#include "common/Money.h"
#include "common/Timers.h"
#include "common/Version.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th::test {

// The automatic bids' logic without the program around it: the list, its records and a
// store, the update engine, the ending alerts and the clock check it quiets, the bids
// running on a scripted browser, the trigger and the sleep lock. What the program shows of
// them is kept here: the trigger's state as the status bar's panel 2 gets it, the engine's
// panels, and the user's notices beside a tray icon.
struct BidLogicFixture {
    QTemporaryDir folder;
    FakeClock fakeClock;
    FakeTimeZoneSource timeZone;
    FakeClockSetter clockSetter;
    FakeSoundPlayer sound;
    FakeBrowserFactory fakeBrowser;
    FakeSleepGuard fakeSleepGuard;
    FakeTray fakeTray;
    // The fakes as the whole program's fixture names them.
    FakeClock *clock = &fakeClock;
    FakeBrowserFactory *browser = &fakeBrowser;
    FakeSleepGuard *sleepGuard = &fakeSleepGuard;
    FakeTray *tray = &fakeTray;
    WatchListModel model;
    WatchItems records;
    AppSettings settings;
    AlertState alertState;
    ClockState clockState;
    std::unique_ptr<RegistryStore> store;
    std::unique_ptr<ClockSync> clockSync;
    std::unique_ptr<UpdateEngine> engine;
    std::unique_ptr<AlertCentre> alerts;
    AutoClockCheck clockCheck;
    std::unique_ptr<BidRunner> runner;
    // Every bid the runner ended, in order.
    QList<BidRecord> ended;
    std::unique_ptr<BidGroupBook> groups;
    std::unique_ptr<AutoBidTrigger> trigger;
    std::unique_ptr<BidGroupResults> groupResults;
    // The group members held back or cancelled, in order, and whether the user was told.
    QList<BidRecord> groupNotes;
    std::unique_ptr<SleepGuardPolicy> guard;
    QTimer tmrChkAutoBid;
    QString autoBidStatus;
    QMap<int, QString> panels;

    // `items` listed as the program lists them, the periodic update on, an account of the
    // auction site set.
    bool setUp(const QStringList &items)
    {
        Result<std::unique_ptr<RegistryStore>> opened = RegistryStore::openInFolder(folder.path());
        if (!opened.ok())
            return false;
        store = std::move(opened).value();
        keepRecordsWithRows(model, records, &model);
        for (const QString &item : items)
            model.addRow(item);
        settings.EBayID = QStringLiteral("buyer");
        settings.EBayPWD = QStringLiteral("s3cret");
        clockSync = std::make_unique<ClockSync>(clockState, fakeClock, timeZone, clockSetter);
        engine = std::make_unique<UpdateEngine>(
            UpdateEngine::Context { model, records, *store, settings, *clockSync, fakeClock });
        alerts = std::make_unique<AlertCentre>(
            AlertCentre::Context { alertState, records, model, settings, fakeClock, sound, QString() });
        const std::optional<HostPort> itemPage = parseHostPort(u"127.0.0.1:1", 80);
        runner = std::make_unique<BidRunner>(BidRunner::Context { fakeBrowser, fakeClock,
            [this] {
                return BidAccount { settings.EBayID, settings.EBayPWD };
            },
            *itemPage });
        groups = std::make_unique<BidGroupBook>(BidGroupBook::Context { *store, records });
        trigger = std::make_unique<AutoBidTrigger>(AutoBidTrigger::Context {
            records, *store, settings, fakeClock, *engine, clockCheck, *runner, groups.get() });
        groupResults = std::make_unique<BidGroupResults>(BidGroupResults::Context {
            *groups, *trigger, *runner, *engine, records, model, *store, fakeClock });
        guard = std::make_unique<SleepGuardPolicy>(
            SleepGuardPolicy::Context { records, fakeClock, fakeSleepGuard, *engine, *trigger });
        connectAsTheProgramDoes();
        enableTimer(engine->tmrCheckBids);
        return true;
    }

    void connectAsTheProgramDoes()
    {
        trigger->attachTimer(tmrChkAutoBid);
        QObject::connect(
            trigger.get(), &AutoBidTrigger::alertChecksQuieted, alerts.get(), &AlertCentre::pauseChecks);
        QObject::connect(
            trigger.get(), &AutoBidTrigger::alertChecksResumed, alerts.get(), &AlertCentre::resumeChecks);
        QObject::connect(runner.get(), &BidRunner::bidEnded, &model, [this](const BidRecord &record) {
            ended.append(record);
            trigger->restartPeriodicWork();
        });
        QObject::connect(runner.get(), &BidRunner::bidEnded, groupResults.get(), &BidGroupResults::bidEnded);
        QObject::connect(trigger.get(), &AutoBidTrigger::groupMemberNoted, &model,
            [this](const BidRecord &record, bool told) {
                groupNotes.append(record);
                if (told)
                    tellUser(bidOutcomeSentence(record));
            });
        QObject::connect(groupResults.get(), &BidGroupResults::userNotice, &model,
            [this](const QString &text) { tellUser(text); });
        QObject::connect(trigger.get(), &AutoBidTrigger::autoBidStatusChanged, &model,
            [this](const QString &text) { autoBidStatus = text; });
        QObject::connect(trigger.get(), &AutoBidTrigger::bidMissed, &model,
            [this](const QString &, const QString &reason) { tellUser(reason); });
        QObject::connect(guard.get(), &SleepGuardPolicy::userNotice, &model,
            [this](const QString &text) { tellUser(text); });
        QObject::connect(engine.get(), &UpdateEngine::statusChanged, &model,
            [this](int panel, const QString &text) { panels[panel] = text; });
    }

    void tellUser(const QString &text) { fakeTray.showMessage(QString::fromLatin1(kProgramTitle), text); }

    // Item `item` as an update leaves it ($10.00, increment 0.50, three offered,
    // `secondsLeft` to its end), with an automatic bid of `max` for two units at `lead`
    // seconds.
    WatchItemRecord &armRecord(
        const QString &item, qint64 secondsLeft, const QString &max = QStringLiteral("50"), int lead = 20)
    {
        WatchItemRecord &record = records.at(model.findRow(item) + 1);
        record.recItemNumber = item.toDouble();
        record.recTitle = u"Lamp " + item.right(1);
        record.recCurrentPrice = Money::fromText(u"10");
        record.recBidIncrement = Money::fromText(u"0.5");
        record.recQuantity = 3;
        record.recEndDate = fakeClock.now().addSecs(secondsLeft);
        record.recMaxAutoBid = Money::fromText(max);
        record.recMaxQuantity = 2;
        record.recMaxTimeLeft = lead;
        return record;
    }
};

} // namespace th::test
