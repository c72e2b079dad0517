// Projects: the file format on its own, then saving compartments from the report pages, reopening
// them, the project window, the unsaved-changes question, bad files and an interrupted save.
#include "core/calculationsession.h"
#include "core/projectdocument.h"
#include "data/database.h"
#include "data/projectfile.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"
#include "testsupport.h"
#include "ui/app/navigation.h"
#include "ui/app/projectactions.h"
#include "ui/app/screens.h"
#include "ui/app/singleinstance.h"
#include "ui/app/startup.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/kit/messageboxprompt.h"
#include "ui/project/progetto.h"
#include "ui/reports/pageview.h"
#include "ui/reports/stampapages.h"
#include "ui/reports/stampariepilogo.h"
#include "ui/start/avvio.h"
#include "ui/start/densitacarico.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QString kProbe = QStringLiteral(FAULTPROBE_PATH);
const QStringList kBand{
    "lblProgetto",      "lblCommittente", "lblUbicazione", "lblAttivitaProgetto",
    "lblCompartimento", "lblTecnico",     "lblData"};

Amount n(double value)
{
    return Amount::number(value);
}

Project sampleProject()
{
    Project project;
    project.identity = {QStringLiteral("Scuola «Dell'Orto»"),   QStringLiteral("Comune di Àrdea"),
                        QStringLiteral("Via d'Azeglio 3"),      QStringLiteral("Scuola"),
                        QStringLiteral("Ing. Ardivo"),          QDate(2026, 12, 7),
                        QStringLiteral("REV 01 del 12/01/2027")};
    Compartment office{QStringLiteral("Uffici piano terra"), {}};
    office.calculation.method = Method::Activity;
    office.calculation.activity = {QStringLiteral("Ufficio"), 420.0, 1.2};
    office.calculation.areaClass = 1;
    office.calculation.riskClass = 1;
    office.calculation.measures = {3, 5};
    Compartment store{QStringLiteral("Magazzino"), {}};
    store.calculation.method = Method::Materials;
    store.calculation.area = 60;
    store.calculation.materials = {
        {QStringLiteral("Legno"), n(17.5), n(1000), n(1), n(0.8)},
        {QStringLiteral("Vuoto"), Amount::emptyText(), n(1), n(1), n(1)}};
    store.calculation.areaClass = 0;
    store.calculation.riskClass = 2;
    store.calculation.measures = {0, 3};
    Compartment archive{QStringLiteral("Archivio"), {}};
    archive.calculation.method = Method::Furnishings;
    archive.calculation.area = 100;
    FurnishingEntry shelf;
    shelf.furnishing = QStringLiteral("Scaffale");
    shelf.valuePerPiece = n(250);
    shelf.pieces = n(2);
    FurnishingEntry paper;
    paper.goods = QStringLiteral("Carta");
    paper.valuePerM3 = n(400);
    paper.volume = n(10);
    paper.packaging = n(1.1);
    archive.calculation.furnishings = {shelf, paper};
    archive.calculation.areaClass = 0;
    archive.calculation.riskClass = 0;
    archive.calculation.measures = {2};
    project.compartments = {office, store, archive};
    return project;
}

// Every named text of a report page, as a user reads it.
QMap<QString, QString> pageTexts(ReportPage *page)
{
    QMap<QString, QString> texts;
    for (QLabel *label : page->pageView()->canvas()->findChildren<QLabel *>()) {
        if (!label->objectName().isEmpty())
            texts.insert(label->objectName(), label->text());
    }
    return texts;
}

QTableView *compartmentTable()
{
    return child<QTableView>(Screens::get<Progetto>(), "DataGridCompartimenti");
}

