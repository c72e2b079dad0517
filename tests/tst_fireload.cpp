// The three screens that determine q_f, driven through their named controls.
#include "core/calculationtexts.h"
#include "data/database.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"
#include "testsupport.h"
#include "ui/app/screens.h"
#include "ui/catalogue/catalogcombo.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/fireload/gridviewer.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/reports/stampapages.h"
#include "ui/start/densitacarico.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

class TestFireLoad : public QObject
{
    Q_OBJECT
private slots:
    void activityValueTimesFractile();
    void activityRefusals();
    void materialsEntryAndArea();
    void materialsFieldChecks();
    void materialComboRefusesUnknownTextByKeys();
    void materialsRowsSurviveTripBack();
    void furnishingsAndGoods();
    void furnishingsRefusals();
    void fractileTypedKeyByKey();
    void gridViewerWritesBackAndRecomputes();
    void choosersKeepRefusedTextsEmpty();
    void gridViewersEditThroughTheView();
    void gridViewerKeepsItsPlace();
    void entriesTableEditsDeletesAndStays();
    void addedEntriesJoinTheTable();
    void furnishingsTableShowsSourcesAndDeletes();
    void chooserFindsAnyWord();
    void cataloguesInItalianOrder();
    void gridViewersFollowTheEntryRules_data();
    void gridViewersFollowTheEntryRules();
    void overflowingEntryLeavesNoFireLoad();
};

void TestFireLoad::activityValueTimesFractile()
{
    TestWorld world;
    InizFattProt();
    chooseMethod("Command1");
    auto &form = Screens::get<ValorePerAttivita>();
    auto *activity = child<QComboBox>(form, "ComboAttivita");
    pickEntry(activity, "Ufficio");
    QCOMPARE(child<QLineEdit>(form, "txtValoreMJm2")->text(), QStringLiteral("420"));
    QVERIFY(child<QLabel>(form, "Nota")->text().contains("Office"));

    typeInto(child(form, "txtValoreMJm2"), "450");
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1,2");
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("540"));
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1,05");
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("472,5"));
    QVERIFY(child<QLabel>(form, "qf")->isHidden());

    click(child(form, "Command1"));
    QCOMPARE(fireLoadNow(), 472.5);
    QVERIFY(Screens::get<FattoreRischio1>().isVisible());
    QCOMPARE(child<QLineEdit>(Screens::get<FattoreRischio1>(), "txtDensCarInc")->text(),
             QStringLiteral("472,5"));
    auto &page = Screens::get<StampaAttivita>();
    QCOMPARE(child<QLabel>(page, "lblTipologia")->text(), QStringLiteral("Ufficio"));
    QCOMPARE(child<QLabel>(page, "lblCarIncSpecif")->text(), QStringLiteral("450"));
    QCOMPARE(child<QLabel>(page, "lblFrattile")->text(), QStringLiteral("1,05"));
    QCOMPARE(child<QLabel>(page, "Valoreqf")->text(), QStringLiteral("472,5"));
}

void TestFireLoad::activityRefusals()
{
    TestWorld world;
    chooseMethod("Command1");
    auto &form = Screens::get<ValorePerAttivita>();
    click(child(form, "Command1"));
    QCOMPARE(world.prompt.messages.last(), QStringLiteral("Selezionare una tipologia in elenco"));

    auto *value = child<QLineEdit>(form, "txtValoreMJm2");
    typeInto(value, "0");
    QCOMPARE(value->text(), QString()); // 0,8 is emptied on its first character
    typeInto(value, "1");
    QCOMPARE(value->text(), QStringLiteral("1"));
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1,5");
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Inserire un valore attendibile del carico d'incendio"));

    // A value that starts with a number but is none survives while the factor is empty.
    typeInto(child(form, "ComboFrattile"), "");
    typeInto(value, "5a");
    QCOMPARE(value->text(), QStringLiteral("5a"));
    pickEntry(child<QComboBox>(form, "ComboFrattile"), "1,5");
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Inserire un valore attendibile del carico d'incendio"));

    auto *fractile = child<QComboBox>(form, "ComboFrattile");
    typeInto(fractile, "2,5");
    QCOMPARE(fractile->currentText(), QString());
    typeInto(fractile, "2");
    QCOMPARE(fractile->currentText(), QStringLiteral("2"));

    // Another activity empties the fractile, and Avanti asks for it.
    pickEntry(child<QComboBox>(form, "ComboAttivita"), "Biblioteca");
    QCOMPARE(fractile->currentText(), QString());
    click(child(form, "Command1"));
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Selezionare una tipologia in elenco e dopo il valore di Frattile"));
}

