#include "core/calculation.h"

#include "core/italiannumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

bool MaterialEntry::operator==(const MaterialEntry &o) const
{
    return name == o.name && valuePerKg == o.valuePerKg && quantity == o.quantity && psi == o.psi &&
           m == o.m && source == o.source;
}

bool FurnishingEntry::operator==(const FurnishingEntry &o) const
{
    return furnishing == o.furnishing && valuePerPiece == o.valuePerPiece && pieces == o.pieces &&
           goods == o.goods && valuePerM3 == o.valuePerM3 && volume == o.volume &&
           packaging == o.packaging && source == o.source;
}

bool Activity::operator==(const Activity &o) const
{
    return name == o.name && nominalLoad == o.nominalLoad && fractile == o.fractile &&
           source == o.source;
}

bool Calculation::operator==(const Calculation &o) const
{
    return rule == o.rule && method == o.method && area == o.area && activity == o.activity &&
           materials == o.materials && furnishings == o.furnishings && areaClass == o.areaClass &&
           riskClass == o.riskClass && measures == o.measures && naturalFire == o.naturalFire &&
           performanceLevel == o.performanceLevel && levelReason == o.levelReason &&
           notes == o.notes;
}

namespace CalculationRules {

QVector<double> mFactors()
{
    return {1.0, 0.8};
}

QVector<double> psiFactors()
{
    return {0.0, 0.85, 1.0};
}

QVector<double> fractileFactors()
{
    QVector<double> factors;
    for (int hundredths = 100; hundredths <= 200; hundredths += 5)
        factors << hundredths / 100.0;
    return factors;
}

bool fractileAllowed(double factor)
{
    return std::isfinite(factor) && factor > 0 && factor <= kLargestFractile;
}

QString amountRefusal(double value)
{
    if (std::isfinite(value) && value >= 0)
        return QString();
    return QStringLiteral("Prego inserisci correttamente tutti i campi richiesti.");
}

QString psiRefusal(double value)
{
    return psiFactors().contains(value) ? QString()
                                        : QStringLiteral("Il fattore ψ può valere 0, 0,85 o 1.");
}

QString mRefusal(double value)
{
    return mFactors().contains(value) ? QString()
                                      : QStringLiteral("Il fattore m può valere 0,8 o 1.");
}

QString packagingRefusal(double value)
{
    return value == 1.0 || value == kPackagingFactor
               ? QString()
               : QStringLiteral("Il fattore di imballaggio può valere 1 o 1,1.");
}

QString fractileRefusal(double value)
{
    return fractileAllowed(value)
               ? QString()
               : QStringLiteral("Il frattile 80% deve essere maggiore di 0 e al massimo 2.");
}

QString nominalLoadRefusal(double value)
{
    return std::isfinite(value) && value > kSmallestNominalLoad
               ? QString()
               : QStringLiteral("Inserire un valore attendibile di carico d'incendio");
}

QString areaRefusal(double value)
{
    return std::isfinite(value) && value > 0
               ? QString()
               : QStringLiteral("Inserire un valore dell'area valido");
}

QString kilogramsRefusal(double value)
{
    return std::isfinite(value) && value >= 0
               ? QString()
               : QStringLiteral("La quantità in kg deve essere un numero non negativo; i decimali "
                                "si scrivono con la virgola (per esempio 0,6).");
}

QString volumeRefusal(double value)
{
    return std::isfinite(value) && value > 0
               ? QString()
               : QStringLiteral("Il volume deve essere maggiore di 0 m³; i decimali si scrivono "
                                "con la virgola (per esempio 0,6).");
}

QString piecesRefusal(double value)
{
    return std::isfinite(value) && value >= kSmallestCount && value == std::floor(value)
               ? QString()
               : QStringLiteral("Il numero di pezzi deve essere un numero intero di almeno 1.");
}

QString entryValueRefusal(double value)
{
    return std::isfinite(value) && value >= kSmallestEntryValue
               ? QString()
               : QStringLiteral("Il potere calorifico deve essere un numero di almeno %1.")
                     .arg(ItalianNumbers::toText(kSmallestEntryValue));
}

QString typedRefusal(const QString &text, QString (*rule)(double))
{
    const auto value = ItalianNumbers::toDouble(text);
    if (!value)
        return QStringLiteral("«%1» non è un numero: si scrivono le cifre, con la virgola per i "
                              "decimali (per esempio 0,6).")
            .arg(text.trimmed());
    return rule(*value);
}

QString areaTextRefusal(const QString &text)
{
    const auto value = ItalianNumbers::toDouble(text);
    if (!value || !areaRefusal(*value).isEmpty())
        return QStringLiteral("Inserire un valore dell'area valido: un numero maggiore di 0, "
                              "in m² (per esempio 1.200 o 350,5)");
    return QString();
}

QString normalisedName(const QString &name)
{
    return name.simplified();
}

QString nameRefusal(const QString &normalised)
{
    if (normalised.size() > kLongestName)
        return QStringLiteral("Il nome è troppo lungo: al massimo %1 caratteri.").arg(kLongestName);
    for (const QChar c : normalised) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return QStringLiteral("Il nome contiene caratteri di controllo.");
    }
    // Half of a surrogate pair, which no file and no document can hold.
    if (!normalised.isValidUtf16())
        return QStringLiteral("Il nome contiene caratteri non validi.");
    return QString();
}

