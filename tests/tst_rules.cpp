// The two rules side by side: the Code's chapter S.2 walked through the screens with values
// worked out by hand from its tables, the choice of rule remembered between runs, and a project
// holding a compartment under each rule, saved, reopened and exported.
#include "core/calculationsession.h"
#include "core/projectdocument.h"
#include "data/projectfile.h"
#include "data/sharedstate.h"
#include "testsupport.h"
#include "ui/app/projectactions.h"
#include "ui/app/screens.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/project/progetto.h"
#include "ui/reports/pageview.h"
#include "ui/reports/stampapages.h"
#include "ui/reports/stampariepilogo.h"
#include "ui/start/densitacarico.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QTest>

namespace {

QString textOf(QWidget &screen, const char *name)
{
    return child<QLabel>(screen, name)->text();
}

bool ticked(QWidget &screen, const char *name)
{
    return child<QAbstractButton>(screen, name)->isChecked();
}

// From the method chooser to the result screen by the activity method: the rule option, the
// nominal value and fractile typed, the area and risk options and the protection controls
// clicked.
void walkActivity(const char *ruleOption, const QString &nominal, const QString &fractile,
                  const char *areaOption, const char *riskOption, const QStringList &protection)
{
    InizFattProt();
    auto &chooser = Screens::get<DensitaCarico>();
    chooser.show();
    click(child(chooser, ruleOption));
    click(child(chooser, "Command1"));
    auto &form = Screens::get<ValorePerAttivita>();
    clickAndType(child(form, "txtValoreMJm2"), nominal);
    pickEntry(child<QComboBox>(form, "ComboFrattile"), fractile);
    click(child(form, "Command1"));
    click(child(Screens::get<FattoreRischio1>(), areaOption));
    click(child(Screens::get<FattoreRischio1>(), "Command2"));
    click(child(Screens::get<FattoreRischio2>(), riskOption));
    click(child(Screens::get<FattoreRischio2>(), "Command1"));
    for (const QString &control : protection)
        click(child(Screens::get<FattoreProtezione>(), qPrintable(control)));
    click(child(Screens::get<FattoreProtezione>(), "Command1"));
}

} // namespace

class TestRules : public QObject
{
    Q_OBJECT
private slots:
    void codeThroughTheScreens_data();
    void codeThroughTheScreens();
    void protectionScreenFollowsTheRule();
    void choiceRemembered();
    void projectWithBothRules();
    void firstVersionFileOpensUnderTheDecree();
};

void TestRules::codeThroughTheScreens_data()
{
    QTest::addColumn<QString>("nominal");
    QTest::addColumn<QString>("areaOption");
    QTest::addColumn<QStringList>("protection");
    QTest::addColumn<QString>("deltaN");
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("referenceClass");

    // δn2 · δn9 = 0,80 × 0,85 = 0,68; 3000 × 1,20 × 1,00 × 0,68 = 2448, shown with the
    // thousands grouped as every q_f,d is.
    QTest::newRow("hydrants and detection")
        << "3000"
        << "Option1_1" << QStringList{"OptionControllo_2", "CheckMisura_9"} << "0,68"
        << "2.448,00"
        << "240";
    // 470 × 1,40 × 1,00 × 0,68 = 447,44.
    QTest::newRow("447,44 is class 30")
        << "470"
        << "Option1_2" << QStringList{"OptionControllo_2", "CheckMisura_9"} << "0,68"
        << "447,44"
        << "30";
    QTest::newRow("200 asks for no class") << "200"
                                           << "Option1_0" << QStringList{"OptionControllo_0"} << "1"
                                           << "200,00"
                                           << "Nessun requisito";
    QTest::newRow("201") << "201"
                         << "Option1_0" << QStringList{"OptionControllo_0"} << "1"
                         << "201,00"
                         << "15";
    QTest::newRow("300, no class 20") << "300"
                                      << "Option1_0" << QStringList{"OptionControllo_0"} << "1"
                                      << "300,00"
                                      << "15";
    QTest::newRow("301") << "301"
                         << "Option1_0" << QStringList{"OptionControllo_0"} << "1"
                         << "301,00"
                         << "30";
    // 0,48 × 0,90 × 0,90 × 0,85 × 0,81 = 0,2677; 1000 × 0,27 = 270.
    QTest::newRow("every measure")
        << "1000"
        << "Option1_0"
        << QStringList{"OptionControllo_5", "CheckMisura_7", "CheckMisura_8", "CheckMisura_9",
                       "CheckMisura_10"}
        << "0,27"
        << "270,00"
        << "15";
}

