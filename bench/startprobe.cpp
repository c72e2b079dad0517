#include "idleprobe.h"
#include "ui/app/screens.h"
#include "ui/app/startup.h"
#include "ui/start/avvio.h"

#include <QApplication>

// Starts exactly as the program does, then reports when the start screen is shown and idle.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!startArdivo())
        return 1;
    reportWhenIdle(&Screens::get<Avvio>());
    return app.exec();
}
