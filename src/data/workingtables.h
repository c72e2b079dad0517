#pragma once

#include "core/calculation.h"

#include <QString>
#include <QVariant>
#include <initializer_list>
#include <optional>

// The queries on the working tables and on the furnishings' report tables: the mirrors of the
// session's entries that the entry store writes, for the checks made from outside the program.
// Every value is bound, never spliced.
namespace WorkingTables {

// A stored field as the calculation sees it, and back: a number, an empty text or nothing.
Amount amountFrom(const QVariant &stored);
QVariant storedValue(const Amount &amount);

// The entries of tblAppoggioMateriali and of tblAppoggio, in the order they were added. Nothing
// when the table cannot be read.
std::optional<QVector<MaterialEntry>> materials();
std::optional<QVector<FurnishingEntry>> furnishings();

// A text typed into a numeric field, as it is stored: an empty text stays an empty text, a number
// in Italian format becomes a number; anything else gives nothing (the entry is refused). No
// value, quantity or factor of an entry is negative, so a negative number is refused too:
// the checks made while typing read only the leading number, and let "-0,5" or a minus
// after a non-breaking space through.
std::optional<QVariant> storedNumber(const QString &text);

// A text typed into the field `column` of a working table (in the grid viewers), checked by the
// calculation's rules: the reason it is refused, or an empty text with `stored` set to the value
// as it is stored. Numbers follow storedNumber() and the rule of their field (ψ, m, packaging,
// or any amount); names are normalised as the screens make them.
QString fieldRefusal(const QString &column, bool numeric, const QString &text, QVariant *stored);

// Appends `entries` after the table's rows, all in one transaction: on failure none is added and
// the user has been told why. Materials are numbered on from the rows already there; furnishings
// and stored goods each from theirs.
bool appendMaterials(const QVector<MaterialEntry> &entries);
bool appendFurnishings(const QVector<FurnishingEntry> &entries);

// The row at `position` (0 for the first, in the order they were added) in the place of what it
// holds, keeping its number; and the rows at `positions` deleted, all or none.
bool replaceMaterialAt(int position, const MaterialEntry &entry);
bool replaceFurnishingAt(int position, const FurnishingEntry &entry);
bool removeMaterialsAt(const QList<int> &positions);
bool removeFurnishingsAt(const QList<int> &positions);

// The working tables hold `materials` and `furnishings`, and the report tables the furnishings
// and stored goods of `reportRows`, all in one transaction; a null list leaves its tables as
// they are. On failure the tables are as they were, and the user has been told why. Materials
// are numbered from 1, furnishings and stored goods each from 1.
bool replaceEntries(const QVector<MaterialEntry> *materials,
                    const QVector<FurnishingEntry> *furnishings,
                    const QVector<FurnishingEntry> *reportRows);
// The report tables emptied and filled again with the furnishings and then the stored goods
// of `entries`, one key running through both; all or nothing.
bool fillReportTables(const QVector<FurnishingEntry> &entries);

bool clearMaterials();   // tblAppoggioMateriali
bool clearFurnishings(); // tblAppoggio and both report tables

} // namespace WorkingTables
