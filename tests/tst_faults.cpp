// Database faults: each gives a clear message, leaves the program usable and loses nothing.
#include "data/catalogues.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <unistd.h>

namespace {

const QString kProbe = QStringLiteral(FAULTPROBE_PATH);

// A connection of the test's own, outside the program's, to look at a file as it is.
class RawFile
{
public:
    explicit RawFile(const QString &path) : m_name(u"raw%1"_s.arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~RawFile() { QSqlDatabase::removeDatabase(m_name); }
    QString integrity() const { return value(u"PRAGMA integrity_check"_s).toString(); }
    QVariant value(const QString &sql) const { return rows(sql).value(0).value(0); }
    QList<QVariantList> rows(const QString &sql) const
    {
        QList<QVariantList> result;
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        for (bool ok = query.exec(sql); ok && query.next();) {
            result << QVariantList();
            for (int c = 0; c < query.record().count(); ++c)
                result.last() << query.value(c);
        }
        return result;
    }

private:
    static inline int s_count = 0;
    QString m_name;
};

// Every catalogue row, to prove that none is lost.
QList<QVariantList> catalogues(const QString &path)
{
    RawFile file(path);
    QList<QVariantList> all;
    for (const char *table : {"tblMateriale", "tblAttivita", "tblArredo", "tblMaterialeInDeposito"})
        all += file.rows(u"SELECT '%1', * FROM %1 ORDER BY 2"_s.arg(QLatin1String(table)));
    return all;
}

// A database made by the program, with one catalogue row of the user's.
void makeDatabase(const QString &path)
{
    Database::instance().setFilePath(path);
    QVERIFY(Database::instance().open());
    QVERIFY(Catalogues::add(Catalogue::Materials, u"Mio"_s, 3.0));
    Database::instance().close();
}

// A healthy file that starts again from the reference catalogues.
void verifyFreshFile(const QString &path)
{
    RawFile file(path);
    QCOMPARE(file.integrity(), u"ok"_s);
    QVERIFY(file.value("SELECT count(*) FROM tblMateriale").toInt() > 50);
}

// Starts the probe holding the file locked for `ms`; true once it holds the lock.
bool holdLocked(QProcess &holder, const QString &path, const char *ms)
{
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(kProbe, {"hold", path, ms});
    return holder.waitForReadyRead(10000) && holder.readLine().trimmed() == "locked";
}

// Runs the probe to its end, as an ordinary user under root, whom permissions do not stop.
QString runProbeUnprivileged(const QStringList &args, const QString &copyDir, QString *why)
{
    QString program = kProbe;
    QStringList arguments = args;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        if (setpriv.isEmpty()) {
            *why = u"setpriv is not installed"_s;
            return {};
        }
        // A copy the unprivileged user can surely reach, wherever the build lies.
        const QString copy = QDir(copyDir).filePath(u"faultprobe"_s);
        QFile::remove(copy);
        if (!QFile::copy(kProbe, copy) ||
            !QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                             QFile::ExeOther | QFile::ReadGroup |
                                             QFile::ExeGroup)) {
            *why = u"cannot copy the probe"_s;
            return {};
        }
        arguments =
            QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, copy} + args;
        program = setpriv;
    }
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(program, arguments);
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0) {
        *why = u"the probe did not run: exit %1"_s.arg(probe.exitCode());
        return {};
    }
    return QString::fromUtf8(probe.readAllStandardOutput());
}

// The data folder "dati" in a folder anyone may enter, for the probe's unprivileged user.
QString reachableDataFolder(const QTemporaryDir &base)
{
    QFile::setPermissions(base.path(), QFile::Permissions(0x7755));
    const QString folder = base.filePath(u"dati"_s);
    QDir().mkpath(folder);
    return folder;
}

