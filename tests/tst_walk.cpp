// The whole walk from the start screen to the report page, the reset and the end of the program.
#include "core/calculationsession.h"
#include "data/sharedstate.h"
#include "testsupport.h"
#include "ui/app/navigation.h"
#include "ui/app/screens.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/kit/widgets.h"
#include "ui/reports/itemisedlist.h"
#include "ui/reports/pageview.h"
#include "ui/reports/reportprinter.h"
#include "ui/reports/stampaelencoarredomerci.h"
#include "ui/reports/stampaelencomateriali.h"
#include "ui/reports/stampapages.h"
#include "ui/start/avvio.h"
#include "ui/start/densitacarico.h"
#include "ui/start/formulacaricoincendio.h"
#include "ui/start/frmabout.h"

#include <QPrinter>
#include <QTemporaryDir>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestWalk : public QObject
{
    Q_OBJECT
private slots:
    void materialsWalkToReport();
    void italianFiguresOnScreenAndInPrint();
    void reportFieldsForEachMethod_data();
    void reportFieldsForEachMethod();
    void activityFiguresAndProtectionProducts();
    void activityWalkNeedsHandChosenClass();
    void areaBandsFromMaterials_data();
    void areaBandsFromMaterials();
    void protectionExclusionsAndProduct();
    void resetAfterFullCalculation();
    void fineClosesHiddenScreens();
    void aboutBox();
    void keysWalkTheScreens();
    void screensOpenWhereThePreviousStood();
    void tabFollowsReadingOrder();
};

static QLabel *label(QWidget &screen, const char *name)
{
    return child<QLabel>(screen, name);
}

// Start, formula screen, method 3, one material of 100 kg at 17 MJ/kg in `area` m².
static void materialsUpToFactors(const QString &area)
{
    Screens::get<Avvio>().show();
    click(child(Screens::get<Avvio>(), "Command1"));
    click(child(Screens::get<FormulaCaricoIncendio>(), "Command1"));
    click(child(Screens::get<DensitaCarico>(), "Command4"));
    auto &form = Screens::get<ValorePerMateriale>();
    typeInto(child(form, "txtAreaComp"), area);
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    pickEntry(child<QComboBox>(form, "Combo1"), "1"); // not the 0,8 proposed for it
    typeInto(child(form, "txtValorePerKg"), "17");
    typeInto(child(form, "txtQta"), "100");
    click(child(form, "Command4"));
    click(child(form, "Command1"));
}

void TestWalk::materialsWalkToReport()
{
    TestWorld world;
    materialsUpToFactors("50");
    auto &fr1 = Screens::get<FattoreRischio1>();
    QVERIFY(fr1.isVisible());
    QVERIFY(child<QRadioButton>(fr1, "Option1_0")->isChecked());
    QCOMPARE(label(fr1, "txtdq2")->text(), QStringLiteral("1"));
    click(child(fr1, "Command2"));

    auto &fr2 = Screens::get<FattoreRischio2>();
    click(child(fr2, "Command1"));
    QCOMPARE(world.prompt.messages.last(), QStringLiteral("Selezionare la classe di rischio"));
    click(child(fr2, "Option1_0"));
    QCOMPARE(label(fr2, "dq2")->text(), QStringLiteral("0,8"));
    click(child(fr2, "Option1_2"));
    click(child(fr2, "Command1"));

    auto &fp = Screens::get<FattoreProtezione>();
    QVERIFY(fp.isVisible());
    click(child(fp, "Check1"));
    click(child(fp, "Check4"));
    QCOMPARE(label(fp, "txtFattProt")->text(), QStringLiteral("0,51"));
    click(child(fp, "Command1"));

    auto &total = Screens::get<TotaleFormula>();
    QVERIFY(total.isVisible());
    // 34 * 0.51 * 1 * 1.2 = 20.808
    QCOMPARE(label(total, "txtTotFormula")->text(), QStringLiteral("20,81"));
    QCOMPARE(label(total, "lblClasse")->text(), QStringLiteral("0"));
    click(child(total, "Command3"));

    auto &page = Screens::get<StampaMateriali>();
    QVERIFY(page.isVisible());
    QCOMPARE(label(page, "Valoreqf")->text(), QStringLiteral("34"));
    QCOMPARE(label(page, "lblSuperficie")->text(), QStringLiteral("da 0 a 500"));
    QCOMPARE(label(page, "lblClasseRischio2")->text(), QStringLiteral("III"));
    QCOMPARE(label(page, "lblFattProt1")->text(), QStringLiteral("0,6"));
    QCOMPARE(label(page, "lblFattProt4")->text(), QStringLiteral("0,85"));
    QCOMPARE(label(page, "lblFattProt2")->text(), QStringLiteral("1"));
    QCOMPARE(label(page, "txtFattProt")->text(), QStringLiteral("0,51"));
    QCOMPARE(label(page, "txtTotFormula")->text(), QStringLiteral("20,81"));
    QCOMPARE(label(page, "lblClasseMin")->text(), QStringLiteral("0"));
    // The other pages receive the classes too, but stay hidden.
    QCOMPARE(label(Screens::get<StampaAttivita>(), "lblClasse")->text(), QStringLiteral("0"));
    QVERIFY(!Screens::get<StampaAttivita>().isVisible());
}

