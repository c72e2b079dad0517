#pragma once

#include "core/naturalfire.h"
#include "core/regulation.h"

#include <QDate>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QVector>
#include <optional>

// One compartment's calculation as plain values: how q_f is determined and from what, and the
// choices that give the three correction factors. The functions below derive every result from
// it and from the regulation's tables; nothing here knows a screen or a database.

// How q_f is determined. The numbers are the ones the method chooser and the stored files use.
enum class Method { None = 0, Activity = 1, Furnishings = 2, Materials = 3 };

// A numeric field of an entry as the working tables keep it: a number; an empty text (the user
// emptied it: the entry then adds nothing); or nothing at all (a field the entry does not have).
class Amount
{
public:
    Amount() = default;
    static Amount number(double value) { return Amount(Kind::Number, value); }
    static Amount emptyText() { return Amount(Kind::EmptyText, 0); }

    bool isNumber() const { return m_kind == Kind::Number; }
    bool isEmptyText() const { return m_kind == Kind::EmptyText; }
    bool isMissing() const { return m_kind == Kind::Missing; }
    double value() const { return m_value; } // 0 unless a number

    bool operator==(const Amount &o) const { return m_kind == o.m_kind && m_value == o.m_value; }
    bool operator!=(const Amount &o) const { return !(*this == o); }

private:
    enum class Kind { Missing, EmptyText, Number };
    Amount(Kind kind, double value) : m_kind(kind), m_value(value) {}
    Kind m_kind = Kind::Missing;
    double m_value = 0;
};

// One material of the materials method: calorific value H (MJ/kg), quantity (kg), ψ and m.
struct MaterialEntry {
    QString name;
    Amount valuePerKg, quantity, psi, m;
    QString source = {}; // where the calorific value comes from; empty when not known
    bool operator==(const MaterialEntry &o) const;
};

// One line of the furnishings method: a furnishing (MJ per piece, pieces) or a stored good
// (MJ per m³, m³, packaging factor); a line edited in the table may carry both.
struct FurnishingEntry {
    QString furnishing;
    Amount valuePerPiece, pieces;
    QString goods;
    Amount valuePerM3, volume, packaging;
    QString source = {}; // where the value per piece or per m³ comes from; empty when unknown
    bool isGoods() const { return !goods.isEmpty() || !valuePerM3.isMissing(); }
    // Whether the line is shown and summed as a stored good rather than as a furnishing.
    bool isGoodsOnly() const { return isGoods() && furnishing.isEmpty(); }
    bool operator==(const FurnishingEntry &o) const;
};

struct Activity {
    QString name;
    std::optional<double> nominalLoad; // MJ/m²
    std::optional<double> fractile;    // the 80% fractile factor, 1 to 2
    QString source = {};               // where the nominal load comes from; empty when unknown
    bool operator==(const Activity &o) const;
};

struct Calculation {
    Rule rule = Rule::Decree2007; // the rule whose tables the choices below index
    Method method = Method::None;
    std::optional<double> area; // m², materials and furnishings methods
    Activity activity;
    QVector<MaterialEntry> materials;
    QVector<FurnishingEntry> furnishings;
    std::optional<int>
        areaClass; // index into the regulation's area classes (from the area, or chosen)
    std::optional<int> riskClass; // index into the regulation's risk classes
    QSet<int> measures;           // indexes of the protection measures present
    // The enclosure of the compartment's natural fire, when the designer described it.
    std::optional<NaturalFireInputs> naturalFire;
    // The performance level the designer attributes to the compartment (3 for III) and the
    // reasons, under a rule whose levels are chosen; a rule with a fixed level keeps 3 and none.
    int performanceLevel = 3;
    QString levelReason;
    // The designer's notes and assumptions ("Note e ipotesi"), printed after the working.
    QString notes;
    bool operator==(const Calculation &o) const;
};

