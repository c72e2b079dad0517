// The three screens that determine q_f, driven through their named controls.
#include "core/calculationtexts.h"
#include "data/entrystore.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QSignalSpy>

class TestFireLoad : public WorldTest
{
    Q_OBJECT
private slots:
    void activityValueTimesFractile();
    void materialsEntryAndArea();
    void furnishingsAndGoods();
    void gridViewersEditThroughTheView();
    void entriesTableEditsDeletesAndStays();
    void chooserFindsAnyWord();
    void refusedWriteLeavesTheSession_data();
    void refusedWriteLeavesTheSession();

private:
    QString told() { return world().prompt.messages.last(); } // the last message shown
};

// Refused until an activity, a reliable value and a fractile are given; then q_f = value × factor.
void TestFireLoad::activityValueTimesFractile()
{
    InizFattProt();
    auto &form = startMethod<ValorePerAttivita>();
    click(form, "Command1");
    QCOMPARE(told(), u"Selezionare una tipologia in elenco"_s);
    auto *activity = child<QComboBox>(form, "ComboAttivita");
    clickAndType(activity, "z"); // begins no entry: the chooser keeps no text
    COMPARE_FIELDS(form, {"ComboAttivita=", "txtValoreMJm2="});
    QCOMPARE(calculation().activity.name, QString());
    auto *value = child<QLineEdit>(form, "txtValoreMJm2");
    auto *fractile = child<QComboBox>(form, "ComboFrattile");
    clickAndType(fractile, "2,5"); // out of range: the chooser keeps no text
    QCOMPARE((std::pair{fractile->currentText(), fractile->currentIndex()}),
             (std::pair{QString(), -1}));
    typeInto(value, "0");
    QCOMPARE(value->text(), QString()); // 0,8 is emptied on its first character
    // 1 × 1,5 is no load; a value that starts with a number but is none survives while the
    // factor is empty.
    for (const char *typed : {"1", "5a"}) {
        typeInto(fractile, "");
        typeInto(value, typed);
        QCOMPARE(value->text(), QString::fromLatin1(typed));
        pickEntry(fractile, "1,5");
        QCOMPARE(told(), u"Inserire un valore attendibile del carico d'incendio"_s);
    }
    // Another activity empties the fractile, and Avanti asks for it.
    pickEntry(activity, "Biblioteca");
    QCOMPARE(fractile->currentText(), QString());
    click(form, "Command1");
    QCOMPARE(told(), u"Selezionare una tipologia in elenco e dopo il valore di Frattile"_s);

    clickAndType(activity, "Uffic"); // completed and picked
    COMPARE_FIELDS(form, {"ComboAttivita=Ufficio", "txtValoreMJm2=420"});
    QVERIFY(textOf(form, "Nota").contains("Office"));
    QCOMPARE(calculation().activity.source, textOf(form, "Nota"));
    clickAndType(fractile, "1,25");
    COMPARE_FIELDS(form, {"ComboFrattile=1,25", "Valoreqf=525"});
    typeInto(value, "450"); // typed while a factor is shown, multiplied again: 1,25 × 450
    QCOMPARE(textOf(form, "Valoreqf"), u"562,5"_s);
    QCOMPARE(calculation().activity.source, u"valore del tecnico; catalogo: 420"_s);
    // A text that names no activity is refused: the value is then the technician's alone.
    clickAndType(activity, "zzz");
    COMPARE_FIELDS(form, {"ComboAttivita=", "txtValoreMJm2=450"});
    QCOMPARE(calculation().activity.source, u"valore del tecnico"_s);
    pickEntry(activity, "Ufficio");
    typeInto(value, "450");
    pickEntry(fractile, "1,05");
    COMPARE_FIELDS(form, {"Valoreqf=472,5"});
    QVERIFY(child(form, "qf")->isHidden());
    click(form, "Command1");
    QCOMPARE(fireLoadNow(), 472.5);
    COMPARE_FIELDS(Screens::get<FattoreRischio1>(), {"txtDensCarInc=472,5"});
    startMethod<ValorePerAttivita>(); // a new calculation forgets the activity chosen before
    typeInto(value, "500");
    QCOMPARE(calculation().activity.source, u"valore del tecnico"_s);
}

