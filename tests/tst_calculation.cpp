// The conversions and the regulation's tables, without any window.
#include "core/calculation.h"
#include "core/calculationtexts.h"
#include "core/italiannumbers.h"
#include "core/regulation.h"
#include "testcalculations.h"

#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <cmath>

using namespace ItalianNumbers;

// Each value through `format`, for one comparison that names the first text that differs.
static QStringList texts(QString (*format)(double), const QList<double> &values)
{
    QStringList result;
    for (double value : values)
        result << format(value);
    return result;
}

class TestCalculation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void numbersRead_data();
    void numbersRead();
    void numberTexts();
    void areaClasses_data();
    void areaClasses();
    void resistanceClasses_data();
    void resistanceClasses();
    void deltaNIsTheProduct_data();
    void deltaNIsTheProduct();
    void measureGroups_data();
    void measureGroups();
    void ruleFileRefused_data();
    void ruleFileRefused();
    void ruleFolderProblems();
};

// A decimal-comma locale asked for must really be installed, or the run proves nothing.
void TestCalculation::initTestCase()
{
    const QByteArray asked = qgetenv("LC_ALL");
    if (asked.startsWith("it_IT") || asked.startsWith("de_DE"))
        QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
}

void TestCalculation::numbersRead_data()
{
    QTest::addColumn<bool>("leading"); // the number a text begins with, not the whole text
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value"); // NaN: the text is refused
    QTest::newRow("decimal comma") << false << "1,05" << 1.05;
    QTest::newRow("blanks around") << false << " 12,5 " << 12.5;
    QTest::newRow("thousands") << false << "1.234,5" << 1234.5;
    QTest::newRow("decimal point is no decimal") << false << "12.5" << qQNaN();
    QTest::newRow("letters after") << false << "5a" << qQNaN();
    QTest::newRow("empty") << false << "" << qQNaN();
    QTest::newRow("not a number") << false << "NaN" << qQNaN();
    QTest::newRow("infinity") << false << "inf" << qQNaN();
    QTest::newRow("overflow") << false << "1e999" << qQNaN();
    QTest::newRow("minus zero") << false << "-0" << 0.0;
    QTest::newRow("point after zero is no grouping") << false << "0.001" << qQNaN();
    QTest::newRow("signed point after zero") << false << "-00.500" << qQNaN();
    QTest::newRow("grouped millions") << false << "1.000.000.000" << 1e9;
    QTest::newRow("exponent") << false << "1e-3" << 0.001;
    // Leading: a decimal point, and a comma that stops the number; 0 for none, and for an overflow.
    const QList<std::pair<const char *, double>> numbers{
        {"1,05", 1}, {"12.5m", 12.5}, {"   7 kg", 7}, {"abc", 0},  {"", 0},
        {"0,5", 0},  {"-3", -3},      {"1e3x", 1000}, {"1e999", 0}};
    for (auto [text, value] : numbers)
        QTest::addRow("leading «%s»", text) << true << QString::fromLatin1(text) << value;
}

void TestCalculation::numbersRead()
{
    QFETCH(bool, leading);
    QFETCH(QString, text);
    QFETCH(double, value);
    const auto result = leading ? std::optional(leadingNumber(text)) : toDouble(text);
    QCOMPARE(result.has_value(), !std::isnan(value));
    if (result)
        QCOMPARE(*result, value);
}

