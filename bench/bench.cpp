// Ardivo's benchmark: drives the real screens in one process, headless, on a temporary
// database, and sets each figure beside a floor measured in the same run on the same machine.
// Prints one table and one JSON line; the exit status is 1 when a figure misses its target.

#include "core/calculationsession.h"
#include "core/project.h"
#include "core/projectdocument.h"
#include "core/userprompt.h"
#include "data/database.h"
#include "data/entrystore.h"
#include "data/projectfile.h"
#include "data/sharedstate.h"
#include "idleprobe.h"
#include "ui/app/navigation.h"
#include "ui/app/projectactions.h"
#include "ui/app/screens.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/reports/itemisedlist.h"
#include "ui/reports/pageview.h"
#include "ui/reports/reportprinter.h"
#include "ui/reports/stampapages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Every box is answered at once: OK, Yes, or an empty text.
class ImmediatePrompt : public UserPrompt
{
public:
    void message(const QString &, const QString &, Icon) override {}
    bool confirm(const QString &, const QString &, Icon) override { return true; }
    QString input(const QString &, const QString &) override { return QString(); }
};

// Answers the file box of an export with a fixed path, and says nothing.
class ExportPrompt : public UserPrompt
{
public:
    explicit ExportPrompt(const QString &path) : m_path(path) {}
    void message(const QString &text, const QString &, Icon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool confirm(const QString &, const QString &, Icon) override { return true; }
    QString input(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return m_path;
    }

private:
    QString m_path;
};

// Answers the file box of an import with a fixed path, and says nothing.
class ImportPrompt : public ExportPrompt
{
public:
    using ExportPrompt::ExportPrompt;
    QString openFileName(const QString &, const QString &, const QString &) override
    {
        return saveFileName({}, {}, {});
    }
};

struct Figure {
    QString name;
    int size = 0;         // working rows, 0 where no size applies
    double value = kNone; // milliseconds or MiB
    double floor = kNone; // the floor measured beside it
    double maxRatio = kNone;
    double maxValue = kNone;
    QString unit;

