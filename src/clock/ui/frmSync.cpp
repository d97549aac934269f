#include "clock/ui/frmSync.h"

#include <optional>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "clock/ClockState.h"
#include "clock/ClockSync.h"
#include "clock/DaytimeReply.h"
#include "clock/SyncTexts.h"
#include "common/Formats.h"
#include "common/Timers.h"
#include "platform/IClock.h"
#include "platform/IConnectionState.h"
#include "platform/IPrompter.h"
#include "widgets/ScreenFitScrollArea.h"

namespace th {

namespace {

constexpr int kGmtZeroEntry = 12;
constexpr int kServerChoice = 1;

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLineEdit *readOnlyBox(QWidget *parent, const char *name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    // Shown values: a click may select them, but the keyboard focus passes them by (a
    // check button that disables itself hands the focus on to the next control).
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmSync::frmSync(
    Context context, const TimeServerTable &servers, const FixedSeconds &fineTune, QWidget *parent)
    : QDialog(parent)
    , m_ctx(context)
    , m_servers(servers)
{
    setObjectName(QStringLiteral("frmSync"));
    setWindowTitle(QStringLiteral("Atomic Time Syncronisation"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setUpTimer(tmResetIcon, "tmResetIcon", 8000, false);
    setUpTimer(timeLocal, "timeLocal", 100, false);
    setUpTimer(timeRemote, "timeRemote", 100, false);
    wskAtom.setObjectName(QStringLiteral("wskAtom"));

    // The frames scroll on a screen too small for them; Close stays in view.
    auto *body = new QWidget(this);
    auto *frames = new QVBoxLayout(body);
    frames->setContentsMargins(0, 0, 0, 0);
    frames->addWidget(createConnectionFrame());
    frames->addWidget(createAdjustmentFrame());
    frames->addWidget(createServerControls());
    cmdClose = button(this, "cmdClose", QStringLiteral("&Close"));
    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    const int line = fontMetrics().height();
    layout->addWidget(
        new ScreenFitScrollArea(body, QSize(2 * line, cmdClose->sizeHint().height() + 6 * line), this));
    layout->addLayout(closeRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdRecheckInet, &QPushButton::clicked, this, &frmSync::CheckInternetConnection);
    connect(cmdChkTimeDiff, &QPushButton::clicked, this, &frmSync::cmdChkTimeDiff_Click);
    connect(cMaj, &QPushButton::clicked, this, &frmSync::cMaj_Click);
    connect(cmdAdjustSysTime, &QPushButton::clicked, this, &frmSync::cmdAdjustSysTime_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSync::cmdClose_Click);
    connect(&tmResetIcon, &QTimer::timeout, this, &frmSync::tmResetIcon_Timer);
    connect(&wskAtom, &DaytimeQuery::replyReceived, this, &frmSync::wskAtom_DataArrival);

    // The load step.
    for (int i = 0; i < m_servers.size(); ++i)
        cmbServer->addItem(u'[' + m_servers.hostName(i) + u"] " + m_servers.location(i));
    cmbServer->setCurrentIndex(kServerChoice);
    cmbGMT->addItems(gmtChoices());
    cmbGMT->setCurrentIndex(kDefaultGmtChoice);
    showLocalTime();
    cboFineTune->addItems(fineTuneChoices());
    cboFineTune->setEditText(fineTuneText(fineTune));
    CheckInternetConnection();
}

QWidget *frmSync::createConnectionFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("Your Internet Connection"), this);
    auto *grid = new QGridLayout(frame);
    txtInetViaLAN = readOnlyBox(frame, "txtInetViaLAN");
    txtInetViaModem = readOnlyBox(frame, "txtInetViaModem");
    txtInetViaProxy = readOnlyBox(frame, "txtInetViaProxy");
    txtInetOnline = readOnlyBox(frame, "txtInetOnline");
    txtInetRASInstalled = readOnlyBox(frame, "txtInetRASInstalled");
    const std::pair<const char *, QLineEdit *> boxes[]
        = { { "via LAN", txtInetViaLAN }, { "via Modem", txtInetViaModem }, { "via Proxy", txtInetViaProxy },
              { "Is Online", txtInetOnline }, { "RAS Installed", txtInetRASInstalled } };
    int row = 0;
    for (const auto &[label, box] : boxes) {
        box->setMaximumWidth(90);
        grid->addWidget(new QLabel(QString::fromLatin1(label), frame), row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }
    grid->addWidget(new QLabel(QStringLiteral("Description:"), frame), 0, 2);
    txtInetDescription = new QPlainTextEdit(frame);
    txtInetDescription->setObjectName(QStringLiteral("txtInetDescription"));
    txtInetDescription->setReadOnly(true);
    txtInetDescription->setFixedSize(300, 100);
    grid->addWidget(txtInetDescription, 1, 2, 4, 1);
    cmdRecheckInet = button(frame, "cmdRecheckInet", QStringLiteral("Inet Checking"));
    grid->addWidget(cmdRecheckInet, row, 1);
    auto *note = new QLabel(
        QStringLiteral("Rem: this detection is a rough detection.  This detection may detect "
                       "incorrectly if you are using Cable Modem or if you are using Network Card"),
        frame);
    note->setWordWrap(true);
    grid->addWidget(note, row + 1, 0, 1, 3);
    return frame;
}

QWidget *frmSync::createAdjustmentFrame()
{
    frmeAtomTime = new QGroupBox(QStringLiteral("Clock Adjustment with Atomic Clock (US.Navy)"), this);
    frmeAtomTime->setObjectName(QStringLiteral("frmeAtomTime"));
    frmeAtomTime->setToolTip(
        QStringLiteral("Ebay's Time is sync. with Atomic Clock, please adjust for your accuracy"));
    auto *grid = new QGridLayout(frmeAtomTime);
    cboFineTune = new QComboBox(frmeAtomTime);
    cboFineTune->setObjectName(QStringLiteral("cboFineTune"));
    cboFineTune->setEditable(true);
    cboFineTune->setToolTip(QStringLiteral("Finetune ONLY (if auto.adjust do not match the eBay's clock)"));
    grid->addWidget(new QLabel(QStringLiteral("Finetune Adj:"), frmeAtomTime), 0, 0);
    grid->addWidget(cboFineTune, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sec."), frmeAtomTime), 0, 2);
    txtSysTimeDiff = new QLineEdit(frmeAtomTime);
    txtSysTimeDiff->setObjectName(QStringLiteral("txtSysTimeDiff"));
    grid->addWidget(new QLabel(QStringLiteral("Time Diff:"), frmeAtomTime), 1, 0);
    grid->addWidget(txtSysTimeDiff, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sec."), frmeAtomTime), 1, 2);
    cmdChkTimeDiff = button(frmeAtomTime, "cmdChkTimeDiff", QStringLiteral("&Check Time Diff."));
    cmdChkTimeDiff->setToolTip(QStringLiteral(
        "System Clock may vary from -1 to 1 sec. Please recheck several times before making an adjustment"));
    cmdAdjustSysTime = button(frmeAtomTime, "cmdAdjustSysTime", QStringLiteral("&Adjust System Clock"));
    // Nothing to adjust until a reply has shown a difference.
    cmdAdjustSysTime->setEnabled(false);
    grid->addWidget(cmdChkTimeDiff, 0, 3);
    grid->addWidget(cmdAdjustSysTime, 1, 3);
    txtTimeZone = readOnlyBox(frmeAtomTime, "txtTimeZone");
    grid->addWidget(new QLabel(QStringLiteral("Time Zone:"), frmeAtomTime), 2, 0);
    grid->addWidget(txtTimeZone, 2, 1);
    lblClockMessage = new QLabel(frmeAtomTime);
    lblClockMessage->setObjectName(QStringLiteral("lblClockMessage"));
    lblClockMessage->setWordWrap(true);
    setTextColour(lblClockMessage, Qt::red);
    grid->addWidget(lblClockMessage, 3, 0, 1, 4);
    return frmeAtomTime;
}

QWidget *frmSync::createServerControls()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    cmbServer = new QComboBox(box);
    cmbServer->setObjectName(QStringLiteral("cmbServer"));
    cmbGMT = new QComboBox(box);
    cmbGMT->setObjectName(QStringLiteral("cmbGMT"));
    grid->addWidget(new QLabel(QStringLiteral("Server:"), box), 0, 0);
    grid->addWidget(cmbServer, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("GMT Decal:"), box), 1, 0);
    grid->addWidget(cmbGMT, 1, 1);
    lLocalTime = new QLabel(QStringLiteral("00:00:00"), box);
    lLocalTime->setObjectName(QStringLiteral("lLocalTime"));
    lAtomicTime = new QLabel(QStringLiteral("00:00:00"), box);
    lAtomicTime->setObjectName(QStringLiteral("lAtomicTime"));
    grid->addWidget(new QLabel(QStringLiteral("Local Time"), box), 2, 0);
    grid->addWidget(lLocalTime, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Atomic Time"), box), 3, 0);
    grid->addWidget(lAtomicTime, 3, 1);
    cMaj = button(box, "cMaj", QStringLiteral("Retrieve Atomic Time"));
    chkSys = new QCheckBox(QStringLiteral("Auto-Update System Time"), box);
    chkSys->setObjectName(QStringLiteral("chkSys"));
    grid->addWidget(cMaj, 2, 2, 1, 2);
    grid->addWidget(chkSys, 3, 2, 1, 2);
    return box;
}

void frmSync::CheckInternetConnection()
{
    const quint32 flags = m_ctx.connection.flags();
    const bool connected = m_ctx.connection.isConnected();
    const std::pair<QLineEdit *, bool> boxes[] = { { txtInetViaLAN, (flags & ConnectionFlag::Lan) != 0 },
        { txtInetViaModem, (flags & ConnectionFlag::Modem) != 0 },
        { txtInetViaProxy, (flags & ConnectionFlag::Proxy) != 0 }, { txtInetOnline, connected },
        { txtInetRASInstalled, (flags & ConnectionFlag::Ras) != 0 } };
    for (const auto &[box, detected] : boxes) {
        box->setText(detected ? QStringLiteral("Detected") : QStringLiteral("..."));
        setTextColour(box, detected ? QColor(Qt::red) : QColor(Qt::black));
    }
    txtInetDescription->setPlainText(connectionDescription(flags, connected));
    frmeAtomTime->setEnabled(connected);
    if (!connected)
        return;
    m_ctx.clockSync.GetPacificOffsetHours();
    txtTimeZone->setText(m_ctx.state.TimeZoneAbbrev);
    txtTimeZone->setToolTip(m_ctx.state.TimeZoneName);
}

void frmSync::cmdChkTimeDiff_Click()
{
    cmdChkTimeDiff->setEnabled(false);
    enableTimer(tmResetIcon);
    cMaj_Click();
}

void frmSync::cMaj_Click()
{
    const int index = cmbServer->currentIndex();
    wskAtom.close();
    if (index < 0 || index >= m_servers.size())
        return;
    wskAtom.query(m_servers.at(index).address);
}

void frmSync::tmResetIcon_Timer()
{
    disableTimer(tmResetIcon);
    cmdChkTimeDiff->setEnabled(true);
    wskAtom.close();
}

void frmSync::wskAtom_DataArrival(const QString &reply)
{
    // A failure told earlier belongs to an earlier reply: this one may show the clock in step.
    lblClockMessage->clear();
    if (reply.contains(u':')) {
        // A reply that cannot be read changes nothing on display.
        if (const std::optional<DaytimeRecord> record = ParseDaytimeReply(reply)) {
            m_ctx.clockSync.ComputeClockOffset(*record, false);
            cmdChkTimeDiff->setEnabled(true);
            setAdjustmentShown(m_ctx.state.ClockOffsetSeconds);
        }
    }
    lAtomicTime->setText(atomicTimeText(reply, cmbGMT->currentIndex() - kGmtZeroEntry));
    if (chkSys->isChecked())
        setClockToAtomicTime();
    wskAtom.close();
}

void frmSync::setAdjustmentShown(qint32 seconds)
{
    txtSysTimeDiff->setText(QString::number(seconds));
    setTextColour(txtSysTimeDiff, seconds != 0 ? QColor(Qt::red) : QColor(Qt::darkGreen));
    cmdAdjustSysTime->setEnabled(seconds != 0);
}

void frmSync::setClockToAtomicTime()
{
    const QDateTime now = m_ctx.clock.now();
    const QDateTime target = nearestWithTimeOfDay(now, lAtomicTime->text());
    // A reply that held no time of day gives nothing to set the clock to.
    if (!target.isValid()) {
        showClockMessage(QStringLiteral("The clock was not set: the reply holds no time of day"));
        return;
    }
    m_ctx.clockSync.moveClockByUser(
        now.msecsTo(target), [self = QPointer<frmSync>(this)](Result<void> result) {
            if (!self)
                return;
            if (!result) {
                self->showClockMessage(result.errorMessage());
                return;
            }
            self->lblClockMessage->clear();
            self->showLocalTime();
        });
}

void frmSync::cmdAdjustSysTime_Click()
{
    const qint32 seconds = m_ctx.state.ClockOffsetSeconds;
    if (txtSysTimeDiff->text() == u"0" && seconds == 0)
        return;
    if (seconds == 0) {
        setAdjustmentShown(0);
        return;
    }
    // One request at a time: the button comes back only when this one has failed.
    cmdAdjustSysTime->setEnabled(false);
    m_ctx.clockSync.moveClockByUser(
        qint64(seconds) * 1000, [self = QPointer<frmSync>(this)](Result<void> result) {
            if (!self)
                return;
            if (!result) {
                self->showClockMessage(result.errorMessage());
                self->cmdAdjustSysTime->setEnabled(true);
                return;
            }
            self->lblClockMessage->clear();
            self->setAdjustmentShown(0);
        });
}

void frmSync::cmdClose_Click()
{
    // The fine tune corrects a clock that is a few seconds off; a typo such as 99999 would
    // move both status-bar clocks by a day. A text without a number still means no fine tune.
    constexpr qint64 kLimitUnits = 5 * 10000;
    const FixedSeconds fineTune = FixedSeconds::fromText(cboFineTune->currentText());
    if (qAbs(fineTune.units()) > kLimitUnits) {
        m_ctx.prompter.message(QStringLiteral("Please check, Finetune Adj. must be from -5 to +5 seconds"),
            QStringLiteral("Err: Value out of range"), PromptIcon::Critical, PromptButtons::Ok);
        cboFineTune->setFocus();
        return;
    }
    Q_EMIT fineTuneChosen(fineTune);
    close();
}

void frmSync::showClockMessage(const QString &message)
{
    lblClockMessage->setText(message);
}

void frmSync::showLocalTime()
{
    lLocalTime->setText(formatClock(m_ctx.clock.now().time()));
}

} // namespace th
