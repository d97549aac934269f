#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "FakeClock.h"
#include "TestSupport.h"
#include "exchange/RegExport.h"
#include "exchange/RegImport.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

namespace {

// Every key below `path` with its values, depth first, one entry a value:
// "key path|value name|kind|data in hexadecimal". String kinds that the script carries
// as plain text can be compared by their text instead (`asText`).
QStringList contents(const RegistryStore &store, RegRoot root, const QString &path, bool asText = false)
{
    QStringList all { u'[' + path + u']' };
    for (const RegValue &value : store.values(root, path)) {
        const bool text = asText && value.isStringKind();
        all.append(QStringLiteral("%1|%2|%3|%4")
                       .arg(path, value.name)
                       .arg(text ? RegKind::String : value.kind)
                       .arg(text ? value.text() : QString::fromLatin1(value.data.toHex())));
    }
    for (const QString &name : store.subKeyNames(root, path))
        all += contents(store, root, path + u'\\' + name, asText);
    return all;
}

// Text of every kind of character a user or a page may give, without the two pairs that
// the script format reads as escapes ("\\" and "\"").
QString longText(qsizetype length)
{
    const QString alphabet = QString::fromUtf8("abcXYZ 0189 \"';#[]=@,.:-_/\\%&$€üぁ");
    QString text;
    text.reserve(length);
    QRandomGenerator random(20260401);
    while (text.size() < length) {
        const QChar c = alphabet[random.bounded(int(alphabet.size()))];
        if (!text.isEmpty() && text.back() == u'\\' && (c == u'\\' || c == u'"'))
            continue;
        text += c;
    }
    return text;
}

} // namespace

// A backup read back into an empty store gives the same store; a file of the system's
// editor survives an import, an export and another import.
class TestRegRoundTrip final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void backupRestoresEveryItem();
    void backupCarriesBidGroups();
    void expandableAndMultiStringsComeBackAsText();
    void textsComeBackExactly_data();
    void textsComeBackExactly();
    void systemEditorFileSurvivesImportAndExport();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryStore> m_first;
    std::unique_ptr<RegistryStore> m_second;
};

void TestRegRoundTrip::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_first = openTestStore(m_dir->filePath("first"));
    m_second = openTestStore(m_dir->filePath("second"));
    QVERIFY(m_first && m_second);
}

void TestRegRoundTrip::cleanup()
{
    m_first.reset();
    m_second.reset();
    m_dir.reset();
}