void TestFireLoad::materialsEntryAndArea()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    QCOMPARE(child<QComboBox>(form, "Combo1")->currentText(), QStringLiteral("1"));
    QCOMPARE(child<QComboBox>(form, "Combo2")->currentText(), QStringLiteral("1"));

    typeInto(child(form, "txtAreaComp"), "50");
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    QCOMPARE(child<QLineEdit>(form, "txtValorePerKg")->text(), QStringLiteral("17,5"));
    // Wood is cellulosic: m 0,8 is proposed, and the user may still choose 1.
    QCOMPARE(child<QComboBox>(form, "Combo1")->currentText(), QStringLiteral("0,8"));
    QCOMPARE(child<QLabel>(form, "lblFonte")->text(), QStringLiteral("EN 1991-1-2, tab. E.3"));
    pickEntry(child<QComboBox>(form, "Combo1"), "1");
    typeInto(child(form, "txtValorePerKg"), "17");
    typeInto(child(form, "txtQta"), "100");
    click(child(form, "Command4"));
    QCOMPARE(
        world.prompt.messages.last(),
        QStringLiteral("   inserimento riuscito    \nMateriale : Legno\nPotere Calorifico: 17\n"
                       "Quantità:  100\nFattore Psi:  1\nFattore m:  1"));
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("34"));
    QCOMPARE(child<QComboBox>(form, "ComboMat")->currentText(), QString());
    QCOMPARE(child<QLineEdit>(form, "txtQta")->text(), QStringLiteral("1"));

    // The same entry with m = 0,8 instead.
    QVERIFY(WorkingTables::clearMaterials());
    pickEntry(child<QComboBox>(form, "Combo1"), "0,8");
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    typeInto(child(form, "txtValorePerKg"), "17");
    typeInto(child(form, "txtQta"), "100");
    click(child(form, "Command4"));
    QCOMPARE(entriesTotal(), 1360.0);
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("27"));
    QCOMPARE(fireLoadNow(), 27.2);

    // q_f follows every keystroke in the area; 12,5 divides by 12.5.
    typeInto(child(form, "txtAreaComp"), "12,5");
    QCOMPARE(fireLoadNow(), 1360 / 12.5);

    click(child(form, "Command1"));
    QCOMPARE(child<QLineEdit>(Screens::get<FattoreRischio1>(), "txtDensCarInc")->text(),
             QStringLiteral("108"));
    QCOMPARE(fireLoadNow(), 108.8); // full precision for the design value
}

void TestFireLoad::materialsFieldChecks()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    auto *area = child<QLineEdit>(form, "txtAreaComp");
    typeInto(area, "0");
    QCOMPARE(area->text(), QString()); // 0,5 is emptied at once
    typeInto(area, "-");
    QCOMPARE(area->text(), QString()); // a negative area is no area
    auto *m = child<QComboBox>(form, "Combo1");
    typeInto(m, "0,8");
    QCOMPARE(m->currentText(), QString());
    auto *qta = child<QLineEdit>(form, "txtQta");
    typeInto(qta, "0");
    QCOMPARE(qta->text(), QStringLiteral("0"));

    // Missing data: refused, nothing stored.
    typeInto(m, "1");
    click(child(form, "Command4"));
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Prego inserisci correttamente tutti i campi richiesti."));
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), 0);

    // An area that passes the typing check but is no number gives no q_f.
    pickEntry(child<QComboBox>(form, "ComboMat"), "Carta");
    click(child(form, "Command4"));
    typeInto(area, "5a");
    QCOMPARE(fireLoadNow(), 0.0);
    QVERIFY(child<QLabel>(form, "qf")->isVisibleTo(&form));
    click(child(form, "Command1"));
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Prego inserire un valore attendibile di carico d'incendio"));
}

void TestFireLoad::materialComboRefusesUnknownTextByKeys()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    auto *combo = child<QComboBox>(form, "ComboMat");
    QTest::keyClicks(combo->lineEdit(), "Leg");
    QVERIFY(combo->currentText().startsWith("Leg"));
    QTest::keyClicks(combo->lineEdit(), "zzz");
    QCOMPARE(combo->currentText(), QString());
    QTest::keyClicks(combo->lineEdit(), "x");
    QCOMPARE(combo->currentText(), QString()); // the completer does not put an entry back
}

void TestFireLoad::materialsRowsSurviveTripBack()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    pickEntry(child<QComboBox>(form, "ComboMat"), "Carta");
    pickEntry(child<QComboBox>(form, "Combo1"), "1"); // not the 0,8 proposed for it
    click(child(form, "Command4"));
    click(child(form, "Command2"));
    chooseMethod("Command4");
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), 1);
    QCOMPARE(child<QLineEdit>(form, "txtAreaComp")->text(), QString());
    click(child(form, "Command1"));
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Prego inserire un valore attendibile di carico d'incendio"));
    typeInto(child(form, "txtAreaComp"), "10");
    QCOMPARE(fireLoadNow(), 2.0);
}

