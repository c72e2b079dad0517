#pragma once

#include "core/calculation.h"

#include <QString>
#include <QStringList>

// Every text that a screen, a report page or a list shows for a calculation's values, in
// Italian format. An empty text where the value is not known yet.
namespace CalculationTexts {

// q_f as the factor screens and the report pages show it: the integer part for the materials
// and furnishings methods, the value as computed for the activity method.
QString fireLoad(const Calculation &calculation);
// A factor or a value in the general format ("1,2", "0,85", "420").
QString number(double value);
QString number(const std::optional<double> &value);
QString number(const Amount &amount);
// The same numbers as they are printed: the thousands point from 1.000 on ("1.200",
// "252.287"), a factor with two decimals ("1,00", "0,85").
QString printedNumber(double value);
QString printedNumber(const std::optional<double> &value);
QString printedNumber(const Amount &amount);
QString factor(double value);
QString factor(const std::optional<double> &value);
// Values to choose from, as a chooser lists them.
QStringList numbers(const QVector<double> &values);
// An entry's fire load in MJ, and its share of `total` in per cent with one decimal.
QString entryLoad(double load);
QString share(double load, double total);
// q_f as kilograms of standard wood per m² (1 MJ = 0,054 kg), with one decimal.
QString woodEquivalent(const Calculation &calculation);
inline constexpr double kWoodKgPerMJ = 0.054;
// The factors with two decimals, on the screens as in print ("1,20", "0,85").
QString deltaQ1(const Calculation &calculation);
QString deltaQ2(const Calculation &calculation);
QString measureFactor(const Calculation &calculation, int measure);
// delta n with as many decimals as it has, at least two and up to four ("0,90", "0,612",
// "0,4131"), or "≈ " and four decimals where it has more.
QString deltaN(const Calculation &calculation);
QString deltaNText(double deltaN);
// Whether deltaNText() gives the value exactly.
bool deltaNExact(double deltaN);
// q_f,d with two decimals and grouping ("1.234,57").
QString designFireLoad(const Calculation &calculation);
// The class the calculation's performance level requires ("240"), or the text where it asks for
// none ("Nessun requisito", "Nessun requisito di capacità portante").
QString referenceClass(const Calculation &calculation);
// The class of the rule's class table, for its proposed level, whatever level is chosen.
QString tableClass(const Calculation &calculation);
// "tabella S.2-3: 60 (livello III)" where the table's class differs from the one required;
// empty where they are the same.
QString tableClassBeside(const Calculation &calculation);
// The name of the calculation's performance level ("II"); the rule's fixed level without choice.
QString levelName(const Calculation &calculation);
// Empty under a rule without a minimum class.
QString minimumClass(const Calculation &calculation);
QString areaClass(const Calculation &calculation); // report text
QString riskClassName(const Calculation &calculation);
QString riskClassDescription(const Calculation &calculation);

} // namespace CalculationTexts