    double ratio() const { return std::isnan(floor) || floor <= 0 ? kNone : value / floor; }
    bool met() const
    {
        if (!std::isnan(maxRatio) && !(ratio() <= maxRatio))
            return false;
        if (!std::isnan(maxValue) && !(value <= maxValue))
            return false;
        return true;
    }
    QString target() const
    {
        QStringList parts;
        if (!std::isnan(maxRatio))
            parts << QStringLiteral("<= %1x floor").arg(maxRatio);
        if (!std::isnan(maxValue))
            parts << QStringLiteral("<= %1 %2").arg(maxValue).arg(unit);
        return parts.isEmpty() ? QStringLiteral("-") : parts.join(QStringLiteral(", "));
    }
};

double median(std::vector<double> samples)
{
    if (samples.empty())
        return kNone;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

// Median time of `runs` calls of `work`, in milliseconds; `prepare` runs untimed before each.
// The first `warmup` calls are not timed: they pay once for caches, glyphs and query plans.
double timeMs(int runs, const std::function<void()> &work,
              const std::function<void()> &prepare = {}, int warmup = 0)
{
    for (int i = 0; i < warmup; ++i) {
        if (prepare)
            prepare();
        work();
    }
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        samples.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(samples);
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// --- Start-up, in child processes ----------------------------------------------------------

struct StartRun {
    double ms = kNone;
    double rssMiB = kNone;
};

StartRun startOnce(const QString &program, const QString &dataHome)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    StartRun run;
    QByteArray output;
    while (!output.contains('\n') && process.waitForReadyRead(20000))
        output += process.readAllStandardOutput();
    if (output.startsWith("idle ")) {
        run.ms = timer.nsecsElapsed() / 1e6;
        run.rssMiB = output.mid(5).trimmed().toDouble() / 1024.0;
    }
    if (!process.waitForFinished(5000))
        process.kill();
    return run;
}

void measureStartUp(std::vector<Figure> &figures, const QString &dataHome)
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString ardivo = dir + QStringLiteral("/ardivo_bench_start");
    const QString bare = dir + QStringLiteral("/ardivo_bench_floor");
    startOnce(ardivo, dataHome); // warm the file cache for both
    startOnce(bare, dataHome);
    std::vector<double> ardivoMs, bareMs, ardivoRss, bareRss;
    for (int i = 0; i < 11; ++i) {
        const StartRun a = startOnce(ardivo, dataHome);
        const StartRun b = startOnce(bare, dataHome);
        ardivoMs.push_back(a.ms);
        bareMs.push_back(b.ms);
        ardivoRss.push_back(a.rssMiB);
        bareRss.push_back(b.rssMiB);
    }
    Figure start{QStringLiteral("start to Avvio shown and idle"),
                 0,
                 median(ardivoMs),
                 median(bareMs),
                 1.5,
                 kNone,
                 QStringLiteral("ms")};
    Figure memory{QStringLiteral("resident memory at Avvio"),
                  0,
                  median(ardivoRss),
                  median(bareRss),
                  1.5,
                  kNone,
                  QStringLiteral("MiB")};
    figures.push_back(start);
    figures.push_back(memory);
}

// --- The materials screen and its report, in this process ------------------------------------

void typeKey(QWidget *field, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
    QApplication::sendEvent(field, &release);
}

QStringList catalogueMaterials()
{
    QStringList names;
    QSqlQuery query(Database::instance().connection());
    query.exec(QStringLiteral("SELECT Materiale FROM tblMateriale ORDER BY idMateriale"));
    while (query.next())
        names << query.value(0).toString();
    return names;
}

// Makes the materials screen hold exactly `rows` entries.
void fillMaterials(int rows, const QStringList &names)
{
    CalculationSession &session = CalculationSession::current();
    EntryStore::clearMaterials(session);
    QVector<MaterialEntry> entries;
    entries.reserve(rows);
    for (int i = 0; i < rows; ++i)
        entries << MaterialEntry{names.at(i % names.size()), Amount::number(17.5 + i % 23),
                                 Amount::number(10.0 + i % 97), Amount::number(i % 3 ? 1.0 : 0.85),
                                 Amount::number(i % 5 ? 1.0 : 0.8)};
    EntryStore::addMaterials(session, entries);
}

// Keystrokes (an even number, so the text ends as it began) and sums left untimed first.
constexpr int kKeystrokeWarmup = 10;

// The least a keystroke that shows a number can cost: a bare window with one field and one label.
double bareKeystrokeMs()
{
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    auto *field = new QLineEdit(&window);
    auto *label = new QLabel(&window);
    layout->addWidget(field);
    layout->addWidget(label);
    QObject::connect(field, &QLineEdit::textChanged, label, [label](const QString &text) {
        label->setText(QString::number(123456.0 / text.toDouble(), 'f', 0));
    });
    window.show();
    field->setFocus();
    field->setText(QStringLiteral("100"));
    settle();
    int stroke = 0;
    return timeMs(
        41,
        [&] {
            if (stroke++ % 2 == 0)
                typeKey(field, Qt::Key_0, QStringLiteral("0"));
            else
                typeKey(field, Qt::Key_Backspace, QString());
            QCoreApplication::processEvents();
        },
        {}, kKeystrokeWarmup);
}

void measureMaterials(std::vector<Figure> &figures, int rows, const QStringList &names,
                      const QString &pdfFolder, double bareKeystroke)
{
    ValorePerMateriale &screen = Screens::get<ValorePerMateriale>();
    CalculationSession::current().startCalculation(Method::Materials); // as the method chooser does
    screen.show();
    settle();
    fillMaterials(rows, names);
    QSqlDatabase db = Database::instance().connection();

    // One keystroke in the area field, until the new q_f is on the screen.
    auto *area = screen.findChild<QLineEdit *>(QStringLiteral("txtAreaComp"));
    auto *qf = screen.findChild<QLabel *>(QStringLiteral("Valoreqf"));
    area->setFocus();
    area->setText(QStringLiteral("100"));
    area->end(false);
    settle();
    int stroke = 0;
    bool everyStrokeShown = true;
    const double keystroke = timeMs(
        41,
        [&] {
            const QString before = qf->text();
            if (stroke++ % 2 == 0)
                typeKey(area, Qt::Key_0, QStringLiteral("0"));
            else
                typeKey(area, Qt::Key_Backspace, QString());
            QCoreApplication::processEvents();
            everyStrokeShown = everyStrokeShown && qf->text() != before;
        },
        {}, kKeystrokeWarmup);
    if (!everyStrokeShown)
        std::fprintf(stderr, "warning: a keystroke did not change q_f\n");
    // Beside what the toolkit alone spends on a keystroke into a bare field and label.
    figures.push_back({QStringLiteral("keystroke in area field until q_f shown"), rows, keystroke,
                       bareKeystroke, 2.0, rows == 10000 ? 16.0 : kNone, QStringLiteral("ms")});

    // Adding one material; the confirmation box is answered at once.
    auto *chooser = screen.findChild<QComboBox *>(QStringLiteral("ComboMat"));
    auto *add = screen.findChild<QAbstractButton *>(QStringLiteral("Command4"));
    int pick = 0;
    const double adding = timeMs(
        21, [&] { add->click(); },
        [&] {
            const int index = pick++ % chooser->count();
            chooser->setCurrentIndex(index);
            emit chooser->activated(index);
        });
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO tblAppoggioMateriali (IdAppoggioMat, Materiale, "
                                  "ValorePerKg, FattorePsi, Fattore_m, QtaMat) "
                                  "VALUES (?, ?, ?, ?, ?, ?)"));
    const double insertFloor = timeMs(21, [&] {
        insert.addBindValue(rows + 1);
        insert.addBindValue(names.first());
        insert.addBindValue(17.5);
        insert.addBindValue(1.0);
        insert.addBindValue(1.0);
        insert.addBindValue(1.0);
        insert.exec();
    });
    figures.push_back({QStringLiteral("adding one material"), rows, adding, insertFloor, kNone,
                       rows == 10000 ? 16.0 : kNone, QStringLiteral("ms")});

