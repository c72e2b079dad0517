#include "data/catalogues.h"

#include "data/database.h"

namespace Catalogues {
namespace {

struct Table {
    const char *table;
    const char *key;
    const char *name;
    const char *value;
};

Table tableOf(Catalogue catalogue)
{
    switch (catalogue) {
    case Catalogue::Materials:
        return {"tblMateriale", "idMateriale", "Materiale", "CaricoIncSpecif"};
    case Catalogue::Activities:
        return {"tblAttivita", "idAttivita", "Attivita", "ValoreNomCarInc"};
    case Catalogue::Furnishings:
        return {"tblArredo", "idArredo", "Arredo", "ValorePerPezzo"};
    case Catalogue::StoredGoods:
        return {"tblMaterialeInDeposito", "idMaterialeInDeposito", "MaterialeInDeposito",
                "ValorePerM3"};
    }
    return {"", "", "", ""};
}

// The statement with the catalogue's own table and field names in place of %1 (table),
// %2 (key), %3 (name) and %4 (value).
QString sql(const char *pattern, const Table &t)
{
    return QString::fromLatin1(pattern)
        .replace(QLatin1String("%1"), QLatin1String(t.table))
        .replace(QLatin1String("%2"), QLatin1String(t.key))
        .replace(QLatin1String("%3"), QLatin1String(t.name))
        .replace(QLatin1String("%4"), QLatin1String(t.value));
}

} // namespace

std::optional<Activity> activity(qint64 id)
{
    auto query = Database::instance().run(
        QStringLiteral("SELECT idAttivita, Attivita, ValoreNomCarInc, Descrizione FROM tblAttivita "
                       "WHERE idAttivita = ?"),
        {id});
    if (!query || !query->next())
        return std::nullopt;
    return Activity{query->value(1).toString(), query->value(2), query->value(3).toString()};
}

std::optional<Entry> add(Catalogue catalogue, const QString &name, double value)
{
    const Table t = tableOf(catalogue);
    auto insert =
        Database::instance().run(sql("INSERT INTO %1 (%3, %4) VALUES (?, ?)", t), {name, value});
    if (!insert)
        return std::nullopt;
    const qint64 id = insert->lastInsertId().toLongLong();
    auto stored = Database::instance().run(sql("SELECT %2, %3, %4 FROM %1 WHERE %2 = ?", t), {id});
    if (!stored || !stored->next())
        return std::nullopt;
    return Entry{id, stored->value(1).toString(), stored->value(2)};
}

std::optional<Entry> firstNamed(Catalogue catalogue, const QString &name, bool *failed)
{
    const Table t = tableOf(catalogue);
    auto query = Database::instance().run(
        sql("SELECT %2, %3, %4 FROM %1 WHERE %3 = ? ORDER BY %2 LIMIT 1", t), {name});
    if (failed)
        *failed = !query.has_value();
    if (!query || !query->next())
        return std::nullopt;
    return Entry{query->value(0).toLongLong(), query->value(1).toString(), query->value(2)};
}

bool remove(Catalogue catalogue, qint64 id)
{
    const Table t = tableOf(catalogue);
    return Database::instance().exec(sql("DELETE FROM %1 WHERE %2 = ?", t), {id});
}

std::optional<QVector<Entry>> entries(Catalogue catalogue)
{
    auto query =
        Database::instance().run(sql("SELECT %2, %3, %4 FROM %1 ORDER BY %2", tableOf(catalogue)));
    if (!query)
        return std::nullopt;
    QVector<Entry> list;
    while (query->next())
        list << Entry{query->value(0).toLongLong(), query->value(1).toString(), query->value(2)};
    return list;
}

} // namespace Catalogues
