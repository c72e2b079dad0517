#pragma once

#include <QString>

// The state of the working-table routines that every screen shares. The calculation itself is
// the current CalculationSession's.
namespace Module1 {

// Working table that the next sum, grid viewer or list report uses; empty until a screen names it.
inline QString NomeTabella;
inline QString NomeTabMateriali;

// Running key of the rows added to the report tables; never reset during a run.
inline qint64 ContaStampa = 0;

// Back to the state of a program that has just started: no calculation under way, a new project.
void resetSharedState();

} // namespace Module1

// Sets the protection factors to 1: no measure is present (start screen's Avanti).
void InizFattProt();
