#include "alerts/ui/frmAlarm.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

#include "alerts/CountdownClock.h"
#include "config/WindowPlacement.h"
#include "config/cIniFile.h"
#include "platform/IClock.h"
#include "widgets/LcdFont.h"

namespace th {

namespace {

const QColor kNormalColour(122, 204, 200);
const QColor kWarningColour(255, 224, 192);

// Room around the rows of the window, in pixels.
constexpr int kMargin = 6;

// The window's sizes are fixed in pixels, so its fonts are too (points at 96 dots an inch,
// as the twips are): a higher logical resolution would otherwise push the digits out.
int pointsToPixels(int points)
{
    return (points * 96 + 36) / 72;
}

// The face "Auction Ended" is written in, or a look-alike where it is not installed.
QString endedFamily()
{
    for (const QString &family : { QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue") }) {
        if (QFontDatabase::hasFamily(family))
            return family;
    }
    return {};
}

// The clock window's placement as the position store keeps it: twips, 15 to the pixel.
class ClockPlacement final : public IPlacedWindow {
public:
    explicit ClockPlacement(QWidget &window)
        : m_window(window)
    {
    }

    QString formName() const override { return QStringLiteral("frmAlarm"); }
    int windowState() const override
    {
        if (m_window.windowState() & Qt::WindowMinimized)
            return Minimized;
        if (m_window.windowState() & Qt::WindowMaximized)
            return Maximized;
        return Normal;
    }
    bool setWindowState(int state) override
    {
        switch (state) {
        case Normal:
            m_window.setWindowState(m_window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
            return true;
        case Minimized:
            m_window.setWindowState(m_window.windowState() | Qt::WindowMinimized);
            return true;
        case Maximized:
            m_window.setWindowState(m_window.windowState() | Qt::WindowMaximized);
            return true;
        default:
            return false;
        }
    }
    int top() const override { return m_window.y() * kTwipsPerPixel; }
    bool setTop(int twips) override { return moveTo(m_window.x(), toPixels(twips)); }
    int left() const override { return m_window.x() * kTwipsPerPixel; }
    bool setLeft(int twips) override { return moveTo(toPixels(twips), m_window.y()); }
    // The size is fixed: a stored one is clamped to it, as the size lock does.
    int height() const override { return m_window.height() * kTwipsPerPixel; }
    bool setHeight(int twips) override
    {
        m_window.resize(m_window.width(), toPixels(twips));
        return true;
    }
    int width() const override { return m_window.width() * kTwipsPerPixel; }
    bool setWidth(int twips) override
    {
        m_window.resize(toPixels(twips), m_window.height());
        return true;
    }

private:
    static int toPixels(int twips) { return qRound(double(twips) / kTwipsPerPixel); }

    // Placing a window where it already is changes nothing; in particular a window never
    // placed keeps the place the desktop chooses for it.
    bool moveTo(int x, int y)
    {
        if (m_window.pos() != QPoint(x, y))
            m_window.move(x, y);
        return true;
    }

    QWidget &m_window;
};

QLabel *clockLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    return label;
}

} // namespace

frmAlarm::frmAlarm(IClock &clock, RegistryStore &store, IPrompter &prompter, QString configIniPath,
    QString resourceFolder, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_clock(clock)
    , m_store(store)
    , m_prompter(prompter)
    , m_configIniPath(std::move(configIniPath))
    , m_resourceFolder(std::move(resourceFolder))
    , m_placement(std::make_unique<ClockPlacement>(*this))
{
    setObjectName(QStringLiteral("frmAlarm"));
    setWindowTitle(QStringLiteral("Count Down Screen on Watched Item"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    buildControls();
    tmUpdateDetailTimeLeft.setObjectName(QStringLiteral("tmUpdateDetailTimeLeft"));
    tmUpdateDetailTimeLeft.setInterval(1000);
    connect(&tmUpdateDetailTimeLeft, &QTimer::timeout, this, &frmAlarm::tmUpdateDetailTimeLeft_Timer);
    restoreDesignState();
}

frmAlarm::~frmAlarm()
{
    if (ClockWindowOpen)
        unload();
}

void frmAlarm::buildControls()
{
    lblBackGround = new QLabel(this);
    lblBackGround->setObjectName(QStringLiteral("lblBackGround"));
    lblBackGround->setAutoFillBackground(true);

    // The digits sit in one row that keeps them centred whatever width the days take.
    m_digits = new QWidget(lblBackGround);
    auto *row = new QHBoxLayout(m_digits);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        lblRemaining[std::size_t(i)] = clockLabel(m_digits, QStringLiteral("lblRemaining%1").arg(i));
        row->addWidget(lblRemaining[std::size_t(i)]);
        if (i < 2) {
            QLabel *colon = clockLabel(m_digits, QStringLiteral("lblColon%1").arg(i));
            colon->setText(QStringLiteral(":"));
            row->addWidget(colon);
            lblColon[std::size_t(i)] = colon;
        }
    }
    row->addStretch(1);

    lblRemaining[3] = clockLabel(lblBackGround, QStringLiteral("lblRemaining3"));
    lblRemaining[3]->setText(QStringLiteral("Auction Ended"));
    QPalette red = lblRemaining[3]->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblRemaining[3]->setPalette(red);

    lblCurrentlyBid = new QLabel(QStringLiteral("Currently Bid:"), lblBackGround);
    lblCurrentlyBid->setObjectName(QStringLiteral("lblCurrentlyBid"));
    lblCurrentlyBidValue = new QLabel(lblBackGround);
    lblCurrentlyBidValue->setObjectName(QStringLiteral("lblCurrentlyBidValue"));

    m_sizeGroup = new QButtonGroup(this);
    const QString captions[] = { QStringLiteral("Big"), QStringLiteral("Medium"), QStringLiteral("Small") };
    for (int i = 0; i < kClockSizeCount; ++i) {
        auto *option = new QRadioButton(captions[i], lblBackGround);
        option->setObjectName(QStringLiteral("optSizeBig%1").arg(i));
        option->setFocusPolicy(Qt::NoFocus);
        m_sizeGroup->addButton(option, i);
        connect(option, &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                optSizeBig_Click(i);
        });
        optSizeBig[std::size_t(i)] = option;
    }
}

void frmAlarm::restoreDesignState()
{
    // A window loaded again starts as a fresh one would: nothing selected, the big layout,
    // the normal colour, no "Auction Ended".
    m_sizeGroup->setExclusive(false);
    for (QRadioButton *option : optSizeBig)
        option->setChecked(false);
    m_sizeGroup->setExclusive(true);
    lblCurrentlyBid->setVisible(true);
    lblCurrentlyBidValue->setVisible(true);
    lblRemaining[3]->hide();
    setColour(kNormalColour);
    layOut(kClockSizeBig, /*moveExtraLabels=*/true);
}

void frmAlarm::openFor(const ClockTarget &target)
{
    if (!ClockWindowOpen)
        load();
    for (QLabel *label : lblRemaining)
        label->setToolTip(target.tip);
    ClockEndTime = target.endTime;
    show();
}

void frmAlarm::load()
{
    ClockWindowOpen = true;
    m_digitFamily = LcdFont::LoadLcdFont(m_resourceFolder);
    restoreDesignState();
    for (int i = 0; i < 3; ++i)
        lblRemaining[std::size_t(i)]->clear();
    LoadWindowPos(m_store, *m_placement, m_prompter);

    cIniFile ini;
    ini.Path = m_configIniPath;
    ini.Section = QStringLiteral("User");
    ini.Key = QStringLiteral("LargeScreen");
    if (const std::optional<int> size = clockSizeFromText(ini.Value()))
        optSizeBig[std::size_t(*size)]->setChecked(true);

    if (!tmUpdateDetailTimeLeft.isActive())
        tmUpdateDetailTimeLeft.start();
}

void frmAlarm::unload()
{
    tmUpdateDetailTimeLeft.stop();
    if (const int size = selectedSize(); size >= 0) {
        cIniFile ini;
        ini.Path = m_configIniPath;
        ini.Section = QStringLiteral("User");
        ini.Key = QStringLiteral("LargeScreen");
        ini.setValue(QString::number(size));
    }
    SaveWindowPos(m_store, *m_placement, m_prompter);
    LcdFont::UnloadLcdFont();
    ClockWindowOpen = false;
}

void frmAlarm::closeEvent(QCloseEvent *event)
{
    if (ClockWindowOpen)
        unload();
    QWidget::closeEvent(event);
}

int frmAlarm::selectedSize() const
{
    return m_sizeGroup->checkedId();
}

void frmAlarm::optSizeBig_Click(int index)
{
    if (index < 0 || index >= kClockSizeCount)
        return;
    const ExtraLabels extra = clockSize(index).extraLabels;
    if (extra != ExtraLabels::LeftAsTheyAre) {
        lblCurrentlyBid->setVisible(extra == ExtraLabels::Shown);
        lblCurrentlyBidValue->setVisible(extra == ExtraLabels::Shown);
    }
    layOut(index, extra == ExtraLabels::Shown);
}

void frmAlarm::layOut(int sizeIndex, bool moveExtraLabels)
{
    const ClockSize &size = clockSize(sizeIndex);
    const int width = twipsToPixels(size.widthTwips);
    const int height = twipsToPixels(size.heightTwips);
    setFixedSize(width, height);
    lblBackGround->setGeometry(0, 0, width, height);

    QFont digitFont = m_digitFamily.isEmpty() ? QWidget::font() : QFont(m_digitFamily);
    digitFont.setBold(true);
    digitFont.setPixelSize(pointsToPixels(size.digitPointSize));
    for (int i = 0; i < 3; ++i)
        lblRemaining[std::size_t(i)]->setFont(digitFont);
    // A little room either side of the colons, as on a clock: 1dy,05 : 03 : 09.
    const int colonRoom = digitFont.pixelSize() / 5;
    for (QLabel *colon : lblColon) {
        colon->setFont(digitFont);
        colon->setContentsMargins(colonRoom, 0, colonRoom, 0);
    }
    QFont endedFont = endedFamily().isEmpty() ? QWidget::font() : QFont(endedFamily());
    endedFont.setBold(true);
    endedFont.setPixelSize(pointsToPixels(size.digitPointSize));
    lblRemaining[3]->setFont(endedFont);

    // The size options along the bottom edge, right-aligned; the extra labels share that
    // row on the left in the big size, below the smaller windows' edges otherwise.
    int optionsLeft = width - kMargin;
    int optionsHeight = 0;
    for (QRadioButton *option : optSizeBig)
        optionsHeight = std::max(optionsHeight, option->sizeHint().height());
    const int optionsTop = height - kMargin / 2 - optionsHeight;
    for (auto it = optSizeBig.rbegin(); it != optSizeBig.rend(); ++it) {
        const int optionWidth = (*it)->sizeHint().width();
        optionsLeft -= optionWidth;
        (*it)->setGeometry(optionsLeft, optionsTop, optionWidth, optionsHeight);
    }
    if (moveExtraLabels) {
        const int captionWidth = lblCurrentlyBid->sizeHint().width();
        lblCurrentlyBid->setGeometry(kMargin, optionsTop, captionWidth, optionsHeight);
        lblCurrentlyBidValue->setGeometry(kMargin + captionWidth + kMargin, optionsTop,
            std::max(0, optionsLeft - 2 * kMargin - captionWidth - kMargin), optionsHeight);
    }

    // The digits centred in the room above that row, with room to spare: the segments
    // reach above the font's ascent. "Auction Ended" covers the whole row, so that no
    // stray digit shows beside it.
    const QFontMetrics metrics(digitFont);
    const int rowHeight
        = std::max(metrics.height(), metrics.tightBoundingRect(QStringLiteral("8")).height()) + kMargin;
    const int rowTop = std::max(0, (optionsTop - rowHeight) / 2);
    m_digits->setGeometry(0, rowTop, width, rowHeight);
    lblRemaining[3]->setGeometry(0, rowTop, width, rowHeight);
    lblRemaining[3]->raise();
}

void frmAlarm::setColour(const QColor &colour)
{
    // The labels take the background's colour: they fill themselves with it.
    m_colour = colour;
    QPalette palette = lblBackGround->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, Qt::black);
    lblBackGround->setPalette(palette);
}

void frmAlarm::tmUpdateDetailTimeLeft_Timer()
{
    const CountdownDisplay display = countdownDisplay(m_clock.now(), ClockEndTime);
    if (!display.ended) {
        setColour(display.warning ? kWarningColour : kNormalColour);
        if (ClockWindowOpen && display.writesDigits()) {
            lblRemaining[3]->hide();
            lblRemaining[0]->setText(display.daysHours);
            lblRemaining[1]->setText(display.minutes);
            lblRemaining[2]->setText(display.seconds);
        }
    } else if (ClockWindowOpen) {
        lblRemaining[3]->show();
    }
}

} // namespace th
