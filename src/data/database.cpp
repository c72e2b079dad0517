#include "data/database.h"

#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "data/catalogues.h"
#include "data/csvfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

namespace {

const QString kConnectionName = QStringLiteral("ardivo");
// 2: every catalogue entry carries the source of its value (Fonte), each material whether it
// is cellulosic (Cellulosico), and each working row the source of its entry's value.
constexpr int kSchemaVersion = 2;

// Working-table fields hold a number or, after an edit in the grid viewer, an empty text: the
// columns are declared without a type so that SQLite keeps each value as it was written.
const char *const kSchema[] = {
    "CREATE TABLE tblMateriale (idMateriale INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Materiale TEXT, CaricoIncSpecif REAL, Fonte TEXT, Cellulosico INTEGER)",
    "CREATE TABLE tblAttivita (idAttivita INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Attivita TEXT, ValoreNomCarInc REAL, Descrizione TEXT, Fonte TEXT)",
    "CREATE TABLE tblArredo (idArredo INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Arredo TEXT, ValorePerPezzo REAL, Fonte TEXT)",
    "CREATE TABLE tblMaterialeInDeposito (idMaterialeInDeposito INTEGER PRIMARY KEY "
    "AUTOINCREMENT, MaterialeInDeposito TEXT, ValorePerM3 REAL, Fonte TEXT)",
    "CREATE TABLE tblAppoggioMateriali (IdAppoggioMat INTEGER, Materiale TEXT, "
    "ValorePerKg, FattorePsi, Fattore_m, QtaMat, Fonte TEXT)",
    "CREATE TABLE tblAppoggio (idAppoggio INTEGER, Arredo TEXT, ValorePerPezzo, QtaArredo, "
    "MaterialeInDeposito TEXT, ValorePerM3, QtaMerce, Imballo, Fonte TEXT)",
    "CREATE TABLE tblStampaArredo (IdStampaArredo INTEGER PRIMARY KEY, Arredo TEXT, "
    "ValorePerPezzo, QtaArredo)",
    "CREATE TABLE tblStampaMatInDep (IdStampaMatInDep INTEGER PRIMARY KEY, "
    "MaterialeInDeposito TEXT, ValorePerM3, QtaMerce, Imballo)",
};

struct Seed {
    const char *table;
    const char *resource;
    const char *insert;     // one placeholder per column of the file, in the file's order
    int numericColumn;      // the column that holds the catalogue's value
    int flagColumn;         // a column of 0 and 1 (whether a material is cellulosic), or -1
    const char *fillSource; // the version 1 catalogue's row given its source (and flag)
};
const Seed kSeeds[] = {
    {"tblMateriale", ":/reference/materiali.csv",
     "INSERT INTO tblMateriale (Materiale, CaricoIncSpecif, Fonte, Cellulosico) "
     "VALUES (?, ?, ?, ?)",
     1, 3,
     "UPDATE tblMateriale SET Fonte = :source, Cellulosico = :flag "
     "WHERE Materiale = :name AND CaricoIncSpecif = :value AND Fonte IS NULL"},
    {"tblAttivita", ":/reference/attivita.csv",
     "INSERT INTO tblAttivita (Attivita, ValoreNomCarInc, Descrizione, Fonte) "
     "VALUES (?, ?, ?, ?)",
     1, -1,
     "UPDATE tblAttivita SET Fonte = :source "
     "WHERE Attivita = :name AND ValoreNomCarInc = :value AND Fonte IS NULL"},
    {"tblArredo", ":/reference/arredi.csv",
     "INSERT INTO tblArredo (Arredo, ValorePerPezzo, Fonte) VALUES (?, ?, ?)", 1, -1,
     "UPDATE tblArredo SET Fonte = :source "
     "WHERE Arredo = :name AND ValorePerPezzo = :value AND Fonte IS NULL"},
    {"tblMaterialeInDeposito", ":/reference/merci.csv",
     "INSERT INTO tblMaterialeInDeposito (MaterialeInDeposito, ValorePerM3, Fonte) "
     "VALUES (?, ?, ?)",
     1, -1,
     "UPDATE tblMaterialeInDeposito SET Fonte = :source "
     "WHERE MaterialeInDeposito = :name AND ValorePerM3 = :value AND Fonte IS NULL"},
};

// The columns that version 2 added to the tables of version 1.
struct AddedColumn {
    const char *table;
    const char *column;
};
const AddedColumn kAddedInVersion2[] = {
    {"tblMateriale", "Fonte TEXT"},
    {"tblMateriale", "Cellulosico INTEGER"},
    {"tblAttivita", "Fonte TEXT"},
    {"tblArredo", "Fonte TEXT"},
    {"tblMaterialeInDeposito", "Fonte TEXT"},
    {"tblAppoggioMateriali", "Fonte TEXT"},
    {"tblAppoggio", "Fonte TEXT"},
};

// The rows of a reference file, its header first.
// SQLite's primary result codes, as the driver gives them in nativeErrorCode().
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADatabase = 26,
};

int sqliteCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1; // extended codes carry the primary one in the low byte
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

Database &Database::instance()
{
    static Database database;
    return database;
}

QString Database::defaultFilePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("Ardivo/Ardivo.db"));
}

QString Database::filePath() const
{
    return m_filePath.isEmpty() ? defaultFilePath() : m_filePath;
}

void Database::setFilePath(const QString &path)
{
    close();
    m_filePath = path;
    m_declinedAside.clear();
}

const QStringList &Database::tableNames()
{
    static const QStringList names = {
        QStringLiteral("tblMateriale"),
        QStringLiteral("tblAttivita"),
        QStringLiteral("tblArredo"),
        QStringLiteral("tblMaterialeInDeposito"),
        QStringLiteral("tblAppoggioMateriali"),
        QStringLiteral("tblAppoggio"),
        QStringLiteral("tblStampaArredo"),
        QStringLiteral("tblStampaMatInDep"),
    };
    return names;
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(kConnectionName) &&
           QSqlDatabase::database(kConnectionName, false).isOpen();
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(kConnectionName, false);
}

void Database::close()
{
    if (!QSqlDatabase::contains(kConnectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
}

void Database::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = std::max(0, milliseconds);
    close();
}

void Database::registerConnection()
{
    if (QSqlDatabase::contains(kConnectionName))
        return;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnectionName);
    db.setDatabaseName(filePath());
    // Another program holding the file gets a short wait before the operation gives up.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs));
}

QString Database::asidePathFor(const QString &path)
{
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = info.dir().filePath(
        QStringLiteral("%1-non-valido-%2.%3").arg(info.completeBaseName(), stamp, info.suffix()));
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside = info.dir().filePath(QStringLiteral("%1-non-valido-%2-%3.%4")
                                        .arg(info.completeBaseName(), stamp)
                                        .arg(n)
                                        .arg(info.suffix()));
    }
    return aside;
}

bool Database::open()
{
    if (isOpen())
        return true;

    const QString path = filePath();
    const QFileInfo info(path);
    const bool fresh = !info.exists();
    if (fresh && !QDir().mkpath(info.absolutePath())) {
        reportError(QStringLiteral("Impossibile creare la cartella dei dati:\n%1\n\n"
                                   "Senza questa cartella Ardivo non può salvare i cataloghi né "
                                   "i dati inseriti.")
                        .arg(native(info.absolutePath())),
                    QString());
        return false;
    }
    if (!openFile(fresh))
        return false;
    return true;
}

void Database::drop(QSqlDatabase &db)
{
    db = QSqlDatabase();
    close();
}

