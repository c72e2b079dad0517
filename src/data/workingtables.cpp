#include "data/workingtables.h"

#include "core/italiannumbers.h"
#include "data/database.h"

#include <cmath>


namespace WorkingTables {
namespace {

// SQL test that a field holds a number.
QString isNumber(const char *field)
{
    return QStringLiteral("typeof(%1) IN ('integer','real')").arg(QLatin1String(field));
}
QString isEmptyText(const char *field)
{
    return QStringLiteral("(typeof(%1) = 'text' AND %1 = '')").arg(QLatin1String(field));
}

// A sum read from the file, kept until the file changes: typing the area again and again
// does not read every working row again.
struct CachedSum
{
    Database::WriteStamp stamp;
    Sum sum;
};

std::optional<Sum> sum(const QString &sql, std::optional<CachedSum> &cache)
{
    // Sums run at every keystroke: a database fault has been shown once, by the operation
    // that met it, and is not repeated here.
    const Database::QuietScope quiet;
    Database &db = Database::instance();
    const auto before = db.writeStamp();
    if (!before) {
        cache.reset();
        return std::nullopt;
    }
    if (cache && cache->stamp == *before)
        return cache->sum;
    auto query = db.run(sql);
    if (!query || !query->next()) {
        cache.reset();
        return std::nullopt;
    }
    const Sum result{query->value(0).toDouble(), query->value(1).toLongLong()};
    cache = CachedSum{*before, result};
    return result;
}

} // namespace

std::optional<Sum> sumMaterials()
{
    static const QString sql =
        QStringLiteral("SELECT TOTAL(CASE WHEN %1 AND %2 AND %3 AND %4 "
                       "THEN Fattore_m * (FattorePsi * (QtaMat * ValorePerKg)) END), "
                       "TOTAL(CASE WHEN %5 AND %6 AND %7 AND %8 THEN 1 END) "
                       "FROM tblAppoggioMateriali")
            .arg(isNumber("ValorePerKg"), isNumber("QtaMat"), isNumber("FattorePsi"),
                 isNumber("Fattore_m"), isEmptyText("ValorePerKg"), isEmptyText("QtaMat"),
                 isEmptyText("FattorePsi"), isEmptyText("Fattore_m"));
    static std::optional<CachedSum> cache;
    return sum(sql, cache);
}

std::optional<Sum> sumFurnishings()
{
    static const QString sql =
        QStringLiteral("SELECT TOTAL(CASE WHEN %1 AND %2 THEN ValorePerPezzo * QtaArredo ELSE 0 END"
                       " + CASE WHEN %3 AND %4 AND %5 THEN ValorePerM3 * QtaMerce * Imballo "
                       "ELSE 0 END), "
                       "TOTAL(CASE WHEN %6 AND %7 AND %8 AND %9 THEN 1 END) FROM tblAppoggio")
            .arg(isNumber("ValorePerPezzo"), isNumber("QtaArredo"), isNumber("ValorePerM3"),
                 isNumber("QtaMerce"), isNumber("Imballo"), isEmptyText("ValorePerM3"),
                 isEmptyText("QtaMerce"), isEmptyText("ValorePerPezzo"),
                 isEmptyText("QtaArredo"));
    static std::optional<CachedSum> cache;
    return sum(sql, cache);
}

bool keepsSumFinite(const std::optional<Sum> &sum, std::initializer_list<QVariant> fields)
{
    double product = 1;
    for (const QVariant &field : fields) {
        if (field.typeId() == QMetaType::QString)
            return true; // an empty text: the entry adds nothing
        product *= field.toDouble();
    }
    return std::isfinite(product) && std::isfinite((sum ? sum->total : 0.0) + product);
}

std::optional<QVariant> storedNumber(const QString &text)
{
    if (text.trimmed().isEmpty())
        return QVariant(QString());
    if (const auto value = ItalianNumbers::toDouble(text); value && *value >= 0)
        return QVariant(*value);
    return std::nullopt;
}

bool appendMaterial(qint64 id, const QString &name, const QVariant &valuePerKg,
                    const QVariant &psi, const QVariant &m, const QVariant &quantity)
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

bool appendGoods(qint64 id, const QString &name, const QVariant &valuePerM3,
                 const QVariant &volume, double packaging)
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