// A label's tooltip as the tooltip shows it: markup rendered, plain text as it is.
QString renderedToolTip(const QWidget *widget)
{
    QTextDocument document;
    if (Qt::mightBeRichText(widget->toolTip()))
        document.setHtml(widget->toolTip());
    else
        document.setPlainText(widget->toolTip());
    return document.toPlainText();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestProject : public QObject
{
    Q_OBJECT
private slots:
    void fileHoldsEveryInput();
    void badFiles_data();
    void badFiles();
    void compartmentsSavedAndReopened();
    void replacedAndDeletedCompartments();
    void unsavedChangesQuestion();
    void unsavedChangesQuestionInItalian();
    void saveThatFails();
    void saveInterruptedByKill();
    void projectExportedToPdf();
    void summaryOfManyCompartments();
    void exportOutsideAnyProject();
    void longIdentityShortenedOnScreenPrintedWhole();
    void filesThatAreNoPlainFile_data();
    void filesThatAreNoPlainFile();
    void namesWithMarkupShownAsTyped();
    void secondStartHandsOverItsFile();
    void pdfExportOnAFullDiskKeepsTheOldFile();
    void reopeningManyEmptiedLinesWarnsOnce();
};

void TestProject::fileHoldsEveryInput()
{
    TestWorld world;
    const Project project = sampleProject();
    const auto read = ProjectFile::fromJson(ProjectFile::toJson(project));
    QVERIFY2(read.project, qPrintable(read.error));
    QCOMPARE(*read.project, project);
    QCOMPARE(read.project->compartments[1].calculation.materials[1].valuePerKg,
             Amount::emptyText());
    // Written compartment by compartment, the text is the one the whole JSON tree gives.
    for (const Project &written : {project, Project()}) {
        const QByteArray json = ProjectFile::toJson(written);
        QCOMPARE(json, QJsonDocument::fromJson(json).toJson(QJsonDocument::Indented));
    }

    // A path with blanks, accents and apostrophes.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Prog d'esempio è/Scuola dell'Orto.ardivo"));
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(ProjectFile::save(path, project).ok());
    const auto loaded = ProjectFile::load(path);
    QVERIFY2(loaded.project, qPrintable(loaded.error));
    QCOMPARE(*loaded.project, project);
    const QString json = QString::fromUtf8(bytesOf(path));
    QVERIFY(json.contains(QStringLiteral("\"version\": 2")));
    QVERIFY(json.contains(QStringLiteral("\"revision\": \"REV 01 del 12/01/2027\"")));
    QVERIFY(json.contains(QStringLiteral("\"designFireLoad\": \"465,70\""))); // results as shown
    QVERIFY(json.contains(QStringLiteral("\"designFireLoad\": \"142,80\"")));
}

void TestProject::badFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    const QByteArray good = ProjectFile::toJson(sampleProject());
    const auto changed = [&](const char *from, const char *to) {
        QByteArray bytes = good;
        Q_ASSERT(bytes.contains(from));
        return bytes.replace(from, to);
    };
    QTest::newRow("not a project") << QByteArray("Questo non è un progetto") << "non è un progetto";
    QTest::newRow("truncated") << good.left(good.size() / 2) << "danneggiato";
    QTest::newRow("empty") << QByteArray() << "non è un progetto";
    QTest::newRow("another format") << changed("ardivo-project", "altro") << "non è un progetto";
    QTest::newRow("newer version") << changed("\"version\": 2", "\"version\": 7") << "più recente";
    QTest::newRow("unknown rule") << changed("\"regulation\": \"dm2007\"",
                                             "\"regulation\": \"dm1961\"")
                                  << "normativa sconosciuta";
    QTest::newRow("negative area") << changed("\"area\": 60", "\"area\": -60") << "numero valido";
    QTest::newRow("unknown method") << changed("\"method\": \"materials\"", "\"method\": \"magia\"")
                                    << "metodo di calcolo sconosciuto";
    QTest::newRow("risk class IV")
        << changed("\"riskClass\": 2", "\"riskClass\": 3") << "tra I e III";
    QTest::newRow("measures that exclude each other")
        << changed("\"measures\": [\n                0,", "\"measures\": [\n                1, 0,")
        << "si escludono";
    QTest::newRow("quantity as text")
        << changed("\"quantity\": 1000", "\"quantity\": \"mille\"") << "numero valido";
    QTest::newRow("same name twice")
        << changed("\"name\": \"Archivio\"", "\"name\": \"Magazzino\"") << "compare due volte";
    QTest::newRow("same name but for a blank")
        << changed("\"name\": \"Archivio\"", "\"name\": \" Magazzino  \"")
        << "«Magazzino» compare due volte";
    QTest::newRow("control character in a name")
        << changed("\"name\": \"Archivio\"", "\"name\": \"Archi\\u0007vio\"")
        << "caratteri di controllo";
    QTest::newRow("name too long")
        << changed("\"name\": \"Archivio\"",
                   ("\"name\": \"" + QByteArray(201, 'A') + "\"").constData())
        << "troppo lungo";
    QTest::newRow("psi 7") << changed("\"psi\": 1", "\"psi\": 7") << "ψ può valere 0, 0,85 o 1";
    QTest::newRow("m 1e6") << changed("\"m\": 0.8", "\"m\": 1000000") << "m può valere 0,8 o 1";
    QTest::newRow("fractile 1000")
        << changed("\"fractile\": 1.2", "\"fractile\": 1000") << "frattile";
    QTest::newRow("fractile 0") << changed("\"fractile\": 1.2", "\"fractile\": 0") << "frattile";
    QTest::newRow("packaging 3") << changed("\"packaging\": 1.1", "\"packaging\": 3")
                                 << "imballaggio può valere 1 o 1,1";
    QTest::newRow("sum beyond any number")
        << changed("\"valuePerKg\": 17.5", "\"valuePerKg\": 1e308") << "troppo grande";
    Project crowded;
    for (int i = 0; i <= ProjectFile::kMostCompartments; ++i) {
        Compartment compartment = sampleProject().compartments[0];
        compartment.name = QStringLiteral("Ufficio %1").arg(i);
        crowded.compartments << compartment;
    }
    QTest::newRow("too many compartments")
        << ProjectFile::toJson(crowded) << "più di 1000 compartimenti";
}

