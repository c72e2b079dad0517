// The natural fire through the screens, the PDF and ODT appendix and the project file.
#include "core/naturalfiretexts.h"
#include "data/projectfile.h"
#include "testsupport.h"
#include "ui/reports/incendionaturale.h"

#include <QTableWidget>

using namespace NaturalFireTexts;

// The window the report page's button opens; null when none opened.
static QWidget *openWindow(QWidget &page)
{
    page.show();
    click(page, "cmdIncendioNaturale");
    QWidget *window = page.findChild<QWidget *>(u"IncendioNaturale"_s); // the page's own
    return window && window->isVisible() ? window : nullptr;
}

static Calculation storedCalculation()
{
    return materialsCalculation(60, {MaterialEntry{u"Legno"_s, n(17), n(1000), n(1), n(1)}}, 0, 1);
}

// A room of 60 m² in an enclosure of 200 m², 3 m high, with 8 m² of windows 1,5 m high.
static void describeRoom(QWidget &window)
{
    for (const QString &field :
         u"txtAt=200 txtAltezza=3 txtAv=8 txtHeq=1,5 txtAh=0 txtB=1160"_s.split(u' '))
        clickAndType(window, qPrintable(field.section(u'=', 0, 0)), field.section(u'=', 1));
}

static NaturalFireInputs room(FireGrowth growth = FireGrowth::Medium,
                              FireMember member = FireMember::ReinforcedConcrete)
{
    return naturalFireInputs(200, 3, 8, 1.5, 0, 1160, growth, member);
}

class TestNaturalFireUi : public WorldTest
{
    Q_OBJECT
private slots:
    void windowComputesAndTheAppendixPrints();
    void refusedInputsComputeNothing_data();
    void refusedInputsComputeNothing();
    void reopenedCompartmentFillsTheWindow();
    void activityMethodTypesTheArea();
    void projectFileKeepsTheEnclosure_data();
    void projectFileKeepsTheEnclosure();
};

void TestNaturalFireUi::windowComputesAndTheAppendixPrints()
{
    walkToReport(Method::Materials, u"Option1_1"_s, {});
    auto &page = Screens::get<StampaMateriali>();
    QWidget *window = openWindow(page);
    QVERIFY(window);
    // Before anything is typed the window shows the compartment's own values and nothing else.
    const double design = *designFireLoad(calculation());
    COMPARE_FIELDS(*window, {u"lblAf=60 m²"_s, u"lblO="_s,
                             u"lblQfd="_s + ItalianNumbers::toFixed2(design) + u" MJ/m²"_s});
    QVERIFY(!calculation().naturalFire);

    describeRoom(*window);
    pickEntry(child<QComboBox>(*window, "ComboCrescita"), u"rapida"_s);
    pickEntry(child<QComboBox>(*window, "ComboElemento"), u"acciaio non protetto"_s);
    const NaturalFireInputs in = room(FireGrowth::Fast, FireMember::UnprotectedSteel);
    QCOMPARE(calculation().naturalFire, std::optional<NaturalFireInputs>(in));
    const auto r = NaturalFire::compute(in, 60, design);
    QVERIFY(r);
    COMPARE_FIELDS(*window,
                   {u"lblO=0,0490"_s, u"lblGamma="_s + gamma(*r), u"lblQtd="_s + totalLoad(*r),
                    u"lblTmax="_s + maxMinutes(*r), u"lblRegime=controllato dalla ventilazione"_s,
                    u"lblThetaMax="_s + maxTemperature(*r), u"lblTed="_s + equivalentMinutes(*r),
                    u"lblMessaggio="_s});
    auto *curve = child<QTableWidget>(*window, "DataGridCurva");
    QCOMPARE(curve->rowCount(), int(r->table().size()));
    QCOMPARE(curve->item(0, 1)->text(), u"20"_s);
    QCOMPARE(curve->item(curve->rowCount() - 1, 1)->text(), u"20"_s);
    // The report prints it after the working; the chart drawn, not pasted: its scale is text.
    const QString text = exportedPdf(world(), page, world().filePath(u"relazione.pdf"_s));
    QVERIFY2(text.indexOf(u"Sviluppo del calcolo"_s) < text.indexOf(kAppendixTitle),
             qPrintable(text));
    VERIFY_CONTAINS(text, {u"O = A_v · √h_eq / A_t = 8 · √1,5 / 200 = 0,0490 m^½"_s,
                           u"controllato dalla ventilazione"_s, u"t_e,d = q_f,d · k_b"_s,
                           u"Classe richiesta del compartimento"_s, u"S.2-3"_s, u"ISO 834 [°C]"_s,
                           u"t [min]"_s});
    world().prompt.messages.clear(); // those of the walk
    world().prompt.files << world().filePath(u"relazione.odt"_s);
    click(page, "cmdEsportaOdt");
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    VERIFY_CONTAINS(odtContent(world().filePath(u"relazione.odt"_s)),
                    {kAppendixTitle, u"<draw:image"_s});

    clickAndType(*window, "txtAv", u"20"_s); // typing on computes again: O = 20 · √1,5 / 200
    QCOMPARE(textOf(*window, "lblO"), u"0,1225"_s);
    QVERIFY(textOf(*window, "lblAvvertenze").contains(u"S.2-3"_s));
    window->close(); // closed and opened again, the window shows what the calculation keeps
    QWidget *again = openWindow(page);
    QVERIFY(again);
    COMPARE_FIELDS(*again, {u"txtAv=20"_s, u"lblO=0,1225"_s});
    QCOMPARE(again->size().boundedTo(largestWindow()), again->size()); // fits the screen
    // b from the lining's properties, A_v and h_eq from a list of openings.
    // Normal-weight concrete: √(2300 · 1000 · 1,6) = √3680000 = 1918,3.
    world().prompt.inputs = {u"2300"_s, u"1000"_s, u"1,6"_s};
    click(*again, "cmdCalcolaB");
    QCOMPARE(calculation().naturalFire->absorptivity, 1918.0);
    world().prompt.messages.clear(); // a property that is no number stops it with a message; b kept
    world().prompt.inputs = {u"2300"_s, u"mille"_s};
    click(*again, "cmdCalcolaB");
    QCOMPARE(world().prompt.messages, QStringList{u"Calore specifico deve essere un numero "
                                                  "maggiore di 0."_s});
    QCOMPARE(textOf(*again, "txtB"), u"1918"_s);
    click(*again, "cmdCalcolaB"); // a cancelled box asks no more
    QCOMPARE(world().prompt.prompts.size(), 6);
    QCOMPARE(textOf(*again, "txtB"), u"1918"_s);

    world().prompt.messages.clear();
    // A window 2 × 1,5 and a door 1 × 2,5: A_v = 3 + 2,5 = 5,5 m²;
    // h_eq = (3 · 1,5 + 2,5 · 2,5) / 5,5 = 10,75 / 5,5 = 1,95454545454545 m.
    auto *grid = child<QTableView>(*again, "DataGridAperture");
    editCell(grid, 0, 0, u"2"_s);
    editCell(grid, 0, 1, u"1,5"_s);
    editCell(grid, 2, 0, u"1"_s);
    editCell(grid, 2, 1, u"2,5"_s);
    click(*again, "cmdRiportaAperture");
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join(u';')));
    COMPARE_FIELDS(*again, {u"txtAv=5,5"_s, u"txtHeq=1,95454545454545"_s, u"lblMessaggio="_s});
    QCOMPARE(calculation().naturalFire->verticalOpenings, 5.5);
    editCell(grid, 3, 0, u"1"_s); // a width and no height: refused, the fields keep their values
    click(*again, "cmdRiportaAperture");
    QCOMPARE(
        world().prompt.messages,
        QStringList{u"L'apertura della riga 4 deve avere larghezza e altezza maggiori di 0."_s});
    QCOMPARE(textOf(*again, "txtAv"), u"5,5"_s);
}

