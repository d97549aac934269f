#pragma once

namespace th {

struct AppSettings;

// What the user has asked to get when a new bid is seen on an item with time enough left:
// the notify sound, the notification window, both (the sound first) or neither.
struct BidAnnouncement {
    bool playSound = false;
    bool showWindow = false;

    static BidAnnouncement from(const AppSettings &settings);
};

} // namespace th
