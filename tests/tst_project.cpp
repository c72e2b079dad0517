// Projects: the file format, saving and reopening compartments, the project window, bad files.
#include "core/wholefile.h"
#include "data/projectfile.h"
#include "testsupport.h"
#include "ui/app/singleinstance.h"
#include "ui/app/startup.h"
#include "ui/kit/messageboxprompt.h"

#include <QDateEdit>
#include <QJsonDocument>
#include <QLockFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTextDocumentFragment>
#include <QTimer>
#include <csignal>
#include <future>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString kProbe = QStringLiteral(FAULTPROBE_PATH);
const QStringList kBand{
    "lblProgetto",      "lblCommittente", "lblUbicazione", "lblAttivitaProgetto",
    "lblCompartimento", "lblTecnico",     "lblData"};

Project sampleProject()
{
    Project project;
    project.identity = {
        u"Scuola «Dell'Orto»"_s, u"Comune di Àrdea"_s, u"Via d'Azeglio 3"_s,      u"Scuola"_s,
        u"Ing. Ardivo"_s,        QDate(2026, 12, 7),   u"REV 01 del 12/01/2027"_s};
    const QVector<MaterialEntry> stock{materialEntry(u"Legno"_s, 17.5, 1000, 1, 0.8),
                                       {u"Vuoto"_s, Amount::emptyText(), n(1), n(1), n(1)}};
    const QVector<FurnishingEntry> archive{furnishing(u"Scaffale"_s, 250, 2),
                                           goods(u"Carta"_s, 400, 10, 1.1)};
    project.compartments = {
        {u"Uffici piano terra"_s, activityCalculation(u"Ufficio"_s, 420, 1.2, 1, 1, {3, 5})},
        {u"Magazzino"_s, materialsCalculation(60, stock, 0, 2, {0, 3})},
        {u"Archivio"_s, furnishingsCalculation(100, archive, 0, 0, {2})}};
    return project;
}

// `count` compartments, whose names carry JSON's own marks: they must move no count.
Project crowdedProject(int count)
{
    Project crowded;
    for (int i = 0; i < count; ++i) {
        Compartment compartment = sampleProject().compartments[i % 3];
        compartment.name = (i % 2 ? u"Vano \"%1\" [a], {b}: \\"_s : u"Vano %1 ]}, \\\"["_s).arg(i);
        crowded.compartments << compartment;
    }
    return crowded;
}

// Every named text of a report page, as a user reads it.
QMap<QString, QString> pageTexts(ReportPage *page)
{
    QMap<QString, QString> texts;
    for (QLabel *label : page->pageView()->canvas()->findChildren<QLabel *>())
        if (!label->objectName().isEmpty())
            texts.insert(label->objectName(), label->text());
    return texts;
}

QTableView *compartmentTable()
{
    return child<QTableView>(Screens::get<Progetto>(), "DataGridCompartimenti");
}

// A label's tooltip as the tooltip shows it: markup rendered, plain text as it is.
QString renderedToolTip(const QWidget *widget)
{
    const QString tip = widget->toolTip();
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
}

// Everything cleared, as after a restart, then the project file opened again in its window.
void reopenProject(const QString &path)
{
    closeAllScreens();
    resetSharedState();
    QVERIFY(ProjectActions::openProjectFile(path));
    showProjectWindow();
}

// A compartment of the project window's table opened with the mouse.
void openCompartmentRow(int row)
{
    clickCell(compartmentTable(), row);
    click(Screens::get<Progetto>(), "cmdApriCompartimento");
}

} // namespace

class TestProject : public WorldTest
{
    Q_OBJECT
private slots:
    void fileHoldsEveryInput();
    void badFiles_data();
    void badFiles();
    void compartmentsSavedAndReopened();
    void replacedAndDeletedCompartments();
    void unsavedChangesQuestion();
    void saveInterruptedByKill();
    void projectExported();
    void namesWithMarkupShownAsTyped();
    void secondStartHandsOverItsFile();
    void writesOnAFullDiskKeepTheOldFile_data();
    void writesOnAFullDiskKeepTheOldFile();
    void longestNotesPaginateAndTakeNoMore();
    void refusedSaveChangesNothing_data();
    void refusedSaveChangesNothing();
};

void TestProject::fileHoldsEveryInput()
{
    const Project project = sampleProject();
    // Read back whole, and written piece by piece as the whole JSON tree gives it. As many
    // compartments as a project holds are read, whatever their names; one more is a row of
    // badFiles.
    for (const Project &written :
         {project, Project(), crowdedProject(ProjectFile::kMostCompartments)}) {
        const QByteArray json = ProjectFile::toJson(written);
        QCOMPARE(json, QJsonDocument::fromJson(json).toJson(QJsonDocument::Indented));
        const auto read = ProjectFile::fromJson(json);
        QVERIFY2(read.project == written, qPrintable(read.error));
    }
    // A path with blanks, accents and apostrophes.
    const QString path = world().filePath(u"Prog d'esempio è/Scuola dell'Orto.ardivo"_s);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(ProjectFile::save(path, project).ok());
    const auto loaded = ProjectFile::load(path);
    QVERIFY2(loaded.project == project, qPrintable(loaded.error));
    QCOMPARE(loaded.project->compartments[1].calculation.materials[1].valuePerKg,
             Amount::emptyText());
    VERIFY_CONTAINS(QString::fromUtf8(bytesOf(path)),
                    {R"("version": 2)", R"("revision": "REV 01 del 12/01/2027")",
                     R"("designFireLoad": "462,67")", R"("designFireLoad": "142,80")"});
}