// The figures a user on an Italian system gets, typed and clicked as that user does: the
// numbers must not depend on the process locale (the suite runs under it_IT.UTF-8).
void TestWalk::italianFiguresOnScreenAndInPrint()
{
    TestWorld world;
    Screens::get<Avvio>().show();
    click(child(Screens::get<Avvio>(), "Command1"));
    click(child(Screens::get<FormulaCaricoIncendio>(), "Command1"));
    click(child(Screens::get<DensitaCarico>(), "Command4"));
    auto &form = Screens::get<ValorePerMateriale>();
    enterExampleMaterials();
    // (17,5 * 1000 * 0,8 + 40 * 500 * 0,85) / 60 = 516,67
    QCOMPARE(label(form, "Valoreqf")->text(), QStringLiteral("516"));
    click(child(form, "Command1"));

    click(child(Screens::get<FattoreRischio1>(), "Command2"));
    auto &fr2 = Screens::get<FattoreRischio2>();
    click(child(fr2, "Option1_2"));
    click(child(fr2, "Command1"));
    auto &fp = Screens::get<FattoreProtezione>();
    click(child(fp, "Check1"));
    click(child(fp, "Check4"));
    QCOMPARE(label(fp, "txtFattProt")->text(), QStringLiteral("0,51"));
    click(child(fp, "Command1"));

    auto &total = Screens::get<TotaleFormula>();
    QCOMPARE(label(total, "txtTotFormula")->text(), QStringLiteral("316,20"));
    QCOMPARE(label(total, "lblClasse")->text(), QStringLiteral("30"));
    QCOMPARE(label(total, "lblClasseMin")->text(), QStringLiteral("15"));
    click(child(total, "Command3"));

    auto &page = Screens::get<StampaMateriali>();
    QCOMPARE(label(page, "txtFattProt")->text(), QStringLiteral("0,51"));
    QCOMPARE(label(page, "txtTotFormula")->text(), QStringLiteral("316,20"));
    QCOMPARE(label(page, "lblClasse")->text(), QStringLiteral("30"));
    QCOMPARE(label(page, "lblClasseMin")->text(), QStringLiteral("15"));

    QTemporaryDir dir;
    QVERIFY(ReportPrinter::exportPdf(ReportPrinter::sessionDocument(CalculationSession::current()),
                                     dir.filePath("r.pdf"))
                .isEmpty());
    const QString text = pdfText(dir.filePath("r.pdf"));
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    QVERIFY2(text.contains("316,20") && text.contains("0,51"), qPrintable(text));
    // q_f enters the printed product with its decimals: 516,67 × 1 × 1,2 × 0,51 = 316,20.
    QCOMPARE(label(page, "txtDensCarInc")->text(), QStringLiteral("516,67"));
    QVERIFY2(text.contains(QStringLiteral("516,67 × 1 × 1,2 × 0,51 = 316,20")), qPrintable(text));
    QVERIFY(text.contains(QRegularExpression("prestazione III\\s+=\\s+30")));
    QVERIFY(text.contains(QRegularExpression("prestazione III\\s+=\\s+15")));
    QVERIFY(text.contains("Accessibilità ai mezzi di soccorso dei Vigili del Fuoco"));
}

