#include "settings/ui/frmEmailWebBased.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/ScreenFitScrollArea.h"

namespace th {

namespace {

template<typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit *textBox(QWidget *parent, const char *name, bool password = false)
{
    auto *box = named(new QLineEdit(parent), name);
    box->setMinimumWidth(150);
    if (password) {
        box->setEchoMode(QLineEdit::Password);
        // Every character shows as "*", whatever the style's own mask is.
        box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
    return box;
}

QComboBox *comboBox(QWidget *parent, const char *name)
{
    auto *box = named(new QComboBox(parent), name);
    // The text can be typed as well as picked; the save refuses one outside the list's range.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // Two digits and the arrow fit without being cut.
    box->setMinimumWidth(70);
    return box;
}

// A sound file box: the whole path can be read in its tool tip; it changes only through its
// browse button.
QLineEdit *soundBox(QWidget *parent, const char *name)
{
    auto *box = textBox(parent, name);
    box->setReadOnly(true);
    box->setMinimumWidth(320);
    return box;
}

QPushButton *browseButton(QWidget *parent, const char *name)
{
    auto *button = named(new QPushButton(QStringLiteral("..."), parent), name);
    button->setAutoDefault(false);
    button->setFixedWidth(32);
    return button;
}

struct AccountControls {
    QLineEdit *id;
    QLineEdit *password;
    QLineEdit *confirm;
    QCheckBox *save;
};

QGroupBox *accountGroup(QWidget *parent, const char *name, const QString &caption, const QString &idLabel,
    const QString &confirmLabel, AccountControls controls)
{
    auto *group = named(new QGroupBox(caption, parent), name);
    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(idLabel, group), 0, 0);
    grid->addWidget(controls.id, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Password:"), group), 1, 0);
    grid->addWidget(controls.password, 1, 1);
    grid->addWidget(new QLabel(confirmLabel, group), 2, 0);
    grid->addWidget(controls.confirm, 2, 1);
    controls.confirm->setToolTip(QStringLiteral("Confirm password"));
    grid->addWidget(controls.save, 3, 1);
    return group;
}

} // namespace

frmEmailWebBased::frmEmailWebBased(SettingsEditor::Context context, QWidget *parent)
    : QDialog(parent)
    , m_editor(std::move(context))
{
    setObjectName(QStringLiteral("frmEmailWebBased"));
    setWindowTitle(QStringLiteral("System Configuration"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    createControls();
    connect(
        &m_editor, &SettingsEditor::updateIntervalChanged, this, &frmEmailWebBased::updateIntervalChanged);
    connect(&m_editor, &SettingsEditor::liveTimeLeftChanged, this, &frmEmailWebBased::liveTimeLeftChanged);
    connect(cmdBrowse, &QPushButton::clicked, this,
        [this] { cmdBrowse_Click(SettingsEditor::Sound::Alert, txtAlertSound); });
    connect(cmdBrowse2, &QPushButton::clicked, this,
        [this] { cmdBrowse_Click(SettingsEditor::Sound::Notify, txtNotifySound); });
    connect(chkAutoStart, &QCheckBox::clicked, this, &frmEmailWebBased::chkAutoStart_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmEmailWebBased::cmdClose_Click);
    load();
}

void frmEmailWebBased::createControls()
{
    // The settings scroll on a screen too small for them; the button stays in view.
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *accounts = new QHBoxLayout;
    txtHotmailID = textBox(this, "txtHotmailID");
    txtHotmailPwd = textBox(this, "txtHotmailPwd", true);
    txtHotmailPwdConfirm = textBox(this, "txtHotmailPwdConfirm", true);
    chkSaveHotmail = named(new QCheckBox(QStringLiteral("Save setting"), this), "chkSaveHotmail");
    frmeHotmail = accountGroup(this, "frmeHotmail", QStringLiteral("Hotmail Login"),
        QStringLiteral("Username:"), QStringLiteral("Pwd Conf:"),
        { txtHotmailID, txtHotmailPwd, txtHotmailPwdConfirm, chkSaveHotmail });
    txtYahooID = textBox(this, "txtYahooID");
    txtYahooPwd = textBox(this, "txtYahooPwd", true);
    txtYahooPwdConfirm = textBox(this, "txtYahooPwdConfirm", true);
    chkSaveYahoo = named(new QCheckBox(QStringLiteral("Save setting"), this), "chkSaveYahoo");
    frmeYahoo = accountGroup(this, "frmeYahoo", QStringLiteral("Yahoo! Login"), QStringLiteral("Username:"),
        QStringLiteral("Pwd Conf:"), { txtYahooID, txtYahooPwd, txtYahooPwdConfirm, chkSaveYahoo });
    txtEBayID = textBox(this, "txtEBayID");
    txtEBayID->setToolTip(QStringLiteral("Email is also acceptable"));
    txtEBayPWD = textBox(this, "txtEBayPWD", true);
    txtEBayPWDConfirm = textBox(this, "txtEBayPWDConfirm", true);
    chkSaveEBay = named(new QCheckBox(QStringLiteral("Save setting"), this), "chkSaveEBay");
    frmeEbay = accountGroup(this, "frmeEbay", QStringLiteral("eBay Login"), QStringLiteral("User ID:"),
        QStringLiteral("Pwd Conf.:"), { txtEBayID, txtEBayPWD, txtEBayPWDConfirm, chkSaveEBay });
    accounts->addWidget(frmeHotmail);
    accounts->addWidget(frmeYahoo);
    accounts->addWidget(frmeEbay);
    layout->addLayout(accounts);

    frmeAlert = named(
        new QGroupBox(QStringLiteral("Before Auction is ended, Alert me as follows"), this), "frmeAlert");
    auto *alert = new QGridLayout(frmeAlert);
    cboHours = comboBox(frmeAlert, "cboHours");
    cboMinutes = comboBox(frmeAlert, "cboMinutes");
    chkPlaySoundAlert
        = named(new QCheckBox(QStringLiteral("Play Alert sound"), frmeAlert), "chkPlaySoundAlert");
    txtAlertSound = soundBox(frmeAlert, "txtAlertSound");
    cmdBrowse = browseButton(frmeAlert, "cmdBrowse");
    alert->addWidget(new QLabel(QStringLiteral("First Alert in:"), frmeAlert), 0, 0);
    alert->addWidget(cboHours, 0, 1);
    alert->addWidget(new QLabel(QStringLiteral("hour(s)"), frmeAlert), 0, 2);
    alert->addWidget(new QLabel(QStringLiteral("Second Alert in:"), frmeAlert), 1, 0);
    alert->addWidget(cboMinutes, 1, 1);
    alert->addWidget(new QLabel(QStringLiteral("min.(s)"), frmeAlert), 1, 2);
    alert->addWidget(chkPlaySoundAlert, 2, 0, 1, 3);
    alert->addWidget(new QLabel(QStringLiteral("Wave file:"), frmeAlert), 3, 0);
    alert->addWidget(txtAlertSound, 3, 1, 1, 3);
    alert->addWidget(cmdBrowse, 3, 4);
    alert->setColumnStretch(3, 1);
    layout->addWidget(frmeAlert);

    frmBidIncrease
        = named(new QGroupBox(QStringLiteral("Number of Bid Increases and Display Notification"), this),
            "frmBidIncrease");
    auto *bids = new QGridLayout(frmBidIncrease);
    chkShowBidNotification = named(
        new QCheckBox(QStringLiteral("Show Notification Dialog when # bid increases"), frmBidIncrease),
        "chkShowBidNotification");
    chkPlayBidIncrementNotifySound
        = named(new QCheckBox(QStringLiteral("Play sound when # bid increases"), frmBidIncrease),
            "chkPlayBidIncrementNotifySound");
    txtNotifySound = soundBox(frmBidIncrease, "txtNotifySound");
    cmdBrowse2 = browseButton(frmBidIncrease, "cmdBrowse2");
    bids->addWidget(chkShowBidNotification, 0, 0, 1, 3);
    bids->addWidget(chkPlayBidIncrementNotifySound, 1, 0, 1, 3);
    bids->addWidget(new QLabel(QStringLiteral("Wave file:"), frmBidIncrease), 2, 0);
    bids->addWidget(txtNotifySound, 2, 1);
    bids->addWidget(cmdBrowse2, 2, 2);
    bids->setColumnStretch(1, 1);
    layout->addWidget(frmBidIncrease);

    auto *every = new QHBoxLayout;
    cboAutoUpdateEvery = comboBox(this, "cboAutoUpdateEvery");
    every->addWidget(new QLabel(QStringLiteral("Program Update Item(s)  Every :"), this));
    every->addWidget(cboAutoUpdateEvery);
    every->addWidget(new QLabel(QStringLiteral("Min."), this));
    every->addStretch(1);
    layout->addLayout(every);
    chkLiveTimeLeft = named(
        new QCheckBox(QStringLiteral("Count time left down between updates"), this), "chkLiveTimeLeft");
    chkLiveTimeLeft->setToolTip(QStringLiteral(
        "The t-Remaining column counts down every second and reads \"Ended\" once an auction is over; "
        "otherwise it shows the item page's text as of the last update"));
    layout->addWidget(chkLiveTimeLeft);
    chkRewriteCalendarFile
        = named(new QCheckBox(QStringLiteral("Rewrite the exported calendar file after every update"), this),
            "chkRewriteCalendarFile");
    chkRewriteCalendarFile->setToolTip(QStringLiteral(
        "The file last written with \"Export Calendar\u2026\" in the list menu is written again after each "
        "update of all items, so that a calendar which subscribes to it follows the watch list"));
    layout->addWidget(chkRewriteCalendarFile);
    chkAutoAdjTime
        = named(new QCheckBox(QStringLiteral("Auto-Adjust time every 10 minutes"), this), "chkAutoAdjTime");
    chkAutoAdjTimeB4Bid
        = named(new QCheckBox(QStringLiteral("Auto-Adjust time before bid (Auto-bid only)"), this),
            "chkAutoAdjTimeB4Bid");
    chkAutoStart = named(
        new QCheckBox(QStringLiteral("Load program at Windows start (Auto-start)"), this), "chkAutoStart");
    layout->addWidget(chkAutoAdjTime);
    layout->addWidget(chkAutoAdjTimeB4Bid);
    // The system lets a closed lid put a laptop to sleep whatever a program asks.
    auto *sleepNote
        = named(new QLabel(QStringLiteral("Tallyhawk keeps the computer awake 30 minutes before an "
                                          "automatic bid,\nbut closing a laptop's lid may still "
                                          "put it to sleep."),
                    this),
            "lblSleepGuardNote");
    layout->addWidget(sleepNote);
    layout->addWidget(chkAutoStart);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdClose = named(new QPushButton(QStringLiteral("&Ok && Save Setting"), this), "cmdClose");
    cmdClose->setDefault(true);
    buttons->addWidget(cmdClose);
    auto *window = new QVBoxLayout(this);
    const int line = fontMetrics().height();
    window->addWidget(
        new ScreenFitScrollArea(body, QSize(2 * line, cmdClose->sizeHint().height() + 6 * line), this));
    window->addLayout(buttons);
    window->setSizeConstraint(QLayout::SetFixedSize);
}

void frmEmailWebBased::load()
{
    const SettingsForm f = m_editor.load();
    txtAlertSound->setText(f.alertSound);
    txtNotifySound->setText(f.notifySound);

    chkPlaySoundAlert->setChecked(f.playSoundAlert);
    chkPlayBidIncrementNotifySound->setChecked(f.playBidIncrementNotifySound);
    chkShowBidNotification->setChecked(f.showBidNotification);
    // Ticking the start-up box here is its click: the entry is written again with the
    // program's present path.
    chkAutoStart->setChecked(f.autoStart);
    if (f.autoStart)
        chkAutoStart_Click(true);

    for (int hour = 0; hour <= 12; ++hour)
        cboHours->addItem(QString::number(hour));
    for (int minute = 0; minute <= 55; minute += 5)
        cboMinutes->addItem(QString::number(minute));
    for (int minutes = 3; minutes <= 59; ++minutes)
        cboAutoUpdateEvery->addItem(QString::number(minutes));
    cboHours->setCurrentText(f.hours);
    cboMinutes->setCurrentText(f.minutes);
    cboAutoUpdateEvery->setCurrentText(f.updateEvery);

    txtHotmailID->setText(f.hotmail.id);
    txtYahooID->setText(f.yahoo.id);
    txtEBayID->setText(f.ebay.id);
    txtHotmailPwd->setText(f.hotmail.password);
    txtHotmailPwdConfirm->setText(f.hotmail.confirm);
    txtYahooPwd->setText(f.yahoo.password);
    txtYahooPwdConfirm->setText(f.yahoo.confirm);
    txtEBayPWD->setText(f.ebay.password);
    txtEBayPWDConfirm->setText(f.ebay.confirm);

    chkSaveHotmail->setChecked(f.hotmail.save);
    chkSaveYahoo->setChecked(f.yahoo.save);
    chkSaveEBay->setChecked(f.ebay.save);

    txtAlertSound->setToolTip(txtAlertSound->text());
    txtNotifySound->setToolTip(txtNotifySound->text());

    chkAutoAdjTime->setChecked(f.autoAdjTime);
    chkAutoAdjTimeB4Bid->setChecked(f.autoAdjTimeB4Bid);
    chkLiveTimeLeft->setChecked(f.liveTimeLeft);
    chkRewriteCalendarFile->setChecked(f.rewriteCalendar);
}

SettingsForm frmEmailWebBased::form() const
{
    SettingsForm f;
    f.hotmail = { txtHotmailID->text(), txtHotmailPwd->text(), txtHotmailPwdConfirm->text(),
        chkSaveHotmail->isChecked() };
    f.yahoo
        = { txtYahooID->text(), txtYahooPwd->text(), txtYahooPwdConfirm->text(), chkSaveYahoo->isChecked() };
    f.ebay = { txtEBayID->text(), txtEBayPWD->text(), txtEBayPWDConfirm->text(), chkSaveEBay->isChecked() };
    f.hours = cboHours->currentText();
    f.minutes = cboMinutes->currentText();
    f.updateEvery = cboAutoUpdateEvery->currentText();
    f.playSoundAlert = chkPlaySoundAlert->isChecked();
    f.playBidIncrementNotifySound = chkPlayBidIncrementNotifySound->isChecked();
    f.showBidNotification = chkShowBidNotification->isChecked();
    f.autoAdjTime = chkAutoAdjTime->isChecked();
    f.autoAdjTimeB4Bid = chkAutoAdjTimeB4Bid->isChecked();
    f.autoStart = chkAutoStart->isChecked();
    f.liveTimeLeft = chkLiveTimeLeft->isChecked();
    f.rewriteCalendar = chkRewriteCalendarFile->isChecked();
    f.alertSound = txtAlertSound->text();
    f.notifySound = txtNotifySound->text();
    return f;
}

void frmEmailWebBased::cmdBrowse_Click(SettingsEditor::Sound sound, QLineEdit *box)
{
    // A cancel leaves the box's text as it was, although the sound went back to its default.
    const QString chosen = m_editor.browse(sound);
    if (!chosen.isEmpty())
        box->setText(chosen);
    box->setToolTip(box->text());
}

void frmEmailWebBased::chkAutoStart_Click(bool ticked)
{
    const bool shown = m_editor.setAutoStart(ticked);
    if (shown != chkAutoStart->isChecked())
        chkAutoStart->setChecked(shown);
}

void frmEmailWebBased::cmdClose_Click()
{
    switch (m_editor.save(form())) {
    case SettingsEditor::SaveResult::Saved:
        accept();
        break;
    case SettingsEditor::SaveResult::PasswordMismatch:
        break;
    case SettingsEditor::SaveResult::HoursOutOfRange:
        cboHours->setFocus();
        break;
    case SettingsEditor::SaveResult::MinutesOutOfRange:
        cboMinutes->setFocus();
        break;
    case SettingsEditor::SaveResult::UpdateEveryOutOfRange:
        cboAutoUpdateEvery->setFocus();
        break;
    }
}

} // namespace th