namespace {

bool atLeast(const Amount &amount, double smallest)
{
    return amount.isNumber() && std::isfinite(amount.value()) && amount.value() >= smallest;
}

QString incomplete()
{
    return amountRefusal(-1); // what a missing or negative amount is told
}

} // namespace

QString typedValueSource(const QString &catalogueValue)
{
    static const QString typed = QStringLiteral("valore del tecnico");
    return catalogueValue.isEmpty() ? typed
                                    : QStringLiteral("%1; catalogo: %2").arg(typed, catalogueValue);
}

QString listSource(const QString &fileName, const QDate &date)
{
    return QStringLiteral("elenco «%1» del %2")
        .arg(fileName, date.toString(QStringLiteral("dd/MM/yyyy")));
}

bool isTypedValueSource(const QString &source)
{
    return source.startsWith(typedValueSource());
}

QString newEntryRefusal(const MaterialEntry &e)
{
    if (const QString why = ::entryRefusal(e); !why.isEmpty())
        return why;
    if (e.name.trimmed().isEmpty() || !atLeast(e.valuePerKg, kSmallestEntryValue) ||
        !atLeast(e.quantity, 0) || !e.psi.isNumber() || !e.m.isNumber())
        return incomplete();
    return QString();
}

QString newEntryRefusal(const FurnishingEntry &e)
{
    if (const QString why = ::entryRefusal(e); !why.isEmpty())
        return why;
    if (e.isGoodsOnly()) {
        if (e.goods.trimmed().isEmpty() || !atLeast(e.valuePerM3, kSmallestEntryValue) ||
            !e.volume.isNumber() || !e.packaging.isNumber())
            return incomplete();
        if (const QString why = volumeRefusal(e.volume.value()); !why.isEmpty())
            return why;
        return QString();
    }
    if (e.furnishing.trimmed().isEmpty() || !atLeast(e.valuePerPiece, kSmallestEntryValue) ||
        !e.pieces.isNumber())
        return incomplete();
    return piecesRefusal(e.pieces.value());
}

double proposedM(bool cellulosic)
{
    return cellulosic ? 0.8 : 1.0;
}

} // namespace CalculationRules

