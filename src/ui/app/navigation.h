#pragma once

#include "core/calculation.h"

class QWidget;
class ReportPage;

// Installs the navigation that knows every screen of the program (see ui/kit/navigation.h):
// the start-up does it, and so does every test that shows a screen.
void installNavigation();

// The screen that determines q_f by `method`, and the report page of that method (each created
// on this first reference); nothing for no method.
QWidget *methodScreen(Method method);
ReportPage *reportPageFor(Method method);
