#include "core/regulation.h"

#include "core/italiannumbers.h"

#include <cmath>

std::optional<int> Regulation::areaClassFor(double area) const
{
    if (!std::isfinite(area) || area < 0 || areaClasses.isEmpty())
        return std::nullopt;
    int index = 0;
    while (index + 1 < areaClasses.size() && area >= areaClasses.at(index + 1).from)
        ++index;
    return index;
}

Regulation::ResistanceClasses Regulation::resistanceClassesFor(double designLoad) const
{
    const double value = ItalianNumbers::asRead(designLoad);
    for (const ClassBand &band : classBands) {
        if (!(value > band.upTo))
            return band.classes;
    }
    return beyondLastBand;
}

namespace {

// The compartment-size classes: the Code keeps the decree's bands and factors.
QVector<Regulation::AreaClass> sharedAreaClasses()
{
    return {
        {0, QStringLiteral("da 0 a 500"), QStringLiteral("da 0 a 500"), 1.0},
        {500, QStringLiteral("da 500 a 1.000"), QStringLiteral("da 500 a 1.000"), 1.2},
        {1000, QStringLiteral("da 1.000 a 2.500"), QStringLiteral("da 1.000 a 2.500"), 1.4},
        {2500, QStringLiteral("da 2.500 a 5.000"), QStringLiteral("da 2.500 a 5.000"), 1.6},
        {5000, QStringLiteral("da 5.000 a 10.000"), QStringLiteral("da 5.000 a 10.000"), 1.8},
        {10000, QStringLiteral("oltre 10.000"), QStringLiteral("oltre 10.000"), 2.0},
    };
}

// The risk classes, with the same descriptions and factors under both rules.
QVector<Regulation::RiskClass> sharedRiskClasses()
{
    return {
        {QStringLiteral("I"),
         QStringLiteral("Aree che presentano un basso rischio di incendio in termini di "
                        "probabilità di innesco, velocità di propagazione delle fiamme e "
                        "possibilità di controllo dell'incendio da parte delle squadre di "
                        "emergenza"),
         0.8},
        {QStringLiteral("II"),
         QStringLiteral("Aree che presentano un moderato rischio di incendio come probabilità "
                        "di innesco, velocità di propagazione di un incendio e possibilità di "
                        "controllo dell'incendio stesso da parte delle squadre di emergenza"),
         1.0},
        {QStringLiteral("III"),
         QStringLiteral("Aree che presentano un alto rischio di incendio in termini di "
                        "probabilità di innesco, velocità di propagazione delle fiamme e "
                        "possibilità di controllo dell'incendio stesso da parte delle squadre "
                        "di emergenza"),
         1.2},
    };
}

} // namespace

QString Regulation::citation(const QString &table) const
{
    if (table.isEmpty())
        return QString();
    return QStringLiteral("%1, %2").arg(shortName, table);
}

const Regulation::MeasureGroup *Regulation::exclusiveGroupOf(int measure) const
{
    for (const MeasureGroup &group : measureGroups) {
        if (group.exclusive && group.contains(measure))
            return &group;
    }
    return nullptr;
}

const Regulation::PerformanceLevel *Regulation::level(int number) const
{
    for (const PerformanceLevel &candidate : performanceLevels) {
        if (candidate.number == number)
            return &candidate;
    }
    return nullptr;
}

std::optional<int> Regulation::levelNumber(const QString &wanted) const
{
    for (const PerformanceLevel &candidate : performanceLevels) {
        if (candidate.name == wanted)
            return candidate.number;
    }
    return std::nullopt;
}

QString Regulation::levelName(int number) const
{
    if (const PerformanceLevel *found = level(number))
        return found->name;
    return performanceLevel;
}

QString Regulation::headingFor(const QStringList &levelNames) const
{
    if (performanceLevels.isEmpty() || levelNames.isEmpty() || headingWithoutLevel.isEmpty())
        return heading;
    // Several levels are named where the compartments are listed, not in the heading.
    if (levelNames.size() > 1)
        return headingWithoutLevel;
    // "livello" alone, so that the heading still fits the page's one heading line.
    return QStringLiteral("%1, livello %2").arg(headingWithoutLevel, levelNames.first());
}

