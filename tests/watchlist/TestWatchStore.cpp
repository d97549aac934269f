#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "TestSupport.h"
#include "common/DateTimeMath.h"
#include "common/Numeric.h"
#include "config/AppSettings.h"
#include "config/CryptPassword.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListActions.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

namespace {
const QString kSettings = QString::fromUtf16(kSettingsKey);
const QString kResources = QStringLiteral("/opt/tallyhawk/share");
} // namespace

// The watch store's layout, the settings and the stored passwords, as the rest of the
// program reaches them through the registry functions.
class TestWatchStore final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void emptyOrMissingWatchListIsEmpty();
    void watchListHoldsTrimmedItemNumbers();
    void itemKeyWithOnlyItemReadsDefaults();
    void listFillLeavesOutKeysThatAreNoItemNumbers();
    void decimalTextUsesAPointInEveryLocale_data();
    void decimalTextUsesAPointInEveryLocale();
    void endDayIsTheNearestWholeDay_data();
    void endDayIsTheNearestWholeDay();

    void settingsDefaultWhenAbsent();
    void settingsLoadEveryStoredValue();
    void settingsOfAnotherKindTakeTheirDefault();

    void cryptPasswordIsItsOwnInverse_data();
    void cryptPasswordIsItsOwnInverse();
    void cryptPasswordMatchesTheRc4Stream();
    void storedPasswordsRoundTrip_data();
    void storedPasswordsRoundTrip();
    void unreadableStoredPasswordsGiveNoPassword_data();
    void unreadableStoredPasswordsGiveNoPassword();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryStore> m_store;
};

void TestWatchStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = openTestStore(m_dir->path());
    QVERIFY(m_store);
}

void TestWatchStore::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

void TestWatchStore::emptyOrMissingWatchListIsEmpty()
{
    const QString watches = QString::fromUtf16(kWatchListKey);
    QCOMPARE(SafeUBound(ListRegSubKeys(*m_store, RegRoot::CurrentUser, watches)), -1);
    QVERIFY(readWatchList(*m_store).isEmpty());
    QVERIFY(m_store->createKey(RegRoot::CurrentUser, watches));
    QCOMPARE(SafeUBound(ListRegSubKeys(*m_store, RegRoot::CurrentUser, watches)), -1);
    QVERIFY(readWatchList(*m_store).isEmpty());
    // Values on the watch list key itself are no items.
    SaveRegString(*m_store, RegRoot::CurrentUser, watches, "Item", "123456789");
    QVERIFY(readWatchList(*m_store).isEmpty());
}

void TestWatchStore::watchListHoldsTrimmedItemNumbers()
{
    for (const char *item : { " 2407604973 ", "500000", "1000000000" })
        SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath(QLatin1String(item)), "Item",
            QString::fromLatin1(item).trimmed());
    // A key written by another tool with blanks in its name still reads as its number.
    QVERIFY(m_store->createKey(RegRoot::CurrentUser, QString::fromUtf16(kWatchListKey) + "\\ 777777 "));
    QCOMPARE(itemKeyPath(" 2407604973 "), "Software\\Quillmarsh\\Tallyhawk\\Watches\\2407604973");
    QCOMPARE(readWatchList(*m_store), (QStringList { "777777", "1000000000", "2407604973", "500000" }));
    QCOMPARE(
        SafeUBound(ListRegSubKeys(*m_store, RegRoot::CurrentUser, QString::fromUtf16(kWatchListKey))), 3);
}

void TestWatchStore::itemKeyWithOnlyItemReadsDefaults()
{
    const QString key = itemKeyPath("2407604973");
    SaveRegString(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::Item), "2407604973");
    QCOMPARE(
        GetRegString(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::MaxBid), "0"), "0");
    QCOMPARE(
        GetRegString(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::MaxAutoBid), "0"),
        "0");
    QCOMPARE(
        GetRegString(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::MaxQuantity), "1"),
        "1");
    QCOMPARE(
        GetRegString(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::MaxTimeLeft), "20"),
        "20");
    QCOMPARE(GetRegString(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::WonItem)), "");
    QCOMPARE(
        GetRegDword(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::AuctionEndDate)), 0);
    QCOMPARE(readWatchList(*m_store), QStringList { "2407604973" });
}

