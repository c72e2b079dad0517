// The rules side by side: the Code through the screens, the remembered choice, a mixed project.
#include "data/projectfile.h"
#include "testsupport.h"

// The activity method to the result screen under a rule: fractile 1, risk class II.
static void walkActivity(const char *ruleOption, const QString &nominal, const char *areaOption,
                         const QStringList &protection)
{
    InizFattProt();
    Screens::get<DensitaCarico>().show();
    click(Screens::get<DensitaCarico>(), ruleOption);
    auto &form = startMethod<ValorePerAttivita>();
    clickAndType(form, "txtValoreMJm2", nominal);
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1");
    click(form, "Command1");
    walkFactors(areaOption, "Option1_1", protection);
}

// The result screen's report page saved into the project under `name`.
static void saveCompartment(TestWorld &world, const QString &name)
{
    click(Screens::get<TotaleFormula>(), "Command3");
    world.prompt.inputs << name;
    click(Screens::get<StampaAttivita>(), "cmdSalvaCompartimento");
}

// The project saved to `path`, every screen closed, then opened again: its compartments' table.
static QTableView *savedAndReopened(TestWorld &world, const QString &path)
{
    world.prompt.files << path;
    showProjectWindow();
    click(Screens::get<Progetto>(), "cmdSalvaProgetto");
    closeAllScreens();
    resetSharedState();
    if (!ProjectActions::openProjectFile(path))
        return nullptr;
    showProjectWindow();
    return child<QTableView>(Screens::get<Progetto>(), "DataGridCompartimenti");
}

class TestRules : public WorldTest
{
    Q_OBJECT
private slots:
    void codeThroughTheScreens_data();
    void codeThroughTheScreens();
    void protectionScreenFollowsTheRule();
    void projectWithBothRulesAndLevels();
    void firstVersionFileOpensUnderTheDecree();
    void levelThroughTheScreens_data();
    void levelThroughTheScreens();
    void levelsInFiles_data();
    void levelsInFiles();
    void deltaNUnroundedInPrint_data();
    void deltaNUnroundedInPrint();
    void thirdRuleFromDataOnly();
};

// A calculation by activity under the Code, and what its result screen shows.
struct CodeCase {
    QString nominal;
    const char *areaOption;
    QStringList protection;
    QString deltaN, design, referenceClass;
};
Q_DECLARE_METATYPE(CodeCase)

void TestRules::codeThroughTheScreens_data()
{
    QTest::addColumn<CodeCase>("c");
    const QStringList hydrantsAndDetection{"OptionControllo_2", "CheckMisura_9"};
    // δn2 · δn9 = 0,80 × 0,85 = 0,68; 3000 × 1,20 × 1,00 × 0,68 = 2448, shown with the
    // thousands grouped as every q_f,d is.
    QTest::newRow("hydrants and detection")
        << CodeCase{"3000", "Option1_1", hydrantsAndDetection, "0,68", "2.448,00", "240"};
    // 470 × 1,40 × 1,00 × 0,68 = 447,44.
    QTest::newRow("447,44 is class 30")
        << CodeCase{"470", "Option1_2", hydrantsAndDetection, "0,68", "447,44", "30"};
    QTest::newRow("200 asks for no class") << CodeCase{"200",  "Option1_0", {"OptionControllo_0"},
                                                       "1,00", "200,00",    "Nessun requisito"};
    // 0,48 × 0,90 × 0,90 × 0,85 × 0,81 = 0,2676888, used whole: 1000 × δn = 267,69.
    const QStringList everyMeasure{"OptionControllo_5", "CheckMisura_7", "CheckMisura_8",
                                   "CheckMisura_9", "CheckMisura_10"};
    QTest::newRow("every measure")
        << CodeCase{"1000", "Option1_0", everyMeasure, "≈ 0,2677", "267,69", "15"};
}

