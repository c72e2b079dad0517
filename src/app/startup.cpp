#include "startup.h"

#include "avvio.h"

#include <QApplication>
#include <QIcon>

void startArdivo()
{
    QApplication::setApplicationName(QStringLiteral("Ardivo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ardivo"));
    QApplication::setWindowIcon(QIcon(ardivoPicture(64)));
    QApplication::setDesktopFileName(QStringLiteral("org.ardivo.Ardivo"));
    Screens::get<Avvio>().show();
}
