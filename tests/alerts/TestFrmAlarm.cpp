#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "FakeClock.h"
#include "FakePrompter.h"
#include "TestSupport.h"
#include "alerts/CountdownClock.h"
#include "alerts/ui/frmAlarm.h"
#include "config/cIniFile.h"
#include "store/RegistryStore.h"

using namespace th;
using namespace th::test;

namespace {

const QColor kNormal(122, 204, 200);
const QColor kWarning(255, 224, 192);

// The three digit labels' texts, one blank between them.
QString face(const frmAlarm &window)
{
    return window.lblRemaining[0]->text() + u' ' + window.lblRemaining[1]->text() + u' '
        + window.lblRemaining[2]->text();
}

} // namespace

// The countdown clock window: what it shows as time passes, its three sizes, and what it
// remembers between openings.
class TestFrmAlarm final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void countsDownThenShowsAuctionEnded();
    void endedItemThenAnotherItemWhileOpen();
    void eachSizeHasItsFixedSizeFontAndExtraLabels_data();
    void eachSizeHasItsFixedSizeFontAndExtraLabels();
    void sizeAndPositionSurviveAnotherWindow();
    void storedSizeOutsideTheTableSelectsNothing();

private:
    std::unique_ptr<frmAlarm> makeWindow();
    cIniFile largeScreenIni() const;
    ClockTarget target(qint64 secondsLeft, const QString &tip = QStringLiteral("tip")) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryStore> m_store;
    FakeClock m_clock;
    FakePrompter m_prompter;
};

void TestFrmAlarm::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = openTestStore(m_dir->path());
    QVERIFY(m_store);
    m_prompter.clear();
}

void TestFrmAlarm::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

std::unique_ptr<frmAlarm> TestFrmAlarm::makeWindow()
{
    return std::make_unique<frmAlarm>(
        m_clock, *m_store, m_prompter, configIniPath(m_dir->path()), resourceFolder());
}

cIniFile TestFrmAlarm::largeScreenIni() const
{
    cIniFile ini;
    ini.Path = configIniPath(m_dir->path());
    ini.Section = QStringLiteral("User");
    ini.Key = QStringLiteral("LargeScreen");
    ini.Default = QStringLiteral("<missing>");
    return ini;
}

ClockTarget TestFrmAlarm::target(qint64 secondsLeft, const QString &tip) const
{
    return { m_clock.now().addSecs(secondsLeft), tip };
}

void TestFrmAlarm::countsDownThenShowsAuctionEnded()
{
    const auto window = makeWindow();
    window->openFor(target(3601));
    QVERIFY(window->isVisible());
    QVERIFY(window->tmUpdateDetailTimeLeft.isActive());

    window->tmUpdateDetailTimeLeft_Timer();
    QCOMPARE(face(*window), "0dy,01 00 01");
    QCOMPARE(window->clockColour(), kNormal);

    m_clock.advanceSeconds(3301);
    window->tmUpdateDetailTimeLeft_Timer();
    QCOMPARE(face(*window), "0dy,00 05 00");
    const QList<QWidget *> painted { window->lblBackGround, window->lblColon[0], window->lblColon[1],
        window->lblRemaining[0], window->lblRemaining[3] };
    for (const QWidget *widget : painted)
        QCOMPARE(widget->palette().color(QPalette::Window), kWarning);
    QVERIFY(window->lblRemaining[3]->isHidden());

    m_clock.advanceSeconds(299);
    window->tmUpdateDetailTimeLeft_Timer();
    m_clock.advanceSeconds(1); // the end itself
    window->tmUpdateDetailTimeLeft_Timer();
    QVERIFY(!window->lblRemaining[3]->isHidden());
    QCOMPARE(window->lblRemaining[3]->text(), "Auction Ended");
    QCOMPARE(face(*window), "0dy,00 00 01");
    QCOMPARE(window->clockColour(), kWarning);
}

void TestFrmAlarm::endedItemThenAnotherItemWhileOpen()
{
    const auto window = makeWindow();
    window->openFor(target(-60, QStringLiteral("first")));
    window->tmUpdateDetailTimeLeft_Timer();
    QVERIFY(!window->lblRemaining[3]->isHidden());
    QCOMPARE(face(*window), "  ");

    const ClockTarget second = target(90, QStringLiteral("second"));
    window->openFor(second);
    QCOMPARE(window->clockEndTime(), second.endTime);
    for (const QLabel *label : window->lblRemaining)
        QCOMPARE(label->toolTip(), "second");
    window->tmUpdateDetailTimeLeft_Timer();
    QVERIFY(window->lblRemaining[3]->isHidden());
    QCOMPARE(face(*window), "0dy,00 01 30");
}

void TestFrmAlarm::eachSizeHasItsFixedSizeFontAndExtraLabels_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("before"); // the size chosen first
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<int>("fontPixels");
    QTest::addColumn<bool>("extraLabelsShown");

    QTest::newRow("big") << 0 << 1 << QSize(427, 130) << 33 << true;
    QTest::newRow("medium") << 1 << 0 << QSize(292, 87) << 23 << false;
    QTest::newRow("small after big") << 2 << 0 << QSize(191, 74) << 13 << true;
    QTest::newRow("small after medium") << 2 << 1 << QSize(191, 74) << 13 << false;
}

void TestFrmAlarm::eachSizeHasItsFixedSizeFontAndExtraLabels()
{
    QFETCH(int, size);
    QFETCH(int, before);
    QFETCH(QSize, pixels);
    const auto window = makeWindow();
    window->openFor(target(60));
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(!window->isModal());

    window->optSizeBig[std::size_t(before)]->click();
    window->optSizeBig[std::size_t(size)]->click();
    QCOMPARE(window->selectedSize(), size);
    QCOMPARE(window->minimumSize(), pixels);
    QCOMPARE(window->maximumSize(), pixels);
    QTEST(window->lblRemaining[0]->font().pixelSize(), "fontPixels");
    QCOMPARE(window->lblColon[1]->font(), window->lblRemaining[2]->font());
    QTEST(window->lblCurrentlyBid->isVisibleTo(window.get()), "extraLabelsShown");
    QTEST(window->lblCurrentlyBidValue->isVisibleTo(window.get()), "extraLabelsShown");
}

void TestFrmAlarm::sizeAndPositionSurviveAnotherWindow()
{
    QCOMPARE(largeScreenIni().Value(), "<missing>");
    {
        const auto window = makeWindow();
        window->openFor(target(60));
        QCOMPARE(window->selectedSize(), 0);
        window->optSizeBig[2]->click();
        window->move(150, 90);
        QVERIFY(window->close());
        QVERIFY(!window->isClockWindowOpen());
        QVERIFY(!window->tmUpdateDetailTimeLeft.isActive());
    }
    QCOMPARE(largeScreenIni().Value(), "2");

    const auto window = makeWindow();
    window->openFor(target(60));
    QCOMPARE(window->selectedSize(), 2);
    QCOMPARE(window->size(), QSize(191, 74));
    QCOMPARE(window->pos(), QPoint(150, 90));
    QVERIFY(m_prompter.shown().isEmpty());
}

void TestFrmAlarm::storedSizeOutsideTheTableSelectsNothing()
{
    largeScreenIni().setValue(QStringLiteral("7"));

    const auto window = makeWindow();
    const QSize designSize = window->size();
    window->openFor(target(60));
    QCOMPARE(window->selectedSize(), -1);
    QCOMPARE(window->size(), designSize);
    QVERIFY(window->close());
    QCOMPARE(largeScreenIni().Value(), "7");
}

QTEST_MAIN(TestFrmAlarm)
#include "TestFrmAlarm.moc"