    // The itemised list and the print hold exactly `rows` entries.
    fillMaterials(rows, names);
    Screens::get<StampaMateriali>(); // the report page, as the walk builds it
    settle();
    const double build = timeMs(
        rows >= 10000 ? 3 : 5,
        [&] {
            StampaElencoMateriali &list = Screens::get<StampaElencoMateriali>();
            list.show();
            QCoreApplication::processEvents();
        },
        [] {
            if (Screens::exists<StampaElencoMateriali>())
                Screens::get<StampaElencoMateriali>().close();
            settle();
        });
    double maxBuild = kNone;
    if (rows == 1000)
        maxBuild = 100.0;
    else if (rows == 10000)
        maxBuild = 1000.0;
    figures.push_back({QStringLiteral("building StampaElencoMateriali"), rows, build, kNone, kNone,
                       maxBuild, QStringLiteral("ms")});

    // The report (page, list, working) to PDF, as Esporta PDF writes it.
    StampaElencoMateriali &list = Screens::get<StampaElencoMateriali>();
    int printRun = 0;
    const double print = timeMs(3, [&] {
        ReportPrinter::exportPdf(ReportPrinter::sessionDocument(CalculationSession::current()),
                                 pdfFolder +
                                     QStringLiteral("/print-%1-%2.pdf").arg(rows).arg(printRun++));
    });
    figures.push_back({QStringLiteral("exporting page, list and working to PDF"), rows, print,
                       kNone, kNone, rows == 1000 ? 1000.0 : kNone, QStringLiteral("ms")});
    list.close();
    settle();
}