void TestRules::codeThroughTheScreens()
{
    QFETCH(CodeCase, c);
    walkActivity("OptionNormativa_1", c.nominal, c.areaOption, c.protection);
    QCOMPARE(textOf(Screens::get<FattoreProtezione>(), "txtFattProt"), c.deltaN);

    auto &total = Screens::get<TotaleFormula>();
    QVERIFY(total.isVisible());
    COMPARE_FIELDS(total,
                   {"txtFattProt=" + c.deltaN, "txtTotFormula=" + c.design,
                    "lblClasse=" + c.referenceClass, "lblTabellaClassi=Codice S.2, tabella S.2-3"});
    QVERIFY(!child(total, "lblClasseMin")->isVisible());
    QVERIFY(!child(total, "Label3")->isVisible());

    click(total, "Command3");
    auto &page = Screens::get<StampaAttivita>();
    QVERIFY(page.isVisible());
    // The ten factors, each with its own caption.
    COMPARE_FIELDS(page, {"lblDecreto=Codice di prevenzione incendi - D.M. 3 agosto 2015 e "
                          "s.m.i., cap. S.2, livello III",
                          "txtTotFormula=" + c.design, "lblClasse=" + c.referenceClass,
                          "lblTabellaDq1=Codice S.2, tabella S.2-6",
                          "lblTabellaDq2=Codice S.2, tabella S.2-7",
                          "lblTabellaDn=Codice S.2, tabella S.2-8",
                          "lblMisura10=Operatività antincendio (capitolo S.9) di livello di "
                          "prestazione IV"});
    QVERIFY(!child(page, "lblClasseMin")->isVisible());
    QVERIFY(child(page, "lblFattProt10")->isVisible());
}

void TestRules::protectionScreenFollowsTheRule()
{
    walkActivity("OptionNormativa_1", "1000", "Option1_0", {"OptionControllo_2", "CheckMisura_9"});
    auto &protection = Screens::get<FattoreProtezione>();
    click(Screens::get<TotaleFormula>(), "Command1"); // back to the protection screen
    QVERIFY(protection.isVisible());
    QVERIFY(!child(protection, "Check1")->isVisibleTo(&protection));
    QVERIFY(child(protection, "OptionControllo_6")->isVisibleTo(&protection));
    QCOMPARE(textOf(protection, "lblFattoreCodice_3"), u"0,54"_s);
    // Another fire-control system takes the place of the first: δn3 · δn9 = 0,54 × 0,85.
    click(protection, "OptionControllo_3");
    QVERIFY(!ticked(protection, "OptionControllo_2"));
    QCOMPARE(textOf(protection, "txtFattProt"), u"0,459"_s);
    click(protection, "OptionControllo_0");
    QCOMPARE(textOf(protection, "txtFattProt"), u"0,85"_s);

    // The decree's calculation shows the decree's boxes, as before.
    walkActivity("OptionNormativa_0", "1000", "Option1_0", {"Check1", "Check4"});
    QVERIFY(!child(protection, "OptionControllo_0")->isVisibleTo(&protection));
    QVERIFY(child(protection, "Check9")->isVisibleTo(&protection));
    auto &total = Screens::get<TotaleFormula>();
    COMPARE_FIELDS(total, {"txtFattProt=0,51", "lblClasse=45", "lblClasseMin=20",
                           "lblTabellaClassi=D.M. 2007, tabella 4"});
    QVERIFY(child(total, "lblClasseMin")->isVisible());
    QVERIFY(child(total, "lblTabellaClassi")->isVisible()); // the decree's tables are cited too
}

void TestRules::firstVersionFileOpensUnderTheDecree()
{
    Calculation office = activityCalculation(u"Ufficio"_s, 420, 1, 0, 1, {5, 8});
    office.rule = Rule::FireCode;
    QByteArray json = ProjectFile::toJson(Project{{}, {{u"Uffici"_s, office}}});
    QVERIFY(json.contains("\"regulation\": \"codice-s2\""));

    // A version 1 file knows one rule: whatever a compartment says, it applies the decree.
    json.replace("\"version\": 2", "\"version\": 1");
    QVERIFY(ProjectActions::openProjectFile(writeFile(world().filePath(u"V1.ardivo"_s), json)));
    showProjectWindow();
    const QStringList row =
        rowTexts(child<QTableView>(Screens::get<Progetto>(), "DataGridCompartimenti"), 0);
    // Decree δn6 · δn9 = 0,9 × 0,9 = 0,81; 420 × 0,81 = 340,20: class 30, minimum 15.
    QCOMPARE(row.mid(7, 3) << row.last(), (QStringList{"340,20", "30", "15", "D.M. 2007"}));
}

