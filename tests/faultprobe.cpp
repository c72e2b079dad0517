// A second program for the fault tests, run by them as a child process:
//   faultprobe burst <db>        writes catalogue and working rows until it is killed
//   faultprobe hold <db> <ms>    holds the file locked against everyone for <ms>
//   faultprobe readonly <db>     what Ardivo does with a file it may read but not write
// It prints one line per fact ("message: ...", "open 1", ...), for the test to read.

#include "core/userprompt.h"
#include "data/catalogues.h"
#include "data/database.h"
#include "data/module2.h"
#include "data/projectfile.h"
#include "data/workingtables.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(QString(line).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    std::fflush(stdout);
}

// Every box is printed; questions are answered No.
class PrintingPrompt : public UserPrompt
{
public:
    void message(const QString &text, const QString &, Icon) override
    {
        say(QStringLiteral("message: ") + text);
    }
    bool confirm(const QString &text, const QString &, Icon) override
    {
        say(QStringLiteral("question: ") + text);
        return false;
    }
    QString input(const QString &, const QString &) override { return QString(); }
};

qint64 count(const QString &sql)
{
    auto query = Database::instance().run(sql);
    return query && query->next() ? query->value(0).toLongLong() : -1;
}

// Rows whose fields all follow from their number k, so that a torn row would show.
int burst()
{
    Database &db = Database::instance();
    if (!db.open())
        return 1;
    say(QStringLiteral("ready"));
    for (qint64 k = 1;; ++k) {
        WorkingTables::appendMaterial(k, QStringLiteral("Burst %1").arg(k), double(k), 1.0, 1.0,
                                      double(2 * k));
        WorkingTables::appendFurnishing(k, QStringLiteral("Arredo %1").arg(k), double(k),
                                        double(3 * k));
        Catalogues::add(Catalogue::Materials, QStringLiteral("Burst %1").arg(k), double(k));
        if (k % 5 == 0) {
            // The report copy, emptied and filled again as the furnishings screen does.
            Module2::SvuotaTabStampa();
            Module2::PreparaTabStampa();
        }
        if (k % 50 == 0) {
            // A transaction that is rolled back leaves nothing.
            Transaction transaction(db.connection());
            WorkingTables::appendMaterial(-k, QStringLiteral("Annullato"), 1.0, 1.0, 1.0, 1.0);
        }
    }
}

int hold(int milliseconds)
{
    Database &db = Database::instance();
    if (!db.open())
        return 1;
    QSqlQuery query(db.connection());
    if (!query.exec(QStringLiteral("BEGIN EXCLUSIVE")))
        return 1;
    say(QStringLiteral("locked"));
    QThread::msleep(milliseconds);
    query.exec(QStringLiteral("COMMIT"));
    say(QStringLiteral("released"));
    return 0;
}

int readOnly()
{
    Database &db = Database::instance();
    say(QStringLiteral("open %1").arg(db.open()));
    say(QStringLiteral("catalogue %1")
            .arg(count(QStringLiteral("SELECT count(*) FROM tblMateriale"))));
    say(QStringLiteral("append %1")
            .arg(WorkingTables::appendMaterial(1, QStringLiteral("Legno"), 17.0, 1.0, 1.0, 1.0)));
    say(QStringLiteral("add %1").arg(
        Catalogues::add(Catalogue::Materials, QStringLiteral("Nuovo"), 1.0).has_value()));
    say(QStringLiteral("rows %1").arg(
        count(QStringLiteral("SELECT count(*) FROM tblAppoggioMateriali"))));
    return 0;
}

// Saves a large project again and again, each round with one more compartment, so that a kill
// can land in the middle of any save.
int saveProjects(const QString &path)
{
    Project project;
    project.identity.name = QStringLiteral("Prova d'interruzione");
    for (int round = 1;; ++round) {
        Compartment compartment;
        compartment.name = QStringLiteral("Compartimento %1").arg(round);
        compartment.calculation.method = Method::Materials;
        compartment.calculation.area = 1000 + round; // q_f in the tens of thousands
        for (int i = 0; i < 2000; ++i)
            compartment.calculation.materials
                << MaterialEntry{QStringLiteral("Materiale %1").arg(i), Amount::number(17.5),
                                 Amount::number(i), Amount::number(1), Amount::number(1)};
        project.compartments << compartment;
        if (!ProjectFile::save(path, project).ok())
            return 1;
        say(QStringLiteral("saved %1").arg(round));
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
