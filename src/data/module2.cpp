#include "data/module2.h"

#include "data/database.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"

namespace Module2 {

void SvuotaTabStampa()
{
    WorkingTables::clearReportTables();
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

    // The whole copy is one transaction: the report tables never hold half a calculation.
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

} // namespace Module2