void TestCalculation::numberTexts()
{
    QCOMPARE(texts(toText, {1.15 * 300, 450 * 1.05, 27.2, 1234567, -0.0}),
             (QStringList{"345", "472,5", "27,2", "1234567", "0"}));
    // Never an exponent: a person reads the digits, and the typing checks read them back.
    QCOMPARE(texts(toText, {0.00005, -0.000123, 1e20, 1.5e-7}),
             (QStringList{"0,00005", "-0,000123", "100000000000000000000", "0,00000015"}));
    QCOMPARE(ItalianNumbers::toDouble(toText(0.00005)), 0.00005);
    // 0.29 * 100 is 28.999999999999996 in binary; a person reads 29.
    QCOMPARE(texts(integerPartText, {1360.0 / 50, 0.29 * 100}), (QStringList{"27", "29"}));
    // One decimal for shares and wood, never grouped.
    QCOMPARE(texts(toFixed1, {45.25, 14000.0 / 31000 * 100, 1234.56, 0}),
             (QStringList{"45,3", "45,2", "1234,6", "0,0"}));
    // Printed numbers: the thousands point from 1.000 on.
    QCOMPARE(texts(toGroupedText, {1200, 252287, 999, 1234.5, -1234567, 0.612}),
             (QStringList{"1.200", "252.287", "999", "1.234,5", "-1.234.567", "0,612"}));
    // Two decimals: half away from zero as read (0,85 × 0,9), a carry into the thousands.
    QCOMPARE(
        texts(toFixed2, {0.85 * 0.9, 1234.567, 1234.5, 0, 999.995, 1234567.891, 0.004, -2.345}),
        (QStringList{"0,77", "1.234,57", "1.234,50", "0,00", "1.000,00", "1.234.567,89", "0,00",
                     "-2,35"}));
    // delta n: two decimals at least, four at most, and "≈" before a value it rounds.
    const QList<double> values{
        1.0, 0.9, 0.85 * 0.9, 0.72 * 0.85, 0.6 * 0.9 * 0.85 * 0.9, 0.6 * 0.9 * 0.85 * 0.9 * 0.9};
    QCOMPARE(texts(CalculationTexts::deltaNText, values),
             (QStringList{"1,00", "0,90", "0,765", "0,612", "0,4131", "≈ 0,3718"}));
    for (double value : values) // only the last has more than four decimals
        QCOMPARE(CalculationTexts::deltaNExact(value), value != values.last());
}

void TestCalculation::areaClasses_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<double>("area");
    QTest::addColumn<int>("index");
    // The Code keeps the decree's bands: each closed at the bottom. No band (-1) below 0.
    const QList<std::pair<double, int>> bands{{0, 0},     {499.99, 0}, {500, 1}, {999.99, 1},
                                              {10000, 5}, {1e9, 5},    {-1, -1}, {qQNaN(), -1}};
    for (const Rule &rule : {Rule::Decree2007, Rule::FireCode})
        for (auto [area, index] : bands)
            QTest::addRow("%s %g", qPrintable(rule.key()), area) << rule << area << index;
    QTest::newRow("no such rule") << Rule(u"nessuna"_s) << 100.0 << -1;
}

void TestCalculation::areaClasses()
{
    QFETCH(Rule, rule);
    QFETCH(double, area);
    QTEST(Regulation::forRule(rule).areaClassFor(area).value_or(-1), "index");
}

void TestCalculation::resistanceClasses_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<double>("load");
    QTest::addColumn<int>("reference");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<bool>("required");
    const Rule decree = Rule::Decree2007;
    QTest::newRow("100") << decree << 100.0 << 0 << 0 << true;
    QTest::newRow("100.004 is above 100") << decree << 100.004 << 15 << 0 << true;
    QTest::newRow("300.5") << decree << 300.5 << 30 << 15 << true;
    QTest::newRow("2400") << decree << 2400.0 << 180 << 90 << true;
    QTest::newRow("2400.01") << decree << 2400.01 << 240 << 120 << true;
    // A product one binary step above 300 is 300 as a person reads it.
    QTest::newRow("binary noise at an edge")
        << decree << std::nextafter(300.0, 400.0) << 20 << 0 << true;
    QTest::newRow("product") << decree << *designFireLoad(450 * 1.2, 0.51, 1.2, 0.8) << 20 << 0
                             << true;
    // The Code's table S.2-3 at each edge: closed at the top, no class up to 200, no class 20.
    QTest::newRow("code 0") << Rule::FireCode << 0.0 << 0 << 0 << false;
    QTest::newRow("code 200") << Rule::FireCode << 200.0 << 0 << 0 << false;
    const int classes[] = {15, 30, 45, 60, 90, 120, 180, 240};
    const double edges[] = {200, 300, 450, 600, 900, 1200, 1800, 2400};
    for (int i = 0; i < 8; ++i) {
        QTest::addRow("code %g above", edges[i])
            << Rule::FireCode << edges[i] + 0.01 << classes[i] << 0 << true;
        if (i + 1 < 8)
            QTest::addRow("code %g", edges[i + 1])
                << Rule::FireCode << edges[i + 1] << classes[i] << 0 << true;
    }
}

