#include "ui/app/startup.h"

#include "core/regulation.h"
#include "core/userprompt.h"
#include "data/database.h"
#include "ui/app/navigation.h"
#include "ui/app/projectactions.h"
#include "ui/app/screens.h"
#include "ui/app/singleinstance.h"
#include "ui/kit/messageboxprompt.h"
#include "ui/start/avvio.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>

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

namespace {

// The copy that runs comes forward; a project file handed to it is opened as "Apri" opens one.
void receiveHandedOver(const QString &file)
{
    if (!file.isEmpty() && ProjectActions::settleUnsavedChanges() &&
        ProjectActions::openProjectFile(file)) {
        showProjectWindow();
        return;
    }
    if (QWidget *window = QApplication::activeWindow()) {
        window->raise();
        window->activateWindow();
        return;
    }
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->isWindow()) {
            window->raise();
            window->activateWindow();
            return;
        }
    }
}

} // namespace

bool startArdivo()
{
#ifdef SIGXFSZ
    // Beyond a file-size limit a write fails with an error the saves report, instead of ending
    // the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication::setApplicationName(QStringLiteral("Ardivo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ardivo"));
    QApplication::setWindowIcon(QIcon(ardivoPicture(64)));
    QApplication::setDesktopFileName(QStringLiteral("org.ardivo.Ardivo"));
    installItalianTranslations();
    UserPrompt::install(&MessageBoxPrompt::instance());

    // "ardivo FILE.ardivo" opens the project beside the start screen, or in the copy that runs.
    const QStringList arguments = QApplication::arguments().mid(1);
    const QString file = !arguments.isEmpty() && !arguments.first().startsWith(QLatin1Char('-'))
                             ? QFileInfo(arguments.first()).absoluteFilePath()
                             : QString();
    auto *instance =
        new SingleInstance(QFileInfo(Database::instance().filePath()).absolutePath(), qApp);
    if (!instance->claim()) {
        if (!instance->handOver(file))
            showMessage(QStringLiteral("Ardivo è già aperto con la stessa cartella dei dati, ma "
                                       "non risponde. Chiudere l'altra finestra di Ardivo e "
                                       "riprovare."));
        return false;
    }
    // A rule whose file cannot stand is left out of the chooser, and told, as a damaged catalogue
    // is; without any rule there is nothing to compute.
    const RuleRegistry &rules = RuleRegistry::instance();
    if (!rules.problems().isEmpty())
        showMessage(rules.problems() +
                    (rules.regulations().empty()
                         ? QStringLiteral("\n\nArdivo non può calcolare senza una normativa: "
                                          "reinstallare il programma.")
                         : QStringLiteral("\n\nLa normativa del file non sarà proposta finché "
                                          "il file non sarà ripristinato (reinstallare Ardivo).")));
    if (rules.regulations().empty())
        return false;

    QObject::connect(instance, &SingleInstance::fileHandedOver, qApp, &receiveHandedOver);

    setQuitGuard(&ProjectActions::settleUnsavedChanges);
    Screens::get<Avvio>().show();
    if (!file.isEmpty()) {
        ProjectActions::openProjectFile(file);
        showProjectWindow();
    }
    // This copy works, but a later start cannot find it and would open a second copy.
    if (const QString why = instance->listenError(); !why.isEmpty())
        showMessage(QStringLiteral("Ardivo non può ricevere i progetti aperti mentre è in "
                                   "esecuzione (%1).\nPer aprire un altro progetto usare "
                                   "«Apri» in questa finestra.")
                        .arg(why));
    return true;
}