void TestProject::badFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("oddKind"); // what is there in place of a plain file, if anything
    const QByteArray good = ProjectFile::toJson(sampleProject());
    const auto row = [&](const char *name, const char *from, const QByteArray &to,
                         const char *reason) {
        Q_ASSERT(good.contains(from));
        QTest::newRow(name) << QByteArray(good).replace(from, to) << QString(reason) << QString();
    };
    const char *rule = "\"regulation\": \"dm2007\"", *archivio = "\"name\": \"Archivio\"";
    const QString notPlain = u"on è un file ordinario"_s, notProject = u"non è un progetto"_s;
    QTest::newRow("pipe") << QByteArray() << notPlain << u"pipe"_s;
    QTest::newRow("link to /dev/zero") << QByteArray() << notPlain << u"device"_s;
    QTest::newRow("folder") << QByteArray() << u"cartella"_s << u"folder"_s;
    QTest::newRow("too large") << QByteArray() << u"troppo grande"_s << u"large"_s;
    QTest::newRow("not a project")
        << QByteArray("Questo non è un progetto") << notProject << QString();
    QTest::newRow("truncated") << good.left(good.size() / 2) << u"danneggiato"_s << QString();
    QTest::newRow("empty") << QByteArray() << notProject << QString();
    row("another format", "ardivo-project", "altro", "non è un progetto");
    row("newer version", "\"version\": 2", "\"version\": 7", "più recente");
    row("unknown rule", rule, "\"regulation\": \"dm1961\"", "normativa sconosciuta");
    row("no rule", rule, "\"regolamento\": \"dm2007\"",
        "«Uffici piano terra» non indica la normativa applicata");
    row("rule not a text", rule, "\"regulation\": 2007", "«regulation» non è un testo");
    row("huge version", "\"version\": 2", "\"version\": 4294967298", "formato 4294967298");
    row("version 1.5", "\"version\": 2", "\"version\": 1.5", "formato 1,5, che non è valido");
    row("activity that is no object", "\"activity\": {", "\"activity\": 5, \"attivita\": {",
        "il campo «activity» non è un oggetto");
    row("method without its data", "\"materials\": [", "\"materiali\": [",
        "usa il metodo «materials» ma non ne contiene i dati");
    row("negative area", "\"area\": 60", "\"area\": -60", "numero valido");
    row("unknown method", "\"method\": \"materials\"", "\"method\": \"magia\"",
        "metodo di calcolo sconosciuto");
    row("risk class IV", "\"riskClass\": 2", "\"riskClass\": 3", "tra I e III");
    row("measures that exclude each other", "\"measures\": [\n                0,",
        "\"measures\": [\n                1, 0,", "si escludono");
    row("quantity as text", "\"quantity\": 1000", "\"quantity\": \"mille\"", "numero valido");
    row("same name but for a blank", archivio, "\"name\": \" Magazzino  \"",
        "«Magazzino» compare due volte");
    row("control character", archivio, "\"name\": \"Archi\\u0007vio\"", "caratteri di controllo");
    row("half a surrogate pair", archivio, "\"name\": \"Archi\\ud800vio\"", "caratteri non validi");
    row("name too long", archivio, "\"name\": \"" + QByteArray(201, 'A') + "\"", "troppo lungo");
    row("psi 7", "\"psi\": 1", "\"psi\": 7", "ψ può valere 0, 0,85 o 1");
    row("m 1e6", "\"m\": 0.8", "\"m\": 1000000", "m può valere 0,8 o 1");
    row("fractile 1000", "\"fractile\": 1.2", "\"fractile\": 1000", "frattile");
    row("packaging 3", "\"packaging\": 1.1", "\"packaging\": 3", "imballaggio può valere 1 o 1,1");
    const QByteArray notes = "\"regulation\": \"dm2007\", \"notes\": ";
    row("notes too long", rule,
        notes + '"' + QByteArray(CalculationRules::kLongestNotes + 1, 'n') + '"',
        "al massimo 10.000 caratteri");
    row("notes as a number", rule, notes + "12", "«notes» non è un testo");
    row("half a pair in the notes", rule, notes + "\"Nota \\udc00\"", "caratteri non validi");
    row("sum beyond any number", "\"valuePerKg\": 17.5", "\"valuePerKg\": 1e308", "troppo grande");
    // Compartments are counted on the text before the tree is built, and after the version.
    const int most = ProjectFile::kMostCompartments;
    const QByteArray crowded = ProjectFile::toJson(crowdedProject(most + 1)),
                     unquoted = "\"regulation\": dm2007";
    const QString tooMany = u"più di 1000 compartimenti"_s;
    QTest::newRow("one compartment more") << crowded << tooMany << QString();
    QTest::newRow("one more, none readable")
        << QByteArray(crowded).replace(rule, unquoted) << tooMany << QString();
    QTest::newRow("as many, none readable")
        << ProjectFile::toJson(crowdedProject(most)).replace(rule, unquoted) << u"danneggiato"_s
        << QString();
    QTest::newRow("one more, newer version")
        << QByteArray(crowded).replace("\"version\": 2", "\"version\": 7") << u"più recente"_s
        << QString();
}

// A bad file, or no plain file, is refused at once, naming file and reason, and left as it is;
// nothing blocks or reads on. The open project stays, unsaved.
void TestProject::badFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QFETCH(QString, oddKind);
    const QString path = world().filePath(u"Cattivo d'esempio.ardivo"_s);
    QVERIFY(oddKind.isEmpty() ? !writeFile(path, content).isEmpty()
                              : makeOddFile(path, oddKind, ProjectFile::kLargestFile + 1));
    ProjectDocument &document = ProjectDocument::current();
    document.storeCompartment(sampleProject().compartments[0]);
    const Project before = document.project();
    QVERIFY(!ProjectActions::openProjectFile(path));
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages[0].toLower(),
                    {u"cattivo d'esempio.ardivo"_s, reason.toLower()});
    QCOMPARE(document.project(), before);
    QVERIFY(document.isModified());
    if (oddKind.isEmpty()) // a pipe is never read: it would wait for a writer
        QCOMPARE(bytesOf(path), content);
}

