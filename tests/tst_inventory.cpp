// Lists of entries read from and written to spreadsheet files: the CSV reader, the rules each
// row is read under, the preview the user imports through, and export then import again.
#include "core/calculationsession.h"
#include "core/italiannumbers.h"
#include "data/csvreader.h"
#include "data/inventoryfile.h"
#include "testsupport.h"
#include "ui/app/screens.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valorepermateriale.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

class TestInventory : public QObject
{
    Q_OBJECT
private slots:
    void recordsKeepQuotedSeparatorsAndBreaks();
    void separatorAndEncodingFound_data();
    void separatorAndEncodingFound();
    void rowsReadUnderTheEntryRules_data();
    void rowsReadUnderTheEntryRules();
    void headingsFoundInAnyOrder();
    void missingColumnRefusesTheFile();
    void writtenListReadsBackTheSame();
    void excelListImportedThroughPreview();
    void cancelledPreviewAddsNothing();
    void exportThenImportGivesTheSameList();
    void furnishingsExportThenImport();
};

namespace {

// Text as Excel for Windows saves it in Italy: Windows-1252 (only Latin-1 letters are used
// here, plus the typographic apostrophe at 0x92), CR LF.
QByteArray windows1252(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        if (c == QChar(0x2019))
            bytes += char(0x92);
        else
            bytes += char(c.unicode() < 256 ? c.unicode() : '?');
    }
    return bytes;
}

QString writeTemp(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

QWidget *preview()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("AnteprimaImportazione") && window->isVisible())
            return window;
    }
    return nullptr;
}

QString cell(QTableView *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

// Imports `path` on `screen` through its button and the preview; presses `button` there.
QTableView *openPreview(QWidget &screen, TestWorld &world, const QString &path)
{
    world.prompt.files << path;
    click(child(screen, "cmdImportaElenco"));
    QWidget *window = preview();
    return window ? child<QTableView>(*window, "DataGridAnteprima") : nullptr;
}

void importThrough(QWidget &screen, TestWorld &world, const QString &path)
{
    QVERIFY(openPreview(screen, world, path));
    click(child(*preview(), "cmdImporta"));
    QVERIFY(!preview());
}

const InventoryFile::CatalogueIndex &someMaterials()
{
    static const auto index =
        InventoryFile::indexByName({{QStringLiteral("Legno"), 17.5}, {QStringLiteral("Tè"), 17}});
    return index;
}

} // namespace

void TestInventory::recordsKeepQuotedSeparatorsAndBreaks()
{
    const auto records = CsvReader::records(
        QStringLiteral("a;b\r\n\"x;y\";\"due\r\nrighe\"\r\n\r\n\"detto \"\"così\"\"\";3\n"),
        QLatin1Char(';'));
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[1].fields, (QStringList{"x;y", "due\nrighe"}));
    QCOMPARE(records[2].line, 5); // the line it starts on, after a break inside quotes
    QCOMPARE(records[2].fields, (QStringList{"detto \"così\"", "3"}));
    const QString line = CsvReader::line({"x;y", "a \"b\"", "due\nrighe", "17,5"}, ';');
    QCOMPARE(CsvReader::parse(line, QLatin1Char(';')).first(),
             (QStringList{"x;y", "a \"b\"", "due\nrighe", "17,5"}));
}

void TestInventory::separatorAndEncodingFound_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("separator");
    const QString text = QStringLiteral("Materiale;Quantità (kg)\r\nTè;1,5\r\n");
    QTest::newRow("UTF-8") << text.toUtf8() << ";";
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << ";";
    QTest::newRow("Windows-1252") << windows1252(text) << ";";
    QTest::newRow("comma and point")
        << QStringLiteral("Materiale,Quantità (kg)\nTè,1.5\n").toUtf8() << ",";
}

