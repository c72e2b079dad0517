#pragma once

#include "core/calculationsession.h"

#include <QList>
#include <QVector>

// The one writer of the entries of the materials and furnishings methods. The calculation of
// the session owns them; the working tables, and the furnishings' report tables, are their
// mirrors for the checks made from outside the program. Each operation writes the mirrors in
// one transaction and then sets the session once: on failure the user has been told why and
// the session is as it was.
namespace EntryStore {

// Adds `entries` after the calculation's: all or none. The entry screens add one at a time,
// an import many.
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

// A whole calculation (a compartment reopened) into the mirrors and then the session, under
// the compartment's name; the entries of the other methods stay. The report tables hold its
// furnishings when it is by furnishings.
bool load(CalculationSession &session, const Calculation &calculation,
          const QString &compartmentName);

// The report tables filled with the calculation's furnishings (q_f went forward).
bool prepareReportTables(const CalculationSession &session);

} // namespace EntryStore
