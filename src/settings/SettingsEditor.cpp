#include "settings/SettingsEditor.h"

#include <algorithm>
#include <utility>

#include <QCoreApplication>
#include <QDir>

#include "common/Version.h"
#include "common/WholeNumber.h"
#include "config/AppSettings.h"
#include "config/CryptPassword.h"
#include "config/UserConfig.h"
#include "platform/IPrompter.h"
#include "platform/IStartupEntry.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

namespace th {

namespace {

const QString kWaveFilter = QStringLiteral("Wave Files (*.wav);;All Files (*)");

QString settingsKey()
{
    return QString::fromUtf16(kSettingsKey);
}

QString name(const char16_t *valueName)
{
    return QString::fromUtf16(valueName);
}

// One argument of a desktop entry's Exec= line: quoted when it holds a character the line
// reserves, a percent sign doubled (it would start a field code), and every backslash
// doubled once more for the entry file's own string escapes.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString out = argument;
    if (std::any_of(argument.cbegin(), argument.cend(), [](QChar c) { return reserved.contains(c); })) {
        out.clear();
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                out += u'\\';
            out += c;
        }
        out = u'"' + out + u'"';
    }
    out.replace(u'%', QStringLiteral("%%"));
    out.replace(u'\\', QStringLiteral("\\\\"));
    return out;
}

// The ranges of the dialog's three lists, and what a text outside one is told as.
struct NumberRange {
    qint32 low;
    qint32 high;
    const char *what;
    SettingsEditor::SaveResult refusal;
};
constexpr NumberRange kHours { 0, 12, "First Alert must be a whole number of hours",
    SettingsEditor::SaveResult::HoursOutOfRange };
constexpr NumberRange kMinutes { 0, 55, "Second Alert must be a whole number of minutes",
    SettingsEditor::SaveResult::MinutesOutOfRange };
constexpr NumberRange kUpdateEvery { 3, 59, "Program Update Item(s) Every must be a whole number of minutes",
    SettingsEditor::SaveResult::UpdateEveryOutOfRange };

qint32 checkedNumber(const QString &text, const NumberRange &range)
{
    return *wholeNumberWithin(text, range.low, range.high);
}

qint32 flag(bool ticked)
{
    return ticked ? 1 : 0;
}

} // namespace

QString startupCommandLine(const QString &executable, const QString &dataHome)
{
    if (dataHome.isEmpty())
        return execArgument(executable);
    return QStringLiteral("env ") + execArgument(u"TALLYHAWK_HOME=" + QDir(dataHome).absolutePath()) + u' '
        + execArgument(executable);
}

SettingsEditor::SettingsEditor(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
}

SettingsForm SettingsEditor::load() const
{
    const AppSettings &s = m_ctx.settings;
    SettingsForm form;
    form.alertSound = s.gstrAlertTimeLeftSoundPath;
    form.notifySound = s.gstrNotifyPlaySoundPath;
    form.playSoundAlert = s.PlayAlertSound != 0;
    form.playBidIncrementNotifySound = s.PlayBidIncrementNotifySound != 0;
    form.showBidNotification = s.chkShowBidNotification != 0;
    form.autoStart = s.LoadAtWinStartUp != 0;
    form.hours = QString::number(s.FirstAlert);
    form.minutes = QString::number(s.SecondAlert);
    form.updateEvery = QString::number(s.AutoUpdateEvery);
    form.hotmail = { s.HotmailID, s.HotmailPWD, s.HotmailPWD, s.SaveHotmail != 0 };
    form.yahoo = { s.YahooID, s.YahooPWD, s.YahooPWD, s.SaveYahoo != 0 };
    form.ebay = { s.EBayID, s.EBayPWD, s.EBayPWD, s.SaveEBay != 0 };
    form.autoAdjTime = s.AutoAdjustTime != 0;
    form.autoAdjTimeB4Bid = s.AutoAdjustTimeB4Bid != 0;
    form.liveTimeLeft = UserConfig::liveTimeLeft(m_ctx.configPath);
    form.rewriteCalendar = s.RewriteCalendarFile != 0;
    return form;
}

