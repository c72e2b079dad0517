#include "ui/app/startup.h"

#include "ui/app/avvio.h"
#include "ui/app/messageboxprompt.h"

#include <QApplication>
#include <QIcon>

void startArdivo()
{
    QApplication::setApplicationName(QStringLiteral("Ardivo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ardivo"));
    QApplication::setWindowIcon(QIcon(ardivoPicture(64)));
    QApplication::setDesktopFileName(QStringLiteral("org.ardivo.Ardivo"));
    UserPrompt::install(&MessageBoxPrompt::instance());
    Screens::get<Avvio>().show();
}