bool Database::openFile(bool fresh)
{
    const QString path = filePath();
    registerConnection();
    QSqlDatabase db = connection();
    if (!db.open()) {
        const QSqlError error = db.lastError();
        drop(db);
        if (fresh) {
            reportError(QStringLiteral("Impossibile creare il database nella cartella:\n%1\n\n"
                                       "La cartella non consente la scrittura.")
                            .arg(native(QFileInfo(path).absolutePath())),
                        error.text());
        } else {
            reportError(QStringLiteral("Impossibile aprire il database:\n%1").arg(native(path)),
                        error);
        }
        return false;
    }

    // Reading the catalogue of tables is what tells a database from any other file.
    int objects = 0;
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !probe.next()) {
            const QSqlError error = probe.lastError();
            probe = QSqlQuery();
            drop(db);
            const int code = sqliteCode(error);
            if (code == Busy || code == Locked) {
                reportError(QStringLiteral("Impossibile aprire il database:\n%1").arg(native(path)),
                            error);
                return false;
            }
            return offerToSetAside(path, error.text());
        }
        objects = probe.value(0).toInt();
    }

    if (objects == 0) {
        if (!initialise(db)) {
            drop(db);
            if (fresh)
                QFile::remove(path); // only a file this call created, never the user's
            return false;
        }
    } else {
        // A damaged file can still list its tables: a quick check finds the damage before any
        // of it reaches a report.
        QSqlQuery check(db);
        if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next() ||
            check.value(0).toString() != QLatin1String("ok")) {
            const QSqlError error = check.lastError();
            const QString detail = error.isValid() ? error.text() : check.value(0).toString();
            check = QSqlQuery();
            drop(db);
            if (sqliteCode(error) == Busy || sqliteCode(error) == Locked) {
                reportError(QStringLiteral("Impossibile aprire il database:\n%1").arg(native(path)),
                            error);
                return false;
            }
            return offerToSetAside(path, detail);
        }
    }

    // A file of a newer program may hold what this one cannot read, nor should change.
    {
        QSqlQuery version(db);
        if (version.exec(QStringLiteral("PRAGMA user_version")) && version.next() &&
            version.value(0).toInt() > kSchemaVersion) {
            const int found = version.value(0).toInt();
            version = QSqlQuery();
            drop(db);
            reportError(QStringLiteral("Il database\n%1\nè stato creato da una versione più "
                                       "recente di Ardivo (schema %2; questa versione usa lo "
                                       "schema %3) e non può essere usato.\n\nIl file non è "
                                       "stato modificato: aggiornare Ardivo per usarlo.")
                            .arg(native(path))
                            .arg(found)
                            .arg(kSchemaVersion),
                        QString());
            return false;
        }
    }

    // An older file gains the fields this version reads before its tables are checked for them.
    if (!migrate(db)) {
        drop(db);
        return false;
    }
    const QStringList occupied = occupiedTableNames(db);
    const QStringList missing = missingTables(db, occupied);
    const QStringList damaged = damagedTables(db, occupied);
    if ((!missing.isEmpty() || !damaged.isEmpty()) &&
        !recreateTables(db, missing, damaged, occupied)) {
        drop(db);
        return false;
    }
    checkWritable(db);
    return true;
}

bool Database::offerToSetAside(const QString &path, const QString &detail)
{
    if (m_quiet)
        return false;
    const QString notADatabase =
        QStringLiteral("Il file\n%1\nnon è un database leggibile da Ardivo.").arg(native(path));
    if (m_declinedAside == path) {
        reportError(notADatabase, QString());
        return false;
    }
    const QString aside = asidePathFor(path);
    const QString question =
        notADatabase +
        QStringLiteral("\nForse è danneggiato, o è stato sostituito da un altro file.\n\n"
                       "Mettere da parte il file, con il nome\n%1\n"
                       "e ripartire dai cataloghi di riferimento?\n\n"
                       "Il file non verrà cancellato: si potrà ancora recuperarlo.")
            .arg(native(aside));
    if (alreadyTold(question))
        return false; // declined a moment ago, in the same action
    if (!UserPrompt::current().confirm(question, kAppTitle, UserPrompt::Icon::Warning)) {
        m_declinedAside = path;
        reportError(QStringLiteral("Il file\n%1\nnon è stato modificato.\n"
                                   "Finché non sarà sostituito, Ardivo non può leggere né salvare "
                                   "i cataloghi e i dati inseriti.")
                        .arg(native(path)),
                    detail);
        return false;
    }
    // The journal goes with its file: left behind, it would be played into the new database.
    for (const char *companion : {"", "-journal", "-wal", "-shm"}) {
        const QString from = path + QLatin1String(companion);
        if (QFileInfo::exists(from) && !QFile::rename(from, aside + QLatin1String(companion))) {
            reportError(QStringLiteral("Impossibile mettere da parte il file:\n%1\n\n"
                                       "Il file non è stato modificato.")
                            .arg(native(from)),
                        QString());
            return false;
        }
    }
    if (!openFile(true))
        return false;
    UserPrompt::current().message(
        QStringLiteral("Il file precedente è stato conservato come:\n%1\n\n"
                       "Ardivo riparte dai cataloghi di riferimento.")
            .arg(native(aside)),
        kAppTitle, UserPrompt::Icon::None);
    return true;
}

