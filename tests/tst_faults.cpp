// Database faults: each gives a clear message, leaves the program usable and loses nothing.
#include "data/catalogues.h"
#include "data/database.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"
#include "testsupport.h"
#include "ui/app/screens.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/start/densitacarico.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

const QString kProbe = QStringLiteral(FAULTPROBE_PATH);

// A connection of the test's own, outside the program's, to look at a file as it is.
class RawFile
{
public:
    explicit RawFile(const QString &path) : m_name(QStringLiteral("raw%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_open = db.open();
    }
    ~RawFile()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool isOpen() const { return m_open; }
    QString integrity() const { return value(QStringLiteral("PRAGMA integrity_check")).toString(); }
    QVariant value(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        return query.exec(sql) && query.next() ? query.value(0) : QVariant();
    }
    QList<QVariantList> rows(const QString &sql) const
    {
        QList<QVariantList> result;
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!query.exec(sql))
            return result;
        while (query.next()) {
            QVariantList row;
            for (int c = 0; c < query.record().count(); ++c)
                row << query.value(c);
            result << row;
        }
        return result;
    }

private:
    static inline int s_count = 0;
    QString m_name;
    bool m_open = false;
};

// Every catalogue row, to prove that none is lost.
QList<QVariantList> catalogues(const QString &path)
{
    RawFile file(path);
    QList<QVariantList> all;
    for (const char *table : {"tblMateriale", "tblAttivita", "tblArredo", "tblMaterialeInDeposito"})
        all += file.rows(
            QStringLiteral("SELECT '%1', * FROM %1 ORDER BY 2").arg(QLatin1String(table)));
    return all;
}

QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// A database made by the program, with one catalogue row of the user's.
void makeDatabase(const QString &path)
{
    Database::instance().setFilePath(path);
    QVERIFY(Database::instance().open());
    QVERIFY(Catalogues::add(Catalogue::Materials, QStringLiteral("Mio"), 3.0));
    Database::instance().close();
}

// A healthy file that starts again from the reference catalogues.
void verifyFreshFile(const QString &path)
{
    RawFile file(path);
    QCOMPARE(file.integrity(), QStringLiteral("ok"));
    QVERIFY(file.value("SELECT count(*) FROM tblMateriale").toInt() > 50);
}

bool messagesContain(const QStringList &messages, const QString &text)
{
    for (const QString &m : messages) {
        if (m.contains(text))
            return true;
    }
    return false;
}

// Runs the probe to its end, as an ordinary user when the tests run as root, since root
// writes files whatever their permissions say.
QString runProbeUnprivileged(const QStringList &args, const QString &copyDir, QString *why)
{
    QString program = kProbe;
    QStringList arguments = args;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) {
            *why = QStringLiteral("setpriv is not installed");
            return {};
        }
        // A copy the unprivileged user can surely reach, wherever the build lies.
        const QString copy = QDir(copyDir).filePath(QStringLiteral("faultprobe"));
        QFile::remove(copy);
        if (!QFile::copy(kProbe, copy) ||
            !QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                             QFile::ExeOther | QFile::ReadGroup |
                                             QFile::ExeGroup)) {
            *why = QStringLiteral("cannot copy the probe");
            return {};
        }
        arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), copy} +
                    args;
        program = setpriv;
    }
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(program, arguments);
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0) {
        *why = QStringLiteral("the probe did not run: exit %1").arg(probe.exitCode());
        return {};
    }
    return QString::fromUtf8(probe.readAllStandardOutput());
}

// The data folder "dati" in a folder anyone may enter, for the probe's unprivileged user.
QString reachableDataFolder(const QTemporaryDir &base)
{
    QFile::setPermissions(base.path(), QFile::Permissions(0x7755));
    const QString folder = base.filePath(QStringLiteral("dati"));
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
    *output = runProbeUnprivileged({QStringLiteral("readonly"), path}, base.path(), &why);
    QFile::setPermissions(folder, QFile::Permissions(0x7700));
    if (hasFile)
        QFile::setPermissions(path, QFile::Permissions(0x6600));
    if (output->isEmpty())
        *output = why;
    return output->split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private slots:
    void folderThatCannotBeCreated();
    void fileThatIsNoDatabase();
    void damagedDatabase();
    void missingTables();
    void fileOrFolderReadOnly_data();
    void fileOrFolderReadOnly();
    void readOnlyFolderWithoutFile();
    void fileLockedByAnotherProgram();
    void killedInTheMiddleOfWrites();
    void newerSchemaRefused();
    void tableWithWrongFields();
    void typingWhileAnotherProgramHoldsTheFile();
};