namespace {

bool allNumbers(std::initializer_list<const Amount *> fields)
{
    for (const Amount *field : fields) {
        if (!field->isNumber())
            return false;
    }
    return true;
}

bool allEmptyTexts(std::initializer_list<const Amount *> fields)
{
    for (const Amount *field : fields) {
        if (!field->isEmptyText())
            return false;
    }
    return true;
}

EntriesSum finite(EntriesSum sum)
{
    if (!std::isfinite(sum.total)) {
        sum.total = 0;
        sum.overflowed = true;
    }
    return sum;
}

} // namespace

double entryFireLoad(const MaterialEntry &e)
{
    if (!allNumbers({&e.valuePerKg, &e.quantity, &e.psi, &e.m}))
        return 0;
    return e.m.value() * (e.psi.value() * (e.quantity.value() * e.valuePerKg.value()));
}

double entryFireLoad(const FurnishingEntry &e)
{
    double load = 0;
    if (allNumbers({&e.valuePerPiece, &e.pieces}))
        load += e.valuePerPiece.value() * e.pieces.value();
    if (allNumbers({&e.valuePerM3, &e.volume, &e.packaging}))
        load += e.valuePerM3.value() * e.volume.value() * e.packaging.value();
    return load;
}

namespace {

// The last list of each kind that was summed, with its sum. A list that still shares its data
// with it holds the same entries, since a change to either copy detaches it: the screens, pages
// and lists that show q_f at every keystroke do not walk thousands of entries again and again.
template <class Entry> struct LastSum {
    QVector<Entry> entries;
    EntriesSum sum;
};

template <class Entry, class Walk> EntriesSum remembered(const QVector<Entry> &entries, Walk walk)
{
    thread_local std::optional<LastSum<Entry>> last;
    if (last && last->entries.size() == entries.size() &&
        last->entries.constData() == entries.constData())
        return last->sum;
    const EntriesSum sum = finite(walk(entries));
    last = LastSum<Entry>{entries, sum};
    return sum;
}

} // namespace

EntriesSum materialsSum(const QVector<MaterialEntry> &entries)
{
    return remembered(entries, [](const QVector<MaterialEntry> &list) {
        EntriesSum sum;
        for (const MaterialEntry &e : list) {
            sum.total += entryFireLoad(e);
            if (allEmptyTexts({&e.valuePerKg, &e.quantity, &e.psi, &e.m}))
                ++sum.emptyLines;
        }
        return sum;
    });
}

EntriesSum furnishingsSum(const QVector<FurnishingEntry> &entries)
{
    return remembered(entries, [](const QVector<FurnishingEntry> &list) {
        EntriesSum sum;
        for (const FurnishingEntry &e : list) {
            sum.total += entryFireLoad(e);
            if (allEmptyTexts({&e.valuePerM3, &e.volume, &e.valuePerPiece, &e.pieces}))
                ++sum.emptyLines;
        }
        return sum;
    });
}

EntriesSum entriesSum(const Calculation &c)
{
    switch (c.method) {
    case Method::Materials:
        return materialsSum(c.materials);
    case Method::Furnishings:
        return furnishingsSum(c.furnishings);
    case Method::Activity:
    case Method::None:
        break;
    }
    return {};
}

bool staysFinite(const EntriesSum &sum, double entryLoad)
{
    return std::isfinite(entryLoad) && std::isfinite(sum.total + entryLoad);
}

namespace {

// q_f as computed, before the rule on its size: nothing while an input is missing; a value that
// is no finite number when the sum or the product overflowed.
std::optional<double> computedFireLoad(const Calculation &c)
{
    if (c.method == Method::Activity) {
        const Activity &a = c.activity;
        if (!a.nominalLoad || !a.fractile ||
            *a.nominalLoad <= CalculationRules::kSmallestNominalLoad || *a.fractile <= 0)
            return std::nullopt;
        return *a.fractile * *a.nominalLoad;
    }
    if (c.method == Method::Materials || c.method == Method::Furnishings) {
        if (!c.area || !(*c.area > 0))
            return std::nullopt;
        const EntriesSum sum = entriesSum(c);
        if (sum.overflowed)
            return std::numeric_limits<double>::infinity();
        return sum.total / *c.area;
    }
    return std::nullopt;
}

bool withinLimit(double value)
{
    return std::isfinite(value) && value <= CalculationRules::kLargestFireLoad;
}

} // namespace

