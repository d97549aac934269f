#pragma once

#include "AppFixture.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th::test {

// The whole program on fakes with `items` listed and an auction-site account, its first pass
// stopped so that no page lands over the records the test sets by hand.
inline bool startWithHandSetRecords(AppFixture &f, const QStringList &items)
{
    if (!storeWatchedItems(f.dataFolder.path(), items)
        || f.start(QStringLiteral("/show")) != Application::StartResult::Running)
        return false;
    f.app->parts().engine->stopPass();
    f.app->parts().settings->EBayID = QStringLiteral("buyer");
    f.app->parts().settings->EBayPWD = QStringLiteral("s3cret");
    return true;
}

// Item `item` as an update leaves it ($10.00, increment 0.50, three offered, `secondsLeft` to
// its end), with an automatic bid of `max` for two units at `lead` seconds.
inline WatchItemRecord &armRecord(AppFixture &f, const QString &item, qint64 secondsLeft,
    const QString &max = QStringLiteral("50"), int lead = 20)
{
    WatchItemRecord &record = f.app->parts().records->at(f.app->parts().listModel->findRow(item) + 1);
    record.recItemNumber = item.toDouble();
    record.recTitle = u"Lamp " + item.right(1);
    record.recCurrentPrice = Money::fromText(u"10");
    record.recBidIncrement = Money::fromText(u"0.5");
    record.recQuantity = 3;
    record.recEndDate = f.clock->now().addSecs(secondsLeft);
    record.recMaxAutoBid = Money::fromText(max);
    record.recMaxQuantity = 2;
    record.recMaxTimeLeft = lead;
    return record;
}

} // namespace th::test
