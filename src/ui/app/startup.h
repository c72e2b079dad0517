#pragma once

// Names the application and shows the start screen; the caller then runs the event loop.
void startArdivo();

// Loads Qt's own Italian texts, so that the standard buttons and the file boxes read "Sì",
// "Annulla", "Salva", "Apri" whatever the system's language. False when they are not installed
// (the boxes then speak English).
bool installItalianTranslations();