// The materials screen's fields keep or refuse what is typed; then an entry, and q_f by the area.
void TestFireLoad::materialsEntryAndArea()
{
    auto &form = startMethod<ValorePerMateriale>();
    COMPARE_FIELDS(form, {"Combo1=1", "Combo2=1"});
    auto *area = child<QLineEdit>(form, "txtAreaComp");
    auto *m = child<QComboBox>(form, "Combo1");
    typeInto(area, "0,5");
    typeInto(m, "0,8");
    typeInto(child(form, "txtQta"), "0");
    COMPARE_FIELDS(form, {"txtAreaComp=0,5", "Combo1=", "txtQta=0"});
    clickAndType(m, "0");
    QCOMPARE((std::pair{m->currentText(), m->currentIndex()}), (std::pair{QString(), -1}));
    // Emptied at the first "z"; the completer puts no entry back at the "x".
    clickAndType(form, "ComboMat", "Legzzzx");
    COMPARE_FIELDS(form, {"ComboMat=", "txtValorePerKg="});

    typeInto(m, "1"); // missing data: refused, nothing stored
    click(form, "Command4");
    QCOMPARE(told(), u"Prego inserisci correttamente tutti i campi richiesti."_s);
    QCOMPARE(rowCountOf("tblAppoggioMateriali"), 0);

    // An area stays as typed ("-5" is never read as 5), gives no q_f, and Avanti names the rule.
    pickEntry(child<QComboBox>(form, "ComboMat"), "Carta");
    click(form, "Command4");
    for (const char *text : {"5a", "-5"}) {
        typeInto(area, text);
        QVERIFY(!calculation().area);
        QCOMPARE(fireLoadNow(), 0.0);
        QVERIFY(child<QLabel>(form, "qf")->isVisibleTo(&form));
        click(form, "Command1");
        QVERIFY(form.isVisible());
        QCOMPARE(told(),
                 u"Inserire un valore dell'area valido: un numero maggiore di 0, in m² (per "
                 "esempio 1.200 o 350,5)"_s);
        QCOMPARE(area->text(), QString::fromLatin1(text));
    }
    typeInto(area, "");
    click(form, "Command1");
    QCOMPARE(told(), u"Prego inserire un valore attendibile di carico d'incendio"_s);

    typeInto(area, "50");
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    // Wood is cellulosic: m 0,8 is proposed, and the user may still choose 1.
    COMPARE_FIELDS(form, {"txtValorePerKg=17,5", "Combo1=0,8", "lblFonte=EN 1991-1-2, tab. E.3"});
    addMaterial("Legno", "100", "1", {}, "17");
    QCOMPARE(told(), u"   inserimento riuscito    \nMateriale : Legno\nPotere Calorifico: 17\n"
                     "Quantità:  100\nFattore Psi:  1\nFattore m:  1"_s);
    COMPARE_FIELDS(form, {"Valoreqf=34", "ComboMat=", "txtQta=1"});
    addMaterial(u"Legno"_s, u"-5"_s); // refused, and kept as typed
    QCOMPARE(told(),
             u"La quantità in kg deve essere un numero non negativo; i decimali si scrivono con "
             "la virgola (per esempio 0,6)."_s);
    QCOMPARE(textOf(form, "txtQta"), u"-5"_s);
    QCOMPARE(calculation().materials.size(), 2); // Carta (0 kg) and Legno

    addMaterial(u"Legno"_s, u"0,6"_s); // stored as typed: "0,6" kg is not 6
    QCOMPARE(calculation().materials.value(2).quantity, n(0.6));

    // The same entry with m = 0,8 instead.
    QVERIFY(EntryStore::clearMaterials(CalculationSession::current()));
    addMaterial("Legno", "100", "0,8", {}, "17");
    QCOMPARE(entriesTotal(), 1360.0);
    QCOMPARE(textOf(form, "Valoreqf"), u"27"_s);
    QCOMPARE(fireLoadNow(), 27.2);

    typeInto(area, "12,5"); // q_f follows every keystroke in the area; 12,5 divides by 12.5
    QCOMPARE(fireLoadNow(), 1360 / 12.5);

    click(form, "Command1");
    QCOMPARE(textOf(Screens::get<FattoreRischio1>(), "txtDensCarInc"), u"108"_s);
    QCOMPARE(fireLoadNow(), 108.8); // full precision for the design value
}

