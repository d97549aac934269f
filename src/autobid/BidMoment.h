#pragma once

#include <optional>

#include <QHash>
#include <QString>

namespace th {

// What becomes of an armed item's bid at a check of the trigger.
enum class BidMomentCall {
    NotYet, // its moment is still to come
    FireNow, // within its lead, with at least one second left: fire, however late the check
    Missed, // its moment went by unseen (the clock jumped, the program was busy or asleep)
            // and less than a second is left: tell the user
    Over, // it had ended before it was ever seen running: nothing to do
};

// The call for an item whose bid has not fired, from its whole seconds left now and at the
// previous check (none at the first check of the item).
BidMomentCall callBidMoment(qint64 secondsLeft, std::optional<qint64> secondsLeftBefore, int leadSeconds);

// Remembers each armed item's seconds left from one check to the next, so that a moment that
// went by between two checks is told once, never silently skipped.
class BidMomentWatch final {
public:
    BidMomentCall check(const QString &item, qint64 secondsLeft, int leadSeconds);
    // The item left the list, or its bid fired.
    void forget(const QString &item) { m_secondsLeft.remove(item); }

private:
    QHash<QString, qint64> m_secondsLeft;
};

} // namespace th