QString machine()
{
    QString cpu;
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : info.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
        }
    }
    return QStringLiteral("%1, %2 threads, %3 %4, Qt %5")
        .arg(cpu.isEmpty() ? QSysInfo::currentCpuArchitecture() : cpu)
        .arg(QThread::idealThreadCount())
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion(),
             QString::fromLatin1(qVersion()));
}

QString number(double value)
{
    if (std::isnan(value))
        return QStringLiteral("-");
    return QString::number(value, 'f', value < 10 ? 3 : 1);
}

// A project of `compartments` compartments with `entries` materials each.
Project benchProject(int compartments, int entries, const QStringList &names)
{
    Project project;
    project.identity.name = QStringLiteral("Benchmark");
    for (int c = 0; c < compartments; ++c) {
        Compartment compartment;
        compartment.name = QStringLiteral("Compartimento %1").arg(c + 1);
        Calculation &calculation = compartment.calculation;
        calculation.method = Method::Materials;
        calculation.area = 100 + c;
        calculation.areaClass = 0;
        calculation.riskClass = 1;
        calculation.measures = {0, 3};
        for (int i = 0; i < entries; ++i)
            calculation.materials << MaterialEntry{names.at(i % names.size()), Amount::number(17.5),
                                                   Amount::number(i + 1), Amount::number(1),
                                                   Amount::number(0.8)};
        project.compartments << compartment;
    }
    return project;
}

// A list of `rows` materials as Excel saves it in Italy (';', decimal comma, Windows-1252,
// quoted names), imported through the preview with "Importa elenco…" then "Importa".
void measureImport(std::vector<Figure> &figures, int rows, const QStringList &names,
                   const QString &folder)
{
    const QString path = folder + QStringLiteral("/inventario.csv");
    QString text = QStringLiteral("Descrizione;Quantità (kg);Potere calorifico (MJ/kg);psi;m\r\n");
    for (int i = 0; i < rows; ++i)
        text += QStringLiteral("\"%1; lotto %2\";%3,5;%4;0,85;0,8\r\n")
                    .arg(names.at(i % names.size()))
                    .arg(i)
                    .arg(i % 500 + 1)
                    .arg(i % 30 + 10);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toLatin1()) < 0)
        return;
    file.close();

    ValorePerMateriale &screen = Screens::get<ValorePerMateriale>();
    CalculationSession::current().startCalculation(Method::Materials);
    screen.show();
    settle();
    ImportPrompt importPrompt(path);
    UserPrompt *before = &UserPrompt::current();
    UserPrompt::install(&importPrompt);
    auto *importList = screen.findChild<QAbstractButton *>(QStringLiteral("cmdImportaElenco"));
    bool allIn = true;
    const double importMs = timeMs(
        3,
        [&] {
            importList->click();
            QWidget *preview = nullptr;
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window->objectName() == QLatin1String("AnteprimaImportazione") &&
                    window->isVisible())
                    preview = window;
            }
            if (!preview) {
                allIn = false;
                return;
            }
            preview->findChild<QAbstractButton *>(QStringLiteral("cmdImporta"))->click();
            QCoreApplication::processEvents();
            allIn = allIn && CalculationSession::current().calculation().materials.size() == rows;
        },
        [] {
            EntryStore::clearMaterials(CalculationSession::current());
            settle();
        });
    UserPrompt::install(before);
    if (!allIn)
        std::fprintf(stderr, "warning: an import did not take every row\n");
    figures.push_back({QStringLiteral("importing a CSV list through its preview"), rows, importMs,
                       kNone, kNone, 1000.0, QStringLiteral("ms")});
    EntryStore::clearMaterials(CalculationSession::current());
}

