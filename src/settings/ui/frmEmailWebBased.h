#pragma once

#include <QDialog>

#include "settings/SettingsEditor.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace th {

// "System Configuration": the accounts, the ending alerts and their sound, the new-bid
// notification and its sound, the update interval, the clock adjustment and starting with
// the desktop session. The two sound browsers and the start-up box act at once; everything
// else waits for the save button, and the close box leaves it as it was.
class frmEmailWebBased final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmEmailWebBased)

public:
    // Builds the controls and runs the load step.
    explicit frmEmailWebBased(SettingsEditor::Context context, QWidget *parent = nullptr);

    // The controls' contents, as the save reads them.
    SettingsForm form() const;

    QGroupBox *frmeHotmail = nullptr;
    QLineEdit *txtHotmailID = nullptr;
    QLineEdit *txtHotmailPwd = nullptr;
    QLineEdit *txtHotmailPwdConfirm = nullptr;
    QCheckBox *chkSaveHotmail = nullptr;
    QGroupBox *frmeYahoo = nullptr;
    QLineEdit *txtYahooID = nullptr;
    QLineEdit *txtYahooPwd = nullptr;
    QLineEdit *txtYahooPwdConfirm = nullptr;
    QCheckBox *chkSaveYahoo = nullptr;
    QGroupBox *frmeEbay = nullptr;
    QLineEdit *txtEBayID = nullptr;
    QLineEdit *txtEBayPWD = nullptr;
    QLineEdit *txtEBayPWDConfirm = nullptr;
    QCheckBox *chkSaveEBay = nullptr;
    QGroupBox *frmeAlert = nullptr;
    QComboBox *cboHours = nullptr;
    QComboBox *cboMinutes = nullptr;
    QCheckBox *chkPlaySoundAlert = nullptr;
    QLineEdit *txtAlertSound = nullptr;
    QPushButton *cmdBrowse = nullptr;
    QGroupBox *frmBidIncrease = nullptr;
    QCheckBox *chkShowBidNotification = nullptr;
    QCheckBox *chkPlayBidIncrementNotifySound = nullptr;
    QLineEdit *txtNotifySound = nullptr;
    QPushButton *cmdBrowse2 = nullptr;
    QComboBox *cboAutoUpdateEvery = nullptr;
    // Ours: "Count time left down between updates".
    QCheckBox *chkLiveTimeLeft = nullptr;
    // Ours: "Rewrite the exported calendar file after every update".
    QCheckBox *chkRewriteCalendarFile = nullptr;
    QCheckBox *chkAutoAdjTime = nullptr;
    QCheckBox *chkAutoAdjTimeB4Bid = nullptr;
    QCheckBox *chkAutoStart = nullptr;
    QPushButton *cmdClose = nullptr;

Q_SIGNALS:
    // A save changed the update interval.
    void updateIntervalChanged();
    // A save switched the countdown of the time left on or off.
    void liveTimeLeftChanged(bool on);

private:
    void createControls();
    void load();
    void cmdBrowse_Click(SettingsEditor::Sound sound, QLineEdit *box);
    void chkAutoStart_Click(bool ticked);
    void cmdClose_Click();

    SettingsEditor m_editor;
};

} // namespace th
