#pragma once

#include "core/calculationsession.h"

#include <QList>
#include <QVector>

// The entries of the materials and furnishings methods: the calculation of the session holds
// them, the working tables keep them. Every change goes through here and reaches both at once,
// so that the screens, the grid viewers, the lists and the project read one list.
namespace EntryStore {

// The entries kept in the working table, taken into the calculation (at the start, after
// another program or a test wrote the table). False when the table cannot be read.
bool loadMaterials(CalculationSession &session);
bool loadFurnishings(CalculationSession &session);

// Adds `entries` after the calculation's, in one transaction: all or none. The entry screens
// add one at a time, an import many. On failure the user has been told why.
bool addMaterials(CalculationSession &session, const QVector<MaterialEntry> &entries);
bool addFurnishings(CalculationSession &session, const QVector<FurnishingEntry> &entries);

// Entry `row` (0 for the first) in the place of what it holds.
bool replaceMaterial(CalculationSession &session, int row, const MaterialEntry &entry);
bool replaceFurnishing(CalculationSession &session, int row, const FurnishingEntry &entry);

// Deletes the entries at `rows`, all or none.
bool removeMaterials(CalculationSession &session, const QList<int> &rows);
bool removeFurnishings(CalculationSession &session, const QList<int> &rows);

// Deletes every entry, as a new calculation starts (the furnishings' report tables too).
bool clearMaterials(CalculationSession &session);
bool clearFurnishings(CalculationSession &session);

} // namespace EntryStore
