#include "ui/reports/reportprinter.h"

#include "core/calculationsession.h"
#include "core/projectdocument.h"
#include "core/userprompt.h"
#include "core/wholefile.h"
#include "output/reportlayout.h"
#include "output/reportodt.h"
#include "output/reportpdf.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace ReportPrinter {
namespace {

QString documentsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return folder;
}

QSettings settings()
{
    return QSettings(QStringLiteral("Ardivo"), QStringLiteral("Ardivo"));
}

const QString kExportFolder = QStringLiteral("esportazione/cartella");

// Where an export is proposed: beside the project file, else where the last one went, else in
// the user's documents.
QString exportFolder()
{
    const QString project = ProjectDocument::current().filePath();
    if (!project.isEmpty() && QFileInfo(project).absoluteDir().exists())
        return QFileInfo(project).absolutePath();
    const QString last = settings().value(kExportFolder).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return documentsFolder();
}

QString suffix(Format format)
{
    return format == Format::Pdf ? QStringLiteral("pdf") : QStringLiteral("odt");
}

// The document is made whole in memory and written in one step: it takes the file's place only
// once every byte is on the disk, and a full disk or a folder that cannot be written is told.
QString writeSafely(const QString &path, const std::function<bool(QIODevice *)> &write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(&buffer))
        return QStringLiteral("Impossibile comporre il documento");
    buffer.close();
    const QString reason = WholeFile::write(path, buffer.data());
    return reason.left(1).toUpper() + reason.mid(1);
}

} // namespace

ReportDocument sessionDocument(const CalculationSession &session, Method method)
{
    Calculation calculation = session.calculation();
    // A page prints the report of its own method, whatever the walk has reached.
    if (method != Method::None)
        calculation.method = method;
    return ReportDocuments::compartment(calculation, &ProjectDocument::current().project().identity,
                                        session.compartmentName());
}

ReportDocument summaryDocument()
{
    return ReportDocuments::summary(ProjectDocument::current().project());
}

ReportDocument projectDocument()
{
    return ReportDocuments::project(ProjectDocument::current().project());
}

QString fallbackPdfPath()
{
    const QString folder = documentsFolder();
    QDir().mkpath(folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return QDir(folder).filePath(QStringLiteral("Ardivo-relazione-%1.pdf").arg(stamp));
}

QString exportPdf(const ReportDocument &document, const QString &path)
{
    return writeSafely(path, [&](QIODevice *device) { return ReportPdf::write(document, device); });
}

QString exportOdt(const ReportDocument &document, const QString &path)
{
    return writeSafely(path, [&](QIODevice *device) { return ReportOdt::write(document, device); });
}

void exportWithDialog(Format format, const QString &name,
                      const std::function<ReportDocument()> &document)
{
    const QString filter = format == Format::Pdf ? QStringLiteral("Documenti PDF (*.pdf)")
                                                 : QStringLiteral("Documenti OpenDocument (*.odt)");
    QString path =
        UserPrompt::current().saveFileName(kAppTitle, proposedPath(name, format), filter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1Char('.') + suffix(format), Qt::CaseInsensitive))
        path += QLatin1Char('.') + suffix(format);
    const ReportDocument report = document();
    const QString error = format == Format::Pdf ? exportPdf(report, path) : exportOdt(report, path);
    if (error.isEmpty())
        settings().setValue(kExportFolder, QFileInfo(path).absolutePath());
    else
        UserPrompt::current().message(QStringLiteral("Impossibile esportare il %1\n%2\n%3.")
                                          .arg(format == Format::Pdf
                                                   ? QStringLiteral("PDF")
                                                   : QStringLiteral("documento ODT"),
                                               QDir::toNativeSeparators(path), error),
                                      kAppTitle, UserPrompt::Icon::Warning);
}

QString proposedPath(const QString &name, Format format)
{
    QString base = name.trimmed().isEmpty()
                       ? QStringLiteral("Ardivo - ") + QDate::currentDate().toString(Qt::ISODate)
                       : name.trimmed();
    base.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    return QDir(exportFolder()).filePath(base + QLatin1Char('.') + suffix(format));
}

QString exportName(const QString &project, const QString &part)
{
    if (project.trimmed().isEmpty())
        return part.trimmed();
    return part.trimmed().isEmpty()
               ? project.trimmed()
               : QStringLiteral("%1 - %2").arg(project.trimmed(), part.trimmed());
}

void print(const ReportDocument &document)
{
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(document.title);
        if (ReportLayout::render(document, printer))
            return;
    }
    const QString path = fallbackPdfPath();
    if (exportPdf(document, path).isEmpty())
        showMessage(QStringLiteral("Nessuna stampante predefinita: la relazione è stata salvata "
                                   "nel file\n%1")
                        .arg(QDir::toNativeSeparators(path)));
    else
        showMessage(QStringLiteral("Impossibile stampare la relazione."));
}

} // namespace ReportPrinter
