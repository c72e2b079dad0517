#pragma once
// Calculations built in one line, for the tests that need no window as for those that do.
#include "core/calculation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

inline Amount n(double value)
{
    return Amount::number(value);
}

inline Calculation materialsCalculation(std::optional<double> area, QVector<MaterialEntry> entries,
                                        std::optional<int> areaClass = {},
                                        std::optional<int> riskClass = {}, QSet<int> measures = {})
{
    Calculation c;
    c.method = Method::Materials;
    c.area = area;
    c.materials = entries;
    c.areaClass = areaClass;
    c.riskClass = riskClass;
    c.measures = measures;
    return c;
}

inline Calculation activityCalculation(const QString &name, double nominal, double fractile,
                                       std::optional<int> areaClass = {},
                                       std::optional<int> riskClass = {}, QSet<int> measures = {})
{
    Calculation c = materialsCalculation(std::nullopt, {}, areaClass, riskClass, measures);
    c.method = Method::Activity;
    c.activity = {name, nominal, fractile};
    return c;
}

// `quantity` kg of a material.
inline MaterialEntry materialEntry(const QString &name, double valuePerKg, double quantity,
                                   double psi = 1, double m = 1)
{
    return {name, n(valuePerKg), n(quantity), n(psi), n(m)};
}

// A furnishing of `count` pieces, and a stored good; each line may carry both.
inline FurnishingEntry furnishing(const QString &name, double valuePerPiece, double count)
{
    return {name, n(valuePerPiece), n(count), {}, {}, {}, {}};
}

inline FurnishingEntry goods(const QString &name, double valuePerM3, double volume,
                             double packaging, FurnishingEntry entry = {})
{
    const Amount m3 = n(valuePerM3);
    return {entry.furnishing, entry.valuePerPiece, entry.pieces, name, m3, n(volume), n(packaging)};
}

inline Calculation furnishingsCalculation(double area, QVector<FurnishingEntry> entries,
                                          std::optional<int> areaClass = {},
                                          std::optional<int> riskClass = {},
                                          QSet<int> measures = {})
{
    Calculation c = materialsCalculation(area, {}, areaClass, riskClass, measures);
    c.method = Method::Furnishings;
    c.furnishings = entries;
    return c;
}

// An enclosure: A_t, H, A_v, h_eq, A_h and b, then the fire's growth and the member.
inline NaturalFireInputs naturalFireInputs(double at, double h, double av, double heq, double ah,
                                           double b, FireGrowth growth = FireGrowth::Medium,
                                           FireMember member = FireMember::ReinforcedConcrete)
{
    return {at, h, av, heq, ah, b, growth, member, std::nullopt};
}

// `document` with the value at `path` ("classBands/1/upTo") set to `json`, or removed if empty.
inline QJsonValue changed(const QJsonValue &document, QStringList path, const QByteArray &json)
{
    const QString step = path.takeFirst();
    if (document.isArray()) {
        QJsonArray array = document.toArray();
        array[step.toInt()] = changed(array[step.toInt()], path, json);
        return array;
    }
    QJsonObject object = document.toObject();
    if (!path.isEmpty())
        object[step] = changed(object[step], path, json);
    else if (json.isEmpty())
        object.remove(step);
    else
        object[step] = QJsonDocument::fromJson("[" + json + "]").array().first();
    return object;
}
