#pragma once

#include <array>

#include <QDialog>
#include <QTimer>

#include "clock/DaytimeQuery.h"
#include "clock/TimeServerTable.h"
#include "common/FixedSeconds.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace th {

class ClockSync;
class IClock;
class IConnectionState;
class IPrompter;
struct ClockState;

// "Atomic Time Syncronisation": the state of the Internet connection, the difference
// between the PC clock and a chosen time server, a one-button correction of the PC clock
// and the fine tune of the status-bar clocks. Modeless; it is destroyed when closed. Only
// its close button hands the fine tune on (fineTuneChosen); the window's close box does
// not.
class frmSync final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSync)

public:
    struct Context {
        ClockSync &clockSync;
        ClockState &state;
        const IClock &clock;
        const IConnectionState &connection;
        // Tells a fine tune outside its list's range.
        IPrompter &prompter;
    };

    // The load step: fills the lists from `servers`, shows `fineTune` and checks the
    // connection. Everything in `context` must outlive the dialog.
    frmSync(Context context, const TimeServerTable &servers, const FixedSeconds &fineTune,
        QWidget *parent = nullptr);

    // Fills the connection frame and enables the adjustment frame only when connected.
    void CheckInternetConnection();
    void cmdChkTimeDiff_Click();
    void cMaj_Click();
    void tmResetIcon_Timer();
    // What the dialog's socket brings back.
    void wskAtom_DataArrival(const QString &reply);
    void cmdAdjustSysTime_Click();
    void cmdClose_Click();
    // A correction that failed, said in the dialog.
    void showClockMessage(const QString &message);

    // Connection frame.
    QLineEdit *txtInetViaLAN = nullptr;
    QLineEdit *txtInetViaModem = nullptr;
    QLineEdit *txtInetViaProxy = nullptr;
    QLineEdit *txtInetOnline = nullptr;
    QLineEdit *txtInetRASInstalled = nullptr;
    QPlainTextEdit *txtInetDescription = nullptr;
    QPushButton *cmdRecheckInet = nullptr;
    // Adjustment frame.
    QGroupBox *frmeAtomTime = nullptr;
    QComboBox *cboFineTune = nullptr;
    QLineEdit *txtSysTimeDiff = nullptr;
    QPushButton *cmdChkTimeDiff = nullptr;
    QPushButton *cmdAdjustSysTime = nullptr;
    QLineEdit *txtTimeZone = nullptr;
    // Why the last correction failed; empty when none did.
    QLabel *lblClockMessage = nullptr;
    // Server and display controls.
    QComboBox *cmbServer = nullptr;
    QComboBox *cmbGMT = nullptr;
    QLabel *lLocalTime = nullptr;
    QLabel *lAtomicTime = nullptr;
    QPushButton *cMaj = nullptr;
    QCheckBox *chkSys = nullptr;
    QPushButton *cmdClose = nullptr;

    DaytimeQuery wskAtom;
    QTimer tmResetIcon;
    QTimer timeLocal;
    QTimer timeRemote;

Q_SIGNALS:
    // The fine tune typed or chosen, when the dialog is closed with its close button.
    void fineTuneChosen(const FixedSeconds &fineTune);

private:
    QWidget *createConnectionFrame();
    QWidget *createAdjustmentFrame();
    QWidget *createServerControls();
    void setAdjustmentShown(qint32 seconds);
    void setClockToAtomicTime();
    void showLocalTime();

    Context m_ctx;
    TimeServerTable m_servers;
};

} // namespace th