void TestInventory::separatorAndEncodingFound()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, separator);
    const QString text = CsvReader::decode(bytes);
    QCOMPARE(QString(CsvReader::guessSeparator(text)), separator);
    QVERIFY(text.startsWith(QStringLiteral("Materiale"))); // no BOM left
    const auto reading = InventoryFile::readMaterials(bytes, someMaterials());
    QCOMPARE(reading.error, QString());
    QCOMPARE(reading.rows.size(), 1);
    QCOMPARE(reading.rows[0].refusal, QString());
    QCOMPARE(reading.rows[0].entry, (MaterialEntry{"Tè", Amount::number(17), Amount::number(1.5),
                                                   Amount::number(1), Amount::number(1)}));
    QCOMPARE(CsvReader::decode(QByteArray("\x92\x80")), QStringLiteral("’€"));
}

void TestInventory::rowsReadUnderTheEntryRules_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("refusal"); // empty: taken
    QTest::addColumn<double>("load");
    QTest::newRow("all given") << "Carta;20;10;0,85;0,8"
                               << "" << 20 * 10 * 0.85 * 0.8;
    QTest::newRow("value from the catalogue") << "legno;;100;;"
                                              << "" << 1750.0;
    QTest::newRow("accents aside") << "TE;;2;1;1"
                                   << "" << 34.0;
    QTest::newRow("grouped thousands") << "Carta;20;1.000;1;1"
                                       << "" << 20000.0;
    QTest::newRow("point in an Italian file") << "Carta;20;0.5;1;0.8"
                                              << "" << 8.0;
    QTest::newRow("no name") << ";20;1;1;1"
                             << "manca il nome del materiale" << 0.0;
    QTest::newRow("unknown, no value")
        << "Ossidiana;;1;1;1"
        << "manca il potere calorifico, e «Ossidiana» non è nel catalogo dei materiali" << 0.0;
    QTest::newRow("value not a number") << "Carta;venti;1;1;1"
                                        << "il potere calorifico non è un numero: «venti»" << 0.0;
    QTest::newRow("value below 1") << "Carta;0,5;1;1;1"
                                   << "il potere calorifico è inferiore a 1 MJ/kg" << 0.0;
    QTest::newRow("no quantity") << "Carta;20;;1;1"
                                 << "manca la quantità" << 0.0;
    QTest::newRow("negative quantity") << "Carta;20;-3;1;1"
                                       << "la quantità è negativa" << 0.0;
    QTest::newRow("psi") << "Carta;20;1;0,5;1"
                         << "ψ deve essere 0, 0,85 o 1, non «0,5»" << 0.0;
    QTest::newRow("m") << "Carta;20;1;1;0,9"
                       << "m deve essere 1 o 0,8, non «0,9»" << 0.0;
    QTest::newRow("control character") << QStringLiteral("Carta\u0007;20;1;1;1")
                                       << "Il nome contiene caratteri di controllo." << 0.0;
    QTest::newRow("too large") << "Carta;1e308;1e308;1;1"
                               << "il carico d'incendio risulta troppo grande per essere calcolato"
                               << 0.0;
}

void TestInventory::rowsReadUnderTheEntryRules()
{
    QFETCH(QString, row);
    QFETCH(QString, refusal);
    QFETCH(double, load);
    const QString text = QStringLiteral("Materiale;Potere calorifico (MJ/kg);Quantità (kg);psi;m\n"
                                        "%1\n")
                             .arg(row);
    const auto reading = InventoryFile::readMaterials(text.toUtf8(), someMaterials());
    QCOMPARE(reading.rows.size(), 1);
    QCOMPARE(reading.rows[0].refusal, refusal);
    QCOMPARE(reading.rows[0].line, 2);
    if (refusal.isEmpty())
        QCOMPARE(entryFireLoad(reading.rows[0].entry), load);
}

void TestInventory::headingsFoundInAnyOrder()
{
    // Columns this program does not know are left aside; the others go by their meaning.
    const QString text = QStringLiteral("Note,M,QUANTITA',Descrizione,Psi,H (MJ/kg)\n"
                                        "x,0.8,10,Carta,0.85,20\n");
    const auto reading = InventoryFile::readMaterials(text.toUtf8(), someMaterials());
    QCOMPARE(reading.error, QString());
    QCOMPARE(reading.accepted(),
             (QVector<MaterialEntry>{{"Carta", Amount::number(20), Amount::number(10),
                                      Amount::number(0.85), Amount::number(0.8)}}));
}

