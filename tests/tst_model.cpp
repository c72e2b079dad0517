// The calculation model on its own (core only): sums, refusals, steps, value rules and names.
#include "core/calculation.h"
#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/regulation.h"
#include "testcalculations.h"

#include <QTest>

class TestModel : public QObject
{
    Q_OBJECT
private slots:
    void sumsOfMaterialsAndFurnishings();
    void refusals_data();
    void refusals();
    void walkSteps();
};

void TestModel::sumsOfMaterialsAndFurnishings()
{
    const QVector<MaterialEntry> entries{
        {"Legno", n(17.5), n(1000), n(1), n(0.8)},
        {"Polietilene (PE)", n(40), n(500), n(0.85), n(1)},
        // An emptied field adds nothing; a line all emptied is counted, a missing one is not.
        {"Vuoto", Amount::emptyText(), Amount::emptyText(), Amount::emptyText(),
         Amount::emptyText()},
        {"Parziale", n(30), Amount::emptyText(), n(1), n(1)},
        {"Nullo", Amount(), Amount(), Amount(), Amount()},
    };
    const EntriesSum sum = materialsSum(entries);
    QCOMPARE(sum.total, 31000.0);
    QCOMPARE(sum.emptyLines, qint64(1));
    QCOMPARE(entryFireLoad(entries[1]), 17000.0);

    QCOMPARE(fireLoad(materialsCalculation(60.0, entries)).value(), 31000.0 / 60);
    QCOMPARE(CalculationTexts::fireLoad(materialsCalculation(60.0, entries)), u"516"_s);
    for (std::optional<double> area : {std::optional<double>(), {0.0}, {-5.0}})
        QVERIFY(!fireLoad(materialsCalculation(area, entries)));
    QCOMPARE(fireLoad(materialsCalculation(10.0, {})).value(), 0.0);

    QVector<MaterialEntry> changed = entries; // summed again once changed, in place or in a copy
    changed[0].quantity = n(2000);
    QCOMPARE(materialsSum(changed).total, 45000.0);
    changed.removeLast();
    changed << MaterialEntry{"Carta", n(20), n(10), n(1), n(1)};
    QCOMPARE(materialsSum(changed).total, 45200.0);
    QCOMPARE(materialsSum(entries).total, 31000.0);

    const FurnishingEntry sofa = furnishing("Divano", 600, 2);
    const FurnishingEntry paper = goods("Carta", 400, 10, CalculationRules::kPackagingFactor);
    // A line edited in the table may carry a furnishing and a good.
    const FurnishingEntry both = goods("Legna", 100, 2, 1, sofa);
    QVERIFY(!sofa.isGoods() && paper.isGoods());
    QCOMPARE(entryFireLoad(paper), 4400.0);
    QCOMPARE(entryFireLoad(both), 1400.0);

    Calculation c = furnishingsCalculation(100, {sofa, paper, both});
    QCOMPARE(entriesSum(c).total, 1200 + 4400 + 1400.0);
    QCOMPARE(fireLoad(c).value(), 70.0);
    c.materials = {{"Legno", n(17.5), n(1000), n(1), n(1)}}; // other methods' materials not summed
    QCOMPARE(fireLoad(c).value(), 70.0);

    // A sum that overflows, or a q_f or q_f,d above 10⁶ MJ/m², gives no value at all: never 0.
    const Calculation overflow = materialsCalculation(30.0, {materialEntry("Legno", 1e308, 10)});
    QVERIFY(!fireLoad(overflow) && fireLoadTooLarge(overflow));
    QCOMPARE(CalculationTexts::fireLoad(overflow), QString());
    Calculation classified = materialsCalculation(30.0, overflow.materials, 0, 1);
    QVERIFY(!designFireLoad(classified));
    QCOMPARE(CalculationTexts::referenceClass(classified), QString());

    QCOMPARE(fireLoad(materialsCalculation(1.0, {materialEntry("Legno", 1e6, 1)})), 1e6);
    QVERIFY(!fireLoad(materialsCalculation(1.0, {materialEntry("Legno", 1e6, 1.01)})));
    QVERIFY(!designFireLoad(1e306, 1, 10, 10));
    classified.riskClass = std::nullopt; // no risk class: no δq2, no q_f,d, and an empty text
    classified.materials[0].valuePerKg = n(17.5);
    QVERIFY(fireLoad(classified) && !deltaQ2(classified));
    QVERIFY(!designFireLoad(classified));
    QCOMPARE(CalculationTexts::designFireLoad(classified), QString());
}

