// Entry lists in spreadsheet files: the CSV reader, its row rules, the preview, the round trip.
#include "data/csvfile.h"
#include "data/inventoryfile.h"
#include "testsupport.h"
#include "ui/fireload/anteprimaimportazione.h"

class TestInventory : public WorldTest
{
    Q_OBJECT
private slots:
    void recordsKeepQuotedSeparatorsAndBreaks();
    void rowsReadUnderTheEntryRules_data();
    void rowsReadUnderTheEntryRules();
    void headingsFoundInAnyOrder();
    void writtenListReadsBackTheSame();
    void excelListImportedThroughPreview();
    void furnishingsExportThenImport();
    void hostileFilesRefusedAtOnce_data();
    void hostileFilesRefusedAtOnce();
    void previewTellsHowTheFileWasRead();
};

// Text as Excel for Windows saves it in Italy: Windows-1252 (Latin-1 and ’ at 0x92).
static QByteArray windows1252(QString text)
{
    return text.replace(QChar(0x2019), QChar(0x92)).toLatin1();
}

static QWidget *preview()
{
    return shownWindow(u"AnteprimaImportazione"_s);
}

static QTableView *openPreview(QWidget &screen, TestWorld &world, const QString &path)
{
    world.prompt.files << path;
    click(screen, "cmdImportaElenco");
    QWidget *window = preview();
    return window ? child<QTableView>(*window, "DataGridAnteprima") : nullptr;
}

static void importThrough(QWidget &screen, TestWorld &world, const QString &path)
{
    QVERIFY(openPreview(screen, world, path));
    click(*preview(), "cmdImporta");
    QVERIFY(!preview());
}

static const auto someMaterials = InventoryFile::indexByName({{u"Legno"_s, 17.5}, {u"Tè"_s, 17}});

void TestInventory::recordsKeepQuotedSeparatorsAndBreaks()
{
    const auto records = CsvFile::records(
        u"a;b\r\n\"x;y\";\"due\r\nrighe\"\r\n\r\n\"detto \"\"così\"\"\";3\n"_s, QLatin1Char(';'));
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[1].fields, (QStringList{"x;y", "due\nrighe"}));
    QCOMPARE(records[2].line, 5); // the line it starts on, after a break inside quotes
    QCOMPARE(records[2].fields, (QStringList{"detto \"così\"", "3"}));
    // CR alone ends a line as LF and CR LF do; a quote inside a field is a plain character.
    const auto older = CsvFile::records(u"a;b\rTubo 2\" PVC;10\r\"x\ry\";3\r"_s, ';');
    QCOMPARE(older.size(), 3);
    QCOMPARE(older[1].fields, (QStringList{"Tubo 2\" PVC", "10"}));
    QCOMPARE(older[2].fields, (QStringList{"x\ny", "3"}));
    QCOMPARE(older[2].line, 3);
    QCOMPARE(CsvFile::guessSeparator(u"Tubo 2\" PVC;10,5;1\n"_s), QChar(u';'));
    const QStringList cells = {"x;y", "a \"b\"", "due\nrighe", "17,5"};
    QCOMPARE(CsvFile::parse(CsvFile::line(cells, ';'), QLatin1Char(';')).first(), cells);
    // Windows-1252 as Excel writes it (the BOM, UTF-8 and a comma as separator: the imports).
    QCOMPARE(CsvFile::decode(QByteArray("Caff\xE8 \x92\x80")), u"Caffè ’€"_s);
}