namespace CalculationRules {

// The rules of every value of a calculation, wherever it comes from: the entry screens, the grid
// viewers, a project file. Each function gives the reason a value is refused, as the message
// boxes say it, or an empty text when the value is accepted.

// The packaging surcharge of a stored good that is packed.
inline constexpr double kPackagingFactor = 1.1;
// The values m and ψ are chosen from.
QVector<double> mFactors();   // 1, 0,8
QVector<double> psiFactors(); // 0, 0,85, 1
// The fractile factors offered, 1 to 2 in steps of 0,05; a typed one is allowed up to 2.
QVector<double> fractileFactors();
inline constexpr double kLargestFractile = 2.0;
bool fractileAllowed(double factor);
// A nominal fire load is taken as reliable above this value.
inline constexpr double kSmallestNominalLoad = 1.0;
// A q_f or q_f,d above this (MJ/m², a thousand times the densest real storage) is no result.
inline constexpr double kLargestFireLoad = 1e6;
// The longest name of a compartment, an entry, a catalogue entry or a project field.
inline constexpr int kLongestName = 200;
// The longest notes of a compartment, in characters.
inline constexpr int kLongestNotes = 10000;

QString amountRefusal(double value); // a value, a quantity, an area: finite, not negative
QString psiRefusal(double value);
QString mRefusal(double value);
QString packagingRefusal(double value);
QString fractileRefusal(double value);
QString nominalLoadRefusal(double value);
QString areaRefusal(double value); // above 0
// The typed quantities: kilograms not negative, with decimals; a volume above 0 m³, with
// decimals; pieces a whole number of at least 1; a calorific value of at least
// kSmallestEntryValue.
QString kilogramsRefusal(double value);
QString volumeRefusal(double value);
QString piecesRefusal(double value);
QString entryValueRefusal(double value);
// Why a text typed for a field with `rule` is refused: no number in Italian format, or the
// rule's own reason; empty when it is accepted.
QString typedRefusal(const QString &text, QString (*rule)(double));
// Why a typed area is refused: not a number in Italian format, or not above 0.
QString areaTextRefusal(const QString &text);

// A name as the screens make it: blanks (line breaks and tabs too) simplified to one.
QString normalisedName(const QString &name);
// Why a normalised name is refused: control characters, or longer than kLongestName.
QString nameRefusal(const QString &normalised);

// The smallest calorific value, value per piece and value per m³ an entry may have, as the
// entry screens allow them, and the smallest number of pieces.
inline constexpr double kSmallestEntryValue = 1.0;
inline constexpr double kSmallestCount = 1.0;

// Why an entry cannot be summed as a new one typed on its screen would not be: an empty text
// when it can. A name, every number and a factor among those allowed are required.
// (entryRefusal() below checks only the fields that hold numbers, as a grid edit may empty one.)
QString newEntryRefusal(const MaterialEntry &entry);
QString newEntryRefusal(const FurnishingEntry &entry);
// The source of an entry's value that the user typed in place of the catalogue's.
// "valore del tecnico; catalogo: 420" (the catalogue's value it replaced, when there was one).
QString typedValueSource(const QString &catalogueValue = QString());
// The source of a value given in an imported list without a source of its own:
// "elenco «inventario.csv» del 08/12/2026".
QString listSource(const QString &fileName, const QDate &date);
// Whether a source says the value was typed by the technician.
bool isTypedValueSource(const QString &source);

// The m a material is proposed with: 0,8 for wood and other cellulosic materials, 1 otherwise.
double proposedM(bool cellulosic);

} // namespace CalculationRules

// The sum of the entries of the calculation's method, and how many of them are empty lines
// (every summed field an empty text), which the user is warned about.
struct EntriesSum {
    double total = 0; // MJ; a sum too large to be a number counts as none, 0
    qint64 emptyLines = 0;
    bool overflowed = false; // the sum was too large to be a number
};

// Fire load of one entry in MJ: H × quantity × ψ × m; value per piece × pieces plus value per m³
// × m³ × packaging. A part adds only when all its fields are numbers.
double entryFireLoad(const MaterialEntry &entry);
double entryFireLoad(const FurnishingEntry &entry);
EntriesSum materialsSum(const QVector<MaterialEntry> &entries);
EntriesSum furnishingsSum(const QVector<FurnishingEntry> &entries);
EntriesSum entriesSum(const Calculation &calculation);
// Whether an entry whose fire load is `entryLoad` can join `sum` and leave it a finite number.
bool staysFinite(const EntriesSum &sum, double entryLoad);

