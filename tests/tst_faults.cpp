// Database faults: each gives a clear message, leaves the program usable and loses nothing.
#include "data/catalogues.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <unistd.h>

namespace {

const QString kProbe = QStringLiteral(FAULTPROBE_PATH);

// A connection of the test's own, outside the program's, to look at a file as it is.
class RawFile
{
    const QString m_name = u"raw%1"_s.arg(quintptr(this)); // one connection per live RawFile

public:
    explicit RawFile(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~RawFile() { QSqlDatabase::removeDatabase(m_name); }
    QString integrity() const { return value(u"PRAGMA integrity_check"_s).toString(); }
    QVariant value(const QString &sql) const { return rows(sql).value(0).value(0); }
    QList<QVariantList> rows(const QString &sql) const { return rowsOf(db(), sql); }
    QList<QVariantList> catalogues() const { return catalogueRows(db()); }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
};

// A database made by the program, with one catalogue row of the user's.
void makeDatabase(const QString &path)
{
    Database::instance().setFilePath(path);
    QVERIFY(Database::instance().open());
    QVERIFY(Catalogues::add(Catalogue::Materials, u"Mio"_s, 3.0));
    Database::instance().close();
}

// Starts the probe; true once its first line says it is `under way` ("ready", "locked").
bool startProbe(QProcess &probe, const QStringList &arguments, const char *underWay)
{
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(kProbe, arguments);
    return probe.waitForReadyRead(10000) && probe.readLine().trimmed() == underWay;
}

// The probe's read-only mode under the given permissions (restored after), to its end; under
// root, whom permissions do not stop, as an ordinary user. One fact a line, or why it did not run.
QString probeReadOnly(const QTemporaryDir &base, const QString &path, bool folderWritable,
                      bool fileWritable)
{
    QString program = kProbe;
    QStringList arguments = {u"readonly"_s, path};
    if (::geteuid() == 0) {
        program = QStandardPaths::findExecutable(u"setpriv"_s);
        // A copy the unprivileged user can surely reach, wherever the build lies.
        const QString copy = base.filePath(u"faultprobe"_s);
        if (program.isEmpty() || !QFile::copy(kProbe, copy) ||
            !QFile::setPermissions(copy, QFile::Permissions(0x5555)))
            return u"setpriv is not installed, or the probe cannot be copied"_s;
        arguments = QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, copy} +
                    arguments;
    }
    const QString folder = QFileInfo(path).absolutePath();
    QFile::setPermissions(path, QFile::Permissions(fileWritable ? 0x6666 : 0x4444));
    QFile::setPermissions(folder, QFile::Permissions(folderWritable ? 0x7777 : 0x5555));
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(program, arguments);
    const bool ran = probe.waitForFinished(30000) && probe.exitCode() == 0;
    QFile::setPermissions(folder, QFile::Permissions(0x7700));
    QFile::setPermissions(path, QFile::Permissions(0x6600)); // nothing, where there is no file
    return ran ? QString::fromUtf8(probe.readAllStandardOutput())
               : u"the probe did not run: exit %1"_s.arg(probe.exitCode());
}

} // namespace

class TestFaults : public WorldTest
{
    Q_OBJECT
private slots:
    void folderThatCannotBeCreated();
    void unreadableFileKeptAside_data();
    void unreadableFileKeptAside();
    void damagedTablesRepairedOnlyWhenAgreed_data();
    void damagedTablesRepairedOnlyWhenAgreed();
    void fileOrFolderReadOnly_data();
    void fileOrFolderReadOnly();
    void killedInTheMiddleOfWrites();
    void newerSchemaRefused();
    void fileHeldByAnotherProgram();
};

void TestFaults::folderThatCannotBeCreated()
{
    // The data folder would have to be made inside a plain file: even root cannot.
    QVERIFY(!writeFile(world().filePath("blocco"), {}).isEmpty());
    Database::instance().setFilePath(world().filePath("blocco/Ardivo/Ardivo.db"));
    QVERIFY(!Database::instance().open());
    QCOMPARE(world().prompt.messages.size(), 1);
    QVERIFY(world().prompt.messages.first().startsWith("Impossibile creare la cartella dei dati:"));

    // Still usable: the activity method needs no database; typing brings no flood of messages.
    world().prompt.messages.clear();
    auto &form = startMethod<ValorePerAttivita>();
    typeInto(child(form, "txtValoreMJm2"), "450");
    typeInto(child(form, "ComboFrattile"), "1,2");
    QCOMPARE(textOf(form, "Valoreqf"), u"540"_s);
    click(form, "Command1");
    QCOMPARE(fireLoadNow(), 540.0);
    QVERIFY(world().prompt.messages.size() <= 1); // the activity list could not be read
    QVERIFY(!QFileInfo::exists(world().filePath("blocco/Ardivo")));
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
    QCOMPARE(RawFile(path).integrity(), u"ok"_s); // a healthy file, from the reference catalogues
    QVERIFY(RawFile(path).value("SELECT count(*) FROM tblMateriale").toInt() > 50);
}

