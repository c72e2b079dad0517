// The database file, the working-table sums and the catalogues.
#include "data/catalogues.h"
#include "data/entrystore.h"
#include "testsupport.h"
#include "ui/catalogue/catalogueeditor.h"

#include <QDate>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

class TestDatabase : public WorldTest
{
    Q_OBJECT
private slots:
    void createdOnFirstNeedAndSeeded();
    void workingAndReportTables();
    void catalogueEditing();
    void versionOneFileKeepsUserEntries();
};

static qint64 count(const QString &sql)
{
    auto q = Database::instance().run(sql);
    return q && q->next() ? q->value(0).toLongLong() : -1;
}

void TestDatabase::createdOnFirstNeedAndSeeded()
{
    QVERIFY(!QFileInfo::exists(world().databasePath()));
    QVERIFY(Database::instance().open() && QFileInfo::exists(world().databasePath()));
    for (const char *table : {"tblMateriale", "tblAttivita", "tblArredo", "tblMaterialeInDeposito"})
        QVERIFY(count(u"SELECT count(*) FROM %1"_s.arg(QLatin1String(table))) >= 10);
    QCOMPARE(count("SELECT CaricoIncSpecif * 2 FROM tblMateriale WHERE Materiale = 'Legno'"), 35);
    QVERIFY(world().prompt.messages.isEmpty());

    // An existing file is left alone at the next opening: no row seeded again, none lost.
    QVERIFY(Database::instance().exec("DELETE FROM tblMateriale WHERE Materiale = 'Carta'"));
    QVERIFY(Database::instance().exec(
        "INSERT INTO tblMateriale (Materiale, CaricoIncSpecif) VALUES ('Mio', 3)"));
    Database::instance().close();
    QVERIFY(Database::instance().open());
    QCOMPARE(count("SELECT count(*) FROM tblMateriale"), 60);
    QCOMPARE(count("SELECT count(*) FROM tblMateriale WHERE Materiale = 'Mio'"), 1);
}

// The working table mirrors the entries: an emptied field stays empty, a missing one missing.
void TestDatabase::workingAndReportTables()
{
    const Amount e = Amount::emptyText(), null;
    QVERIFY(storeMaterials({materialEntry("Legno", 17, 100),
                            {"Vuoto", e, e, e, e},
                            {"Nullo", null, null, null, null},
                            {"Parziale", n(30), n(5), e, n(1), "fonte"}}));
    QCOMPARE(WorkingTables::materials().value(),
             CalculationSession::current().calculation().materials);
    // The report tables, filled twice, hold each line once.
    QVERIFY(storeFurnishings(
        {furnishing("Divano", 600, 2), goods("Carta", 400, 10, 1.1), furnishing("Sedia", 10, 4)}));
    for (int fill = 0; fill < 2; ++fill) {
        QVERIFY(EntryStore::prepareReportTables(CalculationSession::current()));
        QCOMPARE(count("SELECT count(*) FROM tblStampaArredo"), 2);
        QCOMPARE(count("SELECT count(*) FROM tblStampaMatInDep"), 1);
        // Furnishings are keyed first, then stored goods, with one key through both tables.
        QCOMPARE(count("SELECT min(IdStampaArredo) FROM tblStampaArredo"), 1);
        QCOMPARE(count("SELECT IdStampaMatInDep FROM tblStampaMatInDep"), 3);
    }
}

// Entries added and deleted through the input boxes; a refused entry changes nothing.
void TestDatabase::catalogueEditing()
{
    CatalogCombo chooser(Catalogue::Furnishings, "ComboArredo", nullptr);
    world().prompt.inputs = {"   ", "5"};
    CatalogueEditor::add(Catalogue::Furnishings, chooser);
    QCOMPARE(world().prompt.messages.last(),
             u"Prego inserire il nuovo arredo e il valore del carico di incendio specifico ."_s);
    for (const char *value : {"cinque", "-5"}) {
        world().prompt.inputs = {"Tavolo", value};
        CatalogueEditor::add(Catalogue::Furnishings, chooser);
        QCOMPARE(world().prompt.messages.last(), u"Inserire i dati correttamente"_s);
    }
    QVERIFY(!Catalogues::firstNamed(Catalogue::Furnishings, "Tavolo"));
    // A pasted line break would split the name on every list and report row: it becomes a blank.
    world().prompt.inputs = {"Tavolo\nrotondo\t", "5"};
    CatalogueEditor::add(Catalogue::Furnishings, chooser);
    QVERIFY(Catalogues::firstNamed(Catalogue::Furnishings, "Tavolo rotondo"));

    chooser.setEditText(QString());
    CatalogueEditor::remove(Catalogue::Furnishings, chooser);
    QCOMPARE(world().prompt.messages.last(), u"Seleziona l'arredo da eliminare dalla lista"_s);
    chooser.setEditText("Nessun arredo"); // a name already gone: a message, and the program goes on
    CatalogueEditor::remove(Catalogue::Furnishings, chooser);
    VERIFY_CONTAINS(world().prompt.messages.last(), {"non è presente"});
    QVERIFY(world().prompt.questions.isEmpty());

    CatalogCombo combo(Catalogue::Materials, "ComboMat", nullptr);
    world().prompt.prompts.clear();
    world().prompt.inputs = {"  Legno d'abete  ", "12,5"};
    CatalogueEditor::add(Catalogue::Materials, combo);
    QCOMPARE(
        world().prompt.prompts,
        (QStringList{"Inserisci il nuovo materiale :",
                     "Inserisci il valore del carico d'incendio specifico del nuovo materiale:"}));
    QCOMPARE(world().prompt.messages.last(),
             u"Il Materiale   Legno d'abete (12,5) è stato inserito"_s);
    QVERIFY(combo.findText("Legno d'abete") >= 0);

    combo.setEditText("Legno d'abete"); // answering No deletes nothing
    world().prompt.answers = {false, true};
    CatalogueEditor::remove(Catalogue::Materials, combo);
    QCOMPARE(world().prompt.questions.last(),
             u"\nConfermi l'eliminazione dell'Materiale  Legno d'abete (12,5) ?"_s);
    QVERIFY(Catalogues::firstNamed(Catalogue::Materials, "Legno d'abete"));

    CatalogueEditor::remove(Catalogue::Materials, combo);
    QVERIFY(!Catalogues::firstNamed(Catalogue::Materials, "Legno d'abete"));

    // A name that looks like SQL is only a name.
    world().prompt.inputs = {"'); DROP TABLE tblMateriale; --", "3"};
    CatalogueEditor::add(Catalogue::Materials, combo);
    QCOMPARE(count("SELECT count(*) FROM tblMateriale"), 61);
    combo.setEditText("'); DROP TABLE tblMateriale; --");
    CatalogueEditor::remove(Catalogue::Materials, combo);
    QCOMPARE(count("SELECT count(*) FROM tblMateriale"), 60);

    world().prompt.inputs = {"Sughero biondo", "21"}; // the change outlives the run
    CatalogueEditor::add(Catalogue::Activities, combo);
    Database::instance().close();
    QVERIFY(Catalogues::firstNamed(Catalogue::Activities, "Sughero biondo"));
}

