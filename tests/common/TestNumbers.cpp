#include <QTest>

#include "common/Money.h"
#include "common/Numeric.h"

using namespace th;

class TestNumbers final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numericTest_data();
    void numericTest();
    void leadingNumber_data();
    void leadingNumber();
    void roundsHalvesToEven_data();
    void roundsHalvesToEven();
    void roundsToDecimalsAsWritten();
    void moneyKeepsFourDecimals();
    void moneyTextForm_data();
    void moneyTextForm();
};

void TestNumbers::numericTest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("blanks around digits") << " 2407604973 " << true;
    QTest::newRow("negative") << "-3" << true;
    QTest::newRow("plus sign") << "+7" << true;
    QTest::newRow("decimal") << "12.50" << true;
    QTest::newRow("leading point") << ".5" << true;
    QTest::newRow("trailing point") << "5." << true;
    QTest::newRow("letter after digits") << "12a" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks only") << "   " << false;
    QTest::newRow("exponent") << "1e5" << false;
    QTest::newRow("thousands separator") << "1,000" << false;
    QTest::newRow("currency sign") << "$5" << false;
    QTest::newRow("hexadecimal") << "&H10" << false;
    QTest::newRow("two points") << "1.2.3" << false;
    QTest::newRow("sign only") << "-" << false;
    QTest::newRow("point only") << "." << false;
    QTest::newRow("blank inside") << "1 2" << false;
    QTest::newRow("sign after blank after digits") << "5 -" << false;
}

void TestNumbers::numericTest()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(isNumeric(text), numeric);
}

void TestNumbers::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowSign");
    QTest::addColumn<double>("value");
    QTest::newRow("number then letters") << " 12.5abc" << false << 12.5;
    QTest::newRow("no number") << "abc" << false << 0.0;
    QTest::newRow("second point ends it") << "1.2.3" << false << 1.2;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("sign not allowed") << "-4" << false << 0.0;
    QTest::newRow("sign allowed") << "-4.5x" << true << -4.5;
    QTest::newRow("thousands separator stops") << "1,000" << false << 1.0;
    QTest::newRow("exponent ignored") << "2e3" << false << 2.0;
}

void TestNumbers::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, allowSign);
    QFETCH(double, value);
    QCOMPARE(numericValue(text, allowSign ? SignRule::AllowSign : SignRule::NoSign), value);
}

void TestNumbers::roundsHalvesToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("rounded");
    QTest::newRow("2.5") << 2.5 << qint64(2);
    QTest::newRow("3.5") << 3.5 << qint64(4);
    QTest::newRow("-2.5") << -2.5 << qint64(-2);
    QTest::newRow("-3.5") << -3.5 << qint64(-4);
    QTest::newRow("0.5") << 0.5 << qint64(0);
    QTest::newRow("2.51") << 2.51 << qint64(3);
    QTest::newRow("-2.49") << -2.49 << qint64(-2);
}

void TestNumbers::roundsHalvesToEven()
{
    QFETCH(double, value);
    QFETCH(qint64, rounded);
    QCOMPARE(roundHalfEven(value), rounded);
}

void TestNumbers::roundsToDecimalsAsWritten()
{
    QCOMPARE(roundHalfEven(0.125, 2), 0.12);
    QCOMPARE(roundHalfEven(0.135, 2), 0.14);
    QCOMPARE(roundHalfEven(2.675, 2), 2.68);
    QCOMPARE(roundHalfEven(1.00005, 4), 1.0);
    QCOMPARE(roundHalfEven(1.00015, 4), 1.0002);
}

void TestNumbers::moneyKeepsFourDecimals()
{
    QCOMPARE(Money::fromDouble(0.1 + 0.2).units(), qint64(3000));
    QCOMPARE(Money::fromDouble(1.23455).units(), qint64(12346));
    QCOMPARE(Money::fromDouble(1.23445).units(), qint64(12344));
    QCOMPARE(Money::fromText(u" 25.50 USD").units(), qint64(255000));
    QCOMPARE(Money::fromText(u"abc").units(), qint64(0));
    QCOMPARE((Money::fromText(u"10") - Money::fromText(u"0.0001")).units(), qint64(99999));
    QVERIFY(Money::fromText(u"2") > Money::fromText(u"1.9999"));
}

void TestNumbers::moneyTextForm_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("text");
    QTest::newRow("trailing zero dropped") << qint64(255000) << "25.5";
    QTest::newRow("whole") << qint64(12000000) << "1200";
    QTest::newRow("smallest") << qint64(1) << "0.0001";
    QTest::newRow("negative") << qint64(-32500) << "-3.25";
    QTest::newRow("zero") << qint64(0) << "0";
}

void TestNumbers::moneyTextForm()
{
    QFETCH(qint64, units);
    QFETCH(QString, text);
    QCOMPARE(Money::fromUnits(units).toText(), text);
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "TestNumbers.moc"