void Database::checkWritable(QSqlDatabase &db)
{
    // A change that is rolled back: it proves that the file and its folder (where the journal
    // goes) can be written, without changing anything.
    QSqlQuery probe(db);
    QSqlError error;
    if (!probe.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        error = probe.lastError();
    } else {
        if (!probe.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)))
            error = probe.lastError();
        probe.exec(QStringLiteral("ROLLBACK"));
    }
    const int code = sqliteCode(error);
    if (!error.isValid() || code == Busy || code == Locked)
        return; // writable, or held for a moment by another program: each write will say
    const QString path = filePath();
    if (m_toldReadOnly == path || m_quiet)
        return;
    m_toldReadOnly = path;
    UserPrompt::current().message(
        QStringLiteral("Il database\n%1\nnon si può modificare: il file o la sua cartella sono in "
                       "sola lettura.\n\nSi possono consultare i cataloghi, ma i dati inseriti e "
                       "le modifiche ai cataloghi non possono essere salvati. Controllare i "
                       "permessi del file e della cartella.")
            .arg(native(path)),
        kAppTitle, UserPrompt::Icon::Warning);
}

QStringList Database::occupiedTableNames(const QSqlDatabase &db) const
{
    QStringList occupied;
    QSqlQuery query(db);
    if (!query.exec(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('view', 'index')")))
        return occupied;
    while (query.next()) {
        for (const QString &table : tableNames()) {
            if (query.value(0).toString().compare(table, Qt::CaseInsensitive) == 0)
                occupied << table;
        }
    }
    return occupied;
}

QStringList Database::missingTables(const QSqlDatabase &db, const QStringList &occupied) const
{
    QStringList present;
    for (const QString &table : db.tables())
        present << table.toLower();
    for (const QString &table : occupied)
        present << table.toLower(); // damaged, not missing
    QStringList missing;
    for (const QString &table : tableNames()) {
        if (!present.contains(table.toLower()))
            missing << table;
    }
    return missing;
}

QStringList Database::damagedTables(const QSqlDatabase &db, const QStringList &occupied) const
{
    // A table with the right name and without the fields the program reads is as good as missing;
    // so is a view or an index that took a table's name, which no table can be created beside.
    QStringList damaged = occupied;
    for (qsizetype i = 0; i < tableNames().size(); ++i) {
        if (damaged.contains(tableNames().at(i)))
            continue;
        const QSqlRecord record = db.record(tableNames().at(i));
        if (record.isEmpty())
            continue; // missing, not damaged
        const QString create = QString::fromLatin1(kSchema[i]);
        const QString fields =
            create.mid(create.indexOf(QLatin1Char('(')) + 1).chopped(1); // up to the last ")"
        for (const QString &field : fields.split(QLatin1Char(','))) {
            const QString name = field.trimmed().section(QLatin1Char(' '), 0, 0);
            if (!record.contains(name)) {
                damaged << tableNames().at(i);
                break;
            }
        }
    }
    return damaged;
}

bool Database::recreateTables(QSqlDatabase &db, const QStringList &missing,
                              const QStringList &damaged, const QStringList &occupied)
{
    const QString path = filePath();
    if (m_quiet)
        return false;
    QStringList lines;
    if (!missing.isEmpty()) {
        const bool one = missing.size() == 1;
        lines << QStringLiteral("%1 %2.").arg(one ? QStringLiteral("manca la tabella")
                                                  : QStringLiteral("mancano le tabelle"),
                                              missing.join(QStringLiteral(", ")));
    }
    QStringList wrongFields = damaged;
    for (const QString &table : occupied) {
        wrongFields.removeAll(table);
        lines << QStringLiteral("al posto della tabella %1 c'è una vista o un indice, che sarà "
                                "rimosso.")
                     .arg(table);
    }
    if (!wrongFields.isEmpty()) {
        const bool one = wrongFields.size() == 1;
        lines << QStringLiteral("%1 %2 %3 i campi attesi.")
                     .arg(one ? QStringLiteral("la tabella") : QStringLiteral("le tabelle"),
                          wrongFields.join(QStringLiteral(", ")),
                          one ? QStringLiteral("non ha") : QStringLiteral("non hanno"));
    }
    const QStringList tables = missing + damaged;
    const bool one = tables.size() == 1;
    const QString lacking =
        QStringLiteral("Nel database\n%1\n%2").arg(native(path), lines.join(QLatin1Char('\n')));
    QString question =
        lacking + QStringLiteral("\n\nRicrear%1? Un catalogo ricreato riparte dai dati di "
                                 "riferimento; le altre tabelle non saranno toccate.")
                      .arg(one ? QStringLiteral("la") : QStringLiteral("le"));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    if (!wrongFields.isEmpty())
        question += QStringLiteral(" Una tabella danneggiata è conservata nel file con il nome "
                                   "seguito da «_danneggiata_%1».")
                        .arg(stamp);
    if (alreadyTold(question))
        return false; // declined a moment ago, in the same action
    if (!UserPrompt::current().confirm(question, kAppTitle, UserPrompt::Icon::Warning)) {
        reportError(lacking + QStringLiteral("\nIl file non è stato modificato."), QString());
        return false;
    }
    Transaction transaction(db);
    QSqlQuery aside(db);
    for (const QString &table : damaged) {
        // A view or an index holds no rows of its own: it goes, and the table takes its name.
        // Only the program's own table names reach the statements; each drop finds the one
        // kind of object it names, and leaves the other alone.
        if (occupied.contains(table)) {
            if (!aside.exec(QStringLiteral("DROP VIEW IF EXISTS \"%1\"").arg(table)) ||
                !aside.exec(QStringLiteral("DROP INDEX IF EXISTS \"%1\"").arg(table))) {
                reportError(QStringLiteral("Impossibile ricreare le tabelle danneggiate."),
                            aside.lastError());
                return false;
            }
            continue;
        }
        if (!aside.exec(
                QStringLiteral("ALTER TABLE %1 RENAME TO %1_danneggiata_%2").arg(table, stamp))) {
            reportError(QStringLiteral("Impossibile ricreare le tabelle danneggiate."),
                        aside.lastError());
            return false;
        }
    }
    if (!createTables(db, tables))
        return false;
    for (const QString &table : tables) {
        if (!seedCatalogue(db, table))
            return false;
    }
    if (!transaction.commit()) {
        reportError(QStringLiteral("Impossibile ricreare le tabelle mancanti."), db.lastError());
        return false;
    }
    return true;
}

bool Database::initialise(QSqlDatabase &db)
{
    Transaction transaction(db);
    if (!createTables(db, tableNames()))
        return false;
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion))) {
        reportError(QStringLiteral("Impossibile creare le tabelle del database."),
                    version.lastError());
        return false;
    }
    for (const Seed &seed : kSeeds) {
        if (!seedCatalogue(db, QString::fromLatin1(seed.table)))
            return false;
    }
    if (!transaction.commit()) {
        reportError(QStringLiteral("Impossibile creare il database."), db.lastError());
        return false;
    }
    return true;
}