using Fields = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Fields)

void TestWalk::reportFieldsForEachMethod_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<QString>("riskOption");
    QTest::addColumn<QStringList>("measures");
    QTest::addColumn<Fields>("factors");    // on every report page
    QTest::addColumn<Fields>("ownFields");  // on the page of the method only
    QTest::addColumn<Fields>("listFields"); // on its itemised list

    const QString riskII = Regulation::decree2007().riskClasses[1].description;
    const QString riskIII = Regulation::decree2007().riskClasses[2].description;
    const QString riskI = Regulation::decree2007().riskClasses[0].description;
    const auto measures = [](QStringList values) {
        Fields fields;
        for (int i = 0; i < values.size(); ++i)
            fields << qMakePair(QStringLiteral("lblFattProt%1").arg(i + 1), values[i]);
        return fields;
    };

    QTest::newRow("activity") << Method::Activity << "Option1_1" << QStringList{"Check4", "Check6"}
                              << (Fields{{"lblSuperficie", "da 500 a 1000"},
                                         {"lbldq1", "1,2"},
                                         {"txtFattDim", "1,2"},
                                         {"lblClasseRischio2", "II"},
                                         {"lblDescrClasseRischio2", riskII},
                                         {"lbldq2", "1"},
                                         {"txtFattUtilizzo", "1"},
                                         {"txtFattProt", "0,77"},
                                         {"txtTotFormula", "465,70"},
                                         {"lblClasse", "45"},
                                         {"lblClasseMin", "20"}} +
                                  measures({"1", "1", "1", "0,85", "1", "0,9", "1", "1", "1"}))
                              << Fields{{"Valoreqf", "504"},
                                        {"txtDensCarInc", "504,00"},
                                        {"lblTipologia", "Ufficio"},
                                        {"lblCarIncSpecif", "420"},
                                        {"lblFrattile", "1,2"}}
                              << Fields{};
    QTest::newRow("materials") << Method::Materials << "Option1_2"
                               << QStringList{"Check1", "Check4"}
                               << (Fields{{"lblSuperficie", "da 0 a 500"},
                                          {"lbldq1", "1"},
                                          {"txtFattDim", "1"},
                                          {"lblClasseRischio2", "III"},
                                          {"lblDescrClasseRischio2", riskIII},
                                          {"lbldq2", "1,2"},
                                          {"txtFattUtilizzo", "1,2"},
                                          {"txtFattProt", "0,51"},
                                          {"txtTotFormula", "316,20"},
                                          {"lblClasse", "30"},
                                          {"lblClasseMin", "15"}} +
                                   measures({"0,6", "1", "1", "0,85", "1", "1", "1", "1", "1"}))
                               << Fields{{"Valoreqf", "516"},
                                         {"txtDensCarInc", "516,67"},
                                         {"lblLegna", "pari a 27,9 kg/m² di legna standard"}}
                               << Fields{
                                      {"Valoreqf", "516"},      {"txtArea", "60"},
                                      {"Materiale_0", "Legno"}, {"ValorePerKg_0", "17,5"},
                                      {"FattorePsi_0", "1"},    {"Fattore_m_0", "0,8"},
                                      {"QtaMat_0", "1000"},     {"Materiale_1", "Polietilene (PE)"},
                                      {"ValorePerKg_1", "40"},  {"FattorePsi_1", "0,85"},
                                      {"Fattore_m_1", "1"},     {"QtaMat_1", "500"}};
    QTest::newRow("furnishings") << Method::Furnishings << "Option1_0" << QStringList{"Check3"}
                                 << (Fields{{"lblSuperficie", "da 0 a 500"},
                                            {"lbldq1", "1"},
                                            {"txtFattDim", "1"},
                                            {"lblClasseRischio2", "I"},
                                            {"lblDescrClasseRischio2", riskI},
                                            {"lbldq2", "0,8"},
                                            {"txtFattUtilizzo", "0,8"},
                                            {"txtFattProt", "0,9"},
                                            {"txtTotFormula", "35,28"},
                                            {"lblClasse", "0"},
                                            {"lblClasseMin", "0"}} +
                                     measures({"1", "1", "0,9", "1", "1", "1", "1", "1", "1"}))
                                 << Fields{{"Valoreqf", "49"},
                                           {"txtDensCarInc", "49,00"},
                                           {"lblLegna", "pari a 2,6 kg/m² di legna standard"}}
                                 << Fields{{"Valoreqf", "49"},
                                           {"lblArea", "100"},
                                           {"Arredo_0", "Materasso in cotone"},
                                           {"ValorePerPezzo_0", "250"},
                                           {"QtaArredo_0", "2"},
                                           {"MatInDep_0", "Carta"},
                                           {"ValPerM3_0", "400"},
                                           {"QtaMerce_0", "10"},
                                           {"Imballo_0", "si"}};
}