// A bad file is refused with its name and the reason; the project that was open stays as it was,
// and the file on disk is not touched.
void TestProject::badFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    TestWorld world;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Cattivo d'esempio.ardivo"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    ProjectDocument &document = ProjectDocument::current();
    document.storeCompartment(sampleProject().compartments[0]);
    const Project before = document.project();
    QVERIFY(!ProjectActions::openProjectFile(path));
    QCOMPARE(world.prompt.messages.size(), 1);
    QVERIFY2(world.prompt.messages[0].contains(QStringLiteral("Cattivo d'esempio.ardivo")),
             qPrintable(world.prompt.messages[0]));
    QVERIFY2(world.prompt.messages[0].contains(reason, Qt::CaseInsensitive),
             qPrintable(world.prompt.messages[0]));
    QCOMPARE(document.project(), before);
    QVERIFY(document.isModified());
    QCOMPARE(bytesOf(path), content);
}

// A compartment by each method saved from its report page, the project saved, the program's state
// cleared, the file opened again and each compartment reopened: every text of its report page is
// the one it had when it was saved.
void TestProject::compartmentsSavedAndReopened()
{
    TestWorld world;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lavoro.ardivo"));
    struct Walk {
        Method method;
        QString risk;
        QStringList measures;
        QString name;
    };
    const QList<Walk> walks{
        {Method::Activity, "Option1_1", {"Check4", "Check6"}, "Uffici"},
        {Method::Materials, "Option1_2", {"Check1", "Check4"}, "Magazzino legno"},
        {Method::Furnishings, "Option1_0", {"Check3"}, "Dormitorio"}};
    QList<QMap<QString, QString>> saved;
    for (const Walk &walk : walks) {
        walkToReport(walk.method, walk.risk, walk.measures);
        ReportPage *page = reportPageFor(walk.method);
        QVERIFY(page->isVisible());
        saved << pageTexts(page);
        world.prompt.inputs << walk.name;
        click(child(*page, "cmdSalvaCompartimento"));
        QCOMPARE(world.prompt.prompts.last(), QStringLiteral("Nome del compartimento:"));
        QCOMPARE(CalculationSession::current().compartmentName(), walk.name);
    }
    QVERIFY(world.prompt.messages.filter("inserimento").size() >= 1); // the walks' own messages
    const int messagesBefore = world.prompt.messages.size();

    click(child(*reportPageFor(Method::Furnishings), "cmdProgetto"));
    auto &window = Screens::get<Progetto>();
    QVERIFY(window.isVisible());
    QVERIFY(reportPageFor(Method::Furnishings)->isVisible()); // the screen stays beside it
    QCOMPARE(compartmentTable()->model()->rowCount(), 3);
    QCOMPARE(compartmentTable()->model()->index(1, 0).data().toString(),
             QStringLiteral("Magazzino legno"));
    QCOMPARE(compartmentTable()->model()->index(1, 7).data().toString(), saved[1]["txtTotFormula"]);
    QCOMPARE(compartmentTable()->model()->headerData(7, Qt::Horizontal).toString(),
             QStringLiteral("q_f,d [MJ/m²]"));
    clickAndType(child(window, "txtNomeProgetto"), QStringLiteral("Scuola dell'Orto"));
    clickAndType(child(window, "txtTecnico"), QStringLiteral("Ing. Ardivo"));
    clickAndType(child(window, "txtRevisione"), QStringLiteral("REV 02 del 01/02/2027"));
    QCOMPARE(ProjectDocument::current().project().identity.revision,
             QStringLiteral("REV 02 del 01/02/2027"));
    QVERIFY(window.isWindowModified());
    QVERIFY(window.windowTitle().contains(QStringLiteral("Senza nome")));
    world.prompt.files << path;
    click(child(window, "cmdSalvaProgetto"));
    QVERIFY(world.prompt.fileBoxes.last().endsWith(QStringLiteral("Scuola dell'Orto.ardivo")));
    QVERIFY(!window.isWindowModified());
    QVERIFY(window.windowTitle().contains(QStringLiteral("Lavoro.ardivo")));
    QCOMPARE(world.prompt.messages.size(), messagesBefore); // a save that works says nothing

    // Everything cleared, as after a restart, then the file opened again.
    closeAllScreens();
    Module1::resetSharedState();
    QVERIFY(ProjectActions::openProjectFile(path));
    ProjectActions::showProjectWindow();
    QCOMPARE(child<QLineEdit>(Screens::get<Progetto>(), "txtNomeProgetto")->text(),
             QStringLiteral("Scuola dell'Orto"));
    QCOMPARE(child<QLineEdit>(Screens::get<Progetto>(), "txtRevisione")->text(),
             QStringLiteral("REV 02 del 01/02/2027"));
    for (int row = 0; row < walks.size(); ++row) {
        QTableView *table = compartmentTable();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(row, 0)).center());
        click(child(Screens::get<Progetto>(), "cmdApriCompartimento"));
        ReportPage *page = reportPageFor(walks[row].method);
        QVERIFY(page->isVisible());
        const QMap<QString, QString> texts = pageTexts(page);
        // The job's band, which the page shows for a calculation of a project.
        QCOMPARE(texts.value("lblProgetto"), QStringLiteral("Progetto: Scuola dell'Orto"));
        QCOMPARE(texts.value("lblCompartimento"),
                 QStringLiteral("Compartimento: ") + walks[row].name);
        QCOMPARE(texts.value("lblTecnico"), QStringLiteral("Tecnico: Ing. Ardivo"));
        QVERIFY(child(*page, "lblProgetto")->isVisible());
        for (auto it = saved[row].cbegin(); it != saved[row].cend(); ++it)
            QVERIFY2(kBand.contains(it.key()) || texts.value(it.key()) == it.value(),
                     qPrintable(walks[row].name + ": " + it.key() + " = " + texts.value(it.key()) +
                                ", saved " + it.value()));
        // The screens hold the inputs as typed: back from the page goes through them.
        QCOMPARE(CalculationSession::current().compartmentName(), walks[row].name);
        if (walks[row].method == Method::Activity) {
            auto &activity = Screens::get<ValorePerAttivita>();
            QCOMPARE(child<QComboBox>(activity, "ComboAttivita")->currentText(),
                     QStringLiteral("Ufficio"));
            QCOMPARE(child<QLineEdit>(activity, "txtValoreMJm2")->text(), QStringLiteral("420"));
            QCOMPARE(child<QComboBox>(activity, "ComboFrattile")->currentText(),
                     QStringLiteral("1,2"));
            QCOMPARE(child<QLabel>(activity, "Valoreqf")->text(), QStringLiteral("504"));
        }
    }
    // The materials screen has its area and its entries back in the working table.
    QCOMPARE(child<QLineEdit>(Screens::get<ValorePerMateriale>(), "txtAreaComp")->text(),
             QStringLiteral("60"));
    QCOMPARE(WorkingTables::rowCount(QStringLiteral("tblAppoggioMateriali")), 2);
    QCOMPARE(WorkingTables::rowCount(QStringLiteral("tblStampaArredo")), 1);
    QCOMPARE(WorkingTables::rowCount(QStringLiteral("tblStampaMatInDep")), 1);
    QVERIFY(!ProjectDocument::current().isModified());
}

