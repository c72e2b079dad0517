#pragma once

#include <QString>
#include <QVariant>
#include <initializer_list>
#include <optional>

// The queries on the working tables (the entries of the calculation under way) and on the
// report tables that the furnishings list reads. Every value is bound, never spliced.
namespace WorkingTables {

struct Sum
{
    double total = 0;      // MJ
    qint64 emptyRows = 0;  // rows whose summed fields are all empty texts
};

// Whether an entry with these stored fields can join `sum` and leave it a finite number.
// An entry with an empty field adds nothing.
bool keepsSumFinite(const std::optional<Sum> &sum, std::initializer_list<QVariant> fields);

// Sum of ValorePerKg * QtaMat * FattorePsi * Fattore_m over tblAppoggioMateriali. A row adds
// only when its four fields hold numbers; a null field is neither a number nor an empty text.
std::optional<Sum> sumMaterials();
// Sum over tblAppoggio: ValorePerPezzo * QtaArredo where both hold numbers, plus
// ValorePerM3 * QtaMerce * Imballo where those hold numbers.
std::optional<Sum> sumFurnishings();

// A text typed into a numeric field, as it is stored: an empty text stays an empty text, a number
// in Italian format becomes a number; anything else gives nothing (the entry is refused). No
// value, quantity or factor of an entry is negative, so a negative number is refused too:
// the checks made while typing read only the leading number, and let "-0,5" or a minus
// after a non-breaking space through.
std::optional<QVariant> storedNumber(const QString &text);

bool appendMaterial(qint64 id, const QString &name, const QVariant &valuePerKg,
                    const QVariant &psi, const QVariant &m, const QVariant &quantity);
bool appendFurnishing(qint64 id, const QString &name, const QVariant &valuePerPiece,
                      const QVariant &pieces);
bool appendGoods(qint64 id, const QString &name, const QVariant &valuePerM3,
                 const QVariant &volume, double packaging);

bool clearMaterials();   // tblAppoggioMateriali
bool clearFurnishings(); // tblAppoggio and both report tables
bool clearReportTables();

qint64 rowCount(const QString &table);

} // namespace WorkingTables