// Every value field of the report page and the itemised list of each method, and the factors
// on the other two pages, after a walk through the screens.
void TestWalk::reportFieldsForEachMethod()
{
    QFETCH(Method, method);
    QFETCH(QString, riskOption);
    QFETCH(QStringList, measures);
    QFETCH(Fields, factors);
    QFETCH(Fields, ownFields);
    QFETCH(Fields, listFields);
    TestWorld world;
    walkToReport(method, riskOption, measures);

    ReportPage *own = reportPageFor(method);
    QVERIFY(own->isVisible());
    for (ReportPage *page : {reportPageFor(Method::Activity), reportPageFor(Method::Materials),
                             reportPageFor(Method::Furnishings)}) {
        Fields expected = factors;
        if (page == own)
            expected += ownFields;
        for (const auto &[name, value] : expected) {
            QLabel *field = page->pageView()->canvas()->findChild<QLabel *>(name);
            QVERIFY2(field, qPrintable(name));
            QVERIFY2(field->text() == value,
                     qPrintable(page->objectName() + '.' + name + " = " + field->text()));
        }
    }
    if (listFields.isEmpty())
        return;
    emit child<LinkLabel>(*own, "Label7")->clicked();
    QWidget *list = method == Method::Materials
                        ? static_cast<QWidget *>(&Screens::get<StampaElencoMateriali>())
                        : static_cast<QWidget *>(&Screens::get<StampaElencoArredoMerci>());
    QVERIFY(list->isVisible());
    for (const auto &[name, value] : listFields) {
        QWidget *field = list->findChild<QWidget *>(name);
        QVERIFY2(field, qPrintable(name));
        const QString text = qobject_cast<QLabel *>(field)
                                 ? qobject_cast<QLabel *>(field)->text()
                                 : qobject_cast<QLineEdit *>(field)->text();
        QVERIFY2(text == value, qPrintable(list->objectName() + '.' + name + " = " + text));
    }
}