void TestRules::codeThroughTheScreens()
{
    QFETCH(QString, nominal);
    QFETCH(QString, areaOption);
    QFETCH(QStringList, protection);
    QFETCH(QString, deltaN);
    QFETCH(QString, design);
    QFETCH(QString, referenceClass);
    TestWorld world;
    walkActivity("OptionNormativa_1", nominal, "1", qPrintable(areaOption), "Option1_1",
                 protection);
    QCOMPARE(textOf(Screens::get<FattoreProtezione>(), "txtFattProt"), deltaN);

    auto &total = Screens::get<TotaleFormula>();
    QVERIFY(total.isVisible());
    QCOMPARE(textOf(total, "txtFattProt"), deltaN);
    QCOMPARE(textOf(total, "txtTotFormula"), design);
    QCOMPARE(textOf(total, "lblClasse"), referenceClass);
    QVERIFY(!child(total, "lblClasseMin")->isVisible());
    QVERIFY(!child(total, "Label3")->isVisible());
    QCOMPARE(textOf(total, "lblTabellaClassi"), QStringLiteral("Codice S.2, tabella S.2-3"));

    click(child(total, "Command3"));
    auto &page = Screens::get<StampaAttivita>();
    QVERIFY(page.isVisible());
    QCOMPARE(textOf(page, "lblDecreto"),
             QStringLiteral("Codice di prevenzione incendi - D.M. 3 agosto 2015, cap. S.2 - "
                            "livello di prestazione III"));
    QCOMPARE(textOf(page, "txtTotFormula"), design);
    QCOMPARE(textOf(page, "lblClasse"), referenceClass);
    QCOMPARE(textOf(page, "lblTabellaDq1"), QStringLiteral("Codice S.2, tabella S.2-6"));
    QCOMPARE(textOf(page, "lblTabellaDq2"), QStringLiteral("Codice S.2, tabella S.2-7"));
    QCOMPARE(textOf(page, "lblTabellaDn"), QStringLiteral("Codice S.2, tabella S.2-8"));
    QVERIFY(!child(page, "lblClasseMin")->isVisible());
    // The ten factors, each with its own caption.
    QCOMPARE(textOf(page, "lblMisura10"),
             QStringLiteral("Operatività antincendio di livello di prestazione IV"));
    QVERIFY(child(page, "lblFattProt10")->isVisible());
}

void TestRules::protectionScreenFollowsTheRule()
{
    TestWorld world;
    walkActivity("OptionNormativa_1", "1000", "1", "Option1_0", "Option1_1",
                 {"OptionControllo_2", "CheckMisura_9"});
    auto &protection = Screens::get<FattoreProtezione>();
    click(child(Screens::get<TotaleFormula>(), "Command1")); // back to the protection screen
    QVERIFY(protection.isVisible());
    QVERIFY(!child(protection, "Check1")->isVisibleTo(&protection));
    QVERIFY(child(protection, "OptionControllo_6")->isVisibleTo(&protection));
    QCOMPARE(textOf(protection, "lblFattoreCodice_3"), QStringLiteral("0,54"));
    // Another fire-control system takes the place of the first: δn3 · δn9 = 0,54 × 0,85.
    click(child(protection, "OptionControllo_3"));
    QVERIFY(!ticked(protection, "OptionControllo_2"));
    QCOMPARE(textOf(protection, "txtFattProt"), QStringLiteral("0,46"));
    click(child(protection, "OptionControllo_0"));
    QCOMPARE(textOf(protection, "txtFattProt"), QStringLiteral("0,85"));

    // The decree's calculation shows the decree's boxes, as before.
    walkActivity("OptionNormativa_0", "1000", "1", "Option1_0", "Option1_1", {"Check1", "Check4"});
    QVERIFY(!child(protection, "OptionControllo_0")->isVisibleTo(&protection));
    QVERIFY(child(protection, "Check9")->isVisibleTo(&protection));
    auto &total = Screens::get<TotaleFormula>();
    QCOMPARE(textOf(total, "txtFattProt"), QStringLiteral("0,51"));
    QCOMPARE(textOf(total, "lblClasse"), QStringLiteral("45"));
    QCOMPARE(textOf(total, "lblClasseMin"), QStringLiteral("20"));
    QVERIFY(child(total, "lblClasseMin")->isVisible());
    // The decree's tables are cited too.
    QVERIFY(child(total, "lblTabellaClassi")->isVisible());
    QVERIFY(textOf(total, "lblTabellaClassi").contains(QStringLiteral("tabella 4")));
}

