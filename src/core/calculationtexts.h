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
// Values to choose from, as a chooser lists them.
QStringList numbers(const QVector<double> &values);
// An entry's fire load in MJ, and its share of `total` in per cent with one decimal.
QString entryLoad(double load);
QString share(double load, double total);
// q_f as kilograms of standard wood per m² (1 MJ = 0,054 kg), with one decimal.
QString woodEquivalent(const Calculation &calculation);
inline constexpr double kWoodKgPerMJ = 0.054;
QString deltaQ1(const Calculation &calculation, const Regulation &regulation);
QString deltaQ2(const Calculation &calculation, const Regulation &regulation);
QString measureFactor(const Calculation &calculation, const Regulation &regulation, int measure);
QString deltaN(const Calculation &calculation, const Regulation &regulation);
// q_f,d with two decimals and grouping ("1.234,57").
QString designFireLoad(const Calculation &calculation, const Regulation &regulation);
// The class the calculation's performance level requires ("240"), or the text where it asks for
// none ("Nessun requisito", "Nessun requisito di capacità portante").
QString referenceClass(const Calculation &calculation, const Regulation &regulation);
// The class of the rule's class table, for its proposed level, whatever level is chosen.
QString tableClass(const Calculation &calculation, const Regulation &regulation);
// "tabella S.2-3: 60 (livello III)" where the table's class differs from the one required;
// empty where they are the same.
QString tableClassBeside(const Calculation &calculation, const Regulation &regulation);
// The name of the calculation's performance level ("II"); the rule's fixed level without choice.
QString levelName(const Calculation &calculation, const Regulation &regulation);
// Empty under a rule without a minimum class.
QString minimumClass(const Calculation &calculation, const Regulation &regulation);
QString areaClass(const Calculation &calculation, const Regulation &regulation); // report text
QString riskClassName(const Calculation &calculation, const Regulation &regulation);
QString riskClassDescription(const Calculation &calculation, const Regulation &regulation);

} // namespace CalculationTexts