void TestWatchStore::listFillLeavesOutKeysThatAreNoItemNumbers()
{
    // Keys that only an import or an older store can hold.
    const QString watches = QString::fromUtf16(kWatchListKey);
    for (const char *name : { "2407604973", " 777777 ", "abc", "1 2", "60000abc", "500000.5", "+500000" })
        SaveRegString(*m_store, RegRoot::CurrentUser, watches + u'\\' + QLatin1String(name), "Item", "x");
    for (const char *name : { "+500000", "1 2", "500000.5", "60000abc", "abc" })
        QTest::ignoreMessage(QtWarningMsg,
            qPrintable(
                QStringLiteral("Watch list key \"%1\" is not an item number and is left out of the list")
                    .arg(QLatin1String(name))));
    WatchListModel model;
    WatchItems records;
    WatchListActions actions(*m_store, model, records);
    QCOMPARE(actions.fillFromStore(false), 2);
    QCOMPARE(model.rowText(0), "777777");
    QCOMPARE(model.rowText(1), "2407604973");
    QCOMPARE(records.count(), 2);
}

void TestWatchStore::decimalTextUsesAPointInEveryLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("German, money") << "de_DE" << 25.5 << "25.5";
    QTest::newRow("French, thousands") << "fr_FR" << 1234.25 << "1234.25";
    QTest::newRow("English, whole") << "en_US" << 30.0 << "30";
    QTest::newRow("German, date-time number") << "de_DE" << 37720.8125 << "37720.8125";
    QTest::newRow("German, seconds") << "de_DE" << 37720.0 + 45296.0 / 86400.0 << "37720.5242592593";
    QTest::newRow("tiny") << "de_DE" << 0.00001 << "0.00001";
}

void TestWatchStore::decimalTextUsesAPointInEveryLocale()
{
    QFETCH(QString, locale);
    QFETCH(double, number);
    QFETCH(QString, text);
    const QLocale previous;
    QLocale::setDefault(QLocale(locale));
    const QString written = storedDecimalText(number);
    QLocale::setDefault(previous);
    QCOMPARE(written, text);
    SaveRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("600000"), "MaxAutoBid", written);
    const QString read
        = GetRegString(*m_store, RegRoot::CurrentUser, itemKeyPath("600000"), "MaxAutoBid", "0");
    QVERIFY(qAbs(numericValue(read) - number) < 1e-9);
}

void TestWatchStore::endDayIsTheNearestWholeDay_data()
{
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<qint32>("day");
    QTest::addColumn<QString>("text");
    QTest::newRow("18:00 on day 37720") << QDateTime(QDate(2003, 4, 9), QTime(18, 0)) << 37721 << "37720.75";
    QTest::newRow("06:00 rounds down") << QDateTime(QDate(2003, 4, 10), QTime(6, 0)) << 37721 << "37721.25";
    QTest::newRow("19:30") << QDateTime(QDate(2003, 4, 9), QTime(19, 30)) << 37721 << "37720.8125";
    QTest::newRow("noon, half to even") << QDateTime(QDate(2003, 4, 9), QTime(12, 0)) << 37720 << "37720.5";
}

void TestWatchStore::endDayIsTheNearestWholeDay()
{
    QFETCH(QDateTime, end);
    QFETCH(qint32, day);
    QFETCH(QString, text);
    const double number = toDayNumber(end);
    const QString key = itemKeyPath("2407604973");
    SaveRegDword(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::AuctionEndDate),
        storedEndDay(number));
    SaveRegString(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::AuctionEndDateTxt),
        storedDecimalText(number));
    QCOMPARE(
        GetRegDword(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::AuctionEndDate)), day);
    QCOMPARE(
        GetRegString(*m_store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::AuctionEndDateTxt)),
        text);
}