void TestFaults::folderThatCannotBeCreated()
{
    TestWorld world;
    QTemporaryDir dir;
    // The data folder would have to be made inside a plain file: even root cannot.
    QFile blocker(dir.filePath("blocco"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Database::instance().setFilePath(dir.filePath("blocco/Ardivo/Ardivo.db"));
    QVERIFY(!Database::instance().open());
    QCOMPARE(world.prompt.messages.size(), 1);
    QVERIFY(world.prompt.messages.first().startsWith("Impossibile creare la cartella dei dati:"));

    // Still usable: the activity method needs no database, and typing brings no flood of
    // messages.
    world.prompt.messages.clear();
    chooseMethod("Command1");
    auto &form = Screens::get<ValorePerAttivita>();
    typeInto(child(form, "txtValoreMJm2"), "450");
    typeInto(child(form, "ComboFrattile"), "1,2");
    QCOMPARE(child<QLabel>(form, "Valoreqf")->text(), QStringLiteral("540"));
    click(child(form, "Command1"));
    QCOMPARE(fireLoadNow(), 540.0);
    QVERIFY(world.prompt.messages.size() <= 1); // the activity list could not be read
    QVERIFY(!QFileInfo::exists(dir.filePath("blocco/Ardivo")));
}

void TestFaults::fileThatIsNoDatabase()
{
    TestWorld world;
    QDir().mkpath(QFileInfo(world.databasePath()).absolutePath());
    const QByteArray junk = QByteArray("Relazione tecnica\n").repeated(300);
    QFile file(world.databasePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(junk);
    file.close();

    // Declined: the file stays as it is, and the question is not asked again.
    world.prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    QCOMPARE(world.prompt.questions.size(), 1);
    QVERIFY(world.prompt.questions.first().contains("non è un database leggibile da Ardivo"));
    QVERIFY(world.prompt.messages.last().contains("non è stato modificato"));
    QVERIFY(!Database::instance().open());
    QCOMPARE(world.prompt.questions.size(), 1);
    QCOMPARE(digest(world.databasePath()),
             QCryptographicHash::hash(junk, QCryptographicHash::Sha256));

    // Agreed, for another file: kept aside under a new name, and a new database begins.
    QTemporaryDir other;
    const QString path = other.filePath("Ardivo.db");
    QVERIFY(QFile::copy(world.databasePath(), path));
    QFile journal(path + "-journal"); // a leftover journal must not reach the new file
    QVERIFY(journal.open(QIODevice::WriteOnly));
    journal.write("vecchio");
    journal.close();
    Database::instance().setFilePath(path);
    world.prompt.answers = {true};
    QVERIFY(Database::instance().open());
    const QStringList aside = QDir(other.path()).entryList({"Ardivo-non-valido-*.db"});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(digest(other.filePath(aside.first())),
             QCryptographicHash::hash(junk, QCryptographicHash::Sha256));
    QFile left(path + "-journal");
    QVERIFY(!left.open(QIODevice::ReadOnly) || left.readAll() != "vecchio");
    QVERIFY(world.prompt.messages.last().contains(aside.first()));
    QVERIFY(WorkingTables::appendMaterial(1, "Legno", 17.0, 1.0, 1.0, 1.0));
    Database::instance().close();
    verifyFreshFile(path);
}

void TestFaults::damagedDatabase()
{
    TestWorld world;
    makeDatabase(world.databasePath());
    {
        RawFile file(world.databasePath());
        QVERIFY(file.value("PRAGMA page_count").toInt() > 3);
    }
    // Garbage over the third page: the header still says SQLite, the tables do not hold.
    QFile file(world.databasePath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(2 * 4096);
    file.write(QByteArray(4096, char(0xA5)));
    file.close();
    const QByteArray damaged = digest(world.databasePath());

    world.prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    QCOMPARE(world.prompt.questions.size(), 1);
    QCOMPARE(digest(world.databasePath()), damaged); // never written

    // Agreed at the next start: the damaged bytes are kept aside, a healthy file begins.
    Database::instance().setFilePath(world.databasePath());
    world.prompt.answers = {true};
    QVERIFY(Database::instance().open());
    QCOMPARE(world.prompt.questions.size(), 2);
    const QFileInfo info(world.databasePath());
    const QStringList aside = info.dir().entryList({"Ardivo-non-valido-*.db"});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(digest(info.dir().filePath(aside.first())), damaged);
    Database::instance().close();
    verifyFreshFile(world.databasePath());
}

void TestFaults::missingTables()
{
    TestWorld world;
    makeDatabase(world.databasePath());
    const int furnishings = [&] {
        RawFile file(world.databasePath());
        return file.value("SELECT count(*) FROM tblArredo").toInt();
    }();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "drop");
        db.setDatabaseName(world.databasePath());
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("DROP TABLE tblAppoggio"));
        QVERIFY(q.exec("DROP TABLE tblArredo"));
    }
    QSqlDatabase::removeDatabase("drop");
    const auto before = catalogues(world.databasePath());
    const QByteArray untouched = digest(world.databasePath());

    world.prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    QVERIFY(world.prompt.questions.last().contains("tblArredo, tblAppoggio"));
    QVERIFY(world.prompt.messages.last().contains("mancano le tabelle tblArredo, tblAppoggio"));
    QVERIFY(world.prompt.messages.last().contains("non è stato modificato"));
    QCOMPARE(digest(world.databasePath()), untouched);

    world.prompt.answers = {true};
    QVERIFY(Database::instance().open());
    QVERIFY(WorkingTables::appendFurnishing(1, "Divano", 600.0, 1.0));
    Database::instance().close();
    RawFile file(world.databasePath());
    QCOMPARE(file.integrity(), QStringLiteral("ok"));
    QCOMPARE(file.value("SELECT count(*) FROM tblArredo").toInt(), furnishings); // reference rows
    QCOMPARE(file.value("SELECT count(*) FROM tblMateriale WHERE Materiale = 'Mio'").toInt(), 1);
    const auto after = catalogues(world.databasePath());
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
    TestWorld world;
    QTemporaryDir base;
    const QString path = reachableDataFolder(base) + "/Ardivo.db";
    makeDatabase(path);
    const auto before = catalogues(path);
    const QByteArray untouched = digest(path);

    QString output;
    const QStringList lines = probeReadOnly(base, path, folderWritable, fileWritable, &output);
    QVERIFY2(lines.contains("open 1"), qPrintable(output));
    QVERIFY2(messagesContain(lines, "non si può modificare"), qPrintable(output));
    QVERIFY(lines.contains(
        QStringLiteral("catalogue %1")
            .arg(std::count_if(before.begin(), before.end(), [](const QVariantList &r) {
                return r.first() == "tblMateriale";
            }))));
    QVERIFY(lines.contains("append 0"));
    QVERIFY(lines.contains("add 0"));
    QVERIFY(lines.contains("rows 0"));
    QVERIFY2(messagesContain(lines, writeMessage), qPrintable(output));
    QVERIFY(!lines.contains("message: Inserire i dati correttamente"));

    QCOMPARE(digest(path), untouched);
    QCOMPARE(RawFile(path).integrity(), QStringLiteral("ok"));
    QCOMPARE(catalogues(path), before);
}

void TestFaults::readOnlyFolderWithoutFile()
{
    TestWorld world;
    QTemporaryDir base;
    const QString folder = reachableDataFolder(base);
    QString output;
    const QStringList lines = probeReadOnly(base, folder + "/Ardivo.db", false, false, &output);

    // Each operation says why it cannot be done; none pretends to have stored anything.
    QVERIFY2(lines.contains("open 0"), qPrintable(output));
    QVERIFY2(messagesContain(lines, "Impossibile creare il database nella cartella"),
             qPrintable(output));
    QVERIFY(lines.contains("append 0"));
    QVERIFY(lines.contains("add 0"));
    QVERIFY(!messagesContain(lines, "Inserire i dati correttamente"));
    QVERIFY(QDir(folder).isEmpty());
}

void TestFaults::fileLockedByAnotherProgram()
{
    TestWorld world;
    makeDatabase(world.databasePath());
    const auto before = catalogues(world.databasePath());
    Database::instance().setBusyTimeout(300);
    QVERIFY(Database::instance().open());

    QProcess holder;
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(kProbe, {"hold", world.databasePath(), "1500"});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));

    // The operation waits a moment, then gives up and says why; nothing is half-written.
    QVERIFY(!WorkingTables::appendMaterial(1, "Legno", 17.0, 1.0, 1.0, 1.0));
    QCOMPARE(world.prompt.messages.size(), 1);
    QVERIFY(world.prompt.messages.first().contains("in uso da un altro programma"));
    QVERIFY(world.prompt.messages.first().contains("0,3 secondi"));

    QVERIFY(holder.waitForFinished(10000));
    QVERIFY(WorkingTables::appendMaterial(1, "Legno", 17.0, 1.0, 1.0, 1.0));
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), 1);
    Database::instance().setBusyTimeout(3000);
    Database::instance().close();
    QCOMPARE(RawFile(world.databasePath()).integrity(), QStringLiteral("ok"));
    QCOMPARE(catalogues(world.databasePath()), before);
}