// Compartments saved, the project closed and reopened: every page text as saved, notes as typed.
void TestProject::compartmentsSavedAndReopened()
{
    const QString path = world().filePath(u"Lavoro.ardivo"_s);
    const struct Walk {
        Method method;
        QString risk;
        QStringList measures;
        QString name;
    } walks[] = {{Method::Activity, "Option1_1", {"Check4", "Check6"}, "Uffici"},
                 {Method::Materials, "Option1_2", {"Check1", "Check4"}, "Magazzino legno"},
                 {Method::Furnishings, "Option1_0", {"Check3"}, "Dormitorio"}};
    const QString notes = u"Classe II: <b>idranti</b> & UNI 10779\nInventario al 12/01/2027."_s;
    QList<QMap<QString, QString>> saved;
    for (const Walk &walk : walks) {
        walkToReport(walk.method, walk.risk, walk.measures);
        ReportPage *page = reportPageFor(walk.method);
        QVERIFY(page->isVisible());
        if (walk.method == Method::Materials) {
            auto *box = child<QPlainTextEdit>(*page, "txtNote");
            clickAndType(box, notes.section(u'\n', 0, 0));
            QTest::keyClick(box, Qt::Key_Return);
            QTest::keyClicks(box, notes.section(u'\n', 1));
            QCOMPARE(calculation().notes, notes);
        }
        saved << pageTexts(page);
        world().prompt.inputs << walk.name;
        click(*page, "cmdSalvaCompartimento");
        QCOMPARE(world().prompt.prompts.last(), u"Nome del compartimento:"_s);
        QCOMPARE(CalculationSession::current().compartmentName(), walk.name);
    }
    const int messagesBefore = world().prompt.messages.size();

    click(*reportPageFor(Method::Furnishings), "cmdProgetto");
    auto &window = Screens::get<Progetto>();
    QVERIFY(window.isVisible());
    QVERIFY(reportPageFor(Method::Furnishings)->isVisible()); // the screen stays beside it
    QCOMPARE(compartmentTable()->model()->rowCount(), 3);
    const QStringList stored = rowTexts(compartmentTable(), 1);
    QCOMPARE(stored.value(0) + " " + stored.value(7),
             "Magazzino legno " + saved[1]["txtTotFormula"]);
    QCOMPARE(compartmentTable()->model()->headerData(7, Qt::Horizontal).toString(),
             u"q_f,d [MJ/m²]"_s);
    clickAndType(window, "txtNomeProgetto", u"Scuola dell'Orto"_s);
    clickAndType(window, "txtTecnico", u"Ing. Ardivo"_s);
    clickAndType(window, "txtRevisione", u"REV 02 del 01/02/2027"_s);
    QCOMPARE(ProjectDocument::current().project().identity.revision, u"REV 02 del 01/02/2027"_s);
    QVERIFY(window.isWindowModified());
    QVERIFY(window.windowTitle().contains(u"Senza nome"_s));
    world().prompt.files << path;
    click(window, "cmdSalvaProgetto");
    QVERIFY(world().prompt.fileBoxes.last().endsWith(u"Scuola dell'Orto.ardivo"_s));
    QVERIFY(!window.isWindowModified());
    QVERIFY(window.windowTitle().contains(u"Lavoro.ardivo"_s));
    QCOMPARE(world().prompt.messages.size(), messagesBefore); // a save that works says nothing
    VERIFY_CONTAINS(QString::fromUtf8(bytesOf(path)),
                    {"\"notes\": \"Classe II: <b>idranti</b> & UNI 10779\\nInventario"});

    reopenProject(path);
    COMPARE_FIELDS(Screens::get<Progetto>(),
                   {"txtNomeProgetto=Scuola dell'Orto", "txtRevisione=REV 02 del 01/02/2027"});
    for (int row = 0; row < 3; ++row) {
        const Walk &walk = walks[row];
        openCompartmentRow(row);
        ReportPage *page = reportPageFor(walk.method);
        QVERIFY(page->isVisible() && child(*page, "lblProgetto")->isVisible());
        const QMap<QString, QString> texts = pageTexts(page);
        // The job's band, which the page shows for a calculation of a project.
        COMPARE_FIELDS(*page,
                       {"lblProgetto=Progetto: Scuola dell'Orto",
                        "lblCompartimento=Compartimento: " + walk.name,
                        "lblTecnico=Tecnico: Ing. Ardivo",
                        "txtNote=" + (walk.method == Method::Materials ? notes : QString())});
        for (auto it = saved[row].cbegin(); it != saved[row].cend(); ++it)
            QVERIFY2(kBand.contains(it.key()) || texts.value(it.key()) == it.value(),
                     qPrintable(walk.name + ": " + it.key() + " = " + texts.value(it.key())));
        QCOMPARE(CalculationSession::current().compartmentName(), walk.name);
        // The screens hold the inputs as typed: back from the page goes through them.
        if (walk.method == Method::Activity)
            COMPARE_FIELDS(Screens::get<ValorePerAttivita>(),
                           {"ComboAttivita=Ufficio", "txtValoreMJm2=420", "ComboFrattile=1,2",
                            "Valoreqf=504"});
        if (walk.method != Method::Materials)
            continue;
        const qsizetype shown = world().prompt.messages.size();
        const QStringList sheets =
            pdfSheets(exportedPdf(world(), *page, world().filePath("N.pdf")));
        const QString last = sheets.last();
        VERIFY_CONTAINS(last,
                        {"Sviluppo del calcolo", "Note e ipotesi",
                         "Classe II: <b>idranti</b> & UNI 10779", "Inventario al 12/01/2027."});
        QVERIFY(last.indexOf(u"Note e ipotesi"_s) > last.indexOf(u"q_f,d ="_s));
        world().prompt.files << world().filePath(u"N.odt"_s);
        click(*page, "cmdEsportaOdt");
        VERIFY_CONTAINS(odtContent(world().filePath(u"N.odt"_s)),
                        {"Note e ipotesi", "&lt;b&gt;idranti&lt;/b&gt; &amp; UNI"});
        QCOMPARE(world().prompt.messages.size(), shown); // both exports said nothing
    }
    // The materials screen has its area and its entries back in the working table.
    QCOMPARE(textOf(Screens::get<ValorePerMateriale>(), "txtAreaComp"), u"60"_s);
    QCOMPARE((QList<qint64>{rowCountOf(u"tblAppoggioMateriali"_s), rowCountOf(u"tblStampaArredo"_s),
                            rowCountOf(u"tblStampaMatInDep"_s)}),
             (QList<qint64>{2, 1, 1}));
    QVERIFY(!ProjectDocument::current().isModified());
    walkToReport(Method::Materials, "Option1_1", {});
    QCOMPARE(textOf(Screens::get<StampaMateriali>(), "txtNote"), QString()); // a new one has none
}