// q_f in MJ/m²: the activity's nominal value × the fractile factor, or the entries' sum ÷ the
// area. Nothing while an input is missing, the area is not above 0, or the result is too large
// (fireLoadTooLarge()): no result is better than a wrong one.
std::optional<double> fireLoad(const Calculation &calculation);
// Whether the inputs are all there but their sum or product is no finite number, or q_f is
// above CalculationRules::kLargestFireLoad.
bool fireLoadTooLarge(const Calculation &calculation);
// The tables of the rule the calculation applies.
const Regulation &regulationOf(const Calculation &calculation);
std::optional<double> deltaQ1(const Calculation &calculation);
std::optional<double> deltaQ2(const Calculation &calculation);
// The factor of one measure: its delta n while present, 1 otherwise.
double measureFactor(const Calculation &calculation, int measure);
// delta n: the exact product of the measures' factors, never rounded before it is used.
double deltaN(const Calculation &calculation);
// Whether a measure may be ticked: neither the measure it excludes nor another one of its
// exclusive group is present.
bool measureAllowed(const Calculation &calculation, int measure);
// q_f,d = q_f × delta n × delta q1 × delta q2, multiplied in that order on the full q_f; nothing
// when it is no finite number or above CalculationRules::kLargestFireLoad.
std::optional<double> designFireLoad(double fireLoad, double deltaN, double deltaQ1,
                                     double deltaQ2);
std::optional<double> designFireLoad(const Calculation &calculation);
std::optional<Regulation::ResistanceClasses> resistanceClasses(const Calculation &calculation);
// A_f of the natural fire: the calculation's area, or the one typed with the enclosure.
std::optional<double> naturalFireArea(const Calculation &calculation);
// The natural fire of the compartment from its A_f and q_f,d: nothing while the calculation has
// no enclosure, no area or no q_f,d, or NaturalFire::refusal() has a reason.
std::optional<NaturalFireResult> naturalFireOf(const Calculation &calculation);
// Why the natural fire cannot be computed from the calculation: an empty text when it can, or
// when the calculation has no enclosure.
QString naturalFireRefusal(const Calculation &calculation);
// The classes the calculation's performance level requires: those of the class table for the
// proposed level and the levels that keep them, at most the cap of a level that has one
// (min(30, class) for level II; a table that asks for none asks for none here either), none at
// all for a level that asks for no class. Nothing while q_f,d is not known.
std::optional<Regulation::ResistanceClasses> requiredClasses(const Calculation &calculation);
// The performance level of the calculation under its rule; null under a rule without levels to
// choose.
const Regulation::PerformanceLevel *performanceLevelOf(const Calculation &calculation);
// Whether the level needs the designer's reasons and has none (blanks do not count).
bool levelReasonMissing(const Calculation &calculation);
// A text as the designer typed it (level reasons, notes), kept whole: line breaks stay (one kind,
// "\n"), tabs stay, other control characters go.
QString normalisedText(const QString &typed);
// Why the designer's notes, normalised, cannot be kept: too long, or half of
// a surrogate pair; an empty text when they can.
QString notesRefusal(const QString &normalised);
// A refusal as a clause of a longer sentence: lower-case first letter, no full stop.
QString clause(const QString &refusal);
// The calculation with only what belongs to its method: a compartment stores no more.
Calculation essentials(const Calculation &calculation);
// Why an entry's numbers are refused by the rules above (the first reason), or an empty text.
QString entryRefusal(const MaterialEntry &entry);
QString entryRefusal(const FurnishingEntry &entry);
// The reasons a calculation read from a file cannot stand, by the same rules as the screens:
// empty when it is sound.
QString impossibility(const Calculation &calculation);
Q_DECLARE_METATYPE(Calculation)
Q_DECLARE_METATYPE(Method)