void TestProject::replacedAndDeletedCompartments()
{
    TestWorld world;
    walkToReport(Method::Activity, "Option1_1", {"Check4"});
    ReportPage *page = reportPageFor(Method::Activity);
    world.prompt.inputs << "Uffici";
    click(child(*page, "cmdSalvaCompartimento"));
    // The same calculation under another name, then with the first name again.
    world.prompt.inputs << "Sale riunioni";
    click(child(*page, "cmdSalvaCompartimento"));
    QCOMPARE(world.prompt.proposals.last(), QStringLiteral("Uffici")); // the name it had
    ProjectActions::showProjectWindow();
    QCOMPARE(compartmentTable()->model()->rowCount(), 2);

    click(child(*page, "cmdIndietro"));
    click(child(Screens::get<TotaleFormula>(), "Command1"));
    click(child(Screens::get<FattoreProtezione>(), "Check5"));
    click(child(Screens::get<FattoreProtezione>(), "Command1"));
    click(child(Screens::get<TotaleFormula>(), "Command3"));
    world.prompt.inputs << "Uffici";
    world.prompt.answers << false; // not replaced
    click(child(*page, "cmdSalvaCompartimento"));
    QCOMPARE(world.prompt.questions.last(),
             QStringLiteral("Il progetto contiene già il compartimento «Uffici».\nSostituirlo?"));
    QCOMPARE(compartmentTable()->model()->index(0, 6).data().toString(), QStringLiteral("0,85"));
    world.prompt.inputs << "Uffici";
    world.prompt.answers << true;
    click(child(*page, "cmdSalvaCompartimento"));
    QCOMPARE(compartmentTable()->model()->rowCount(), 2);
    QCOMPARE(compartmentTable()->model()->index(0, 0).data().toString(), QStringLiteral("Uffici"));
    QCOMPARE(compartmentTable()->model()->index(0, 6).data().toString(), QStringLiteral("0,77"));
    // Cancel stores nothing.
    const Project before = ProjectDocument::current().project();
    click(child(*page, "cmdSalvaCompartimento"));
    QCOMPARE(ProjectDocument::current().project(), before);

    // Deleting asks first.
    QTableView *table = compartmentTable();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(1, 0)).center());
    world.prompt.answers << false;
    click(child(Screens::get<Progetto>(), "cmdEliminaCompartimento"));
    QCOMPARE(world.prompt.questions.last(),
             QStringLiteral("Eliminare il compartimento «Sale riunioni» dal progetto?"));
    QCOMPARE(table->model()->rowCount(), 2);
    world.prompt.answers << true;
    click(child(Screens::get<Progetto>(), "cmdEliminaCompartimento"));
    QCOMPARE(table->model()->rowCount(), 1);
    QCOMPARE(ProjectDocument::current().project().compartments[0].name, QStringLiteral("Uffici"));
}