// Saving and opening a project, beside reading the same file's bytes; reopening a compartment
// of 10.000 entries into every screen.
void measureProjects(std::vector<Figure> &figures, const QStringList &names, const QString &folder)
{
    const QString path = folder + QStringLiteral("/bench.ardivo");
    const Project project = benchProject(50, 200, names);
    const double save = timeMs(5, [&] { ProjectFile::save(path, project); });
    const double readBytes = timeMs(5, [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        file.readAll();
    });
    figures.push_back({QStringLiteral("saving a project of 50 x 200 entries"), 10000, save,
                       readBytes, kNone, 300.0, QStringLiteral("ms")});
    const double open = timeMs(5, [&] { ProjectFile::load(path); });
    figures.push_back({QStringLiteral("opening a project of 50 x 200 entries"), 10000, open,
                       readBytes, kNone, 300.0, QStringLiteral("ms")});

    // Opening a project of 50.000 compartments (more than a job has, refused with a message)
    // beside opening one of a single compartment, through the same path as "Apri".
    // The file is the text the program writes, put together a compartment at a time: the
    // benchmark never holds 50.000 compartments, and the peak memory it reports is the program's.
    const auto writeProject = [&](const QString &file, int compartments) {
        Project one;
        one.identity.name = QStringLiteral("Benchmark");
        Compartment compartment;
        compartment.name = QStringLiteral("Compartimento 1");
        compartment.calculation.method = Method::Activity;
        compartment.calculation.activity = {QStringLiteral("Ufficio"), 420.0, 1.2};
        compartment.calculation.areaClass = 0;
        compartment.calculation.riskClass = 1;
        one.compartments << compartment;
        const QByteArray text = ProjectFile::toJson(one);
        const QByteArray listStart = "\"compartments\": [\n";
        const qsizetype begin = text.indexOf(listStart) + listStart.size();
        const qsizetype end = text.lastIndexOf("\n    ]");
        const QByteArray item = text.sliced(begin, end - begin);
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(text.first(begin));
        for (int c = 0; c < compartments; ++c) {
            if (c > 0)
                out.write(",\n");
            out.write(QByteArray(item).replace(
                "\"Compartimento 1\"", "\"Compartimento " + QByteArray::number(c + 1) + '"'));
        }
        out.write(text.sliced(end));
    };
    const QString onePath = folder + QStringLiteral("/one.ardivo");
    const QString manyPath = folder + QStringLiteral("/many.ardivo");
    writeProject(onePath, 1);
    writeProject(manyPath, 50000);
    const double openOne = timeMs(5, [&] { ProjectActions::openProjectFile(onePath); });
    const double openMany = timeMs(3, [&] { ProjectActions::openProjectFile(manyPath); });
    // What opening it takes beyond what the program already held: the peak is counted afresh.
    const long residentBefore = residentKiB();
    resetPeakResident();
    ProjectActions::openProjectFile(manyPath);
    const double openManyMiB = (peakResidentKiB() - residentBefore) / 1024.0;
    figures.push_back({QStringLiteral("opening a project of 1 compartment"), 1, openOne, kNone,
                       kNone, kNone, QStringLiteral("ms")});
    figures.push_back({QStringLiteral("opening a project of 50000 compartments"), 50000, openMany,
                       openOne, kNone, openOne + 3000.0, QStringLiteral("ms")});
    figures.push_back({QStringLiteral("memory opening 50000 compartments"), 50000, openManyMiB,
                       kNone, kNone, 100.0, QStringLiteral("MiB")});
    ProjectDocument::current().startNew();

    const Project large = benchProject(1, 10000, names);
    const double reopen = timeMs(3, [&] {
        ProjectActions::openCompartment(large.compartments.first());
        QCoreApplication::processEvents();
    });
    figures.push_back({QStringLiteral("reopening a compartment"), 10000, reopen, kNone, kNone,
                       300.0, QStringLiteral("ms")});
    Fine();
    settle();

    // One PDF and one ODT of a project of 20 compartments with 200 entries each: the summary,
    // then each compartment's page, list and working. The floor draws as many lines of text
    // straight into a PDF.
    ProjectDocument::current().opened(benchProject(20, 200, names), QString());
    const int lines = int(ReportPrinter::projectDocument().texts().size());
    const double floor = timeMs(3, [&] {
        QPdfWriter pdf(folder + QStringLiteral("/floor.pdf"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&pdf);
        const int step = pdf.height() / 64;
        for (int i = 0; i < lines; ++i) {
            if (i > 0 && i % 60 == 0)
                pdf.newPage();
            painter.drawText(200, step * (1 + i % 60), QStringLiteral("Materiale %1").arg(i));
        }
    });
    UserPrompt *before = &UserPrompt::current();
    ExportPrompt exportPrompt(folder + QStringLiteral("/project.pdf"));
    UserPrompt::install(&exportPrompt);
    const double exportMs = timeMs(3, [] { ProjectActions::exportProjectPdf(); });
    figures.push_back({QStringLiteral("exporting a project of 20 x 200 to PDF"), 4000, exportMs,
                       floor, 2.0, kNone, QStringLiteral("ms")});
    ExportPrompt odtPrompt(folder + QStringLiteral("/project.odt"));
    UserPrompt::install(&odtPrompt);
    const double odtMs = timeMs(3, [] { ProjectActions::exportProjectOdt(); });
    UserPrompt::install(before);
    figures.push_back({QStringLiteral("exporting a project of 20 x 200 to ODT"), 4000, odtMs, floor,
                       2.0, kNone, QStringLiteral("ms")});
    ProjectDocument::current().startNew();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    std::vector<Figure> figures;
    measureStartUp(figures, dir.filePath(QStringLiteral("start")));

    Database::instance().setFilePath(dir.filePath(QStringLiteral("Ardivo/Ardivo.db")));
    ImmediatePrompt prompt;
    UserPrompt::install(&prompt);
    resetSharedState();
    Database::instance().open();
    const QStringList names = catalogueMaterials();
    // Beside the keystroke figures: what the toolkit alone spends on one keystroke.
    const double bareKeystroke = bareKeystrokeMs();
    figures.push_back({QStringLiteral("keystroke in a bare field and label"), 0, bareKeystroke,
                       kNone, kNone, kNone, QStringLiteral("ms")});
    for (int rows : {100, 1000, 10000})
        measureMaterials(figures, rows, names, dir.path(), bareKeystroke);
    measureImport(figures, 10000, names, dir.path());
    measureProjects(figures, names, dir.path());
    figures.push_back({QStringLiteral("peak resident memory"), 10000, peakResidentKiB() / 1024.0,
                       kNone, kNone, 200.0, QStringLiteral("MiB")});
    Fine();
    settle();
    Database::instance().close();
    UserPrompt::install(nullptr);

    const QString where = machine();
    std::printf("Ardivo benchmark on %s\n\n", qPrintable(where));
    std::printf("%-42s %6s %10s %10s %7s  %-26s %s\n", "figure", "N", "median", "floor", "ratio",
                "target", "");
    bool allMet = true;
    QJsonArray json;
    for (const Figure &f : figures) {
        allMet = allMet && f.met();
        std::printf("%-42s %6s %10s %10s %7s  %-26s %s\n", qPrintable(f.name),
                    f.size ? qPrintable(QString::number(f.size)) : "",
                    qPrintable(number(f.value) + QLatin1Char(' ') + f.unit),
                    qPrintable(number(f.floor)), qPrintable(number(f.ratio())),
                    qPrintable(f.target()),
                    std::isnan(f.maxRatio) && std::isnan(f.maxValue) ? ""
                    : f.met()                                        ? "ok"
                                                                     : "MISSED");
        QJsonObject o{{QStringLiteral("figure"), f.name},
                      {QStringLiteral("unit"), f.unit},
                      {QStringLiteral("met"), f.met()}};
        if (f.size)
            o.insert(QStringLiteral("n"), f.size);
        o.insert(QStringLiteral("value"), std::round(f.value * 1000) / 1000);
        if (!std::isnan(f.floor))
            o.insert(QStringLiteral("floor"), std::round(f.floor * 1000) / 1000);
        json.append(o);
    }
    const QJsonObject line{{QStringLiteral("machine"), where},
                           {QStringLiteral("figures"), json},
                           {QStringLiteral("all_met"), allMet}};
    std::printf("\n%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    return allMet ? 0 : 1;
}
