#include "core/factortables.h"

#include "core/italiannumbers.h"

#include <cmath>

namespace FactorTables {

std::optional<int> areaClassFor(double area)
{
    if (!std::isfinite(area) || area < 0)
        return std::nullopt;
    static constexpr double kUpperEdges[] = {500, 1000, 2500, 5000, 10000};
    int index = 0;
    while (index < 5 && area >= kUpperEdges[index])
        ++index;
    return index;
}

double protectionProduct(const std::array<double, 9> &factors)
{
    double product = 1.0;
    for (double factor : factors)
        product *= factor;
    return ItalianNumbers::roundTo2(product);
}

double designFireLoad(double qf, double deltaN, double deltaQ1, double deltaQ2)
{
    return qf * deltaN * deltaQ1 * deltaQ2;
}

ResistanceClasses resistanceClassesFor(double designLoad)
{
    struct Band
    {
        double upTo;
        ResistanceClasses classes;
    };
    static constexpr Band kBands[] = {
        {100, {0, 0}},    {200, {15, 0}},   {300, {20, 0}},    {450, {30, 15}},
        {600, {45, 20}},  {900, {60, 30}},  {1200, {90, 45}},  {1800, {120, 60}},
        {2400, {180, 90}},
    };
    const double value = ItalianNumbers::asRead(designLoad);
    for (const Band &band : kBands) {
        if (!(value > band.upTo))
            return band.classes;
    }
    return {240, 120};
}

} // namespace FactorTables