bool Database::createTables(QSqlDatabase &db, const QStringList &tables)
{
    QSqlQuery query(db);
    for (qsizetype i = 0; i < tableNames().size(); ++i) {
        if (!tables.contains(tableNames().at(i)))
            continue;
        if (!query.exec(QString::fromLatin1(kSchema[i]))) {
            reportError(QStringLiteral("Impossibile creare le tabelle del database."),
                        query.lastError());
            return false;
        }
    }
    return true;
}

std::optional<QList<QStringList>> Database::referenceRows(const char *resource) const
{
    QFile file(QString::fromLatin1(resource));
    if (!file.open(QIODevice::ReadOnly)) {
        reportError(QStringLiteral("Dati di riferimento mancanti: %1").arg(file.fileName()),
                    file.errorString());
        return std::nullopt;
    }
    return CsvFile::parse(QString::fromUtf8(file.readAll()));
}

bool Database::seedCatalogue(QSqlDatabase &db, const QString &table)
{
    for (const Seed &seed : kSeeds) {
        if (table != QLatin1String(seed.table))
            continue;
        const auto rows = referenceRows(seed.resource);
        if (!rows)
            return false;
        QSqlQuery insert(db);
        insert.prepare(QString::fromLatin1(seed.insert));
        for (qsizetype r = 1; r < rows->size(); ++r) { // row 0 holds the field names
            const QStringList &row = rows->at(r);
            for (int c = 0; c < row.size(); ++c) {
                if (c == seed.numericColumn)
                    insert.bindValue(c, row.at(c).toDouble()); // the files write 17.5
                else if (c == seed.flagColumn)
                    insert.bindValue(c, row.at(c).toInt());
                else
                    insert.bindValue(c, row.at(c));
            }
            if (!insert.exec()) {
                reportError(QStringLiteral("Impossibile caricare i dati di riferimento."),
                            insert.lastError());
                return false;
            }
        }
    }
    return true; // a working table has nothing to seed
}