void TestInventory::rowsReadUnderTheEntryRules_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("refusal"); // empty: taken
    QTest::addColumn<double>("load");
    const auto taken = [](const char *text, double load) {
        QTest::newRow(text) << QString(text) << QString() << load;
    };
    const auto refused = [](const char *name, const QString &text, const char *refusal) {
        QTest::newRow(name) << text << QString(refusal) << 0.0;
    };
    taken("Carta;20;10;0,85;0,8", 20 * 10 * 0.85 * 0.8);
    taken("legno;;100;;", 1750); // the catalogue's value
    taken("TE;;2;1;1", 34);      // accents aside
    taken("Carta;20;1.000;1;1", 20000);
    taken("Carta;20;0.5;1;0.8", 8); // a point in an Italian file
    refused("no name", ";20;1;1;1", "manca il nome del materiale");
    refused("unknown, no value", "Ossidiana;;1;1;1",
            "manca il potere calorifico, e «Ossidiana» non è nel catalogo dei materiali");
    refused("value", "Carta;venti;1;1;1", "il potere calorifico non è un numero: «venti»");
    refused("quantity", "Carta;20;3,5kg;1;1", "la quantità non è un numero: «3,5kg»");
    refused("value below 1", "Carta;0,5;1;1;1", "il potere calorifico è inferiore a 1 MJ/kg");
    refused("no quantity", "Carta;20;;1;1", "manca la quantità");
    refused("negative quantity", "Carta;20;-3;1;1", "la quantità è negativa");
    refused("psi", "Carta;20;1;0,5;1", "ψ deve essere 0, 0,85 o 1, non «0,5»");
    refused("m", "Carta;20;1;1;0,9", "m deve essere 1 o 0,8, non «0,9»");
    refused("control", u"Carta\u0007;20;1;1;1"_s, "Il nome contiene caratteri di controllo.");
    refused("too large", "Carta;1000000;1e308;1;1",
            "il carico d'incendio risulta troppo grande per essere calcolato");
    refused("beyond any real", "Carta;1e308;1;1;1", "il potere calorifico supera 1.000.000 MJ/kg");
    refused("source too long", u"Carta;20;1;1;1;"_s + QString(201, u'x'),
            "la fonte è troppo lunga: al massimo 200 caratteri");
    refused("tab in the source", "Carta;20;1;1;1;\"UNI\tEN\"",
            "la fonte contiene caratteri di controllo");
}

void TestInventory::rowsReadUnderTheEntryRules()
{
    QFETCH(QString, row);
    QFETCH(QString, refusal);
    QFETCH(double, load);
    const QString text = u"Materiale;Potere calorifico (MJ/kg);Quantità (kg);psi;m;Fonte\n"
                         "%1\n"_s.arg(row);
    const auto reading = InventoryFile::readMaterials(text.toUtf8(), someMaterials);
    QCOMPARE(reading.rows.size(), 1);
    QCOMPARE(reading.rows[0].refusal, refusal);
    QCOMPARE(reading.rows[0].line, 2);
    if (refusal.isEmpty())
        QCOMPARE(entryFireLoad(reading.rows[0].entry), load);
}

void TestInventory::headingsFoundInAnyOrder()
{
    // Columns this program does not know are left aside; the others go by their meaning.
    const auto reading = InventoryFile::readMaterials(
        "Note,M,QUANTITA',Descrizione,Psi,H (MJ/kg)\nx,0.8,10,Carta,0.85,20\n", someMaterials);
    QCOMPARE(reading.error, QString());
    QCOMPARE(reading.accepted(),
             (QVector<MaterialEntry>{{"Carta", n(20), n(10), n(0.85), n(0.8)}}));
    // A heading missing refuses the file (the materials' one: previewTellsHowTheFileWasRead).
    QCOMPARE(InventoryFile::readMaterials(QByteArray(), someMaterials).error,
             u"Il file è vuoto."_s);
    const auto furnishings = InventoryFile::readFurnishings("Arredo;Valore\nSedia;3\n", {}, {});
    QCOMPARE(furnishings.error, u"Nel file manca la colonna \"Pezzi\" nella prima riga."_s);
}

