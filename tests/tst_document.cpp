// The report as a value (core only): each method's working, printed products, lists, chart.
#include "core/calculationtexts.h"
#include "core/italiannumbers.h"
#include "core/reportdocument.h"
#include "testcalculations.h"

#include <QRegularExpression>
#include <QTest>

static Calculation activity()
{
    return activityCalculation(u"Biblioteca"_s, 1500, 1.2, 3, 1, {4});
}

static Calculation materials()
{
    MaterialEntry wood = materialEntry(u"Legno"_s, 17.5, 10000, 1, 0.8);
    wood.source = u"EN 1991-1-2, tab. E.3"_s;
    return materialsCalculation(600, {wood, materialEntry(u"Carta"_s, 17, 10000)}, 1, 1, {0, 3});
}

static Calculation furnishings()
{
    FurnishingEntry paper = goods(u"Carta"_s, 800, 5, CalculationRules::kPackagingFactor);
    paper.source = u"inserito dall'utente il 01/12/2026"_s;
    return furnishingsCalculation(20, {furnishing(u"Scaffale"_s, 50, 10), paper}, 0, 2, {3, 5});
}

static double product(const QString &factors)
{
    double value = 1;
    for (const QString &factor : factors.split(u" × "_s))
        value *= *ItalianNumbers::toDouble(factor);
    return value;
}

// The factors and the result of the q_f,d line of the working.
static QPair<QString, QString> designProduct(const QStringList &working)
{
    const QStringList sides =
        working.filter(QRegularExpression(u"^q_f,d = "_s)).value(0).split(u" = "_s);
    return {sides.value(2), sides.value(3).section(QLatin1Char(' '), 0, 0)};
}

class TestDocument : public QObject
{
    Q_OBJECT
private slots:
    void workingOfEachMethod_data();
    void workingOfEachMethod();
    void printedProductsHold();
    void listsShowEveryFactorAndTheChart();
    void partsAndBand();
    void levelsOfTheCode_data();
    void levelsOfTheCode();
    void longReasonsKeptWhole();
};

void TestDocument::workingOfEachMethod_data()
{
    // A line each; the pieces that recur are placeholders, filled in by workingOfEachMethod.
    QTest::addColumn<Calculation>("calculation");
    QTest::addColumn<QString>("working");
    QTest::newRow("activity")
        << activity()
        << u"q_f = carico d'incendio specifico dell'attività × frattile 80% = 1.500 × 1,20 = "
           "1.800,00 MJ/m²\nq_f pari a 97,2 %2\nδq1 = 1,60%1tabella 1: 2.500 ≤ A < 5.000 m²\n"
           "δq2 = 1,00%1tabella 2: classe di rischio II\nδn = δn5 = 0,90%1tabella 3\n"
           "    δn5 = 0,90: Squadra aziendale dedicata alla lotta antincendio\n"
           "q_f,d = q_f · δq1 · δq2 · δn = 1.800,00 × 1,60 × 1,00 × 0,90 = 2.592,00 MJ/m²\n"
           "2.592,00 > 2.400 → classe 240, classe minima 120%1%3"_s;
    QTest::newRow("materials")
        << materials()
        << u"q_f = Σ gᵢ · Hᵢ · mᵢ · ψᵢ / A = 310.000 MJ / 600 m² = 516,67 MJ/m² (2 voci in "
           "elenco)\nq_f pari a 27,9 %2\nδq1 = 1,20%1tabella 1: 500 ≤ A < 1.000 m²\n"
           "δq2 = 1,00%1tabella 2: classe di rischio II\n"
           "δn = δn1 · δn4 = 0,60 × 0,85 = 0,51%1tabella 3\n"
           "    δn1 = 0,60: Sistemi automatici di estinzione ad acqua\n    δn4 = 0,85: %4\n"
           "q_f,d = q_f · δq1 · δq2 · δn = 516,67 × 1,20 × 1,00 × 0,51 = 316,20 MJ/m²\n"
           "300 < 316,20 ≤ 450 → classe 30, classe minima 15%1%3"_s;
    // delta n enters unrounded: 0,765, not 0,77.
    QTest::newRow("furnishings")
        << furnishings()
        << u"Σ arredi (MJ per pezzo × pezzi) = 500 MJ\n"
           "Σ merci in deposito (MJ per m³ × m³ × 1,10 se imballate) = 4.400 MJ\n"
           "q_f = (Σ arredi + Σ merci) / A = (500 + 4.400) MJ / 20 m² = 245,00 MJ/m²\n"
           "q_f pari a 13,2 %2\nδq1 = 1,00%1tabella 1: 0 ≤ A < 500 m²\n"
           "δq2 = 1,20%1tabella 2: classe di rischio III\n"
           "δn = δn4 · δn6 = 0,85 × 0,90 = 0,765%1tabella 3\n    δn4 = 0,85: %4\n"
           "    δn6 = 0,90: Rete idrica antincendio interna\n"
           "q_f,d = q_f · δq1 · δq2 · δn = 245,00 × 1,00 × 1,20 × 0,765 = 224,91 MJ/m²\n"
           "200 < 224,91 ≤ 300 → classe 20, classe minima 0%1%3"_s;
    // Codice: 0,72 × 0,85 = 0,612 gives 1.200,13, above 1.200: class 120, where 0,61 gave 90.
    Calculation code = activityCalculation(u"Archivio"_s, 1961, 1, 0, 1, {3, 8});
    code.rule = Rule::FireCode;
    QTest::newRow("code")
        << code
        << u"q_f = carico d'incendio specifico dell'attività × frattile 80% = 1.961 × 1,00 = "
           "1.961,00 MJ/m²\nq_f pari a 105,9 %2\nδq1 = 1,00%1tabella S.2-6: 0 ≤ A < 500 m²\n"
           "δq2 = 1,00%1tabella S.2-7: classe di rischio II\n"
           "δn = δn4 · δn9 = 0,72 × 0,85 = 0,612%1tabella S.2-8\n"
           "    δn4 = 0,72: Altro sistema automatico e rete idranti con protezione interna: "
           "controllo dell'incendio (capitolo S.6) di livello di prestazione IV\n"
           "    δn9 = 0,85: Rivelazione ed allarme (capitolo S.7) di livello di prestazione III\n"
           "q_f,d = q_f · δq1 · δq2 · δn = 1.961,00 × 1,00 × 1,00 × 0,612 = 1.200,13 MJ/m²\n"
           "1.200 < 1.200,13 ≤ 1.800 → classe minima di resistenza al fuoco 120%1%3\n"
           "Livello di prestazione III%1tabella S.2-1: Mantenimento dei requisiti di resistenza al "
           "fuoco per un periodo congruo con la durata dell'incendio\n"
           "Classe richiesta dal livello III: 120"_s;
}

