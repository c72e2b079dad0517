#include "database.h"

#include "app/userprompt.h"
#include "csvreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QStandardPaths>

namespace {

const QString kConnectionName = QStringLiteral("ardivo");
constexpr int kSchemaVersion = 1;

// Working-table fields hold a number or, after an edit in the grid viewer, an empty text: the
// columns are declared without a type so that SQLite keeps each value as it was written.
const char *const kSchema[] = {
    "CREATE TABLE tblMateriale (idMateriale INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Materiale TEXT, CaricoIncSpecif REAL)",
    "CREATE TABLE tblAttivita (idAttivita INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Attivita TEXT, ValoreNomCarInc REAL, Descrizione TEXT)",
    "CREATE TABLE tblArredo (idArredo INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Arredo TEXT, ValorePerPezzo REAL)",
    "CREATE TABLE tblMaterialeInDeposito (idMaterialeInDeposito INTEGER PRIMARY KEY "
    "AUTOINCREMENT, MaterialeInDeposito TEXT, ValorePerM3 REAL)",
    "CREATE TABLE tblAppoggioMateriali (IdAppoggioMat INTEGER, Materiale TEXT, "
    "ValorePerKg, FattorePsi, Fattore_m, QtaMat)",
    "CREATE TABLE tblAppoggio (idAppoggio INTEGER, Arredo TEXT, ValorePerPezzo, QtaArredo, "
    "MaterialeInDeposito TEXT, ValorePerM3, QtaMerce, Imballo)",
    "CREATE TABLE tblStampaArredo (IdStampaArredo INTEGER PRIMARY KEY, Arredo TEXT, "
    "ValorePerPezzo, QtaArredo)",
    "CREATE TABLE tblStampaMatInDep (IdStampaMatInDep INTEGER PRIMARY KEY, "
    "MaterialeInDeposito TEXT, ValorePerM3, QtaMerce, Imballo)",
};

struct Seed
{
    const char *resource;
    const char *insert; // one placeholder per column of the file, in the file's order
    int numericColumn;  // the column that holds the catalogue's value
};
const Seed kSeeds[] = {
    {":/reference/materiali.csv",
     "INSERT INTO tblMateriale (Materiale, CaricoIncSpecif) VALUES (?, ?)", 1},
    {":/reference/attivita.csv",
     "INSERT INTO tblAttivita (Attivita, ValoreNomCarInc, Descrizione) VALUES (?, ?, ?)", 1},
    {":/reference/arredi.csv", "INSERT INTO tblArredo (Arredo, ValorePerPezzo) VALUES (?, ?)", 1},
    {":/reference/merci.csv",
     "INSERT INTO tblMaterialeInDeposito (MaterialeInDeposito, ValorePerM3) VALUES (?, ?)", 1},
};

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
}

