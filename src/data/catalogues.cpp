#include "data/catalogues.h"

#include "data/database.h"

#include <QRegularExpression>
#include <QSqlQuery>

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

QString userSource(const std::optional<QDate> &day)
{
    const QString source = QStringLiteral("inserito dall'utente");
    if (!day)
        return source;
    return source + QStringLiteral(" il ") + day->toString(QStringLiteral("dd/MM/yyyy"));
}

bool namesCellulosic(const QString &name, const QStringList &cellulosicNames)
{
    for (const QString &cellulosic : cellulosicNames) {
        const QRegularExpression words(
            QStringLiteral("(^|\\W)%1(\\W|$)").arg(QRegularExpression::escape(cellulosic)),
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::UseUnicodePropertiesOption);
        if (!cellulosic.isEmpty() && words.match(name).hasMatch())
            return true;
    }
    return false;
}

namespace {

Entry entryFrom(const QSqlQuery &query)
{
    return Entry{query.value(0).toLongLong(), query.value(1).toString(), query.value(2),
                 query.value(3).toString(), query.value(4).toInt() == 1};
}

// The columns an Entry is read from, for `%5`: the materials add whether they are cellulosic.
QString entryColumns(Catalogue catalogue, const Table &t)
{
    return sql(catalogue == Catalogue::Materials ? "%2, %3, %4, Fonte, Cellulosico"
                                                 : "%2, %3, %4, Fonte, 0",
               t);
}

} // namespace

std::optional<Entry> add(Catalogue catalogue, const QString &name, double value)
{
    const Table t = tableOf(catalogue);
    Database &db = Database::instance();
    const QString source = userSource(QDate::currentDate());
    std::optional<QSqlQuery> insert;
    if (catalogue == Catalogue::Materials) {
        QStringList cellulosic;
        auto known = db.run(QStringLiteral("SELECT Materiale FROM tblMateriale "
                                           "WHERE Cellulosico = 1"));
        if (!known)
            return std::nullopt;
        while (known->next())
            cellulosic << known->value(0).toString();
        insert = db.run(QStringLiteral("INSERT INTO tblMateriale (Materiale, CaricoIncSpecif, "
                                       "Fonte, Cellulosico) VALUES (?, ?, ?, ?)"),
                        {name, value, source, namesCellulosic(name, cellulosic) ? 1 : 0});
    } else {
        insert = db.run(sql("INSERT INTO %1 (%3, %4, Fonte) VALUES (?, ?, ?)", t),
                        {name, value, source});
    }
    if (!insert)
        return std::nullopt;
    const qint64 id = insert->lastInsertId().toLongLong();
    auto stored =
        db.run(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                   .arg(entryColumns(catalogue, t), QLatin1String(t.table), QLatin1String(t.key)),
               {id});
    if (!stored || !stored->next())
        return std::nullopt;
    return entryFrom(*stored);
}

std::optional<Entry> firstNamed(Catalogue catalogue, const QString &name, bool *failed)
{
    const Table t = tableOf(catalogue);
    auto query = Database::instance().run(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %4 LIMIT 1")
            .arg(entryColumns(catalogue, t), QLatin1String(t.table), QLatin1String(t.name),
                 QLatin1String(t.key)),
        {name});
    if (failed)
        *failed = !query.has_value();
    if (!query || !query->next())
        return std::nullopt;
    return entryFrom(*query);
}

bool remove(Catalogue catalogue, qint64 id)
{
    const Table t = tableOf(catalogue);
    return Database::instance().exec(sql("DELETE FROM %1 WHERE %2 = ?", t), {id});
}

std::optional<QVector<Entry>> entries(Catalogue catalogue)
{
    const Table t = tableOf(catalogue);
    auto query = Database::instance().run(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
            .arg(entryColumns(catalogue, t), QLatin1String(t.table), QLatin1String(t.key)));
    if (!query)
        return std::nullopt;
    QVector<Entry> list;
    while (query->next())
        list << entryFrom(*query);
    return list;
}

} // namespace Catalogues
