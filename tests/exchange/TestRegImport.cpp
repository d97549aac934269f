#include <cstring>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "FakeClock.h"
#include "TestSupport.h"
#include "exchange/RegImport.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

Q_DECLARE_METATYPE(th::RegValue)

namespace {

const QString kKey = QStringLiteral("Software\\Test\\regedit_test");

// A REGEDIT4 script with LF line ends whose body follows the key line of the test key;
// the body starts on line 4.
QByteArray k4(const QByteArray &body)
{
    return "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\n" + body;
}

QByteArray withHeader(const QByteArray &header, const QByteArray &body)
{
    return header + "\n\n[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\n" + body;
}

// "|" stands for a NUL character.
QString nuls(const char *text)
{
    QString result = QString::fromUtf8(text);
    result.replace(u'|', QChar(0));
    return result;
}

RegValue sz(const char *name, const char *text)
{
    return RegValue::fromString(QString::fromUtf8(name), QString::fromUtf8(text));
}

RegValue str(const char *name, quint32 kind, const char *textWithNuls)
{
    return RegValue { QString::fromUtf8(name), kind, regDataFromText(nuls(textWithNuls)) };
}

RegValue dw(const char *name, quint32 number)
{
    return RegValue::fromDword(QString::fromUtf8(name), number);
}

RegValue hx(const char *name, quint32 kind, const char *hexBytes)
{
    return RegValue { QString::fromUtf8(name), kind, QByteArray::fromHex(hexBytes) };
}

using Values = QList<RegValue>;

// Hands a script out a few bytes at a time, as a slow disk may, so that line ends, byte
// sequences and UTF-16 characters fall across reads; optionally fails after `failAt` bytes.
class PieceDevice final : public QIODevice {
public:
    PieceDevice(QByteArray bytes, qint64 piece, qint64 failAt = -1)
        : m_bytes(std::move(bytes))
        , m_piece(piece)
        , m_failAt(failAt)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_failAt >= 0 && m_position >= m_failAt) {
            setErrorString(QStringLiteral("input/output error"));
            return -1;
        }
        qint64 count = std::min({ maxSize, m_piece, qint64(m_bytes.size()) - m_position });
        if (m_failAt >= 0)
            count = std::min(count, m_failAt - m_position);
        std::memcpy(data, m_bytes.constData() + m_position, std::size_t(count));
        m_position += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_piece = 0;
    qint64 m_failAt = -1;
    qint64 m_position = 0;
};

} // namespace

// Reading registry scripts as the system editor writes them, and as the program's own
// backups write them; refusing whole any script that cannot be read whole.
class TestRegImport final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void acceptedScripts_data();
    void acceptedScripts();
    void scriptsReadInPiecesGiveTheSame_data();
    void scriptsReadInPiecesGiveTheSame();
    void linesAreDecodedEachOnItsOwn_data();
    void linesAreDecodedEachOnItsOwn();
    void fileThatCannotBeReadToItsEndChangesNothing();
    void refusedScripts_data();
    void refusedScripts();
    void refusalChangesNothing();
    void keyLines_data();
    void keyLines();
    void keyAndValueDeletion();
    void utf16VersionFiveFiles();
    void importMergesIntoTheStore();
    void existingKeysAreFoundAmongNewOnesAndAfterDeletions();
    void watchKeysThatAreNoItemNumbersAreLeftOut_data();
    void watchKeysThatAreNoItemNumbersAreLeftOut();
    void deletedWatchListIsReportedWithTheCopyBefore();
    void refusesFoldersAndMissingFiles();

private:
    Result<ImportSummary> import(const QByteArray &script);
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryStore> m_store;
};

void TestRegImport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = openTestStore(m_dir->path());
    QVERIFY(m_store);
}

void TestRegImport::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

Result<ImportSummary> TestRegImport::import(const QByteArray &script)
{
    return importRegScript(*m_store, script, QStringLiteral("test.reg"));
}

