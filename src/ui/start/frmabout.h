#pragma once

#include "ui/kit/screens.h"

#include <QStringList>

// "Informazioni su Ardivo": who made the program and what it is for, with a button that starts
// the desktop's system-information program where there is one.
class frmAbout : public SecondaryWindow
{
    Q_OBJECT
public:
    frmAbout();

    // The system-information programs looked for, in order.
    static QStringList systemInfoPrograms();
    // Starts the first one found; otherwise says that none is available.
    static void StartSysInfo();
};
