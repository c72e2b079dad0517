#pragma once

// Names the application and shows the start screen; the caller then runs the event loop. False
// when another copy of Ardivo runs on the same data folder: the project file of the command line
// has been handed to it (or the user told why not), and the program ends at once.
bool startArdivo();

// Loads Qt's own Italian texts, so that the standard buttons and the file boxes read "Sì",
// "Annulla", "Salva", "Apri" whatever the system's language. False when they are not installed
// (the boxes then speak English).
bool installItalianTranslations();