void TestFireLoad::furnishingsAndGoods()
{
    TestWorld world;
    chooseMethod("Command2");
    auto &fresh = Screens::get<ValorePerArredo>();
    typeInto(child(fresh, "txtAreaComp"), "100");
    pickEntry(child<QComboBox>(fresh, "ComboArredo"), "Materasso in cotone");
    QCOMPARE(child<QLineEdit>(fresh, "txtValoreMJPezzo")->text(), QStringLiteral("250"));
    typeInto(child(fresh, "txtValoreMJPezzo"), "600");
    typeInto(child(fresh, "txtQta"), "2");
    click(child(fresh, "Command4"));
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("inserimento riuscito\nArredo : Materasso in cotone\nPotere "
                            "Calorifico: 600\nQuantità:  2"));
    pickEntry(child<QComboBox>(fresh, "ComboMatDep"), "Carta");
    typeInto(child(fresh, "txtValoreMJm3"), "400");
    typeInto(child(fresh, "txtQtaMerce"), "10");
    click(child(fresh, "CheckImballo"));
    click(child(fresh, "Command7"));
    QCOMPARE(entriesTotal(), 1200 + 1.1 * 4000);
    QCOMPARE(child<QLabel>(fresh, "Valoreqf")->text(), QStringLiteral("56"));
    QVERIFY(!child<QCheckBox>(fresh, "CheckImballo")->isChecked());

    click(child(fresh, "Command1"));
    QCOMPARE(WorkingTables::rowCount("tblStampaArredo"), 1);
    QCOMPARE(WorkingTables::rowCount("tblStampaMatInDep"), 1);
    QCOMPARE(child<QLabel>(Screens::get<StampaArredoMerci>(), "Valoreqf")->text(),
             QStringLiteral("56"));

    // Indietro on the furnishings screen discards its entries.
    click(child(Screens::get<FattoreRischio1>(), "Command1"));
    click(child(fresh, "Command2"));
    QCOMPARE(WorkingTables::rowCount("tblAppoggio"), 0);
}

void TestFireLoad::furnishingsRefusals()
{
    TestWorld world;
    chooseMethod("Command2");
    auto &form = Screens::get<ValorePerArredo>();
    auto *pieces = child<QLineEdit>(form, "txtQta");
    typeInto(pieces, "0");
    QCOMPARE(pieces->text(), QString()); // half a piece is emptied at once
    click(child(form, "Command4"));
    QCOMPARE(world.prompt.messages.first(),
             QStringLiteral("Prego inserisci correttamente tutti i campi richiesti."));
    click(child(form, "Command1"));
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Prego inserire un valore attendibile di carico d'incendio"));
}

void TestFireLoad::fractileTypedKeyByKey()
{
    TestWorld world;
    chooseMethod("Command1");
    auto &form = Screens::get<ValorePerAttivita>();
    typeInto(child(form, "txtValoreMJm2"), "300");
    auto *fractile = child<QComboBox>(form, "ComboFrattile");
    fractile->lineEdit()->clear();
    QTest::keyClicks(fractile->lineEdit(), "1,15");
    QCOMPARE(fractile->currentText(), QStringLiteral("1,15"));
    // The value is multiplied again when it changes while a factor is shown: 1.15 * 300 = 345.
    typeInto(child(form, "txtValoreMJm2"), "300");
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("345"));
}

void TestFireLoad::gridViewerWritesBackAndRecomputes()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    pickEntry(child<QComboBox>(form, "ComboMat"), "Carta");
    pickEntry(child<QComboBox>(form, "Combo1"), "1"); // not the 0,8 proposed for it
    typeInto(child(form, "txtQta"), "10");
    click(child(form, "Command4"));
    typeInto(child(form, "txtAreaComp"), "3");
    QCOMPARE(entriesTotal(), 200.0);

    click(child(form, "Command5"));
    auto &viewer = Screens::get<VisualTabMat>();
    QAbstractItemModel *model = viewer.model();
    const int quantity = 5; // rowid, Materiale, ValorePerKg, FattorePsi, Fattore_m, QtaMat
    QVERIFY(model->setData(model->index(0, quantity), "12,5"));
    QCOMPARE(model->index(0, quantity).data().toString(), QStringLiteral("12,5"));
    QVERIFY(!model->setData(model->index(0, quantity), "dodici")); // refused, value kept
    QVERIFY(!model->setData(model->index(0, quantity), "-12,5"));
    QCOMPARE(model->index(0, quantity).data().toString(), QStringLiteral("12,5"));
    // Each refusal is said, as the entry screen says it.
    QCOMPARE(world.prompt.messages.mid(1),
             QStringList(2, "Prego inserisci correttamente tutti i campi richiesti."));
    viewer.close();
    // 20 * 12.5 / 3, shown with its decimals after the viewer closes.
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("83,3333333333333"));

    // An emptied cell stores an empty text: the row then adds nothing and raises no message.
    click(child(form, "Command5"));
    QAbstractItemModel *again = Screens::get<VisualTabMat>().model();
    QVERIFY(again->setData(again->index(0, 2), ""));
    Screens::get<VisualTabMat>().close();
    QCOMPARE(entriesTotal(), 0.0);
    // The entry's confirmation, then the reason of each refused edit; the emptied cell says none.
    QCOMPARE(world.prompt.messages.size(), 3);
    QCOMPARE(world.prompt.messages.at(1),
             QStringLiteral("Prego inserisci correttamente tutti i campi richiesti."));
}