void TestRegImport::acceptedScripts_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<Values>("values");
    using namespace RegKind;
    const Values testValue { sz("Test", "Value") };

    // Headers and line ends.
    QTest::newRow("version 5 header in 8-bit text")
        << withHeader("Windows Registry Editor Version 5.00", "\"Test\"=\"Value\"\n") << testValue;
    QTest::newRow("header after two blanks") << withHeader("  REGEDIT4", "\"Test\"=\"Value\"\n") << testValue;
    QTest::newRow("header after a tab") << withHeader("\tREGEDIT4", "\"Test\"=\"Value\"\n") << testValue;
    QTest::newRow("header after blank, tab, blank")
        << withHeader(" \t REGEDIT4", "\"Test\"=\"Value\"\n") << testValue;
    QTest::newRow("header after twenty blanks")
        << withHeader(QByteArray(20, ' ') + "REGEDIT4", "\"Test\"=\"Value\"\n") << testValue;
    QTest::newRow("CR LF") << QByteArray(
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\r\n\"TestValue2\"=\"BValue\"\r\n")
                           << Values { sz("TestValue2", "BValue") };
    QTest::newRow("CR only") << QByteArray(
        "REGEDIT4\r\r[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\r\"TestValue4\"=\"DValue\"\r")
                             << Values { sz("TestValue4", "DValue") };
    QTest::newRow("CR only, version 5")
        << QByteArray("Windows Registry Editor Version "
                      "5.00\r\r[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\r\"TestValue5\"=\"Value\"\r")
        << Values { sz("TestValue5", "Value") };
    QTest::newRow("blank lines between values")
        << k4("\"Line1\"=\"Value1\"\n\n\"Line2\"=\"Value2\"\n\n\n\"Line3\"=\"Value3\"\n\n\n\n")
        << Values { sz("Line1", "Value1"), sz("Line2", "Value2"), sz("Line3", "Value3") };
    QTest::newRow("no line end at the end") << k4("\"Wine6\"=dword:00000050\n\n\"Wine7\"=\"No newline\"")
                                            << Values { dw("Wine6", 0x50), sz("Wine7", "No newline") };
    QTest::newRow("header and key only") << k4("") << Values {};

    // Kinds of data.
    QTest::newRow("basic kinds") << k4(R"x("TestValue"="AValue"
"TestDword"=dword:00000017
"TestBinary"=hex:aa,bb,cc,11
"With=Equals"="asdf"
"Empty string"=""
"Wine8a"=dword:1
"Wine8b"=dword:4444
"Wine9a"=hex(2):4c,69,6e,65,00
"single'quote"=dword:00000008
)x")
                                 << Values { sz("TestValue", "AValue"), dw("TestDword", 0x17),
                                        hx("TestBinary", Binary, "aabbcc11"), sz("With=Equals", "asdf"),
                                        sz("Empty string", ""), dw("Wine8a", 1), dw("Wine8b", 0x4444),
                                        str("Wine9a", ExpandString, "Line|"), dw("single'quote", 8) };
    QTest::newRow("default value written as \"\"")
        << k4("\"\"=\"Default registry value\"\n") << Values { sz("", "Default registry value") };
    QTest::newRow("default value written as @") << k4("@=\"Test\"\n") << Values { sz("", "Test") };
    QTest::newRow("mixed block with comments")
        << k4(R"x("Wine1"=dword:00000782

"Wine2"="Test Value"
"Wine3"=hex(7):4c,69,6e,65,20,\
  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00
#comment
@="Test"
;comment

"Wine4"=dword:12345678

)x")
        << Values { dw("Wine1", 0x782), sz("Wine2", "Test Value"),
               str("Wine3", MultiString, "Line concatenation||"), sz("", "Test"), dw("Wine4", 0x12345678) };

    // Escapes in names and texts.
    QTest::newRow("escaped quotes") << k4(R"x("double\"quote"="valid \"or\" not")x")
                                    << Values { sz("double\"quote", "valid \"or\" not") };
    QTest::newRow("escaped backslashes in a name")
        << k4(R"x("\\foo\\bar"="")x") << Values { sz("\\foo\\bar", "") };
    QTest::newRow("slashes and semicolons")
        << k4(R"x("123/\"4;'5"="Random value name"
"count/up"="one/two/three")x")
        << Values { sz("123/\"4;'5", "Random value name"), sz("count/up", "one/two/three") };
    QTest::newRow("escaped backslash before 0")
        << k4(R"x("Wine23a"="\\0"
"Wine23b"="\\0\\0"
"Wine23e"="Value3\\0Value4")x")
        << Values { sz("Wine23a", "\\0"), sz("Wine23b", "\\0\\0"), sz("Wine23e", "Value3\\0Value4") };
    QTest::newRow("any other backslash stays") << k4(R"x("Wine33a"="\0"
"N"="a\b\n")x") << Values { sz("Wine33a", "\\0"), sz("N", "a\\b\\n") };
    QTest::newRow("the system editor's own sample")
        << k4(R"x("v1"="\" \\,=[]")x") << Values { sz("v1", "\" \\,=[]") };

    // What the program's own backups write: quotes unescaped, drive paths doubled.
    QTest::newRow("drive path") << k4(R"x("gstrNotifyPlaySoundPath"="C:\\Sounds\\a.wav")x")
                                << Values { sz("gstrNotifyPlaySoundPath", "C:\\Sounds\\a.wav") };
    QTest::newRow("unescaped quotes")
        << k4(R"x("Q"="say "hi""
"R"="a";b"
"S"=""
"T"="""
"U"="""")x")
        << Values { sz("Q", "say \"hi\""), sz("R", "a\";b"), sz("S", ""), sz("T", "\""), sz("U", "\"\"") };
    QTest::newRow("text ending in a backslash") << k4(R"x("P"="abc\")x") << Values { sz("P", "abc\\") };
    QTest::newRow("name with an unescaped quote")
        << k4(R"x("a"=b"="x"
"A- " Binary \ []= end"=hex:30
"c"d"=dword:00000002)x")
        << Values { sz("a\"=b", "x"), hx("A- \" Binary \\ []= end", Binary, "30"), dw("c\"d", 2) };

    // Hexadecimal data over several lines.
    QTest::newRow("continued hex data")
        << k4(R"x("Wine10a"=hex(0):56,00,61,00,6c,00,75,00,65,00,00,00
"Wine10b"=hex(0):56,00,61,00,6c,00,\
  75,00,65,00,00,00
"Wine10c"=hex(0):56,00,61,00,\;comment
  6c,00,75,00,\
  65,00,00,00
"Wine11c"=hex(2):25,50,41,\;comment
  54,48,\
  25,00
"Wine12b"=hex:11,22,33,44,\
  55,66,\
  77,88
"Wine19a"=hex(100):25,50,41,54,48,25,00)x")
        << Values { hx("Wine10a", None, "560061006c00750065000000"),
               hx("Wine10b", None, "560061006c00750065000000"),
               hx("Wine10c", None, "560061006c00750065000000"), str("Wine11c", ExpandString, "%PATH%|"),
               hx("Wine12b", Binary, "1122334455667788"), hx("Wine19a", 0x100, "25504154482500") };
    QTest::newRow("value ended by a comma and a comment") << k4(R"x("Wine10e"=hex(0):56,00,61,00,\;comment
  6c,00,75,00,;comment
"Next"="x")x") << Values { hx("Wine10e", None, "560061006c007500"), sz("Next", "x") };
    QTest::newRow("blanks before the backslash")
        << k4("\"Wine14a\"=hex(7):4c,69,6e,65,20,  \\\n  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n"
              "\"Wine14b\"=hex(7):4c,69,6e,65,20,\t\\\n  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00\n")
        << Values { str("Wine14a", MultiString, "Line concatenation||"),
               str("Wine14b", MultiString, "Line concatenation||") };
    QTest::newRow("backslash right after the colon") << k4("\"Wine16\"=hex(2):\\\n  25,48,4f,4d,45,25,00\n")
                                                     << Values { str("Wine16", ExpandString, "%HOME%|") };
    QTest::newRow("trailing comma") << k4("\"Wine15\"=hex(2):25,50,41,54,48,25,00,\n")
                                    << Values { str("Wine15", ExpandString, "%PATH%|") };
    QTest::newRow("continuation at the end of the file")
        << k4("\"Wine17c\"=hex:11,22,33,44,55,\\") << Values { hx("Wine17c", Binary, "1122334455") };
    QTest::newRow("string kinds get their NUL")
        << k4(R"x("Wine20a"=hex(7):4c,69,6e,65
"Wine20c"=hex(7):4c,69,6e,65,00
"Wine20e"=hex(7):4c,69,6e,65,00,00
"Wine21a"=hex(2):25,50,41,54,48,25
"Wine19d"=hex(100):56,61,6c,75,65
)x")
        << Values { str("Wine20a", MultiString, "Line|"), str("Wine20c", MultiString, "Line|"),
               str("Wine20e", MultiString, "Line||"), str("Wine21a", ExpandString, "%PATH%|"),
               hx("Wine19d", 0x100, "56616c7565") };
    QTest::newRow("expandable text continued to the end of the file") << k4(
        "\"Wine17b\"=hex(2):25,50,41,54,48,25,\\") << Values { str("Wine17b", ExpandString, "%PATH%|") };
    QTest::newRow("empty hex data") << k4(R"x("Wine22a"=hex(1):
"Wine22b"=hex(2):
"Wine22c"=hex(3):
"Wine22d"=hex(4):
"Wine22e"=hex(7):
"Wine22f"=hex(100):
"Wine22g"=hex(abcd):
"Wine22h"=hex:
"Wine22i"=hex(0):)x")
                                    << Values { hx("Wine22a", String, ""), hx("Wine22b", ExpandString, ""),
                                           hx("Wine22c", Binary, ""), hx("Wine22d", Dword, ""),
                                           hx("Wine22e", MultiString, ""), hx("Wine22f", 0x100, ""),
                                           hx("Wine22g", 0xabcd, ""), hx("Wine22h", Binary, ""),
                                           hx("Wine22i", None, "") };
    QTest::newRow("kind numbers") << k4(R"x("a"=hex(10):56,00
"b"=hex(7fffffff):56,00
"c"=hex(ffffffff):56,00
"d"=hex(4):40,30,20,10
"e"=hex(4):80,70,60,50,40,30,20,10
"f"=hex(3):12,34)x")
                                  << Values { hx("a", 0x10, "5600"), hx("b", 0x7fffffff, "5600"),
                                         hx("c", 0xffffffff, "5600"), dw("d", 0x10203040),
                                         hx("e", Dword, "8070605040302010"), hx("f", Binary, "1234") };

    // Comments.
    QTest::newRow("a comment does not continue")
        << k4("#comment\\\n\"Wine1\"=\"Line 1\"\n;comment\\\n\"Wine2\"=\"Line 2\"\n")
        << Values { sz("Wine1", "Line 1"), sz("Wine2", "Line 2") };
    QTest::newRow("semicolon comments after data")
        << k4(R"x("Wine4"="Value 2";comment
"Wine6"=dword:02040608 ;comment
"Wine24"=dword:00000004;comment
"Wine25a"=dword:1234;5678
"Wine25b"=dword:1234 ;5678
"Wine26a"="Value1"  ;comment
"Wine27a"=hex(2):25,50,41,54,48,25,00  ;comment
"Wine46e"=hex:01)x")
        << Values { sz("Wine4", "Value 2"), dw("Wine6", 0x02040608), dw("Wine24", 4), dw("Wine25a", 0x1234),
               dw("Wine25b", 0x1234), sz("Wine26a", "Value1"), str("Wine27a", ExpandString, "%PATH%|"),
               hx("Wine46e", Binary, "01") };
    QTest::newRow("comment characters inside texts")
        << k4(R"x("Wine15"="#comment1"
"Wine16"=";comment2"
"Wine17"="Value#comment3"
"Wine20"="Value ;comment6"
#"Comment1"="Value 1"
    ;"Comment4"="Value 4")x")
        << Values { sz("Wine15", "#comment1"), sz("Wine16", ";comment2"), sz("Wine17", "Value#comment3"),
               sz("Wine20", "Value ;comment6") };
    QTest::newRow("comments inside continued hex data")
        << k4(R"x("Multi-Line1"=hex(7):4c,69,6e,65,20,\
  63,6f,6e,\;comment
  63,61,74,\;#comment

  65,6e,\;comment

  61,74,69,6f,6e,00,00
"Wine9"=hex(7):4c,69,6e,65,20,\
;comment
  ;comment
  63,6f,6e,63,61,74,65,6e,61,74,69,6f,6e,00,00
"Wine10"="Another valid line")x")
        << Values { str("Multi-Line1", MultiString, "Line concatenation||"),
               str("Wine9", MultiString, "Line concatenation||"), sz("Wine10", "Another valid line") };
    QTest::newRow("blanks and comment after a continuation backslash")
        << k4("\"Wine28a\"=hex(2):25,48,4f,4d,45,25,5c,\\\n  25,50,41,54,48,25,00\n"
              "\"Wine28c\"=hex(2):25,48,4f,4d,45,25,5c,  \\  ;comment\n  25,50,41,54,48,25,00\n"
              "\"Wine28e\"=hex(2):25,48,4f,4d,45,25,5c,\\\t  ;comment\n  25,50,41,54,48,25,00\n")
        << Values { str("Wine28a", ExpandString, "%HOME%\\%PATH%|"),
               str("Wine28c", ExpandString, "%HOME%\\%PATH%|"),
               str("Wine28e", ExpandString, "%HOME%\\%PATH%|") };

    // Blanks.
    QTest::newRow("blanks around names, = and data") << k4(
        "  \"Wine3a\"=\"Two leading spaces\"\n\t\t\"Wine5b\"\t\t=\"Leading tabs\"\n"
        "    \"Wine5d\"    \t    =    \t    \"More whitespace\"\n\"  Wine6a\"=\"Leading spaces\"\n"
        "  \"  Wine6c  \"  =  \"  Spaces everywhere  \"  \n\"Wine8b\"=\"Trailing tabs and spaces\"\t  \t\n"
        "\"Wine9b\"=dword:\t\t00000008\n\t@\t=\tdword:\t00000008\t\n")
                                                     << Values { sz("Wine3a", "Two leading spaces"),
                                                            sz("Wine5b", "Leading tabs"),
                                                            sz("Wine5d", "More whitespace"),
                                                            sz("  Wine6a", "Leading spaces"),
                                                            sz("  Wine6c  ", "  Spaces everywhere  "),
                                                            sz("Wine8b", "Trailing tabs and spaces"),
                                                            dw("Wine9b", 8), dw("", 8) };
    QTest::newRow("indented continuation lines") << k4(
        " \t \t\"Wine4c\"=hex(7):4c,69,6e,65,20,\\\n\t  63,6f,6e,63,61,74,\\\n \t\n  "
        "\t65,6e,61,74,69,6f,6e,00,00\n") << Values { str("Wine4c", MultiString, "Line concatenation||") };
    QTest::newRow("value overwritten keeps its place")
        << k4("\"A\"=\"1\"\n\"B\"=\"2\"\n\"a\"=dword:00000003\n") << Values { dw("A", 3), sz("B", "2") };
}

