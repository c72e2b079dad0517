#include "ui/app/startup.h"

#include "ui/app/avvio.h"
#include "ui/app/messageboxprompt.h"
#include "ui/project/projectactions.h"

#include <QApplication>
#include <QIcon>

void startArdivo()
{
    QApplication::setApplicationName(QStringLiteral("Ardivo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ardivo"));
    QApplication::setWindowIcon(QIcon(ardivoPicture(64)));
    QApplication::setDesktopFileName(QStringLiteral("org.ardivo.Ardivo"));
    UserPrompt::install(&MessageBoxPrompt::instance());
    setQuitGuard(&ProjectActions::settleUnsavedChanges);
    Screens::get<Avvio>().show();
    // "ardivo FILE.ardivo" opens the project beside the start screen.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty() && !arguments.first().startsWith(QLatin1Char('-'))) {
        ProjectActions::openProjectFile(arguments.first());
        ProjectActions::showProjectWindow();
    }
}