// Types the reasons key by key, Enter between the lines.
static void typeReasons(const QString &reasons)
{
    auto &total = Screens::get<TotaleFormula>();
    QWidget *box = child(total, "txtMotivazioneLivello");
    clickAndType(box, QString());
    for (int i = 0; i < reasons.size(); ++i) {
        if (reasons.at(i) == u'\n') {
            QTest::keyClick(box, Qt::Key_Return);
            continue;
        }
        const int length = reasons.at(i).isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, reasons.mid(i, length),
                            Qt::NoModifier);
        i += length - 1;
    }
}

// The level picked on the result screen and its reasons typed.
static void chooseLevel(const QString &level, const QString &reasons)
{
    auto &total = Screens::get<TotaleFormula>();
    auto *combo = child<QComboBox>(total, "ComboLivello");
    QVERIFY(combo && combo->isVisible());
    pickEntry(combo, level);
    if (!reasons.isEmpty())
        typeReasons(reasons);
}

// A level chosen for a load, the classes the screen and page show, and what the report prints.
struct LevelCase {
    QString nominal, level;
    QString required, tableClass; // lblClasse, and lblClasseTabella where it differs
    QStringList printed;
};
Q_DECLARE_METATYPE(LevelCase)

void TestRules::levelThroughTheScreens_data()
{
    QTest::addColumn<LevelCase>("c");
    const auto row = [](const char *name, const char *nominal, const char *level,
                        const char *required, const char *tableClass, const QStringList &printed) {
        QTest::newRow(name) << LevelCase{nominal, level, required, tableClass, printed};
    };
    const char *sixty = "tabella S.2-3: 60 (livello III)";
    // 700 MJ/m², every factor 1: class 60 of table S.2-3; 250: class 15.
    row("II on class 60 requires 30", "700", "II", "30", sixty,
        {"sufficiente all'evacuazione degli occupanti",
         "30, o la classe del livello III se inferiore", "min(30; 60) = 30"});
    row("II on class 15 requires 15", "250", "II", "15", "", {"min(30; 15) = 15"});
    row("I requires no class", "700", "I", "Nessun requisito di capacità portante", sixty,
        {"Assenza di conseguenze esterne per collasso strutturale", "paragrafo S.2.4.1",
         "distanza di separazione", "capitolo S.3", "limitata propagazione dell'incendio"});
    row("IV keeps the class, limited damage", "700", "IV", "60", "",
        {"un limitato danneggiamento della costruzione",
         "danneggiamento degli elementi di separazione"});
    row("V keeps the class, specific requirements", "700", "V", "60", "",
        {"mantenimento della totale funzionalità", "requisiti specifici di progetto"});
}

// A chosen level gives its class on screen and page; the report prints it with the reasons.
void TestRules::levelThroughTheScreens()
{
    QFETCH(LevelCase, c);
    walkActivity("OptionNormativa_1", c.nominal, "Option1_0", {"OptionControllo_0"});
    auto &total = Screens::get<TotaleFormula>();
    QCOMPARE(textOf(total, "ComboLivello"), u"III"_s); // proposed
    QCOMPARE(child<QComboBox>(total, "ComboLivello")->count(), 5);
    chooseLevel(c.level, QString()); // without reasons, or with blanks only, the page stays shut
    for (const QString &blanks : {QString(), u"   "_s}) {
        typeReasons(blanks);
        click(total, "Command3");
        QVERIFY(total.isVisible() && !Screens::get<StampaAttivita>().isVisible());
    }
    QCOMPARE(world().prompt.messages,
             QStringList(2, u"Indicare le motivazioni dell'attribuzione del livello di "
                            "prestazione %1 (tabella S.2-2)."_s.arg(c.level)));
    const QString reasons = u"Edificio isolato, riga 1.\nSeconda riga: 東京 «ok» più"_s;
    typeReasons(reasons);
    const QString caption =
        "Classe minima di resistenza al fuoco per il livello di prestazione " + c.level;
    const Fields classes{"lblClasse=" + c.required, "lblClasseTabella=" + c.tableClass};
    COMPARE_FIELDS(total, classes + Fields{"Label2=" + caption});
    const int chosen = child<QComboBox>(total, "ComboLivello")->currentIndex() + 1;
    QVERIFY(
        textOf(total, "lblDescrLivello").startsWith(Regulation::fireCode().level(chosen)->meaning));

    click(total, "Command3");
    QCOMPARE(world().prompt.messages.size(), 2);
    auto &page = Screens::get<StampaAttivita>();
    QVERIFY(page.isVisible());
    const QString heading = "Codice di prevenzione incendi - D.M. 3 agosto 2015 e s.m.i., cap. S.2";
    COMPARE_FIELDS(page, classes + Fields{"Label34=" + caption,
                                          "lblDecreto=" + heading + ", livello " + c.level});

    const QString text = exportedPdf(world(), page, world().filePath(u"l.pdf"_s)).simplified();
    const QStringList parts{u"livello di prestazione "_s + c.level,
                            u"Attribuzione del livello di prestazione (tabella S.2-2)"_s};
    for (const QString &part : parts + reasons.split(u'\n') + c.printed)
        QVERIFY2(text.contains(part), qPrintable(part + u" not in: "_s + text));
    QVERIFY(!text.contains(u"livello di prestazione III -"_s));
}

