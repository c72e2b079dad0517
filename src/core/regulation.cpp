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

const Regulation &Regulation::decree2007()
{
    static const Regulation regulation{
        QStringLiteral("D.M. 9 marzo 2007"),
        QStringLiteral("III"),
        QStringLiteral("Prestazioni di resistenza al fuoco delle costruzioni"),
        {QStringLiteral("tabella 1"), QStringLiteral("tabella 2"), QStringLiteral("tabella 3"),
         QStringLiteral("tabella 4")},
        {
            {0, QStringLiteral("da 0 a 500"), QStringLiteral("da 0 a 500"), 1.0},
            {500, QStringLiteral("da 500 a 1000"), QStringLiteral("da 500 a 1000"), 1.2},
            {1000, QStringLiteral("da 1000 a 2.500"), QStringLiteral("da 1000 a 2.500"), 1.4},
            {2500, QStringLiteral("da 2.500 a 5.000"), QStringLiteral("da 2500 a 5000"), 1.6},
            {5000, QStringLiteral("da 5.000 a 10.000"), QStringLiteral("da 5000 a 10.000"), 1.8},
            {10000, QStringLiteral("oltre 10.000"), QStringLiteral("oltre 10.000"), 2.0},
        },
        {
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
        },
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
    };
    return regulation;
}
