#include "ui/app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    startArdivo();
    return app.exec();
}