// What the probe's read-only mode printed, one fact a line, while the folder and the file (when
// there is one) carry the given permissions; the owner gets them back afterwards.
QStringList probeReadOnly(const QTemporaryDir &base, const QString &path, bool folderWritable,
                          bool fileWritable, QString *output)
{
    const QString folder = QFileInfo(path).absolutePath();
    const bool hasFile = QFileInfo::exists(path);
    if (hasFile)
        QFile::setPermissions(path, fileWritable ? QFile::Permissions(0x6666)
                                                 : QFile::Permissions(0x4444));
    QFile::setPermissions(folder,
                          folderWritable ? QFile::Permissions(0x7777) : QFile::Permissions(0x5555));
    QString why;
    *output = runProbeUnprivileged({u"readonly"_s, path}, base.path(), &why);
    QFile::setPermissions(folder, QFile::Permissions(0x7700));
    if (hasFile)
        QFile::setPermissions(path, QFile::Permissions(0x6600));
    if (output->isEmpty())
        *output = why;
    return output->split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestFaults : public WorldTest
{
    Q_OBJECT
private slots:
    void folderThatCannotBeCreated();
    void unreadableFileKeptAside_data();
    void unreadableFileKeptAside();
    void missingTables();
    void fileOrFolderReadOnly_data();
    void fileOrFolderReadOnly();
    void readOnlyFolderWithoutFile();
    void fileLockedByAnotherProgram();
    void killedInTheMiddleOfWrites();
    void newerSchemaRefused();
    void tableWithWrongFields();
    void viewInATablesPlace();
    void typingWhileAnotherProgramHoldsTheFile();
};

void TestFaults::folderThatCannotBeCreated()
{
    QTemporaryDir dir;
    // The data folder would have to be made inside a plain file: even root cannot.
    QVERIFY(!writeFile(dir.filePath("blocco"), {}).isEmpty());
    Database::instance().setFilePath(dir.filePath("blocco/Ardivo/Ardivo.db"));
    QVERIFY(!Database::instance().open());
    QCOMPARE(world().prompt.messages.size(), 1);
    QVERIFY(world().prompt.messages.first().startsWith("Impossibile creare la cartella dei dati:"));

    // Still usable: the activity method needs no database, and typing brings no flood of
    // messages.
    world().prompt.messages.clear();
    auto &form = startMethod<ValorePerAttivita>();
    typeInto(child(form, "txtValoreMJm2"), "450");
    typeInto(child(form, "ComboFrattile"), "1,2");
    QCOMPARE(textOf(form, "Valoreqf"), u"540"_s);
    click(form, "Command1");
    QCOMPARE(fireLoadNow(), 540.0);
    QVERIFY(world().prompt.messages.size() <= 1); // the activity list could not be read
    QVERIFY(!QFileInfo::exists(dir.filePath("blocco/Ardivo")));
}

void TestFaults::unreadableFileKeptAside_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("no database at all") << false;
    QTest::newRow("a damaged page") << true;
}