void TestRules::choiceRemembered()
{
    {
        TestWorld world;
        auto &chooser = Screens::get<DensitaCarico>();
        QVERIFY(ticked(chooser, "OptionNormativa_0")); // a first run starts on the decree
        QCOMPARE(child<QAbstractButton>(chooser, "OptionNormativa_1")->text(),
                 QStringLiteral("Codice di prevenzione incendi (D.M. 3 agosto 2015, cap. S.2)"));
        chooser.show();
        click(child(chooser, "OptionNormativa_1"));
        closeAllScreens(); // as at the end of a run
        QVERIFY(ticked(Screens::get<DensitaCarico>(), "OptionNormativa_1"));
    }
    TestWorld another; // a run with settings of its own
    QVERIFY(ticked(Screens::get<DensitaCarico>(), "OptionNormativa_0"));
}

void TestRules::projectWithBothRules()
{
    TestWorld world;
    QTemporaryDir dir;
    walkActivity("OptionNormativa_1", "3000", "1", "Option1_1", "Option1_1",
                 {"OptionControllo_2", "CheckMisura_9"});
    click(child(Screens::get<TotaleFormula>(), "Command3"));
    world.prompt.inputs << QStringLiteral("Magazzino");
    click(child(Screens::get<StampaAttivita>(), "cmdSalvaCompartimento"));
    // The same compartment under the decree: δn 0,8 × 0,85 = 0,68, 2448 → class 240, minimum 120.
    walkActivity("OptionNormativa_0", "3000", "1", "Option1_1", "Option1_1", {"Check7", "Check4"});
    click(child(Screens::get<TotaleFormula>(), "Command3"));
    world.prompt.inputs << QStringLiteral("Deposito");
    click(child(Screens::get<StampaAttivita>(), "cmdSalvaCompartimento"));
    const QString path = dir.filePath(QStringLiteral("Due norme.ardivo"));
    world.prompt.files << path;
    ProjectActions::showProjectWindow();
    click(child(Screens::get<Progetto>(), "cmdSalvaProgetto"));
    QVERIFY(QFile::exists(path));

    closeAllScreens();
    Module1::resetSharedState();
    QVERIFY(ProjectActions::openProjectFile(path));
    ProjectActions::showProjectWindow();
    auto *table = child<QTableView>(Screens::get<Progetto>(), "DataGridCompartimenti");
    const int ruleColumn = table->model()->columnCount() - 1;
    QCOMPARE(table->model()->headerData(ruleColumn, Qt::Horizontal).toString(),
             QStringLiteral("Normativa"));
    QCOMPARE(table->model()->index(0, ruleColumn).data().toString(), QStringLiteral("Codice S.2"));
    QCOMPARE(table->model()->index(1, ruleColumn).data().toString(), QStringLiteral("D.M. 2007"));
    QCOMPARE(table->model()->index(0, 8).data().toString(), QStringLiteral("240"));
    QCOMPARE(table->model()->index(0, 9).data().toString(), QString()); // no minimum class
    QCOMPARE(table->model()->index(1, 9).data().toString(), QStringLiteral("120"));

    auto &summary = Screens::get<StampaRiepilogo>();
    QCOMPARE(textOf(summary, "lblNormativa"),
             QStringLiteral("Normativa applicata: D.M. 9 marzo 2007, livello di prestazione III; "
                            "Codice di prevenzione incendi (D.M. 3 agosto 2015, cap. S.2), "
                            "livello di prestazione III"));

    // Reopening the Code's compartment restores every choice.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    click(child(Screens::get<Progetto>(), "cmdApriCompartimento"));
    auto &page = Screens::get<StampaAttivita>();
    QVERIFY(page.isVisible());
    QCOMPARE(textOf(page, "txtTotFormula"), QStringLiteral("2.448,00"));
    QCOMPARE(textOf(page, "lblClasse"), QStringLiteral("240"));
    QVERIFY(ticked(Screens::get<DensitaCarico>(), "OptionNormativa_1"));
    QVERIFY(ticked(Screens::get<FattoreProtezione>(), "OptionControllo_2"));
    QVERIFY(ticked(Screens::get<FattoreProtezione>(), "CheckMisura_9"));
    QVERIFY(!ticked(Screens::get<FattoreProtezione>(), "CheckMisura_8"));
    QVERIFY(ticked(Screens::get<FattoreRischio1>(), "Option1_1"));

    const QString pdf = dir.filePath(QStringLiteral("Due norme.pdf"));
    world.prompt.files << pdf;
    click(child(Screens::get<Progetto>(), "cmdEsportaPdf"));
    QVERIFY2(world.prompt.messages.isEmpty(), qPrintable(world.prompt.messages.join("; ")));
    const QString text = pdfText(pdf);
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    const QStringList sheets = pdfSheets(text);
    // The summary, then the page and the working of each compartment.
    QCOMPARE(sheets.size(), 5);
    QVERIFY2(sheets[0].contains("Codice S.2") && sheets[0].contains("D.M. 2007"),
             qPrintable(sheets[0]));
    QVERIFY2(sheets[1].contains("Codice di prevenzione incendi - D.M. 3 agosto 2015, cap. S.2"),
             qPrintable(sheets[1]));
    QVERIFY(sheets[1].contains("Compartimento: Magazzino"));
    QVERIFY(sheets[1].contains(QRegularExpression("prestazione III\\s+=\\s+240")));
    QVERIFY(!sheets[1].contains("Classe minima"));
    QVERIFY2(sheets[2].contains("tabella S.2-8") && sheets[2].contains("Sviluppo del calcolo"),
             qPrintable(sheets[2]));
    QVERIFY2(sheets[3].contains("D.M. 9 marzo 2007 - Prestazioni di resistenza al fuoco"),
             qPrintable(sheets[3]));
    QVERIFY(sheets[3].contains(QRegularExpression("prestazione III\\s+=\\s+240")));
    QVERIFY(sheets[3].contains(QRegularExpression("Classe minima.*prestazione III\\s+=\\s+120")));
    QVERIFY(sheets[4].contains("D.M. 9 marzo 2007, tabella 4"));
}