std::optional<int> Database::schemaVersion(QSqlDatabase &db) const
{
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next())
        return std::nullopt;
    return version.value(0).toInt();
}

bool Database::migrate(QSqlDatabase &db)
{
    const auto version = schemaVersion(db);
    if (!version || *version >= kSchemaVersion)
        return true;
    Transaction transaction(db);
    const auto failed = [&](const QSqlError &error) {
        reportError(QStringLiteral("Impossibile aggiornare il database alla nuova versione di "
                                   "Ardivo: il file non è stato modificato."),
                    error);
        return false;
    };
    QSqlQuery query(db);
    if (*version < 2) {
        // Version 1 kept no source: the reference rows get theirs back, every other catalogue
        // entry was added by the user, on a day that was not recorded.
        for (const AddedColumn &added : kAddedInVersion2) {
            const QString table = QString::fromLatin1(added.table);
            const QString column = QString::fromLatin1(added.column);
            const QSqlRecord record = db.record(table);
            // A missing table is created whole afterwards, like any missing table.
            if (record.isEmpty() || record.contains(column.section(QLatin1Char(' '), 0, 0)))
                continue;
            if (!query.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table, column)))
                return failed(query.lastError());
        }
        for (const Seed &seed : kSeeds) {
            if (db.record(QString::fromLatin1(seed.table)).isEmpty())
                continue;
            const auto rows = referenceRows(seed.resource);
            if (!rows)
                return false;
            const int sourceColumn = int(rows->value(0).indexOf(QStringLiteral("Fonte")));
            if (!query.prepare(QString::fromLatin1(seed.fillSource)))
                return failed(query.lastError());
            for (qsizetype r = 1; r < rows->size(); ++r) {
                const QStringList &row = rows->at(r);
                query.bindValue(QStringLiteral(":source"), row.value(sourceColumn));
                query.bindValue(QStringLiteral(":name"), row.value(0));
                query.bindValue(QStringLiteral(":value"), row.value(seed.numericColumn).toDouble());
                if (seed.flagColumn >= 0)
                    query.bindValue(QStringLiteral(":flag"), row.value(seed.flagColumn).toInt());
                if (!query.exec())
                    return failed(query.lastError());
            }
            if (!query.prepare(QStringLiteral("UPDATE %1 SET Fonte = ? WHERE Fonte IS NULL")
                                   .arg(QString::fromLatin1(seed.table))))
                return failed(query.lastError());
            query.addBindValue(Catalogues::userSource(std::nullopt));
            if (!query.exec())
                return failed(query.lastError());
        }
        // A material the user added is cellulosic when its name says so ("Legno di abete").
        QStringList cellulosic, userNames;
        QVector<qint64> userIds;
        const bool materials = !db.record(QStringLiteral("tblMateriale")).isEmpty();
        if (materials &&
            !query.exec(QStringLiteral("SELECT Materiale FROM tblMateriale WHERE Cellulosico = 1")))
            return failed(query.lastError());
        while (query.next())
            cellulosic << query.value(0).toString();
        if (materials && !query.exec(QStringLiteral("SELECT idMateriale, Materiale FROM "
                                                    "tblMateriale WHERE Cellulosico IS NULL")))
            return failed(query.lastError());
        while (query.next()) {
            userIds << query.value(0).toLongLong();
            userNames << query.value(1).toString();
        }
        if (materials && !query.prepare(QStringLiteral(
                             "UPDATE tblMateriale SET Cellulosico = ? WHERE idMateriale = ?")))
            return failed(query.lastError());
        for (qsizetype i = 0; i < userIds.size(); ++i) {
            query.bindValue(0, Catalogues::namesCellulosic(userNames.at(i), cellulosic) ? 1 : 0);
            query.bindValue(1, userIds.at(i));
            if (!query.exec())
                return failed(query.lastError());
        }
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)))
        return failed(query.lastError());
    if (!transaction.commit())
        return failed(db.lastError());
    return true;
}