void TestFaults::killedInTheMiddleOfWrites()
{
    TestWorld world;
    makeDatabase(world.databasePath());
    const auto reference = catalogues(world.databasePath());
    QRandomGenerator random(20261206);
    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(kProbe, {"burst", world.databasePath()});
        QVERIFY(writer.waitForReadyRead(10000));
        QTest::qSleep(20 + random.bounded(200));
        writer.kill(); // SIGKILL: no chance to finish anything
        QVERIFY(writer.waitForFinished(10000));

        RawFile file(world.databasePath());
        QVERIFY(file.isOpen());
        QCOMPARE(file.integrity(), QStringLiteral("ok"));
        // Only whole rows: every field follows from the row's number.
        for (const QVariantList &r :
             file.rows("SELECT IdAppoggioMat, Materiale, ValorePerKg, "
                       "QtaMat, FattorePsi, Fattore_m FROM tblAppoggioMateriali")) {
            const qint64 k = r[0].toLongLong();
            QVERIFY2(k > 0, "a rolled-back row survived");
            QCOMPARE(r[1].toString(), QStringLiteral("Burst %1").arg(k));
            QCOMPARE(r[2].toDouble(), double(k));
            QCOMPARE(r[3].toDouble(), double(2 * k));
            QCOMPARE(r[4].toDouble() * r[5].toDouble(), 1.0);
        }
        for (const QString &table :
             {QStringLiteral("tblAppoggio"), QStringLiteral("tblStampaArredo")}) {
            for (const QVariantList &r :
                 file.rows(QStringLiteral("SELECT Arredo, ValorePerPezzo, QtaArredo FROM %1")
                               .arg(table))) {
                const qint64 k = r[1].toLongLong();
                QCOMPARE(r[0].toString(), QStringLiteral("Arredo %1").arg(k));
                QCOMPARE(r[2].toDouble(), double(3 * k));
            }
        }
        for (const QVariantList &r :
             file.rows("SELECT Materiale, CaricoIncSpecif FROM tblMateriale "
                       "WHERE Materiale LIKE 'Burst %'"))
            QCOMPARE(r[0].toString(), QStringLiteral("Burst %1").arg(r[1].toLongLong()));
    }
    // Not one catalogue row of before is lost.
    const auto after = catalogues(world.databasePath());
    for (const QVariantList &row : reference)
        QVERIFY(after.contains(row));
}

