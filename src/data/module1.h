#pragma once

// Connection, sums of the working tables and q_f on the materials and furnishings screens.
namespace Module1 {

// Opens the connection to the reference database (created and seeded on first need).
bool ApriConnessione();
// Registers the connection without opening the file.
void CreaOggettiDB();

// Sum of tblAppoggio into SommaArredoMerci (DensCarInc back to 0).
void CalcoloCarIncArredo();
// q_f of the furnishings method into DensCarInc and onto the furnishings screen.
void MostraDensitaArredo();
// After the furnishings grid viewer closes: sum, show, and the integer part of q_f.
void AggiornaArredo();

// Sum of the materials working table into SommaMateriali (DensCarInc back to 0).
void RicalcoloMateriali();
// q_f of the materials method into DensCarInc and onto the materials screen.
void MostraDensitaMateriali();
// After the materials grid viewer closes: sum, show, and q_f with its decimals.
void AggiornaMateriali();

} // namespace Module1
