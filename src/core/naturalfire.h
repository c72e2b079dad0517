#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// The natural fire of a compartment: the parametric temperature-time curve of UNI EN 1991-1-2,
// Annex A, and the equivalent time of fire exposure of its Annex F, from the compartment's floor
// area A_f and design fire load q_f,d and from the enclosure the designer describes.

// The fire growth rate, which gives the time t_lim of a fuel-controlled fire.
enum class FireGrowth { Slow = 0, Medium = 1, Fast = 2 };
// The member whose equivalent time is asked, which gives the factor k_c.
enum class FireMember { ReinforcedConcrete = 0, ProtectedSteel = 1, UnprotectedSteel = 2 };

// What the designer gives of the enclosure; sizes in m and m², b in J/m²s^½K.
struct NaturalFireInputs {
    double totalArea = 0;          // A_t: walls, floor and ceiling, openings included
    double height = 0;             // H
    double verticalOpenings = 0;   // A_v
    double openingHeight = 0;      // h_eq, the weighted mean height of the vertical openings
    double horizontalOpenings = 0; // A_h, the openings in the roof
    double absorptivity = 0;       // b = √(ρ·c·λ) of the enclosure's lining
    FireGrowth growth = FireGrowth::Medium;
    FireMember member = FireMember::ReinforcedConcrete;
    // A_f, typed only for a calculation that has no area of its own (the activity method).
    std::optional<double> floorArea;
    bool operator==(const NaturalFireInputs &o) const;
    bool operator!=(const NaturalFireInputs &o) const { return !(*this == o); }
};

// One point of the curve: minutes and °C.
struct CurvePoint {
    double minutes = 0;
    double celsius = 0;
};

struct NaturalFireResult {
    // Annex A
    double openingFactor = 0;    // O, m^½
    double gamma = 0;            // Γ
    double totalLoad = 0;        // q_t,d, MJ/m² of A_t
    double limitHours = 0;       // t_lim
    double ventilationHours = 0; // 0,2·10⁻³·q_t,d/O
    double maxHours = 0;         // t_max
    bool fuelControlled = false;
    double limitOpeningFactor = 0; // O_lim (fuel-controlled only)
    double limitGammaFactor = 1;   // the factor on Γ_lim of a small, well ventilated, light room
    double heatingGamma = 0;       // Γ, or Γ_lim when fuel-controlled
    double maxStar = 0;            // t*_max = (0,2·10⁻³·q_t,d/O)·Γ
    double coolingX = 1;           // x
    double maxTemperature = 0;     // Θ_max, °C
    double coolingRate = 0;        // °C per hour of t*: 625, 250·(3 − t*_max) or 250
    double endHours = 0;           // the end of the cooling, back at 20 °C
    // Annex F
    double alphaV = 0, alphaH = 0, bV = 0;
    bool smallCompartment = false; // w_f = O^−½·A_f/A_t
    double ventilationFactor = 0;  // w_f
    double kb = 0, kc = 0;
    double equivalentMinutes = 0; // t_e,d
    // What lies outside the annexes' scope, one sentence each; the reminder last.
    QStringList warnings;

    // Θ_g at `minutes` from the start: heating until t_max, then the cooling, never below 20.
    double temperature(double minutes) const;
    // The curve every `step` minutes until 20 °C (the last point at 20 °C).
    QVector<CurvePoint> table(double step = 5) const;
};

namespace NaturalFire {

inline constexpr double kAmbient = 20.0;
inline constexpr double kReferenceOpening = 0.04; // O of Γ = 1, m^½
inline constexpr double kReferenceB = 1160.0;     // b of Γ = 1
// A curve longer than this (heating and cooling) is no compartment fire: refused.
inline constexpr double kLongestHours = 72.0;

// t_lim in hours: 25, 20, 15 minutes.
double limitHours(FireGrowth growth);
QString growthName(FireGrowth growth); // "lenta", "media", "rapida"
QString memberName(FireMember member); // "calcestruzzo armato", …
// Θ_g of the heating at t* (hours × Γ).
double heatingTemperature(double tStar);
// The standard curve ISO 834 at `minutes`.
double iso834(double minutes);

// Why the inputs break an entry rule (finite, above 0 where a size) or describe an impossible
// enclosure, naming it; `floorArea` when known. An empty text when they are sound.
QString inputRefusal(const NaturalFireInputs &inputs, std::optional<double> floorArea);
// Why the inputs cannot give a curve, naming the rule or the impossible geometry; an empty
// text when they can. `floorArea` is A_f, `designLoad` q_f,d.
QString refusal(const NaturalFireInputs &inputs, double floorArea, double designLoad);
// The curve and t_e,d; nothing when refusal() has a reason.
std::optional<NaturalFireResult> compute(const NaturalFireInputs &inputs, double floorArea,
                                         double designLoad);
// b = √(ρ·c·λ) of one lining: density kg/m³, specific heat J/kgK, conductivity W/mK.
double absorptivity(double density, double specificHeat, double conductivity);

} // namespace NaturalFire

Q_DECLARE_METATYPE(NaturalFireInputs)