void TestFaults::fileOrFolderReadOnly_data()
{
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("file read-only")
        << true << false << true << QStringList{"non si può modificare", "sola lettura"};
    QTest::newRow("folder read-only")
        << true << true << false << QStringList{"non si può modificare", "cartella del database"};
    QTest::newRow("folder read-only, no file")
        << false << false << false << QStringList{"Impossibile creare il database nella cartella"};
}

// Each operation says why it cannot be done; none pretends to have stored anything.
void TestFaults::fileOrFolderReadOnly()
{
    QFETCH(bool, hasFile);
    QFETCH(bool, fileWritable);
    QFETCH(bool, folderWritable);
    QFETCH(QStringList, said);
    QTemporaryDir base;
    // The data folder in a folder anyone may enter, for the probe's unprivileged user.
    QFile::setPermissions(base.path(), QFile::Permissions(0x7755));
    QVERIFY(QDir().mkpath(base.filePath(u"dati"_s)));
    const QString path = base.filePath(u"dati/Ardivo.db"_s);
    if (hasFile)
        makeDatabase(path);
    const auto before = hasFile ? RawFile(path).catalogues() : QList<QVariantList>();
    const QByteArray untouched = bytesOf(path);
    QStringList expected = {u"open %1"_s.arg(int(hasFile)), u"append 0"_s, u"add 0"_s};
    if (hasFile)
        expected << u"catalogue %1"_s.arg(
                        RawFile(path).value("SELECT count(*) FROM tblMateriale").toInt())
                 << u"rows 0"_s;
    const QString output = probeReadOnly(base, path, folderWritable, fileWritable);
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : expected)
        QVERIFY2(lines.contains(line), qPrintable(output));
    VERIFY_CONTAINS(output, TextParts(said.cbegin(), said.cend()));
    QVERIFY(lines.filter("Inserire i dati correttamente").isEmpty());
    QCOMPARE(bytesOf(path), untouched);
    if (hasFile)
        QCOMPARE(RawFile(path).catalogues(), before);
    else
        QVERIFY(QDir(QFileInfo(path).absolutePath()).isEmpty());
}

void TestFaults::killedInTheMiddleOfWrites()
{
    makeDatabase(world().databasePath());
    const auto reference = RawFile(world().databasePath()).catalogues();
    QRandomGenerator random(20261206);
    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        QVERIFY(startProbe(writer, {"burst", world().databasePath()}, "ready"));
        QTest::qSleep(20 + random.bounded(200));
        writer.kill(); // SIGKILL: no chance to finish anything
        QVERIFY(writer.waitForFinished(10000));

        RawFile file(world().databasePath());
        QCOMPARE(file.integrity(), u"ok"_s);
        // Only whole rows: every field follows from the row's number k.
        const auto whole = [&](const QString &sql, const QString &name, double quantity) {
            for (const QVariantList &r : file.rows(sql)) {
                const qint64 k = r[1].toLongLong();
                QVERIFY2(k > 0, "a rolled-back row survived");
                QCOMPARE(r[0].toString(), name.arg(k));
                QCOMPARE(r.value(2, quantity * k).toDouble(), quantity * k);
                QCOMPARE(r.value(3, 1).toDouble() * r.value(4, 1).toDouble(), 1.0);
                QCOMPARE(r.value(5, k).toLongLong(), k);
            }
        };
        whole(u"SELECT Materiale, ValorePerKg, QtaMat, FattorePsi, Fattore_m, IdAppoggioMat FROM "
              "tblAppoggioMateriali"_s,
              u"Burst %1"_s, 2);
        for (const char *table : {"tblAppoggio", "tblStampaArredo"})
            whole(u"SELECT Arredo, ValorePerPezzo, QtaArredo FROM %1"_s.arg(QLatin1String(table)),
                  u"Arredo %1"_s, 3);
        whole(
            u"SELECT Materiale, CaricoIncSpecif FROM tblMateriale WHERE Materiale LIKE 'Burst %'"_s,
            u"Burst %1"_s, 0);
    }
    const auto after = RawFile(world().databasePath()).catalogues();
    for (const QVariantList &row : reference)
        QVERIFY(after.contains(row));
}

// A file written by a newer Ardivo is left alone, with a message.
void TestFaults::newerSchemaRefused()
{
    makeDatabase(world().databasePath());
    RawFile(world().databasePath()).value(u"PRAGMA user_version = 99"_s);
    const QByteArray untouched = bytesOf(world().databasePath());
    QVERIFY(!Database::instance().open());
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages[0], {"versione più recente di Ardivo (schema 99"});
    QCOMPARE(bytesOf(world().databasePath()), untouched);
}

