#include "core/textmatch.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace TextMatch {
namespace {

const QCollator &italianCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Italian, QLocale::Italy));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true); // "Tipo 2" before "Tipo 10"
        return c;
    }();
    return collator;
}

} // namespace

QString folded(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString result;
    result.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            result += c;
    }
    return result.toCaseFolded();
}

bool wordStartsWith(const QString &foldedName, const QString &foldedText)
{
    if (foldedText.isEmpty())
        return false;
    for (qsizetype at = foldedName.indexOf(foldedText); at >= 0;
         at = foldedName.indexOf(foldedText, at + 1)) {
        if (at == 0 || !foldedName.at(at - 1).isLetterOrNumber())
            return true;
    }
    return false;
}

bool italianLess(const QString &a, const QString &b)
{
    return italianCollator().compare(a, b) < 0;
}

int italianCompare(const QString &a, const QString &b)
{
    return italianCollator().compare(a, b);
}

QCollatorSortKey sortKey(const QString &name)
{
    return italianCollator().sortKey(name);
}

void sortItalian(QStringList &names)
{
    std::stable_sort(names.begin(), names.end(), italianLess);
}

} // namespace TextMatch