// Furnishings and goods: sources, packaging, table edits, the viewer, the page; Indietro discards.
void TestFireLoad::furnishingsAndGoods()
{
    auto &form = startMethod<ValorePerArredo>();
    click(form, "Command4"); // nothing chosen
    QCOMPARE(told(), u"Prego inserisci correttamente tutti i campi richiesti."_s);
    // A chooser keeps no text that is none of its entries.
    for (const char *name : {"ComboArredo", "ComboMatDep"})
        clickAndType(form, name, u"§"_s);
    COMPARE_FIELDS(form, {"ComboArredo=", "ComboMatDep=", "txtValoreMJPezzo=", "txtValoreMJm3="});
    clickAndType(form, "txtAreaComp", "100");
    // What was typed stays, and is told when it is added.
    for (const QString &pieces : {u"0"_s, u"0,5"_s, u"-5"_s, u"5a"_s}) {
        addPieces(u"Materasso in cotone"_s, pieces);
        QCOMPARE(textOf(form, "txtQta"), pieces);
        QVERIFY2(told().contains(u"pezzi"_s) || told().contains(u"non è un numero"_s),
                 qPrintable(pieces + u": "_s + told()));
    }
    QVERIFY(world().prompt.messages.contains(
        u"Il numero di pezzi deve essere un numero intero di almeno 1."_s));
    QVERIFY(calculation().furnishings.isEmpty());
    pickEntry(child<QComboBox>(form, "ComboArredo"), "Materasso in cotone");
    COMPARE_FIELDS(form, {"txtValoreMJPezzo=250",
                          "lblFonteArredo=massa da NFPA 921 × H da EN 1991-1-2, tab. E.3"});
    clickAndType(form, "txtValoreMJPezzo", "600");
    clickAndType(form, "txtQta", "2");
    click(form, "Command4");
    QCOMPARE(told(), u"inserimento riuscito\nArredo : Materasso in cotone\n"
                     "Potere Calorifico: 600\nQuantità:  2"_s);
    pickEntry(child<QComboBox>(form, "ComboMatDep"), "Carta");
    clickAndType(form, "txtValoreMJm3", "400");
    QCOMPARE(textOf(form, "lblFonteMerce"), u"valore del tecnico; catalogo: 8400"_s);
    clickAndType(form, "txtQtaMerce", "10");
    click(form, "CheckImballo");
    click(form, "Command7");
    QCOMPARE(entriesTotal(), 1200 + 1.1 * 4000);
    QCOMPARE(textOf(form, "Valoreqf"), u"56"_s);
    QVERIFY(!ticked(form, "CheckImballo"));

    click(form, "Command1");
    click(Screens::get<FattoreRischio1>(), "Command1");

    auto *table = child<QTableView>(form, "DataGridVoci");
    QCOMPARE(table->model()->rowCount(), 2);
    QCOMPARE(rowTexts(table, 0).mid(1, 2), (QStringList{"600 MJ/pezzo", "2 pezzi"}));
    QCOMPARE(rowTexts(table, 1).mid(1, 5),
             (QStringList{"400 MJ/m³", "10 m³", "1,1", "4400", "78,6"}));
    editCell(table, 1, 3, "1,5");
    QCOMPARE(told(), u"Il fattore di imballaggio può valere 1 o 1,1."_s);
    clickCell(table, 1);
    click(form, "cmdEliminaVoce");
    QCOMPARE(entriesTotal(), 1200.0);
    COMPARE_FIELDS(form, {"Valoreqf=12"});

    click(form, "Command5"); // the viewer: the same entries, with the MJ of each and the total
    auto &viewer = Screens::get<VisualTabAppoggio>();
    QCOMPARE(viewer.model()->headerData(2, Qt::Horizontal).toString(),
             u"Carico per pezzo [MJ/pezzo]"_s);
    QCOMPARE(viewer.model()->index(0, 8).data().toString(), u"1200"_s);
    QCOMPARE(textOf(viewer, "lblTotale"), u"Totale: 1200 MJ (1 voce)"_s);
    viewer.close();
    addGoods(u"Carta"_s, u"400"_s, u"0,6"_s, false); // stored and printed as typed: not 6 m³
    QCOMPARE(textOf(form, "txtQtaMerce"), u"0,6"_s);
    QCOMPARE(calculation().furnishings.value(1).volume, n(0.6));
    const QStringList printed = ReportDocuments::compartment(calculation()).texts();
    QVERIFY(printed.contains(u"0,6"_s) && printed.contains(u"240"_s)); // 400 × 0,6 MJ

    click(form, "Command2");
    QCOMPARE(rowCountOf("tblAppoggio"), 0);
}