void TestRegRoundTrip::backupRestoresEveryItem()
{
    RegistryStore &store = *m_first;
    const auto item = [&](const char *number) { return itemKeyPath(QLatin1String(number)); };
    const RegRoot cu = RegRoot::CurrentUser;
    // What the program writes.
    SaveRegString(store, cu, item("3012345678"), "Item", "3012345678");
    SaveRegString(store, cu, item("3012345678"), "MaxAutoBid", storedDecimalText(25.5));
    SaveRegString(store, cu, item("3012345678"), "MaxQuantity", "1");
    SaveRegString(store, cu, item("3012345678"), "MaxTimeLeft", "20");
    SaveRegDword(store, cu, item("3012345678"), "AuctionEndDate", 37721);
    SaveRegString(store, cu, item("3012345678"), "AuctionEndDateTxt", "37720.8125");
    SaveRegString(store, cu, item("3012345678"), "AutoBidAt", "2003-04-09 19:29:40");
    SaveRegString(store, cu, item("2407604973"), "Item", "2407604973");
    SaveRegString(store, cu, item("2407604973"), "MaxBid", "25.50");
    SaveRegString(store, cu, item("2407604973"), "WonItem", "True");
    SaveRegString(store, cu, item("500000"), "Item", "500000");
    // Mixed-case names, empty values, long and unusual texts, other kinds.
    SaveRegString(store, cu, item("600000"), "iTEM", "600000");
    SaveRegString(store, cu, item("600000"), "maxBID", "");
    SaveRegString(store, cu, item("600000"), "", "");
    SaveRegDword(store, cu, item("600000"), "Zero", 0);
    SaveRegDword(store, cu, item("600000"), "Minus", -1);
    SaveRegString(store, cu, item("600000"), "Long", longText(100000));
    SaveRegString(store, cu, item("600000"), "Sound", "C:\\Program Files\\Tallyhawk\\alarm.wav");
    SaveRegString(store, cu, item("600000"), "Quotes", "\"quoted\" and \"\" and a trailing \\");
    SaveRegString(store, cu, item("600000"), "Name \"with\" = quotes", "x\";y\"");
    SaveRegString(store, cu, item("600000"), "Lines", "first\r\nsecond\nthird");
    QVERIFY(store.setValue(
        cu, item("600000"), RegValue::fromBinary("Binary", QByteArray("\x00\x01\xfe\xff", 4))));
    QVERIFY(store.setValue(cu, item("600000"), RegValue::fromBinary("EmptyBinary", QByteArray())));
    QVERIFY(store.setValue(cu, item("600000"), RegValue { "Other", 0x100, QByteArray("%PATH%\0", 7) }));
    QVERIFY(store.setValue(cu, item("600000"), RegValue { "None", RegKind::None, QByteArray() }));
    // Under an item: the watch list key itself holds only item numbers, and a restore
    // leaves out any other name.
    QVERIFY(store.createKey(cu, item("600000") + "\\MixedCaseKey"));
    QVERIFY(store.createKey(cu, item("600000") + "\\Sub\\Deeper"));
    SaveRegString(store, cu, item("600000") + "\\Sub", "v", "in a sub-key");
    SaveRegString(store, cu, item("2407604973"), "MAXBID", "26");

    const QString file = watchListExportPath(m_dir->path());
    QVERIFY(exportWatchList(store, file).ok());
    const Result<ImportSummary> imported = RunRegImport(*m_second, file, FakeClock().now());
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));

    const QString watches = QString::fromUtf16(kWatchListKey);
    const QStringList expected = contents(*m_first, cu, watches);
    QCOMPARE(expected.size(), 8 + 26); // keys and values
    QCOMPARE(contents(*m_second, cu, watches), expected);
    // The backup of the restored store is the same file.
    const QString again = m_dir->filePath("again.reg");
    QVERIFY(exportWatchList(*m_second, again).ok());
    QCOMPARE(fileBytes(again), fileBytes(file));
}

// A member's group lives in its item key, the groups' limits beside the watch list: both
// must come back, or a restore would arm members with no limit to hold them to.
void TestRegRoundTrip::backupCarriesBidGroups()
{
    const RegRoot cu = RegRoot::CurrentUser;
    const QString groups = QString::fromUtf16(kBidGroupsKey);
    SaveRegString(*m_first, cu, itemKeyPath("3012345678"), "Item", "3012345678");
    SaveRegString(
        *m_first, cu, itemKeyPath("3012345678"), QString::fromUtf16(ItemValue::BidGroup), "Lens 50mm");
    SaveRegString(*m_first, cu, groups, "Lens 50mm", "2");
    SaveRegString(*m_first, cu, groups, "Tripods", "1");

    const QString file = watchListExportPath(m_dir->path());
    QVERIFY(exportWatchList(*m_first, file).ok());
    QVERIFY(RunRegImport(*m_second, file, FakeClock().now()).ok());

    QCOMPARE(contents(*m_second, cu, QString::fromUtf16(kWatchListKey)),
        contents(*m_first, cu, QString::fromUtf16(kWatchListKey)));
    QCOMPARE(contents(*m_second, cu, groups), contents(*m_first, cu, groups));
    QCOMPARE(GetRegString(*m_second, cu, groups, "Lens 50mm", ""), QStringLiteral("2"));
}

void TestRegRoundTrip::expandableAndMultiStringsComeBackAsText()
{
    const QString key = itemKeyPath("700000");
    QVERIFY(m_first->setValue(
        RegRoot::CurrentUser, key, RegValue::fromString("Expand", "%HOME%\\x", RegKind::ExpandString)));
    QVERIFY(m_first->setValue(RegRoot::CurrentUser, key,
        RegValue { "Multi", RegKind::MultiString, regDataFromText(QStringView(u"one\0two\0\0", 9)) }));
    const QString file = watchListExportPath(m_dir->path());
    QVERIFY(exportWatchList(*m_first, file).ok());
    QVERIFY(RunRegImport(*m_second, file, FakeClock().now()).ok());
    QCOMPARE(m_second->values(RegRoot::CurrentUser, key),
        (QList<RegValue> {
            RegValue::fromString("Expand", "%HOME%\\x"), RegValue::fromString("Multi", "one") }));
}