QString SettingsEditor::browse(Sound sound)
{
    const bool alert = sound == Sound::Alert;
    const QString title = alert ? QStringLiteral("Select Wave file for alarm")
                                : QStringLiteral("Select Wave file to play when there is a new Bid");
    QString &path
        = alert ? m_ctx.settings.gstrAlertTimeLeftSoundPath : m_ctx.settings.gstrNotifyPlaySoundPath;
    const QString chosen = m_ctx.prompter.openFileName(title, m_ctx.resourceFolder, kWaveFilter);
    if (chosen.isEmpty()) {
        // A cancel does not bring back an earlier choice: the default file plays until the
        // user chooses again, and the store keeps its value until the save button.
        path = alert ? defaultAlertSoundPath(m_ctx.resourceFolder)
                     : defaultNotifySoundPath(m_ctx.resourceFolder);
        return {};
    }
    path = chosen;
    SaveRegString(m_ctx.store, RegRoot::CurrentUser, settingsKey(),
        name(alert ? SettingName::gstrAlertTimeLeftSoundPath : SettingName::gstrNotifyPlaySoundPath), chosen);
    if (m_ctx.playSound)
        m_ctx.playSound(chosen);
    return chosen;
}

bool SettingsEditor::setAutoStart(bool on)
{
    // The entry starts the program as it runs now, so that opening the dialog after the
    // program has moved repairs the entry.
    const QString command
        = startupCommandLine(QCoreApplication::applicationFilePath(), qEnvironmentVariable("TALLYHAWK_HOME"));
    const Result<void> done = m_ctx.startupEntry.setEnabled(on, command);
    if (!done.ok()) {
        // A start-up entry that silently does not exist (or does not go away) would be a
        // failure taken for success: the user is told, and the settings stay as they were.
        m_ctx.prompter.message(
            QStringLiteral("Starting the program with the desktop session could not be switched %1.\n%2")
                .arg(on ? QStringLiteral("on") : QStringLiteral("off"), done.errorMessage()),
            QString::fromLatin1(kProgramTitle), PromptIcon::Critical, PromptButtons::Ok);
        return !on;
    }
    const QString runKey = QString::fromUtf16(kRunKey);
    const QString runValue = QString::fromLatin1(kProgramTitle);
    if (on)
        SaveRegString(m_ctx.store, RegRoot::CurrentUser, runKey, runValue, command);
    else
        DeleteRegValue(m_ctx.store, RegRoot::CurrentUser, runKey, runValue);
    m_ctx.settings.LoadAtWinStartUp = on ? -1 : 0;
    SaveRegDword(m_ctx.store, RegRoot::CurrentUser, settingsKey(), name(SettingName::LoadAtWinStartUp),
        m_ctx.settings.LoadAtWinStartUp);
    return on;
}

bool SettingsEditor::takeAccount(
    const SettingsForm::Account &account, QString &id, QString &password, const QString &service)
{
    id = account.id;
    if (account.password != account.confirm) {
        m_ctx.prompter.message(
            QStringLiteral("Please re-type your %1 password in both boxes\nMake sure they are "
                           "the same")
                .arg(service),
            QStringLiteral("Err: %1 password mismatch").arg(service), PromptIcon::Critical,
            PromptButtons::Ok);
        return false;
    }
    password = account.password;
    return true;
}

void SettingsEditor::storeAccount(bool save, const QString &id, const QString &password, qint32 &saveFlag,
    const char16_t *idName, const char16_t *passwordName, const char16_t *saveName)
{
    RegistryStore &store = m_ctx.store;
    if (save) {
        SaveRegString(store, RegRoot::CurrentUser, settingsKey(), name(idName), id);
        SaveRegString(
            store, RegRoot::CurrentUser, settingsKey(), name(passwordName), encodeStoredPassword(password));
        SaveRegDword(store, RegRoot::CurrentUser, settingsKey(), name(saveName), 1);
        saveFlag = 1;
    } else {
        // The user name stays stored; only the password goes.
        SaveRegDword(store, RegRoot::CurrentUser, settingsKey(), name(saveName), 0);
        DeleteRegValue(store, RegRoot::CurrentUser, settingsKey(), name(passwordName));
        saveFlag = 0;
    }
}

SettingsEditor::SaveResult SettingsEditor::checkNumbers(const SettingsForm &form)
{
    const std::pair<const QString *, const NumberRange *> numbers[] { { &form.hours, &kHours },
        { &form.minutes, &kMinutes }, { &form.updateEvery, &kUpdateEvery } };
    for (const auto &[text, range] : numbers) {
        if (wholeNumberWithin(*text, range->low, range->high))
            continue;
        m_ctx.prompter.message(QStringLiteral("Please check, %1 from %2 to %3")
                                   .arg(QLatin1String(range->what))
                                   .arg(range->low)
                                   .arg(range->high),
            QStringLiteral("Err: Value out of range"), PromptIcon::Critical, PromptButtons::Ok);
        return range->refusal;
    }
    return SaveResult::Saved;
}