// Typing into a chooser as a user does, through the widget a click focuses: a text that begins
// no entry, or a factor outside its range, leaves the chooser empty with nothing picked.
void TestFireLoad::choosersKeepRefusedTextsEmpty()
{
    TestWorld world;
    chooseMethod("Command1");
    auto &activityForm = Screens::get<ValorePerAttivita>();
    auto *activity = child<QComboBox>(activityForm, "ComboAttivita");
    clickAndType(activity, "z");
    QCOMPARE(activity->currentText(), QString());
    QCOMPARE(child<QLineEdit>(activityForm, "txtValoreMJm2")->text(), QString());
    QCOMPARE(calculation().activity.name, QString());
    clickAndType(activity, "Uffic");
    QCOMPARE(activity->currentText(), QStringLiteral("Ufficio")); // completed and picked
    QCOMPARE(child<QLineEdit>(activityForm, "txtValoreMJm2")->text(), QStringLiteral("420"));

    auto *fractile = child<QComboBox>(activityForm, "ComboFrattile");
    clickAndType(fractile, "2,5");
    QCOMPARE(fractile->currentText(), QString());
    QCOMPARE(fractile->currentIndex(), -1);
    clickAndType(fractile, "1,25");
    QCOMPARE(fractile->currentText(), QStringLiteral("1,25"));
    QCOMPARE(child<QLabel>(activityForm, "Valoreqf")->text(), QStringLiteral("525"));

    chooseMethod("Command4");
    auto &materials = Screens::get<ValorePerMateriale>();
    auto *material = child<QComboBox>(materials, "ComboMat");
    clickAndType(material, "q");
    QCOMPARE(material->currentText(), QString());
    QCOMPARE(child<QLineEdit>(materials, "txtValorePerKg")->text(), QString());
    auto *m = child<QComboBox>(materials, "Combo1");
    clickAndType(m, "0");
    QCOMPARE(m->currentText(), QString());
    QCOMPARE(m->currentIndex(), -1);

    chooseMethod("Command2");
    auto &furnishings = Screens::get<ValorePerArredo>();
    for (const char *name : {"ComboArredo", "ComboMatDep"}) {
        auto *combo = child<QComboBox>(furnishings, name);
        clickAndType(combo, QStringLiteral("§"));
        QCOMPARE(combo->currentText(), QString());
    }
    QCOMPARE(child<QLineEdit>(furnishings, "txtValoreMJPezzo")->text(), QString());
    QCOMPARE(child<QLineEdit>(furnishings, "txtValoreMJm3")->text(), QString());
}

// Clicks a cell of a grid viewer and types into whatever took the focus, then presses `key`.
static void editCell(QTableView *grid, int row, int column, const QString &text, Qt::Key key)
{
    const QModelIndex index = grid->model()->index(row, column);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    QCOMPARE(grid->currentIndex(), index);
    for (const QChar c : text) // the first key opens the editor, which takes the rest
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    QTest::keyClick(QApplication::focusWidget(), key);
    QCoreApplication::processEvents(); // the editor hands its text over once the key is handled
}