void TestWatchStore::settingsDefaultWhenAbsent()
{
    const AppSettings settings = loadAppSettings(*m_store, kResources);
    QCOMPARE(settings, defaultAppSettings(kResources));
    QCOMPARE(settings.AutoUpdateEvery, 5);
    QCOMPARE(settings.FirstAlert, 0);
    QCOMPARE(settings.EBayPWD, QString());
    QCOMPARE(settings.gstrNotifyPlaySoundPath, "/opt/tallyhawk/share/notify.wav");
    QCOMPARE(settings.gstrAlertTimeLeftSoundPath, "/opt/tallyhawk/share/alarm.wav");
    // A resource folder at the root gives a single separator.
    QCOMPARE(defaultAlertSoundPath("/"), "/alarm.wav");
}

void TestWatchStore::settingsLoadEveryStoredValue()
{
    const auto text = [&](const char16_t *name, const QString &value) {
        SaveRegString(*m_store, RegRoot::CurrentUser, kSettings, QString::fromUtf16(name), value);
    };
    const auto number = [&](const char16_t *name, qint32 value) {
        SaveRegDword(*m_store, RegRoot::CurrentUser, kSettings, QString::fromUtf16(name), value);
    };
    text(SettingName::HotmailID, "hot");
    text(SettingName::HotmailPWD, encodeStoredPassword("h-pass"));
    number(SettingName::SaveHotmail, 1);
    text(SettingName::YahooID, "yah");
    text(SettingName::YahooPWD, encodeStoredPassword(QString::fromUtf8("pässwörd")));
    number(SettingName::SaveYahoo, 1);
    text(SettingName::EBayID, "bidder");
    text(SettingName::EBayPWD, "");
    number(SettingName::SaveEBay, 1);
    number(SettingName::FirstAlert, 12);
    number(SettingName::SecondAlert, 30);
    number(SettingName::AutoUpdateEvery, 1);
    number(SettingName::LoadAtWinStartUp, -1);
    number(SettingName::PlayAlertSound, 1);
    number(SettingName::PlayBidIncrementNotifySound, 1);
    number(SettingName::chkShowBidNotification, 1);
    text(SettingName::gstrNotifyPlaySoundPath, "/home/u/n.wav");
    text(SettingName::gstrAlertTimeLeftSoundPath, "/home/u/a.wav");
    number(SettingName::TimeFinetune, -5);
    number(SettingName::AutoAdjustTime, 1);
    number(SettingName::AutoAdjustTimeB4Bid, 1);

    const AppSettings s = loadAppSettings(*m_store, kResources);
    QCOMPARE(s.HotmailID, "hot");
    QCOMPARE(s.HotmailPWD, "h-pass");
    QCOMPARE(s.SaveHotmail, 1);
    QCOMPARE(s.YahooID, "yah");
    QCOMPARE(s.YahooPWD, QString::fromUtf8("pässwörd"));
    QCOMPARE(s.SaveYahoo, 1);
    QCOMPARE(s.EBayID, "bidder");
    QCOMPARE(s.EBayPWD, "");
    QCOMPARE(s.SaveEBay, 1);
    QCOMPARE(s.FirstAlert, 12);
    QCOMPARE(s.SecondAlert, 30);
    QCOMPARE(s.AutoUpdateEvery, 1);
    QCOMPARE(s.LoadAtWinStartUp, -1);
    QCOMPARE(s.PlayAlertSound, 1);
    QCOMPARE(s.PlayBidIncrementNotifySound, 1);
    QCOMPARE(s.chkShowBidNotification, 1);
    QCOMPARE(s.gstrNotifyPlaySoundPath, "/home/u/n.wav");
    QCOMPARE(s.gstrAlertTimeLeftSoundPath, "/home/u/a.wav");
    QCOMPARE(s.TimeFinetune, -5);
    QCOMPARE(s.AutoAdjustTime, 1);
    QCOMPARE(s.AutoAdjustTimeB4Bid, 1);
}

