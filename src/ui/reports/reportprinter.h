#pragma once

#include "core/reportdocument.h"

#include <QString>
#include <functional>

class CalculationSession;

// The one place that prints and exports reports, for the report pages, the summary and the
// project window. Every output is drawn from a ReportDocument by the one layout (print, PDF) or
// written from it as an OpenDocument text (ODT). Without a default printer the sheets go into a
// PDF in the user's documents folder, and a message says where.
namespace ReportPrinter {

inline const QString kProgramVersion = ReportDocuments::kProgramVersion;

enum class Format { Pdf, Odt };

// The report of a session's calculation: the calculation under way with the entries its working
// tables hold now, or a saved one; with the job's band when it belongs to the open project.
// A report page gives its own method.
ReportDocument sessionDocument(const CalculationSession &session, Method method = Method::None);
ReportDocument summaryDocument();
ReportDocument projectDocument();

void print(const ReportDocument &document);
// Writes the document to `path` as PDF/A-1b, or as ODT. The file is written beside its place
// under another name and put there only when whole: a failure leaves no half-written file. An
// empty text on success, else the reason in Italian.
QString exportPdf(const ReportDocument &document, const QString &path);
QString exportOdt(const ReportDocument &document, const QString &path);
// Asks where to write the file (proposing "<name>.pdf" or ".odt", "Ardivo - <aaaa-mm-gg>"
// without a name, beside the project file, else in the folder of the last export) and writes it
// there; a failure is told in a message. The document is built only once the user has chosen
// the place.
void exportWithDialog(Format format, const QString &name,
                      const std::function<ReportDocument()> &document);
QString proposedPath(const QString &name, Format format = Format::Pdf);
// The name of an export: "Capannone Nord - Magazzino", the project alone, or `part` alone.
QString exportName(const QString &project, const QString &part);
// Where the PDF goes when there is no printer.
QString fallbackPdfPath();

} // namespace ReportPrinter