void TestFireLoad::gridViewersEditThroughTheView()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    for (const char *name : {"Carta", "Legno"}) {
        pickEntry(child<QComboBox>(form, "ComboMat"), name);
        clickAndType(child(form, "txtQta"), "10");
        click(child(form, "Command4"));
    }
    clickAndType(child(form, "txtAreaComp"), "10");
    click(child(form, "Command5"));
    auto &materials = Screens::get<VisualTabMat>();
    materials.activateWindow();
    QApplication::setActiveWindow(&materials);
    auto *grid = child<QTableView>(materials, "DataGrid1");
    QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget())); // no editor opens by itself

    const int quantity = 5; // rowid, Materiale, ValorePerKg, FattorePsi, Fattore_m, QtaMat
    editCell(grid, 1, quantity, "7,5", Qt::Key_Return);
    QCOMPARE(grid->model()->index(1, quantity).data().toString(), QStringLiteral("7,5"));
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, quantity));
    editCell(grid, 0, quantity, "dodici", Qt::Key_Tab); // refused: the old value stays
    QCOMPARE(grid->model()->index(0, quantity).data().toString(), QStringLiteral("10"));
    QCOMPARE(grid->currentIndex(), grid->model()->index(0, quantity + 1)); // Tab: to the MJ
    materials.close();
    // (20 * 10 + 17,5 * 7,5) * 0,8 / 10: both are cellulosic
    QCOMPARE(fireLoadNow(), 26.5);

    chooseMethod("Command2");
    auto &furnishings = Screens::get<ValorePerArredo>();
    clickAndType(child(furnishings, "txtAreaComp"), "100");
    for (int i = 0; i < 2; ++i) {
        pickEntry(child<QComboBox>(furnishings, "ComboArredo"), "Materasso in cotone");
        clickAndType(child(furnishings, "txtQta"), "2");
        click(child(furnishings, "Command4"));
    }
    click(child(furnishings, "Command5"));
    auto &pieces = Screens::get<VisualTabAppoggio>();
    pieces.activateWindow();
    QApplication::setActiveWindow(&pieces);
    auto *piecesGrid = child<QTableView>(pieces, "DataGrid1");
    const int pieceCount = 3; // rowid, Arredo, ValorePerPezzo, QtaArredo
    editCell(piecesGrid, 1, pieceCount, "6", Qt::Key_Enter);
    QCOMPARE(piecesGrid->model()->index(1, pieceCount).data().toString(), QStringLiteral("6"));
    QCOMPARE(piecesGrid->currentIndex(), piecesGrid->model()->index(1, pieceCount));
    pieces.close();
    // 250 * (2 + 6) / 100
    QCOMPARE(fireLoadNow(), 20.0);
    QCOMPARE(child<QLabel>(furnishings, "Valoreqf")->text(), QStringLiteral("20"));
}

// A long table keeps its scroll position and current cell while a far row is edited.
void TestFireLoad::gridViewerKeepsItsPlace()
{
    TestWorld world;
    chooseMethod("Command4");
    for (int i = 0; i < 80; ++i)
        QVERIFY(WorkingTables::appendMaterial(i + 1, QStringLiteral("M%1").arg(i), 17.0, 1.0, 1.0,
                                              1.0));
    click(child(Screens::get<ValorePerMateriale>(), "Command5"));
    auto &viewer = Screens::get<VisualTabMat>();
    viewer.activateWindow();
    QApplication::setActiveWindow(&viewer);
    auto *grid = child<QTableView>(viewer, "DataGrid1");
    editCell(grid, 70, 5, "3", Qt::Key_Return);
    const int scrolled = grid->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    editCell(grid, 69, 5, "4", Qt::Key_Return); // in sight already: nothing scrolls
    QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
    QCOMPARE(grid->currentIndex(), grid->model()->index(69, 5));
    QCOMPARE(grid->model()->index(70, 5).data().toString(), QStringLiteral("3"));
    QCOMPARE(grid->model()->index(69, 5).data().toString(), QStringLiteral("4"));
}

