#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "config/HostConfig.h"
#include "config/cIniFile.h"

using namespace th;

Q_DECLARE_METATYPE(th::HostConfig::Host)

// config.ini: the [User] entry through cIniFile, and the servers of [Hosts] and
// [TimeServers].
class TestConfigFiles final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void missingEntriesReadTheDefault_data();
    void missingEntriesReadTheDefault();
    void readsEntriesAsTheProfileFunctionsDo_data();
    void readsEntriesAsTheProfileFunctionsDo();
    void writingKeepsEveryOtherLine();
    void writingRemovesNulsAndLineBreaks();
    void writingIntoAMissingFolderFails();

    void hostsDefaultToThePublicServers();
    void configuredHostsAndTheirPorts_data();
    void configuredHostsAndTheirPorts();
    void timeServersFromTheirSection();

private:
    QString writeIni(const QByteArray &text);
    cIniFile entry(const QString &section, const QString &key, const QString &defaultValue = QString()) const;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestConfigFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = configIniPath(m_dir->path());
}

QString TestConfigFiles::writeIni(const QByteArray &text)
{
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(text);
    return m_path;
}

cIniFile TestConfigFiles::entry(const QString &section, const QString &key, const QString &defaultValue) const
{
    cIniFile ini;
    ini.Path = m_path;
    ini.Section = section;
    ini.Key = key;
    ini.Default = defaultValue;
    return ini;
}

void TestConfigFiles::missingEntriesReadTheDefault_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("other section") << QByteArray("[Hosts]\nLargeScreen=2\n");
    QTest::newRow("other key") << QByteArray("[User]\nSmallScreen=2\n");
    QTest::newRow("commented out") << QByteArray("[User]\n;LargeScreen=2\n");
    QTest::newRow("key in a later section") << QByteArray("[User]\n[Other]\nLargeScreen=2\n");
}

void TestConfigFiles::missingEntriesReadTheDefault()
{
    QFETCH(QByteArray, file);
    if (!file.isEmpty())
        writeIni(file);
    QCOMPARE(entry("User", "LargeScreen", "0").Value(), "0");
}

void TestConfigFiles::readsEntriesAsTheProfileFunctionsDo_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QByteArray("[User]\nLargeScreen=2\n") << "2";
    QTest::newRow("names in another case") << QByteArray("[user]\nlargescreen=1\n") << "1";
    QTest::newRow("blanks around") << QByteArray("  [ User ]  \r\n  LargeScreen  =  1  \r\n") << "1";
    QTest::newRow("quoted") << QByteArray("[User]\nLargeScreen=\" 2 \"\n") << " 2 ";
    QTest::newRow("first of two") << QByteArray("[User]\nLargeScreen=1\nLargeScreen=2\n") << "1";
    QTest::newRow("empty value") << QByteArray("[User]\nLargeScreen=\n") << "";
    QTest::newRow("cut at 255 characters")
        << QByteArray("[User]\nLargeScreen=" + QByteArray(300, 'x') + "\n") << QString(255, u'x');
}

void TestConfigFiles::readsEntriesAsTheProfileFunctionsDo()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, value);
    writeIni(file);
    QCOMPARE(entry("User", "LargeScreen", "default").Value(), value);
}

void TestConfigFiles::writingKeepsEveryOtherLine()
{
    writeIni(
        "; the program's settings\n[Hosts]\nItemPage=127.0.0.1:8080\n\n[User]\nLargeScreen=0\nOther=x\n\n"
        "[TimeServers]\nServer0=127.0.0.1:1313\n");
    cIniFile ini = entry("User", "LargeScreen");
    ini.setValue("2");
    QVERIFY(ini.LastReturnCode() != 0);
    QCOMPARE(ini.Value(), "2");
    cIniFile added = entry("User", "NewKey");
    added.setValue("v");
    cIniFile section = entry("Extra", "Key");
    section.setValue("w");
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
        QByteArray("; the program's settings\n[Hosts]\nItemPage=127.0.0.1:8080\n\n[User]\n"
                   "LargeScreen=2\nOther=x\nNewKey=v\n\n[TimeServers]\nServer0=127.0.0.1:1313\n"
                   "\n[Extra]\nKey=w\n"));
}

void TestConfigFiles::writingRemovesNulsAndLineBreaks()
{
    cIniFile ini = entry("User", "LargeScreen");
    ini.setValue(QStringLiteral("1") + QChar(0) + QStringLiteral("2\n[Hosts]\r\nMain=evil"));
    QVERIFY(ini.LastReturnCode() != 0);
    QCOMPARE(ini.Value(), "12[Hosts]Main=evil");
    QCOMPARE(HostConfig::load(m_path).host(HostConfig::Host::Main),
        HostConfig::defaultHost(HostConfig::Host::Main));
}

