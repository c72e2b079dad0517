// A second program for the fault tests, run by them as a child process:
//   faultprobe burst <db>        writes catalogue and working rows until it is killed
//   faultprobe hold <db> <ms>    holds the file locked against everyone for <ms>
//   faultprobe readonly <db>     what Ardivo does with a file it may read but not write
//   faultprobe saveprojects <file>  saves a project, one compartment larger each time, until killed
// It prints one line per fact ("message: ...", "open 1", ...), for the test to read.

#include "core/userprompt.h"
#include "data/catalogues.h"
#include "data/database.h"
#include "data/entrystore.h"
#include "data/projectfile.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(QString(line).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    std::fflush(stdout);
}

const auto n = [](double value) { return Amount::number(value); };

// Every box is printed; questions are answered No.
class PrintingPrompt : public UserPrompt
{
public:
    void message(const QString &text, const QString &, Icon) override
    {
        say(u"message: "_s + text);
    }
    bool confirm(const QString &text, const QString &, Icon) override
    {
        say(u"question: "_s + text);
        return false;
    }
    QString input(const QString &, const QString &) override { return QString(); }
};

// A row of each working table, its fields all following from k, written as any program could.
bool insertRows(qint64 k, const QString &material)
{
    Database &db = Database::instance();
    const bool written = db.exec(u"INSERT INTO tblAppoggioMateriali (IdAppoggioMat, Materiale, "
                                 "ValorePerKg, FattorePsi, Fattore_m, QtaMat) "
                                 "VALUES (?, ?, ?, 1, 1, ?)"_s,
                                 {k, material, double(k), double(2 * k)});
    return db.exec(u"INSERT INTO tblAppoggio (idAppoggio, Arredo, ValorePerPezzo, QtaArredo) "
                   "VALUES (?, ?, ?, ?)"_s,
                   {k, u"Arredo %1"_s.arg(k), double(k), double(3 * k)}) &&
           written;
}

// Rows whose fields all follow from their number k, so that a torn row would show.
int burst()
{
    Database &db = Database::instance();
    if (!db.open())
        return 1;
    say(u"ready"_s);
    for (qint64 k = 1;; ++k) {
        insertRows(k, u"Burst %1"_s.arg(k));
        Catalogues::add(Catalogue::Materials, u"Burst %1"_s.arg(k), double(k));
        if (k % 5 == 0) {
            // The report copy, emptied and filled again as the furnishings screen does.
            CalculationSession session;
            QVector<FurnishingEntry> furnishings;
            for (qint64 i = k - 4; i <= k; ++i)
                furnishings << FurnishingEntry{
                    u"Arredo %1"_s.arg(i), n(i), n(3 * i), {}, {}, {}, {}};
            session.setFurnishings(furnishings);
            EntryStore::prepareReportTables(session);
        }
        if (k % 50 == 0) {
            // A transaction that is rolled back leaves nothing.
            Transaction transaction(db.connection());
            insertRows(-k, u"Annullato"_s);
        }
    }
}

int hold(int milliseconds)
{
    Database &db = Database::instance();
    if (!db.exec(u"BEGIN EXCLUSIVE"_s)) // opens the file first
        return 1;
    say(u"locked"_s);
    QThread::msleep(milliseconds);
    db.exec(u"COMMIT"_s);
    say(u"released"_s);
    return 0;
}

int readOnly()
{
    const auto count = [](const char *table) {
        auto query =
            Database::instance().run(u"SELECT count(*) FROM %1"_s.arg(QLatin1String(table)));
        return query && query->next() ? query->value(0).toLongLong() : -1;
    };
    say(u"open %1"_s.arg(Database::instance().open()));
    say(u"catalogue %1"_s.arg(count("tblMateriale")));
    CalculationSession session;
    const MaterialEntry legno{u"Legno"_s, n(17), n(1), n(1), n(1)};
    say(u"append %1"_s.arg(EntryStore::addMaterials(session, {legno})));
    say(u"add %1"_s.arg(Catalogues::add(Catalogue::Materials, u"Nuovo"_s, 1.0).has_value()));
    say(u"rows %1"_s.arg(count("tblAppoggioMateriali")));
    return 0;
}

// Saves a growing project again and again, so that a kill can land in the middle of a save.
int saveProjects(const QString &path)
{
    Project project;
    project.identity.name = u"Prova d'interruzione"_s;
    for (int round = 1;; ++round) {
        Compartment compartment;
        compartment.name = u"Compartimento %1"_s.arg(round);
        compartment.calculation.method = Method::Materials;
        compartment.calculation.area = 1000 + round; // q_f in the tens of thousands
        for (int i = 0; i < 2000; ++i)
            compartment.calculation.materials
                << MaterialEntry{u"Materiale %1"_s.arg(i), n(17.5), n(i), n(1), n(1)};
        project.compartments << compartment;
        if (!ProjectFile::save(path, project).ok())
            return 1;
        say(u"saved %1"_s.arg(round));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    PrintingPrompt prompt;
    UserPrompt::install(&prompt);
    Database::instance().setFilePath(args.at(2));
    const QString mode = args.at(1);
    if (mode == QLatin1String("saveprojects"))
        return saveProjects(args.at(2));
    if (mode == QLatin1String("burst"))
        return burst();
    if (mode == QLatin1String("hold") && args.size() > 3)
        return hold(args.at(3).toInt());
    if (mode == QLatin1String("readonly"))
        return readOnly();
    return 2;
}