void TestNaturalFireUi::refusedInputsComputeNothing_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const auto row = [](const char *name, const char *field, const char *typed, const char *said) {
        QTest::newRow(name) << QString(field) << QString(typed) << QString(said);
    };
    row("not a number", "txtB", "mille", "Il valore di b non è un numero");
    row("decimal point", "txtHeq", "1.5", "Il valore di h_eq non è un numero");
    row("height zero", "txtAltezza", "0", "L'altezza H deve essere maggiore di 0");
    row("no windows", "txtAv", "0", "aperture verticali A_v deve essere maggiore");
    row("negative roof", "txtAh", "-2", "A_h non può essere negativa");
    row("windows fill it", "txtAv", "200", "Geometria impossibile: le aperture verticali A_v");
    row("floor beyond it", "txtAt", "50", "Geometria impossibile: la superficie in pianta A_f");
    row("windows above the ceiling", "txtHeq", "3,5", "h_eq non può superare");
    row("emptied", "txtAt", "", "Inserire ancora: A_t.");
}

void TestNaturalFireUi::refusedInputsComputeNothing()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    walkToReport(Method::Materials, u"Option1_1"_s, {});
    QWidget *window = openWindow(Screens::get<StampaMateriali>());
    QVERIFY(window);
    describeRoom(*window);
    QVERIFY(calculation().naturalFire);
    clickAndType(*window, qPrintable(field), typed);
    VERIFY_CONTAINS(textOf(*window, "lblMessaggio"), {message});
    COMPARE_FIELDS(*window, {"lblO=", "lblGamma=", "lblQtd=", "lblTmax=", "lblRegime=",
                             "lblThetaMax=", "lblTed="});
    QCOMPARE(child<QTableWidget>(*window, "DataGridCurva")->rowCount(), 0);
    QVERIFY(!calculation().naturalFire); // nothing reaches the report either
}