void TestInventory::missingColumnRefusesTheFile()
{
    auto reading = InventoryFile::readMaterials("Materiale;Peso\nCarta;3\n", someMaterials());
    QCOMPARE(reading.error,
             QStringLiteral("Nel file manca la colonna \"Quantità (kg)\" nella prima riga."));
    QVERIFY(reading.rows.isEmpty());
    reading = InventoryFile::readMaterials(QByteArray(), someMaterials());
    QCOMPARE(reading.error, QStringLiteral("Il file è vuoto."));
    const auto furnishings = InventoryFile::readFurnishings("Arredo;Valore\nSedia;3\n", {}, {});
    QCOMPARE(furnishings.error,
             QStringLiteral("Nel file manca la colonna \"Pezzi\" nella prima riga."));
}

void TestInventory::writtenListReadsBackTheSame()
{
    const QVector<MaterialEntry> materials = {
        {"Cartone; imballaggi \"pesanti\"", Amount::number(16.5), Amount::number(1234.125),
         Amount::number(0.85), Amount::number(0.8)},
        {"Tè", Amount::number(17), Amount::number(0), Amount::number(0), Amount::number(1)}};
    QCOMPARE(InventoryFile::readMaterials(InventoryFile::writeMaterials(materials), {}).accepted(),
             materials);

    FurnishingEntry chair;
    chair.furnishing = "Sedia";
    chair.valuePerPiece = Amount::number(70);
    chair.pieces = Amount::number(12);
    FurnishingEntry paper;
    paper.goods = "Carta";
    paper.valuePerM3 = Amount::number(8400);
    paper.volume = Amount::number(2.5);
    paper.packaging = Amount::number(1.1);
    FurnishingEntry both = chair;
    both.goods = "Cartone";
    both.valuePerM3 = Amount::number(400);
    both.volume = Amount::number(1);
    both.packaging = Amount::number(1);
    const QVector<FurnishingEntry> furnishings = {chair, paper, both};
    const QByteArray bytes = InventoryFile::writeFurnishings(furnishings);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"
                             "Arredo;Potere calorifico (MJ/pezzo);Pezzi;"));
    QCOMPARE(InventoryFile::readFurnishings(bytes, {}, {}).accepted(), furnishings);
}