void TestFireLoad::gridViewersEditThroughTheView()
{
    auto &form = startMethod<ValorePerMateriale>();
    for (const char *name : {"Carta", "Legno"})
        addMaterial(name, "10");
    clickAndType(form, "txtAreaComp", "10");
    QTableView *grid = openGridViewer(form);
    QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget())); // no editor opens by itself

    const int quantity = 5; // rowid, Materiale, ValorePerKg, FattorePsi, Fattore_m, QtaMat
    editCell(grid, 1, quantity, "7,5");
    QCOMPARE(grid->model()->index(1, quantity).data().toString(), u"7,5"_s);
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, quantity));
    editCell(grid, 0, quantity, "dodici", Qt::Key_Tab); // refused: the old value stays
    QCOMPARE(grid->model()->index(0, quantity).data().toString(), u"10"_s);
    QCOMPARE(grid->currentIndex(), grid->model()->index(0, quantity + 1)); // Tab: to the MJ
    Screens::get<VisualTabMat>().close();
    // (20 * 10 + 17,5 * 7,5) * 0,8 / 10, shown with its decimals once the viewer is closed.
    QCOMPARE(fireLoadNow(), 26.5);
    QCOMPARE(textOf(form, "Valoreqf"), u"26,5"_s);
    world().prompt.messages.clear(); // an emptied cell: the row adds nothing, raises no message
    QAbstractItemModel *model = openGridViewer(form)->model();
    QVERIFY(model->setData(model->index(0, 2), ""));
    Screens::get<VisualTabMat>().close();
    QCOMPARE(entriesTotal(), 17.5 * 7.5 * 0.8);
    QCOMPARE(world().prompt.messages, QStringList());

    auto &furnishings = startMethod<ValorePerArredo>();
    clickAndType(furnishings, "txtAreaComp", "100");
    for (int i = 0; i < 2; ++i)
        addPieces("Materasso in cotone", "2");
    QTableView *pieces = openGridViewer(furnishings);
    const int pieceCount = 3; // rowid, Arredo, ValorePerPezzo, QtaArredo
    editCell(pieces, 1, pieceCount, "6", Qt::Key_Enter);
    QCOMPARE(pieces->model()->index(1, pieceCount).data().toString(), u"6"_s);
    QCOMPARE(pieces->currentIndex(), pieces->model()->index(1, pieceCount));
    Screens::get<VisualTabAppoggio>().close();
    QCOMPARE(fireLoadNow(), 20.0); // 250 * (2 + 6) / 100
    QCOMPARE(textOf(furnishings, "Valoreqf"), u"20"_s);

    startMethod<ValorePerMateriale>(); // a far row edited: scroll position and current cell kept
    QVector<MaterialEntry> entries;
    for (int i = 0; i < 80; ++i)
        entries << materialEntry(u"M%1"_s.arg(i), 17, 1);
    QVERIFY(storeMaterials(entries));
    grid = openGridViewer(form);
    editCell(grid, 70, quantity, "3");
    const int scrolled = grid->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    editCell(grid, 69, quantity, "4"); // in sight already: nothing scrolls
    QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
    QCOMPARE(grid->currentIndex(), grid->model()->index(69, quantity));
    QCOMPARE(rowTexts(grid, 70).value(quantity) + rowTexts(grid, 69).value(quantity), u"34"_s);

    editCell(grid, 0, 2, "1e308"); // overflows the sum: no q_f shown (never 0), and Avanti refuses
    world().prompt.messages.clear();
    grid->window()->close();
    QVERIFY(world().prompt.messages.contains(
        "Il carico d'incendio risulta troppo grande per essere calcolato: controllare i dati "
        "inseriti."));
    QVERIFY(!fireLoad(calculation()));
    QVERIFY(textOf(form, "Valoreqf").isEmpty() && !child(form, "qf")->isHidden());
    world().prompt.messages.clear();
    click(form, "Command1");
    QCOMPARE(world().prompt.messages,
             QStringList{"Prego inserire un valore attendibile di carico d'incendio"});
    QVERIFY(!Screens::get<FattoreRischio1>().isVisible() && form.isVisible());
}

