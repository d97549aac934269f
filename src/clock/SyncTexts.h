#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "common/FixedSeconds.h"

namespace th {

// The texts of the clock dialog, computed without a window.

// "[GMT -12 h.]" … "[GMT -1 h.]", "[GMT +0]", "[GMT +1 h.]" … "[GMT +12 h.]": 25 entries;
// entry i stands for i - 12 hours.
QStringList gmtChoices();
inline constexpr int kDefaultGmtChoice = 7; // GMT -5

// "-5" … "-1", " 0", "+1" … "+5".
QStringList fineTuneChoices();
// The fine tune as the dialog shows it: "+3", "-1", "0", "+2.5".
QString fineTuneText(const FixedSeconds &fineTune);

// The server's time of a reply with the GMT choice's hours added: the eight characters at
// 1-based positions 17..24 (hours, minutes and seconds, colons between), the hour moved by
// `gmtHours` and wrapped into 0..23, written with two digits; minutes and seconds as
// received. A reply too short, or an hour that is not a number, leaves the rest as it is
// and reads the hour as 0.
QString atomicTimeText(QStringView reply, int gmtHours);

// The date-time within 12 hours of `now` whose time of day is `timeOfDay` ("hh:mm:ss"),
// so that setting the clock to a time shortly after midnight moves the date along. An
// invalid date-time when the text is not a time of day.
QDateTime nearestWithTimeOfDay(const QDateTime &now, QStringView timeOfDay);

// The description of the Internet connection for the given connection flags.
QString connectionDescription(quint32 flags, bool connected);

} // namespace th