void TestCalculation::resistanceClasses()
{
    QFETCH(Rule, rule);
    QFETCH(double, load);
    const auto classes = Regulation::forRule(rule).resistanceClassesFor(load);
    QTEST(classes.reference, "reference");
    QTEST(classes.minimum, "minimum");
    QTEST(classes.required, "required");
}

void TestCalculation::measureGroups_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<QList<int>>("refused"); // the measures that may not be added
    // The Code: one fire-control system of six at most; the other four each on its own.
    QTest::newRow("code, none") << Rule::FireCode << QList<int>{} << QList<int>{};
    QTest::newRow("code, hydrants") << Rule::FireCode << QList<int>{1} << QList<int>{0, 2, 3, 4, 5};
    QTest::newRow("code, sprinklers and more")
        << Rule::FireCode << QList<int>{4, 6, 7, 8, 9} << QList<int>{0, 1, 2, 3, 5};
    // The decree: water and other extinguishing systems, internal and external networks.
    QTest::newRow("decree, water") << Rule::Decree2007 << QList<int>{0} << QList<int>{1};
    QTest::newRow("decree, both networks") << Rule::Decree2007 << QList<int>{3, 5} << QList<int>{6};
}

void TestCalculation::measureGroups()
{
    QFETCH(Rule, rule);
    QFETCH(QList<int>, present);
    QFETCH(QList<int>, refused);
    const Regulation &r = Regulation::forRule(rule);
    Calculation c =
        activityCalculation(u"Attività"_s, 500, 1, 0, 1, {present.begin(), present.end()});
    c.rule = rule;
    QCOMPARE(impossibility(c), QString());
    for (int measure = 0; measure < r.measures.size(); ++measure) {
        if (c.measures.contains(measure))
            continue;
        QCOMPARE(!measureAllowed(c, measure), refused.contains(measure));
        Calculation both = c; // a file that names a refused pair is refused as a whole
        both.measures.insert(measure);
        QCOMPARE(impossibility(both).contains(u"due misure di protezione che si escludono"_s),
                 refused.contains(measure));
    }
    QVERIFY(!measureAllowed(c, int(r.measures.size())));
    c.rule = Rule(u"nessuna"_s); // a rule the program does not hold: no result, never the decree
    QVERIFY(!designFireLoad(c));
    QVERIFY(impossibility(c).contains(u"la normativa applicata non è tra quelle di Ardivo"_s));
    QVERIFY(!Regulation::ruleForKey(u"nessuna"_s) && !Regulation::ruleForKey(QString()));
}

