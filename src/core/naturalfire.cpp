#include "core/naturalfire.h"

#include "core/italiannumbers.h"

#include <algorithm>
#include <cmath>

bool NaturalFireInputs::operator==(const NaturalFireInputs &o) const
{
    return totalArea == o.totalArea && height == o.height &&
           verticalOpenings == o.verticalOpenings && openingHeight == o.openingHeight &&
           horizontalOpenings == o.horizontalOpenings && absorptivity == o.absorptivity &&
           growth == o.growth && member == o.member && floorArea == o.floorArea;
}

namespace {

using NaturalFire::kAmbient;

// Two times that differ by less than this (hours, about a microsecond) are the same time: a
// ventilation time computed equal to t_lim takes the fuel-controlled branch.
constexpr double kTimeTolerance = 1e-9;

double gammaOf(double openingFactor, double b)
{
    const double ratio =
        (openingFactor / b) / (NaturalFire::kReferenceOpening / NaturalFire::kReferenceB);
    return ratio * ratio;
}

} // namespace

double NaturalFireResult::temperature(double minutes) const
{
    const double hours = minutes / 60.0;
    if (hours <= maxHours)
        return NaturalFire::heatingTemperature(hours * heatingGamma);
    const double tStar = hours * gamma;
    return std::max(kAmbient, maxTemperature - coolingRate * (tStar - maxStar * coolingX));
}

QVector<CurvePoint> NaturalFireResult::table(double step) const
{
    QVector<CurvePoint> points;
    const double endMinutes = endHours * 60.0;
    for (int i = 0;; ++i) {
        const double minutes = i * step;
        const double celsius = temperature(minutes);
        points.append({minutes, celsius});
        if (minutes > 0 && (minutes >= endMinutes || celsius <= kAmbient))
            break;
    }
    return points;
}

