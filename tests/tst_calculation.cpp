// The conversions and the regulation's tables, without any window.
#include "core/calculation.h"
#include "core/calculationtexts.h"
#include "core/italiannumbers.h"
#include "core/regulation.h"

#include <QTest>
#include <clocale>
#include <cmath>
#include <limits>

using namespace ItalianNumbers;
using namespace Qt::StringLiterals;

static const Regulation &decree()
{
    return Regulation::decree2007();
}

class TestCalculation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void localeConversion_data();
    void localeConversion();
    void leadingNumber_data();
    void leadingNumber();
    void generalFormat();
    void fixedTwoDecimals_data();
    void fixedTwoDecimals();
    void areaClasses_data();
    void areaClasses();
    void resistanceClasses_data();
    void resistanceClasses();
    void deltaNIsTheProduct_data();
    void deltaNIsTheProduct();
    void deltaNText_data();
    void deltaNText();
};

// A decimal-comma locale asked for must really be installed, or the run proves nothing.
void TestCalculation::initTestCase()
{
    const QByteArray asked = qgetenv("LC_ALL");
    if (asked.startsWith("it_IT") || asked.startsWith("de_DE"))
        QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
}

void TestCalculation::localeConversion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal comma") << "1,05" << true << 1.05;
    QTest::newRow("blanks around") << " 12,5 " << true << 12.5;
    QTest::newRow("thousands") << "1.234,5" << true << 1234.5;
    QTest::newRow("decimal point is no decimal") << "12.5" << false << 0.0;
    QTest::newRow("letters after") << "5a" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("not a number") << "NaN" << false << 0.0;
    QTest::newRow("infinity") << "inf" << false << 0.0;
    QTest::newRow("overflow") << "1e999" << false << 0.0;
    QTest::newRow("minus zero") << "-0" << true << 0.0;
    QTest::newRow("point after zero is no grouping") << "0.001" << false << 0.0;
    QTest::newRow("signed point after zero") << "-00.500" << false << 0.0;
    QTest::newRow("grouped millions") << "1.000.000.000" << true << 1e9;
    QTest::newRow("exponent") << "1e-3" << true << 0.001;
}

void TestCalculation::localeConversion()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const auto result = toDouble(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void TestCalculation::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("comma stops the number") << "1,05" << 1.0;
    QTest::newRow("decimal point") << "12.5m" << 12.5;
    QTest::newRow("leading blanks") << "   7 kg" << 7.0;
    QTest::newRow("none") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("half") << "0,5" << 0.0;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("exponent") << "1e3x" << 1000.0;
    QTest::newRow("overflow gives none") << "1e999" << 0.0;
}

void TestCalculation::leadingNumber()
{
    QFETCH(QString, text);
    QTEST(ItalianNumbers::leadingNumber(text), "value");
}

void TestCalculation::generalFormat()
{
    QCOMPARE(toText(1.15 * 300), u"345"_s);
    QCOMPARE(toText(450 * 1.05), u"472,5"_s);
    QCOMPARE(toText(27.2), u"27,2"_s);
    QCOMPARE(toText(1234567), u"1234567"_s);
    QCOMPARE(toText(-0.0), u"0"_s);
    // Never an exponent: a person reads the digits, and the typing checks read them back.
    QCOMPARE(toText(0.00005), u"0,00005"_s);
    QCOMPARE(toText(-0.000123), u"-0,000123"_s);
    QCOMPARE(toText(1e20), u"100000000000000000000"_s);
    QCOMPARE(toText(1.5e-7), u"0,00000015"_s);
    QCOMPARE(ItalianNumbers::toDouble(toText(0.00005)), 0.00005);
    QCOMPARE(integerPartText(1360.0 / 50), u"27"_s);
    // 0.29 * 100 is 28.999999999999996 in binary; a person reads 29.
    QCOMPARE(integerPartText(0.29 * 100), u"29"_s);
    // One decimal for shares and wood, never grouped.
    QCOMPARE(toFixed1(45.25), u"45,3"_s);
    QCOMPARE(toFixed1(14000.0 / 31000 * 100), u"45,2"_s);
    QCOMPARE(toFixed1(1234.56), u"1234,6"_s);
    QCOMPARE(toFixed1(0), u"0,0"_s);
    // Printed numbers: the thousands point from 1.000 on.
    QCOMPARE(toGroupedText(1200), u"1.200"_s);
    QCOMPARE(toGroupedText(252287), u"252.287"_s);
    QCOMPARE(toGroupedText(999), u"999"_s);
    QCOMPARE(toGroupedText(1234.5), u"1.234,5"_s);
    QCOMPARE(toGroupedText(-1234567), u"-1.234.567"_s);
    QCOMPARE(toGroupedText(0.612), u"0,612"_s);
}

