#include "data/workingtables.h"

#include "core/italiannumbers.h"
#include "data/database.h"

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
    static std::optional<CachedRows<MaterialEntry>> cache;
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
    static std::optional<CachedRows<FurnishingEntry>> cache;
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
    return Database::instance().exec(
        QStringLiteral("INSERT INTO tblAppoggioMateriali (IdAppoggioMat, Materiale, ValorePerKg, "
                       "FattorePsi, Fattore_m, QtaMat) VALUES (?, ?, ?, ?, ?, ?)"),
        {id, name, valuePerKg, psi, m, quantity});
}

bool appendFurnishing(qint64 id, const QString &name, const QVariant &valuePerPiece,
                      const QVariant &pieces)
{
    return Database::instance().exec(
        QStringLiteral("INSERT INTO tblAppoggio (idAppoggio, Arredo, ValorePerPezzo, QtaArredo) "
                       "VALUES (?, ?, ?, ?)"),
        {id, name, valuePerPiece, pieces});
}

bool appendGoods(qint64 id, const QString &name, const QVariant &valuePerM3, const QVariant &volume,
                 double packaging)
{
    return Database::instance().exec(
        QStringLiteral("INSERT INTO tblAppoggio (idAppoggio, MaterialeInDeposito, ValorePerM3, "
                       "QtaMerce, Imballo) VALUES (?, ?, ?, ?, ?)"),
        {id, name, valuePerM3, volume, packaging});
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