// Entries edited in place under the entry rules, deleted with Canc, kept after Indietro and back;
// then added while the viewer is open; each change reaches the session once.
void TestFireLoad::entriesTableEditsDeletesAndStays()
{
    auto &form = startMethod<ValorePerMateriale>();
    clickAndType(form, "txtAreaComp", "10");
    for (const char *name : {"Carta", "Legno"}) // m 0,8 proposed for both
        addMaterial(name, "10");
    auto *table = child<QTableView>(form, "DataGridVoci");
    QCOMPARE(table->model()->rowCount(), 2);
    const QStringList legno = rowTexts(table, 1);
    QCOMPARE(legno.mid(0, 3) << legno.value(5) << legno.value(7),
             (QStringList{"Legno", "17,5 MJ/kg", "10 kg", "140", "EN 1991-1-2, tab. E.3"}));
    COMPARE_FIELDS(form, {"lblTotaleVoci=Totale: 300 MJ (2 voci)", "Valoreqf=30"});

    editCell(table, 0, 2, "40"); // 40 kg of paper
    QCOMPARE(table->model()->index(0, 2).data().toString(), u"40 kg"_s);
    QCOMPARE(fireLoadNow(), (20 * 40 * 0.8 + 140) / 10);
    QCOMPARE(textOf(form, "Valoreqf"), u"78"_s);
    QCOMPARE(WorkingTables::materials()->first().quantity, Amount::number(40));
    editCell(table, 0, 3, "5"); // a value no new entry could have: refused, the cell keeps its own
    QCOMPARE(told(), u"Il fattore ψ può valere 0, 0,85 o 1."_s);
    QCOMPARE(table->model()->index(0, 3).data().toString(), u"1"_s);
    editCell(table, 0, 4, "0,3");
    QCOMPARE(told(), u"Il fattore m può valere 0,8 o 1."_s);
    editCell(table, 0, 2, "-4");
    QCOMPARE(told(), u"Prego inserisci correttamente tutti i campi richiesti."_s);
    QCOMPARE(table->model()->index(0, 2).data().toString(), u"40 kg"_s);
    editCell(table, 0, 1, "0,5");
    QCOMPARE(table->model()->index(0, 1).data().toString(), u"20 MJ/kg"_s);
    editCell(table, 1, 1, "18"); // a value typed over the catalogue's is the user's
    QCOMPARE(rowTexts(table, 1).value(7), u"valore del tecnico; catalogo: 17,5"_s);

    clickCell(table, 0); // Canc deletes the chosen entry: q_f follows at once
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(rowCountOf("tblAppoggioMateriali"), 1);
    QCOMPARE(fireLoadNow(), 18 * 10 * 0.8 / 10);
    COMPARE_FIELDS(form, {"lblTotaleVoci=Totale: 144 MJ (1 voce)", "Valoreqf=14"});

    click(form, "Command2"); // Indietro and back: the entry still in sight, and what counts
    chooseMethod("Command4");
    QCOMPARE(rowTexts(table, 0).value(0), u"Legno"_s);
    COMPARE_FIELDS(form, {"txtAreaComp=", "lblTotaleVoci=Totale: 144 MJ (1 voce)"});
    click(form, "Command1");
    QCOMPARE(told(), u"Prego inserire un valore attendibile di carico d'incendio"_s);
    clickAndType(form, "txtAreaComp", "7");
    QCOMPARE(fireLoadNow(), 144 / 7.0);

    // An added entry joins the table and an open viewer; later edits still reach the right entry.
    clickCell(table, 0);
    click(form, "Command5");
    auto *grid = child<QTableView>(Screens::get<VisualTabMat>(), "DataGrid1");
    addMaterial("Carta", "10"); // 20 * 10 * 0,8 = 160 MJ
    addMaterial("Carta", "5");  // 80 MJ
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(table->currentIndex(), table->model()->index(0, 0));
    QCOMPARE(rowTexts(table, 2).value(2), u"5 kg"_s);
    const int share = 6;
    for (const auto &[row, load] : {std::pair{0, 144.0}, {1, 160.0}, {2, 80.0}})
        QCOMPARE(rowTexts(table, row).value(share), CalculationTexts::share(load, 384));
    // q_f as the area gives it after an addition: its integer part, 384 / 7 = 54,86.
    COMPARE_FIELDS(form, {"lblTotaleVoci=Totale: 384 MJ (3 voci)", "Valoreqf=54"});
    editCell(table, 2, 2, "15"); // 240 MJ
    QCOMPARE(rowTexts(grid, 2).value(5), u"15"_s);
    QCOMPARE(textOf(form, "lblTotaleVoci"), u"Totale: 544 MJ (3 voci)"_s);
    clickCell(table, 0);
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(rowTexts(table, 0).value(0), u"Carta"_s);
    QCOMPARE(textOf(form, "lblTotaleVoci"), u"Totale: 400 MJ (2 voci)"_s);
    // The calculation, the working table and both tables hold the same entries.
    QCOMPARE(WorkingTables::materials().value(), calculation().materials);
    QCOMPARE(calculation().materials.value(1).quantity, n(15));

    // A keystroke, an entry added, a compartment reopened: each reaches the session once.
    QSignalSpy changed(&CalculationSession::current(), &CalculationSession::changed);
    QSignalSpy entries(&CalculationSession::current(), &CalculationSession::entriesChanged);
    QTest::keyClick(child(form, "txtAreaComp"), Qt::Key_0);
    QCOMPARE(calculation().area, 70.0);
    QCOMPARE((QList<qsizetype>{changed.count(), entries.count()}), (QList<qsizetype>{1, 0}));
    addMaterial("Carta", "10");
    QCOMPARE((QList<qsizetype>{changed.count(), entries.count()}), (QList<qsizetype>{2, 1}));
    ProjectActions::openCompartment(
        {u"Deposito"_s, materialsCalculation(60, {materialEntry("Legno", 17.5, 1000)}, 1, 0)});
    QCOMPARE((QList<qsizetype>{changed.count(), entries.count()}), (QList<qsizetype>{3, 2}));
    QCOMPARE(textOf(form, "txtAreaComp"), u"60"_s);
    QCOMPARE(WorkingTables::materials().value(), calculation().materials);
}