// An unreadable file: declined, it stays as it is; agreed, it is kept aside and a new one begins.
void TestFaults::unreadableFileKeptAside()
{
    QFETCH(bool, damaged);
    const QString path = world().databasePath();
    QByteArray bad = QByteArray("Relazione tecnica\n").repeated(300);
    if (damaged) {
        makeDatabase(path);
        bad = bytesOf(path);
        QVERIFY(bad.size() > 3 * 4096);
        // Garbage over the third page: the header still says SQLite, the tables do not hold.
        bad.replace(2 * 4096, 4096, QByteArray(4096, char(0xA5)));
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(!writeFile(path, bad).isEmpty());

    world().prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    QCOMPARE(world().prompt.questions.size(), 1);
    QVERIFY(world().prompt.messages.last().contains("non è stato modificato"));
    QVERIFY(!Database::instance().open());
    QCOMPARE(world().prompt.questions.size(), 1);
    QCOMPARE(bytesOf(path), bad);
    if (!damaged)
        QVERIFY(world().prompt.questions.first().contains("non è un database leggibile da Ardivo"));

    QVERIFY(!writeFile(path + "-journal", "vecchio").isEmpty()); // must not reach the new file
    Database::instance().setFilePath(path);
    QCoreApplication::processEvents(); // the user acts again
    world().prompt.answers = {true};
    QVERIFY(Database::instance().open());
    QCOMPARE(world().prompt.questions.size(), 2);
    const QDir folder = QFileInfo(path).dir();
    const QStringList aside = folder.entryList({"Ardivo-non-valido-*.db"});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(bytesOf(folder.filePath(aside.first())), bad);
    QVERIFY(world().prompt.messages.last().contains(aside.first()));
    QVERIFY(bytesOf(path + "-journal") != "vecchio");
    QVERIFY(storeMaterials({materialEntry("Legno", 17, 1)}));
    Database::instance().close();
    verifyFreshFile(path);
}

void TestFaults::missingTables()
{
    makeDatabase(world().databasePath());
    int furnishings = 0;
    {
        RawFile file(world().databasePath());
        furnishings = file.value("SELECT count(*) FROM tblArredo").toInt();
        file.value(u"DROP TABLE tblAppoggio"_s);
        file.value(u"DROP TABLE tblArredo"_s);
    }
    const auto before = catalogues(world().databasePath());
    const QByteArray untouched = bytesOf(world().databasePath());

    world().prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    QVERIFY(world().prompt.questions.last().contains("tblArredo, tblAppoggio"));
    VERIFY_CONTAINS(world().prompt.messages.last(),
                    {"mancano le tabelle tblArredo, tblAppoggio", "non è stato modificato"});
    QCOMPARE(bytesOf(world().databasePath()), untouched);

    QCoreApplication::processEvents(); // the user acts again
    world().prompt.answers = {true};
    QVERIFY(Database::instance().open());
    QVERIFY(storeFurnishings({furnishing("Divano", 600, 1)}));
    Database::instance().close();
    RawFile file(world().databasePath());
    QCOMPARE(file.integrity(), u"ok"_s);
    QCOMPARE(file.value("SELECT count(*) FROM tblArredo").toInt(), furnishings); // reference rows
    QCOMPARE(file.value("SELECT count(*) FROM tblMateriale WHERE Materiale = 'Mio'").toInt(), 1);
    const auto after = catalogues(world().databasePath());
    for (const QVariantList &row : before)
        QVERIFY(after.contains(row));
}

void TestFaults::fileOrFolderReadOnly_data()
{
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<QString>("writeMessage");
    QTest::newRow("file read-only") << false << true << "sola lettura";
    QTest::newRow("folder read-only") << true << false << "cartella del database";
}

void TestFaults::fileOrFolderReadOnly()
{
    QFETCH(bool, fileWritable);
    QFETCH(bool, folderWritable);
    QFETCH(QString, writeMessage);
    QTemporaryDir base;
    const QString path = reachableDataFolder(base) + "/Ardivo.db";
    makeDatabase(path);
    const auto before = catalogues(path);
    const QByteArray untouched = bytesOf(path);

    QString output;
    const QStringList lines = probeReadOnly(base, path, folderWritable, fileWritable, &output);
    const int materials = RawFile(path).value("SELECT count(*) FROM tblMateriale").toInt();
    for (const QString &line :
         {u"open 1"_s, u"catalogue %1"_s.arg(materials), u"append 0"_s, u"add 0"_s, u"rows 0"_s})
        QVERIFY2(lines.contains(line), qPrintable(output));
    VERIFY_CONTAINS(output, {u"non si può modificare"_s, writeMessage});
    QVERIFY(!lines.contains("message: Inserire i dati correttamente"));

    QCOMPARE(bytesOf(path), untouched);
    QCOMPARE(RawFile(path).integrity(), u"ok"_s);
    QCOMPARE(catalogues(path), before);
}

void TestFaults::readOnlyFolderWithoutFile()
{
    QTemporaryDir base;
    const QString folder = reachableDataFolder(base);
    QString output;
    const QStringList lines = probeReadOnly(base, folder + "/Ardivo.db", false, false, &output);

    // Each operation says why it cannot be done; none pretends to have stored anything.
    for (const char *line : {"open 0", "append 0", "add 0"})
        QVERIFY2(lines.contains(line), qPrintable(output));
    VERIFY_CONTAINS(output, {"Impossibile creare il database nella cartella"});
    QVERIFY(lines.filter("Inserire i dati correttamente").isEmpty());
    QVERIFY(QDir(folder).isEmpty());
}

void TestFaults::fileLockedByAnotherProgram()
{
    makeDatabase(world().databasePath());
    const auto before = catalogues(world().databasePath());
    Database::instance().setBusyTimeout(300);
    QVERIFY(Database::instance().open());

    QProcess holder;
    QVERIFY(holdLocked(holder, world().databasePath(), "1500"));

    // The operation waits a moment, then gives up and says why; nothing is half-written.
    QVERIFY(!storeMaterials({materialEntry("Legno", 17, 1)}));
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages.first(),
                    {"in uso da un altro programma", "0,3 secondi"});

    QVERIFY(holder.waitForFinished(10000));
    QVERIFY(storeMaterials({materialEntry("Legno", 17, 1)}));
    QCOMPARE(rowCountOf("tblAppoggioMateriali"), 1);
    Database::instance().setBusyTimeout(3000);
    Database::instance().close();
    QCOMPARE(RawFile(world().databasePath()).integrity(), u"ok"_s);
    QCOMPARE(catalogues(world().databasePath()), before);
}

