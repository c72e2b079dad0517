#pragma once

#include "core/calculation.h"

class QWidget;
class ReportPage;

// The screen that determines q_f by `method`, and the report page of that method (each created
// on this first reference); nothing for no method.
QWidget *methodScreen(Method method);
ReportPage *reportPageFor(Method method);