// The entries under the materials screen's fields: edited in place under the rules of a new entry,
// deleted with Canc; the sum and q_f follow at once, and the entries are still there after
// Indietro and back.
void TestFireLoad::entriesTableEditsDeletesAndStays()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    clickAndType(child(form, "txtAreaComp"), "10");
    for (const char *name : {"Carta", "Legno"}) { // m 0,8 proposed for both
        pickEntry(child<QComboBox>(form, "ComboMat"), name);
        clickAndType(child(form, "txtQta"), "10");
        click(child(form, "Command4"));
    }
    auto *table = child<QTableView>(form, "DataGridVoci");
    auto *total = child<QLabel>(form, "lblTotaleVoci");
    QCOMPARE(table->model()->rowCount(), 2);
    QCOMPARE(table->model()->index(1, 0).data().toString(), QStringLiteral("Legno"));
    QCOMPARE(table->model()->index(1, 1).data().toString(), QStringLiteral("17,5 MJ/kg"));
    QCOMPARE(table->model()->index(1, 2).data().toString(), QStringLiteral("10 kg"));
    QCOMPARE(table->model()->index(1, 5).data().toString(), QStringLiteral("140")); // MJ
    QCOMPARE(table->model()->index(1, 7).data().toString(),
             QStringLiteral("EN 1991-1-2, tab. E.3"));
    QCOMPARE(total->text(), QStringLiteral("Totale: 300 MJ (2 voci)"));
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("30"));

    form.activateWindow();
    QApplication::setActiveWindow(&form);
    editCell(table, 0, 2, "40", Qt::Key_Return); // 40 kg of paper
    QCOMPARE(table->model()->index(0, 2).data().toString(), QStringLiteral("40 kg"));
    QCOMPARE(fireLoadNow(), (20 * 40 * 0.8 + 140) / 10);
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("78"));
    QCOMPARE(WorkingTables::materials()->first().quantity, Amount::number(40));
    // A value a new entry could not have is refused with its reason; the cell keeps its own.
    editCell(table, 0, 3, "5", Qt::Key_Return);
    QCOMPARE(world.prompt.messages.last(), QStringLiteral("Il fattore ψ può valere 0, 0,85 o 1."));
    QCOMPARE(table->model()->index(0, 3).data().toString(), QStringLiteral("1"));
    editCell(table, 0, 1, "0,5", Qt::Key_Return);
    QCOMPARE(table->model()->index(0, 1).data().toString(), QStringLiteral("20 MJ/kg"));
    // A value typed over the catalogue's is the user's.
    editCell(table, 1, 1, "18", Qt::Key_Return);
    QCOMPARE(table->model()->index(1, 7).data().toString(),
             QStringLiteral("valore inserito dall'utente"));

    // Canc deletes the chosen entry: q_f follows at once.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(table->model()->rowCount(), 1);
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), 1);
    QCOMPARE(fireLoadNow(), 18 * 10 * 0.8 / 10);
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("14"));
    QCOMPARE(total->text(), QStringLiteral("Totale: 144 MJ (1 voce)"));

    // Indietro and back: the entry is still in sight, and it is what counts.
    click(child(form, "Command2"));
    chooseMethod("Command4");
    QCOMPARE(table->model()->rowCount(), 1);
    QCOMPARE(table->model()->index(0, 0).data().toString(), QStringLiteral("Legno"));
    clickAndType(child(form, "txtAreaComp"), "12");
    QCOMPARE(fireLoadNow(), 144 / 12.0);
}

// Each entry added comes in as a new row of the screen's table and of an open grid viewer: the
// chosen row stays chosen, every share follows the new total, and an edit or a Canc afterwards
// reaches the right entry with nothing lost.
void TestFireLoad::addedEntriesJoinTheTable()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    clickAndType(child(form, "txtAreaComp"), "7");
    const auto add = [&](const char *name, const char *kilograms) {
        pickEntry(child<QComboBox>(form, "ComboMat"), name);
        clickAndType(child(form, "txtQta"), kilograms);
        click(child(form, "Command4"));
    };
    add("Carta", "10"); // 20 * 10 * 0,8 = 160 MJ
    auto *table = child<QTableView>(form, "DataGridVoci");
    auto *total = child<QLabel>(form, "lblTotaleVoci");
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    click(child(form, "Command5"));
    auto *grid = child<QTableView>(Screens::get<VisualTabMat>(), "DataGrid1");

    add("Legno", "10"); // 140 MJ
    add("Carta", "5");  // 80 MJ
    QCOMPARE(table->model()->rowCount(), 3);
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(table->currentIndex(), table->model()->index(0, 0));
    QCOMPARE(table->model()->index(2, 2).data().toString(), QStringLiteral("5 kg"));
    const int share = 6;
    for (const auto &[row, load] : {std::pair{0, 160.0}, {1, 140.0}, {2, 80.0}})
        QCOMPARE(table->model()->index(row, share).data().toString(),
                 CalculationTexts::share(load, 380));
    QCOMPARE(total->text(), QStringLiteral("Totale: 380 MJ (3 voci)"));
    // q_f as the area gives it after an addition: its integer part.
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("54"));

    form.activateWindow();
    QApplication::setActiveWindow(&form);
    editCell(table, 2, 2, "15", Qt::Key_Return); // 240 MJ
    QCOMPARE(grid->model()->index(2, 5).data().toString(), QStringLiteral("15"));
    QCOMPARE(total->text(), QStringLiteral("Totale: 540 MJ (3 voci)"));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(table->model()->rowCount(), 2);
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(table->model()->index(0, 0).data().toString(), QStringLiteral("Legno"));
    QCOMPARE(total->text(), QStringLiteral("Totale: 380 MJ (2 voci)"));
    QCOMPARE(fireLoadNow(), 380 / 7.0);
    // The calculation, the working table and both tables hold the same entries.
    const auto kept = WorkingTables::materials();
    QVERIFY(kept);
    QCOMPARE(*kept, calculation().materials);
    QCOMPARE(calculation().materials.size(), 2);
    QCOMPARE(calculation().materials.last().quantity, Amount::number(15));
}

