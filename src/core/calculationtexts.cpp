#include "core/calculationtexts.h"

#include "core/italiannumbers.h"

#include <cmath>

namespace CalculationTexts {

QString fireLoad(const Calculation &c)
{
    const auto value = ::fireLoad(c);
    if (!value)
        return QString();
    return c.method == Method::Activity ? ItalianNumbers::toText(*value)
                                        : ItalianNumbers::integerPartText(*value);
}

QString number(double value)
{
    return ItalianNumbers::toText(value);
}

QString number(const std::optional<double> &value)
{
    return value ? ItalianNumbers::toText(*value) : QString();
}

QString number(const Amount &amount)
{
    return amount.isNumber() ? ItalianNumbers::toText(amount.value()) : QString();
}

QString printedNumber(double value)
{
    return ItalianNumbers::toGroupedText(value);
}

QString printedNumber(const std::optional<double> &value)
{
    return value ? printedNumber(*value) : QString();
}

QString printedNumber(const Amount &amount)
{
    return amount.isNumber() ? printedNumber(amount.value()) : QString();
}

QString factor(double value)
{
    return ItalianNumbers::toFixed2(value);
}

QString factor(const std::optional<double> &value)
{
    return value ? factor(*value) : QString();
}

QStringList numbers(const QVector<double> &values)
{
    QStringList texts;
    for (double value : values)
        texts << ItalianNumbers::toText(value);
    return texts;
}

QString entryLoad(double load)
{
    return ItalianNumbers::toText(ItalianNumbers::asRead(load));
}

QString share(double load, double total)
{
    if (!(total > 0) || !std::isfinite(total))
        return QString();
    return ItalianNumbers::toFixed1(load / total * 100);
}

QString woodEquivalent(const Calculation &c)
{
    const auto value = ::fireLoad(c);
    return value ? ItalianNumbers::toFixed1(*value * kWoodKgPerMJ) : QString();
}

QString deltaQ1(const Calculation &c)
{
    return factor(::deltaQ1(c));
}

QString deltaQ2(const Calculation &c)
{
    return factor(::deltaQ2(c));
}

QString measureFactor(const Calculation &c, int measure)
{
    return factor(::measureFactor(c, measure));
}

namespace {
constexpr int kDeltaNDecimals = 4;
}

QString deltaNText(double deltaN)
{
    const double read = ItalianNumbers::asRead(deltaN);
    for (int decimals = 2; decimals <= kDeltaNDecimals; ++decimals) {
        const QString text = ItalianNumbers::toFixed(read, decimals);
        if (ItalianNumbers::asRead(*ItalianNumbers::toDouble(text)) == read)
            return text;
    }
    return QStringLiteral("≈ ") + ItalianNumbers::toFixed(read, kDeltaNDecimals);
}

bool deltaNExact(double deltaN)
{
    return !deltaNText(deltaN).startsWith(QStringLiteral("≈ "));
}

QString deltaN(const Calculation &c)
{
    return deltaNText(::deltaN(c));
}

QString designFireLoad(const Calculation &c)
{
    const auto value = ::designFireLoad(c);
    return value ? ItalianNumbers::toFixed2(*value) : QString();
}

QString referenceClass(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    const auto classes = requiredClasses(c);
    if (!classes)
        return QString();
    if (classes->required)
        return QString::number(classes->reference);
    const Regulation::PerformanceLevel *level = performanceLevelOf(c);
    return level && !level->classRequired ? level->noClass : r.noRequirement;
}

QString tableClass(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    const auto classes = resistanceClasses(c);
    if (!classes)
        return QString();
    return classes->required ? QString::number(classes->reference) : r.noRequirement;
}

QString tableClassBeside(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    const QString table = tableClass(c);
    if (table.isEmpty() || table == referenceClass(c))
        return QString();
    const QString level = r.levelName(r.proposedLevel);
    return QStringLiteral("%1: %2 (livello %3)").arg(r.tables.classes, table, level);
}

QString levelName(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    return r.levelName(c.performanceLevel);
}

QString minimumClass(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    const auto classes = requiredClasses(c);
    return classes && r.hasMinimumClass ? QString::number(classes->minimum) : QString();
}

QString areaClass(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    if (c.areaClass && *c.areaClass >= 0 && *c.areaClass < r.areaClasses.size())
        return r.areaClasses.at(*c.areaClass).reportText;
    return QString();
}

QString riskClassName(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    if (c.riskClass && *c.riskClass >= 0 && *c.riskClass < r.riskClasses.size())
        return r.riskClasses.at(*c.riskClass).name;
    return QString();
}

QString riskClassDescription(const Calculation &c)
{
    const Regulation &r = regulationOf(c);
    if (c.riskClass && *c.riskClass >= 0 && *c.riskClass < r.riskClasses.size())
        return r.riskClasses.at(*c.riskClass).description;
    return QString();
}

} // namespace CalculationTexts