static QByteArray codeFile()
{
    QFile file(RuleRegistry::builtInFolder() + u"/codice-s2.json"_s);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestCalculation::ruleFileRefused_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("json"); // the value put there; with no path, the whole file
    QTest::addColumn<QString>("message");
    const auto row = [](const char *name, const char *path, const char *json, const char *why) {
        QTest::newRow(name) << QString::fromLatin1(path) << QByteArray(json)
                            << QString::fromUtf8(why);
    };
    row("sound", "", "", "");
    row("not JSON", "", "{\"key\": ", "non è un file JSON leggibile");
    row("missing name", "name", "", "manca il campo «name»");
    row("tables no object", "tables", "\"x\"", "il campo «tables» deve essere un oggetto");
    row("areas not from 0", "areaClasses/0/from", "10", "deve partire da 0 m²");
    row("areas not increasing", "areaClasses/2/from", "500", "«from» crescente (riga 3)");
    row("factor 0", "riskClasses/1/deltaQ2", "0",
        "«riskClasses[2].deltaQ2» deve essere un numero maggiore di 0");
    row("factor as text", "measures/0/deltaN", "\"0,9\"",
        "«measures[1].deltaN» deve essere un numero maggiore di 0");
    row("excluding no measure", "measures/0/excludes", "11",
        "«measures[1].excludes» non indica un'altra misura");
    row("bands not increasing", "classBands/3/upTo", "200", "«upTo» crescente (riga 4)");
    row("class not whole", "classBands/0/reference", "15.5",
        "«classBands[1].reference» deve essere un numero intero");
    row("group beyond the measures", "measureGroups/1/count", "5",
        "«measureGroups[2]» indica misure che non esistono");
    row("measure in no group", "measureGroups/1/count", "3", "deve comprendere ogni misura");
    row("level twice", "performanceLevels/1/number", "1", "ripete il numero o il nome");
    row("proposed level missing", "proposedLevel", "7", "«proposedLevel» non è uno dei livelli");
}

void TestCalculation::ruleFileRefused()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    QByteArray text = path.isEmpty() && !json.isEmpty() ? json : codeFile();
    if (!path.isEmpty()) {
        const QJsonValue root = QJsonDocument::fromJson(text).object();
        text = QJsonDocument(changed(root, path.split(u'/'), json).toObject()).toJson();
    }
    QString problem;
    const auto regulation = RuleRegistry::parse(text, u"prova.json"_s, &problem);
    QCOMPARE(bool(regulation), message.isEmpty());
    if (!message.isEmpty())
        QVERIFY2(problem.startsWith(
                     u"Il file delle regole di calcolo «prova.json» non si può usare: "_s) &&
                     problem.contains(message),
                 qPrintable(problem));
}

void TestCalculation::ruleFolderProblems()
{
    // The program's own rules are sound, and offered in the order of their list.
    RuleRegistry &registry = RuleRegistry::instance();
    QCOMPARE(registry.problems(), QString());
    QCOMPARE(Regulation::rules(), (QVector<Rule>{Rule::Decree2007, Rule::FireCode}));

    QTemporaryDir dir;
    QVERIFY(registry.addFolder(dir.path()).contains(u"«regole.json» non si può usare: manca"_s));
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(write(u"regole.json"_s, R"(["doppia.json", "manca.json"])") &&
            write(u"doppia.json"_s, codeFile()));
    const QString told = registry.addFolder(dir.path());
    QVERIFY2(told.contains(u"«doppia.json» non si può usare: la chiave «codice-s2» è già di "
                           "un'altra regola"_s) &&
                 told.contains(u"«manca.json» non si può usare: manca o non si può leggere"_s),
             qPrintable(told));
    QCOMPARE(Regulation::rules().size(), 2);
}

void TestCalculation::deltaNIsTheProduct_data()
{
    QTest::addColumn<Rule>("rule");
    for (const Rule &rule : Regulation::rules())
        QTest::newRow(rule.key().toUtf8()) << rule;
}

void TestCalculation::deltaNIsTheProduct()
{
    // Every combination of measures the rule allows, with loads putting the exact q_f,d at and
    // just above each class limit: delta n is the product, the class never below the exact one's.
    QFETCH(Rule, rule);
    const Regulation &r = Regulation::forRule(rule);
    Calculation c = activityCalculation({}, 0, 1, 0, 1); // the load is set for each band
    c.rule = rule;
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
                QVERIFY(designFireLoad(c));
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

// With an application object, as in the program: it takes the process locale from the environment.
QTEST_GUILESS_MAIN(TestCalculation)
#include "tst_calculation.moc"