const Regulation &Regulation::decree2007()
{
    static const Regulation regulation{
        Rule::Decree2007,
        QStringLiteral("dm2007"),
        QStringLiteral("D.M. 9 marzo 2007"),
        QStringLiteral("D.M. 2007"),
        QStringLiteral("D.M. 9 marzo 2007 - Prestazioni di resistenza al fuoco delle costruzioni"),
        QStringLiteral("III"),
        {QStringLiteral("tabella 1"), QStringLiteral("tabella 2"), QStringLiteral("tabella 3"),
         QStringLiteral("tabella 4")},
        sharedAreaClasses(),
        sharedRiskClasses(),
        {
            {QStringLiteral("Sistemi automatici di estinzione ad acqua"), 0.6, 1},
            {QStringLiteral("Sistemi automatici di estinzione ad altro estinguente"), 0.8, 0},
            {QStringLiteral("Sistemi di evacuazione automatica di fumo e calore"), 0.9},
            {QStringLiteral(
                 "Sistemi automatici di rilevazione, segnalazione e allarme di incendio"),
             0.85},
            {QStringLiteral("Squadra aziendale dedicata alla lotta antincendio"), 0.9},
            {QStringLiteral("Rete idrica antincendio interna"), 0.9, 6},
            {QStringLiteral("Rete idrica antincendio interna e esterna"), 0.8, 5},
            {QStringLiteral("Percorsi protetti di accesso"), 0.9},
            {QStringLiteral("Accessibilità ai mezzi di soccorso dei Vigili del Fuoco"), 0.9},
        },
        {},
        {
            {100, {0, 0}},
            {200, {15, 0}},
            {300, {20, 0}},
            {450, {30, 15}},
            {600, {45, 20}},
            {900, {60, 30}},
            {1200, {90, 45}},
            {1800, {120, 60}},
            {2400, {180, 90}},
        },
        {240, 120},
        true,
        {},
        QStringLiteral("Classe di riferimento per il livello di prestazione III"),
    };
    return regulation;
}

namespace {

// The Code's performance levels: their meaning as table S.2-1 states it, and what each asks of
// the structure and of the designer (the conforming solutions of paragraph S.2.4).
QVector<Regulation::PerformanceLevel> fireCodeLevels()
{
    const QString tableClass = QStringLiteral("La classe di resistenza al fuoco della tabella "
                                              "S.2-3, secondo il carico d'incendio specifico "
                                              "di progetto");
    return {
        {1, QStringLiteral("I"),
         QStringLiteral("Assenza di conseguenze esterne per collasso strutturale"),
         QStringLiteral("Nessun requisito di capacità portante"),
         QStringLiteral("A cura del progettista, le condizioni della soluzione conforme "
                        "(paragrafo S.2.4.1): distanza di separazione su spazio a cielo libero "
                        "dalle altre opere da costruzione e dal confine dell'area su cui sorge "
                        "l'attività, determinata come indicato nel capitolo S.3, e limitata "
                        "propagazione dell'incendio verso di esse."),
         0, false, QStringLiteral("Nessun requisito di capacità portante")},
        {2, QStringLiteral("II"),
         QStringLiteral("Mantenimento dei requisiti di resistenza al fuoco per un periodo "
                        "sufficiente all'evacuazione degli occupanti in luogo sicuro "
                        "all'esterno della costruzione"),
         QStringLiteral("30, o la classe del livello III se inferiore"), QString(), 30, true,
         QString()},
        {3, QStringLiteral("III"),
         QStringLiteral("Mantenimento dei requisiti di resistenza al fuoco per un periodo "
                        "congruo con la durata dell'incendio"),
         tableClass, QString(), 0, true, QString()},
        {4, QStringLiteral("IV"),
         QStringLiteral("Requisiti di resistenza al fuoco tali da garantire, dopo la fine "
                        "dell'incendio, un limitato danneggiamento della costruzione"),
         tableClass,
         QStringLiteral("A cura del progettista: dopo la fine dell'incendio il danneggiamento "
                        "degli elementi di separazione del compartimento deve restare limitato."),
         0, true, QString()},
        {5, QStringLiteral("V"),
         QStringLiteral("Requisiti di resistenza al fuoco tali da garantire, dopo la fine "
                        "dell'incendio, il mantenimento della totale funzionalità della "
                        "costruzione stessa"),
         tableClass, QStringLiteral("A cura del progettista: requisiti specifici di progetto."), 0,
         true, QString()},
    };
}

} // namespace

