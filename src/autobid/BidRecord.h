#pragma once

#include <optional>

#include <QDateTime>
#include <QMetaType>
#include <QString>

#include "common/Money.h"

namespace th {

// What started a bid: the trigger at the item's moment, the user's "real bid now", or the
// user's fill-in that stops at the filled sign-in page for the user to confirm.
enum class BidKind { Automatic, Real, FillIn };

// How a bid ended. Every bid ends in exactly one of these.
enum class BidOutcome {
    Placed, // the site's answer says the bid was taken
    Outbid, // taken, but another member's bid is higher
    Refused, // the site turned the bid down; its message says why
    SignInRefused, // the site did not accept the account
    Unreachable, // a page could not be loaded
    PageChanged, // the bid or sign-in form was not where it is expected
    WindowClosed, // the user closed the bid window before the end
    ItemRemoved, // the item left the list before the bid was sent
    TimedOut, // no end within the deadline
    TargetNotAllowed, // a form would have been sent somewhere other than the auction site
    NotStarted, // no account, or no browser window
    FilledIn, // a fill-in bid handed to the user in its window
    Unknown, // an answer the program does not recognise: not known to be placed
    HeldBack, // a group member waits for another member's result; not an end, a notice
    Cancelled, // a group member that must never fire; its automatic bid is removed
};

// One bid as the log and the store keep it.
struct BidRecord {
    // Counts the bids of this run from 1; 0 for a record read back from the store.
    quint64 serial = 0;
    QString item;
    QString title;
    BidKind kind = BidKind::Automatic;
    Money amount;
    int quantity = 0;
    // Seconds before the end at which an automatic bid fires; 0 for the user's bids.
    int leadSeconds = 0;
    // The bid group of an automatic bid; empty for none.
    QString group;
    QDateTime firedAt;
    QDateTime bidFormAt; // the bid form submitted
    QDateTime signInAt; // the sign-in form submitted (filled, for a fill-in)
    QDateTime answerAt; // the outcome known
    std::optional<BidOutcome> outcome; // none while the bid runs
    QString message;

    bool finished() const { return outcome.has_value(); }
};

QString bidKindText(BidKind kind);
std::optional<BidKind> bidKindFromText(QStringView text);
// A short name of the outcome, for the log's column and the store.
QString bidOutcomeText(BidOutcome outcome);
std::optional<BidOutcome> bidOutcomeFromText(QStringView text);

// What the user is told when a bid has ended, naming the item, the kind and the reason:
// "Automatic bid on item 2407610001 (Brass lamp), 25.5 x 2: not placed: the site refused it:
// Your bid must be at least $26.00."
QString bidOutcomeSentence(const BidRecord &record);

// Milliseconds from the fire to `step`; none when the step was not reached.
std::optional<qint64> msecsAfterFire(const BidRecord &record, const QDateTime &step);

} // namespace th

Q_DECLARE_METATYPE(th::BidRecord)