void TestRegImport::acceptedScripts()
{
    QFETCH(QByteArray, script);
    QFETCH(Values, values);
    const Result<ImportSummary> imported = import(script);
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
    QVERIFY(m_store->keyExists(RegRoot::CurrentUser, kKey));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey), values);
}

void TestRegImport::scriptsReadInPiecesGiveTheSame_data()
{
    acceptedScripts_data();
    QString text = QString::fromUtf8(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\r\n"
        "\"Pair\"=\"a\xF0\x9F\x90\xA6\xF0\x9F\x90\xA6 \xC3\xBC\"\r\n\"Next\"=dword:1\r\n");
    QByteArray wide("\xFF\xFE");
    for (const QChar c : text)
        wide.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
    QTest::newRow("UTF-16 with surrogate pairs")
        << wide << Values { sz("Pair", "a\xF0\x9F\x90\xA6\xF0\x9F\x90\xA6 \xC3\xBC"), dw("Next", 1) };
}

void TestRegImport::scriptsReadInPiecesGiveTheSame()
{
    QFETCH(QByteArray, script);
    QFETCH(Values, values);
    for (const qint64 piece : { 1, 2, 3, 7 }) {
        PieceDevice device(script, piece);
        const Result<ImportSummary> imported = importRegScript(*m_store, device, QStringLiteral("test.reg"));
        QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
        QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey), values);
        QVERIFY(m_store->deleteKey(RegRoot::CurrentUser, QStringLiteral("Software")));
    }
}