const QStringList &Database::tableNames()
{
    static const QStringList names = {
        QStringLiteral("tblMateriale"),        QStringLiteral("tblAttivita"),
        QStringLiteral("tblArredo"),           QStringLiteral("tblMaterialeInDeposito"),
        QStringLiteral("tblAppoggioMateriali"), QStringLiteral("tblAppoggio"),
        QStringLiteral("tblStampaArredo"),     QStringLiteral("tblStampaMatInDep"),
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
    m_stampQuery.reset();
    if (!QSqlDatabase::contains(kConnectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
}

void Database::registerConnection()
{
    if (QSqlDatabase::contains(kConnectionName))
        return;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnectionName);
    db.setDatabaseName(filePath());
    // Another program holding the file gets a short wait before the operation gives up.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
}

bool Database::open()
{
    if (isOpen())
        return true;

    const QString path = filePath();
    const QFileInfo info(path);
    const bool fresh = !info.exists();
    if (fresh && !QDir().mkpath(info.absolutePath())) {
        reportError(QStringLiteral("Impossibile creare la cartella dei dati:\n%1")
                        .arg(QDir::toNativeSeparators(info.absolutePath())),
                    QString());
        return false;
    }

    registerConnection();
    {
        QSqlDatabase db = connection();
        if (!db.open()) {
            const QString detail = db.lastError().text();
            db = QSqlDatabase();
            close();
            reportError(QStringLiteral("Impossibile aprire il database:\n%1")
                            .arg(QDir::toNativeSeparators(path)),
                        detail);
            return false;
        }

        // Reading the catalogue of tables is what tells a database from any other file.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !probe.next()) {
            const QString detail = probe.lastError().text();
            probe = QSqlQuery();
            db = QSqlDatabase();
            close();
            reportError(QStringLiteral("Il file %1 non è un database leggibile da Ardivo.")
                            .arg(QDir::toNativeSeparators(path)),
                        detail);
            return false;
        }
        const bool empty = probe.value(0).toInt() == 0;
        probe = QSqlQuery();

        if (empty && !initialise(db)) {
            db = QSqlDatabase();
            close();
            if (fresh)
                QFile::remove(path); // only a file this call created, never the user's
            return false;
        }

        const QString missing = missingTable(db);
        if (!missing.isEmpty()) {
            db = QSqlDatabase();
            close();
            reportError(QStringLiteral("Nel database %1 manca la tabella %2.\n"
                                       "Il file non è stato modificato.")
                            .arg(QDir::toNativeSeparators(path), missing),
                        QString());
            return false;
        }
    }
    ++m_connectionNumber;
    return true;
}

std::optional<Database::WriteStamp> Database::writeStamp()
{
    if (!open())
        return std::nullopt;
    if (!m_stampQuery) {
        QSqlQuery query(connection());
        query.setForwardOnly(true);
        if (!query.prepare(QStringLiteral(
                "SELECT total_changes(), (SELECT data_version FROM pragma_data_version())")))
            return std::nullopt;
        m_stampQuery = std::move(query);
    }
    QSqlQuery &query = *m_stampQuery;
    if (!query.exec() || !query.next())
        return std::nullopt;
    const WriteStamp stamp{m_connectionNumber, query.value(0).toLongLong(), query.value(1).toLongLong()};
    query.finish();
    return stamp;
}

QString Database::missingTable(const QSqlDatabase &db) const
{
    QStringList present;
    for (const QString &table : db.tables())
        present << table.toLower();
    for (const QString &table : tableNames()) {
        if (!present.contains(table.toLower()))
            return table;
    }
    return QString();
}

bool Database::initialise(QSqlDatabase &db)
{
    Transaction transaction(db);
    if (!createSchema(db) || !seedCatalogues(db))
        return false;
    if (!transaction.commit()) {
        reportError(QStringLiteral("Impossibile creare il database."), db.lastError().text());
        return false;
    }
    return true;
}

bool Database::createSchema(QSqlDatabase &db)
{
    QSqlQuery query(db);
    for (const char *statement : kSchema) {
        if (!query.exec(QString::fromLatin1(statement))) {
            reportError(QStringLiteral("Impossibile creare le tabelle del database."),
                        query.lastError().text());
            return false;
        }
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion))) {
        reportError(QStringLiteral("Impossibile creare le tabelle del database."),
                    query.lastError().text());
        return false;
    }
    return true;
}

bool Database::seedCatalogues(QSqlDatabase &db)
{
    for (const Seed &seed : kSeeds) {
        QFile file(QString::fromLatin1(seed.resource));
        if (!file.open(QIODevice::ReadOnly)) {
            reportError(QStringLiteral("Dati di riferimento mancanti: %1").arg(file.fileName()),
                        file.errorString());
            return false;
        }
        const QList<QStringList> rows = CsvReader::parse(QString::fromUtf8(file.readAll()));
        QSqlQuery insert(db);
        insert.prepare(QString::fromLatin1(seed.insert));
        for (qsizetype r = 1; r < rows.size(); ++r) { // row 0 holds the field names
            const QStringList &row = rows.at(r);
            for (int c = 0; c < row.size(); ++c) {
                if (c == seed.numericColumn)
                    insert.bindValue(c, row.at(c).toDouble()); // the files write 17.5
                else
                    insert.bindValue(c, row.at(c));
            }
            if (!insert.exec()) {
                reportError(QStringLiteral("Impossibile caricare i dati di riferimento."),
                            insert.lastError().text());
                return false;
            }
        }
    }
    return true;
}

std::optional<QSqlQuery> Database::run(const QString &sql, std::initializer_list<QVariant> values)
{
    if (!open())
        return std::nullopt;
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        reportError(QStringLiteral("Operazione sul database non riuscita."),
                    query.lastError().text());
        return std::nullopt;
    }
    int index = 0;
    for (const QVariant &value : values)
        query.bindValue(index++, value);
    if (!query.exec()) {
        reportError(QStringLiteral("Operazione sul database non riuscita."),
                    query.lastError().text());
        return std::nullopt;
    }
    return query;
}

bool Database::exec(const QString &sql, std::initializer_list<QVariant> values)
{
    return run(sql, values).has_value();
}

void Database::reportError(const QString &what, const QString &detail) const
{
    QString text = what;
    if (!detail.trimmed().isEmpty())
        text += QStringLiteral("\n\nDettaglio: ") + detail.trimmed();
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