// New project, another project opened, the program closed: with unsaved changes each asks, and
// Cancel keeps everything as it was.
void TestProject::unsavedChangesQuestion()
{
    TestWorld world;
    QTemporaryDir dir;
    ProjectActions::showProjectWindow();
    auto &window = Screens::get<Progetto>();
    clickAndType(child(window, "txtCommittente"), QStringLiteral("Comune"));
    const Project changed = ProjectDocument::current().project();

    world.prompt.choices << UserPrompt::Answer::Cancel;
    click(child(window, "cmdNuovoProgetto"));
    QCOMPARE(world.prompt.asked.size(), 1);
    QVERIFY(world.prompt.asked[0].contains(QStringLiteral("modifiche non salvate")));
    QCOMPARE(ProjectDocument::current().project(), changed);
    QVERIFY(ProjectDocument::current().isModified());

    world.prompt.choices << UserPrompt::Answer::Cancel;
    click(child(window, "cmdApriProgetto"));
    QVERIFY(world.prompt.fileBoxes.isEmpty()); // no file box after Cancel
    QCOMPARE(ProjectDocument::current().project(), changed);

    // Closing the program with its close box.
    setQuitGuard(&ProjectActions::settleUnsavedChanges);
    auto &start = Screens::get<Avvio>();
    start.show();
    world.prompt.choices << UserPrompt::Answer::Cancel;
    start.close();
    QVERIFY(start.isVisible());
    QCOMPARE(ProjectDocument::current().project(), changed);

    // Yes saves first.
    world.prompt.choices << UserPrompt::Answer::Yes;
    world.prompt.files << dir.filePath("Comune.ardivo");
    click(child(window, "cmdNuovoProgetto"));
    QVERIFY(QFile::exists(dir.filePath("Comune.ardivo")));
    QCOMPARE(ProjectDocument::current().project().identity.client, QString());
    QCOMPARE(child<QLineEdit>(window, "txtCommittente")->text(), QString());
    QCOMPARE(child<QDateEdit>(window, "dtData")->date(), QDate::currentDate());

    // No throws the changes away.
    clickAndType(child(window, "txtCommittente"), QStringLiteral("Altro"));
    world.prompt.choices << UserPrompt::Answer::No;
    world.prompt.files << dir.filePath("Comune.ardivo");
    click(child(window, "cmdApriProgetto"));
    QCOMPARE(ProjectDocument::current().project().identity.client, QStringLiteral("Comune"));
    QVERIFY(!window.isWindowModified());

    // Without changes nothing is asked, and the program ends.
    const int asked = world.prompt.asked.size();
    start.close();
    QCOMPARE(world.prompt.asked.size(), asked);
    setQuitGuard({});
}

// The real box, with Qt's own Italian texts loaded as at start.
void TestProject::unsavedChangesQuestionInItalian()
{
    TestWorld world;
    QVERIFY(installItalianTranslations());
    ProjectActions::showProjectWindow();
    auto &window = Screens::get<Progetto>();
    clickAndType(child(window, "txtCommittente"), QStringLiteral("Comune"));
    UserPrompt::install(&MessageBoxPrompt::instance());
    QStringList captions;
    QTimer::singleShot(0, [&] {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        QAbstractButton *cancel = nullptr;
        for (QAbstractButton *button : box->findChildren<QAbstractButton *>()) {
            captions << button->text().remove(QLatin1Char('&'));
            if (captions.last() == QStringLiteral("Annulla"))
                cancel = button;
        }
        QVERIFY(cancel);
        cancel->click();
    });
    click(child(window, "cmdNuovoProgetto"));
    UserPrompt::install(&world.prompt);
    captions.sort();
    QCOMPARE(captions, (QStringList{"Annulla", "No", QStringLiteral("Sì")}));
    QCOMPARE(ProjectDocument::current().project().identity.client, QStringLiteral("Comune"));
}

void TestProject::saveThatFails()
{
    TestWorld world;
    ProjectDocument::current().storeCompartment(sampleProject().compartments[1]);
    // A folder where no file can be made: the user is told and offered another name.
    world.prompt.files << QStringLiteral("/proc/Progetto.ardivo");
    world.prompt.answers << false;
    QVERIFY(!ProjectActions::saveProject());
    QVERIFY(world.prompt.questions.last().contains(QStringLiteral("/proc/Progetto.ardivo")));
    QVERIFY(world.prompt.questions.last().contains(QStringLiteral("Salvarlo con un altro nome?")));
    QVERIFY(ProjectDocument::current().isModified());
    QVERIFY(ProjectDocument::current().filePath().isEmpty());

    // A folder that does not exist.
    world.prompt.files << QStringLiteral("/non/esiste/Progetto.ardivo");
    QVERIFY(!ProjectActions::saveProjectAs());
    QVERIFY(world.prompt.messages.last().contains(QStringLiteral("La cartella non esiste")));
    QVERIFY(ProjectDocument::current().isModified());
}

