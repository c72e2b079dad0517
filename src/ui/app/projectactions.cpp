#include "ui/app/projectactions.h"

#include "core/calculationsession.h"
#include "core/projectdocument.h"
#include "core/userprompt.h"
#include "data/entrystore.h"
#include "data/projectfile.h"
#include "ui/app/navigation.h"
#include "ui/reports/reportprinter.h"
#include "ui/reports/stampapages.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace ProjectActions {
namespace {

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool writeTo(const QString &path)
{
    ProjectDocument &document = ProjectDocument::current();
    const auto saved = ProjectFile::save(path, document.project());
    if (saved.ok()) {
        document.saved(path);
        return true;
    }
    const QString text = QStringLiteral("Impossibile salvare il progetto\n%1\n%2.")
                             .arg(native(path), saved.error.left(1).toUpper() + saved.error.mid(1));
    if (saved.readOnly) {
        if (UserPrompt::current().confirm(text + QStringLiteral("\n\nSalvarlo con un altro nome?"),
                                          kAppTitle, UserPrompt::Icon::Warning))
            return saveProjectAs();
        return false;
    }
    UserPrompt::current().message(text, kAppTitle, UserPrompt::Icon::Warning);
    return false;
}

} // namespace

bool settleUnsavedChanges()
{
    const ProjectDocument &document = ProjectDocument::current();
    if (!document.isModified())
        return true;
    const QString name = document.project().identity.name.isEmpty()
                             ? document.displayName()
                             : document.project().identity.name;
    switch (UserPrompt::current().ask(
        QStringLiteral("Il progetto «%1» contiene modifiche non salvate.\nSalvarle?").arg(name),
        kAppTitle)) {
    case UserPrompt::Answer::Yes:
        return saveProject();
    case UserPrompt::Answer::No:
        return true;
    case UserPrompt::Answer::Cancel:
        break;
    }
    return false;
}

void newProject()
{
    if (settleUnsavedChanges())
        ProjectDocument::current().startNew();
}

void openProject()
{
    if (!settleUnsavedChanges())
        return;
    const QString path =
        UserPrompt::current().openFileName(kAppTitle, documentsFolder(), kFileFilter);
    if (!path.isEmpty())
        openProjectFile(path);
}

bool openProjectFile(const QString &path)
{
    const auto read = ProjectFile::load(path);
    if (!read.project) {
        UserPrompt::current().message(QStringLiteral("Impossibile aprire il progetto\n%1\n%2.")
                                          .arg(native(QFileInfo(path).absoluteFilePath()),
                                               read.error.left(1).toUpper() + read.error.mid(1)),
                                      kAppTitle, UserPrompt::Icon::Warning);
        return false;
    }
    ProjectDocument::current().opened(*read.project, QFileInfo(path).absoluteFilePath());
    return true;
}

bool saveProject()
{
    const QString path = ProjectDocument::current().filePath();
    return path.isEmpty() ? saveProjectAs() : writeTo(path);
}

bool saveProjectAs()
{
    const ProjectDocument &document = ProjectDocument::current();
    QString proposed = document.filePath();
    if (proposed.isEmpty()) {
        QString name = document.project().identity.name.trimmed();
        name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
        proposed = QDir(documentsFolder())
                       .filePath((name.isEmpty() ? QStringLiteral("Progetto") : name) +
                                 QStringLiteral(".") + ProjectFile::kSuffix);
    }
    QString path = UserPrompt::current().saveFileName(kAppTitle, proposed, kFileFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(ProjectFile::kSuffix, Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".") + ProjectFile::kSuffix;
    return writeTo(path);
}

void saveCurrentCompartment()
{
    CalculationSession &session = CalculationSession::current();
    // Only a calculation by a method can be stored, and opened again.
    if (session.calculation().method == Method::None) {
        showMessage(QStringLiteral("Non c'è alcun calcolo da salvare nel progetto."));
        return;
    }
    const QString name = CalculationRules::normalisedName(UserPrompt::current().input(
        QStringLiteral("Nome del compartimento:"), kAppTitle, session.compartmentName()));
    if (name.isEmpty())
        return;
    if (const QString why = CalculationRules::nameRefusal(name); !why.isEmpty()) {
        showMessage(why);
        return;
    }
    ProjectDocument &document = ProjectDocument::current();
    const bool replacing = document.project().indexOf(name).has_value();
    if (!replacing && document.project().compartments.size() >= ProjectFile::kMostCompartments) {
        showMessage(QStringLiteral("Un progetto può contenere al massimo %1 compartimenti.")
                        .arg(ProjectFile::kMostCompartments));
        return;
    }
    if (replacing &&
        !UserPrompt::current().confirm(
            QStringLiteral("Il progetto contiene già il compartimento «%1».\nSostituirlo?")
                .arg(name),
            kAppTitle, UserPrompt::Icon::Warning))
        return;
    const Calculation &calculation = session.calculation();
    if (calculation.materials.size() > ProjectFile::kMostEntries ||
        calculation.furnishings.size() > ProjectFile::kMostEntries) {
        showMessage(QStringLiteral("Un compartimento del progetto può contenere al massimo %1 "
                                   "voci.")
                        .arg(ProjectFile::kMostEntries));
        return;
    }
    // What a file could not hold is not stored: the compartment must open again.
    const Calculation kept = essentials(calculation);
    if (const QString why = impossibility(kept); !why.isEmpty()) {
        showMessage(QStringLiteral("Il calcolo non può essere salvato nel progetto: %1.").arg(why));
        return;
    }
    // A text the reader refuses (a source too long, a control character) would lock the whole
    // project out.
    if (const QString why = ProjectFile::compartmentRefusal({name, kept}); !why.isEmpty()) {
        showMessage(QStringLiteral("Il calcolo non può essere salvato nel progetto: %1.").arg(why));
        return;
    }
    document.storeCompartment({name, kept});
    session.setCompartmentName(name);
}

void openCompartment(const Compartment &compartment)
{
    const Calculation &calculation = compartment.calculation;
    CalculationSession &session = CalculationSession::current();
    if (calculation.method == Method::None)
        return;
    // The chooser and the method's screen show the inputs of the calculation loaded: they must
    // exist before it is.
    namedScreen(ScreenRouter::Screen::MethodChooser);
    methodScreen(calculation.method);
    // The entries go to their mirrors and the whole calculation to the session, in one change.
    if (!EntryStore::load(session, calculation, compartment.name))
        return;
    showAlone(*reportPageFor(calculation.method));
}

void newCompartment()
{
    CalculationSession &session = CalculationSession::current();
    EntryStore::clearMaterials(session);
    EntryStore::clearFurnishings(session);
    showAlone(namedScreen(ScreenRouter::Screen::MethodChooser));
}

namespace {
void exportProject(ReportPrinter::Format format)
{
    // The document is built from the saved compartments: the calculation under way is left
    // as it is.
    ReportPrinter::exportWithDialog(format, ProjectDocument::current().project().identity.name,
                                    [] { return ReportPrinter::projectDocument(); });
}
} // namespace

void exportProjectPdf()
{
    exportProject(ReportPrinter::Format::Pdf);
}

void exportProjectOdt()
{
    exportProject(ReportPrinter::Format::Odt);
}

} // namespace ProjectActions