// The tables and their sources are listed in resources/reference/SOURCES-S2.md.
const Regulation &Regulation::fireCode()
{
    static const Regulation regulation{
        Rule::FireCode,
        QStringLiteral("codice-s2"),
        QStringLiteral("Codice di prevenzione incendi (D.M. 3 agosto 2015 e s.m.i., cap. S.2)"),
        QStringLiteral("Codice S.2"),
        // As long as the decree's heading, so that it fits the page's heading line.
        QStringLiteral("Codice di prevenzione incendi - D.M. 3 agosto 2015 e s.m.i., cap. S.2"),
        QStringLiteral("III"),
        {
            QStringLiteral("tabella S.2-6"),
            QStringLiteral("tabella S.2-7"),
            QStringLiteral("tabella S.2-8"),
            QStringLiteral("tabella S.2-3"),
        },
        sharedAreaClasses(),
        sharedRiskClasses(),
        {
            {QStringLiteral("Rete idranti con protezione interna: controllo dell'incendio "
                            "(capitolo S.6) di livello di prestazione III"),
             0.9},
            {QStringLiteral("Rete idranti con protezione interna ed esterna: controllo "
                            "dell'incendio (capitolo S.6) di livello di prestazione III"),
             0.8},
            {QStringLiteral("Sistema automatico ad acqua o schiuma e rete idranti con protezione "
                            "interna: controllo dell'incendio (capitolo S.6) di livello di "
                            "prestazione IV"),
             0.54},
            {QStringLiteral("Altro sistema automatico e rete idranti con protezione interna: "
                            "controllo dell'incendio (capitolo S.6) di livello di prestazione IV"),
             0.72},
            {QStringLiteral("Sistema automatico ad acqua o schiuma e rete idranti con protezione "
                            "interna ed esterna: controllo dell'incendio (capitolo S.6) di livello "
                            "di prestazione IV"),
             0.48},
            {QStringLiteral("Altro sistema automatico e rete idranti con protezione interna ed "
                            "esterna: controllo dell'incendio (capitolo S.6) di livello di "
                            "prestazione IV"),
             0.64},
            {QStringLiteral("Gestione della sicurezza antincendio (capitolo S.5) di livello di "
                            "prestazione II con addetti presenti 24 ore su 24"),
             0.9},
            {QStringLiteral("Controllo di fumi e calore (capitolo S.8) di livello di prestazione "
                            "III"),
             0.9},
            {QStringLiteral("Rivelazione ed allarme (capitolo S.7) di livello di prestazione III"),
             0.85},
            {QStringLiteral("Operatività antincendio (capitolo S.9) di livello di prestazione IV"),
             0.81},
        },
        {
            {0, 6, true, QStringLiteral("Controllo dell'incendio (capitolo S.6)")},
            {6, 4, false, QStringLiteral("Altre misure antincendio")},
        },
        {
            {200, {0, 0, false}},
            {300, {15, 0}},
            {450, {30, 0}},
            {600, {45, 0}},
            {900, {60, 0}},
            {1200, {90, 0}},
            {1800, {120, 0}},
            {2400, {180, 0}},
        },
        {240, 0},
        false,
        QStringLiteral("Nessun requisito"),
        QStringLiteral("Classe minima di resistenza al fuoco"),
        fireCodeLevels(),
        3,
        QStringLiteral("tabella S.2-1"),
        QStringLiteral("tabella S.2-2"),
        QStringLiteral("Codice di prevenzione incendi - D.M. 3 agosto 2015 e s.m.i., cap. S.2"),
    };
    return regulation;
}

const Regulation &Regulation::forRule(Rule rule)
{
    return rule == Rule::FireCode ? fireCode() : decree2007();
}

QVector<Rule> Regulation::rules()
{
    return {Rule::Decree2007, Rule::FireCode};
}

std::optional<Rule> Regulation::ruleForKey(const QString &key)
{
    for (Rule rule : rules()) {
        if (forRule(rule).key == key)
            return rule;
    }
    return std::nullopt;
}