// A save killed at any moment leaves a file that opens whole: the one before, or the new one.
void TestProject::saveInterruptedByKill()
{
    TestWorld world;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Interrotto.ardivo"));
    QRandomGenerator random(20261207);
    int lastWhole = 0;
    for (int round = 0; round < 6; ++round) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(kProbe, {QStringLiteral("saveprojects"), path});
        QVERIFY(writer.waitForStarted());
        QVERIFY(writer.waitForReadyRead(20000)); // at least one save is done
        QTest::qWait(int(random.bounded(5, 120)));
        writer.kill();
        QVERIFY(writer.waitForFinished());
        const auto read = ProjectFile::load(path);
        QVERIFY2(read.project, qPrintable(read.error));
        QVERIFY(!read.project->compartments.isEmpty());
        lastWhole = read.project->compartments.size();
        const QStringList leftovers = QDir(dir.path()).entryList(QDir::Files);
        QVERIFY2(leftovers.size() <= 2,
                 qPrintable(leftovers.join(", "))); // the file, and a half-written copy at most
    }
    QVERIFY(lastWhole >= 1);
}

// The project's PDF: the summary, then each compartment's page and list, all as text.
void TestProject::projectExportedToPdf()
{
    TestWorld world;
    Project project = sampleProject();
    project.compartments.removeFirst(); // the materials and the furnishings compartments
    ProjectDocument::current().opened(project, QString());
    ProjectActions::showProjectWindow();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Relazione d'esempio.pdf"));
    world.prompt.files << path;
    click(child(Screens::get<Progetto>(), "cmdEsportaPdf"));
    QVERIFY(world.prompt.fileBoxes.last().endsWith(
        QStringLiteral("Scuola «Dell'Orto» - %1.pdf")
            .arg(QDate::currentDate().toString(Qt::ISODate))));
    QVERIFY2(world.prompt.messages.isEmpty(), qPrintable(world.prompt.messages.join("; ")));
    QVERIFY(QFile::exists(path));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no part left

    const QString text = pdfText(path);
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    const QStringList sheets = pdfSheets(text);
    // Summary, then page, list and working of each of the two compartments.
    QCOMPARE(sheets.size(), 7);
    QVERIFY2(sheets[0].contains("Pagina 1 di 7"), qPrintable(sheets[0]));
    QVERIFY(sheets[0].contains("Magazzino") && sheets[0].contains("Archivio"));
    QVERIFY(sheets[0].contains("142,80")); // q_f,d of each compartment
    QVERIFY(sheets[0].contains("D.M. 9 marzo 2007, livello di prestazione III"));
    for (int i = 1; i < 7; ++i)
        QVERIFY2(sheets[i].contains(QStringLiteral("Pagina %1 di 7").arg(i + 1)),
                 qPrintable(sheets[i]));
    for (const QString &sheet : sheets) // the revision in every foot
        QVERIFY(sheet.contains(QStringLiteral("REV 01 del 12/01/2027")));
    for (int page : {1, 4}) {
        QVERIFY2(sheets[page].contains("Progetto: Scuola «Dell'Orto»"), qPrintable(sheets[page]));
        QVERIFY2(sheets[page].contains("Committente: Comune di Àrdea"),
                 qPrintable(sheets[page].left(600)));
        QVERIFY(sheets[page].contains("Tecnico: Ing. Ardivo"));
    }
    QVERIFY(sheets[1].contains("Compartimento: Magazzino"));
    QVERIFY(sheets[4].contains("Compartimento: Archivio"));
    // Each entry's fire load and share: Legno 14000 MJ, all of it.
    QVERIFY2(sheets[2].contains("14000") && sheets[2].contains("100,0"), qPrintable(sheets[2]));
    // Scaffale 500 MJ, Carta 4400 MJ out of 4900.
    QVERIFY2(sheets[5].contains("10,2") && sheets[5].contains("89,8") && sheets[5].contains("4900"),
             qPrintable(sheets[5]));
    QVERIFY(sheets[3].contains("Sviluppo del calcolo") && sheets[6].contains("Timbro e firma"));
    // PDF/A-1b, with the technician as its author.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), path});
    QVERIFY(info.waitForFinished(10000));
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(meta.contains(QStringLiteral("pdfaid:part=\"1\"")) &&
                 meta.contains(QStringLiteral("pdfaid:conformance=\"B\"")),
             qPrintable(meta));
    QVERIFY(meta.contains(QStringLiteral("<rdf:li>Ing. Ardivo</rdf:li>")));
    // The export left the calculation under way alone.
    QCOMPARE(CalculationSession::current().compartmentName(), QString());

    // A folder that cannot be written: a clear message, and nothing written.
    world.prompt.files << QStringLiteral("/proc/Relazione.pdf");
    click(child(Screens::get<Progetto>(), "cmdEsportaPdf"));
    QVERIFY(
        world.prompt.messages.last().startsWith(QStringLiteral("Impossibile esportare il PDF")));
    QVERIFY(!QFile::exists(QStringLiteral("/proc/Relazione.pdf")));
}