// A name already in the project is replaced only when agreed; deleting asks first.
void TestProject::replacedAndDeletedCompartments()
{
    walkToReport(Method::Activity, "Option1_1", {"Check4"});
    ReportPage *page = reportPageFor(Method::Activity);
    const auto save = [&](const QString &name, std::optional<bool> replace = {}) {
        world().prompt.inputs << name;
        if (replace)
            world().prompt.answers << *replace;
        click(*page, "cmdSalvaCompartimento");
    };
    save(u"Uffici"_s);
    save(u"Sale riunioni"_s);
    QCOMPARE(world().prompt.proposals.last(), u"Uffici"_s); // the name it had
    showProjectWindow();
    QTableView *table = compartmentTable();
    QCOMPARE(table->model()->rowCount(), 2);

    click(*page, "cmdIndietro");
    click(Screens::get<TotaleFormula>(), "Command1");
    click(Screens::get<FattoreProtezione>(), "Check5");
    click(Screens::get<FattoreProtezione>(), "Command1");
    click(Screens::get<TotaleFormula>(), "Command3");
    save(u"Uffici"_s, false);
    QCOMPARE(world().prompt.questions.last(),
             u"Il progetto contiene già il compartimento «Uffici».\nSostituirlo?"_s);
    QCOMPARE(table->model()->index(0, 6).data().toString(), u"0,85"_s);
    save(u"Uffici"_s, true);
    QCOMPARE(rowTexts(table, 0).value(0) + u' ' + rowTexts(table, 0).value(6), u"Uffici 0,765"_s);
    const Project before = ProjectDocument::current().project();
    click(*page, "cmdSalvaCompartimento");
    QCOMPARE(ProjectDocument::current().project(), before);

    clickCell(table, 1);
    world().prompt.answers << false << true;
    click(Screens::get<Progetto>(), "cmdEliminaCompartimento");
    QCOMPARE(world().prompt.questions.last(),
             u"Eliminare il compartimento «Sale riunioni» dal progetto?"_s);
    QCOMPARE(table->model()->rowCount(), 2);
    click(Screens::get<Progetto>(), "cmdEliminaCompartimento");
    QCOMPARE(ProjectDocument::current().project().compartments.size(), 1);
    QCOMPARE(rowTexts(table, 0).value(0), u"Uffici"_s);
}

// New, Apri and closing the program ask about unsaved changes; Cancel keeps everything.
void TestProject::unsavedChangesQuestion()
{
    showProjectWindow();
    auto &window = Screens::get<Progetto>();
    clickAndType(window, "txtCommittente", u"Comune"_s);
    const Project changed = ProjectDocument::current().project();

    world().prompt.choices << UserPrompt::Answer::Cancel << UserPrompt::Answer::Cancel;
    click(window, "cmdNuovoProgetto");
    click(window, "cmdApriProgetto");
    QCOMPARE(world().prompt.asked.size(), 2);
    QVERIFY(world().prompt.asked[0].contains(u"modifiche non salvate"_s));
    QVERIFY(world().prompt.fileBoxes.isEmpty()); // no file box after Cancel
    QCOMPARE(ProjectDocument::current().project(), changed);
    QVERIFY(ProjectDocument::current().isModified());

    setQuitGuard(&ProjectActions::settleUnsavedChanges); // the program closed with its close box
    auto &start = Screens::get<Avvio>();
    start.show();
    world().prompt.choices << UserPrompt::Answer::Cancel;
    start.close();
    QVERIFY(start.isVisible());
    QCOMPARE(ProjectDocument::current().project(), changed);

    world().prompt.choices << UserPrompt::Answer::Yes; // saves first
    world().prompt.files << world().filePath("Comune.ardivo");
    click(window, "cmdNuovoProgetto");
    QVERIFY(QFile::exists(world().filePath("Comune.ardivo")));
    QCOMPARE(ProjectDocument::current().project().identity.client, QString());
    QCOMPARE(textOf(window, "txtCommittente"), QString());
    QCOMPARE(child<QDateEdit>(window, "dtData")->date(), QDate::currentDate());

    clickAndType(window, "txtCommittente", u"Altro"_s);
    world().prompt.choices << UserPrompt::Answer::No; // throws the changes away
    world().prompt.files << world().filePath("Comune.ardivo");
    click(window, "cmdApriProgetto");
    QCOMPARE(ProjectDocument::current().project().identity.client, u"Comune"_s);
    QVERIFY(!window.isWindowModified());

    const int asked = world().prompt.asked.size(); // without changes nothing is asked
    start.close();
    QCOMPARE(world().prompt.asked.size(), asked);
    setQuitGuard({});
}

// A save killed at any moment leaves a file that opens whole: the one before, or the new one.
void TestProject::saveInterruptedByKill()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Interrotto.ardivo"_s);
    QRandomGenerator random(20261207);
    for (int round = 0; round < 6; ++round) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(kProbe, {u"saveprojects"_s, path});
        QVERIFY(writer.waitForReadyRead(20000)); // at least one save is done
        QTest::qWait(int(random.bounded(5, 120)));
        writer.kill();
        QVERIFY(writer.waitForFinished());
        const auto read = ProjectFile::load(path);
        QVERIFY2(read.project, qPrintable(read.error));
        QVERIFY(!read.project->compartments.isEmpty());
        // The file, and a half-written copy at most.
        const QStringList leftovers = QDir(dir.path()).entryList(QDir::Files);
        QVERIFY2(leftovers.size() <= 2, qPrintable(leftovers.join(", ")));
    }
}

