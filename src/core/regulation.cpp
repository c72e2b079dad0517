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