void TestWalk::activityFiguresAndProtectionProducts()
{
    TestWorld world;
    InizFattProt();
    chooseMethod("Command1");
    auto &form = Screens::get<ValorePerAttivita>();
    pickEntry(child<QComboBox>(form, "ComboAttivita"), "Ufficio");
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1,2");
    click(child(form, "Command1"));
    auto &fr1 = Screens::get<FattoreRischio1>();
    click(child(fr1, "Option1_1")); // 600 m²: from 500 to 1000
    click(child(fr1, "Command2"));
    auto &fr2 = Screens::get<FattoreRischio2>();
    click(child(fr2, "Option1_1"));
    click(child(fr2, "Command1"));
    auto &fp = Screens::get<FattoreProtezione>();
    click(child(fp, "Check4"));
    click(child(fp, "Check6"));
    QCOMPARE(label(fp, "txtFattProt")->text(), QStringLiteral("0,77")); // 0,85 * 0,9 = 0,765
    click(child(fp, "Command1"));
    // 420 * 1,2 * 0,77 * 1,2 = 465,696
    auto &total = Screens::get<TotaleFormula>();
    QCOMPARE(label(total, "txtTotFormula")->text(), QStringLiteral("465,70"));
    QCOMPARE(label(total, "lblClasse")->text(), QStringLiteral("45"));
    QCOMPARE(label(total, "lblClasseMin")->text(), QStringLiteral("20"));

    click(child(fp, "Check4"));
    click(child(fp, "Check6"));
    click(child(fp, "Check1"));
    click(child(fp, "Check4"));
    QCOMPARE(label(fp, "txtFattProt")->text(), QStringLiteral("0,51"));
    for (const char *name : {"Check3", "Check5", "Check7", "Check8", "Check9"})
        click(child(fp, name));
    QCOMPARE(label(fp, "txtFattProt")->text(), QStringLiteral("0,27"));
    QCOMPARE(label(fp, "Label9")->text(),
             QStringLiteral("Accessibilità ai mezzi di soccorso dei Vigili del Fuoco"));
}

void TestWalk::activityWalkNeedsHandChosenClass()
{
    TestWorld world;
    InizFattProt();
    click(child(Screens::get<DensitaCarico>(), "Command1"));
    auto &form = Screens::get<ValorePerAttivita>();
    pickEntry(child<QComboBox>(form, "ComboAttivita"), "Biblioteca");
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1,2");
    click(child(form, "Command1"));
    auto &fr1 = Screens::get<FattoreRischio1>();
    click(child(fr1, "Command2"));
    QCOMPARE(world.prompt.messages.last(), QStringLiteral("Selezionare l'area del compartimento"));
    click(child(fr1, "Option1_3"));
    QCOMPARE(label(Screens::get<StampaAttivita>(), "lblSuperficie")->text(),
             QStringLiteral("da 2500 a 5000"));
    QCOMPARE(label(fr1, "txtdq2")->text(), QStringLiteral("1,6"));
    click(child(fr1, "Command2"));
    auto &fr2 = Screens::get<FattoreRischio2>();
    click(child(fr2, "Option1_1"));
    click(child(fr2, "Command1"));
    click(child(Screens::get<FattoreProtezione>(), "Command1"));
    // 1500 * 1.2 * 1 * 1.6 * 1 = 2880
    auto &total = Screens::get<TotaleFormula>();
    QCOMPARE(label(total, "txtTotFormula")->text(), QStringLiteral("2.880,00"));
    QCOMPARE(label(total, "lblClasse")->text(), QStringLiteral("240"));
    QCOMPARE(label(total, "lblClasseMin")->text(), QStringLiteral("120"));

    // Indietro on the compartment-size screen returns to the method in use.
    click(child(total, "Command1"));
    click(child(Screens::get<FattoreProtezione>(), "Command2"));
    click(child(fr2, "Command2"));
    click(child(fr1, "Command1"));
    QVERIFY(form.isVisible());
}

void TestWalk::areaBandsFromMaterials_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("deltaQ1");
    QTest::newRow("499,9") << "499,9" << 0 << "1";
    QTest::newRow("500") << "500" << 1 << "1,2";
    QTest::newRow("9999,9") << "9999,9" << 4 << "1,8";
    QTest::newRow("10000") << "10000" << 5 << "2";
}

