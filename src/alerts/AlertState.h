#pragma once

#include <QList>

namespace th {

// The ending-alert lists: which items entered the first (long) and second (short) alert
// window and whether they have been shown. Item numbers are kept as numbers, the way the
// run-time records hold them. Not saved: every start begins with empty lists.
struct AlertState {
    QList<double> FirstAlertPending;
    QList<double> FirstAlertDone;
    QList<double> SecondAlertPending;
    QList<double> SecondAlertDone;
    bool AlertQuiet = false;

    void reset();
    // The user has seen the alerts: every pending entry becomes done and the alarm may
    // sound again for the next item.
    void acknowledge();
    bool hasPending() const { return !FirstAlertPending.isEmpty() || !SecondAlertPending.isEmpty(); }
};

} // namespace th