// What the rules refuse, computed per row: a row with no refusal must be refused by nothing.
void TestModel::refusals_data()
{
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("refusal");
    // Other impossibilities are rows of tst_project's badFiles, read through the same check.
    const Calculation sound = materialsCalculation(60.0, {materialEntry("Legno", 17.5, 1)});
    Calculation unknown = sound;
    unknown.method = static_cast<Method>(7);
    const Calculation negative = materialsCalculation(-1, sound.materials);
    const Calculation endless = materialsCalculation(60, {materialEntry("Legno", 17.5, qInf())});
    QTest::newRow("sound") << impossibility(sound) << "";
    QTest::newRow("method") << impossibility(unknown) << "metodo";
    QTest::newRow("area") << impossibility(negative) << "superficie";
    QTest::newRow("entry") << impossibility(endless) << "materiale";
    QTest::newRow("nominal load 0,5")
        << impossibility(activityCalculation("Ufficio", 0.5, 1.2)) << "attività";
    // Values the screens refuse are rows of tst_fireload and tst_project; here the edges.
    using namespace CalculationRules;
    QTest::newRow("psi 0") << psiRefusal(0.0) << "";
    QTest::newRow("fractile 2") << fractileRefusal(2.0) << "";
    QTest::newRow("fractile 2,05") << fractileRefusal(2.05) << "frattile";
    QTest::newRow("amount 0") << amountRefusal(0.0) << "";
    QTest::newRow("amount infinite") << amountRefusal(qInf()) << "campi richiesti";
    QTest::newRow("nominal load 1,5") << nominalLoadRefusal(1.5) << "";
    // A control character and a name too long are rows of tst_project's badFiles.
    QTest::newRow("name") << nameRefusal(u"Magazzino nord"_s) << "";
    QTest::newRow("the longest name") << nameRefusal(QString(200, 'x')) << "";
}

void TestModel::refusals()
{
    QFETCH(QString, found);
    QFETCH(QString, refusal);
    QVERIFY2(refusal.isEmpty() ? found.isEmpty() : found.contains(refusal), qPrintable(found));
}

void TestModel::walkSteps()
{
    CalculationSession session; // its signals: tst_fireload's entriesTableEditsDeletesAndStays
    session.startCalculation(Method::Materials);
    session.setMaterials({{"Legno", n(17.5), n(100), n(1), n(1)}});
    session.setArea(600.0);
    session.passFireLoad();
    QVERIFY(session.reached(CalculationSession::FireLoadPassed));
    QCOMPARE(session.calculation().areaClass, std::optional<int>(1)); // from the area
    session.chooseAreaClass(2);                                       // the user may choose another
    QCOMPARE(deltaQ1(session.calculation()).value(), 1.4);
    session.passAreaClass();
    session.chooseRiskClass(0);
    session.passRiskClass();
    QVERIFY(session.passDesign() && session.reached(CalculationSession::DesignPassed));

    // A new calculation keeps the entries, as the working table does, and nothing else.
    session.startCalculation(Method::Materials);
    QCOMPARE(session.calculation().materials.size(), 1);
    QVERIFY(!session.calculation().area && !session.calculation().areaClass &&
            !session.calculation().riskClass);
    QCOMPARE(session.steps(), CalculationSession::Steps());

    const Calculation whole = materialsCalculation(600, {materialEntry("Legno", 17.5, 100)}, 1, 0);
    session.load(whole);
    QCOMPARE(session.calculation(), whole);
    QVERIFY(session.reached(CalculationSession::ClassesReported));
    session.clear();
    QCOMPARE(session.calculation(), Calculation());
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