// A word inside a name, case and accents aside, finds the entry; picking it fills its value.
void TestFireLoad::chooserFindsAnyWord()
{
    auto &form = startMethod<ValorePerMateriale>();
    auto *combo = child<QComboBox>(form, "ComboMat");
    clickAndType(combo, "nylon");
    QCOMPARE(combo->currentText(), u"nylon"_s); // kept: it leads to an entry
    QAbstractItemView *offered = combo->completer()->popup();
    QVERIFY(offered->isVisible() && combo->completer()->completionCount() == 1);
    QCOMPARE(combo->completer()->currentCompletion(), u"Poliammide 6.6 (nylon)"_s);
    QTest::keyClick(offered, Qt::Key_Down);
    QTest::keyClick(offered, Qt::Key_Return);
    QCOMPARE(combo->currentText(), u"Poliammide 6.6 (nylon)"_s);
    QCOMPARE(textOf(form, "txtValorePerKg"), u"29"_s);

    clickAndType(combo, "Cart"); // the start of a name is still completed in place, with no list
    QCOMPARE(combo->currentText(), u"Carta"_s);
    QVERIFY(!offered->isVisible());
    // The list is in Italian order; a pick gives the value of the entry picked, not of the row
    // the database had there.
    const auto before = [&](const QString &a, const QString &b) {
        return combo->findText(a) >= 0 && combo->findText(a) < combo->findText(b);
    };
    QVERIFY(before("Paglia", "PVC (cloruro di polivinile)"));
    QVERIFY(before(u"Tè"_s, "Toluene"));
    QVERIFY(before("Carta", "Legno"));
    pickEntry(combo, u"Tè"_s);
    QCOMPARE(textOf(form, "txtValorePerKg"), u"17"_s);

    auto *goods = child<CatalogCombo>(startMethod<ValorePerArredo>(), "ComboMatDep");
    clickAndType(goods, u"ABETE"_s);
    QVERIFY(goods->completer()->popup()->isVisible());
    QVERIFY(goods->completer()->currentCompletion().contains(u"di abete rosso"_s));
    QVERIFY(goods->leadsToAnEntry(u"àbete"_s));
    QVERIFY(!goods->leadsToAnEntry(u"bete"_s)); // inside a word: no
}