// Two compartments under the Code at levels II and IV, then one under the decree: the summary of
// each project, the file, the table, a reopened compartment and the report.
void TestRules::projectWithBothRulesAndLevels()
{
    walkActivity("OptionNormativa_1", "700", "Option1_0", {"OptionControllo_0"});
    chooseLevel(u"II"_s, u"Occupanti evacuati in 10 minuti."_s);
    saveCompartment(world(), u"Uffici"_s);
    walkActivity("OptionNormativa_1", "3000", "Option1_1", {"OptionControllo_2", "CheckMisura_9"});
    auto &total = Screens::get<TotaleFormula>();
    COMPARE_FIELDS(total, {"ComboLivello=III", "txtMotivazioneLivello="});
    click(total, "Command3"); // level III needs no reasons
    COMPARE_FIELDS(Screens::get<StampaAttivita>(), {"lblClasse=240"});
    click(Screens::get<StampaAttivita>(), "cmdIndietro");
    const QString reasons = u"Archivio storico.\nSeconda riga."_s;
    chooseLevel(u"IV"_s, reasons);
    saveCompartment(world(), u"Magazzino"_s);

    // The Code alone: its levels in the summary, a heading that names none.
    const QString code = u"Codice di prevenzione incendi (D.M. 3 agosto 2015 e s.m.i., cap. S.2), "
                         "livelli di prestazione II e IV"_s;
    auto &summary = Screens::get<StampaRiepilogo>();
    QCOMPARE(textOf(summary, "lblNormativa"), u"Normativa applicata: "_s + code);
    const QString summaryPdf = world().filePath(u"Riepilogo.pdf"_s);
    const QStringList summarySheets = pdfSheets(exportedPdf(world(), summary, summaryPdf));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    QCOMPARE(summarySheets.size(), 1);
    VERIFY_CONTAINS(summarySheets[0], {"Livello", QRegularExpression("Uffici.*\\b30\\b.*\\bII\\b"),
                                       QRegularExpression("Magazzino.*\\b240\\b.*\\bIV\\b")});
    VERIFY_CONTAINS(
        summarySheets[0].simplified(),
        {"Codice di prevenzione incendi - D.M. 3 agosto 2015 e s.m.i., cap. S.2 Riepilogo",
         "livelli di prestazione II e IV"});

    // The same store under the decree: δn 0,8 × 0,85 = 0,68, 2448 → class 240, minimum 120.
    walkActivity("OptionNormativa_0", "3000", "Option1_1", {"Check7", "Check4"});
    saveCompartment(world(), u"Deposito"_s);
    const QString path = world().filePath(u"Due norme.ardivo"_s);
    auto *table = savedAndReopened(world(), path);
    QVERIFY(table);
    VERIFY_CONTAINS(QString::fromUtf8(bytesOf(path)),
                    {"\"performanceLevel\": \"II\"", "\"performanceLevel\": \"IV\"",
                     "\"levelReason\": \"Archivio storico.\\nSeconda riga.\""});
    const int levelColumn = int(compartmentColumns().indexOf(u"Livello"_s));
    const int ruleColumn = table->model()->columnCount() - 1;
    const auto header = [&](int column) {
        return table->model()->headerData(column, Qt::Horizontal).toString();
    };
    QCOMPARE((QStringList{header(levelColumn), header(ruleColumn)}),
             (QStringList{"Livello", "Normativa"}));
    // The Code's table gives the minimum class: it stands in that column, the decree's reference
    // class beside it.
    const auto cells = [&](int row) {
        const QStringList texts = rowTexts(table, row);
        return texts.mid(8, 2) << texts.value(levelColumn) << texts.value(ruleColumn);
    };
    QCOMPARE(cells(0), (QStringList{QString(), "30", "II", "Codice S.2"}));
    QCOMPARE(cells(1), (QStringList{QString(), "240", "IV", "Codice S.2"}));
    QCOMPARE(cells(2), (QStringList{"240", "120", "III", "D.M. 2007"}));
    QCOMPARE(textOf(Screens::get<StampaRiepilogo>(), "lblNormativa"),
             u"Normativa applicata: D.M. 9 marzo 2007, livello di prestazione III; "_s + code);

    clickCell(table, 1); // reopening the Code's compartment restores every choice
    click(Screens::get<Progetto>(), "cmdApriCompartimento");
    auto &page = Screens::get<StampaAttivita>();
    QVERIFY(page.isVisible());
    COMPARE_FIELDS(page, {"txtTotFormula=2.448,00", "lblClasse=240"});
    COMPARE_FIELDS(Screens::get<TotaleFormula>(),
                   {"ComboLivello=IV", "txtMotivazioneLivello=" + reasons});
    QVERIFY(ticked(Screens::get<DensitaCarico>(), "OptionNormativa_1"));
    QVERIFY(ticked(Screens::get<FattoreRischio1>(), "Option1_1"));
    for (const char *box : {"OptionControllo_2", "CheckMisura_9"})
        QVERIFY(ticked(Screens::get<FattoreProtezione>(), box));
    QVERIFY(!ticked(Screens::get<FattoreProtezione>(), "CheckMisura_8"));

    const QString pdf = world().filePath(u"Due norme.pdf"_s);
    const QStringList sheets = pdfSheets(exportedPdf(world(), Screens::get<Progetto>(), pdf));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    // The summary, then the page and the working of each compartment; a Code's page goes on to a
    // second sheet with its performance level.
    QCOMPARE(sheets.size(), 9);
    VERIFY_CONTAINS(sheets[0], {"Prestazioni di resistenza al fuoco delle costruzioni\n",
                                "Codice S.2", "D.M. 2007"});
    VERIFY_CONTAINS(
        sheets[4], {"Codice di prevenzione incendi - D.M. 3 agosto 2015 e s.m.i., cap.",
                    "Compartimento: Magazzino",
                    QRegularExpression("Classe minima di resistenza al fuoco[^=]*IV\\s+=\\s+240")});
    QVERIFY(!sheets[4].contains("Classe di riferimento"));
    VERIFY_CONTAINS(sheets[5], {"(segue)", "Attribuzione del livello di prestazione"});
    VERIFY_CONTAINS(sheets[6], {"tabella S.2-6", "Sviluppo del calcolo", "0,80 × 0,85 = 0,68"});
    VERIFY_CONTAINS(sheets[7], {"D.M. 9 marzo 2007 - Prestazioni di resistenza al fuoco",
                                QRegularExpression("prestazione III\\s+=\\s+240"),
                                QRegularExpression("Classe minima.*prestazione III\\s+=\\s+120")});
    QVERIFY(sheets[8].contains("D.M. 9 marzo 2007, tabella 4"));
}

