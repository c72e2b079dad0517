#include "data/workingtables.h"

#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "data/database.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <functional>

namespace WorkingTables {
namespace {

const QString kInsertMaterial =
    QStringLiteral("INSERT INTO tblAppoggioMateriali (IdAppoggioMat, Materiale, ValorePerKg, "
                   "FattorePsi, Fattore_m, QtaMat, Fonte) VALUES (?, ?, ?, ?, ?, ?, ?)");
const QString kInsertFurnishing =
    QStringLiteral("INSERT INTO tblAppoggio (idAppoggio, Arredo, ValorePerPezzo, QtaArredo, "
                   "MaterialeInDeposito, ValorePerM3, QtaMerce, Imballo, Fonte) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");

// A name or a source as it is stored: an empty one is no value (NULL).
QVariant textValue(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// The fields of a row in the order of the insert statements, its number first.
QVector<QVariant> rowValues(qint64 id, const MaterialEntry &e)
{
    return {id,
            e.name,
            storedValue(e.valuePerKg),
            storedValue(e.psi),
            storedValue(e.m),
            storedValue(e.quantity),
            textValue(e.source)};
}

QVector<QVariant> rowValues(qint64 id, const FurnishingEntry &e)
{
    return {id,
            textValue(e.furnishing),
            storedValue(e.valuePerPiece),
            storedValue(e.pieces),
            textValue(e.goods),
            storedValue(e.valuePerM3),
            storedValue(e.volume),
            storedValue(e.packaging),
            textValue(e.source)};
}

bool bindAndRun(QSqlQuery &query, const QVector<QVariant> &values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    return query.exec();
}

} // namespace

Amount amountFrom(const QVariant &stored)
{
    if (stored.isNull()) // SQL NULL: a field the entry does not have
        return Amount();
    switch (stored.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return Amount::number(stored.toDouble());
    case QMetaType::QString:
        // A field holds text only when the user emptied it; any other text is no number either.
        return stored.toString().isEmpty() ? Amount::emptyText() : Amount();
    default:
        return Amount();
    }
}

QVariant storedValue(const Amount &amount)
{
    if (amount.isNumber())
        return amount.value();
    if (amount.isEmptyText())
        return QString(QLatin1String(""));
    return QVariant();
}

namespace {

// The rows of one working table, read for the checks made from outside the program's screens
// (the screens show the session's entries).
template <class Entry, class ReadRow>
std::optional<QVector<Entry>> read(const QString &sql, ReadRow readRow)
{
    const Database::QuietScope quiet;
    Database &db = Database::instance();
    if (!db.open())
        return std::nullopt;
    auto query = db.run(sql);
    if (!query)
        return std::nullopt;
    QVector<Entry> rows;
    while (query->next())
        rows << readRow(*query);
    return rows;
}

} // namespace

std::optional<QVector<MaterialEntry>> materials()
{
    return read<MaterialEntry>(
        QStringLiteral("SELECT Materiale, ValorePerKg, QtaMat, FattorePsi, Fattore_m, Fonte "
                       "FROM tblAppoggioMateriali ORDER BY rowid"),
        [](const QSqlQuery &q) {
            return MaterialEntry{q.value(0).toString(),  amountFrom(q.value(1)),
                                 amountFrom(q.value(2)), amountFrom(q.value(3)),
                                 amountFrom(q.value(4)), q.value(5).toString()};
        });
}

std::optional<QVector<FurnishingEntry>> furnishings()
{
    return read<FurnishingEntry>(
        QStringLiteral("SELECT Arredo, ValorePerPezzo, QtaArredo, MaterialeInDeposito, "
                       "ValorePerM3, QtaMerce, Imballo, Fonte FROM tblAppoggio ORDER BY rowid"),
        [](const QSqlQuery &q) {
            return FurnishingEntry{q.value(0).toString(),  amountFrom(q.value(1)),
                                   amountFrom(q.value(2)), q.value(3).toString(),
                                   amountFrom(q.value(4)), amountFrom(q.value(5)),
                                   amountFrom(q.value(6)), q.value(7).toString()};
        });
}

std::optional<QVariant> storedNumber(const QString &text)
{
    if (text.trimmed().isEmpty())
        return QVariant(QString());
    if (const auto value = ItalianNumbers::toDouble(text); value && *value >= 0)
        return QVariant(*value);
    return std::nullopt;
}

QString fieldRefusal(const QString &column, bool numeric, const QString &text, QVariant *stored)
{
    using namespace CalculationRules;
    if (!numeric) {
        const QString name = normalisedName(text);
        if (QString why = nameRefusal(name); !why.isEmpty())
            return why;
        *stored = name;
        return QString();
    }
    const auto number = storedNumber(text);
    if (!number)
        return amountRefusal(-1); // no number, or a negative one
    if (number->typeId() == QMetaType::Double) {
        QString (*rule)(double) = amountRefusal;
        if (column == QLatin1String("FattorePsi"))
            rule = psiRefusal;
        else if (column == QLatin1String("Fattore_m"))
            rule = mRefusal;
        else if (column == QLatin1String("Imballo"))
            rule = packagingRefusal;
        if (QString why = rule(number->toDouble()); !why.isEmpty())
            return why;
    }
    *stored = *number;
    return QString();
}

namespace {

// Runs `change` on the open connection inside one transaction: everything or nothing is kept,
// and on failure the user is told `what` could not be done.
template <class Change> bool inTransaction(const QString &what, Change change)
{
    Database &db = Database::instance();
    if (!db.open())
        return false;
    Transaction transaction(db.connection());
    QSqlQuery query(db.connection());
    if (!change(query)) {
        db.reportError(what, query.lastError());
        return false;
    }
    if (!transaction.commit()) {
        db.reportError(what, db.connection().lastError());
        return false;
    }
    return true;
}

const QString kNotChanged = QStringLiteral("Impossibile modificare i dati inseriti.");
const QString kNotPrepared = QStringLiteral("Impossibile preparare i dati inseriti.");

// The rows of `entries` added, numbered on from `id`.
bool insertMaterials(QSqlQuery &query, const QVector<MaterialEntry> &entries, qint64 id = 1)
{
    if (!query.prepare(kInsertMaterial))
        return false;
    for (const MaterialEntry &e : entries) {
        if (!bindAndRun(query, rowValues(id++, e)))
            return false;
    }
    return true;
}

// Furnishings and stored goods are numbered each on from their own number.
bool insertFurnishings(QSqlQuery &query, const QVector<FurnishingEntry> &entries,
                       qint64 furnishing = 1, qint64 goods = 1)
{
    if (!query.prepare(kInsertFurnishing))
        return false;
    for (const FurnishingEntry &e : entries) {
        if (!bindAndRun(query, rowValues(e.isGoodsOnly() ? goods++ : furnishing++, e)))
            return false;
    }
    return true;
}

bool emptyReportTables(QSqlQuery &query)
{
    return query.exec(QStringLiteral("DELETE FROM tblStampaArredo")) &&
           query.exec(QStringLiteral("DELETE FROM tblStampaMatInDep"));
}

// The report tables emptied and filled with the furnishings, then the stored goods, of
// `entries`. One key runs through both tables; they are emptied before each filling, so the
// keys are unique.
bool insertReportRows(QSqlQuery &query, const QVector<FurnishingEntry> &entries)
{
    if (!emptyReportTables(query))
        return false;
    qint64 key = 1;
    if (!query.prepare(QStringLiteral("INSERT INTO tblStampaArredo (IdStampaArredo, Arredo, "
                                      "ValorePerPezzo, QtaArredo) VALUES (?, ?, ?, ?)")))
        return false;
    for (const FurnishingEntry &e : entries) {
        if (!e.furnishing.isEmpty() &&
            !bindAndRun(query,
                        {key++, e.furnishing, storedValue(e.valuePerPiece), storedValue(e.pieces)}))
            return false;
    }
    if (!query.prepare(QStringLiteral("INSERT INTO tblStampaMatInDep (IdStampaMatInDep, "
                                      "MaterialeInDeposito, ValorePerM3, QtaMerce, Imballo) "
                                      "VALUES (?, ?, ?, ?, ?)")))
        return false;
    for (const FurnishingEntry &e : entries) {
        if (!e.goods.isEmpty() &&
            !bindAndRun(query, {key++, e.goods, storedValue(e.valuePerM3), storedValue(e.volume),
                                storedValue(e.packaging)}))
            return false;
    }
    return true;
}

// The rowids of `table` in the order of its rows.
bool rowids(QSqlQuery &query, const QString &table, QVector<qint64> &ids)
{
    if (!query.exec(QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(table)))
        return false;
    while (query.next())
        ids << query.value(0).toLongLong();
    return true;
}

// The number the next row of `table` gets: one after the largest of its kind.
bool nextNumber(QSqlQuery &query, const QString &sql, qint64 &next)
{
    if (!query.exec(sql) || !query.next())
        return false;
    next = query.value(0).toLongLong() + 1;
    return true;
}

template <class Entry>
bool replaceAt(const QString &table, const QString &update, int position, const Entry &entry)
{
    return inTransaction(kNotChanged, [&](QSqlQuery &query) {
        QVector<qint64> ids;
        if (!rowids(query, table, ids) || position < 0 || position >= ids.size() ||
            !query.prepare(update))
            return false;
        QVector<QVariant> values = rowValues(0, entry);
        values.removeFirst(); // the row keeps its number
        values << ids.at(position);
        return bindAndRun(query, values);
    });
}

bool removeAt(const QString &table, const QList<int> &positions)
{
    QList<int> sorted = positions;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    return inTransaction(kNotChanged, [&](QSqlQuery &query) {
        QVector<qint64> ids;
        if (!rowids(query, table, ids) ||
            !query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table)))
            return false;
        for (int position : sorted) {
            if (position < 0 || position >= ids.size())
                return false;
            query.bindValue(0, ids.at(position));
            if (!query.exec())
                return false;
        }
        return true;
    });
}

} // namespace