void TestRegImport::linesAreDecodedEachOnItsOwn_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("latin1Lines");
    QTest::newRow("UTF-8 throughout") << k4("\"A\"=\"Gr\xC3\xBC\xC3\x9F"
                                            "e \xE2\x82\xAC\"\n\"B\"=\"\xE3\x81\x81\"\n")
                                      << Values { sz("A", "Grüße €"), sz("B", "ぁ") } << 0;
    QTest::newRow("one Latin-1 line among UTF-8")
        << k4("\"A\"=\"Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x82\xAC\"\n\"B\"=\"Caf\xE9\"\n\"C\"=\"\xC3\xBC\"\n")
        << Values { sz("A", "Grüße €"), sz("B", "Café"), sz("C", "ü") } << 1;
    QTest::newRow("Latin-1 name and text after a byte-order mark") << "\xEF\xBB\xBF"
            + k4("\"Gr\xFC\xDF\"=\"20\xB0"
                 "C\"\r\n\"Z\"=\"\xC3\xA9\"\r\n")
                                                                   << Values { sz("Gr\xC3\xBC\xC3\x9F",
                                                                                   "20\xC2\xB0"
                                                                                   "C"),
                                                                          sz("Z", "é") }
                                                                   << 1;
    QTest::newRow("two Latin-1 lines, one a key")
        << QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\n\"A\"=\"\xE0\"\n"
                      "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\\xE9t\xE9]\n")
        << Values { sz("A", "à") } << 2;
}

void TestRegImport::linesAreDecodedEachOnItsOwn()
{
    QFETCH(QByteArray, script);
    QFETCH(Values, values);
    QFETCH(int, latin1Lines);
    const Result<ImportSummary> imported = import(script);
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey), values);
    QCOMPARE(imported.value().latin1Lines, latin1Lines);
}

void TestRegImport::fileThatCannotBeReadToItsEndChangesNothing()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Kept", "old");
    const QByteArray script = k4("\"Kept\"=\"new\"\n\"Added\"=\"1\"\n\"Later\"=\"2\"\n");
    // Lines 1 to 5 arrive; line 6 breaks off.
    PieceDevice device(script, 5, script.indexOf("\"Later\"") + 3);
    const Result<ImportSummary> imported = importRegScript(*m_store, device, QStringLiteral("test.reg"));
    QVERIFY(!imported.ok());
    QCOMPARE(imported.errorMessage(),
        QStringLiteral("Cannot import test.reg: line 6: the file cannot be read on (input/output error)"));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey), Values { sz("Kept", "old") });
}