std::optional<double> fireLoad(const Calculation &c)
{
    const auto value = computedFireLoad(c);
    if (!value || !withinLimit(*value))
        return std::nullopt;
    return value;
}

bool fireLoadTooLarge(const Calculation &c)
{
    const auto value = computedFireLoad(c);
    return value && !withinLimit(*value);
}

const Regulation &regulationOf(const Calculation &c)
{
    return Regulation::forRule(c.rule);
}

std::optional<double> deltaQ1(const Calculation &c)
{
    const Regulation &regulation = regulationOf(c);
    if (c.areaClass && *c.areaClass >= 0 && *c.areaClass < regulation.areaClasses.size())
        return regulation.areaClasses.at(*c.areaClass).deltaQ1;
    return std::nullopt;
}

std::optional<double> deltaQ2(const Calculation &c)
{
    const Regulation &regulation = regulationOf(c);
    if (c.riskClass && *c.riskClass >= 0 && *c.riskClass < regulation.riskClasses.size())
        return regulation.riskClasses.at(*c.riskClass).deltaQ2;
    return std::nullopt;
}

double measureFactor(const Calculation &c, int measure)
{
    const Regulation &regulation = regulationOf(c);
    if (measure < 0 || measure >= regulation.measures.size() || !c.measures.contains(measure))
        return 1.0;
    return regulation.measures.at(measure).deltaN;
}

double deltaN(const Calculation &c)
{
    const Regulation &regulation = regulationOf(c);
    double product = 1.0;
    for (int i = 0; i < regulation.measures.size(); ++i)
        product *= measureFactor(c, i);
    // The product as a person reads it: no binary noise, and no digit rounded away.
    return ItalianNumbers::asRead(product);
}

bool measureAllowed(const Calculation &c, int measure)
{
    const Regulation &regulation = regulationOf(c);
    if (measure < 0 || measure >= regulation.measures.size())
        return false;
    const int excluded = regulation.measures.at(measure).excludes;
    if (excluded >= 0 && c.measures.contains(excluded))
        return false;
    if (const Regulation::MeasureGroup *group = regulation.exclusiveGroupOf(measure)) {
        for (int other : c.measures) {
            if (other != measure && group->contains(other))
                return false;
        }
    }
    return true;
}

std::optional<double> designFireLoad(double fireLoad, double deltaN, double deltaQ1, double deltaQ2)
{
    const double value = fireLoad * deltaN * deltaQ1 * deltaQ2;
    if (!withinLimit(value))
        return std::nullopt;
    return value;
}

std::optional<double> designFireLoad(const Calculation &c)
{
    const auto qf = fireLoad(c);
    const auto dq1 = deltaQ1(c);
    const auto dq2 = deltaQ2(c);
    if (!qf || !dq1 || !dq2)
        return std::nullopt;
    return designFireLoad(*qf, deltaN(c), *dq1, *dq2);
}

std::optional<Regulation::ResistanceClasses> resistanceClasses(const Calculation &c)
{
    const Regulation &regulation = regulationOf(c);
    if (const auto design = designFireLoad(c))
        return regulation.resistanceClassesFor(*design);
    return std::nullopt;
}

std::optional<double> naturalFireArea(const Calculation &c)
{
    if (c.area)
        return c.area;
    return c.naturalFire ? c.naturalFire->floorArea : std::nullopt;
}

QString naturalFireRefusal(const Calculation &c)
{
    if (!c.naturalFire)
        return QString();
    const auto design = designFireLoad(c);
    return NaturalFire::refusal(*c.naturalFire, naturalFireArea(c).value_or(0), design.value_or(0));
}