bool replaceEntries(const QVector<MaterialEntry> *materials,
                    const QVector<FurnishingEntry> *furnishings,
                    const QVector<FurnishingEntry> *reportRows)
{
    return inTransaction(kNotPrepared, [&](QSqlQuery &query) {
        return (!materials || (query.exec(QStringLiteral("DELETE FROM tblAppoggioMateriali")) &&
                               insertMaterials(query, *materials))) &&
               (!furnishings || (query.exec(QStringLiteral("DELETE FROM tblAppoggio")) &&
                                 insertFurnishings(query, *furnishings))) &&
               (!reportRows || insertReportRows(query, *reportRows));
    });
}

bool fillReportTables(const QVector<FurnishingEntry> &entries)
{
    return inTransaction(QStringLiteral("Impossibile preparare l'elenco per la stampa."),
                         [&](QSqlQuery &query) { return insertReportRows(query, entries); });
}

bool appendMaterials(const QVector<MaterialEntry> &entries)
{
    return inTransaction(kNotChanged, [&](QSqlQuery &query) {
        qint64 id = 1;
        return nextNumber(query,
                          QStringLiteral("SELECT coalesce(max(IdAppoggioMat), 0) "
                                         "FROM tblAppoggioMateriali"),
                          id) &&
               insertMaterials(query, entries, id);
    });
}