// 60 compartments make a summary of several sheets, each compartment on exactly one of them.
void TestProject::summaryOfManyCompartments()
{
    TestWorld world;
    Project project = sampleProject();
    const Compartment model = project.compartments[0];
    project.compartments.clear();
    for (int i = 1; i <= 60; ++i)
        project.compartments << Compartment{
            QStringLiteral("Locale %1").arg(i, 2, 10, QLatin1Char('0')), model.calculation};
    ProjectDocument::current().opened(project, QString());
    ProjectActions::showProjectWindow();
    click(child(Screens::get<Progetto>(), "cmdStampaRiepilogo"));
    auto &summary = Screens::get<StampaRiepilogo>();
    QVERIFY(summary.isVisible());
    QTemporaryDir dir;
    world.prompt.files << dir.filePath("Riepilogo.pdf");
    click(child(summary, "cmdEsportaPdf"));
    const QString text = pdfText(dir.filePath("Riepilogo.pdf"));
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    const QStringList sheets = pdfSheets(text);
    QVERIFY(sheets.size() >= 2);
    for (int i = 1; i <= 60; ++i) {
        const QString name = QStringLiteral("Locale %1").arg(i, 2, 10, QLatin1Char('0'));
        int found = 0;
        for (const QString &sheet : sheets)
            found += sheet.count(name);
        QVERIFY2(found == 1, qPrintable(name));
    }
    QVERIFY(sheets.last().contains(QStringLiteral("Pagina %1 di %1").arg(sheets.size())));
}

// A calculation outside any project shows no band and prints with no foot, as it always has.
void TestProject::exportOutsideAnyProject()
{
    TestWorld world;
    walkToReport(Method::Activity, "Option1_1", {"Check4"});
    ReportPage *page = reportPageFor(Method::Activity);
    QVERIFY(!child(*page, "lblProgetto")->isVisible());
    QTemporaryDir dir;
    world.prompt.files << dir.filePath("Ufficio.pdf");
    click(child(*page, "cmdEsportaPdf"));
    QVERIFY(world.prompt.fileBoxes.last().endsWith(
        QStringLiteral("Ardivo - %1.pdf").arg(QDate::currentDate().toString(Qt::ISODate))));
    const QString text = pdfText(dir.filePath("Ufficio.pdf"));
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    QVERIFY(text.contains("Classe di riferimento"));
    // No band, but the date and the page numbers all the same.
    QVERIFY(text.contains("Pagina 1 di 2") && text.contains("Pagina 2 di 2"));
    QVERIFY(text.contains(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))));
    QVERIFY(!text.contains("Progetto:"));
    // The title and the creator.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {dir.filePath("Ufficio.pdf")});
    QVERIFY(info.waitForFinished(10000));
    const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(infoText.contains(QRegularExpression("Title:\\s+Ardivo")), qPrintable(infoText));
    QVERIFY(infoText.contains(QRegularExpression("Creator:\\s+Ardivo")));
}

// An identity of any length or script never runs over other texts on screen, and prints whole.
void TestProject::longIdentityShortenedOnScreenPrintedWhole()
{
    TestWorld world;
    Project project = sampleProject();
    QString name = QStringLiteral("学校小学校 ");
    while (name.size() < 290)
        name += QStringLiteral("Scuola dell'Orto ");
    name += QStringLiteral("FINE");
    project.identity.name = name;
    ProjectDocument::current().opened(project, QString());
    ProjectActions::openCompartment(project.compartments[0]);
    ReportPage *page = reportPageFor(Method::Activity);
    auto *label = child<QLabel>(*page, "lblProgetto");
    QVERIFY(label->isVisible());
    QVERIFY(label->text().endsWith(QChar(0x2026)));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(renderedToolTip(label), QStringLiteral("Progetto: ") + name);
    // The next label of the band starts after this one ends.
    QVERIFY(label->geometry().right() < child(*page, "lblCommittente")->geometry().left());

    QTemporaryDir dir;
    world.prompt.files << dir.filePath("Lungo.pdf");
    click(child(*page, "cmdEsportaPdf"));
    const QString text = pdfText(dir.filePath("Lungo.pdf"));
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    QVERIFY2(text.contains("FINE"), qPrintable(text.left(800)));
    QVERIFY(text.contains(QStringLiteral("学校小学校")));
}

// A pipe, a link to a device, a folder or a file beyond the size limit is refused by name at
// once: nothing blocks, nothing is read without end.
void TestProject::filesThatAreNoPlainFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("pipe") << "pipe"
                          << "on è un file ordinario";
    QTest::newRow("link to /dev/zero") << "zero"
                                       << "on è un file ordinario";
    QTest::newRow("folder") << "folder"
                            << "cartella";
    QTest::newRow("too large") << "large"
                               << "troppo grande";
}

void TestProject::filesThatAreNoPlainFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TestWorld world;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Strano d'esempio.ardivo"));
    if (kind == "pipe") {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == "zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(ProjectFile::kLargestFile + 1)); // sparse: takes no room
    }
    ProjectDocument::current().storeCompartment(sampleProject().compartments[0]);
    const Project before = ProjectDocument::current().project();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!ProjectActions::openProjectFile(path));
    QVERIFY(timer.elapsed() < 1000);
    QCOMPARE(world.prompt.messages.size(), 1);
    QVERIFY2(world.prompt.messages[0].contains(QStringLiteral("Strano d'esempio.ardivo")),
             qPrintable(world.prompt.messages[0]));
    QVERIFY2(world.prompt.messages[0].contains(reason), qPrintable(world.prompt.messages[0]));
    QCOMPARE(ProjectDocument::current().project(), before);
}