void TestConfigFiles::writingIntoAMissingFolderFails()
{
    cIniFile ini = entry("User", "LargeScreen");
    ini.Path = m_dir->filePath("missing/config.ini");
    ini.setValue("1");
    QCOMPARE(ini.LastReturnCode(), 0);
    QCOMPARE(ini.Value(), QString());
}

void TestConfigFiles::hostsDefaultToThePublicServers()
{
    const HostConfig config = HostConfig::load(m_path);
    QCOMPARE(config.host(HostConfig::Host::ItemPage), (HostPort { "cgi.ebay.com", 80, "cgi.ebay.com" }));
    QCOMPARE(config.host(HostConfig::Host::Main), (HostPort { "www.ebay.com", 80, "www.ebay.com" }));
    QCOMPARE(config.timeServer(0), (HostPort { "time-a-g.nist.gov", 13, "time-a-g.nist.gov" }));
    QStringList keys;
    for (int i = 0; i < HostConfig::kHostCount; ++i) {
        const auto host = HostConfig::Host(i);
        keys.append(HostConfig::keyName(host));
        QVERIFY(!config.host(host).host.isEmpty());
        QCOMPARE(config.host(host).port, quint16(80));
    }
    QCOMPARE(keys,
        (QStringList { "ItemPage", "Main", "BidHistory", "Search", "CompletedSearch", "SellerListing",
            "Google", "Hotmail", "YahooMail", "Paypal" }));
    QSet<QString> servers;
    for (int i = 0; i < HostConfig::kTimeServerCount; ++i) {
        QCOMPARE(config.timeServer(i).port, quint16(13));
        servers.insert(config.timeServer(i).host);
    }
    QCOMPARE(servers.size(), HostConfig::kTimeServerCount);
}

void TestConfigFiles::configuredHostsAndTheirPorts_data()
{
    QTest::addColumn<HostConfig::Host>("host");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");
    using H = HostConfig::Host;
    QTest::newRow("address and port")
        << H::ItemPage << QByteArray("ItemPage=127.0.0.1:40123") << "127.0.0.1" << 40123 << "127.0.0.1:40123";
    QTest::newRow("name without port")
        << H::Main << QByteArray("Main = sim.local ") << "sim.local" << 80 << "sim.local";
    QTest::newRow("key in another case")
        << H::Paypal << QByteArray("paypal=pay.example:8443") << "pay.example" << 8443 << "pay.example:8443";
    QTest::newRow("port zero is invalid")
        << H::Search << QByteArray("Search=127.0.0.1:0") << "search.ebay.com" << 80 << "search.ebay.com";
    QTest::newRow("port too large") << H::Google << QByteArray("Google=127.0.0.1:70000") << "www.google.com"
                                    << 80 << "www.google.com";
    QTest::newRow("not a host") << H::BidHistory << QByteArray("BidHistory=http://x/") << "offer.ebay.com"
                                << 80 << "offer.ebay.com";
    QTest::newRow("empty") << H::Hotmail << QByteArray("Hotmail=") << "www.hotmail.com" << 80
                           << "www.hotmail.com";
}

void TestConfigFiles::configuredHostsAndTheirPorts()
{
    QFETCH(HostConfig::Host, host);
    QFETCH(QByteArray, line);
    QFETCH(QString, name);
    QFETCH(int, port);
    QFETCH(QString, text);
    writeIni("[User]\nLargeScreen=1\n[Hosts]\n" + line + "\n");
    const HostPort configured = HostConfig::load(m_path).host(host);
    QCOMPARE(configured.host, name);
    QCOMPARE(configured.port, quint16(port));
    QCOMPARE(configured.text, text);
}

void TestConfigFiles::timeServersFromTheirSection()
{
    writeIni(
        "[TimeServers]\nServer0=127.0.0.1:41313\nServer11=localhost\nServer12=127.0.0.1\nServer5=bad host\n"
        "[Hosts]\nServer1=127.0.0.1:9\n");
    const HostConfig config = HostConfig::load(m_path);
    QCOMPARE(config.timeServer(0), (HostPort { "127.0.0.1", 41313, "127.0.0.1:41313" }));
    QCOMPARE(config.timeServer(11), (HostPort { "localhost", 13, "localhost" }));
    QCOMPARE(config.timeServer(1), HostConfig::defaultTimeServer(1));
    QCOMPARE(config.timeServer(5), HostConfig::defaultTimeServer(5));
}

QTEST_APPLESS_MAIN(TestConfigFiles)
#include "TestConfigFiles.moc"