SettingsEditor::SaveResult SettingsEditor::save(const SettingsForm &form)
{
    AppSettings &s = m_ctx.settings;
    // What an earlier account took into memory stays there when a later one mismatches.
    if (!takeAccount(form.hotmail, s.HotmailID, s.HotmailPWD, QStringLiteral("Hotmail"))
        || !takeAccount(form.yahoo, s.YahooID, s.YahooPWD, QStringLiteral("Yahoo!"))
        || !takeAccount(form.ebay, s.EBayID, s.EBayPWD, QStringLiteral("eBay")))
        return SaveResult::PasswordMismatch;
    if (const SaveResult refused = checkNumbers(form); refused != SaveResult::Saved)
        return refused;

    const quint64 failedBefore = m_ctx.store.failedWriteCount();
    QStringList notSaved;
    storeAccount(form.hotmail.save, s.HotmailID, s.HotmailPWD, s.SaveHotmail, SettingName::HotmailID,
        SettingName::HotmailPWD, SettingName::SaveHotmail);
    storeAccount(form.yahoo.save, s.YahooID, s.YahooPWD, s.SaveYahoo, SettingName::YahooID,
        SettingName::YahooPWD, SettingName::SaveYahoo);
    storeAccount(form.ebay.save, s.EBayID, s.EBayPWD, s.SaveEBay, SettingName::EBayID, SettingName::EBayPWD,
        SettingName::SaveEBay);

    RegistryStore &store = m_ctx.store;
    const auto number = [&](const char16_t *valueName, qint32 &field, qint32 value) {
        field = value;
        SaveRegDword(store, RegRoot::CurrentUser, settingsKey(), name(valueName), value);
    };
    number(SettingName::AutoAdjustTime, s.AutoAdjustTime, flag(form.autoAdjTime));
    number(SettingName::AutoAdjustTimeB4Bid, s.AutoAdjustTimeB4Bid, flag(form.autoAdjTimeB4Bid));
    number(SettingName::RewriteCalendarFile, s.RewriteCalendarFile, flag(form.rewriteCalendar));
    number(SettingName::FirstAlert, s.FirstAlert, checkedNumber(form.hours, kHours));
    number(SettingName::SecondAlert, s.SecondAlert, checkedNumber(form.minutes, kMinutes));

    const qint32 every = checkedNumber(form.updateEvery, kUpdateEvery);
    if (every != s.AutoUpdateEvery) {
        number(SettingName::AutoUpdateEvery, s.AutoUpdateEvery, every);
        Q_EMIT updateIntervalChanged();
    }
    // Written only when it changes, so that a user who never asks for it finds config.ini
    // as it was.
    if (form.liveTimeLeft != UserConfig::liveTimeLeft(m_ctx.configPath)) {
        if (const Result<void> written = UserConfig::setLiveTimeLeft(m_ctx.configPath, form.liveTimeLeft);
            !written)
            notSaved.append(written.errorMessage());
        Q_EMIT liveTimeLeftChanged(form.liveTimeLeft);
    }

    SaveRegString(store, RegRoot::CurrentUser, settingsKey(), name(SettingName::gstrAlertTimeLeftSoundPath),
        s.gstrAlertTimeLeftSoundPath);
    SaveRegString(store, RegRoot::CurrentUser, settingsKey(), name(SettingName::gstrNotifyPlaySoundPath),
        s.gstrNotifyPlaySoundPath);
    number(SettingName::PlayAlertSound, s.PlayAlertSound, flag(form.playSoundAlert));
    number(SettingName::PlayBidIncrementNotifySound, s.PlayBidIncrementNotifySound,
        flag(form.playBidIncrementNotifySound));
    number(SettingName::chkShowBidNotification, s.chkShowBidNotification, flag(form.showBidNotification));
    // The settings hold for this run either way; the user learns which were not kept.
    if (m_ctx.store.failedWriteCount() != failedBefore)
        notSaved.prepend(m_ctx.store.lastWriteError());
    if (!notSaved.isEmpty())
        m_ctx.prompter.message(u"The settings could not all be saved.\n" + notSaved.join(u'\n'),
            QString::fromLatin1(kProgramTitle), PromptIcon::Critical, PromptButtons::Ok);
    return SaveResult::Saved;
}

} // namespace th