// A file from before sources were kept gains the columns and keeps every entry the user made.
void TestDatabase::versionOneFileKeepsUserEntries()
{
    QVERIFY(QDir().mkpath(QFileInfo(world().databasePath()).absolutePath()));
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(u"QSQLITE"_s, "v1");
        old.setDatabaseName(world().databasePath());
        QVERIFY(old.open());
        QSqlQuery q(old);
        for (const char *sql :
             {"CREATE TABLE tblMateriale (idMateriale INTEGER PRIMARY KEY AUTOINCREMENT, "
              "Materiale TEXT, CaricoIncSpecif REAL)",
              "CREATE TABLE tblAttivita (idAttivita INTEGER PRIMARY KEY AUTOINCREMENT, "
              "Attivita TEXT, ValoreNomCarInc REAL, Descrizione TEXT)",
              "CREATE TABLE tblArredo (idArredo INTEGER PRIMARY KEY AUTOINCREMENT, "
              "Arredo TEXT, ValorePerPezzo REAL)",
              "CREATE TABLE tblMaterialeInDeposito (idMaterialeInDeposito INTEGER PRIMARY KEY "
              "AUTOINCREMENT, MaterialeInDeposito TEXT, ValorePerM3 REAL)",
              "CREATE TABLE tblAppoggioMateriali (IdAppoggioMat INTEGER, Materiale TEXT, "
              "ValorePerKg, FattorePsi, Fattore_m, QtaMat)",
              "CREATE TABLE tblAppoggio (idAppoggio INTEGER, Arredo TEXT, ValorePerPezzo, "
              "QtaArredo, MaterialeInDeposito TEXT, ValorePerM3, QtaMerce, Imballo)",
              "CREATE TABLE tblStampaArredo (IdStampaArredo INTEGER PRIMARY KEY, Arredo TEXT, "
              "ValorePerPezzo, QtaArredo)",
              "CREATE TABLE tblStampaMatInDep (IdStampaMatInDep INTEGER PRIMARY KEY, "
              "MaterialeInDeposito TEXT, ValorePerM3, QtaMerce, Imballo)",
              "INSERT INTO tblMateriale (Materiale, CaricoIncSpecif) VALUES ('Legno', 17.5), "
              "('Polietilene (PE)', 40), ('Legno di abete', 18), ('Gomma piuma', 30)",
              "INSERT INTO tblArredo (Arredo, ValorePerPezzo) VALUES ('Scrivania', 300)",
              "INSERT INTO tblAppoggioMateriali VALUES (1, 'Legno', 17.5, 1, 0.8, 100)",
              "PRAGMA user_version = 1"})
            QVERIFY2(q.exec(QString::fromLatin1(sql)), qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase("v1");

    QVERIFY(Database::instance().open());
    QVERIFY(world().prompt.messages.isEmpty());
    QCOMPARE(count("PRAGMA user_version"), 2);
    const QSqlDatabase db = Database::instance().connection();
    QCOMPARE(rowsOf(db, u"SELECT Materiale, Fonte, Cellulosico FROM tblMateriale ORDER BY 1"_s),
             (QList<QVariantList>{{"Gomma piuma", "inserito dall'utente", 0},
                                  {"Legno", "EN 1991-1-2, tab. E.3", 1},
                                  {"Legno di abete", "inserito dall'utente", 1},
                                  {"Polietilene (PE)", "EN 1991-1-2, tab. E.3", 0}}));
    QCOMPARE(rowsOf(db, u"SELECT Arredo, Fonte, ValorePerPezzo FROM tblArredo"_s),
             (QList<QVariantList>{{"Scrivania", "inserito dall'utente", 300}}));
    QCOMPARE(WorkingTables::materials().value_or(QVector<MaterialEntry>()).value(0).quantity,
             n(100));

    // An entry added now carries the day it was added.
    const auto added = Catalogues::add(Catalogue::Materials, "Travi in legno lamellare", 16);
    QVERIFY(added && added->cellulosic); // "legno" stands in its name
    QCOMPARE(added->source,
             "inserito dall'utente il " + QDate::currentDate().toString(u"dd/MM/yyyy"_s));
}

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