// The project's PDF and ODT: each compartment's sheets as text; the ODT's outline and feet.
void TestProject::projectExported()
{
    // A calculation outside any project shows no band and prints with no foot, as it always has.
    // 1500 × 1,2 × 1,6 × 1 × 0,9 = 2592
    CalculationSession::current().load(activityCalculation(u"Biblioteca"_s, 1500, 1.2, 3, 1, {4}));
    ReportPage *outside = reportPageFor(Method::Activity);
    outside->show();
    QVERIFY(!child(*outside, "lblProgetto")->isVisible());
    const QString printed = exportedPdf(world(), *outside, world().filePath("Ufficio.pdf"));
    QVERIFY(world().prompt.fileBoxes.last().endsWith(
        u"Ardivo - %1.pdf"_s.arg(QDate::currentDate().toString(Qt::ISODate))));
    // No band, but the date and the page numbers all the same; buttons are never printed.
    VERIFY_CONTAINS(printed, {"2.592,00", "Classe di riferimento", "Pagina 1 di 2", "Pagina 2 di 2",
                              QRegularExpression("prestazione III\\s+=\\s+240"),
                              QRegularExpression("prestazione III\\s+=\\s+120"),
                              QDate::currentDate().toString(u"dd/MM/yyyy"_s)});
    QVERIFY(!printed.contains("Nuova analisi") && !printed.contains("Progetto:"));
    VERIFY_CONTAINS(
        outputOf(u"pdfinfo"_s, {world().filePath("Ufficio.pdf")}),
        {QRegularExpression("Title:\\s+Ardivo"), QRegularExpression("Creator:\\s+Ardivo")});

    const Project project = sampleProject();
    QTemporaryDir dir, projectDir;
    // The export is proposed beside the project file, named after the project.
    ProjectDocument::current().opened(project, projectDir.filePath(u"scuola.ardivo"_s));
    showProjectWindow();
    const QString path = dir.filePath(u"Relazione d'esempio.pdf"_s);
    const QStringList sheets = pdfSheets(exportedPdf(world(), Screens::get<Progetto>(), path));
    QCOMPARE(world().prompt.fileBoxes.last(),
             u"save "_s + projectDir.filePath(u"Scuola «Dell'Orto».pdf"_s));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no part left
    // Summary, then page, list and working of each compartment; the revision in every foot.
    QCOMPARE(sheets.size(), 9);
    VERIFY_CONTAINS(sheets[0], {"Superficie", "[MJ/m²]", "Magazzino", "Archivio", "142,80",
                                "D.M. 9 marzo 2007, livello di prestazione III"});
    for (int i = 0; i < 9; ++i)
        VERIFY_CONTAINS(sheets[i], {u"Pagina %1 di 9"_s.arg(i + 1), "REV 01 del 12/01/2027"});
    for (const auto &[page, compartment] : {std::pair(3, "Magazzino"), std::pair(6, "Archivio")})
        VERIFY_CONTAINS(sheets[page],
                        {"Progetto: Scuola «Dell'Orto»", "Tecnico: Ing. Ardivo",
                         "Committente: Comune di Àrdea", u"Compartimento: "_s + compartment});
    // Legno 14.000 MJ, all of it; Scaffale 500 MJ and Carta 4.400 MJ out of 4.900.
    VERIFY_CONTAINS(sheets[4], {"14.000", "100,0"});
    VERIFY_CONTAINS(sheets[7], {"10,2", "89,8", "4.900"});
    QVERIFY(sheets[5].contains("Sviluppo del calcolo") && sheets[8].contains("Timbro e firma"));
    // PDF/A-1b, with the technician as its author, also in the information dictionary.
    VERIFY_CONTAINS(
        outputOf(u"pdfinfo"_s, {u"-meta"_s, path}),
        {u"pdfaid:part=\"1\""_s, u"pdfaid:conformance=\"B\""_s, u"<rdf:li>Ing. Ardivo</rdf:li>"_s});
    VERIFY_CONTAINS(
        outputOf(u"pdfinfo"_s, {path}),
        {QRegularExpression(u"Author:\\s+Ing. Ardivo\n"_s),
         QRegularExpression(u"Subject:\\s+Relazione di calcolo del carico d'incendio\n"_s),
         QRegularExpression(u"Title:\\s+Scuola «Dell'Orto»\n"_s)});
    QCOMPARE(CalculationSession::current().compartmentName(), QString()); // left alone

    // A project never saved: the ODT goes where the last export went.
    ProjectDocument::current().opened(project, QString());
    const QString odt = dir.filePath(u"Relazione.odt"_s);
    world().prompt.files << odt;
    click(Screens::get<Progetto>(), "cmdEsportaOdt");
    QCOMPARE(world().prompt.fileBoxes.last(),
             u"save "_s + dir.filePath(u"Scuola «Dell'Orto».odt"_s));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    const QString content = odtContent(odt), styles = odtContent(odt, u"styles.xml"_s);
    QStringList outline;
    const QRegularExpression headings(u"<text:h [^>]*text:outline-level=\"(\\d)\">([^<]*)<"_s);
    for (const QRegularExpressionMatch &m : headings.globalMatch(content))
        if (m.captured(1) != u"3"_s)
            outline << m.captured(1) + u" "_s + m.captured(2);
    QCOMPARE(
        outline,
        QStringList({u"1 Riepilogo dei compartimenti"_s, u"1 Compartimento: Uffici piano terra"_s,
                     u"2 "_s + ReportDocuments::methodTitle(Method::Activity),
                     u"2 Sviluppo del calcolo"_s, u"1 Compartimento: Magazzino"_s,
                     u"2 "_s + ReportDocuments::methodTitle(Method::Materials),
                     u"2 Elenco di materiali inseriti nella sommatoria"_s,
                     u"2 Sviluppo del calcolo"_s, u"1 Compartimento: Archivio"_s,
                     u"2 "_s + ReportDocuments::methodTitle(Method::Furnishings),
                     u"2 Elenco di arredi e/o merci in deposito inseriti nella sommatoria"_s,
                     u"2 Sviluppo del calcolo"_s}));
    // A master page for each foot, each with the page number and count as fields.
    for (const QString &compartment : {u"Riepilogo"_s, u"Magazzino"_s, u"Archivio"_s}) {
        const QRegularExpression page(
            u"<style:master-page style:name=\"([^\"]+)\"[^>]*><style:footer><text:p [^>]*>"
            "Scuola «Dell'Orto» – %1<text:tab/>Pagina <text:page-number "
            "text:select-page=\"current\">1</text:page-number> di "
            "<text:page-count>1</text:page-count></text:p><text:p [^>]*>Ardivo 1.0 – 07/12/2026 "
            "– REV 01 del 12/01/2027</text:p>"_s.arg(compartment));
        const QRegularExpressionMatch master = page.match(styles);
        QVERIFY2(master.hasMatch(), qPrintable(compartment));
        QVERIFY(content.contains(
            QRegularExpression(u"style:master-page-name=\"%1\""_s.arg(master.captured(1)))));
    }
    // The summary: its header row repeated, every value in a cell of its own.
    QVERIFY(content.contains(u"<table:table-header-rows>"_s));
    for (const Compartment &compartment : project.compartments)
        for (const QString &value : compartmentRow(compartment))
            QVERIFY2(
                content.contains(u">%1</text:p></table:table-cell>"_s.arg(value.toHtmlEscaped())),
                qPrintable(value));
    VERIFY_CONTAINS(odtContent(odt, u"meta.xml"_s), {u"<dc:creator>Ing. Ardivo</dc:creator>"_s,
                                                     u"<dc:title>Scuola «Dell'Orto»</dc:title>"_s});

    // 60 compartments make a summary of several sheets, each compartment on exactly one of them.
    Project many;
    for (int i = 1; i <= 60; ++i)
        many.compartments << Compartment{u"Locale %1"_s.arg(i, 2, 10, QLatin1Char('0')),
                                         sampleProject().compartments[0].calculation};
    ProjectDocument::current().opened(many, QString());
    showProjectWindow();
    click(Screens::get<Progetto>(), "cmdStampaRiepilogo");
    QVERIFY(Screens::get<StampaRiepilogo>().isVisible());
    const QString summary =
        exportedPdf(world(), Screens::get<StampaRiepilogo>(), world().filePath("Riepilogo.pdf"));
    const QStringList summarySheets = pdfSheets(summary);
    QVERIFY(summarySheets.size() >= 2);
    for (int i = 1; i <= 60; ++i)
        QCOMPARE(summary.count(u"Locale %1"_s.arg(i, 2, 10, QLatin1Char('0'))), 1);
    QVERIFY(summarySheets.last().contains(u"Pagina %1 di %1"_s.arg(summarySheets.size())));
}