void TestWalk::areaBandsFromMaterials()
{
    QFETCH(QString, area);
    QFETCH(int, option);
    QFETCH(QString, deltaQ1);
    TestWorld world;
    materialsUpToFactors(area);
    auto &fr1 = Screens::get<FattoreRischio1>();
    QVERIFY(child<QRadioButton>(fr1, qPrintable(QStringLiteral("Option1_%1").arg(option)))
                ->isChecked());
    QCOMPARE(label(fr1, "txtdq2")->text(), deltaQ1);
    click(child(fr1, "Command2"));
    QCOMPARE(label(Screens::get<StampaMateriali>(), "lbldq1")->text(), deltaQ1);
    QCOMPARE(label(Screens::get<FattoreRischio2>(), "txtdq2")->text(), deltaQ1);
}

void TestWalk::protectionExclusionsAndProduct()
{
    TestWorld world;
    auto &fp = Screens::get<FattoreProtezione>();
    auto *check1 = child<QCheckBox>(fp, "Check1");
    auto *check2 = child<QCheckBox>(fp, "Check2");
    click(check1);
    QVERIFY(check2->isHidden());
    click(check1);
    QVERIFY(!check2->isHidden());
    click(child(fp, "Check7"));
    QVERIFY(child<QCheckBox>(fp, "Check6")->isHidden());
    for (const char *name : {"Check1", "Check3", "Check4", "Check5", "Check8", "Check9"})
        click(child(fp, name));
    QCOMPARE(label(fp, "txtFattProt")->text(), QStringLiteral("0,27"));
    const Regulation &decree = Regulation::decree2007();
    QCOMPARE(deltaN(calculation(), decree), 0.27);
    Calculation known = calculation();
    known.method = Method::Activity;
    known.activity = {QStringLiteral("Ufficio"), 1000.0, 1.0};
    known.areaClass = 0; // delta q1 1
    known.riskClass = 1; // delta q2 1
    CalculationSession::current().load(known);
    click(child(fp, "Command1"));
    QCOMPARE(designFireLoad(calculation(), decree), 270.0);
    QCOMPARE(label(Screens::get<TotaleFormula>(), "txtTotFormula")->text(),
             QStringLiteral("270,00"));
}

void TestWalk::resetAfterFullCalculation()
{
    TestWorld world;
    materialsUpToFactors("600");
    click(child(Screens::get<FattoreRischio1>(), "Command2"));
    click(child(Screens::get<FattoreRischio2>(), "Option1_0"));
    click(child(Screens::get<FattoreRischio2>(), "Command1"));
    click(child(Screens::get<FattoreProtezione>(), "Check5"));
    click(child(Screens::get<FattoreProtezione>(), "Command1"));
    const QString result = label(Screens::get<TotaleFormula>(), "txtTotFormula")->text();
    QVERIFY(!result.isEmpty());

    Screens::get<TotaleFormula>().hide();
    click(child(Screens::get<DensitaCarico>(), "Command2"));
    QCOMPARE(fireLoadNow(), 0.0);
    QVERIFY(!deltaQ1(calculation(), Regulation::decree2007()));
    QVERIFY(!deltaQ2(calculation(), Regulation::decree2007()));
    auto &fr1 = Screens::get<FattoreRischio1>();
    for (int i = 0; i < 6; ++i)
        QVERIFY(!child<QRadioButton>(fr1, qPrintable(QStringLiteral("Option1_%1").arg(i)))
                     ->isChecked());
    QCOMPARE(label(fr1, "txtdq2")->text(), QString());
    QVERIFY(!child<QRadioButton>(Screens::get<FattoreRischio2>(), "Option1_0")->isChecked());
    QCOMPARE(label(Screens::get<FattoreRischio2>(), "dq2")->text(), QString());
    QVERIFY(!child<QCheckBox>(Screens::get<FattoreProtezione>(), "Check5")->isChecked());
    QCOMPARE(measureFactor(calculation(), Regulation::decree2007(), 4), 1.0);
    QCOMPARE(label(Screens::get<StampaMateriali>(), "lblFattProt5")->text(), QStringLiteral("1"));
    QCOMPARE(label(Screens::get<FattoreProtezione>(), "txtFattProt")->text(), QString());
    // The result screen keeps the old result until a new one is computed.
    QCOMPARE(label(Screens::get<TotaleFormula>(), "txtTotFormula")->text(), result);
    click(child(Screens::get<FattoreRischio2>(), "Command1"));
    QCOMPARE(world.prompt.messages.last(), QStringLiteral("Selezionare la classe di rischio"));
}

