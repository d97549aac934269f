#pragma once

#include <QList>
#include <QString>

namespace th::sim {
class Simulator;
}

namespace th::bench {

// One watched item of the benchmark: its number and the title the simulator shows for it.
struct BenchItem {
    qint64 number = 0;
    QString title;
};

// Puts `count` running items on the simulator, each with a description long enough that its
// whole answer (status line and headers included) is about `answerBytes` long. Most are
// auctions, some with bids, reserve or Buy It Now; some are fixed price or several units.
// None ends within a day, so that no page changes kind while the benchmark runs. Returns the
// items in the order they were added, or an empty list with `error` set.
QList<BenchItem> addBenchItems(sim::Simulator &simulator, int count, int answerBytes, QString *error);

// The seller's text of one item: paragraphs of invented prose, `length` characters long,
// drawn from `seed`. It carries none of the words the page reader takes as labels or status.
QString fillerDescription(int length, quint64 seed);

} // namespace th::bench