// 150 rows as Excel writes them in Italy; every tenth row cannot be taken, each for its reason.
void TestInventory::excelListImportedThroughPreview()
{
    TestWorld world;
    QTemporaryDir dir;
    QString text = QStringLiteral("Descrizione;Quantità (kg);Potere calorifico (MJ/kg);PSI;M\r\n");
    double expected = 0;
    QMap<int, QString> refusals; // by row of the preview
    const QStringList wrong = {"Ossidiana;3;;1;1", "Carta;tre;20;1;1",   "Carta;3;20;0,5;1",
                               "Carta;3;20;1;0,5", "Carta;-1;20;1;1",    ";3;20;1;1",
                               "Carta;3;0,2;1;1",  "Carta;;20;1;1",      "Carta;3;20,5,1;1;1",
                               "Basalto;3;;1;1",   "Carta;3;20;2;1",     "Carta;3;20;1;1,2",
                               "Stoffa;3;x;1;1",   "Carta;3,5kg;20;1;1", "Carta;1;-20;1;1"};
    for (int i = 1; i <= 150; ++i) {
        if (i % 10 == 0) {
            text += wrong.at(i / 10 - 1) + QStringLiteral("\r\n");
            refusals.insert(i - 1, QString());
            continue;
        }
        const double quantity = i * 2.5;
        const double psi = i % 3 == 0 ? 0.85 : 1;
        const double m = i % 2 == 0 ? 0.8 : 1;
        if (i % 7 == 0) { // the catalogue's value, its name written another way
            text += QStringLiteral("LEGNO;%1;;%2;%3\r\n")
                        .arg(ItalianNumbers::toText(quantity), ItalianNumbers::toText(psi),
                             ItalianNumbers::toText(m));
            expected += 17.5 * quantity * psi * m;
        } else {
            text +=
                QStringLiteral("\"Scaffale n. %1; dell’archivio, \"\"nuovo\"\"\";%2;%3;%4;%5\r\n")
                    .arg(i)
                    .arg(ItalianNumbers::toText(quantity), QStringLiteral("18,5"),
                         ItalianNumbers::toText(psi), ItalianNumbers::toText(m));
            expected += 18.5 * quantity * psi * m;
        }
    }
    const QString path = writeTemp(dir, "inventario.csv", windows1252(text));

    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    clickAndType(child(form, "txtAreaComp"), "100");
    QTableView *grid = openPreview(form, world, path);
    QVERIFY(grid);
    QCOMPARE(grid->model()->rowCount(), 150);
    QVERIFY(calculation().materials.isEmpty()); // nothing added before "Importa"
    const int outcome = grid->model()->columnCount() - 1;
    QCOMPARE(cell(grid, 0, 1), QStringLiteral("Scaffale n. 1; dell’archivio, \"nuovo\""));
    QCOMPARE(cell(grid, 0, outcome), QStringLiteral("da importare"));
    QCOMPARE(cell(grid, 6, 2), QStringLiteral("17,5")); // LEGNO: the catalogue's value
    QCOMPARE(cell(grid, 6, 1), QStringLiteral("Legno"));
    const QStringList reasons = {
        "manca il potere calorifico, e «Ossidiana» non è nel catalogo dei materiali",
        "la quantità non è un numero: «tre»",
        "ψ deve essere 0, 0,85 o 1, non «0,5»",
        "m deve essere 1 o 0,8, non «0,5»",
        "la quantità è negativa",
        "manca il nome del materiale",
        "il potere calorifico è inferiore a 1 MJ/kg",
        "manca la quantità",
        "il potere calorifico non è un numero: «20,5,1»",
        "manca il potere calorifico, e «Basalto» non è nel catalogo dei materiali",
        "ψ deve essere 0, 0,85 o 1, non «2»",
        "m deve essere 1 o 0,8, non «1,2»",
        "il potere calorifico non è un numero: «x»",
        "la quantità non è un numero: «3,5kg»",
        "il potere calorifico è inferiore a 1 MJ/kg"};
    for (int k = 0; k < reasons.size(); ++k) {
        const int row = (k + 1) * 10 - 1;
        QCOMPARE(cell(grid, row, 0), QString::number(row + 2)); // the file's line
        QCOMPARE(cell(grid, row, outcome), QStringLiteral("scartata: ") + reasons.at(k));
    }
    QCOMPARE(child<QLabel>(*preview(), "lblRiepilogo")->text().left(24),
             QStringLiteral("135 righe da importare ("));

    click(child(*preview(), "cmdImporta"));
    QVERIFY(!preview());
    QCOMPARE(calculation().materials.size(), 135);
    QCOMPARE(calculation().materials[0].name,
             QStringLiteral("Scaffale n. 1; dell’archivio, \"nuovo\""));
    QVERIFY(qAbs(entriesTotal() - expected) < 1e-6 * expected);
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(),
             ItalianNumbers::integerPartText(expected / 100));
    QCOMPARE(world.prompt.messages, QStringList()); // no box for each row

    // A typed entry still joins the imported ones, with the next number.
    pickEntry(child<QComboBox>(form, "ComboMat"), "Carta");
    clickAndType(child(form, "txtQta"), "10");
    click(child(form, "Command4"));
    QCOMPARE(calculation().materials.size(), 136);
}