void TestDocument::workingOfEachMethod()
{
    QFETCH(Calculation, calculation);
    QFETCH(QString, working);
    const QStringList expected =
        working
            .arg(u" - "_s + regulationOf(calculation).name + u", "_s,
                 u"kg/m² di legna standard (1 MJ = 0,054 kg di legna standard)"_s,
                 regulationOf(calculation).tables.classes + u" (livello di prestazione III)"_s,
                 u"Sistemi automatici di rilevazione, segnalazione e allarme di incendio"_s)
            .split(u'\n');
    QCOMPARE(ReportDocuments::working(calculation), expected);
    // The report shows the same q_f,d line and the classes.
    const ReportDocument document = ReportDocuments::compartment(calculation);
    QVERIFY(document.texts().contains(expected.at(expected.size() - 2)));
}

void TestDocument::printedProductsHold()
{
    // Many areas and loads: the factors as printed give the printed q_f,d back, to its last
    // digit, and the report page's q_f has two decimals.
    Calculation c = materials();
    int checked = 0;
    for (double area = 7; area < 12000; area = area * 1.37 + 3) {
        for (double quantity : {1.0, 37.0, 1234.5, 98765.4}) {
            c.area = area;
            c.areaClass = Regulation::decree2007().areaClassFor(area);
            c.materials[0].quantity = n(quantity);
            // The last set's delta n (0,37179) has more decimals than it is shown with.
            for (const QSet<int> &measures :
                 {QSet<int>{}, QSet<int>{0, 3}, QSet<int>{3, 5, 7}, QSet<int>{0, 2, 3, 4, 5}}) {
                c.measures = measures;
                const auto [factors, result] = designProduct(ReportDocuments::working(c));
                QVERIFY2(!factors.isEmpty(), qPrintable(result));
                QCOMPARE(ItalianNumbers::toFixed2(product(factors)), result);
                QVERIFY(reportFigures(c).printedFireLoad.section(QLatin1Char(','), 1).size() >= 2);
                ++checked;
            }
        }
    }
    QVERIFY(checked > 100);
    // The integer part stays where the screens show q_f.
    const ReportFigures figures = reportFigures(materials());
    QVERIFY(figures.fireLoad == u"516"_s && figures.printedFireLoad == u"516,67"_s);
}