void TestFaults::killedInTheMiddleOfWrites()
{
    makeDatabase(world().databasePath());
    const auto reference = catalogues(world().databasePath());
    QRandomGenerator random(20261206);
    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(kProbe, {"burst", world().databasePath()});
        QVERIFY(writer.waitForReadyRead(10000));
        QTest::qSleep(20 + random.bounded(200));
        writer.kill(); // SIGKILL: no chance to finish anything
        QVERIFY(writer.waitForFinished(10000));

        RawFile file(world().databasePath());
        QCOMPARE(file.integrity(), u"ok"_s);
        // Only whole rows: every field follows from the row's number.
        for (const QVariantList &r :
             file.rows("SELECT IdAppoggioMat, Materiale, ValorePerKg, "
                       "QtaMat, FattorePsi, Fattore_m FROM tblAppoggioMateriali")) {
            const qint64 k = r[0].toLongLong();
            QVERIFY2(k > 0, "a rolled-back row survived");
            QCOMPARE(r[1].toString(), u"Burst %1"_s.arg(k));
            QCOMPARE(r[2].toDouble(), double(k));
            QCOMPARE(r[3].toDouble(), double(2 * k));
            QCOMPARE(r[4].toDouble() * r[5].toDouble(), 1.0);
        }
        for (const QString &table : {u"tblAppoggio"_s, u"tblStampaArredo"_s}) {
            for (const QVariantList &r :
                 file.rows(u"SELECT Arredo, ValorePerPezzo, QtaArredo FROM %1"_s.arg(table))) {
                const qint64 k = r[1].toLongLong();
                QCOMPARE(r[0].toString(), u"Arredo %1"_s.arg(k));
                QCOMPARE(r[2].toDouble(), double(3 * k));
            }
        }
        for (const QVariantList &r :
             file.rows("SELECT Materiale, CaricoIncSpecif FROM tblMateriale "
                       "WHERE Materiale LIKE 'Burst %'"))
            QCOMPARE(r[0].toString(), u"Burst %1"_s.arg(r[1].toLongLong()));
    }
    // Not one catalogue row of before is lost.
    const auto after = catalogues(world().databasePath());
    for (const QVariantList &row : reference)
        QVERIFY(after.contains(row));
}

// A file written by a newer Ardivo is left alone, with a message.
void TestFaults::newerSchemaRefused()
{
    makeDatabase(world().databasePath());
    {
        RawFile file(world().databasePath());
        file.value(u"PRAGMA user_version = 99"_s);
    }
    const QByteArray untouched = bytesOf(world().databasePath());
    QVERIFY(!Database::instance().open());
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages[0], {"versione più recente di Ardivo (schema 99"});
    QCOMPARE(bytesOf(world().databasePath()), untouched);
}

