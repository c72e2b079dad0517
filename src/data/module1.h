#pragma once

// Connection and sums of the working tables.
namespace Module1 {

// Opens the connection to the reference database (created and seeded on first need).
bool ApriConnessione();
// Registers the connection without opening the file.
void CreaOggettiDB();

// Sum of tblAppoggio into SommaArredoMerci (DensCarInc back to 0).
void CalcoloCarIncArredo();

// Sum of the materials working table into SommaMateriali (DensCarInc back to 0).
void RicalcoloMateriali();

} // namespace Module1
