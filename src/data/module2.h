#pragma once

#include "core/calculation.h"

#include <QVariant>

// The report tables that the furnishings list reads, and the emptying of the working tables.
namespace Module2 {

// One row of tblAppoggio on its way into the report tables.
struct RigaAppoggio {
    QVariant Arredo, ValorePerPezzo, QtaArredo;
    QVariant MaterialeInDeposito, ValorePerM3, QtaMerce, Imballo;
};

void SvuotaTabStampa();                               // empties both report tables
bool PreparaTabStampa();                              // copies tblAppoggio into the report tables
bool AggiungiStampaArredo(const RigaAppoggio &row);   // one row of tblStampaArredo
bool AggiungiStampaMatInDep(const RigaAppoggio &row); // one row of tblStampaMatInDep
void SvuotaTabMateriali();                            // empties tblAppoggioMateriali

// The rows of tblStampaArredo and of tblStampaMatInDep, in the order they were copied.
QVector<FurnishingEntry> printedFurnishings();
QVector<FurnishingEntry> printedGoods();

} // namespace Module2