// A table with the wrong fields is repaired as a missing one, kept aside, never dropped.
void TestFaults::tableWithWrongFields()
{
    makeDatabase(world().databasePath());
    {
        RawFile file(world().databasePath());
        file.value(u"DROP TABLE tblMateriale"_s);
        file.value(u"CREATE TABLE tblMateriale (Nome TEXT, Valore REAL)"_s);
        file.value(u"INSERT INTO tblMateriale VALUES ('Vecchio', 1)"_s);
    }
    world().prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    VERIFY_CONTAINS(world().prompt.questions.last(), {"tblMateriale non ha i campi attesi"});
    QVERIFY(world().prompt.messages.last().contains("non è stato modificato"));

    QCoreApplication::processEvents(); // the user acts again
    world().prompt.answers = {true};
    world().prompt.messages.clear();
    QVERIFY(Database::instance().open());
    QVERIFY(world().prompt.messages.isEmpty());
    QVERIFY(Catalogues::firstNamed(Catalogue::Materials, u"Legno"_s));
    Database::instance().close();
    RawFile file(world().databasePath());
    const QString aside =
        file.value("SELECT name FROM sqlite_master WHERE name LIKE 'tblMateriale_danneggiata_%'")
            .toString();
    QVERIFY(!aside.isEmpty());
    QCOMPARE(file.value(u"SELECT Nome FROM %1"_s.arg(aside)).toString(), u"Vecchio"_s);
}

// A view in a table's place is offered the same repair, once, and the view goes.
void TestFaults::viewInATablesPlace()
{
    makeDatabase(world().databasePath());
    {
        RawFile file(world().databasePath());
        file.value(u"DROP TABLE tblArredo"_s);
        file.value(u"CREATE VIEW tblArredo AS SELECT 1 AS idArredo, 'x' AS Arredo"_s);
    }
    world().prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    QCOMPARE(world().prompt.questions.size(), 1);
    VERIFY_CONTAINS(world().prompt.questions.last(),
                    {"al posto della tabella tblArredo c'è una vista"});
    QCOMPARE(world().prompt.messages.size(), 1);

    // Declined, a screen that reads the file many times asks and tells once.
    QCoreApplication::processEvents(); // the next action
    world().prompt.answers = {false, false, false, false, false, false, false, false};
    world().prompt.questions.clear();
    world().prompt.messages.clear();
    chooseMethod("Command2");
    QCOMPARE(world().prompt.questions.size(), 1);
    QCOMPARE(world().prompt.messages.size(), 1);
    closeAllScreens();

    QCoreApplication::processEvents();
    world().prompt.answers = {true};
    world().prompt.messages.clear();
    QVERIFY(Database::instance().open());
    QVERIFY(world().prompt.messages.isEmpty());
    QVERIFY(
        Catalogues::entries(Catalogue::Furnishings).value_or(QVector<Catalogues::Entry>()).size() >
        1);
    Database::instance().close();
    RawFile file(world().databasePath());
    QCOMPARE(file.value("SELECT type FROM sqlite_master WHERE name = 'tblArredo'").toString(),
             u"table"_s);
}

// Typing never waits for a held file: q_f from the entries read last, told once at most.
void TestFaults::typingWhileAnotherProgramHoldsTheFile()
{
    auto &form = startMethod<ValorePerMateriale>();
    enterExampleMaterials();
    const double sum = entriesTotal();
    world().prompt.messages.clear();

    QProcess holder;
    QVERIFY(holdLocked(holder, world().databasePath(), "2500"));
    QElapsedTimer timer;
    timer.start();
    clickAndType(form, "txtAreaComp", "120");
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(world().prompt.messages.size() <= 1);
    QCOMPARE(fireLoadNow(), sum / 120);
    // A write waits for the other program again, and goes in once it lets the file go.
    QVERIFY(storeMaterials({materialEntry("Carta", 20, 1)}));
    QVERIFY2(timer.elapsed() > 1500, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(holder.waitForFinished(10000));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
