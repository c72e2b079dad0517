#include "data/module2.h"

#include "data/database.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"

namespace Module2 {

void SvuotaTabStampa()
{
    WorkingTables::clearReportTables();
}

void SvuotaTabMateriali()
{
    WorkingTables::clearMaterials();
}

bool AggiungiStampaArredo(const RigaAppoggio &row)
{
    const bool added = Database::instance().exec(
        QStringLiteral("INSERT INTO tblStampaArredo (IdStampaArredo, Arredo, ValorePerPezzo, "
                       "QtaArredo) VALUES (?, ?, ?, ?)"),
        {Module1::ContaStampa, row.Arredo, row.ValorePerPezzo, row.QtaArredo});
    if (added)
        ++Module1::ContaStampa;
    return added;
}

bool AggiungiStampaMatInDep(const RigaAppoggio &row)
{
    const bool added = Database::instance().exec(
        QStringLiteral("INSERT INTO tblStampaMatInDep (IdStampaMatInDep, MaterialeInDeposito, "
                       "ValorePerM3, QtaMerce, Imballo) VALUES (?, ?, ?, ?, ?)"),
        {Module1::ContaStampa, row.MaterialeInDeposito, row.ValorePerM3, row.QtaMerce,
         row.Imballo});
    if (added)
        ++Module1::ContaStampa;
    return added;
}

bool PreparaTabStampa()
{
    Database &db = Database::instance();
    if (!db.open())
        return false;
    Module1::NomeTabella = QStringLiteral("tblAppoggio");
    auto rows = db.run(QStringLiteral("SELECT idAppoggio, Arredo, ValorePerPezzo, QtaArredo, "
                                      "MaterialeInDeposito, ValorePerM3, QtaMerce, Imballo "
                                      "FROM tblAppoggio ORDER BY rowid"));
    if (!rows)
        return false;
    QList<RigaAppoggio> entries;
    while (rows->next()) {
        entries.append({rows->value(1), rows->value(2), rows->value(3), rows->value(4),
                        rows->value(5), rows->value(6), rows->value(7)});
    }
    rows.reset();

    // The whole copy is one transaction: the list never shows half a calculation.
    const qint64 firstKey = Module1::ContaStampa;
    Transaction transaction(db.connection());
    for (const RigaAppoggio &row : entries) {
        if (!row.Arredo.isNull() && !AggiungiStampaArredo(row)) {
            Module1::ContaStampa = firstKey;
            return false;
        }
    }
    for (const RigaAppoggio &row : entries) {
        if (!row.MaterialeInDeposito.isNull() && !AggiungiStampaMatInDep(row)) {
            Module1::ContaStampa = firstKey;
            return false;
        }
    }
    if (!transaction.commit()) {
        Module1::ContaStampa = firstKey;
        db.reportError(QStringLiteral("Impossibile preparare l'elenco per la stampa."), QString());
        return false;
    }
    return true;
}

QVector<FurnishingEntry> printedFurnishings()
{
    QVector<FurnishingEntry> rows;
    if (auto query =
            Database::instance().run(QStringLiteral("SELECT Arredo, ValorePerPezzo, QtaArredo FROM "
                                                    "tblStampaArredo ORDER BY IdStampaArredo"))) {
        while (query->next()) {
            FurnishingEntry e;
            e.furnishing = query->value(0).toString();
            e.valuePerPiece = WorkingTables::amountFrom(query->value(1));
            e.pieces = WorkingTables::amountFrom(query->value(2));
            rows << e;
        }
    }
    return rows;
}

QVector<FurnishingEntry> printedGoods()
{
    QVector<FurnishingEntry> rows;
    if (auto query = Database::instance().run(QStringLiteral(
            "SELECT MaterialeInDeposito, ValorePerM3, QtaMerce, Imballo FROM tblStampaMatInDep "
            "ORDER BY IdStampaMatInDep"))) {
        while (query->next()) {
            FurnishingEntry e;
            e.goods = query->value(0).toString();
            e.valuePerM3 = WorkingTables::amountFrom(query->value(1));
            e.volume = WorkingTables::amountFrom(query->value(2));
            e.packaging = WorkingTables::amountFrom(query->value(3));
            rows << e;
        }
    }
    return rows;
}

} // namespace Module2