void TestRegImport::refusedScripts_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("line");
    const QByteArray body = "\"Test\"=\"Value\"\n";

    // Not a registry script.
    for (const char *header :
        { "REGEDIT3", "regedit4", "Regedit4", "REGEDIT 4", "REGEDIT4FOO", "REGEDIT4 FOO", "REGEDIT5",
            "Windows Registry Editor Version 4.00", "Windows Registry Editor Version 5",
            "WINDOWS REGISTRY EDITOR VERSION 5.00", "Windows Registry Editor version 5.00", "REGEDIT", "" }) {
        QTest::addRow("header \"%s\"", header) << withHeader(header, body) << 1;
    }
    QTest::newRow("empty file") << QByteArray() << 1;
    QTest::newRow("text file") << QByteArray("hello\n") << 1;
    QTest::newRow("old key = value format")
        << QByteArray("REGEDIT\r\nHKEY_CLASSES_ROOT\\Software\\x = Value0\r\n") << 1;

    // Value lines that cannot be read.
    const char *badValues[] = {
        "\"TestNoEndQuote\"=\"Asdffdsa",
        "\"TestNoBeginQuote\"=Asdffdsa\"",
        "\"TestNoQuotes\"=Asdffdsa",
        "\"NameNoEndQuote=\"Asdffdsa\"",
        "NameNoBeginQuote\"=\"Asdffdsa\"",
        "NameNoQuotes=\"Asdffdsa\"",
        "\"MixedQuotes=Asdffdsa\"",
        "\"Test16a\"=",
        "\"Test16b\"=\\\"",
        "\"Test16c\"=\\\"Value\\\"",
        "\"Test16d\"=\\\"Value\"",
        "\"Test12a\"=dword:",
        "\"Test12b\"=dword:hello",
        "\"Test12c\"=dword:123456789",
        "\"Test12d\"=dword:012345678",
        "\"Test13a\"=dword:12345678abc",
        "\"Test13b\"=dword:12345678 abc",
        "\"Test14a\"=dword:0x123",
        "\"Test14b\"=dword:123 456",
        "\"Test3\"=\"Value 1\"#comment",
        "\"Wine5\"=dword:01020304 #comment",
        "\"Wine13\"=#\"Value 8\"",
        "\"Wine14\"=;\"Value 9\"",
        "\"Wine21\"=#dword:00000001",
        "\"Wine22\"=;dword:00000002",
        "\"Wine23\"=dword:00000003#comment",
        "\"Wine25c\"=dword:1234#5678",
        "\"Wine26c\"=\"Value3\"  #comment",
        "\"Wine27c\"=hex(2):25,50,41,54,48,25,00  #comment",
        "\"Wine46d\"=-\"Test\"",
        "\"Wine46f\"=- #comment",
        "\"Wine22a\"=hex(0):25,50,100,54,48,25,00",
        "\"Wine23a\"=hex(2):25,48\\,4f,4d",
        "\"Wine23b\"=hex(2):25,48,\\4f,4d",
        "\"Wine23e\"=hex(2):\\25,48,4f",
        "\"Wine23g\"=hex(2):25,48,4\\f,4d",
        "\"Wine23i\"=hex(2):25,50,\\,41",
        "\"Wine30a\"=hex(0):25,48,5c,/",
        "\"Wine31\"=hex(7):4c,69,6e,65,20\\",
        "\"Kind\"=hex(100000000):56",
        "\"Kind\"=hex(0x2):56",
        "\"Kind\"=hex(x2):56",
        "\"Kind\"=hex():56",
        "\"Kind\"=hex 56",
        "\"Wine32b\"=hex(7):63,,6f",
        "\"Wine23k\"=hex(2):,\\",
        "\"Test\"=text",
        "garbage",
    };
    for (const char *line : badValues)
        QTest::addRow("%s", line) << k4(QByteArray(line) + "\n\"Later\"=\"x\"\n") << 4;

    // Lines that break continued data or a name.
    QTest::newRow("continued dword") << k4("\"Test18a\"=dword:1234\\\n5678\n") << 4;
    QTest::newRow("continued name") << k4("\"Test\\\n17a\"=\"Value 1\"\n") << 4;
    QTest::newRow("continued text") << k4("\"Test18b\"=\"Test \\\nValue\"\n") << 4;
    QTest::newRow("continuation line starting with a comma")
        << k4("\"Multi-Line2\"=hex(7):4c,69,6e,65,20\\\n  ,63,6f\n") << 4;
    QTest::newRow("continuation after a comma starting with a comma")
        << k4("\"Wine32a\"=hex(7):4c,69,6e,65,20,\\\n  ,63,6f\n") << 5;
    QTest::newRow("byte split over two lines")
        << k4("\"Test19d\"=hex(0):56,00,61,00,6c,00,7\\\n5,00,65,00\n") << 4;
    QTest::newRow("hash comment after the backslash")
        << k4("\"Test19f\"=hex(0):56,00,\\;comment\n  61,00,\\#comment\n  65,00\n") << 5;
    QTest::newRow("line of only a backslash") << k4("\"Wine29a\"=hex:11,22,33,\\\n\\\n  44,55,66\n") << 5;
    QTest::newRow("hash comment inside continued data")
        << k4("\"Wine7\"=hex(7):4c,69,6e,65,20,\\\n  #comment\n  63,6f,00,00\n") << 5;
    QTest::newRow("value line swallowed by a continuation")
        << k4("\"Wine9e\"=hex(2):4c,69,6e,65,\\\n\"Wine9f\"=\"Value 3\"\n") << 5;
    QTest::newRow("key line swallowed by a continuation") << k4(
        "\"Wine24a\"=hex(2):4c,69,6e,65,20,\\\n[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\Subkey1]\n")
                                                          << 5;
    QTest::newRow("stray data after a value ended by a comma")
        << k4("\"Wine10d\"=hex(0):56,00,\\;comment\n  6c,00,\n  65,00\n") << 6;

    // Key lines.
    QTest::newRow("key without opening bracket")
        << k4("HKEY_CURRENT_USER\\Software\\Test\\No_Opening_Bracket]\n") << 4;
    QTest::newRow("key without closing bracket")
        << k4("[HKEY_CURRENT_USER\\Software\\Test\\No_Closing_Bracket\n") << 4;
    QTest::newRow("blank after the bracket") << k4("[ HKEY_CURRENT_USER\\Software\\Test\\Subkey1a]\n") << 4;
    QTest::newRow("tab after the bracket") << k4("[\tHKEY_CURRENT_USER\\Software\\Test\\Subkey1b]\n") << 4;
    QTest::newRow("continued key name")
        << k4("[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\\nSubkey1]\n") << 4;
    QTest::newRow("unknown root") << k4(
        "[HKEY_CURRENT_USERS\\Software\\Test\\Subkey4b]\n\"Wine1b\"=dword:12345678\n")
                                  << 4;
    QTest::newRow("classes root") << k4("[HKEY_CLASSES_ROOT\\Software\\Test]\n") << 4;
    QTest::newRow("users root") << k4("[HKEY_USERS\\.DEFAULT\\Software]\n") << 4;
    QTest::newRow("current config root") << k4("[HKEY_CURRENT_CONFIG\\Software]\n") << 4;
    QTest::newRow("deleting a root") << k4("[-HKEY_CURRENT_USER]\n") << 4;
    QTest::newRow("blank before the minus") << k4("[ -HKEY_CURRENT_USER\\Software\\Test\\Subkey2a]\n") << 4;
    QTest::newRow("blank after the minus") << k4("[- HKEY_CURRENT_USER\\Software\\Test\\Subkey2a]\n") << 4;
    QTest::newRow("overlong key name")
        << k4("[HKEY_CURRENT_USER\\Software\\" + QByteArray(256, 'k') + "]\n") << 4;
    QTest::newRow("value after a key deletion")
        << k4("[-HKEY_CURRENT_USER\\Software\\Test\\Subkey4a]\n\"Wine1a\"=dword:12345678\n") << 5;
    QTest::newRow("value before any key") << QByteArray("REGEDIT4\n\n\"Test\"=\"Value\"\n") << 3;
    QTest::newRow("bad line after good ones")
        << k4("\"A\"=\"1\"\n\"B\"=dword:2\n[HKEY_CURRENT_USER\\Software\\More]\n\"C\"=dword:zz\n") << 7;
}

