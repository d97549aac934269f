#pragma once

#include <array>
#include <memory>

#include <QColor>
#include <QDateTime>
#include <QTimer>
#include <QWidget>

class QButtonGroup;
class QLabel;
class QRadioButton;

namespace th {

class IClock;
class IPlacedWindow;
class IPrompter;
class RegistryStore;
struct ClockTarget;

// "Count Down Screen on Watched Item": the time left of one watched item in digital-clock
// digits, second by second, in one of three fixed sizes. It stays on top of other windows,
// shows without taking the focus and is modeless. One instance serves every opening: the
// owner keeps it and calls openFor() for the selected row.
//
// Loading (on the first openFor() after construction or after a close) registers the digit
// font, restores the saved position and the size kept under [User] LargeScreen in
// config.ini; closing saves both and unregisters the font.
class frmAlarm final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAlarm)

public:
    // `store` keeps the window's position; `prompter` shows the position store's errors;
    // `configIniPath` is config.ini of the data folder; `resourceFolder` holds LCDfont.ttf.
    // The clock, store and prompter must outlive the window.
    frmAlarm(IClock &clock, RegistryStore &store, IPrompter &prompter, QString configIniPath,
        QString resourceFolder, QWidget *parent = nullptr);
    ~frmAlarm() override;

    // Counts down to `target`. A closed window is loaded and shown; an open one only takes
    // the new end time and tips, and its next tick shows the new countdown.
    void openFor(const ClockTarget &target);

    // One tick of tmUpdateDetailTimeLeft: the time left, its colour, or "Auction Ended".
    void tmUpdateDetailTimeLeft_Timer();
    // Applies size `index` of optSizeBig (0 big, 1 medium, 2 small).
    void optSizeBig_Click(int index);

    bool isClockWindowOpen() const { return ClockWindowOpen; }
    QDateTime clockEndTime() const { return ClockEndTime; }
    // The index of the checked optSizeBig, -1 when none is.
    int selectedSize() const;
    // The colour of the background, the colons and the four lblRemaining labels.
    QColor clockColour() const { return m_colour; }

    // 0 days and hours, 1 minutes, 2 seconds, 3 "Auction Ended".
    std::array<QLabel *, 4> lblRemaining {};
    std::array<QLabel *, 2> lblColon {};
    QLabel *lblBackGround = nullptr;
    // Under the clock in the big size only: a caption and a value this window leaves empty.
    QLabel *lblCurrentlyBid = nullptr;
    QLabel *lblCurrentlyBidValue = nullptr;
    std::array<QRadioButton *, 3> optSizeBig {};
    QTimer tmUpdateDetailTimeLeft;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void load();
    void unload();
    void restoreDesignState();
    void layOut(int sizeIndex, bool moveExtraLabels);
    void setColour(const QColor &colour);

    IClock &m_clock;
    RegistryStore &m_store;
    IPrompter &m_prompter;
    QString m_configIniPath;
    QString m_resourceFolder;
    std::unique_ptr<IPlacedWindow> m_placement;
    QButtonGroup *m_sizeGroup = nullptr;
    QWidget *m_digits = nullptr;
    QString m_digitFamily;
    QColor m_colour;

    QDateTime ClockEndTime;
    bool ClockWindowOpen = false;
};

} // namespace th
