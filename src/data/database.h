#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <initializer_list>
#include <optional>

// The one place that owns Ardivo's database: the SQLite file in the user's data folder, its
// connection, its tables and the reference catalogues it is seeded with. The file is created on
// the first operation that needs it; an existing file is never dropped or recreated.
class Database
{
public:
    static Database &instance();

    // <AppData>/Ardivo/Ardivo.db (on Linux $XDG_DATA_HOME/Ardivo/Ardivo.db).
    static QString defaultFilePath();

    QString filePath() const;
    // Uses another file from the next operation on (tests give each case its own file).
    void setFilePath(const QString &path);

    // How long an operation waits for another program that holds the file before giving up.
    // Takes effect at the next opening.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return m_busyTimeoutMs; }

    // Opens the connection if it is not open yet, creating and seeding a missing file and
    // checking that the file is a sound database with every table. A file that is not a
    // database can be set aside (renamed, never deleted) to start again from the reference
    // data; missing tables can be created again. A file that cannot be written is opened for
    // reading, and the user is told so once. A table without the fields the program reads is
    // offered the same repair as a missing one; a file of a newer schema version than the
    // program's is refused. On failure the user has been told why.
    bool open();
    void close();
    bool isOpen() const;

    QSqlDatabase connection() const;

    // Runs one statement with its values bound in order. On failure the user is told and
    // nothing is returned.
    std::optional<QSqlQuery> run(const QString &sql, std::initializer_list<QVariant> values = {});
    bool exec(const QString &sql, std::initializer_list<QVariant> values = {});

    // Shows the database error of an operation in a clear Italian message.
    void reportError(const QString &what, const QString &detail) const;
    // The same for an SQLite error: a file that is read-only, held by another program, on a
    // full disk or damaged is said in plain words, with what was not done.
    void reportError(const QString &what, const QSqlError &error) const;

    // While one of these lives, failures are not shown: for reads that must not repeat a
    // message the user has already seen.
    class QuietScope
    {
    public:
        QuietScope() { ++instance().m_quiet; }
        ~QuietScope() { --instance().m_quiet; }
        QuietScope(const QuietScope &) = delete;
        QuietScope &operator=(const QuietScope &) = delete;
    };

    // Where a file that is not a database is moved to, beside it, when the user agrees.
    static QString asidePathFor(const QString &path);

    // The tables the program needs, in the order they are created.
    static const QStringList &tableNames();

private:
    Database() = default;
    bool openFile(bool fresh);         // one attempt; false with the user told why
    bool initialise(QSqlDatabase &db); // tables and reference catalogues, all or nothing
    bool createTables(QSqlDatabase &db, const QStringList &tables);
    // The rows of a reference file (row 0 holds the field names); nothing, and the user told,
    // when it cannot be read.
    std::optional<QList<QStringList>> referenceRows(const char *resource) const;
    bool seedCatalogue(QSqlDatabase &db, const QString &table);
    QStringList missingTables(const QSqlDatabase &db, const QStringList &occupied) const;
    // The schema version recorded in the file (PRAGMA user_version).
    std::optional<int> schemaVersion(QSqlDatabase &db) const;
    // Brings a file of an older version up to this one, keeping every row: all or nothing.
    bool migrate(QSqlDatabase &db);
    QStringList damagedTables(const QSqlDatabase &db, const QStringList &occupied) const;
    // The program's tables whose name a view or an index holds.
    QStringList occupiedTableNames(const QSqlDatabase &db) const;
    // Whether `text` was already shown in the action under way; else it is noted as shown.
    bool alreadyTold(const QString &text) const;
    // Makes the connection object ready without opening the file.
    void registerConnection();
    // Creates the missing tables, and the damaged ones again after setting them aside, once the
    // user agrees.
    bool recreateTables(QSqlDatabase &db, const QStringList &missing, const QStringList &damaged,
                        const QStringList &occupied);
    bool offerToSetAside(const QString &path, const QString &detail);
    void checkWritable(QSqlDatabase &db);
    void drop(QSqlDatabase &db); // closes and forgets the connection after a failed opening

    QString m_filePath;
    int m_busyTimeoutMs = 3000;
    int m_quiet = 0;
    mutable QStringList m_toldInThisAction; // errors told, repairs offered in the action under way
    QString m_declinedAside; // a file the user chose not to set aside, not asked about again
    QString m_toldReadOnly;  // a file already reported as not writable
};

// Rolls back on destruction unless commit() succeeded.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool commit();

private:
    QSqlDatabase m_db;
    bool m_active = false;
};