void TestFireLoad::furnishingsTableShowsSourcesAndDeletes()
{
    TestWorld world;
    chooseMethod("Command2");
    auto &form = Screens::get<ValorePerArredo>();
    clickAndType(child(form, "txtAreaComp"), "100");
    pickEntry(child<QComboBox>(form, "ComboArredo"), "Materasso in cotone");
    QCOMPARE(child<QLabel>(form, "lblFonteArredo")->text(),
             QStringLiteral("massa da NFPA 921 × H da EN 1991-1-2, tab. E.3"));
    clickAndType(child(form, "txtQta"), "2");
    click(child(form, "Command4"));
    pickEntry(child<QComboBox>(form, "ComboMatDep"), "Carta");
    clickAndType(child(form, "txtValoreMJm3"), "400");
    QCOMPARE(child<QLabel>(form, "lblFonteMerce")->text(),
             QStringLiteral("valore inserito dall'utente"));
    clickAndType(child(form, "txtQtaMerce"), "10");
    click(child(form, "CheckImballo"));
    click(child(form, "Command7"));

    auto *table = child<QTableView>(form, "DataGridVoci");
    QAbstractItemModel *model = table->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("250 MJ/pezzo"));
    QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("2 pezzi"));
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("400 MJ/m³"));
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("10 m³"));
    QCOMPARE(model->index(1, 3).data().toString(), QStringLiteral("1,1"));
    QCOMPARE(model->index(1, 4).data().toString(), QStringLiteral("4400"));
    QCOMPARE(model->index(1, 5).data().toString(), QStringLiteral("89,8")); // 4400 of 4900

    form.activateWindow();
    QApplication::setActiveWindow(&form);
    editCell(table, 1, 3, "1,5", Qt::Key_Return);
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Il fattore di imballaggio può valere 1 o 1,1."));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(model->index(1, 0)).center());
    click(child(form, "cmdEliminaVoce"));
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(entriesTotal(), 500.0);
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("5"));

    // The grid viewer shows the same entries, with the MJ of each and the total.
    click(child(form, "Command5"));
    auto &viewer = Screens::get<VisualTabAppoggio>();
    QCOMPARE(viewer.model()->headerData(2, Qt::Horizontal).toString(),
             QStringLiteral("Carico per pezzo [MJ/pezzo]"));
    QCOMPARE(viewer.model()->index(0, 8).data().toString(), QStringLiteral("500"));
    QCOMPARE(child<QLabel>(viewer, "lblTotale")->text(), QStringLiteral("Totale: 500 MJ (1 voce)"));
}

// A word inside a name, letter case and accents aside, opens the list of the entries it
// begins a word of; picking one fills its value as a click in the chooser does.
void TestFireLoad::chooserFindsAnyWord()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    auto *combo = child<QComboBox>(form, "ComboMat");
    clickAndType(combo, "nylon");
    QCOMPARE(combo->currentText(), QStringLiteral("nylon")); // kept: it leads to an entry
    QAbstractItemView *offered = combo->completer()->popup();
    QVERIFY(offered->isVisible());
    QCOMPARE(combo->completer()->completionCount(), 1);
    QCOMPARE(combo->completer()->currentCompletion(), QStringLiteral("Poliammide 6.6 (nylon)"));
    QTest::keyClick(offered, Qt::Key_Down);
    QTest::keyClick(offered, Qt::Key_Return);
    QCOMPARE(combo->currentText(), QStringLiteral("Poliammide 6.6 (nylon)"));
    QCOMPARE(child<QLineEdit>(form, "txtValorePerKg")->text(), QStringLiteral("29"));

    // The start of a name is still completed in place, with no list.
    clickAndType(combo, "Cart");
    QCOMPARE(combo->currentText(), QStringLiteral("Carta"));
    QVERIFY(!offered->isVisible());

    chooseMethod("Command2");
    auto *goods = child<CatalogCombo>(Screens::get<ValorePerArredo>(), "ComboMatDep");
    clickAndType(goods, QStringLiteral("ABETE"));
    QVERIFY(goods->completer()->popup()->isVisible());
    QVERIFY(goods->completer()->currentCompletion().contains(QStringLiteral("di abete rosso")));
    QVERIFY(goods->leadsToAnEntry(QStringLiteral("àbete")));
    QVERIFY(!goods->leadsToAnEntry(QStringLiteral("bete"))); // inside a word: no
}

void TestFireLoad::cataloguesInItalianOrder()
{
    TestWorld world;
    chooseMethod("Command4");
    auto *combo = child<QComboBox>(Screens::get<ValorePerMateriale>(), "ComboMat");
    const auto before = [&](const QString &a, const QString &b) {
        return combo->findText(a) >= 0 && combo->findText(a) < combo->findText(b);
    };
    QVERIFY(before("Paglia", "PVC (cloruro di polivinile)"));
    QVERIFY(before(QStringLiteral("Tè"), "Toluene"));
    QVERIFY(before("Carta", "Legno"));
    // A pick still gives the value of the entry picked, not of the row the database had.
    pickEntry(combo, QStringLiteral("Tè"));
    QCOMPARE(child<QLineEdit>(Screens::get<ValorePerMateriale>(), "txtValorePerKg")->text(),
             QStringLiteral("17"));
}

