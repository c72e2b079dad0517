#pragma once

#include "ui/kit/navigation.h"

class ReportPage;

// The program's screen routing (see ui/kit/navigation.h), which knows every screen. Every screen
// is handed it when Screens::get() creates it.

// The screen named `which`, created on this first reference.
QWidget &namedScreen(ScreenRouter::Screen which);
// The screen that determines q_f by `method`, and the report page of that method (each created
// on this first reference); nothing for no method.
QWidget *methodScreen(Method method);
ReportPage *reportPageFor(Method method);

// The project window, in front and active; the current screen stays usable beside it.
void showProjectWindow();
// Hides every calculation screen and brings `screen` forward: one calculation screen at a time
// stands beside the project window.
void showAlone(QWidget &screen);
