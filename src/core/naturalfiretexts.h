#pragma once

#include "core/calculation.h"

#include <QPair>
#include <QString>
#include <QStringList>

// The texts of a natural fire, the same in its window and in the report's appendix.
namespace NaturalFireTexts {

inline const QString kAppendixTitle =
    QStringLiteral("Incendio naturale (UNI EN 1991-1-2, appendici A e F)");

QString openingFactor(const NaturalFireResult &r); // O, four decimals
QString gamma(const NaturalFireResult &r);         // Γ, three decimals
QString totalLoad(const NaturalFireResult &r);     // q_t,d, two decimals
QString maxMinutes(const NaturalFireResult &r);    // t_max in minutes, one decimal
// "controllato dalla ventilazione" or "controllato dal combustibile"
QString regime(const NaturalFireResult &r);
QString maxTemperature(const NaturalFireResult &r);    // Θ_max in whole °C
QString endMinutes(const NaturalFireResult &r);        // the end of the cooling, one decimal
QString equivalentMinutes(const NaturalFireResult &r); // t_e,d, one decimal
QString celsius(double value);                         // whole °C
// The compartment's required class, as information beside t_e,d: "60", or the rule's text when
// it asks for no class; empty while not known.
QString requiredClass(const Calculation &calculation);

// The inputs as captions and values, in the order the window asks for them.
QList<QPair<QString, QString>> inputFields(const NaturalFireInputs &inputs, double floorArea,
                                           double designLoad);
// The working of Annex A and of Annex F, each line a formula with the numbers as used.
QStringList annexAWorking(const NaturalFireInputs &inputs, const NaturalFireResult &r);
QStringList annexFWorking(const NaturalFireInputs &inputs, const NaturalFireResult &r,
                          double designLoad);

} // namespace NaturalFireTexts