// A long name with markup: as typed in a real box and tooltips, elided on screen, printed whole.
void TestProject::namesWithMarkupShownAsTyped()
{
    const QString name = u"<a href=\"file:///etc/passwd\"><img src=\"x.png\" width=30000 "
                         "height=30000>Scuola</a> 学校小学校 "_s +
                         u"Scuola dell'Orto "_s.repeated(12) + u"FINE"_s;
    Project project = sampleProject();
    project.identity.name = name;
    ProjectDocument::current().opened(project, QString());
    ProjectDocument::current().setIdentity(project.identity); // no change: not modified
    ProjectDocument::current().storeCompartment(project.compartments[0]);

    // The question in the real box, with Qt's own Italian texts loaded as at start.
    QVERIFY(installItalianTranslations());
    UserPrompt::install(&MessageBoxPrompt::instance());
    QString shown;
    QStringList captions;
    Qt::TextFormat format = Qt::RichText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        auto *label = box ? box->findChild<QLabel *>(u"qt_msgbox_label"_s) : nullptr;
        QVERIFY(label);
        shown = label->text();
        format = label->textFormat();
        for (QAbstractButton *button : box->buttons())
            captions << button->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::Cancel)->click();
    });
    showProjectWindow();
    click(Screens::get<Progetto>(), "cmdNuovoProgetto");
    UserPrompt::install(&world().prompt);
    captions.sort();
    QCOMPARE(captions, (QStringList{"Annulla", "No", u"Sì"_s}));
    QCOMPARE(format, Qt::PlainText);
    QVERIFY2(shown.contains(u"«"_s + name + u"»"_s), qPrintable(shown));
    QCOMPARE(ProjectDocument::current().project().identity.name, name); // Cancel kept it

    ProjectActions::openCompartment(project.compartments[0]);
    ReportPage *page = reportPageFor(Method::Activity);
    auto *label = child<QLabel>(*page, "lblProgetto");
    QVERIFY(label->isVisible());
    QVERIFY(label->text().endsWith(QChar(0x2026)));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(renderedToolTip(label), u"Progetto: "_s + name);
    QVERIFY(label->geometry().right() < child(*page, "lblCommittente")->geometry().left());
    auto &summary = Screens::get<StampaRiepilogo>();
    QCOMPARE(renderedToolTip(child(summary, "lblProgetto")), u"Progetto: "_s + name);
    VERIFY_CONTAINS(exportedPdf(world(), *page, world().filePath("Lungo.pdf")),
                    {"FINE", u"学校小学校"_s});
}

// A write cut short (a file-size limit, as a full disk) says why and leaves the old file as it was;
// a file that just fits is written whole. "raw": WholeFile::write itself, with `size` bytes.
void TestProject::writesOnAFullDiskKeepTheOldFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("said");
    QTest::addColumn<int>("size");
    QTest::newRow("PDF") << u"pdf"_s << 4096 << u"Impossibile esportare il PDF"_s << 0;
    QTest::newRow("ODT") << u"odt"_s << 1024 << u"Impossibile esportare il documento ODT"_s << 0;
    QTest::newRow("project") << u"ardivo"_s << 1024 << u"Impossibile salvare il progetto"_s << 0;
    QTest::newRow("list") << u"csv"_s << 100 << u"Impossibile scrivere il file"_s << 0;
    // The last bytes of a small file, the first of a large one.
    const QString tooLarge = u"file troppo grande per il sistema"_s;
    QTest::newRow("one byte beyond") << u"raw"_s << 4096 << tooLarge << 4097;
    QTest::newRow("beyond a write buffer") << u"raw"_s << 4096 << tooLarge << 20000;
    QTest::newRow("up to the limit") << u"raw"_s << 4096 << QString() << 4096;
}