bool appendFurnishings(const QVector<FurnishingEntry> &entries)
{
    return inTransaction(kNotChanged, [&](QSqlQuery &query) {
        qint64 furnishing = 1, goods = 1;
        return nextNumber(query,
                          QStringLiteral("SELECT coalesce(max(idAppoggio), 0) FROM tblAppoggio "
                                         "WHERE Arredo IS NOT NULL"),
                          furnishing) &&
               nextNumber(query,
                          QStringLiteral("SELECT coalesce(max(idAppoggio), 0) FROM tblAppoggio "
                                         "WHERE Arredo IS NULL"),
                          goods) &&
               insertFurnishings(query, entries, furnishing, goods);
    });
}

bool replaceMaterialAt(int position, const MaterialEntry &entry)
{
    return replaceAt(QStringLiteral("tblAppoggioMateriali"),
                     QStringLiteral("UPDATE tblAppoggioMateriali SET Materiale = ?, "
                                    "ValorePerKg = ?, FattorePsi = ?, Fattore_m = ?, QtaMat = ?, "
                                    "Fonte = ? WHERE rowid = ?"),
                     position, entry);
}

bool replaceFurnishingAt(int position, const FurnishingEntry &entry)
{
    return replaceAt(QStringLiteral("tblAppoggio"),
                     QStringLiteral("UPDATE tblAppoggio SET Arredo = ?, ValorePerPezzo = ?, "
                                    "QtaArredo = ?, MaterialeInDeposito = ?, ValorePerM3 = ?, "
                                    "QtaMerce = ?, Imballo = ?, Fonte = ? WHERE rowid = ?"),
                     position, entry);
}

bool removeMaterialsAt(const QList<int> &positions)
{
    return removeAt(QStringLiteral("tblAppoggioMateriali"), positions);
}

bool removeFurnishingsAt(const QList<int> &positions)
{
    return removeAt(QStringLiteral("tblAppoggio"), positions);
}

bool clearMaterials()
{
    return inTransaction(kNotChanged, [](QSqlQuery &query) {
        return query.exec(QStringLiteral("DELETE FROM tblAppoggioMateriali"));
    });
}

bool clearFurnishings()
{
    return inTransaction(kNotChanged, [](QSqlQuery &query) {
        return query.exec(QStringLiteral("DELETE FROM tblAppoggio")) && emptyReportTables(query);
    });
}

} // namespace WorkingTables