// Names and sources come back as written; formula-like ones behind an apostrophe.
void TestInventory::writtenListReadsBackTheSame()
{
    const QVector<MaterialEntry> materials = {
        {u"=HYPERLINK(\"http://x\";\"y\")"_s, n(17), n(1), n(1), n(1), u"=1+1"_s},
        {u"+39 legno"_s, n(17), n(2), n(1), n(1)},
        {u"-Carta"_s, n(17), n(3), n(1), n(1), u"@fonte"_s},
        {u"@SOMMA(A1)"_s, n(17), n(4), n(1), n(1), u"'=già con apostrofo"_s},
        {u"Legno 'abete'"_s, n(17), n(5), n(1), n(1)},
        {"Cartone; imballaggi \"pesanti\"", n(16.5), n(1234.125), n(0.85), n(0.8)},
        {"Tè", n(17), n(0), n(0), n(1)}};
    const QByteArray written = InventoryFile::writeMaterials(materials);
    const auto records = CsvFile::records(CsvFile::decode(written), ';');
    QCOMPARE(records.size(), materials.size() + 1);
    for (const CsvFile::Record &record : records.mid(1))
        for (const QString &cell : record.fields)
            QVERIFY2(cell.isEmpty() || !QStringLiteral("=+-@").contains(cell.front()),
                     qPrintable(cell));
    QCOMPARE(records[1].fields.first(), u"'=HYPERLINK(\"http://x\";\"y\")"_s);
    QCOMPARE(records[1].fields.last(), u"'=1+1"_s);
    QCOMPARE(records[4].fields.last(), u"''=già con apostrofo"_s);
    QCOMPARE(records[5].fields.first(), u"Legno 'abete'"_s);
    QCOMPARE(InventoryFile::readMaterials(written, {}).accepted(), materials);

    const FurnishingEntry chair = furnishing("Sedia", 70, 12);
    const QVector<FurnishingEntry> furnishings = {chair, goods("Carta", 8400, 2.5, 1.1),
                                                  goods("Cartone", 400, 1, 1, chair)};
    const QByteArray bytes = InventoryFile::writeFurnishings(furnishings);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"
                             "Arredo;Potere calorifico (MJ/pezzo);Pezzi;"));
    QCOMPARE(InventoryFile::readFurnishings(bytes, {}, {}).accepted(), furnishings);
}

// 150 rows as Excel writes them in Italy; every tenth row cannot be taken, each for its reason.
void TestInventory::excelListImportedThroughPreview()
{
    QString text = u"Descrizione;Quantità (kg);Potere calorifico (MJ/kg);PSI;M\r\n"_s;
    double expected = 0;
    // The reader's reasons are rows of rowsReadUnderTheEntryRules; here two, in their lines.
    const QStringList wrong[] = {
        {"Carta;tre;20;1;1", "la quantità non è un numero: «tre»"},
        {"Carta;3;20,5,1;1;1", "il potere calorifico non è un numero: «20,5,1»"}};
    for (int i = 1; i <= 150; ++i) {
        if (i % 10 == 0) {
            text += wrong[(i / 10 - 1) % 2].first() + u"\r\n"_s;
            continue;
        }
        const double quantity = i * 2.5;
        const double psi = i % 3 == 0 ? 0.85 : 1;
        const double m = i % 2 == 0 ? 0.8 : 1;
        // Every seventh row takes the catalogue's value, its name written another way.
        const bool catalogued = i % 7 == 0;
        text += u"%1;%2;%3;%4;%5\r\n"_s.arg(
            catalogued ? u"LEGNO"_s : u"\"Scaffale n. %1; dell’archivio, \"\"nuovo\"\"\""_s.arg(i),
            ItalianNumbers::toText(quantity), catalogued ? QString() : u"18,5"_s,
            ItalianNumbers::toText(psi), ItalianNumbers::toText(m));
        expected += (catalogued ? 17.5 : 18.5) * quantity * psi * m;
    }
    const QString path = writeFile(world().filePath("inventario.csv"), windows1252(text));

    auto &form = startMethod<ValorePerMateriale>();
    clickAndType(form, "txtAreaComp", "100");
    QTableView *grid = openPreview(form, world(), path);
    QVERIFY(grid);
    QCOMPARE(grid->model()->rowCount(), 150);
    QVERIFY(calculation().materials.isEmpty()); // nothing added before "Importa"
    QCOMPARE(rowTexts(grid, 0).value(1), u"Scaffale n. 1; dell’archivio, \"nuovo\""_s);
    QCOMPARE(rowTexts(grid, 0).last(), u"da importare"_s);
    QCOMPARE(rowTexts(grid, 6).mid(1, 2), (QStringList{"Legno", "17,5"})); // the catalogue's
    for (int k = 0; k < 15; ++k) {
        const int row = (k + 1) * 10 - 1;
        QCOMPARE(rowTexts(grid, row).value(0), QString::number(row + 2)); // the file's line
        QCOMPARE(rowTexts(grid, row).last(), u"scartata: "_s + wrong[k % 2].last());
    }
    QCOMPARE(textOf(*preview(), "lblRiepilogo").left(24), u"135 righe da importare ("_s);

    click(*preview(), "cmdImporta");
    QVERIFY(!preview());
    QCOMPARE(calculation().materials.size(), 135);
    QCOMPARE(calculation().materials[0].name, u"Scaffale n. 1; dell’archivio, \"nuovo\""_s);
    // A catalogue's value keeps its source; one the list gives, with no source column, the list's.
    QCOMPARE(calculation().materials[6].source, u"EN 1991-1-2, tab. E.3"_s);
    QCOMPARE(calculation().materials[0].source,
             u"elenco «inventario.csv» del "_s +
                 QFileInfo(path).lastModified().date().toString(u"dd/MM/yyyy"_s));
    QVERIFY(qAbs(entriesTotal() - expected) < 1e-6 * expected);
    QCOMPARE(textOf(form, "Valoreqf"), ItalianNumbers::integerPartText(expected / 100));
    QCOMPARE(world().prompt.messages, QStringList()); // no box for each row

    addMaterial("Carta", "10"); // a typed entry joins the imported ones, with the next number
    QCOMPARE(calculation().materials.size(), 136);

    // Exported, then imported in a run of its own: the same list, sources and all.
    const QVector<MaterialEntry> exported = calculation().materials;
    world().prompt.files << world().filePath("elenco");
    click(form, "cmdEsportaElenco");
    closeAllScreens();
    TestWorld another;
    auto &again = startMethod<ValorePerMateriale>();
    clickAndType(again, "txtAreaComp", "60");
    importThrough(again, another, world().filePath("elenco.csv"));
    QCOMPARE(calculation().materials, exported);
}

