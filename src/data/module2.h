#pragma once

#include "core/calculation.h"

#include <QVariant>

// The report tables, copied from the furnishings working table when q_f goes forward.
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

} // namespace Module2
