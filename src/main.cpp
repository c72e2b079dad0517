#include "ui/app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!startArdivo())
        return 0; // another copy runs, and has the project file
    return app.exec();
}