void TestWalk::fineClosesHiddenScreens()
{
    TestWorld world;
    materialsUpToFactors("50");
    QPointer<QWidget> hidden = &Screens::get<ValorePerMateriale>();
    QPointer<QWidget> shown = &Screens::get<FattoreRischio1>();
    QVERIFY(!hidden->isVisible());
    shown->close(); // the close box of a main screen ends the program
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(hidden.isNull());
    QVERIFY(shown.isNull());
    QVERIFY(ScreenRegistry::all().isEmpty());
    QCOMPARE(world.prompt.messages, QStringList{"   inserimento riuscito    \nMateriale : Legno\n"
                                                "Potere Calorifico: 17\nQuantità:  100\n"
                                                "Fattore Psi:  1\nFattore m:  1"});
    // A screen referred to again is created afresh.
    QCOMPARE(child<QLineEdit>(Screens::get<ValorePerMateriale>(), "txtAreaComp")->text(),
             QString());
}

void TestWalk::aboutBox()
{
    TestWorld world;
    auto &start = Screens::get<Avvio>();
    start.show();
    emit child<LinkLabel>(start, "Label6")->clicked();
    QWidget *about = &Screens::get<frmAbout>();
    emit child<LinkLabel>(start, "Label6")->clicked();
    QCOMPARE(&Screens::get<frmAbout>(), about);
    QCOMPARE(about->windowTitle(), QStringLiteral("Informazioni su Ardivo"));
    qputenv("PATH", "/nonexistent");
    click(child(*about, "cmdSysInfo"));
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili."));
    QVERIFY(about->isVisible());
    click(child(*about, "cmdOK"));
    QVERIFY(start.isVisible());
}

// Enter, Alt and the method keys, as a user without a mouse walks.
void TestWalk::keysWalkTheScreens()
{
    TestWorld world;
    auto &start = Screens::get<Avvio>();
    start.show();
    start.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&start));
    QTest::keyClick(&start, Qt::Key_Return);
    auto &formula = Screens::get<FormulaCaricoIncendio>();
    QTRY_VERIFY(formula.isActiveWindow());
    QTest::keyClick(&formula, Qt::Key_A, Qt::AltModifier);
    auto &chooser = Screens::get<DensitaCarico>();
    QTRY_VERIFY(chooser.isActiveWindow()); // Alt clicks as the mouse does, in a moment
    QTest::keyClick(&chooser, Qt::Key_3);
    auto &form = Screens::get<ValorePerMateriale>();
    QTRY_VERIFY(form.isActiveWindow());
    QVERIFY(!chooser.isVisible());

    clickAndType(child(form, "txtAreaComp"), "100");
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    clickAndType(child(form, "txtQta"), "200");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // adds, does not move on
    QCOMPARE(calculation().materials.size(), 1);
    QVERIFY(form.isVisible());
    QCOMPARE(label(form, "Valoreqf")->text(), QStringLiteral("28")); // wood: m 0,8
    clickAndType(child(form, "txtAreaComp"), "50");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter); // Avanti
    auto &size = Screens::get<FattoreRischio1>();
    QTRY_VERIFY(size.isActiveWindow());
    QTest::keyClick(&size, Qt::Key_I, Qt::AltModifier); // Indietro
    QTRY_VERIFY(form.isActiveWindow());

    // The furnishings screen: Enter in a quantity adds its own kind of entry.
    QTest::keyClick(&form, Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY(chooser.isActiveWindow()); // Alt clicks as the mouse does, in a moment
    QTest::keyClick(&chooser, Qt::Key_2);
    auto &furnishings = Screens::get<ValorePerArredo>();
    pickEntry(child<QComboBox>(furnishings, "ComboMatDep"), "Carta");
    clickAndType(child(furnishings, "txtQtaMerce"), "2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(calculation().furnishings.size(), 1);
    QCOMPARE(calculation().furnishings[0].goods, QStringLiteral("Carta"));
}

// Forward and back, each screen takes the place of the one before, centre on centre, and
// every one fits a 1366x768 screen.
void TestWalk::screensOpenWhereThePreviousStood()
{
    TestWorld world;
    auto &start = Screens::get<Avvio>();
    start.show();
    start.move(QPoint(400, 300) - start.rect().center()); // the middle of the test screen
    QWidget *previous = &start;
    const auto check = [&](QWidget &screen) {
        QVERIFY(screen.isVisible());
        QVERIFY(screen.frameGeometry().width() <= 1366);
        QVERIFY(screen.frameGeometry().height() <= 768);
        const QPoint moved = screen.geometry().center() - previous->geometry().center();
        QVERIFY2(moved.manhattanLength() <= 2, qPrintable(screen.objectName()));
        previous = &screen;
    };
    click(child(start, "Command1"));
    check(Screens::get<FormulaCaricoIncendio>());
    click(child(Screens::get<FormulaCaricoIncendio>(), "Command1"));
    check(Screens::get<DensitaCarico>());
    click(child(Screens::get<DensitaCarico>(), "Command4"));
    auto &form = Screens::get<ValorePerMateriale>();
    check(form);
    click(child(form, "Command2"));
    check(Screens::get<DensitaCarico>());
    click(child(Screens::get<DensitaCarico>(), "Command4"));
    check(form);
    walkToReport(Method::Materials, "Option1_0", {});
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            QVERIFY2(window->frameGeometry().height() <= 768, qPrintable(window->objectName()));
            QVERIFY2(window->frameGeometry().width() <= 1366, qPrintable(window->objectName()));
        }
    }
}