void TestRules::levelsInFiles_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("reason"); // empty: the file opens
    const auto row = [](const char *name, const char *from, const char *to, const char *reason) {
        QTest::newRow(name) << QByteArray(from) << QByteArray(to) << QString::fromUtf8(reason);
    };
    const char *unknown = "livello di prestazione sconosciuto";
    row("level V", "\"II\"", "\"V\"", "");
    row("no level is level III", "\"performanceLevel\": \"II\",", "", "");
    row("unknown level", "\"II\"", "\"VI\"", unknown);
    row("level as a number", "\"II\"", "2", unknown);
    row("level on a decree compartment", "\"codice-s2\"", "\"dm2007\"",
        "«Uffici» indica un livello di prestazione");
}

// No level in a file is level III; an unknown one, or one on a decree compartment, is refused.
void TestRules::levelsInFiles()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, reason);
    Calculation office = activityCalculation(u"Ufficio"_s, 700, 1, 0, 1, {});
    office.rule = Rule::FireCode;
    office.performanceLevel = 2;
    office.levelReason = u"Riga 1\n\tRiga 2 – Ελλάδα"_s;
    QByteArray json = ProjectFile::toJson(Project{{}, {{u"Uffici"_s, office}}});
    QVERIFY(json.contains(from));
    json.replace(from, to);
    const QString path = writeFile(world().filePath(u"Livelli d'esempio.ardivo"_s), json);
    const bool opened = ProjectActions::openProjectFile(path);
    if (!reason.isEmpty()) {
        QVERIFY(!opened);
        QCOMPARE(world().prompt.messages.size(), 1);
        VERIFY_CONTAINS(world().prompt.messages[0], {"Livelli d'esempio.ardivo", reason});
        return;
    }
    QVERIFY2(opened, qPrintable(world().prompt.messages.join("; ")));
    const Calculation &read = ProjectDocument::current().project().compartments.first().calculation;
    QCOMPARE(read.levelReason, office.levelReason);
    QCOMPARE(read.performanceLevel, to.isEmpty() ? 3 : 5);
}

