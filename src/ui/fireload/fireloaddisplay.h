#pragma once

// q_f of the materials and furnishings methods, from the working tables' sums, shown on their
// screens.
namespace Module1 {

// q_f of the furnishings method into DensCarInc and onto the furnishings screen.
void MostraDensitaArredo();
// After the furnishings grid viewer closes: sum, show, and the integer part of q_f.
void AggiornaArredo();
// q_f of the materials method into DensCarInc and onto the materials screen.
void MostraDensitaMateriali();
// After the materials grid viewer closes: sum, show, and q_f with its decimals.
void AggiornaMateriali();

} // namespace Module1