void TestDocument::listsShowEveryFactorAndTheChart()
{
    const ReportDocument m = ReportDocuments::compartment(materials());
    QCOMPARE(m.parts.size(), 3); // page, list, working
    const ReportTable *list = m.parts[1].tables().value(0);
    // Each entry's value with its source, as an officer asks for it; its own numbers as typed.
    QCOMPARE(list->rows[0], (QStringList{"Legno", "EN 1991-1-2, tab. E.3", "17,5", "1", "0,8",
                                         "10000", "140.000", "45,2"}));
    QCOMPARE(list->totals.mid(list->totals.size() - 2), (QStringList{"310.000", "100,0"}));
    for (const QStringList &row : list->rows) // H × g × ψ × m, as printed
        QCOMPARE(ItalianNumbers::toGroupedText(
                     product(QStringList{row[2], row[3], row[4], row[5]}.join(u" × "_s))),
                 row[6]);
    QVERIFY(m.parts[1].blocks.last().keepWithPrevious); // the summary line kept with the totals
    QCOMPARE(m.parts[1].blocks.last().text, u"A = 600 m²      q_f = 516,67 MJ/m²"_s);

    // A packed good says "si", and its column the factor that gives its MJ.
    const ReportDocument f = ReportDocuments::compartment(furnishings());
    const ReportTable *goods = f.parts[1].tables().value(1);
    QCOMPARE(goods->rows[0], (QStringList{"Carta", "inserito dall'utente il 01/12/2026", "800", "5",
                                          "si", "4.400", "89,8"}));
    QCOMPARE(goods->headers[4], u"Imballo (×1,10)"_s);
    QCOMPARE(f.parts[1].tables().value(0)->rows[0],
             (QStringList{"Scaffale", "", "50", "10", "500", "10,2"}));

    // The chart: the ten largest entries, the others summed in one bar.
    Calculation c = materialsCalculation(600, {});
    for (int i = 1; i <= 14; ++i)
        c.materials << materialEntry(u"M%1"_s.arg(i), 10, i);
    const QVector<ReportBar> bars = ReportDocuments::largestEntries(c);
    QCOMPARE(bars.size(), 11);
    QVERIFY(bars.first().label == u"M14"_s && bars.first().text == u"140 MJ (13,3%)"_s);
    QCOMPARE(bars.last().label, u"altri (4 voci)"_s);
    QCOMPARE(bars.last().value, 100.0); // 10 × (1 + 2 + 3 + 4)

    // Warnings close the working.
    QVERIFY(ReportDocuments::warnings(materials()).isEmpty()); // 316,20: no limit near
    Calculation warned = materials();
    warned.materials[0].source = CalculationRules::typedValueSource(u"17,5"_s);
    warned.materials[1].psi = n(0);
    const QStringList expected{u"«Legno»: valore del tecnico; catalogo: 17,5."_s,
                               u"«Carta» non entra nella somma: ψ = 0."_s};
    QCOMPARE(ReportDocuments::warnings(warned), expected);
    const QStringList texts = ReportDocuments::compartment(warned).texts();
    const auto heading = texts.indexOf(u"Avvertenze"_s);
    QVERIFY(heading > texts.indexOf(u"Sviluppo del calcolo"_s));
    QCOMPARE(texts.mid(heading + 1, 2), expected);
}

void TestDocument::partsAndBand()
{
    ProjectIdentity identity{
        u"Scuola <b>Verdi</b>"_s, u"Comune"_s,        u"Via Roma 1"_s,           u"Scuola"_s,
        u"Ing. Ardivo"_s,         QDate(2027, 1, 12), u"REV 01 del 12/01/2027"_s};
    const ReportDocument inProject = ReportDocuments::compartment(activity(), &identity, u"Aula"_s);
    QVERIFY(inProject.author == identity.technician && inProject.revision == identity.revision &&
            inProject.date == identity.date);
    QCOMPARE(inProject.parts[0].foot, u"Scuola <b>Verdi</b> – Aula"_s);
    const auto band = inProject.parts[0].blocks[0].fields;
    QCOMPARE(band.first().second, u"Scuola <b>Verdi</b>"_s); // as typed
    QVERIFY(band.contains(qMakePair(u"Revisione"_s, identity.revision)));
    QVERIFY(band.contains(qMakePair(u"Compartimento"_s, u"Aula"_s)));
    // Every report ends with the technician's block.
    const ReportBlock &signature = inProject.parts.last().blocks.last();
    QVERIFY(signature.kind == ReportBlock::Kind::Signature && signature.text == "Timbro e firma");
    QCOMPARE(signature.fields.first().second, u"Ing. Ardivo"_s);

    // Outside a project: no band, but a date all the same.
    const ReportDocument alone = ReportDocuments::compartment(activity());
    QCOMPARE(alone.date, QDate::currentDate());
    QVERIFY(alone.parts[0].foot.isEmpty() &&
            alone.parts[0].blocks[0].kind == ReportBlock::Kind::Heading);
    QCOMPARE(alone.regulation, u"D.M. 9 marzo 2007 - Prestazioni di resistenza al fuoco delle "
                               "costruzioni"_s);

    const ReportDocument whole = ReportDocuments::project(
        {identity, {{u"Aula"_s, activity()}, {u"Archivio"_s, materials()}}});
    QCOMPARE(whole.parts.size(), 6); // summary, then page and working, then page, list and working
    QCOMPARE(whole.parts[0].tables().value(0)->rows.size(), 2);
    QCOMPARE(whole.parts[0].tables().value(0)->rows[1][7], u"316,20"_s);
}