void TestNaturalFireUi::reopenedCompartmentFillsTheWindow()
{
    const NaturalFireInputs in = room(FireGrowth::Slow);
    Calculation first = storedCalculation();
    first.naturalFire = in;
    CalculationSession::current().load(first);
    QWidget *window = openWindow(Screens::get<StampaMateriali>());
    QVERIFY(window);
    COMPARE_FIELDS(*window, {u"txtAt=200"_s, u"txtHeq=1,5"_s, u"ComboCrescita=lenta"_s,
                             u"lblO=0,0490"_s, u"lblMessaggio="_s});
    // Another compartment, opened while the window stands: its own enclosure, or none.
    CalculationSession::current().load(storedCalculation());
    COMPARE_FIELDS(*window, {u"txtAt="_s, u"lblO="_s});
    QVERIFY(!calculation().naturalFire);
    // An enclosure that no longer fits (A_t below A_f = 300 m²) is kept, and printed nowhere.
    Calculation larger = first;
    larger.area = 300;
    CalculationSession::current().load(larger);
    VERIFY_CONTAINS(textOf(*window, "lblMessaggio"), {u"A_f"_s});
    QCOMPARE(calculation().naturalFire, std::optional<NaturalFireInputs>(in));
    QVERIFY(!ReportDocuments::naturalFirePart(calculation()));
    clickAndType(*window, "txtAt", u"900"_s);
    QCOMPARE(calculation().naturalFire->totalArea, 900.0);
    QVERIFY(ReportDocuments::naturalFirePart(calculation()));
}

// The activity method knows only the area class: A_f is typed in the window.
void TestNaturalFireUi::activityMethodTypesTheArea()
{
    walkToReport(Method::Activity, u"Option1_1"_s, {});
    QWidget *window = openWindow(Screens::get<StampaAttivita>());
    QVERIFY(window);
    QVERIFY(child(*window, "txtAf")->isVisible() && !child(*window, "lblAf")->isVisible());
    describeRoom(*window);
    QCOMPARE(textOf(*window, "lblMessaggio"), u"Inserire ancora: A_f."_s);
    QVERIFY(!calculation().naturalFire);
    clickAndType(*window, "txtAf", u"250"_s);
    VERIFY_CONTAINS(textOf(*window, "lblMessaggio"), {u"A_f"_s}); // above A_t = 200
    clickAndType(*window, "txtAf", u"60"_s);
    COMPARE_FIELDS(*window, {"lblMessaggio="});
    QCOMPARE(calculation().naturalFire->floorArea, std::optional<double>(60));
    const auto part = ReportDocuments::naturalFirePart(calculation());
    QVERIFY(part && part->blocks.at(1).fields.contains(
                        qMakePair(u"Superficie in pianta A_f"_s, u"60 m²"_s)));
}

void TestNaturalFireUi::projectFileKeepsTheEnclosure_data()
{
    QTest::addColumn<QString>("key");     // the enclosure's key changed in the file, if any
    QTest::addColumn<QByteArray>("json"); // its new value; none: the key taken away
    QTest::addColumn<QString>("reason");  // why the file is refused; none: it opens as saved
    QTest::newRow("as saved") << "" << QByteArray() << "";
    QTest::newRow("negative") << "height" << QByteArray("-3") << "«height»";
    QTest::newRow("text") << "absorptivity" << QByteArray("\"1160\"") << "«absorptivity»";
    QTest::newRow("missing") << "totalArea" << QByteArray() << "«totalArea»";
    QTest::newRow("windows fill it") << "verticalOpenings" << QByteArray("200") << "A_v";
    QTest::newRow("above the ceiling") << "openingHeight" << QByteArray("4") << "h_eq";
    QTest::newRow("unknown growth") << "growth" << QByteArray("\"veloce\"") << "«growth»";
    QTest::newRow("floor area zero") << "floorArea" << QByteArray("0") << "A_f";
    QTest::newRow("unknown member") << "member" << QByteArray("1") << "«member»";
}

// An enclosure, beside a compartment without one, read back as saved; a bad one refused.
void TestNaturalFireUi::projectFileKeepsTheEnclosure()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, json);
    QFETCH(QString, reason);
    Calculation kept = storedCalculation();
    kept.naturalFire =
        naturalFireInputs(200, 3, 8, 1.5, 1.25, 1160, FireGrowth::Slow, FireMember::ProtectedSteel);
    kept.naturalFire->floorArea = 45; // typed for the activity method
    const Project project{{}, {{u"Archivio"_s, kept}, {u"Senza"_s, storedCalculation()}}};
    QJsonValue root = QJsonDocument::fromJson(ProjectFile::toJson(project)).object();
    if (!key.isEmpty())
        root = changed(root, {u"compartments"_s, u"0"_s, u"naturalFire"_s, key}, json);
    const ProjectFile::Read read = ProjectFile::fromJson(QJsonDocument(root.toObject()).toJson());
    if (reason.isEmpty()) {
        QVERIFY2(read.project, qPrintable(read.error));
        QCOMPARE(*read.project, project);
    } else {
        QVERIFY(!read.project);
        QVERIFY2(read.error.contains(reason), qPrintable(read.error));
    }
}

QTEST_MAIN(TestNaturalFireUi)
#include "tst_naturalfireui.moc"
