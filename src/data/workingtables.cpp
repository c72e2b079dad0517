#include "data/workingtables.h"

#include "core/italiannumbers.h"
#include "data/database.h"

#include <QSqlQuery>

#include <cmath>

namespace WorkingTables {
namespace {

// Rows read from the file, kept until the file changes: typing the area again and again does
// not read every working row again.
template <class Entry> struct CachedRows {
    Database::WriteStamp stamp;
    QVector<Entry> rows;
};

template <class Entry, class ReadRow>
std::optional<QVector<Entry>> read(const QString &sql, std::optional<CachedRows<Entry>> &cache,
                                   ReadRow readRow)
{
    // The working rows are read at every keystroke: a database fault has been shown once, by
    // the operation that met it, and is not repeated here.
    const Database::QuietScope quiet;
    Database &db = Database::instance();
    const auto before = db.writeStamp();
    if (!before) {
        cache.reset();
        return std::nullopt;
    }
    if (cache && cache->stamp == *before)
        return cache->rows;
    auto query = db.run(sql);
    if (!query) {
        cache.reset();
        return std::nullopt;
    }
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

// After one row was appended by this program: a list read just before it takes the row too,
// instead of being read again whole. (The program never appends inside a transaction that it
// then rolls back; such a row would stay in the list until the file changes again.)
template <class Entry>
void appendToCache(std::optional<CachedRows<Entry>> &cache,
                   const std::optional<Database::WriteStamp> &before, const Entry &entry)
{
    if (!cache)
        return;
    const auto after = Database::instance().writeStamp();
    if (before && after && cache->stamp == *before) {
        cache->rows << entry;
        cache->stamp = *after;
    } else {
        cache.reset();
    }
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
        QStringLiteral("SELECT Materiale, ValorePerKg, QtaMat, FattorePsi, Fattore_m "
                       "FROM tblAppoggioMateriali ORDER BY rowid"),
        cache, [](const QSqlQuery &q) {
            return MaterialEntry{q.value(0).toString(), amountFrom(q.value(1)),
                                 amountFrom(q.value(2)), amountFrom(q.value(3)),
                                 amountFrom(q.value(4))};
        });
}

std::optional<QVector<FurnishingEntry>> furnishings()
{
    auto &cache = furnishingsCache;
    return read<FurnishingEntry>(
        QStringLiteral("SELECT Arredo, ValorePerPezzo, QtaArredo, MaterialeInDeposito, "
                       "ValorePerM3, QtaMerce, Imballo FROM tblAppoggio ORDER BY rowid"),
        cache, [](const QSqlQuery &q) {
            return FurnishingEntry{q.value(0).toString(),  amountFrom(q.value(1)),
                                   amountFrom(q.value(2)), q.value(3).toString(),
                                   amountFrom(q.value(4)), amountFrom(q.value(5)),
                                   amountFrom(q.value(6))};
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

bool appendMaterial(qint64 id, const QString &name, const QVariant &valuePerKg, const QVariant &psi,
                    const QVariant &m, const QVariant &quantity)
{
    // The stamp is read only when there is a list to keep up to date.
    const auto before = stampIf(materialsCache);
    const bool appended = Database::instance().exec(
        QStringLiteral("INSERT INTO tblAppoggioMateriali (IdAppoggioMat, Materiale, ValorePerKg, "
                       "FattorePsi, Fattore_m, QtaMat) VALUES (?, ?, ?, ?, ?, ?)"),
        {id, name, valuePerKg, psi, m, quantity});
    if (appended)
        appendToCache(materialsCache, before,
                      MaterialEntry{name, amountFrom(valuePerKg), amountFrom(quantity),
                                    amountFrom(psi), amountFrom(m)});
    return appended;
}

bool appendFurnishing(qint64 id, const QString &name, const QVariant &valuePerPiece,
                      const QVariant &pieces)
{
    const auto before = stampIf(furnishingsCache);
    const bool appended = Database::instance().exec(
        QStringLiteral("INSERT INTO tblAppoggio (idAppoggio, Arredo, ValorePerPezzo, QtaArredo) "
                       "VALUES (?, ?, ?, ?)"),
        {id, name, valuePerPiece, pieces});
    if (appended)
        appendToCache(furnishingsCache, before,
                      FurnishingEntry{name, amountFrom(valuePerPiece), amountFrom(pieces),
                                      QString(), Amount(), Amount(), Amount()});
    return appended;
}

bool appendGoods(qint64 id, const QString &name, const QVariant &valuePerM3, const QVariant &volume,
                 double packaging)
{
    const auto before = stampIf(furnishingsCache);
    const bool appended = Database::instance().exec(
        QStringLiteral("INSERT INTO tblAppoggio (idAppoggio, MaterialeInDeposito, ValorePerM3, "
                       "QtaMerce, Imballo) VALUES (?, ?, ?, ?, ?)"),
        {id, name, valuePerM3, volume, packaging});
    if (appended)
        appendToCache(furnishingsCache, before,
                      FurnishingEntry{QString(), Amount(), Amount(), name, amountFrom(valuePerM3),
                                      amountFrom(volume), Amount::number(packaging)});
    return appended;
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
    return replaceRows(
        QStringLiteral("tblAppoggioMateriali"),
        QStringLiteral("INSERT INTO tblAppoggioMateriali (IdAppoggioMat, Materiale, ValorePerKg, "
                       "FattorePsi, Fattore_m, QtaMat) VALUES (?, ?, ?, ?, ?, ?)"),
        [&](QSqlQuery &query) {
            qint64 id = 1;
            for (const MaterialEntry &e : entries) {
                const QVariant values[] = {id++,
                                           e.name,
                                           storedValue(e.valuePerKg),
                                           storedValue(e.psi),
                                           storedValue(e.m),
                                           storedValue(e.quantity)};
                for (int i = 0; i < 6; ++i)
                    query.bindValue(i, values[i]);
                if (!query.exec())
                    return false;
            }
            return true;
        });
}

bool replaceFurnishings(const QVector<FurnishingEntry> &entries)
{
    const bool replaced = replaceRows(
        QStringLiteral("tblAppoggio"),
        QStringLiteral("INSERT INTO tblAppoggio (idAppoggio, Arredo, ValorePerPezzo, QtaArredo, "
                       "MaterialeInDeposito, ValorePerM3, QtaMerce, Imballo) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
        [&](QSqlQuery &query) {
            qint64 furnishing = 1;
            qint64 goods = 1;
            for (const FurnishingEntry &e : entries) {
                const qint64 id = e.isGoods() && e.furnishing.isEmpty() ? goods++ : furnishing++;
                const auto name = [](const QString &text) {
                    return text.isEmpty() ? QVariant() : QVariant(text);
                };
                const QVariant values[] = {id,
                                           name(e.furnishing),
                                           storedValue(e.valuePerPiece),
                                           storedValue(e.pieces),
                                           name(e.goods),
                                           storedValue(e.valuePerM3),
                                           storedValue(e.volume),
                                           storedValue(e.packaging)};
                for (int i = 0; i < 8; ++i)
                    query.bindValue(i, values[i]);
                if (!query.exec())
                    return false;
            }
            return true;
        });
    return replaced && clearReportTables();
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

qint64 rowCount(const QString &table)
{
    // Only the program's own table names reach here; they are checked, not taken from the user.
    if (!Database::tableNames().contains(table))
        return 0;
    auto query = Database::instance().run(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return query && query->next() ? query->value(0).toLongLong() : 0;
}

} // namespace WorkingTables
