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

// Rows read from the file, kept until the file changes: typing the area again and again does
// not read every working row again.
template <class Entry> struct CachedRows {
    Database::WriteStamp stamp;
    QVector<Entry> rows;
};

// Whether the user has been told that the rows read last are used; told again only after a
// read has succeeded since.
bool toldKeptRows = false;

// Rows read before, when the file cannot be read now: while another program holds it, the
// screen goes on with what it had, and the user is told once.
template <class Entry>
std::optional<QVector<Entry>> keptRows(std::optional<CachedRows<Entry>> &cache)
{
    if (!cache)
        return std::nullopt;
    if (!toldKeptRows) {
        toldKeptRows = true;
        showMessage(QStringLiteral("Il database è in uso da un altro programma: il carico "
                                   "d'incendio è calcolato sui dati inseriti letti per ultimi."));
    }
    return cache->rows;
}

template <class Entry, class ReadRow>
std::optional<QVector<Entry>> read(const QString &sql, std::optional<CachedRows<Entry>> &cache,
                                   ReadRow readRow)
{
    // The working rows are read at every keystroke: a database fault has been shown once, by
    // the operation that met it, and is not repeated here; and the screen never waits for
    // another program that holds the file.
    const Database::QuietScope quiet;
    Database &db = Database::instance();
    if (!db.open()) {
        cache.reset();
        return std::nullopt;
    }
    const Database::NoWaitScope noWait;
    const auto before = db.writeStamp();
    if (!before)
        return keptRows(cache);
    if (cache && cache->stamp == *before)
        return cache->rows;
    auto query = db.run(sql);
    if (!query)
        return keptRows(cache);
    toldKeptRows = false;
    QVector<Entry> rows;
    while (query->next())
        rows << readRow(*query);
    cache = CachedRows<Entry>{*before, rows};
    return rows;
}

std::optional<CachedRows<MaterialEntry>> materialsCache;
std::optional<CachedRows<FurnishingEntry>> furnishingsCache;

template <class Entry>
std::optional<Database::WriteStamp> stampIf(const std::optional<CachedRows<Entry>> &cache)
{
    return cache ? Database::instance().writeStamp() : std::nullopt;
}

// A change made by this program to rows it has read: the list read before takes the same
// change instead of being read again whole, when nothing else wrote in between.
template <class Entry, class Patch>
void patchCache(std::optional<CachedRows<Entry>> &cache,
                const std::optional<Database::WriteStamp> &before, Patch patch)
{
    if (!cache)
        return;
    const auto after = Database::instance().writeStamp();
    if (before && after && cache->stamp == *before) {
        patch(cache->rows);
        cache->stamp = *after;
    } else {
        cache.reset();
    }
}

const QString kInsertMaterial =
    QStringLiteral("INSERT INTO tblAppoggioMateriali (IdAppoggioMat, Materiale, ValorePerKg, "
                   "FattorePsi, Fattore_m, QtaMat, Fonte) VALUES (?, ?, ?, ?, ?, ?, ?)");
const QString kInsertFurnishing =
    QStringLiteral("INSERT INTO tblAppoggio (idAppoggio, Arredo, ValorePerPezzo, QtaArredo, "
                   "MaterialeInDeposito, ValorePerM3, QtaMerce, Imballo, Fonte) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");

QVariant sourceValue(const QString &source)
{
    return source.isEmpty() ? QVariant() : QVariant(source);
}

QVariant nameValue(const QString &name)
{
    return name.isEmpty() ? QVariant() : QVariant(name);
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
            sourceValue(e.source)};
}

