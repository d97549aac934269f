#pragma once

#include <functional>

#include <QObject>
#include <QString>

namespace th {

class IPrompter;
class IStartupEntry;
class RegistryStore;
struct AppSettings;

// What the controls of the settings dialog hold: the texts of the boxes and combo boxes and
// the states of the tick boxes.
struct SettingsForm {
    struct Account {
        QString id;
        QString password;
        QString confirm;
        bool save = false;
    };
    Account hotmail;
    Account yahoo;
    Account ebay;
    QString hours;
    QString minutes;
    QString updateEvery;
    bool playSoundAlert = false;
    bool playBidIncrementNotifySound = false;
    bool showBidNotification = false;
    bool autoAdjTime = false;
    bool autoAdjTimeB4Bid = false;
    bool autoStart = false;
    // Ours, kept in config.ini: count time left down between updates.
    bool liveTimeLeft = false;
    // Ours: write the exported calendar file again after every pass.
    bool rewriteCalendar = false;
    QString alertSound;
    QString notifySound;
};

// The command line of an automatic start: the program without options, so that it starts
// silently, and with the data folder it runs on now when that was chosen with
// TALLYHAWK_HOME (made absolute: the desktop starts the program from another folder).
// Quoted for the Exec= line of a desktop entry.
QString startupCommandLine(const QString &executable, const QString &dataHome);

// The logic behind the settings dialog: its load, its three immediate actions (the two
// sound browsers and the start-up box) and its ordered save. It edits the one settings
// struct every subsystem reads, so a change takes effect at once.
class SettingsEditor final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsEditor)

public:
    struct Context {
        AppSettings &settings;
        RegistryStore &store;
        IPrompter &prompter;
        IStartupEntry &startupEntry;
        // Where the default sounds are and where the sound browsers start.
        QString resourceFolder;
        // Plays a sound file once.
        std::function<void(const QString &path)> playSound;
        // config.ini of the data folder, where the settings of ours are kept.
        QString configPath;
    };
    enum class Sound { Alert, Notify };
    // How a press of the save button ended: saved, or refused (the user was told why) with
    // the box to correct.
    enum class SaveResult {
        Saved,
        PasswordMismatch,
        HoursOutOfRange,
        MinutesOutOfRange,
        UpdateEveryOutOfRange
    };

    explicit SettingsEditor(Context context, QObject *parent = nullptr);

    // The controls' contents as the settings hold them now.
    SettingsForm load() const;
    // A sound browser: the chosen file, stored and played at once; empty when the user
    // cancelled, in which case the sound goes back to its default file until the next save.
    QString browse(Sound sound);
    // The start-up box was ticked or unticked: the desktop entry follows at once. Returns
    // the state the box must show, which stays as it was when the entry could not follow.
    bool setAutoStart(bool on);
    // The save button. A password mismatch, or a number outside its list's range (an
    // update every 0 minutes would fetch every item every minute; a typo would switch an
    // alert off unseen), is told to the user and stops before anything is stored.
    SaveResult save(const SettingsForm &form);

Q_SIGNALS:
    // The save changed the update interval: a pass over all items is due.
    void updateIntervalChanged();
    // The save switched the countdown of the time left on or off.
    void liveTimeLeftChanged(bool on);

private:
    SaveResult checkNumbers(const SettingsForm &form);
    bool takeAccount(
        const SettingsForm::Account &account, QString &id, QString &password, const QString &service);
    void storeAccount(bool save, const QString &id, const QString &password, qint32 &saveFlag,
        const char16_t *idName, const char16_t *passwordName, const char16_t *saveName);

    Context m_ctx;
};

} // namespace th