void TestRegRoundTrip::textsComeBackExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("network path") << "\\\\host\\share\\alarm.wav";
    QTest::newRow("escaped quote") << "say \\\"hi\\\"";
    QTest::newRow("both pairs at the end") << "end\\\\\\\"";
    QTest::newRow("quote after a lone backslash") << "a\\ \"b\" \\";
    QTest::newRow("drive path with a doubled backslash") << "C:\\a\\\\b";
    QTest::newRow("drive path with an escaped quote") << "C:\\a\\\"b\\";
    QTest::newRow("text ending in a backslash") << "tail\\";
}

void TestRegRoundTrip::textsComeBackExactly()
{
    QFETCH(QString, text);
    const QString key = itemKeyPath("700000");
    SaveRegString(*m_first, RegRoot::CurrentUser, key, "Note", text);
    const QString file = watchListExportPath(m_dir->path());
    QVERIFY(exportWatchList(*m_first, file).ok());
    const Result<ImportSummary> imported = RunRegImport(*m_second, file, FakeClock().now());
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
    QCOMPARE(GetRegString(*m_second, RegRoot::CurrentUser, key, "Note"), text);
}

void TestRegRoundTrip::systemEditorFileSurvivesImportAndExport()
{
    const QString original = th::test::testDataFolder() + "/exchange/orig.reg";
    const Result<ImportSummary> first = RunRegImport(*m_first, original, FakeClock().now());
    QVERIFY2(first.ok(), qPrintable(first.errorMessage()));

    const QString top = QStringLiteral("Test Regedit");
    const RegRoot cu = RegRoot::CurrentUser;
    // What the file holds.
    const QString key1 = top + "\\New Key #1";
    const QList<RegValue> values = m_first->values(cu, key1);
    QCOMPARE(values.size(), 10);
    QVERIFY(values[0].name.isEmpty());
    QVERIFY(values[0].text().startsWith("222Sample default value data, very long"));
    QCOMPARE(values[1].name,
        "A- \" Binary Value #1, long name \\ []= long long long long long long long long long long "
        "long long end");
    QCOMPARE(values[1].kind, RegKind::Binary);
    QCOMPARE(values[1].data.size(), 277);
    QCOMPARE(GetRegString(*m_first, cu, key1, "v1"), "\" \\,=[]");
    QCOMPARE(GetRegDword(*m_first, cu, key1, "New DWORD Value #2"), 0xc9);
    QCOMPARE(m_first->value(cu, key1, "New Binary Value #2")->data, QByteArray());
    QCOMPARE(m_first->value(cu, key1 + "\\New Key #2", "Empty Value3")->kind, RegKind::MultiString);
    QCOMPARE(m_first->value(cu, top + "\\New Key #7", "Presentation Cache")->data.size(), 2628);
    QCOMPARE(m_first->subKeyNames(cu, key1 + "\\New Key #2\\New Key #3"),
        (QStringList { "New Key #4", "New Key #4.1", "New Key #6" }));

    const QString exported = m_dir->filePath("orig-again.reg");
    QVERIFY(ExportRegKey(*m_first, cu, top, exported, true, false).ok());
    const Result<ImportSummary> second = RunRegImport(*m_second, exported, FakeClock().now());
    QVERIFY2(second.ok(), qPrintable(second.errorMessage()));
    QCOMPARE(contents(*m_second, cu, top, true), contents(*m_first, cu, top, true));
    const QString reexported = m_dir->filePath("orig-third.reg");
    QVERIFY(ExportRegKey(*m_second, cu, top, reexported, true, false).ok());
    QCOMPARE(fileBytes(reexported), fileBytes(exported));
}

QTEST_APPLESS_MAIN(TestRegRoundTrip)
#include "TestRegRoundTrip.moc"