void TestInventory::furnishingsExportThenImport()
{
    const QString path =
        writeFile(world().filePath("arredi.csv"),
                  windows1252(u"Imballo;Volume (m³);Merce in deposito;Pezzi;Arredo\r\n"
                              ";;;2;Materasso in cotone\r\n"
                              "sì;10;Carta;;\r\n"
                              "no;0,5;Carta;;\r\n"
                              ";;;3;Sgabello\r\n"
                              "no;0;Carta;;\r\n"
                              ";;;2,5;Materasso in cotone\r\n"_s));
    auto &form = startMethod<ValorePerArredo>();
    clickAndType(form, "txtAreaComp", "100");
    QTableView *grid = openPreview(form, world(), path);
    QVERIFY(grid);
    // Half a cubic metre is half a cubic metre; no volume and half a piece are refused.
    QCOMPARE(rowTexts(grid, 2).last(), u"da importare"_s);
    QVERIFY(
        rowTexts(grid, 4).last().startsWith(u"scartata: il volume deve essere maggiore di 0 m³"_s));
    QVERIFY(rowTexts(grid, 5).last().startsWith(u"scartata: "_s)); // the text: tst_fireload
    QCOMPARE(rowTexts(grid, 3).last(),
             u"scartata: manca il potere calorifico, e «Sgabello» non è nel "
             "catalogo degli arredi"_s);
    click(*preview(), "cmdImporta");
    const QVector<FurnishingEntry> imported = calculation().furnishings;
    QCOMPARE(imported.size(), 3);
    QVERIFY(imported[2].volume == n(0.5) && imported[1].packaging == n(1.1));
    QCOMPARE(textOf(form, "Valoreqf"), ItalianNumbers::integerPartText(entriesTotal() / 100));
    QVERIFY(entriesTotal() > 8400 * 10 * 1.1);
    world().prompt.files << world().filePath("fuori.csv");
    click(form, "cmdEsportaElenco");
    closeAllScreens();
    TestWorld another;
    importThrough(startMethod<ValorePerArredo>(), another, world().filePath("fuori.csv"));
    QCOMPARE(calculation().furnishings, imported);
}