// A file written by a newer Ardivo is left alone, with a message.
void TestFaults::newerSchemaRefused()
{
    TestWorld world;
    makeDatabase(world.databasePath());
    {
        RawFile file(world.databasePath());
        file.value(QStringLiteral("PRAGMA user_version = 99"));
    }
    const QByteArray untouched = digest(world.databasePath());
    QVERIFY(!Database::instance().open());
    QCOMPARE(world.prompt.messages.size(), 1);
    QVERIFY2(world.prompt.messages[0].contains("versione più recente di Ardivo (schema 99"),
             qPrintable(world.prompt.messages[0]));
    QCOMPARE(digest(world.databasePath()), untouched);
}

// A table with the right name and the wrong fields is offered the repair of a missing one; the
// damaged table is kept aside, never dropped.
void TestFaults::tableWithWrongFields()
{
    TestWorld world;
    makeDatabase(world.databasePath());
    {
        RawFile file(world.databasePath());
        file.value(QStringLiteral("DROP TABLE tblMateriale"));
        file.value(QStringLiteral("CREATE TABLE tblMateriale (Nome TEXT, Valore REAL)"));
        file.value(QStringLiteral("INSERT INTO tblMateriale VALUES ('Vecchio', 1)"));
    }
    world.prompt.answers = {false};
    QVERIFY(!Database::instance().open());
    QVERIFY(
        world.prompt.questions.last().contains("la tabella tblMateriale non ha i campi attesi"));
    QVERIFY(world.prompt.messages.last().contains("non è stato modificato"));

    world.prompt.answers = {true};
    world.prompt.messages.clear();
    QVERIFY(Database::instance().open());
    QVERIFY(world.prompt.messages.isEmpty());
    QVERIFY(Catalogues::firstNamed(Catalogue::Materials, QStringLiteral("Legno")));
    Database::instance().close();
    RawFile file(world.databasePath());
    const QString aside =
        file.value("SELECT name FROM sqlite_master WHERE name LIKE 'tblMateriale_danneggiata_%'")
            .toString();
    QVERIFY(!aside.isEmpty());
    QCOMPARE(file.value(QStringLiteral("SELECT Nome FROM %1").arg(aside)).toString(),
             QStringLiteral("Vecchio"));
}

// While another program holds the file, typing the area does not wait for it: q_f is worked out
// on the entries read last, and the user is told once at most.
void TestFaults::typingWhileAnotherProgramHoldsTheFile()
{
    TestWorld world;
    chooseMethod("Command4");
    enterExampleMaterials();
    auto &form = Screens::get<ValorePerMateriale>();
    const double sum = entriesTotal();
    world.prompt.messages.clear();

    QProcess holder;
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(kProbe, {"hold", world.databasePath(), "2500"});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
    QElapsedTimer timer;
    timer.start();
    clickAndType(child(form, "txtAreaComp"), "120");
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(world.prompt.messages.size() <= 1);
    QCOMPARE(fireLoadNow(), sum / 120);
    QVERIFY(holder.waitForFinished(10000));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