// II on 700 and 250 MJ/m², and V, are rows of tst_rules' levelThroughTheScreens.
void TestDocument::levelsOfTheCode_data()
{
    QTest::addColumn<double>("nominal");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("required");
    QTest::addColumn<QString>("table");
    QTest::newRow("II, 450: 30 stays 30") << 450.0 << 2 << u"30"_s << u"30"_s;
    QTest::newRow("II, 150: no class")
        << 150.0 << 2 << u"Nessun requisito"_s << u"Nessun requisito"_s;
    QTest::newRow("I, 3000: none")
        << 3000.0 << 1 << u"Nessun requisito di capacità portante"_s << u"240"_s;
    QTest::newRow("III, 3000") << 3000.0 << 3 << u"240"_s << u"240"_s;
    QTest::newRow("IV, 3000") << 3000.0 << 4 << u"240"_s << u"240"_s;
}

// The class each level requires, and the report naming the level everywhere it names one.
void TestDocument::levelsOfTheCode()
{
    QFETCH(double, nominal);
    QFETCH(int, level);
    Calculation c = activityCalculation(u"Deposito"_s, nominal, 1, 0, 1, {});
    c.rule = Rule::FireCode;
    c.performanceLevel = level;
    QTEST(CalculationTexts::referenceClass(c), "required");
    QTEST(CalculationTexts::tableClass(c), "table");
    const ReportDocument document = ReportDocuments::compartment(c);
    const auto &chosen = *Regulation::fireCode().level(level);
    QCOMPARE(document.regulation,
             u"Codice di prevenzione incendi - D.M. 3 agosto 2015 e s.m.i., cap. S.2, livello "_s +
                 chosen.name);
    for (const ReportPart &part : document.parts)
        QCOMPARE(part.regulation, document.regulation);
    const QStringList texts = document.texts();
    for (const QString &text :
         {u"Attribuzione del livello di prestazione (tabella S.2-2)"_s,
          u"Nessuna motivazione indicata."_s, u"%1 – %2"_s.arg(chosen.name, chosen.meaning),
          u"Classe minima di resistenza al fuoco per il livello di prestazione "_s + chosen.name})
        QVERIFY2(texts.contains(text), qPrintable(text));
    // The working gives the class the level requires, a cap as the smaller of two classes.
    const QStringList working = ReportDocuments::working(c);
    QVERIFY2(working.last().endsWith(CalculationTexts::referenceClass(c)) ||
                 !chosen.obligation.isEmpty(),
             qPrintable(working.last()));
    QCOMPARE(working.join(u'\n').contains(u"min(30; "_s), level == 2 && nominal > 200);
    // The band of q_f,d gives the class of the table, whatever the level asks for.
    const QString band = working.filter(u"→"_s).value(0);
    QFETCH(QString, table);
    QVERIFY2(band.contains(u"→ classe minima di resistenza al fuoco %1 "_s.arg(table)) ||
                 band.contains(u"→ "_s + table),
             qPrintable(band));

    Calculation decree = c; // the decree has no level to choose: its report is as it was
    decree.rule = Rule::Decree2007;
    decree.performanceLevel = 3;
    QVERIFY(!ReportDocuments::compartment(decree).texts().join(u'\n').contains(u"Attribuzione"_s));
    QVERIFY(impossibility(decree).isEmpty());
    decree.performanceLevel = level;
    QCOMPARE(impossibility(decree).isEmpty(), level == 3);
}

// Reasons of any length and script print as typed, in pieces a sheet can hold. A text or a name
// loses its control characters; a name its line breaks and blanks at the ends too.
void TestDocument::longReasonsKeptWhole()
{
    QString reasons = u"Prima riga\n\n  rientrata\n"_s;
    for (int i = 0; i < 3000; ++i)
        reasons += i % 3 ? u"parola "_s : u"漢字😀 "_s;
    const QStringList lines = ReportDocuments::reasonLines(reasons);
    QCOMPARE(lines.mid(0, 3), (QStringList{u"Prima riga"_s, QString(), u"  rientrata"_s}));
    QVERIFY(lines.size() > 10);
    for (const QString &line : lines)
        QVERIFY(line.size() <= 1200 && (line.isEmpty() || !line.back().isHighSurrogate()));
    QCOMPARE(lines.join(u'\n').remove(u'\n'), QString(reasons).remove(u'\n'));
    QCOMPARE(normalisedText(u"a\r\nb\rc\u0007d\te"_s), u"a\nb\ncd\te"_s);
    QCOMPARE(CalculationRules::normalisedName(u" Magazzino\n\tnord "_s), u"Magazzino nord"_s);
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
