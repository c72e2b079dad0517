#include "data/module1.h"

#include "core/entrymessages.h"
#include "core/userprompt.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"

#include <cmath>

namespace Module1 {
namespace {

// One message however many lines had all their fields emptied; a sum that overflowed (values
// edited in the grid) gives no q_f, and the user is told.
void warnAbout(const EntriesSum &sum)
{
    if (sum.overflowed)
        EntryMessages::tooLarge();
    if (sum.emptyLines > 0)
        showMessage(QStringLiteral("Attenzione ci sono alcuni campi vuoti in tabella"));
}

} // namespace

std::optional<QVector<FurnishingEntry>> CalcoloCarIncArredo()
{
    if (NomeTabella.isEmpty()) {
        showMessage(QStringLiteral("Inserire i dati nella maschera"));
        return std::nullopt;
    }
    auto entries = WorkingTables::furnishings();
    if (entries)
        warnAbout(furnishingsSum(*entries));
    return entries;
}

std::optional<QVector<MaterialEntry>> RicalcoloMateriali()
{
    if (NomeTabMateriali.isEmpty()) {
        showMessage(QStringLiteral("Inserire i dati nella maschera"));
        return std::nullopt;
    }
    auto entries = WorkingTables::materials();
    if (entries)
        warnAbout(materialsSum(*entries));
    return entries;
}

} // namespace Module1