void TestFireLoad::refusedWriteLeavesTheSession_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Method>("reopen"); // None: an entry added
    for (const auto &[action, reopen] :
         {std::pair{"add", Method::None}, {"reopen", Method::Materials}}) {
        QTest::addRow("%s, table dropped", action)
            << u"DROP TABLE tblAppoggioMateriali"_s << reopen;
        QTest::addRow("%s, read-only", action) << u"PRAGMA query_only = ON"_s << reopen;
    }
    // A calculation by activity has no entries to write: it reopens all the same.
    QTest::addRow("activity, read-only") << u"PRAGMA query_only = ON"_s << Method::Activity;
}

// A write the database refuses changes nothing the user sees, and is told once.
void TestFireLoad::refusedWriteLeavesTheSession()
{
    QFETCH(QString, fault);
    QFETCH(Method, reopen);
    auto &form = startMethod<ValorePerMateriale>();
    clickAndType(form, "txtAreaComp", "10");
    addMaterial("Legno", "100");
    const Calculation before = calculation();
    QSignalSpy changed(&CalculationSession::current(), &CalculationSession::changed);
    QVERIFY(Database::instance().exec(fault));
    world().prompt.messages.clear();
    if (reopen == Method::Activity) {
        ProjectActions::openCompartment(
            {u"Uffici"_s, activityCalculation(u"Ufficio"_s, 420, 1.2, 1, 0)});
        QCOMPARE(world().prompt.messages, QStringList());
        QCOMPARE(fireLoadNow(), 504.0);
        QCOMPARE(calculation().materials, before.materials);
        return;
    }
    if (reopen == Method::Materials)
        ProjectActions::openCompartment(
            {u"Deposito"_s, materialsCalculation(60, {materialEntry("Carta", 20, 5)}, 1, 0)});
    else
        addMaterial("Carta", "10");
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages.first(), {"dati inseriti"});
    QCOMPARE(calculation(), before);
    QCOMPARE(changed.count(), 0);
    COMPARE_FIELDS(form, {"Valoreqf=140", "txtAreaComp=10"});
}

QTEST_MAIN(TestFireLoad)
#include "tst_fireload.moc"
