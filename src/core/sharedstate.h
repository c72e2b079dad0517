#pragma once

#include <QString>
#include <array>


// The calculation state that every screen shares. All values start at 0 or empty when the
// program starts; only the routines that own a value change it.
namespace Module1 {

// How q_f is determined: 1 activity catalogue, 2 furnishings and stored goods, 3 materials.
inline int MetodoCalcolo = 0;

inline double DensCarInc = 0;   // q_f, MJ/m², full precision
inline double FattDim = 0;      // delta q1; 0 while no area class is chosen
inline double FattUtilizzo = 0; // delta q2; 0 while no risk class is chosen
// delta n1 ... delta n9 (FattProt1 ... FattProt9), index 0 for the first measure.
inline std::array<double, 9> FattProt{};
inline double ValoreFormula = 0; // first delta n, then q_f,d

inline double SommaMateriali = 0;   // MJ summed over the materials working table
inline double SommaArredoMerci = 0; // MJ summed over the furnishings working table
inline double FattImballo = 1.0;    // packaging factor of the next stored-goods row

inline qint64 AttivitaScelta = 0; // idAttivita of the activity last chosen
inline double ValoreFrattile = 0; // nominal fire load of the activity times the fractile

// Working table that the next sum, grid viewer or list report uses; empty until a screen names it.
inline QString NomeTabella;
inline QString NomeTabMateriali;

// Running key of the rows added to the report tables; never reset during a run.
inline qint64 ContaStampa = 0;

// The area of the furnishings screen as typed when q_f went forward; the furnishings list shows it.
inline QString AreaComp;

// Back to the values of a program that has just started.
void resetSharedState();

} // namespace Module1

// Sets the nine protection factors to 1 (start screen's Avanti).
void InizFattProt();
