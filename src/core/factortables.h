#pragma once

#include <QString>
#include <array>
#include <optional>

// The fixed tables of the fire-resistance regulation that Ardivo applies: compartment-size
// classes (delta q1), risk classes (delta q2), protection measures (delta n1 ... delta n9) and
// the resistance classes of performance level III. Plain data, no window needed.
namespace FactorTables {

struct AreaClass
{
    const char *screenText; // label beside the option on the compartment-size screen
    const char *reportText; // text written on the report pages
    double deltaQ1;
};
inline constexpr std::array<AreaClass, 6> kAreaClasses{{
    {"da 0 a 500", "da 0 a 500", 1.0},
    {"da 500 a 1000", "da 500 a 1000", 1.2},
    {"da 1000 a 2.500", "da 1000 a 2.500", 1.4},
    {"da 2.500 a 5.000", "da 2500 a 5000", 1.6},
    {"da 5.000 a 10.000", "da 5000 a 10.000", 1.8},
    {"oltre 10.000", "oltre 10.000", 2.0},
}};

// Class of a compartment of `area` m². Each band is closed at the bottom and open at the top,
// as the regulation's table has it: 500 m² is already in the second class. A negative or
// non-finite area has no class.
std::optional<int> areaClassFor(double area);

struct RiskClass
{
    const char *name;
    const char *description;
    double deltaQ2;
};
inline constexpr std::array<RiskClass, 3> kRiskClasses{{
    {"I",
     "Aree che presentano un basso rischio di incendio in termini di probabilità di innesco, "
     "velocità di propagazione delle fiamme e possibilità di controllo dell'incendio da parte "
     "delle squadre di emergenza",
     0.8},
    {"II",
     "Aree che presentano un moderato rischio di incendio come probabilità di innesco, velocità "
     "di propagazione di un incendio e possibilità di controllo dell'incendio stesso da parte "
     "delle squadre di emergenza",
     1.0},
    {"III",
     "Aree che presentano un alto rischio di incendio in termini di probabilità di innesco, "
     "velocità di propagazione delle fiamme e possibilità di controllo dell'incendio stesso da "
     "parte delle squadre di emergenza",
     1.2},
}};

struct ProtectionMeasure
{
    const char *description;
    double deltaN;      // factor while the measure is ticked; 1 otherwise
    int exclusivePartner; // 1-based number of the measure it excludes, 0 for none
};
inline constexpr std::array<ProtectionMeasure, 9> kProtectionMeasures{{
    {"Sistemi automatici di estinzione ad acqua", 0.6, 2},
    {"Sistemi automatici di estinzione ad altro estinguente", 0.8, 1},
    {"Sistemi di evacuazione automatica di fumo e calore", 0.9, 0},
    {"Sistemi automatici di rilevazione, segnalazione e allarme di incendio", 0.85, 0},
    {"Squadra aziendale dedicata alla lotta antincendio", 0.9, 0},
    {"Rete idrica antincendio interna", 0.9, 7},
    {"Rete idrica antincendio interna e esterna", 0.8, 6},
    {"Percorsi protetti di accesso", 0.9, 0},
    {"Accessibilità ai mezzi di soccorso dei Vigili del Fuoco", 0.9, 0},
}};

// delta n: the product of the nine factors, rounded to two decimals with the half away from zero.
double protectionProduct(const std::array<double, 9> &factors);

// q_f,d = q_f * delta n * delta q1 * delta q2, multiplied in that order.
double designFireLoad(double qf, double deltaN, double deltaQ1, double deltaQ2);

struct ResistanceClasses
{
    int reference; // class for performance level III
    int minimum;   // minimum class for performance level III
};
// Bands are closed at the top: 100 gives 0, 100.01 gives 15. The value is compared as a
// person reads it (15 significant digits), never after rounding to the two displayed decimals.
ResistanceClasses resistanceClassesFor(double designLoad);

} // namespace FactorTables