std::optional<NaturalFireResult> naturalFireOf(const Calculation &c)
{
    if (!c.naturalFire)
        return std::nullopt;
    const auto design = designFireLoad(c);
    const auto area = naturalFireArea(c);
    if (!area || !design)
        return std::nullopt;
    return NaturalFire::compute(*c.naturalFire, *area, *design);
}

std::optional<Regulation::ResistanceClasses> requiredClasses(const Calculation &c)
{
    auto classes = resistanceClasses(c);
    const Regulation::PerformanceLevel *level = performanceLevelOf(c);
    if (!classes || !level)
        return classes;
    if (!level->classRequired)
        return Regulation::ResistanceClasses{0, 0, false};
    if (level->classCap > 0 && classes->required) {
        classes->reference = std::min(classes->reference, level->classCap);
        classes->minimum = std::min(classes->minimum, level->classCap);
    }
    return classes;
}

const Regulation::PerformanceLevel *performanceLevelOf(const Calculation &c)
{
    const Regulation &regulation = regulationOf(c);
    return regulation.level(c.performanceLevel);
}

bool levelReasonMissing(const Calculation &c)
{
    const Regulation &regulation = regulationOf(c);
    const Regulation::PerformanceLevel *level = performanceLevelOf(c);
    return level && level->number != regulation.proposedLevel && c.levelReason.trimmed().isEmpty();
}

QString normalisedText(const QString &typed)
{
    QString text = typed;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.removeIf([](QChar ch) {
        return ch != QLatin1Char('\n') && ch != QLatin1Char('\t') &&
               (ch.category() == QChar::Other_Control);
    });
    return text;
}