void TestCalculation::fixedTwoDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("half away from zero, as read") << 0.85 * 0.9 << "0,77";
    QTest::newRow("grouping") << 1234.567 << "1.234,57";
    QTest::newRow("whole") << 1234.5 << "1.234,50";
    QTest::newRow("zero") << 0.0 << "0,00";
    QTest::newRow("carry") << 999.995 << "1.000,00";
    QTest::newRow("millions") << 1234567.891 << "1.234.567,89";
    QTest::newRow("small") << 0.004 << "0,00";
    QTest::newRow("negative") << -2.345 << "-2,35";
}

void TestCalculation::fixedTwoDecimals()
{
    QFETCH(double, value);
    QTEST(toFixed2(value), "text");
}

void TestCalculation::areaClasses_data()
{
    QTest::addColumn<double>("area");
    QTest::addColumn<int>("index");
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("999.99") << 999.99 << 1;
    QTest::newRow("1e9") << 1e9 << 5;
    QTest::newRow("below 0") << -1.0 << -1;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << -1;
}

void TestCalculation::areaClasses()
{
    QFETCH(double, area);
    QTEST(decree().areaClassFor(area).value_or(-1), "index");
}

void TestCalculation::resistanceClasses_data()
{
    QTest::addColumn<double>("load");
    QTest::addColumn<int>("reference");
    QTest::addColumn<int>("minimum");
    QTest::newRow("100") << 100.0 << 0 << 0;
    QTest::newRow("100.004 is above 100") << 100.004 << 15 << 0;
    QTest::newRow("300.5") << 300.5 << 30 << 15;
    QTest::newRow("2400") << 2400.0 << 180 << 90;
    QTest::newRow("2400.01") << 2400.01 << 240 << 120;
    // A product one binary step above 300 is 300 as a person reads it.
    QTest::newRow("binary noise at an edge") << std::nextafter(300.0, 400.0) << 20 << 0;
    QTest::newRow("product") << *designFireLoad(450 * 1.2, 0.51, 1.2, 0.8) << 20 << 0;
}

void TestCalculation::resistanceClasses()
{
    QFETCH(double, load);
    QTEST(decree().resistanceClassesFor(load).reference, "reference");
    QTEST(decree().resistanceClassesFor(load).minimum, "minimum");
}

void TestCalculation::deltaNIsTheProduct_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::newRow("decree") << Rule::Decree2007;
    QTest::newRow("code") << Rule::FireCode;
}

void TestCalculation::deltaNIsTheProduct()
{
    // Every combination of measures the rule allows, and loads that put the exact q_f,d just
    // above and at each limit of the class table: delta n is the product, and the class is never
    // lower than the class of the exact product.
    QFETCH(Rule, rule);
    const Regulation &r = Regulation::forRule(rule);
    Calculation c;
    c.rule = rule;
    c.method = Method::Activity;
    c.areaClass = 0;
    c.riskClass = 1;
    int combinations = 0;
    for (int mask = 0; mask < (1 << r.measures.size()); ++mask) {
        c.measures.clear();
        bool allowed = true;
        long double exact = 1;
        for (int i = 0; i < r.measures.size() && allowed; ++i) {
            if (!(mask & (1 << i)))
                continue;
            allowed = measureAllowed(c, i);
            c.measures.insert(i);
            exact *= r.measures.at(i).deltaN;
        }
        if (!allowed)
            continue;
        ++combinations;
        QCOMPARE(deltaN(c), asRead(double(exact)));
        for (const Regulation::ClassBand &band : r.classBands) {
            for (double above : {0.0, 0.005, 0.01, 0.5}) {
                const double load = double((band.upTo + above) / exact);
                c.activity = {u"Attività"_s, load, 1.0};
                const auto design = designFireLoad(c);
                QVERIFY(design);
                const auto exactClass = r.resistanceClassesFor(double(load * exact));
                const auto classes = ::resistanceClasses(c);
                QVERIFY(classes);
                QVERIFY2(classes->reference >= exactClass.reference,
                         qPrintable(u"%1: %2"_s.arg(mask).arg(load)));
                QVERIFY(classes->minimum >= exactClass.minimum);
            }
        }
    }
    QCOMPARE(combinations, rule == Rule::FireCode ? 7 * 16 : 3 * 3 * 32);
}

void TestCalculation::deltaNText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 1.0 << "1,00";
    QTest::newRow("one measure") << 0.9 << "0,90";
    QTest::newRow("three decimals") << 0.85 * 0.9 << "0,765";
    QTest::newRow("code") << 0.72 * 0.85 << "0,612";
    QTest::newRow("four decimals") << 0.6 * 0.9 * 0.85 * 0.9 << "0,4131";
    QTest::newRow("more than four") << 0.6 * 0.9 * 0.85 * 0.9 * 0.9 << "≈ 0,3718";
}

void TestCalculation::deltaNText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(CalculationTexts::deltaNText(value), text);
    QCOMPARE(CalculationTexts::deltaNExact(value), !text.startsWith(u"≈"_s));
}

// With an application object, as in the program: it takes the process locale from the environment.
QTEST_GUILESS_MAIN(TestCalculation)
#include "tst_calculation.moc"

using namespace Qt::StringLiterals;
