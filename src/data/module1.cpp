#include "data/module1.h"

#include "core/sharedstate.h"
#include "core/userprompt.h"
#include "data/database.h"
#include "core/entrymessages.h"
#include "data/workingtables.h"

#include <cmath>

namespace Module1 {
namespace {

void warnEmptyRows(qint64 rows)
{
    for (qint64 i = 0; i < rows; ++i)
        showMessage(QStringLiteral("Attenzione ci sono alcuni campi vuoti in tabella"));
}

// A sum that overflowed (values edited in the grid) counts as none, and the user is told.
double finiteOrWarn(double sum)
{
    if (std::isfinite(sum))
        return sum;
    EntryMessages::tooLarge();
    return 0;
}

} // namespace

bool ApriConnessione()
{
    return Database::instance().open();
}

void CreaOggettiDB()
{
    Database::instance().registerConnection();
}

void CalcoloCarIncArredo()
{
    DensCarInc = 0;
    if (NomeTabella.isEmpty()) {
        showMessage(QStringLiteral("Inserire i dati nella maschera"));
        return;
    }
    SommaArredoMerci = 0;
    if (const auto sum = WorkingTables::sumFurnishings()) {
        SommaArredoMerci = finiteOrWarn(sum->total);
        warnEmptyRows(sum->emptyRows);
    }
}

void RicalcoloMateriali()
{
    DensCarInc = 0;
    if (NomeTabMateriali.isEmpty()) {
        showMessage(QStringLiteral("Inserire i dati nella maschera"));
        return;
    }
    SommaMateriali = 0;
    if (const auto sum = WorkingTables::sumMaterials()) {
        SommaMateriali = finiteOrWarn(sum->total);
        warnEmptyRows(sum->emptyRows);
    }
}

} // namespace Module1
