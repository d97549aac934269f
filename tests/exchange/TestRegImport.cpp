#include <cstring>

#include <QDir>
#include <QFile>
#include <QStringTokenizer>
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

using Values = QList<RegValue>;

QString importCasesFolder()
{
    return testDataFolder() + QStringLiteral("/exchange/import");
}

// A quoted text at the start of `rest` ("\\" and "\"" escaped, "\t" a tab), taken off it.
QString takeQuoted(QStringView &rest)
{
    rest = rest.trimmed();
    QString text;
    qsizetype i = 1;
    for (; i < rest.size() && rest[i] != u'"'; ++i) {
        if (rest[i] == u'\\' && i + 1 < rest.size())
            text += rest[++i] == u't' ? QChar(u'\t') : rest[i];
        else
            text += rest[i];
    }
    if (!rest.startsWith(u'"') || i >= rest.size())
        qFatal("no quoted text in %s", qPrintable(rest.toString()));
    rest = rest.mid(i + 1).trimmed();
    return text;
}

// One expected value: sz "name" "text", text(K) "name" "text with | for NUL",
// dword "name" 0000000f, hex "name" 0a0b (binary) or hex(K) "name" 0a0b.
RegValue expectedValue(QStringView line)
{
    const qsizetype blank = line.indexOf(u' ');
    const QStringView kind = line.left(blank);
    QStringView rest = line.mid(blank);
    const QString name = takeQuoted(rest);
    const auto kindNumber = [&] { return kind.mid(kind.indexOf(u'(') + 1).chopped(1).toUInt(nullptr, 16); };
    if (kind == u"sz")
        return RegValue::fromString(name, takeQuoted(rest));
    if (kind.startsWith(u"text("))
        return RegValue { name, kindNumber(), regDataFromText(takeQuoted(rest).replace(u'|', QChar(0))) };
    if (kind == u"dword")
        return RegValue::fromDword(name, rest.toUInt(nullptr, 16));
    if (kind == u"hex" || kind.startsWith(u"hex("))
        return RegValue { name, kind == u"hex" ? RegKind::Binary : kindNumber(),
            QByteArray::fromHex(rest.toLatin1()) };
    qFatal("not an expected value: %s", qPrintable(line.toString()));
    return {};
}

// The scripts of one set under tests/data/exchange/import/: each NN-name.reg is a script as
// it lies on the disk; NN-name.expected holds "# " and the case's name, then "line N" where
// the script is refused, "latin1-lines N", and the values the test key then holds, in order.
struct ScriptCase {
    QString name;
    QByteArray script;
    Values values;
    int line = 0;
    int latin1Lines = 0;
};

QList<ScriptCase> scriptCases(const QString &set)
{
    const QDir folder(importCasesFolder() + u'/' + set);
    QList<ScriptCase> cases;
    for (const QString &file : folder.entryList({ QStringLiteral("*.reg") }, QDir::Files, QDir::Name)) {
        ScriptCase script;
        script.script = fileBytes(folder.filePath(file));
        const QString expected = QString::fromUtf8(fileBytes(folder.filePath(file.chopped(4) + ".expected")));
        for (const QStringView line : QStringTokenizer(expected, u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u"# "))
                script.name = line.mid(2).toString();
            else if (line.startsWith(u"line "))
                script.line = line.mid(5).toInt();
            else if (line.startsWith(u"latin1-lines "))
                script.latin1Lines = line.mid(13).toInt();
            else
                script.values.append(expectedValue(line));
        }
        cases.append(script);
    }
    if (cases.isEmpty())
        qFatal("no scripts in %s", qPrintable(folder.path()));
    return cases;
}

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
    for (const ScriptCase &script : scriptCases(QStringLiteral("accepted")))
        QTest::newRow(qPrintable(script.name)) << script.script << script.values;
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
    for (const ScriptCase &script : scriptCases(QStringLiteral("decoded")))
        QTest::newRow(qPrintable(script.name)) << script.script << script.values << script.latin1Lines;
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
    for (const ScriptCase &script : scriptCases(QStringLiteral("refused")))
        QTest::newRow(qPrintable(script.name)) << script.script << script.line;
    // Value lines that cannot be read, one a line; each is refused where it stands.
    const QList<QByteArray> badValues
        = fileBytes(importCasesFolder() + "/refused-value-lines.txt").split('\n');
    QVERIFY(badValues.size() > 1);
    for (const QByteArray &line : badValues) {
        if (!line.isEmpty())
            QTest::newRow(line.constData()) << k4(line + "\n\"Later\"=\"x\"\n") << 4;
    }
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