void TestProject::writesOnAFullDiskKeepTheOldFile()
{
    QFETCH(QString, kind);
    QFETCH(int, limit);
    QFETCH(QString, said);
    QFETCH(int, size);
    if (kind == u"csv"_s) {
        startMethod<ValorePerMateriale>();
        enterExampleMaterials();
    } else if (kind == u"ardivo"_s) {
        ProjectDocument::current().storeCompartment(sampleProject().compartments[1]);
    } else if (kind != u"raw"_s) {
        walkToReport(Method::Activity, "Option1_1", {});
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Ufficio."_s + kind);
    const QByteArray before = "il documento di ieri", bytes(size, 'x');
    QVERIFY(!writeFile(path, before).isEmpty());

    std::signal(SIGXFSZ, SIG_IGN); // as the program does: a write fails, nothing is killed
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const rlimit sizeLimit{rlim_t(limit), saved.rlim_max};
    const qsizetype shown = world().prompt.messages.size();
    QString reason; // what WholeFile::write gives back
    QVERIFY(setrlimit(RLIMIT_FSIZE, &sizeLimit) == 0);
    world().prompt.files << path;
    if (kind == u"raw"_s)
        reason = WholeFile::write(path, bytes);
    else if (kind == u"csv"_s)
        click(Screens::get<ValorePerMateriale>(), "cmdEsportaElenco");
    else if (kind == u"ardivo"_s)
        ProjectActions::saveProjectAs();
    else
        click(*reportPageFor(Method::Activity),
              kind == u"pdf"_s ? "cmdEsportaPdf" : "cmdEsportaOdt");
    QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);

    if (kind == u"raw"_s) {
        QCOMPARE(reason, said);
        QCOMPARE(bytesOf(path), said.isEmpty() ? bytes : before);
    } else {
        QCOMPARE(world().prompt.messages.size(), shown + 1);
        VERIFY_CONTAINS(world().prompt.messages.last(),
                        {said, u"ile troppo grande per il sistema"_s});
        QCOMPARE(bytesOf(path), before);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{path.section(u'/', -1)});
    if (kind == u"ardivo"_s)
        QVERIFY(ProjectDocument::current().isModified());
}

// The running copy takes only whole one-line requests of this user, none from before it; a start
// that comes while it opens its mailbox waits; a second start hands its file over and ends.
void TestProject::secondStartHandsOverItsFile()
{
    QTemporaryDir home;
    const QString dataFolder = home.filePath(u"Ardivo"_s);
    Database::instance().setFilePath(dataFolder + u"/Ardivo.db"_s);
    QVERIFY(storeMaterials(
        {materialEntry(u"Legno"_s, 17.5, 1000, 1, 0.8), materialEntry(u"Carta"_s, 20, 10)}));
    const QString box = SingleInstance::mailbox(dataFolder, QCoreApplication::applicationPid());
    // A request appears whole, renamed into place, as a start leaves it.
    const auto leave = [](const QString &in, const QString &name, const QByteArray &bytes,
                          uid_t owner = geteuid()) {
        return QDir().mkpath(in) && !writeFile(in + u"/bozza"_s, bytes).isEmpty() &&
               chown(QFile::encodeName(in + u"/bozza"_s).constData(), owner, gid_t(-1)) == 0 &&
               QFile::rename(in + u"/bozza"_s, in + u'/' + name + SingleInstance::kRequestEnding);
    };
    const QString left = SingleInstance::mailbox(dataFolder, 1); // of a copy that ended
    QVERIFY(leave(left, u"vecchia"_s, home.filePath(u"Vecchio.ardivo\n"_s).toUtf8()));

    QLockFile opening(dataFolder + u"/Ardivo.lock"_s);
    QVERIFY(opening.tryLock(0));
    QSemaphore refused;
    auto early = std::async(std::launch::async, [&] {
        SingleInstance later(dataFolder);
        const bool claimed = later.claim();
        refused.release();
        return !claimed && later.handOver(home.filePath(u"Primo.ardivo"_s));
    });
    refused.acquire();
    opening.unlock();
    SingleInstance first(dataFolder);
    QVERIFY(first.claim());
    QSignalSpy handedOver(&first, &SingleInstance::fileHandedOver);
    QVERIFY(handedOver.wait(5000));
    QVERIFY(early.get());
    QCOMPARE(handedOver.takeFirst().first().toString(), home.filePath(u"Primo.ardivo"_s));
    QVERIFY(!QFileInfo::exists(left));
    QCOMPARE(QFileInfo(box).permissions() & QFile::Permissions(0x0077), QFile::Permissions());

    // Thrown away unread: one byte too long, two lines, a relative path, another user's.
    QVERIFY(leave(box, u"lunga"_s, QByteArray(SingleInstance::kLongestMessage, '/') + '\n'));
    QVERIFY(leave(box, u"righe"_s, "/a.ardivo\n/b.ardivo\n"));
    QVERIFY(leave(box, u"relativa"_s, "b.ardivo\n"));
    if (geteuid() == 0)
        QVERIFY(leave(box, u"altrui"_s, "/c.ardivo\n", 65534));
    QVERIFY(!writeFile(box + u"/bozza"_s, "/d.ardivo\n").isEmpty()); // not a request's name
    const QString project = home.filePath(u"Secondo progetto.ardivo"_s);
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_DATA_HOME"_s, home.path());
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(ARDIVO_PATH), {project});
    QVERIFY(handedOver.wait(10000));
    QCOMPARE(QList<QVariantList>(handedOver), QList<QVariantList>{{project}});
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1, 0);
    QCOMPARE(rowCountOf(u"tblAppoggioMateriali"_s), 2);
    QCOMPARE(QDir(box).entryList(QDir::Files), QStringList{u"bozza"_s});
    QVERIFY(QFile::remove(box + u"/bozza"_s)); // so that the mailbox goes with its copy
}