// A value the entry screens refuse is refused in the grid too, with the reason in a box; the cell
// keeps its old value.
void TestFireLoad::gridViewersFollowTheEntryRules_data()
{
    QTest::addColumn<bool>("materials");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    // Materials: rowid, Materiale, ValorePerKg, FattorePsi, Fattore_m, QtaMat.
    QTest::newRow("psi 5") << true << 3 << "5"
                           << "Il fattore ψ può valere 0, 0,85 o 1.";
    QTest::newRow("psi 85 for 0,85") << true << 3 << "85"
                                     << "Il fattore ψ può valere 0, 0,85 o 1.";
    QTest::newRow("m 0,3") << true << 4 << "0,3"
                           << "Il fattore m può valere 0,8 o 1.";
    QTest::newRow("m 1000") << true << 4 << "1000"
                            << "Il fattore m può valere 0,8 o 1.";
    QTest::newRow("negative quantity") << true << 5 << "-4"
                                       << "Prego inserisci correttamente tutti i campi richiesti.";
    // Furnishings: rowid, Arredo, ValorePerPezzo, QtaArredo, MaterialeInDeposito, ValorePerM3,
    // QtaMerce, Imballo.
    QTest::newRow("packaging 3") << false << 7 << "3"
                                 << "Il fattore di imballaggio può valere 1 o 1,1.";
}

void TestFireLoad::gridViewersFollowTheEntryRules()
{
    QFETCH(bool, materials);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TestWorld world;
    GridViewer *viewer = nullptr;
    if (materials) {
        chooseMethod("Command4");
        enterExampleMaterials();
        click(child(Screens::get<ValorePerMateriale>(), "Command5"));
        viewer = &Screens::get<VisualTabMat>();
    } else {
        chooseMethod("Command2");
        auto &form = Screens::get<ValorePerArredo>();
        clickAndType(child(form, "txtAreaComp"), "100");
        pickEntry(child<QComboBox>(form, "ComboMatDep"), "Carta");
        clickAndType(child(form, "txtValoreMJm3"), "400");
        click(child(form, "Command7"));
        click(child(form, "Command5"));
        viewer = &Screens::get<VisualTabAppoggio>();
    }
    const double before = fireLoadNow();
    viewer->activateWindow();
    QApplication::setActiveWindow(viewer);
    auto *grid = child<QTableView>(*viewer, "DataGrid1");
    const QString old = grid->model()->index(0, column).data().toString();
    world.prompt.messages.clear();
    editCell(grid, 0, column, typed, Qt::Key_Return);
    QCOMPARE(world.prompt.messages, QStringList{message});
    QCOMPARE(grid->model()->index(0, column).data().toString(), old);
    viewer->close();
    QCOMPARE(fireLoadNow(), before);
}

// Legno 1000 kg on 30 m², then H 1e308 and 10 kg typed in the grid: the sum is no number. The
// screen shows no q_f (never 0), and Avanti refuses as it does without one.
void TestFireLoad::overflowingEntryLeavesNoFireLoad()
{
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    clickAndType(child(form, "txtAreaComp"), "30");
    pickEntry(child<QComboBox>(form, "ComboMat"), "Legno");
    clickAndType(child(form, "txtQta"), "1000");
    click(child(form, "Command4"));
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("466")); // m 0,8
    click(child(form, "Command5"));
    auto &viewer = Screens::get<VisualTabMat>();
    viewer.activateWindow();
    QApplication::setActiveWindow(&viewer);
    auto *grid = child<QTableView>(viewer, "DataGrid1");
    editCell(grid, 0, 2, "1e308", Qt::Key_Return);
    editCell(grid, 0, 5, "10", Qt::Key_Return);
    world.prompt.messages.clear();
    viewer.close();
    QVERIFY(world.prompt.messages.contains(
        "Il carico d'incendio risulta troppo grande per essere calcolato: controllare i dati "
        "inseriti."));
    QVERIFY(!fireLoad(calculation()));
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QString());
    QVERIFY(!child<QLabel>(form, "qf")->isHidden());
    world.prompt.messages.clear();
    click(child(form, "Command1"));
    QCOMPARE(world.prompt.messages,
             QStringList{"Prego inserire un valore attendibile di carico d'incendio"});
    QVERIFY(!Screens::get<FattoreRischio1>().isVisible());
    QVERIFY(form.isVisible());
}

QTEST_MAIN(TestFireLoad)
#include "tst_fireload.moc"
