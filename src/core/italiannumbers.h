#pragma once

#include <QString>
#include <optional>

// Number conversions of the whole program. Ardivo always speaks Italian numbers
// (decimal comma, "." as thousands separator), whatever the system locale.
namespace ItalianNumbers {

// Reads the whole text as a number in Italian format ("1,05" -> 1.05, "1.000" -> 1000).
// Surrounding blanks are allowed; anything else that is not a finite number fails.
std::optional<double> toDouble(const QString &text);

// Reads the leading number of a text written with a decimal point, skipping leading
// blanks and ignoring whatever follows ("1,05" -> 1, "12.5m" -> 12.5, "abc" -> 0).
// Used by the checks that run while the user types. Never returns a non-finite value.
double leadingNumber(const QString &text);

// General format: decimal comma, no grouping, at most 15 significant digits and never an
// exponent (1.15 * 300 -> "345", 27.2 -> "27,2", 0.00005 -> "0,00005").
QString toText(double value);

// The value rounded to 15 significant digits, that is as a person reads it: removes the
// binary noise of a product such as 0.85 * 0.9 (0.76499999...) without changing any real digit.
double asRead(double value);

// The general format with the thousands point from 1.000 on, as every printed number reads
// ("1.200", "252.287", "1.234,5", "500").
QString toGroupedText(double value);

// Integer part (rounded down) of the value as a person reads it, as text ("27,2" -> "27").
QString integerPartText(double value);

// Pattern "#,##0.00": thousands grouping, two decimals, the half rounded away from zero
// on the value as a person reads it (0.85 * 0.9 -> "0,77", 1234.567 -> "1.234,57").
QString toFixed2(double value);

// The same with any number of decimals.
QString toFixed(double value, int decimals);

// One decimal, no grouping, the half rounded away from zero as read (45,25 -> "45,3").
QString toFixed1(double value);

// The value rounded to two decimals the way toFixed2() shows it.
double roundTo2(double value);

} // namespace ItalianNumbers