QString clause(const QString &refusal)
{
    QString text = refusal;
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

QString notesRefusal(const QString &normalised)
{
    using CalculationRules::kLongestNotes;
    if (normalised.size() > kLongestNotes)
        return QStringLiteral("Le note e ipotesi sono troppo lunghe: al massimo %1 caratteri.")
            .arg(ItalianNumbers::toGroupedText(kLongestNotes));
    if (!normalised.isValidUtf16())
        return QStringLiteral("Le note e ipotesi contengono caratteri non validi.");
    return QString();
}

Calculation essentials(const Calculation &c)
{
    Calculation kept = c;
    if (c.method != Method::Materials)
        kept.materials.clear();
    if (c.method != Method::Furnishings)
        kept.furnishings.clear();
    if (c.method != Method::Activity)
        kept.activity = Activity();
    return kept;
}

namespace {

// The first refusal of the numbers present among `fields`, each with its rule.
QString firstRefusal(std::initializer_list<std::pair<const Amount *, QString (*)(double)>> fields)
{
    for (const auto &[amount, rule] : fields) {
        if (amount->isNumber()) {
            if (QString why = rule(amount->value()); !why.isEmpty())
                return why;
        }
    }
    return QString();
}

} // namespace

QString entryRefusal(const MaterialEntry &e)
{
    using namespace CalculationRules;
    return firstRefusal({{&e.valuePerKg, amountRefusal},
                         {&e.quantity, amountRefusal},
                         {&e.psi, psiRefusal},
                         {&e.m, mRefusal}});
}

QString entryRefusal(const FurnishingEntry &e)
{
    using namespace CalculationRules;
    return firstRefusal({{&e.valuePerPiece, amountRefusal},
                         {&e.pieces, amountRefusal},
                         {&e.valuePerM3, amountRefusal},
                         {&e.volume, amountRefusal},
                         {&e.packaging, packagingRefusal}});
}

QString impossibility(const Calculation &c)
{
    const Regulation &regulation = regulationOf(c);
    using namespace CalculationRules;
    QStringList reasons;
    if (!RuleRegistry::instance().find(c.rule))
        reasons << QStringLiteral("la normativa applicata non è tra quelle di Ardivo");
    if (c.method != Method::Activity && c.method != Method::Furnishings &&
        c.method != Method::Materials)
        reasons << QStringLiteral("il metodo di calcolo non è riconosciuto");
    if (c.area && !areaRefusal(*c.area).isEmpty())
        reasons << QStringLiteral("la superficie non è un numero valido");
    if (c.activity.nominalLoad && !nominalLoadRefusal(*c.activity.nominalLoad).isEmpty())
        reasons << QStringLiteral("il carico d'incendio dell'attività non è un numero valido");
    if (c.activity.fractile && !fractileRefusal(*c.activity.fractile).isEmpty())
        reasons << QStringLiteral("il frattile dell'attività non è valido (%1)")
                       .arg(clause(fractileRefusal(*c.activity.fractile)));
    QStringList names{c.activity.name};
    for (const MaterialEntry &e : c.materials)
        names << e.name;
    for (const FurnishingEntry &e : c.furnishings)
        names << e.furnishing << e.goods;
    for (const QString &name : names) {
        if (const QString why = nameRefusal(normalisedName(name)); !why.isEmpty()) {
            reasons << QStringLiteral("un nome non è valido (%1)").arg(clause(why));
            break;
        }
    }
    for (const MaterialEntry &e : c.materials) {
        if (const QString why = entryRefusal(e); !why.isEmpty()) {
            reasons << QStringLiteral("un materiale ha valori non validi (%1)").arg(clause(why));
            break;
        }
    }
    for (const FurnishingEntry &e : c.furnishings) {
        if (const QString why = entryRefusal(e); !why.isEmpty()) {
            reasons << QStringLiteral("un arredo o una merce ha valori non validi (%1)")
                           .arg(clause(why));
            break;
        }
    }
    if (c.areaClass && (*c.areaClass < 0 || *c.areaClass >= regulation.areaClasses.size()))
        reasons << QStringLiteral("la classe di superficie non esiste");
    if (c.riskClass && (*c.riskClass < 0 || *c.riskClass >= regulation.riskClasses.size()))
        reasons << QStringLiteral("la classe di rischio non è compresa tra I e III");
    for (int measure : c.measures) {
        if (measure < 0 || measure >= regulation.measures.size()) {
            reasons << QStringLiteral("una misura di protezione non esiste");
            break;
        }
        if (!measureAllowed(c, measure)) {
            reasons << QStringLiteral("sono indicate due misure di protezione che si escludono");
            break;
        }
    }
    // Only what the enclosure itself breaks: one that no longer fits a changed calculation (a
    // smaller A_t than a new area) is kept, and simply gives no curve until it is mended.
    if (c.naturalFire) {
        if (const QString why = NaturalFire::inputRefusal(*c.naturalFire, std::nullopt);
            !why.isEmpty())
            reasons << QStringLiteral("l'incendio naturale non è valido (%1)").arg(clause(why));
    }
    if (regulation.performanceLevels.isEmpty()) {
        if (c.performanceLevel != regulation.proposedLevel || !c.levelReason.isEmpty())
            reasons << QStringLiteral("la normativa applicata non prevede la scelta del livello "
                                      "di prestazione");
    } else if (!regulation.level(c.performanceLevel)) {
        reasons << QStringLiteral("il livello di prestazione non esiste");
    }
    if (const QString why = notesRefusal(c.notes); !why.isEmpty())
        reasons << clause(why);
    if (reasons.isEmpty()) {
        // No result is better than a wrong one: a file cannot carry what the screens refuse.
        const auto qf = fireLoad(c);
        const auto dq1 = deltaQ1(c);
        const auto dq2 = deltaQ2(c);
        if (fireLoadTooLarge(c) ||
            (qf && dq1 && dq2 && !designFireLoad(*qf, deltaN(c), *dq1, *dq2)))
            reasons << QStringLiteral("il carico d'incendio risulta troppo grande per essere "
                                      "calcolato");
    }
    return reasons.join(QStringLiteral("; "));
}