std::optional<QSqlQuery> Database::run(const QString &sql, std::initializer_list<QVariant> values)
{
    if (!open())
        return std::nullopt;
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        reportError(QStringLiteral("Operazione sul database non riuscita."), query.lastError());
        return std::nullopt;
    }
    int index = 0;
    for (const QVariant &value : values)
        query.bindValue(index++, value);
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        reportError(QStringLiteral("Operazione sul database non riuscita."), error);
        if (sqliteCode(error) == Corrupt || sqliteCode(error) == NotADatabase) {
            // The next operation opens the file again, and offers to set it aside.
            query = QSqlQuery();
            close();
        }
        return std::nullopt;
    }
    return query;
}

bool Database::exec(const QString &sql, std::initializer_list<QVariant> values)
{
    return run(sql, values).has_value();
}

void Database::reportError(const QString &what, const QSqlError &error) const
{
    QString plain;
    switch (sqliteCode(error)) {
    case Busy:
    case Locked:
        plain = QStringLiteral("Il database è in uso da un altro programma e non si è liberato "
                               "entro %1 secondi: l'operazione non è stata eseguita e nessun dato "
                               "è stato modificato. Riprovare tra poco.")
                    .arg(ItalianNumbers::toText(m_busyTimeoutMs / 1000.0));
        break;
    case ReadOnly:
        // A file that may be written in a folder that may not: the journal cannot be made.
        if (QFileInfo(m_filePath).isWritable() &&
            !QFileInfo(QFileInfo(m_filePath).absolutePath()).isWritable())
            plain = QStringLiteral("Impossibile scrivere nella cartella del database: la modifica "
                                   "non è stata salvata.");
        else
            plain =
                QStringLiteral("Il database è in sola lettura: la modifica non è stata salvata.");
        break;
    case CantOpen:
        plain = QStringLiteral("Impossibile scrivere nella cartella del database: la modifica non "
                               "è stata salvata.");
        break;
    case Full:
        plain = QStringLiteral("Il disco è pieno: la modifica non è stata salvata.");
        break;
    case Corrupt:
    case NotADatabase:
        plain = QStringLiteral("Il database è danneggiato: l'operazione non è stata eseguita.");
        break;
    default:
        break;
    }
    reportError(plain.isEmpty() ? what : what + QLatin1Char('\n') + plain, error.text());
}

bool Database::alreadyTold(const QString &text) const
{
    // One action may open the file several times: the same error is told, and the same repair
    // offered, once, until the program is back waiting for the user.
    if (m_toldInThisAction.contains(text))
        return true;
    if (m_toldInThisAction.isEmpty() && QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [] { instance().m_toldInThisAction.clear(); });
    m_toldInThisAction << text;
    return false;
}

void Database::reportError(const QString &what, const QString &detail) const
{
    if (m_quiet)
        return;
    QString text = what;
    if (!detail.trimmed().isEmpty())
        text += QStringLiteral("\n\nDettaglio: ") + detail.trimmed();
    if (alreadyTold(text))
        return;
    UserPrompt::current().message(text, kAppTitle, UserPrompt::Icon::Critical);
}

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db))
{
    m_active = m_db.transaction();
}

Transaction::~Transaction()
{
    if (m_active)
        m_db.rollback();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = !m_db.commit();
    return !m_active;
}