// A name holding markup is shown as typed in a real message box and in a tooltip: no picture,
// no link.
void TestProject::namesWithMarkupShownAsTyped()
{
    TestWorld world;
    const QString name = QStringLiteral("<a href=\"file:///etc/passwd\"><img src=\"x.png\" "
                                        "width=30000 height=30000>Scuola</a>");
    Project project = sampleProject();
    project.identity.name = name;
    ProjectDocument::current().opened(project, QString());
    ProjectDocument::current().setIdentity(project.identity); // no change: not modified
    ProjectDocument::current().storeCompartment(project.compartments[0]);

    UserPrompt::install(&MessageBoxPrompt::instance());
    QString shown;
    Qt::TextFormat format = Qt::RichText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        shown = label->text();
        format = label->textFormat();
        box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!ProjectActions::settleUnsavedChanges());
    UserPrompt::install(&world.prompt);
    QCOMPARE(format, Qt::PlainText);
    QVERIFY2(shown.contains(QStringLiteral("«") + name + QStringLiteral("»")), qPrintable(shown));

    ProjectActions::openCompartment(project.compartments[0]);
    ReportPage *page = reportPageFor(Method::Activity);
    QCOMPARE(renderedToolTip(child(*page, "lblProgetto")), QStringLiteral("Progetto: ") + name);
    auto &summary = Screens::get<StampaRiepilogo>();
    QCOMPARE(renderedToolTip(child(summary, "lblProgetto")), QStringLiteral("Progetto: ") + name);
}

// A second start of Ardivo on the same data folder hands its project file to the copy that
// runs and ends at once; the working tables of the first copy are left as they were.
void TestProject::secondStartHandsOverItsFile()
{
    TestWorld world;
    QTemporaryDir home;
    const QString dataFolder = home.filePath(QStringLiteral("Ardivo"));
    Database::instance().setFilePath(dataFolder + QStringLiteral("/Ardivo.db"));
    QVERIFY(WorkingTables::appendMaterial(1, QStringLiteral("Legno"), 17.5, 1.0, 0.8, 1000.0));
    QVERIFY(WorkingTables::appendMaterial(2, QStringLiteral("Carta"), 20.0, 1.0, 1.0, 10.0));

    SingleInstance first(dataFolder);
    QVERIFY(first.claim());
    QSignalSpy handedOver(&first, &SingleInstance::fileHandedOver);
    const QString project = home.filePath(QStringLiteral("Secondo progetto.ardivo"));

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(ARDIVO_PATH), {project});
    QVERIFY(second.waitForStarted());
    QVERIFY(handedOver.wait(10000));
    QCOMPARE(handedOver.first().first().toString(), project);
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(WorkingTables::rowCount(QStringLiteral("tblAppoggioMateriali")), 2);
    QVERIFY(QFileInfo::exists(dataFolder + QStringLiteral("/Ardivo.lock")));
}

// A PDF export that cannot be written whole (here a file-size limit, as a full disk would do)
// says so, and the PDF that was there before stays whole.
void TestProject::pdfExportOnAFullDiskKeepsTheOldFile()
{
    TestWorld world;
    walkToReport(Method::Activity, "Option1_1", {});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Ufficio.pdf"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("%PDF-1.4 la relazione di ieri");
    old.close();
    const QByteArray before = bytesOf(path);

    std::signal(SIGXFSZ, SIG_IGN); // as the program does: a write fails, nothing is killed
    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
    const rlimit saved = limit;
    limit.rlim_cur = 4096;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
    world.prompt.files << path;
    click(child(*reportPageFor(Method::Activity), "cmdEsportaPdf"));
    QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);

    QCOMPARE(world.prompt.messages.size(), 1);
    QVERIFY2(world.prompt.messages[0].contains(QStringLiteral("forse il disco è pieno")),
             qPrintable(world.prompt.messages[0]));
    QCOMPARE(bytesOf(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Ufficio.pdf"});
}

// A compartment with a thousand emptied lines is reopened with one warning, not one per line.
void TestProject::reopeningManyEmptiedLinesWarnsOnce()
{
    TestWorld world;
    Compartment store = sampleProject().compartments[1];
    const MaterialEntry emptied{QStringLiteral("Vuoto"), Amount::emptyText(), Amount::emptyText(),
                                Amount::emptyText(), Amount::emptyText()};
    for (int i = 0; i < 1000; ++i)
        store.calculation.materials << emptied;
    ProjectActions::openCompartment(store);
    QCOMPARE(world.prompt.messages,
             QStringList{"Attenzione ci sono alcuni campi vuoti in tabella"});
    QCOMPARE(fireLoadNow(), 17.5 * 1000 * 0.8 / 60);
}

QTEST_MAIN(TestProject)
#include "tst_project.moc"