// A damaged table: the repair is asked once; declined, nothing changes; agreed, nothing is lost.
void TestFaults::damagedTablesRepairedOnlyWhenAgreed_data()
{
    QTest::addColumn<QString>("damage"); // statements, each ended by a semicolon
    QTest::addColumn<QString>("asked");
    QTest::newRow("tables missing") << "DROP TABLE tblAppoggio; DROP TABLE tblArredo;"
                                    << "mancano le tabelle tblArredo, tblAppoggio";
    QTest::newRow("wrong fields") << "DROP TABLE tblMateriale; CREATE TABLE tblMateriale (Nome "
                                     "TEXT, Valore REAL); INSERT INTO tblMateriale VALUES "
                                     "('Vecchio', 1);"
                                  << "tblMateriale non ha i campi attesi";
    QTest::newRow("a view")
        << "DROP TABLE tblArredo; CREATE VIEW tblArredo AS SELECT 1 AS idArredo, 'x' AS Arredo;"
        << "al posto della tabella tblArredo c'è una vista";
    QTest::newRow("an index") << "DROP TABLE tblArredo; CREATE INDEX tblArredo ON tblAppoggio "
                                 "(Arredo);"
                              << "al posto della tabella tblArredo c'è una vista o un indice";
}

void TestFaults::damagedTablesRepairedOnlyWhenAgreed()
{
    const QString path = world().databasePath();
    makeDatabase(path);
    const QList<QVariantList> reference = RawFile(path).catalogues();
    QFETCH(QString, damage);
    QFETCH(QString, asked);
    for (const QString &sql : damage.split(u';', Qt::SkipEmptyParts))
        RawFile(path).value(sql);
    const QByteArray untouched = bytesOf(path);

    world().prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    QCOMPARE(world().prompt.questions, QStringList{world().prompt.questions.value(0)});
    VERIFY_CONTAINS(world().prompt.questions.first(), {asked});
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages.last(), {asked, "non è stato modificato"});
    QCOMPARE(bytesOf(path), untouched);
    // Declined, a screen that reads the file many times asks and tells once.
    QCoreApplication::processEvents(); // the next action
    world().prompt = {};               // a fresh script
    world().prompt.answers = QList<bool>(8, false);
    chooseMethod("Command2");
    QCOMPARE(world().prompt.questions.size(), 1);
    QCOMPARE(world().prompt.messages.size(), 1);
    closeAllScreens();

    QCoreApplication::processEvents();
    world().prompt.answers = {true};
    world().prompt.messages.clear();
    QVERIFY(Database::instance().open());
    QVERIFY(world().prompt.messages.isEmpty());
    QVERIFY(storeFurnishings({furnishing("Divano", 600, 1)}));
    Database::instance().close();
    QCOMPARE(RawFile(path).integrity(), u"ok"_s);
    const bool wrongFields = QTest::currentDataTag() == QLatin1String("wrong fields");
    const QList<QVariantList> after = RawFile(path).catalogues();
    for (const QVariantList &row : reference) {
        // The user's row of a table with the wrong fields is in the table kept aside.
        if (!wrongFields || row.value(2) != u"Mio"_s)
            QVERIFY2(after.contains(row), qPrintable(row.value(2).toString()));
    }
    const RawFile file(path);
    const QString aside =
        file.value("SELECT name FROM sqlite_master WHERE name LIKE 'tblMateriale_danneggiata_%'")
            .toString();
    QCOMPARE(aside.isEmpty(), !wrongFields); // only a table with the wrong fields is kept aside
    if (wrongFields)
        QCOMPARE(file.value(u"SELECT Nome FROM %1"_s.arg(aside)).toString(), u"Vecchio"_s);
}

// Typing never waits for a held file: q_f from the entries read last, told once at most. A write
// waits a moment, then goes in or gives up and says why; nothing is half-written.
void TestFaults::fileHeldByAnotherProgram()
{
    const QString path = world().databasePath();
    auto &form = startMethod<ValorePerMateriale>();
    enterExampleMaterials();
    const double sum = entriesTotal();
    const auto before = RawFile(path).catalogues();
    world().prompt.messages.clear();

    QProcess holder;
    QVERIFY(startProbe(holder, {"hold", path, "2500"}, "locked"));
    QElapsedTimer timer;
    timer.start();
    clickAndType(form, "txtAreaComp", "120");
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(world().prompt.messages.size() <= 1);
    QCOMPARE(fireLoadNow(), sum / 120);
    QVERIFY(storeMaterials({materialEntry("Carta", 20, 1)})); // once the holder lets go
    QVERIFY2(timer.elapsed() > 1500, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(holder.waitForFinished(10000));

    Database::instance().setBusyTimeout(300);
    QVERIFY(Database::instance().open());
    world().prompt.messages.clear();
    QVERIFY(startProbe(holder, {"hold", path, "1500"}, "locked"));
    QVERIFY(!storeMaterials({materialEntry("Legno", 17, 1)}));
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages.first(),
                    {"in uso da un altro programma", "0,3 secondi"});
    QVERIFY(holder.waitForFinished(10000));
    QVERIFY(storeMaterials({materialEntry("Legno", 17, 1)}));
    QCOMPARE(rowCountOf("tblAppoggioMateriali"), 4);
    Database::instance().setBusyTimeout(3000);
    Database::instance().close();
    QCOMPARE(RawFile(path).integrity(), u"ok"_s);
    QCOMPARE(RawFile(path).catalogues(), before);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
