#include <QTemporaryDir>
#include <QTest>

#include "FakePrompter.h"
#include "TestSupport.h"
#include "config/WindowPlacement.h"
#include "store/RegistryStore.h"

using namespace th;
using namespace th::test;

namespace {

// A window that records every placement it is given.
class FakeWindow final : public IPlacedWindow {
public:
    QString formName() const override { return QStringLiteral("frmAlarm"); }
    int windowState() const override { return state; }
    bool setWindowState(int value) override { return apply("WindowState", value, state); }
    int top() const override { return topTwips; }
    bool setTop(int value) override { return apply("Top", value, topTwips); }
    int left() const override { return leftTwips; }
    bool setLeft(int value) override { return apply("Left", value, leftTwips); }
    int height() const override { return heightTwips; }
    bool setHeight(int value) override { return apply("Height", value, heightTwips); }
    int width() const override { return widthTwips; }
    bool setWidth(int value) override { return apply("Width", value, widthTwips); }

    int state = Normal;
    int topTwips = 1500;
    int leftTwips = 3000;
    int heightTwips = 4500;
    int widthTwips = 6000;
    QString refuse;
    QStringList applied;

private:
    bool apply(const char *what, int value, int &field)
    {
        if (refuse == QLatin1String(what))
            return false;
        applied.append(QStringLiteral("%1=%2").arg(QLatin1String(what)).arg(value));
        field = value;
        return true;
    }
};

const QString kProgram = QStringLiteral("tallyhawk");

} // namespace

class TestWindowPlacement final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void appSettingsJoinTheirKeyAndKeepANul();
    void readAppSettingGivesNumbersAsTextAndOtherwiseTheDefault();
    void savedPlacementComesBack();
    void maximisedWindowSavesItsNormalSize();
    void missingPlacementLeavesTheWindowAlone();
    void firstErrorStopsAndIsShown_data();
    void firstErrorStopsAndIsShown();

private:
    void store(const QString &key, const QString &text);
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryStore> m_store;
    test::FakePrompter m_prompter;
};

void TestWindowPlacement::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = openTestStore(m_dir->path());
    QVERIFY(m_store);
    m_prompter.clear();
}

void TestWindowPlacement::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

void TestWindowPlacement::store(const QString &key, const QString &text)
{
    QVERIFY(WriteAppSetting(*m_store, kProgram, "frmAlarm", key, text, RegRoot::LocalMachine, "SOFTWARE"));
}

void TestWindowPlacement::appSettingsJoinTheirKeyAndKeepANul()
{
    QVERIFY(
        WriteAppSetting(*m_store, kProgram, "frmAlarm", "Top", "1500", RegRoot::LocalMachine, "SOFTWARE"));
    const std::optional<RegValue> value
        = m_store->value(RegRoot::LocalMachine, "SOFTWARE\\tallyhawk\\frmAlarm", "Top");
    QVERIFY(value);
    QCOMPARE(value->kind, RegKind::String);
    QCOMPARE(value->data, regDataFromText(QString(QStringLiteral("1500") + QChar(0))));
    QCOMPARE(ReadAppSetting(*m_store, kProgram, "frmAlarm", "Top", "x", RegRoot::LocalMachine, "SOFTWARE"),
        "1500");

    // Empty parts are skipped.
    QVERIFY(WriteAppSetting(*m_store, kProgram, "", "K", "v", RegRoot::CurrentUser, ""));
    QCOMPARE(m_store->value(RegRoot::CurrentUser, "tallyhawk", "K")->text(), "v");
    QCOMPARE(ReadAppSetting(*m_store, kProgram, "", "K", "x", RegRoot::CurrentUser, ""), "v");
}

