#pragma once

#include "core/project.h"

class QWidget;

// What the user does with the open project: the screens reach these commands through
// ProjectCommands, the start-up and the end of the program call them directly. Each reports its
// own failure in a message.
namespace ProjectActions {

inline const QString kFileFilter = QStringLiteral("Progetti Ardivo (*.ardivo)");

// When the project has unsaved changes, asks whether to save them: true when the caller may go
// on (saved, or the user chose not to), false when the user cancelled or the save failed.
bool settleUnsavedChanges();
void newProject();
// Asks for a project file and opens it; the open project stays when anything goes wrong.
void openProject();
bool openProjectFile(const QString &path);
// Saves to the project's file, or asks for one first.
bool saveProject();
bool saveProjectAs();

// The calculation under way, stored in the project under a name the user gives.
void saveCurrentCompartment();
// Starts a saved compartment's calculation and loads it, so that every screen shows it as if the
// user had typed it, and shows its report page.
void openCompartment(const Compartment &compartment);
// The method chooser for a new calculation, as "Nuova analisi" shows it.
void newCompartment();

// One PDF (or ODT): the summary, then each compartment's report page, its itemised list (for
// the materials and furnishings methods) and its working. The calculation under way is left as
// it is.
void exportProjectPdf();
void exportProjectOdt();

} // namespace ProjectActions