QVector<QVariant> rowValues(qint64 id, const FurnishingEntry &e)
{
    return {id,
            nameValue(e.furnishing),
            storedValue(e.valuePerPiece),
            storedValue(e.pieces),
            nameValue(e.goods),
            storedValue(e.valuePerM3),
            storedValue(e.volume),
            storedValue(e.packaging),
            sourceValue(e.source)};
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

std::optional<QVector<MaterialEntry>> materials()
{
    auto &cache = materialsCache;
    return read<MaterialEntry>(
        QStringLiteral("SELECT Materiale, ValorePerKg, QtaMat, FattorePsi, Fattore_m, Fonte "
                       "FROM tblAppoggioMateriali ORDER BY rowid"),
        cache, [](const QSqlQuery &q) {
            return MaterialEntry{q.value(0).toString(),  amountFrom(q.value(1)),
                                 amountFrom(q.value(2)), amountFrom(q.value(3)),
                                 amountFrom(q.value(4)), q.value(5).toString()};
        });
}

std::optional<QVector<FurnishingEntry>> furnishings()
{
    auto &cache = furnishingsCache;
    return read<FurnishingEntry>(
        QStringLiteral("SELECT Arredo, ValorePerPezzo, QtaArredo, MaterialeInDeposito, "
                       "ValorePerM3, QtaMerce, Imballo, Fonte FROM tblAppoggio ORDER BY rowid"),
        cache, [](const QSqlQuery &q) {
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

// Runs `fill` inside one transaction after emptying `table`; everything or nothing is kept.
template <class Fill> bool replaceRows(const QString &table, const QString &insert, Fill fill)
{
    Database &db = Database::instance();
    if (!db.open())
        return false;
    Transaction transaction(db.connection());
    QSqlQuery query(db.connection());
    if (!query.exec(QStringLiteral("DELETE FROM %1").arg(table)) || !query.prepare(insert)) {
        db.reportError(QStringLiteral("Impossibile preparare i dati inseriti."), query.lastError());
        return false;
    }
    if (!fill(query)) {
        db.reportError(QStringLiteral("Impossibile preparare i dati inseriti."), query.lastError());
        return false;
    }
    if (!transaction.commit()) {
        db.reportError(QStringLiteral("Impossibile preparare i dati inseriti."), QString());
        return false;
    }
    return true;
}

} // namespace

bool replaceMaterials(const QVector<MaterialEntry> &entries)
{
    return replaceRows(QStringLiteral("tblAppoggioMateriali"), kInsertMaterial,
                       [&](QSqlQuery &query) {
                           qint64 id = 1;
                           for (const MaterialEntry &e : entries) {
                               if (!bindAndRun(query, rowValues(id++, e)))
                                   return false;
                           }
                           return true;
                       });
}

bool replaceFurnishings(const QVector<FurnishingEntry> &entries)
{
    const bool replaced =
        replaceRows(QStringLiteral("tblAppoggio"), kInsertFurnishing, [&](QSqlQuery &query) {
            qint64 furnishing = 1;
            qint64 goods = 1;
            for (const FurnishingEntry &e : entries) {
                if (!bindAndRun(query, rowValues(e.isGoodsOnly() ? goods++ : furnishing++, e)))
                    return false;
            }
            return true;
        });
    return replaced && clearReportTables();
}

namespace {

// Runs `change` on the open connection inside one transaction; everything or nothing is kept,
// and the list read before follows through `patch`.
template <class Entry, class Change, class Patch>
bool changeRows(std::optional<CachedRows<Entry>> &cache, Change change, Patch patch)
{
    Database &db = Database::instance();
    if (!db.open())
        return false;
    const auto before = stampIf(cache);
    {
        Transaction transaction(db.connection());
        QSqlQuery query(db.connection());
        if (!change(query)) {
            db.reportError(QStringLiteral("Impossibile modificare i dati inseriti."),
                           query.lastError());
            return false;
        }
        if (!transaction.commit()) {
            db.reportError(QStringLiteral("Impossibile modificare i dati inseriti."),
                           db.connection().lastError());
            return false;
        }
    }
    patchCache(cache, before, patch);
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
bool replaceAt(std::optional<CachedRows<Entry>> &cache, const QString &table, const QString &update,
               int position, const Entry &entry)
{
    return changeRows(
        cache,
        [&](QSqlQuery &query) {
            QVector<qint64> ids;
            if (!rowids(query, table, ids) || position < 0 || position >= ids.size() ||
                !query.prepare(update))
                return false;
            QVector<QVariant> values = rowValues(0, entry);
            values.removeFirst(); // the row keeps its number
            values << ids.at(position);
            return bindAndRun(query, values);
        },
        [&](QVector<Entry> &rows) {
            if (position < rows.size())
                rows[position] = entry;
        });
}

template <class Entry>
bool removeAt(std::optional<CachedRows<Entry>> &cache, const QString &table,
              const QList<int> &positions)
{
    QList<int> sorted = positions;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    return changeRows(
        cache,
        [&](QSqlQuery &query) {
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
        },
        [&](QVector<Entry> &rows) {
            for (int position : sorted) {
                if (position < rows.size())
                    rows.removeAt(position);
            }
        });
}

} // namespace

bool appendMaterials(const QVector<MaterialEntry> &entries)
{
    return changeRows(
        materialsCache,
        [&](QSqlQuery &query) {
            qint64 id = 1;
            if (!nextNumber(query,
                            QStringLiteral("SELECT coalesce(max(IdAppoggioMat), 0) "
                                           "FROM tblAppoggioMateriali"),
                            id) ||
                !query.prepare(kInsertMaterial))
                return false;
            for (const MaterialEntry &e : entries) {
                if (!bindAndRun(query, rowValues(id++, e)))
                    return false;
            }
            return true;
        },
        [&](QVector<MaterialEntry> &rows) { rows << entries; });
}

bool appendFurnishings(const QVector<FurnishingEntry> &entries)
{
    return changeRows(
        furnishingsCache,
        [&](QSqlQuery &query) {
            qint64 furnishing = 1, goods = 1;
            if (!nextNumber(query,
                            QStringLiteral("SELECT coalesce(max(idAppoggio), 0) FROM tblAppoggio "
                                           "WHERE Arredo IS NOT NULL"),
                            furnishing) ||
                !nextNumber(query,
                            QStringLiteral("SELECT coalesce(max(idAppoggio), 0) FROM tblAppoggio "
                                           "WHERE Arredo IS NULL"),
                            goods) ||
                !query.prepare(kInsertFurnishing))
                return false;
            for (const FurnishingEntry &e : entries) {
                if (!bindAndRun(query, rowValues(e.isGoodsOnly() ? goods++ : furnishing++, e)))
                    return false;
            }
            return true;
        },
        [&](QVector<FurnishingEntry> &rows) { rows << entries; });
}

bool replaceMaterialAt(int position, const MaterialEntry &entry)
{
    return replaceAt(materialsCache, QStringLiteral("tblAppoggioMateriali"),
                     QStringLiteral("UPDATE tblAppoggioMateriali SET Materiale = ?, "
                                    "ValorePerKg = ?, FattorePsi = ?, Fattore_m = ?, QtaMat = ?, "
                                    "Fonte = ? WHERE rowid = ?"),
                     position, entry);
}

bool replaceFurnishingAt(int position, const FurnishingEntry &entry)
{
    return replaceAt(furnishingsCache, QStringLiteral("tblAppoggio"),
                     QStringLiteral("UPDATE tblAppoggio SET Arredo = ?, ValorePerPezzo = ?, "
                                    "QtaArredo = ?, MaterialeInDeposito = ?, ValorePerM3 = ?, "
                                    "QtaMerce = ?, Imballo = ?, Fonte = ? WHERE rowid = ?"),
                     position, entry);
}

bool removeMaterialsAt(const QList<int> &positions)
{
    return removeAt(materialsCache, QStringLiteral("tblAppoggioMateriali"), positions);
}

bool removeFurnishingsAt(const QList<int> &positions)
{
    return removeAt(furnishingsCache, QStringLiteral("tblAppoggio"), positions);
}

bool clearMaterials()
{
    return Database::instance().exec(QStringLiteral("DELETE FROM tblAppoggioMateriali"));
}

bool clearReportTables()
{
    Database &db = Database::instance();
    return db.exec(QStringLiteral("DELETE FROM tblStampaArredo")) &&
           db.exec(QStringLiteral("DELETE FROM tblStampaMatInDep"));
}

bool clearFurnishings()
{
    return Database::instance().exec(QStringLiteral("DELETE FROM tblAppoggio")) &&
           clearReportTables();
}

} // namespace WorkingTables