void TestRegImport::refusedScripts()
{
    QFETCH(QByteArray, script);
    QFETCH(int, line);
    const Result<ImportSummary> imported = import(script);
    QVERIFY(!imported.ok());
    const QString message = imported.errorMessage();
    QVERIFY2(message.startsWith(QStringLiteral("Cannot import test.reg: line %1: ").arg(line)),
        qPrintable(message));
    QVERIFY(!message.contains(u'\n'));
    QVERIFY(m_store->subKeyNames(RegRoot::CurrentUser, QString()).isEmpty());
    QVERIFY(m_store->subKeyNames(RegRoot::LocalMachine, QString()).isEmpty());
}

void TestRegImport::refusalChangesNothing()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey, "Kept", "old");
    SaveRegString(*m_store, RegRoot::LocalMachine, "SOFTWARE\\x", "Kept", "old");
    const auto snapshot = [&] {
        QStringList all;
        for (const RegRoot root : { RegRoot::CurrentUser, RegRoot::LocalMachine }) {
            for (const QString &path :
                { kKey, QStringLiteral("SOFTWARE\\x"), QStringLiteral("Software\\New") }) {
                for (const RegValue &value : m_store->values(root, path))
                    all.append(path + u'|' + value.name + u'|' + QString::fromLatin1(value.data.toHex()));
                all.append(m_store->subKeyNames(root, path));
            }
        }
        return all;
    };
    const QStringList before = snapshot();
    const QByteArray script
        = "REGEDIT4\r\n\r\n"
          "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\r\n\"Kept\"=\"new\"\r\n\"Added\"=\"1\"\r\n"
          "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\x]\r\n"
          "[HKEY_CURRENT_USER\\Software\\New\\Sub]\r\n\"v\"=dword:1\r\n"
          "\"broken\"=dword:xyz\r\n";
    const Result<ImportSummary> imported = import(script);
    QVERIFY(!imported.ok());
    QVERIFY(imported.errorMessage().contains(QStringLiteral("line 9")));
    QCOMPARE(snapshot(), before);
    QVERIFY(!m_store->keyExists(RegRoot::CurrentUser, "Software\\New"));
}

void TestRegImport::keyLines_data()
{
    QTest::addColumn<QByteArray>("keyLine");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("name");
    QTest::newRow("trailing blank kept")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Test\\Subkey1c ]") << "Software\\Test"
        << "Subkey1c ";
    QTest::newRow("trailing tab kept")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Test\\Subkey1d\t]") << "Software\\Test"
        << "Subkey1d\t";
    QTest::newRow("trailing backslash")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Test\\Subkey1e\\]") << "Software\\Test"
        << "Subkey1e";
    QTest::newRow("two trailing backslashes")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Test\\Subkey1f\\\\]") << "Software\\Test"
        << "Subkey1f";
    QTest::newRow("doubled separator, as the backup writes")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\2407604973]")
        << "Software\\Quillmarsh\\Tallyhawk\\Watches"
        << "2407604973";
    QTest::newRow("root name in another case")
        << QByteArray("[HkEy_CuRrEnT_uSeR\\Software\\Test\\SuBkEy3b]") << "Software\\Test"
        << "SuBkEy3b";
    QTest::newRow("quote in a key name")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Test\\Subkey\"1]") << "Software\\Test"
        << "Subkey\"1";
    QTest::newRow("slashes in a key name")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Test\\https://winehq.org]") << "Software\\Test"
        << "https://winehq.org";
    QTest::newRow("blanks before the bracket")
        << QByteArray(" \t [HKEY_CURRENT_USER\\Software\\Test\\Indented]") << "Software\\Test"
        << "Indented";
    QTest::newRow("local machine") << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\tallyhawk\\frmAlarm]")
                                   << "SOFTWARE\\tallyhawk"
                                   << "frmAlarm";
}

void TestRegImport::keyLines()
{
    QFETCH(QByteArray, keyLine);
    QFETCH(QString, parent);
    QFETCH(QString, name);
    QVERIFY2(import("REGEDIT4\n\n" + keyLine + "\n\"Wine\"=\"Test value\"\n").ok(), keyLine.constData());
    const RegRoot root = keyLine.contains("LOCAL_MACHINE") ? RegRoot::LocalMachine : RegRoot::CurrentUser;
    QCOMPARE(m_store->subKeyNames(root, parent), QStringList { name });
    QCOMPARE(GetRegString(*m_store, root, parent + u'\\' + name, "Wine"), "Test value");
}