// What is no list, or far more than one, is refused at once with its reason.
void TestInventory::hostileFilesRefusedAtOnce_data()
{
    QTest::addColumn<QString>("reason"); // the tag names the kind of file; "large" is 65 MB
    QTest::newRow("pipe") << u"non è un file ordinario"_s;
    QTest::newRow("device") << u"non è un file ordinario"_s;
    QTest::newRow("folder") << u"è una cartella"_s;
    QTest::newRow("large") << u"troppo grande per un elenco (al massimo 64 MB)"_s;
    QTest::newRow("rows") << u"più di 50.000 righe"_s;
}

void TestInventory::hostileFilesRefusedAtOnce()
{
    QFETCH(QString, reason);
    const QString kind = QString::fromLatin1(QTest::currentDataTag());
    const QString path = world().filePath(u"elenco.csv"_s);
    const QByteArray rows = "Materiale;Potere calorifico (MJ/kg);Quantità (kg)\n" +
                            QByteArray("Carta;17;1\n").repeated(InventoryFile::kMostRows + 1);
    QVERIFY(kind == u"rows"_s ? !writeFile(path, rows).isEmpty()
                              : makeOddFile(path, kind, 65LL * 1024 * 1024));
    QVERIFY(!openPreview(startMethod<ValorePerMateriale>(), world(), path));
    QVERIFY(calculation().materials.isEmpty());
    VERIFY_CONTAINS(world().prompt.messages.value(0), {reason});
}

// Windows-1252 read and said so; long cells shortened; a cancelled import adds nothing.
void TestInventory::previewTellsHowTheFileWasRead()
{
    const QString mixed = writeFile(world().filePath(u"misto.csv"_s),
                                    u"Materiale;Quantità (kg);Fonte\nTè;1;UNI\n"_s.toUtf8() +
                                        "Caff\xE8;2;\n" + QByteArray(5000, 'N') + ";5;\n");
    auto &form = startMethod<ValorePerMateriale>();
    QTableView *grid = openPreview(form, world(), mixed);
    QVERIFY(grid);
    QVERIFY(child(*preview(), "lblCodifica")->isVisible());
    VERIFY_CONTAINS(textOf(*preview(), "lblCodifica"), {u"Windows-1252"_s});
    QCOMPARE(rowTexts(grid, 0).value(1), u"TÃ¨"_s); // as read, shown before it is taken
    QCOMPARE(rowTexts(grid, 1).value(1), u"Caffè"_s);
    const QString shortened = rowTexts(grid, 2).value(1);
    QCOMPARE(shortened.size(), AnteprimaImportazione::kLongestCell);
    QVERIFY(shortened.endsWith(QChar(0x2026)));
    click(*preview(), "cmdAnnulla");
    QVERIFY(!preview() && calculation().materials.isEmpty());
    const QString plain = writeFile(world().filePath(u"utf8.csv"_s),
                                    u"Materiale;Quantità (kg)\r\nTè;1\r\n"_s.toUtf8());
    QVERIFY(openPreview(form, world(), plain));
    QVERIFY(!child<QLabel>(*preview(), "lblCodifica"));
    click(*preview(), "cmdAnnulla");

    const QString bad = writeFile(world().filePath("b.csv"), "Materiale;Peso\r\nLegno;100\r\n");
    QVERIFY(!openPreview(form, world(), bad));
    QCOMPARE(world().prompt.messages.last(),
             u"Impossibile importare b.csv.\nNel file manca la colonna "
             "\"Quantità (kg)\" nella prima riga."_s);
    const int shown = world().prompt.messages.size();
    QVERIFY(!openPreview(form, world(), QString())); // the file box cancelled
    QCOMPARE(world().prompt.messages.size(), shown);
    const int boxes = world().prompt.fileBoxes.size(); // nothing to export: said, and no file box
    click(form, "cmdEsportaElenco");
    QCOMPARE(world().prompt.messages.last(), u"Non ci sono voci da esportare."_s);
    QCOMPARE(world().prompt.fileBoxes.size(), boxes);
    QVERIFY(calculation().materials.isEmpty());
}

QTEST_MAIN(TestInventory)
#include "tst_inventory.moc"