// Tab goes through each screen's controls as they are read: row by row, left to right.
void TestWalk::tabFollowsReadingOrder()
{
    TestWorld world;
    QStringList wrong;
    const QList<QWidget *> screens = {&Screens::get<Avvio>(),
                                      &Screens::get<FormulaCaricoIncendio>(),
                                      &Screens::get<DensitaCarico>(),
                                      &Screens::get<ValorePerAttivita>(),
                                      &Screens::get<ValorePerMateriale>(),
                                      &Screens::get<ValorePerArredo>(),
                                      &Screens::get<FattoreRischio1>(),
                                      &Screens::get<FattoreRischio2>(),
                                      &Screens::get<FattoreProtezione>(),
                                      &Screens::get<TotaleFormula>()};
    for (QWidget *screen : screens) {
        screen->show();
        QList<QWidget *> chain;
        for (QWidget *w = screen->nextInFocusChain(); w != screen; w = w->nextInFocusChain()) {
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                !w->focusProxy())
                chain << w;
        }
        for (int i = 1; i < chain.size(); ++i) {
            const QRect a(chain[i - 1]->mapTo(screen, QPoint()), chain[i - 1]->size());
            const QRect b(chain[i]->mapTo(screen, QPoint()), chain[i]->size());
            const bool sameRow = b.top() < a.bottom() && a.top() < b.bottom();
            // Frames side by side are read one after the other, each top to bottom.
            const auto *frameA = qobject_cast<QGroupBox *>(chain[i - 1]->parentWidget());
            const auto *frameB = qobject_cast<QGroupBox *>(chain[i]->parentWidget());
            if (frameA && frameB && frameA != frameB && b.left() > a.right())
                continue;
            if (!(sameRow ? b.left() > a.left() : b.top() >= a.bottom() - 2))
                wrong << screen->objectName() + QLatin1Char(' ') + chain[i - 1]->objectName() +
                             QStringLiteral(" -> ") + chain[i]->objectName();
        }
        screen->hide();
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestWalk)
#include "tst_walk.moc"