void TestInventory::cancelledPreviewAddsNothing()
{
    TestWorld world;
    QTemporaryDir dir;
    const QString path =
        writeTemp(dir, "a.csv", "Materiale;Quantit\xE0 (kg)\r\nLegno;100\r\nCarta;x\r\n");
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    QTableView *grid = openPreview(form, world, path);
    QVERIFY(grid);
    QCOMPARE(grid->model()->rowCount(), 2);
    click(child(*preview(), "cmdAnnulla"));
    QVERIFY(!preview());
    QVERIFY(calculation().materials.isEmpty());
    // A file with no quantity column: a message, no preview.
    const QString bad = writeTemp(dir, "b.csv", "Materiale;Peso\r\nLegno;100\r\n");
    world.prompt.files << bad;
    click(child(form, "cmdImportaElenco"));
    QVERIFY(!preview());
    QCOMPARE(world.prompt.messages.last(),
             QStringLiteral("Impossibile importare b.csv.\nNel file manca la colonna "
                            "\"Quantità (kg)\" nella prima riga."));
    // A cancelled file box: nothing.
    const int shown = world.prompt.messages.size();
    click(child(form, "cmdImportaElenco"));
    QVERIFY(!preview());
    QCOMPARE(world.prompt.messages.size(), shown);
    // Nothing to export: said, and no file box.
    const int boxes = world.prompt.fileBoxes.size();
    click(child(form, "cmdEsportaElenco"));
    QCOMPARE(world.prompt.messages.last(), QStringLiteral("Non ci sono voci da esportare."));
    QCOMPARE(world.prompt.fileBoxes.size(), boxes);
}

void TestInventory::exportThenImportGivesTheSameList()
{
    QTemporaryDir dir;
    QVector<MaterialEntry> exported;
    {
        TestWorld world;
        enterExampleMaterials();
        auto &form = Screens::get<ValorePerMateriale>();
        importThrough(form, world,
                      writeTemp(dir, "in.csv",
                                QStringLiteral("Materiale;Potere calorifico (MJ/kg);Quantità "
                                               "(kg);psi;m\n\"Pannelli; truciolare\";18,25;"
                                               "333,333;0,85;0,8\n")
                                    .toUtf8()));
        exported = calculation().materials;
        QCOMPARE(exported.size(), 3);
        world.prompt.files << dir.filePath("elenco");
        click(child(form, "cmdEsportaElenco"));
        QVERIFY(QFile::exists(dir.filePath("elenco.csv")));
    }
    TestWorld world;
    chooseMethod("Command4");
    auto &form = Screens::get<ValorePerMateriale>();
    clickAndType(child(form, "txtAreaComp"), "60");
    importThrough(form, world, dir.filePath("elenco.csv"));
    QCOMPARE(calculation().materials, exported);
}

void TestInventory::furnishingsExportThenImport()
{
    QTemporaryDir dir;
    const QString path = writeTemp(
        dir, "arredi.csv",
        windows1252(QStringLiteral("Imballo;Volume (m³);Merce in deposito;Pezzi;Arredo\r\n"
                                   ";;;2;Materasso in cotone\r\n"
                                   "sì;10;Carta;;\r\n"
                                   "no;0,5;Carta;;\r\n"
                                   ";;;3;Sgabello\r\n")));
    QVector<FurnishingEntry> imported;
    {
        TestWorld world;
        chooseMethod("Command2");
        auto &form = Screens::get<ValorePerArredo>();
        clickAndType(child(form, "txtAreaComp"), "100");
        QTableView *grid = openPreview(form, world, path);
        QVERIFY(grid);
        const int outcome = grid->model()->columnCount() - 1;
        QCOMPARE(cell(grid, 2, outcome), QStringLiteral("scartata: il volume è inferiore a 1 m³"));
        QCOMPARE(cell(grid, 3, outcome),
                 QStringLiteral("scartata: manca il potere calorifico, e «Sgabello» non è nel "
                                "catalogo degli arredi"));
        click(child(*preview(), "cmdImporta"));
        imported = calculation().furnishings;
        QCOMPARE(imported.size(), 2);
        QCOMPARE(imported[1].packaging, Amount::number(1.1));
        QCOMPARE(child<QLabel>(form, "Valoreqf")->text(),
                 ItalianNumbers::integerPartText(entriesTotal() / 100));
        QVERIFY(entriesTotal() > 8400 * 10 * 1.1);
        world.prompt.files << dir.filePath("fuori.csv");
        click(child(form, "cmdEsportaElenco"));
    }
    TestWorld world;
    chooseMethod("Command2");
    importThrough(Screens::get<ValorePerArredo>(), world, dir.filePath("fuori.csv"));
    QCOMPARE(calculation().furnishings, imported);
}

QTEST_MAIN(TestInventory)
#include "tst_inventory.moc"
