#pragma once

#include <QString>

#include "common/FixedSeconds.h"

namespace th {

class RegistryStore;

// The value names of the settings key (`kSettingsKey`), in the order they are loaded.
namespace SettingName {
inline constexpr char16_t HotmailID[] = u"HotmailID";
inline constexpr char16_t HotmailPWD[] = u"HotmailPWD";
inline constexpr char16_t SaveHotmail[] = u"SaveHotmail";
inline constexpr char16_t YahooID[] = u"YahooID";
inline constexpr char16_t YahooPWD[] = u"YahooPWD";
inline constexpr char16_t SaveYahoo[] = u"SaveYahoo";
inline constexpr char16_t EBayID[] = u"EBayID";
inline constexpr char16_t EBayPWD[] = u"EBayPWD";
inline constexpr char16_t SaveEBay[] = u"SaveEBay";
inline constexpr char16_t FirstAlert[] = u"FirstAlert";
inline constexpr char16_t SecondAlert[] = u"SecondAlert";
inline constexpr char16_t AutoUpdateEvery[] = u"AutoUpdateEvery";
inline constexpr char16_t LoadAtWinStartUp[] = u"LoadAtWinStartUp";
inline constexpr char16_t PlayAlertSound[] = u"PlayAlertSound";
inline constexpr char16_t PlayBidIncrementNotifySound[] = u"PlayBidIncrementNotifySound";
inline constexpr char16_t chkShowBidNotification[] = u"chkShowBidNotification";
inline constexpr char16_t gstrNotifyPlaySoundPath[] = u"gstrNotifyPlaySoundPath";
inline constexpr char16_t gstrAlertTimeLeftSoundPath[] = u"gstrAlertTimeLeftSoundPath";
inline constexpr char16_t TimeFinetune[] = u"TimeFinetune";
inline constexpr char16_t AutoAdjustTime[] = u"AutoAdjustTime";
inline constexpr char16_t AutoAdjustTimeB4Bid[] = u"AutoAdjustTimeB4Bid";
// Ours: the calendar file last written from the list menu, and whether every pass writes it
// again.
inline constexpr char16_t CalendarFile[] = u"CalendarFile";
inline constexpr char16_t RewriteCalendarFile[] = u"RewriteCalendarFile";
} // namespace SettingName

// The program's settings for the whole run: one field per value of the settings key, same
// name, loaded once at start-up and updated by whichever dialog writes the value. Flags are
// "on" when non-zero. The passwords here are plain; the store keeps them encoded.
struct AppSettings {
    QString HotmailID;
    QString HotmailPWD;
    qint32 SaveHotmail = 0;
    QString YahooID;
    QString YahooPWD;
    qint32 SaveYahoo = 0;
    QString EBayID;
    QString EBayPWD;
    qint32 SaveEBay = 0;
    // Hours before the end.
    qint32 FirstAlert = 0;
    // Minutes before the end.
    qint32 SecondAlert = 0;
    // Minutes between two automatic updates of all items.
    qint32 AutoUpdateEvery = 5;
    // -1 on, 0 off.
    qint32 LoadAtWinStartUp = 0;
    qint32 PlayAlertSound = 0;
    qint32 PlayBidIncrementNotifySound = 0;
    qint32 chkShowBidNotification = 0;
    QString gstrNotifyPlaySoundPath;
    QString gstrAlertTimeLeftSoundPath;
    // Seconds added to both status-bar clocks, -5 .. +5 as chosen; the store keeps whole
    // seconds, memory the four decimals typed.
    FixedSeconds TimeFinetune;
    qint32 AutoAdjustTime = 0;
    qint32 AutoAdjustTimeB4Bid = 0;
    // The calendar file last exported (empty before the first), and whether the program
    // writes it again after every pass over all items (off unless the user asks).
    QString CalendarFile;
    qint32 RewriteCalendarFile = 0;

    bool operator==(const AppSettings &) const = default;
};

// The default sound files, in the resource folder.
QString defaultNotifySoundPath(const QString &resourceFolder);
QString defaultAlertSoundPath(const QString &resourceFolder);

// Every setting at its default, as before the first save of a settings dialog.
AppSettings defaultAppSettings(const QString &resourceFolder);

// Reads the settings key value by value, in the program's loading order (the three
// Hotmail values, the three Yahoo! values, the three auction-site values, then the alert,
// update, start-up, sound, clock values), each missing value taking its default. Each
// password that is not empty is decoded right after it is read.
AppSettings loadAppSettings(const RegistryStore &store, const QString &resourceFolder);

} // namespace th
