#include "ui/app/startup.h"

#include "ui/app/avvio.h"
#include "ui/app/messageboxprompt.h"
#include "ui/project/projectactions.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installItalianTranslations()
{
    static QTranslator *installed = nullptr;
    if (installed)
        return true;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}

void startArdivo()
{
    QApplication::setApplicationName(QStringLiteral("Ardivo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ardivo"));
    QApplication::setWindowIcon(QIcon(ardivoPicture(64)));
    QApplication::setDesktopFileName(QStringLiteral("org.ardivo.Ardivo"));
    installItalianTranslations();
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
