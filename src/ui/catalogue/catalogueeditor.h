#pragma once

#include "ui/catalogue/catalogcombo.h"

// The add and delete buttons of the "Personalizza il database" frames: the user adds an entry
// through two input boxes, or deletes the entry shown in the chooser after a confirmation.
namespace CatalogueEditor {

void add(Catalogue catalogue, CatalogCombo &chooser);
void remove(Catalogue catalogue, CatalogCombo &chooser);

} // namespace CatalogueEditor
