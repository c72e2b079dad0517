#pragma once

#include <QCollatorSortKey>
#include <QString>
#include <QStringList>

// How the program compares names as a person reads them: letter case and accents aside, any
// word of a name found, lists in Italian alphabetical order.
namespace TextMatch {

// The text without accents and letter case ("Tè" -> "te"), for comparing only.
QString folded(const QString &text);

// Whether a word of `name` begins with `text`, both already folded ("legno di abete" and
// "abete"). An empty text begins none.
bool wordStartsWith(const QString &foldedName, const QString &foldedText);

// The names in Italian order: "Paglia" before "PVC", "Tè" before "Toluene".
void sortItalian(QStringList &names);
bool italianLess(const QString &a, const QString &b);
// Below, equal or above 0 as `a` comes before, with or after `b` in Italian order.
int italianCompare(const QString &a, const QString &b);
// The key of a name in Italian order, made once: keys compare as their names do, and fast.
QCollatorSortKey sortKey(const QString &name);

} // namespace TextMatch