void TestWindowPlacement::readAppSettingGivesNumbersAsTextAndOtherwiseTheDefault()
{
    const QString key = QStringLiteral("SOFTWARE\\tallyhawk\\frmAlarm");
    QVERIFY(m_store->setValue(RegRoot::LocalMachine, key, RegValue::fromDword("Top", quint32(-15))));
    QVERIFY(m_store->setValue(RegRoot::LocalMachine, key, RegValue::fromBinary("Left", "12")));
    QVERIFY(m_store->setValue(RegRoot::LocalMachine, key, RegValue::fromString("Width", "900")));
    const auto read = [&](const char *name) {
        return ReadAppSetting(
            *m_store, kProgram, "frmAlarm", name, "dflt", RegRoot::LocalMachine, "SOFTWARE");
    };
    QCOMPARE(read("Top"), "-15");
    QCOMPARE(read("Left"), "dflt");
    QCOMPARE(read("Width"), "900");
    QCOMPARE(read("Height"), "dflt");
    QCOMPARE(ReadAppSetting(*m_store, "other", "frmAlarm", "Top", "dflt", RegRoot::LocalMachine, "SOFTWARE"),
        "dflt");
}

void TestWindowPlacement::savedPlacementComesBack()
{
    FakeWindow saved;
    saved.topTwips = -300;
    saved.leftTwips = 15;
    SaveWindowPos(*m_store, saved, m_prompter, kProgram);
    QVERIFY(m_prompter.shown().isEmpty());
    QCOMPARE(m_store->values(RegRoot::LocalMachine, "SOFTWARE\\tallyhawk\\frmAlarm").size(), 5);

    FakeWindow loaded;
    loaded.topTwips = 0;
    loaded.leftTwips = 0;
    loaded.heightTwips = 0;
    loaded.widthTwips = 0;
    loaded.state = IPlacedWindow::Minimized;
    LoadWindowPos(*m_store, loaded, m_prompter, kProgram);
    QVERIFY(m_prompter.shown().isEmpty());
    QCOMPARE(loaded.applied,
        (QStringList { "Top=-300", "Left=15", "Height=4500", "Width=6000", "WindowState=0" }));
}

void TestWindowPlacement::maximisedWindowSavesItsNormalSize()
{
    FakeWindow window;
    window.state = IPlacedWindow::Maximized;
    SaveWindowPos(*m_store, window, m_prompter, kProgram);
    QCOMPARE(window.applied, QStringList { "WindowState=0" });
    const auto read = [&](const char *name) {
        return ReadAppSetting(*m_store, kProgram, "frmAlarm", name, "", RegRoot::LocalMachine, "SOFTWARE");
    };
    QCOMPARE(read("WindowState"), "2");
    QCOMPARE(read("Width"), "6000");
}

void TestWindowPlacement::missingPlacementLeavesTheWindowAlone()
{
    FakeWindow window;
    LoadWindowPos(*m_store, window, m_prompter, kProgram);
    QCOMPARE(window.applied,
        (QStringList { "Top=1500", "Left=3000", "Height=4500", "Width=6000", "WindowState=0" }));
    QVERIFY(m_prompter.shown().isEmpty());
}

void TestWindowPlacement::firstErrorStopsAndIsShown_data()
{
    QTest::addColumn<QString>("badKey");
    QTest::addColumn<QString>("badText");
    QTest::addColumn<QString>("refuse");
    QTest::addColumn<QStringList>("applied");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a number") << "Height"
                                  << "tall"
                                  << "" << QStringList { "Top=30", "Left=45" }
                                  << "Error 201\n\nThe stored window placement is not a number";
    QTest::newRow("window refuses") << ""
                                    << ""
                                    << "Left" << QStringList { "Top=30" }
                                    << "Error 202\n\nThe window cannot be moved or sized now";
}

void TestWindowPlacement::firstErrorStopsAndIsShown()
{
    QFETCH(QString, badKey);
    QFETCH(QString, badText);
    QFETCH(QString, refuse);
    QFETCH(QStringList, applied);
    QFETCH(QString, message);
    store("Top", "30");
    store("Left", "45");
    store("Width", "60");
    if (!badKey.isEmpty())
        store(badKey, badText);
    FakeWindow window;
    window.refuse = refuse;
    LoadWindowPos(*m_store, window, m_prompter, kProgram);
    QCOMPARE(window.applied, applied);
    QCOMPARE(m_prompter.shown().size(), 1);
    QCOMPARE(m_prompter.last().text, message);
    QCOMPARE(m_prompter.last().title, "Tallyhawk");
    QCOMPARE(m_prompter.last().buttons, PromptButtons::Ok);
}

QTEST_APPLESS_MAIN(TestWindowPlacement)
#include "TestWindowPlacement.moc"