void TestRegImport::keyAndValueDeletion()
{
    for (const char *key : { "Subkey2a", "Subkey2b\\Deeper", "Subkey3a", "Kept" })
        SaveRegString(*m_store, RegRoot::CurrentUser, kKey + "\\" + QLatin1String(key), "v", "1");
    QVERIFY(m_store->setValue(RegRoot::CurrentUser, kKey, RegValue::fromString("Wine46a", "x")));
    QVERIFY(m_store->setValue(RegRoot::CurrentUser, kKey, RegValue::fromDword("Wine46b", 1)));
    QVERIFY(m_store->setValue(RegRoot::CurrentUser, kKey, RegValue::fromBinary("Wine46c", "b")));
    QVERIFY(m_store->setValue(
        RegRoot::CurrentUser, kKey, RegValue::fromString("Wine46e", "x", RegKind::ExpandString)));
    QVERIFY(m_store->setValue(RegRoot::CurrentUser, kKey, RegValue::fromString("Kept", "x")));
    const Result<ImportSummary> imported
        = import(k4("\"Wine46a\"=-\n\"wine46B\"=  -\n\"Wine46c\"=  \t-\t  \n\"Wine46e\"=- ;comment\n"
                    "\"Missing\"=-\n"
                    "[-HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\Subkey2a]\n"
                    "[-HKEY_current_USER\\Software\\Test\\regedit_test\\SUBKEY2B]\n"
                    "[-hKeY_cUrReNt_UsEr\\Software\\Test\\regedit_test\\sUbKeY3A\\]\n"
                    "[-HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\Missing]\n"));
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
    QCOMPARE(imported.value().deletions, 9);
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey), Values { sz("Kept", "x") });
    QCOMPARE(m_store->subKeyNames(RegRoot::CurrentUser, kKey), QStringList { "Kept" });
}

void TestRegImport::utf16VersionFiveFiles()
{
    const QString text = QString::fromUtf8("Windows Registry Editor Version 5.00\r\n\r\n"
                                           "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test]\r\n"
                                           "\"Hira\"=\"ぁ ü\"\r\n"
                                           "\"Wine21\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\r\n"
                                           "\"Wine18\"=hex(7):4c,00,69,00,6e,00,65,00,00,00,00,00\r\n"
                                           "\"Wine3a\"=hex(1):56,00,61,00,6c,00,75,00,65,00,00,00\r\n"
                                           "\"Wine3c\"=hex(4):40,30,20,10\r\n"
                                           "\"Unterminated\"=hex(2):25,00,50,00\r\n");
    QByteArray little("\xFF\xFE");
    QByteArray big("\xFE\xFF");
    for (const QChar c : text) {
        little.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
        big.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
    }
    const Values expected { sz("Hira", "ぁ ü"), str("Wine21", RegKind::ExpandString, "%PATH%|"),
        str("Wine18", RegKind::MultiString, "Line||"), str("Wine3a", RegKind::String, "Value|"),
        dw("Wine3c", 0x10203040), str("Unterminated", RegKind::ExpandString, "%P|") };
    for (const QByteArray &script : { little, big }) {
        const Result<ImportSummary> imported = import(script);
        QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
        QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey), expected);
        QVERIFY(m_store->deleteKey(RegRoot::CurrentUser, "Software"));
    }
    // The same header rules: a wrong header is refused in UTF-16 too.
    QByteArray wrong("\xFF\xFE");
    for (const char c : QByteArray("REGEDIT3\r\n"))
        wrong.append(c).append('\0');
    QVERIFY(import(wrong).errorMessage().contains(QStringLiteral("line 1:")));
    // And so is a UTF-16 file that breaks off in the middle of a character.
    QVERIFY(!import(little.left(little.size() - 1) + "\xD8").ok());
}

void TestRegImport::importMergesIntoTheStore()
{
    SaveRegString(
        *m_store, RegRoot::CurrentUser, "Software\\Quillmarsh\\Tallyhawk\\Watches\\600000", "Item", "600000");
    SaveRegString(
        *m_store, RegRoot::CurrentUser, "Software\\Quillmarsh\\Tallyhawk\\Watches\\700000", "Item", "700000");
    SaveRegString(
        *m_store, RegRoot::CurrentUser, "Software\\Quillmarsh\\Tallyhawk\\Watches\\700000", "MaxBid", "1");
    const Result<ImportSummary> imported
        = import("REGEDIT4\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\]\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\700000]\r\n"
                 "\"Item\"=\"700000\"\r\n\"maxbid\"=\"2\"\r\n\"WonItem\"=\"True\"\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\800000]\r\n"
                 "\"Item\"=\"800000\"\r\n\r\n");
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
    QCOMPARE(imported.value().keys, 3);
    QCOMPARE(imported.value().values, 4);
    const QString watches = QStringLiteral("Software\\Quillmarsh\\Tallyhawk\\Watches");
    QCOMPARE(ListRegSubKeys(*m_store, RegRoot::CurrentUser, watches),
        (QStringList { "600000", "700000", "800000" }));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, watches + "\\700000"),
        (Values { sz("Item", "700000"), sz("MaxBid", "2"), sz("WonItem", "True") }));
}

void TestRegImport::existingKeysAreFoundAmongNewOnesAndAfterDeletions()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey + "\\Old", "v", "1");
    SaveRegString(*m_store, RegRoot::CurrentUser, kKey + "\\Gone\\Deep", "v", "1");
    const Result<ImportSummary> imported
        = import(k4("[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\New1]\n"
                    "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\OLD]\n"
                    "\"w\"=\"2\"\n"
                    "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\New2]\n"
                    "\"x\"=\"3\"\n"
                    "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\Gone]\n"
                    "\"before\"=\"0\"\n"
                    "[-HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\Gone]\n"
                    "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\Gone]\n"
                    "\"y\"=\"4\"\n"
                    "[HKEY_CURRENT_USER\\Software\\Test\\regedit_test\\New2]\n"
                    "\"z\"=\"5\"\n"));
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
    QCOMPARE(
        m_store->subKeyNames(RegRoot::CurrentUser, kKey), (QStringList { "Gone", "New1", "New2", "Old" }));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey + "\\Old"), (Values { sz("v", "1"), sz("w", "2") }));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey + "\\New2"), (Values { sz("x", "3"), sz("z", "5") }));
    QCOMPARE(m_store->values(RegRoot::CurrentUser, kKey + "\\Gone"), Values { sz("y", "4") });
    QVERIFY(m_store->subKeyNames(RegRoot::CurrentUser, kKey + "\\Gone").isEmpty());
}

