// tallyhawk-cli parse, run as the user runs it: on a saved page and on standard input.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "TestSupport.h"
#include "engine/ItemPageParser.h"

using namespace th;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(QStringLiteral(TALLYHAWK_CLI), arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        return {};
    Run run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QStringList jsonFields(const QByteArray &out)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(out, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return { QStringLiteral("not a JSON array: ") + error.errorString() };
    QStringList fields;
    for (const QJsonValue &value : document.array())
        fields << (value.isString() ? value.toString() : QStringLiteral("<not a string>"));
    return fields;
}

QString savedPage(const char *name)
{
    return th::test::testDataFolder() + QStringLiteral("/engine/") + QLatin1String(name);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestParseCommand final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printsTheFieldsOfASavedPage_data();
    void printsTheFieldsOfASavedPage();
    void dashReadsStandardInput();
    void writesLatin1CharactersAsUtf8();
    void unreadableFileFailsWithOneLine();
    void missingFileArgumentFails();
};

void TestParseCommand::printsTheFieldsOfASavedPage_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("auction") << savedPage("auction-reserve-not-met.html");
    QTest::newRow("fixed price") << savedPage("fixed-price-five-available.html");
    QTest::newRow("ended") << savedPage("ended-reserve-met.html");
}

void TestParseCommand::printsTheFieldsOfASavedPage()
{
    QFETCH(QString, page);
    const Run run = runCli({ QStringLiteral("parse"), page });
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    const QStringList fields = jsonFields(run.out);
    QCOMPARE(fields.size(), 20);
    QCOMPARE(fields, ParseItemPage(readFile(page)).toList());
}

void TestParseCommand::dashReadsStandardInput()
{
    const QString page = savedPage("auction-reserve-not-met.html");
    const Run fromFile = runCli({ QStringLiteral("parse"), page });
    const Run fromInput = runCli({ QStringLiteral("parse"), QStringLiteral("-") }, readFile(page));
    QCOMPARE(fromInput.exitCode, 0);
    QCOMPARE(fromInput.out, fromFile.out);
    QCOMPARE(jsonFields(fromInput.out).value(8), u"not met");
}

void TestParseCommand::writesLatin1CharactersAsUtf8()
{
    // The page's byte E9 is the character U+00E9, printed as UTF-8 (C3 A9); control characters
    // are escaped so that the output stays one JSON document.
    const Run run = runCli({ QStringLiteral("parse"), QStringLiteral("-") },
        QByteArray("<title>eBay - Caf\xe9 Lamp\x01</title> Current bid <b>\xa3"
                   "5</b>"));
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("\"Caf\xc3\xa9 Lamp\\u0001\""));
    QCOMPARE(jsonFields(run.out).mid(0, 3),
        QStringList({ QStringLiteral(u"Caf\u00e9 Lamp\u0001"), QString(), QStringLiteral(u"\u00a35") }));
}

void TestParseCommand::unreadableFileFailsWithOneLine()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const QString &path : { folder.filePath(QStringLiteral("missing.html")), folder.path() }) {
        const Run run = runCli({ QStringLiteral("parse"), path });
        QVERIFY2(run.exitCode > 0, qPrintable(path));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
        QVERIFY(run.err.contains(path.toUtf8()));
    }
}

void TestParseCommand::missingFileArgumentFails()
{
    const Run run = runCli({ QStringLiteral("parse") });
    QVERIFY(run.exitCode > 0);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err.count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestParseCommand)
#include "TestParseCommand.moc"