// A calculation by activity near a limit of the class table, and what the screen and PDF show.
struct NearLimitCase {
    QString ruleOption, nominal;
    QStringList protection;
    QString design, reference, minimum, working, warning;
};
Q_DECLARE_METATYPE(NearLimitCase)

void TestRules::deltaNUnroundedInPrint_data()
{
    QTest::addColumn<NearLimitCase>("c");
    const auto row = [](const char *name, const char *rule, const char *nominal,
                        QStringList protection, const char *design, const char *reference,
                        const char *minimum, const char *working, const char *warning) {
        QTest::newRow(name) << NearLimitCase{rule,      nominal, protection, design,
                                             reference, minimum, working,    warning};
    };
    row("Code", "OptionNormativa_1", "1961", {"OptionControllo_4", "CheckMisura_9"}, "1.200,13",
        "120", "", "q_f,d = q_f · δq1 · δq2 · δn = 1.961,00 × 1,00 × 1,00 × 0,612 = 1.200,13 MJ/m²",
        "q_f,d = 1.200,13 MJ/m² è entro il 2 % del limite di 1.200 MJ/m² della tabella delle "
        "classi: fino al limite la classe è 90, oltre è 120.");
    row("decree", "OptionNormativa_0", "1095", {"Check1", "Check3", "Check4", "Check5"}, "452,34",
        "45", "20", "q_f,d = q_f · δq1 · δq2 · δn = 1.095,00 × 1,00 × 1,00 × 0,4131 = 452,34 MJ/m²",
        "q_f,d = 452,34 MJ/m² è entro il 2 % del limite di 450 MJ/m² della tabella delle classi: "
        "fino al limite la classe è 30, oltre è 45.");
}

void TestRules::deltaNUnroundedInPrint()
{
    // The cases an officer found: δn rounded to two decimals gave a class one step too low.
    QFETCH(NearLimitCase, c);
    walkActivity(qPrintable(c.ruleOption), c.nominal, "Option1_0", c.protection);
    auto &total = Screens::get<TotaleFormula>();
    // So close to a limit of the class table, the technician is told which and what lies beyond.
    COMPARE_FIELDS(total, {"txtTotFormula=" + c.design, "lblClasse=" + c.reference,
                           "lblClasseMin=" + c.minimum, "lblAvvertenze=Avvertenze\n" + c.warning});
    click(total, "Command3");
    auto &page = Screens::get<StampaAttivita>();
    const QString text = exportedPdf(world(), page, world().filePath(u"r.pdf"_s)).simplified();
    VERIFY_CONTAINS(text, {c.working, "Avvertenze", c.warning.left(40)});
}