void TestWatchStore::settingsOfAnotherKindTakeTheirDefault()
{
    SaveRegString(*m_store, RegRoot::CurrentUser, kSettings, "AutoUpdateEvery", "10");
    SaveRegDword(*m_store, RegRoot::CurrentUser, kSettings, "gstrNotifyPlaySoundPath", 3);
    QVERIFY(m_store->setValue(
        RegRoot::CurrentUser, kSettings, RegValue::fromBinary("FirstAlert", QByteArray(4, '\1'))));
    const AppSettings s = loadAppSettings(*m_store, kResources);
    QCOMPARE(s.AutoUpdateEvery, 5);
    QCOMPARE(s.gstrNotifyPlaySoundPath, defaultNotifySoundPath(kResources));
    QCOMPARE(s.FirstAlert, 0);
}

void TestWatchStore::cryptPasswordIsItsOwnInverse_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("ascii") << QByteArray("secret");
    QTest::newRow("all bytes") << [] {
        QByteArray all;
        for (int i = 0; i < 512; ++i)
            all.append(char(i % 256));
        return all;
    }();
}

void TestWatchStore::cryptPasswordIsItsOwnInverse()
{
    QFETCH(QByteArray, data);
    const QString key = QString::fromLatin1(kPasswordKey);
    QCOMPARE(qstrlen(kPasswordKey), 9u);
    const QByteArray cipher = CryptPassword(key, data);
    QCOMPARE(cipher.size(), data.size());
    if (!data.isEmpty())
        QVERIFY(cipher != data);
    QCOMPARE(CryptPassword(key, cipher), data);
}

void TestWatchStore::cryptPasswordMatchesTheRc4Stream()
{
    // Published RC4 test vectors: key "Key", plaintext "Plaintext"; key "Wiki", "pedia".
    QCOMPARE(CryptPassword("Key", "Plaintext").toHex().toUpper(), QByteArray("BBF316E8D940AF0AD3"));
    QCOMPARE(CryptPassword("Wiki", "pedia").toHex().toUpper(), QByteArray("1021BF0420"));
}

void TestWatchStore::storedPasswordsRoundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << "hunter2";
    QTest::newRow("beyond ASCII") << QString::fromUtf8("Pässwörd-€-ぁ");
    QTest::newRow("long") << QString(300, u'x');
    QTest::newRow("blanks and quotes") << " a \"b\" c ";
    // Passwords whose cipher holds a zero byte: the n-th character meets the key stream's
    // n-th byte (one of the first positions whose stream byte is a one-byte character).
    const QByteArray stream = CryptPassword(QString::fromLatin1(kPasswordKey), QByteArray(64, '\0'));
    int rows = 0;
    for (int n = 0; n < stream.size() && rows < 3; ++n) {
        if (quint8(stream[n]) == 0 || quint8(stream[n]) >= 0x80)
            continue;
        QByteArray plain(n + 4, 'a');
        plain[n] = stream[n];
        QTest::addRow("cipher byte %d is zero", n) << QString::fromLatin1(plain);
        ++rows;
    }
    QCOMPARE(rows, 3);
}

void TestWatchStore::storedPasswordsRoundTrip()
{
    QFETCH(QString, password);
    const QString stored = encodeStoredPassword(password);
    QCOMPARE(stored.size(), password.toUtf8().size() * 2);
    if (QByteArray(QTest::currentDataTag()).startsWith("cipher byte"))
        QVERIFY(QByteArray::fromHex(stored.toLatin1()).contains('\0'));
    for (const QChar c : stored)
        QVERIFY((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'));
    SaveRegString(
        *m_store, RegRoot::CurrentUser, kSettings, QString::fromUtf16(SettingName::EBayPWD), stored);
    QCOMPARE(loadAppSettings(*m_store, kResources).EBayPWD, password);
}

void TestWatchStore::unreadableStoredPasswordsGiveNoPassword_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("odd length") << "ABC";
    QTest::newRow("not hexadecimal") << "ZZ";
    QTest::newRow("raw cipher characters") << QString::fromLatin1("\x8f\x12");
}

void TestWatchStore::unreadableStoredPasswordsGiveNoPassword()
{
    QFETCH(QString, stored);
    QCOMPARE(decodeStoredPassword(stored), QString());
    QCOMPARE(encodeStoredPassword(QString()), QString());
    QCOMPARE(decodeStoredPassword(QString()), QString());
}

QTEST_APPLESS_MAIN(TestWatchStore)
#include "TestWatchStore.moc"