void TestRules::firstVersionFileOpensUnderTheDecree()
{
    TestWorld world;
    Compartment office{QStringLiteral("Uffici"), {}};
    office.calculation.rule = Rule::FireCode;
    office.calculation.method = Method::Activity;
    office.calculation.activity = {QStringLiteral("Ufficio"), 420.0, 1.0};
    office.calculation.areaClass = 0;
    office.calculation.riskClass = 1;
    office.calculation.measures = {5, 8};
    Project project;
    project.compartments << office;
    QByteArray json = ProjectFile::toJson(project);
    QVERIFY(json.contains("\"regulation\": \"codice-s2\""));
    const auto read = ProjectFile::fromJson(json);
    QVERIFY2(read.project, qPrintable(read.error));
    QCOMPARE(read.project->compartments.first().calculation.rule, Rule::FireCode);

    // A version 1 file knows one rule: whatever a compartment says, it applies the decree.
    json.replace("\"version\": 2", "\"version\": 1");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vecchio.ardivo"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
    file.close();
    QVERIFY(ProjectActions::openProjectFile(path));
    ProjectActions::showProjectWindow();
    auto *table = child<QTableView>(Screens::get<Progetto>(), "DataGridCompartimenti");
    QCOMPARE(table->model()->index(0, table->model()->columnCount() - 1).data().toString(),
             QStringLiteral("D.M. 2007"));
    // Decree δn6 · δn9 = 0,9 × 0,9 = 0,81; 420 × 0,81 = 340,20: class 30, minimum 15.
    QCOMPARE(table->model()->index(0, 7).data().toString(), QStringLiteral("340,20"));
    QCOMPARE(table->model()->index(0, 8).data().toString(), QStringLiteral("30"));
}

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