void TestRegImport::watchKeysThatAreNoItemNumbersAreLeftOut_data()
{
    QTest::addColumn<QByteArray>("keyLine");
    QTest::addColumn<QString>("item"); // the sub-key of the watch list key the line names
    QTest::addColumn<bool>("kept");
    const QByteArray watches = "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\";
    QTest::newRow("digits") << watches + "2407604973]"
                            << "2407604973" << true;
    QTest::newRow("the smallest item number") << watches + "500000]"
                                              << "500000" << true;
    // Rows that no page would fill: the program writes no such key itself.
    QTest::newRow("digits with blanks around") << watches + " 777777 ]"
                                               << " 777777 " << false;
    QTest::newRow("digits with a blank after") << watches + "2407604973 ]"
                                               << "2407604973 " << false;
    QTest::newRow("below the smallest item number") << watches + "12]"
                                                    << "12" << false;
    QTest::newRow("leading zero") << watches + "02407604981]"
                                  << "02407604981" << false;
    QTest::newRow("letters") << watches + "abc]"
                             << "abc" << false;
    QTest::newRow("blank inside") << watches + "1 2]"
                                  << "1 2" << false;
    QTest::newRow("digits then letters") << watches + "60000abc]"
                                         << "60000abc" << false;
    QTest::newRow("decimal point") << watches + "500000.5]"
                                   << "500000.5" << false;
    QTest::newRow("sign") << watches + "+500000]"
                          << "+500000" << false;
    QTest::newRow("sub-key of such a key") << watches + "abc\\Sub]"
                                           << "abc" << false;
    QTest::newRow("watch list key in another case")
        << QByteArray("[HKEY_CURRENT_USER\\software\\QUILLMARSH\\tallyhawk\\watches\\x1]") << "x1" << false;
}

void TestRegImport::watchKeysThatAreNoItemNumbersAreLeftOut()
{
    QFETCH(QByteArray, keyLine);
    QFETCH(QString, item);
    QFETCH(bool, kept);
    const QString watches = QStringLiteral("Software\\Quillmarsh\\Tallyhawk\\Watches");
    SaveRegString(*m_store, RegRoot::CurrentUser, watches + "\\abc", "Item", "abc");
    const Result<ImportSummary> imported = import("REGEDIT4\r\n\r\n" + keyLine
        + "\r\n\"Item\"=\"x\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other\\abc]\r\n\"v\"=\"1\"\r\n"
          "[-HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\abc]\r\n");
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
    // The rest of the file is imported, deletions included.
    QCOMPARE(GetRegString(*m_store, RegRoot::CurrentUser, "Software\\Other\\abc", "v"), "1");
    QCOMPARE(
        m_store->subKeyNames(RegRoot::CurrentUser, watches), kept ? QStringList { item } : QStringList());
    QCOMPARE(imported.value().keys, kept ? 2 : 1);
    QCOMPARE(imported.value().values, kept ? 2 : 1);
    QCOMPARE(imported.value().skippedWatchKeys.size(), kept ? 0 : 1);
    if (!kept) {
        QCOMPARE(imported.value().skippedWatchKeys.first().line, 3);
        QCOMPARE(imported.value().skippedWatchKeys.first().name, item);
        QCOMPARE(importReport(imported.value(), "test.reg"),
            QStringLiteral("Imported 1 keys and 1 values from test.reg\n"
                           "Deleted 1 keys and values that the file names for deletion\n"
                           "Left out 1 watch-list keys that are not item numbers: line 3 \"%1\"")
                .arg(item));
    }
}

// A file that deletes the watch list key empties the list: the report says so, and names
// the copy that holds the list from before.
void TestRegImport::deletedWatchListIsReportedWithTheCopyBefore()
{
    const QStringList items { "2407604973", "2407604974" };
    for (const QString &item : items)
        SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath(item), "Item", item);
    const QString script = m_dir->filePath("eBayWatch.reg");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches]\r\n");
    file.close();

    const Result<ImportSummary> imported = RunRegImport(*m_store, script, FakeClock().now());
    QVERIFY2(imported.ok(), qPrintable(imported.errorMessage()));
    QCOMPARE(imported.value().deletions, 1);
    QCOMPARE(imported.value().removedWatchItems, items);
    const QString copy = imported.value().copyBefore;
    QVERIFY(RegistryStore::checkCopy(copy));
    QCOMPARE(importReport(imported.value(), "eBayWatch.reg"),
        QStringLiteral("Imported 0 keys and 0 values from eBayWatch.reg\n"
                       "Deleted 1 keys and values that the file names for deletion\n"
                       "Removed 2 watched items: 2407604973, 2407604974\n"
                       "The watch list as it was before the import is kept in %1; to go back to it, end "
                       "Tallyhawk and run: tallyhawk-cli restore %1")
            .arg(copy));
}

void TestRegImport::refusesFoldersAndMissingFiles()
{
    const Result<ImportSummary> folder = RunRegImport(*m_store, m_dir->path(), FakeClock().now());
    QVERIFY(!folder.ok());
    QVERIFY(folder.errorMessage().contains(m_dir->path()));
    const QString missing = m_dir->filePath("eBayWatch.reg");
    QVERIFY(!FileExistsAt(missing));
    QVERIFY(!FileExistsAt(m_dir->path()));
    const Result<ImportSummary> absent = RunRegImport(*m_store, missing, FakeClock().now());
    QVERIFY(!absent.ok());
    QVERIFY(absent.errorMessage().startsWith("Cannot import " + missing));
}

QTEST_APPLESS_MAIN(TestRegImport)
#include "TestRegImport.moc"
