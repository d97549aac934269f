#include "config/AppSettings.h"

#include "config/CryptPassword.h"
#include "platform/AppPaths.h"
#include "store/RegistryFunctions.h"
#include "store/StoreLayout.h"

namespace th {

namespace {

class SettingsReader final {
public:
    explicit SettingsReader(const RegistryStore &store)
        : m_store(store)
        , m_key(QString::fromUtf16(kSettingsKey))
    {
    }

    QString text(const char16_t *name, const QString &defaultValue = QString()) const
    {
        return GetRegString(m_store, RegRoot::CurrentUser, m_key, QString::fromUtf16(name), defaultValue);
    }

    QString password(const char16_t *name) const
    {
        const QString stored = text(name);
        return stored.isEmpty() ? stored : decodeStoredPassword(stored);
    }

    qint32 number(const char16_t *name, qint32 defaultValue) const
    {
        return GetRegDword(m_store, RegRoot::CurrentUser, m_key, QString::fromUtf16(name), defaultValue);
    }

private:
    const RegistryStore &m_store;
    QString m_key;
};

} // namespace

QString defaultNotifySoundPath(const QString &resourceFolder)
{
    return AppPaths::join(resourceFolder, QStringLiteral("notify.wav"));
}

QString defaultAlertSoundPath(const QString &resourceFolder)
{
    return AppPaths::join(resourceFolder, QStringLiteral("alarm.wav"));
}

AppSettings defaultAppSettings(const QString &resourceFolder)
{
    AppSettings settings;
    settings.gstrNotifyPlaySoundPath = defaultNotifySoundPath(resourceFolder);
    settings.gstrAlertTimeLeftSoundPath = defaultAlertSoundPath(resourceFolder);
    return settings;
}

AppSettings loadAppSettings(const RegistryStore &store, const QString &resourceFolder)
{
    const AppSettings defaults = defaultAppSettings(resourceFolder);
    const SettingsReader read(store);
    AppSettings s;
    s.HotmailID = read.text(SettingName::HotmailID);
    s.HotmailPWD = read.password(SettingName::HotmailPWD);
    s.SaveHotmail = read.number(SettingName::SaveHotmail, defaults.SaveHotmail);
    s.YahooID = read.text(SettingName::YahooID);
    s.YahooPWD = read.password(SettingName::YahooPWD);
    s.SaveYahoo = read.number(SettingName::SaveYahoo, defaults.SaveYahoo);
    s.EBayID = read.text(SettingName::EBayID);
    s.EBayPWD = read.password(SettingName::EBayPWD);
    s.SaveEBay = read.number(SettingName::SaveEBay, defaults.SaveEBay);
    s.FirstAlert = read.number(SettingName::FirstAlert, defaults.FirstAlert);
    s.SecondAlert = read.number(SettingName::SecondAlert, defaults.SecondAlert);
    s.AutoUpdateEvery = read.number(SettingName::AutoUpdateEvery, defaults.AutoUpdateEvery);
    s.LoadAtWinStartUp = read.number(SettingName::LoadAtWinStartUp, defaults.LoadAtWinStartUp);
    s.PlayAlertSound = read.number(SettingName::PlayAlertSound, defaults.PlayAlertSound);
    s.PlayBidIncrementNotifySound
        = read.number(SettingName::PlayBidIncrementNotifySound, defaults.PlayBidIncrementNotifySound);
    s.chkShowBidNotification
        = read.number(SettingName::chkShowBidNotification, defaults.chkShowBidNotification);
    s.gstrNotifyPlaySoundPath
        = read.text(SettingName::gstrNotifyPlaySoundPath, defaults.gstrNotifyPlaySoundPath);
    s.gstrAlertTimeLeftSoundPath
        = read.text(SettingName::gstrAlertTimeLeftSoundPath, defaults.gstrAlertTimeLeftSoundPath);
    s.TimeFinetune = read.number(SettingName::TimeFinetune, defaults.TimeFinetune.toStored());
    s.AutoAdjustTime = read.number(SettingName::AutoAdjustTime, defaults.AutoAdjustTime);
    s.AutoAdjustTimeB4Bid = read.number(SettingName::AutoAdjustTimeB4Bid, defaults.AutoAdjustTimeB4Bid);
    s.CalendarFile = read.text(SettingName::CalendarFile);
    s.RewriteCalendarFile = read.number(SettingName::RewriteCalendarFile, defaults.RewriteCalendarFile);
    return s;
}

} // namespace th
