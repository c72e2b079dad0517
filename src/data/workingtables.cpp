#include "data/workingtables.h"

#include "core/italiannumbers.h"
#include "core/userprompt.h"
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

// Runs `fill` inside one transaction, after emptying `table` when `emptyFirst`; everything or
// nothing is kept.
template <class Fill>
bool writeRows(const QString &table, bool emptyFirst, const QString &insert, Fill fill)
{
    Database &db = Database::instance();
    if (!db.open())
        return false;
    Transaction transaction(db.connection());
    QSqlQuery query(db.connection());
    if ((emptyFirst && !query.exec(QStringLiteral("DELETE FROM %1").arg(table))) ||
        !query.prepare(insert)) {
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

bool writeMaterials(const QVector<MaterialEntry> &entries, qint64 firstId, bool emptyFirst)
{
    return writeRows(
        QStringLiteral("tblAppoggioMateriali"), emptyFirst,
        QStringLiteral("INSERT INTO tblAppoggioMateriali (IdAppoggioMat, Materiale, ValorePerKg, "
                       "FattorePsi, Fattore_m, QtaMat) VALUES (?, ?, ?, ?, ?, ?)"),
        [&](QSqlQuery &query) {
            qint64 id = firstId;
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

bool writeFurnishings(const QVector<FurnishingEntry> &entries, qint64 firstFurnishingId,
                      qint64 firstGoodsId, bool emptyFirst)
{
    return writeRows(
        QStringLiteral("tblAppoggio"), emptyFirst,
        QStringLiteral("INSERT INTO tblAppoggio (idAppoggio, Arredo, ValorePerPezzo, QtaArredo, "
                       "MaterialeInDeposito, ValorePerM3, QtaMerce, Imballo) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
        [&](QSqlQuery &query) {
            qint64 furnishing = firstFurnishingId;
            qint64 goods = firstGoodsId;
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
}

} // namespace

bool replaceMaterials(const QVector<MaterialEntry> &entries)
{
    return writeMaterials(entries, 1, true);
}

bool replaceFurnishings(const QVector<FurnishingEntry> &entries)
{
    return writeFurnishings(entries, 1, 1, true) && clearReportTables();
}

bool appendMaterials(qint64 firstId, const QVector<MaterialEntry> &entries)
{
    return writeMaterials(entries, firstId, false);
}

bool appendFurnishings(qint64 firstFurnishingId, qint64 firstGoodsId,
                       const QVector<FurnishingEntry> &entries)
{
    return writeFurnishings(entries, firstFurnishingId, firstGoodsId, false);
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