namespace NaturalFire {

double limitHours(FireGrowth growth)
{
    switch (growth) {
    case FireGrowth::Slow:
        return 25.0 / 60.0;
    case FireGrowth::Medium:
        return 20.0 / 60.0;
    case FireGrowth::Fast:
        break;
    }
    return 15.0 / 60.0;
}

QString growthName(FireGrowth growth)
{
    switch (growth) {
    case FireGrowth::Slow:
        return QStringLiteral("lenta");
    case FireGrowth::Medium:
        return QStringLiteral("media");
    case FireGrowth::Fast:
        break;
    }
    return QStringLiteral("rapida");
}

QString memberName(FireMember member)
{
    switch (member) {
    case FireMember::ReinforcedConcrete:
        return QStringLiteral("calcestruzzo armato");
    case FireMember::ProtectedSteel:
        return QStringLiteral("acciaio protetto");
    case FireMember::UnprotectedSteel:
        break;
    }
    return QStringLiteral("acciaio non protetto");
}

double heatingTemperature(double tStar)
{
    return kAmbient + 1325.0 * (1.0 - 0.324 * std::exp(-0.2 * tStar) -
                                0.204 * std::exp(-1.7 * tStar) - 0.472 * std::exp(-19.0 * tStar));
}

double iso834(double minutes)
{
    return kAmbient + 345.0 * std::log10(8.0 * minutes + 1.0);
}

double absorptivity(double density, double specificHeat, double conductivity)
{
    return std::sqrt(density * specificHeat * conductivity);
}

namespace {

// The reason a size is refused: finite and above 0 (or not below 0 where `zeroAllowed`).
QString sizeRefusal(double value, const QString &what, bool zeroAllowed = false)
{
    if (!std::isfinite(value))
        return QStringLiteral("%1 deve essere un numero.").arg(what);
    if (zeroAllowed ? value < 0 : value <= 0)
        return zeroAllowed ? QStringLiteral("%1 non può essere negativa.").arg(what)
                           : QStringLiteral("%1 deve essere maggiore di 0.").arg(what);
    return QString();
}

// The curve and t_e,d, on inputs already checked.
NaturalFireResult curve(const NaturalFireInputs &in, double af, double qfd)
{
    NaturalFireResult r;
    r.openingFactor = in.verticalOpenings * std::sqrt(in.openingHeight) / in.totalArea;
    r.totalLoad = qfd * af / in.totalArea;
    r.gamma = gammaOf(r.openingFactor, in.absorptivity);
    r.limitHours = limitHours(in.growth);
    r.ventilationHours = 0.2e-3 * r.totalLoad / r.openingFactor;
    r.fuelControlled = r.ventilationHours <= r.limitHours + kTimeTolerance;
    r.maxHours = r.fuelControlled ? r.limitHours : r.ventilationHours;
    r.heatingGamma = r.gamma;
    if (r.fuelControlled) {
        r.limitOpeningFactor = 0.1e-3 * r.totalLoad / r.limitHours;
        r.limitGammaFactor = 1.0;
        if (r.openingFactor > kReferenceOpening && r.totalLoad < 75.0 &&
            in.absorptivity < kReferenceB)
            r.limitGammaFactor = 1.0 + ((r.openingFactor - kReferenceOpening) / kReferenceOpening) *
                                           ((r.totalLoad - 75.0) / 75.0) *
                                           ((kReferenceB - in.absorptivity) / kReferenceB);
        r.heatingGamma = gammaOf(r.limitOpeningFactor, in.absorptivity) * r.limitGammaFactor;
    }
    r.maxTemperature = heatingTemperature(r.maxHours * r.heatingGamma);
    r.maxStar = r.ventilationHours * r.gamma;
    r.coolingX = r.fuelControlled ? r.limitHours * r.gamma / r.maxStar : 1.0;
    if (r.maxStar <= 0.5)
        r.coolingRate = 625.0;
    else if (r.maxStar < 2.0)
        r.coolingRate = 250.0 * (3.0 - r.maxStar);
    else
        r.coolingRate = 250.0;
    const double endStar = r.maxStar * r.coolingX + (r.maxTemperature - kAmbient) / r.coolingRate;
    r.endHours = endStar / r.gamma;

    r.alphaV = in.verticalOpenings / af;
    r.alphaH = in.horizontalOpenings / af;
    r.bV = std::max(10.0, 12.5 * (1.0 + 10.0 * r.alphaV - r.alphaV * r.alphaV));
    r.smallCompartment = af < 100.0 && in.horizontalOpenings == 0;
    if (r.smallCompartment) {
        r.ventilationFactor = std::pow(r.openingFactor, -0.5) * af / in.totalArea;
    } else {
        r.ventilationFactor = std::pow(6.0 / in.height, 0.3) *
                              (0.62 + 90.0 * std::pow(0.4 - r.alphaV, 4) / (1.0 + r.bV * r.alphaH));
        r.ventilationFactor = std::max(0.5, r.ventilationFactor);
    }
    if (in.absorptivity > 2500)
        r.kb = 0.04;
    else if (in.absorptivity >= 720)
        r.kb = 0.055;
    else
        r.kb = 0.07;
    r.kc = in.member == FireMember::UnprotectedSteel ? 13.7 * r.openingFactor : 1.0;
    r.equivalentMinutes = qfd * r.kb * r.ventilationFactor * r.kc;

    const auto outside = [&r](bool out, const QString &text) {
        if (out)
            r.warnings.append(text);
    };
    outside(af > 500, QStringLiteral("A_f supera 500 m²: l'appendice A vale per compartimenti "
                                     "fino a 500 m² in pianta."));
    outside(in.height > 4, QStringLiteral("H supera 4 m: l'appendice A vale per compartimenti "
                                          "alti fino a 4 m."));
    outside(in.horizontalOpenings > 0,
            QStringLiteral("Il compartimento ha aperture in copertura (A_h): l'appendice A vale "
                           "per compartimenti senza aperture in copertura."));
    outside(r.openingFactor < 0.02 || r.openingFactor > 0.20,
            QStringLiteral("O = %1 m^½ è fuori dall'intervallo 0,02 - 0,20 dell'appendice A.")
                .arg(ItalianNumbers::toFixed(r.openingFactor, 4)));
    outside(in.absorptivity < 100 || in.absorptivity > 2200,
            QStringLiteral("b = %1 J/m²s^½K è fuori dall'intervallo 100 - 2200 dell'appendice A.")
                .arg(ItalianNumbers::toText(in.absorptivity)));
    outside(r.totalLoad < 50 || r.totalLoad > 1000,
            QStringLiteral("q_t,d = %1 MJ/m² è fuori dall'intervallo 50 - 1000 dell'appendice A.")
                .arg(ItalianNumbers::toFixed(r.totalLoad, 2)));
    outside(r.alphaV < 0.025 || r.alphaV > 0.25,
            QStringLiteral("α_v = %1 è fuori dall'intervallo 0,025 - 0,25 dell'appendice F.")
                .arg(ItalianNumbers::toFixed(r.alphaV, 4)));
    r.warnings.append(QStringLiteral(
        "La curva d'incendio naturale sostiene una soluzione alternativa e non sostituisce la "
        "classe di resistenza al fuoco della tabella S.2-3 o del D.M. 9 marzo 2007."));
    return r;
}

} // namespace

QString inputRefusal(const NaturalFireInputs &in, std::optional<double> af)
{
    const QString reasons[] = {
        sizeRefusal(in.totalArea, QStringLiteral("La superficie totale A_t")),
        sizeRefusal(in.height, QStringLiteral("L'altezza H")),
        sizeRefusal(in.verticalOpenings,
                    QStringLiteral("La superficie delle aperture verticali A_v")),
        sizeRefusal(in.openingHeight, QStringLiteral("L'altezza media delle aperture h_eq")),
        sizeRefusal(in.horizontalOpenings,
                    QStringLiteral("La superficie delle aperture orizzontali A_h"), true),
        sizeRefusal(in.absorptivity, QStringLiteral("L'assorbività termica b")),
    };
    for (const QString &reason : reasons)
        if (!reason.isEmpty())
            return reason;
    if (in.floorArea) {
        if (QString reason =
                sizeRefusal(*in.floorArea, QStringLiteral("La superficie in pianta A_f"));
            !reason.isEmpty())
            return reason;
        if (!af)
            af = in.floorArea;
    }
    if (in.verticalOpenings >= in.totalArea)
        return QStringLiteral("Geometria impossibile: le aperture verticali A_v non possono "
                              "essere pari o superiori alla superficie totale A_t, che le "
                              "comprende.");
    if (in.horizontalOpenings >= in.totalArea)
        return QStringLiteral("Geometria impossibile: le aperture orizzontali A_h non possono "
                              "essere pari o superiori alla superficie totale A_t, che le "
                              "comprende.");
    if (af && *af > in.totalArea)
        return QStringLiteral("Geometria impossibile: la superficie in pianta A_f non può "
                              "superare la superficie totale A_t, che la comprende.");
    if (in.openingHeight > in.height)
        return QStringLiteral("Geometria impossibile: l'altezza media delle aperture h_eq non "
                              "può superare l'altezza H del compartimento.");
    return QString();
}

namespace {

// The curve, or why there is none: refusal() and compute() build it once.
struct Attempt {
    QString refusal;
    std::optional<NaturalFireResult> result;
};

Attempt attempt(const NaturalFireInputs &in, double af, double qfd)
{
    if (!std::isfinite(af) || af <= 0)
        return {QStringLiteral("Manca la superficie in pianta del compartimento A_f: "
                               "completare prima il calcolo del carico d'incendio."),
                std::nullopt};
    if (!std::isfinite(qfd) || qfd <= 0)
        return {QStringLiteral("Manca il carico d'incendio di progetto q_f,d: completare prima "
                               "il calcolo del carico d'incendio."),
                std::nullopt};
    if (QString reason = inputRefusal(in, af); !reason.isEmpty())
        return {reason, std::nullopt};
    NaturalFireResult r = curve(in, af, qfd);
    if (!std::isfinite(r.endHours) || r.endHours > kLongestHours ||
        !std::isfinite(r.equivalentMinutes))
        return {QStringLiteral("Con questi dati l'incendio durerebbe oltre %1 ore: nessun "
                               "compartimento reale brucia così a lungo. Controllare A_v, h_eq, "
                               "A_t e b.")
                    .arg(ItalianNumbers::toText(kLongestHours)),
                std::nullopt};
    return {QString(), std::move(r)};
}

} // namespace

QString refusal(const NaturalFireInputs &in, double af, double qfd)
{
    return attempt(in, af, qfd).refusal;
}

std::optional<NaturalFireResult> compute(const NaturalFireInputs &inputs, double floorArea,
                                         double designLoad)
{
    return attempt(inputs, floorArea, designLoad).result;
}

} // namespace NaturalFire