// Notes of the greatest length open and print whole; one key more is refused with a message.
void TestProject::longestNotesPaginateAndTakeNoMore()
{
    QString notes;
    for (int i = 1; notes.size() < CalculationRules::kLongestNotes - 40; ++i)
        notes += u"Ipotesi %1: deposito su scaffali metallici.\n"_s.arg(i, 3, 10, QChar('0'));
    notes += QString(CalculationRules::kLongestNotes - 3 - notes.size(), u'x') + u"FIN"_s;
    QCOMPARE(notes.size(), CalculationRules::kLongestNotes);
    Project project = sampleProject();
    project.compartments[0].calculation.notes = notes;
    reopenProject(writeFile(world().filePath(u"Lunghe.ardivo"_s), ProjectFile::toJson(project)));
    openCompartmentRow(0);
    QWidget *page = &Screens::get<StampaAttivita>();
    QVERIFY(page->isVisible());
    QCOMPARE(textOf(*page, "txtNote"), notes);

    clickAndType(child(*page, "txtNote"), u"y"_s, false);
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages[0], {"al massimo 10.000 caratteri"});
    QCOMPARE(textOf(*page, "txtNote"), notes);
    QCOMPARE(calculation().notes, notes);

    world().prompt.messages.clear();
    const QStringList sheets = pdfSheets(exportedPdf(world(), *page, world().filePath(u"L.pdf"_s)));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    QVERIFY(sheets.size() >= 5);
    VERIFY_CONTAINS(sheets.join(u' '), {"Ipotesi 001: deposito", "Ipotesi 200: deposito", "xxFIN",
                                        u"Pagina %1 di %1"_s.arg(sheets.size())});

    // A compartment with a thousand emptied lines is reopened with one warning, not one per line.
    Compartment store = sampleProject().compartments[1];
    const Amount e = Amount::emptyText();
    store.calculation.materials += QVector<MaterialEntry>(1000, {u"Vuoto"_s, e, e, e, e});
    ProjectActions::openCompartment(store);
    QCOMPARE(world().prompt.messages,
             QStringList{"Attenzione ci sono alcuni campi vuoti in tabella"});
    QCOMPARE(fireLoadNow(), 17.5 * 1000 * 0.8 / 60);
}

// A refused "Salva nel progetto" or "Salva" says why and changes nothing, the old file included.
void TestProject::refusedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("file"); // the project's file; none: one written the day before
    QTest::addColumn<QStringList>("said");
    QTest::newRow("name") << QString() << QStringList{"Il nome contiene caratteri di controllo."};
    QTest::newRow("source") << QString() << QStringList{"non può essere salvato nel progetto"};
    QTest::newRow("full") << QString() << QStringList{"al massimo 1000 compartimenti"};
    QTest::newRow("folder") << "/non/esiste/Lavoro.ardivo" << QStringList{"La cartella non esiste"};
    // A folder where no file can be made: the user is offered another name.
    QTest::newRow("read-only") << "/proc/Progetto.ardivo"
                               << QStringList{"/proc/Progetto.ardivo",
                                              "Salvarlo con un altro nome?"};
    // A project the reader would refuse (a source too long) is not written.
    QTest::newRow("reopen") << QString()
                            << QStringList{"Impossibile salvare il progetto",
                                           "non potrebbe essere riaperto", "«source»",
                                           "troppo lungo"};
}

void TestProject::refusedSaveChangesNothing()
{
    QFETCH(QString, file);
    QFETCH(QStringList, said);
    const QString refusal = QString::fromLatin1(QTest::currentDataTag());
    Project project = sampleProject();
    for (int i = project.compartments.size(); refusal == u"full"_s && i < 1000; ++i)
        project.compartments.append({u"Locale %1"_s.arg(i), project.compartments[0].calculation});
    const QByteArray yesterday = "il progetto di ieri";
    const QString path =
        file.isEmpty() ? writeFile(world().filePath(u"Lavoro.ardivo"_s), yesterday) : file;
    ProjectDocument &document = ProjectDocument::current();
    document.opened(project, path);
    Calculation loaded = project.compartments[1].calculation;
    if (refusal == u"source"_s || refusal == u"reopen"_s)
        loaded.materials[0].source = QString(300, u's');
    // A change not saved yet; the one that would not reopen goes into the project.
    document.storeCompartment(refusal == u"reopen"_s ? Compartment{u"Magazzino"_s, loaded}
                                                     : project.compartments[0]);
    CalculationSession &session = CalculationSession::current();
    session.startCalculation(loaded.method, loaded.rule);
    session.load(loaded);
    session.setCompartmentName(u"Magazzino"_s);
    const Project before = document.project();

    world().prompt.inputs << (refusal == u"name"_s ? u"Deposito\u0007"_s : u"Deposito"_s);
    world().prompt.answers << false; // not under another name
    if (QStringList{u"folder"_s, u"read-only"_s, u"reopen"_s}.contains(refusal)) {
        showProjectWindow();
        click(Screens::get<Progetto>(), "cmdSalvaProgetto");
    } else {
        click(*reportPageFor(Method::Materials), "cmdSalvaCompartimento");
    }
    const QStringList told = world().prompt.messages + world().prompt.questions;
    QCOMPARE(told.size(), 1);
    VERIFY_CONTAINS(told[0], TextParts(said.cbegin(), said.cend()));
    QCOMPARE(session.calculation(), loaded);
    QCOMPARE(session.compartmentName(), u"Magazzino"_s);
    QCOMPARE(document.project(), before);
    QCOMPARE(document.filePath(), path);
    QVERIFY(document.isModified());
    if (file.isEmpty())
        QCOMPARE(bytesOf(path), yesterday);
}

QTEST_MAIN(TestProject)
#include "tst_project.moc"