// A rule of the program's own kind, defined in data only: different factors, two groups of
// measures and its own class table.
static const char kThirdRule[] = R"json({
    "key": "prova-terza", "name": "Regola di prova (terza)", "shortName": "Prova",
    "heading": "Regola di prova - tabelle di esempio", "performanceLevel": "III",
    "classCaption": "Classe minima di resistenza al fuoco", "hasMinimumClass": false,
    "tables": {"areaClasses": "tabella P-1", "riskClasses": "tabella P-2",
               "measures": "tabella P-3", "classes": "tabella P-4"},
    "areaClasses": [{"from": 0, "screenText": "a", "reportText": "a", "deltaQ1": 1.1},
        {"from": 500, "screenText": "b", "reportText": "b", "deltaQ1": 1.3},
        {"from": 1000, "screenText": "c", "reportText": "c", "deltaQ1": 1.5},
        {"from": 2500, "screenText": "d", "reportText": "d", "deltaQ1": 1.7},
        {"from": 5000, "screenText": "e", "reportText": "e", "deltaQ1": 1.9},
        {"from": 10000, "screenText": "f", "reportText": "f", "deltaQ1": 2.1}],
    "riskClasses": [{"name": "I", "description": "Basso", "deltaQ2": 0.7},
        {"name": "II", "description": "Medio", "deltaQ2": 1},
        {"name": "III", "description": "Alto", "deltaQ2": 1.3}],
    "measures": [{"description": "Impianto di prova A", "deltaN": 0.7},
        {"description": "Impianto di prova B", "deltaN": 0.5},
        {"description": "Presidio di prova", "deltaN": 0.9}],
    "measureGroups": [{"caption": "Impianti", "first": 1, "count": 2, "exclusive": true},
        {"caption": "Altre misure", "first": 3, "count": 1}],
    "classBands": [{"upTo": 500, "reference": 30, "minimum": 0},
                   {"upTo": 1000, "reference": 60, "minimum": 0}],
    "beyondLastBand": {"reference": 120, "minimum": 0}
})json";

void TestRules::thirdRuleFromDataOnly()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(u"regole.json"_s), R"(["terza.json"])");
    writeFile(dir.filePath(u"terza.json"_s), kThirdRule);
    QCOMPARE(RuleRegistry::instance().addFolder(dir.path()), QString());
    const auto forget = qScopeGuard([] {
        closeAllScreens();
        RuleRegistry::instance().removeAdded();
    });

    auto &chooser = Screens::get<DensitaCarico>();
    QVERIFY(ticked(chooser, "OptionNormativa_0")); // a first run starts on the decree
    QCOMPARE(textOf(chooser, "OptionNormativa_1"),
             u"Codice di prevenzione incendi (D.M. 3 agosto 2015 e s.m.i., cap. S.2)"_s);
    QCOMPARE(textOf(chooser, "OptionNormativa_2"), u"Regola di prova (terza)"_s);
    walkActivity("OptionNormativa_2", u"1000"_s, "Option1_1", {});
    // The factor screens offer its classes, with its texts.
    QCOMPARE(textOf(Screens::get<FattoreRischio1>(), "Label3"), u"b"_s);
    QCOMPARE(textOf(Screens::get<FattoreRischio2>(), "lblDescrII"), u"Medio"_s);
    click(Screens::get<TotaleFormula>(), "Command1"); // back to the protection screen
    // Its own panel, built from its groups: 1000 × 0,5 × 0,9 × 1,3 × 1 = 585, class 60.
    auto &protection = Screens::get<FattoreProtezione>();
    QWidget *panel = child(protection, "Misure_prova-terza");
    QVERIFY(panel && panel->isVisibleTo(&protection));
    QVERIFY(!child(protection, "Misure_dm2007")->isVisibleTo(&protection));
    QCOMPARE(textOf(*panel, "lblTabellaMisure"), u"Prova, tabella P-3"_s);
    click(*panel, "OptionControllo_2");
    click(*panel, "CheckMisura_3");
    QCOMPARE(textOf(protection, "txtFattProt"), u"0,45"_s);
    click(protection, "Command1");
    COMPARE_FIELDS(Screens::get<TotaleFormula>(), {"txtTotFormula=585,00", "lblClasse=60"});

    saveCompartment(world(), u"Prova"_s);
    auto *table = savedAndReopened(world(), dir.filePath(u"Terza.ardivo"_s));
    QVERIFY(table);
    const QStringList row = rowTexts(table, 0);
    QCOMPARE((QStringList{row.value(7), row.value(9), row.last()}),
             (QStringList{"585,00", "60", "Prova"}));

    const QString text = exportedPdf(world(), Screens::get<Progetto>(), dir.filePath(u"T.pdf"_s));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    VERIFY_CONTAINS(text,
                    {"Regola di prova - tabelle di esempio", "Regola di prova (terza), tabella P-1",
                     "0,50 × 0,90 = 0,45", "Impianto di prova B"});
    closeAllScreens(); // as at the end of a run: the choice is remembered for the next
    QVERIFY(ticked(Screens::get<DensitaCarico>(), "OptionNormativa_2"));
    closeAllScreens();
    TestWorld another; // a run with settings of its own
    QVERIFY(ticked(Screens::get<DensitaCarico>(), "OptionNormativa_0"));
}

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
