#pragma once

#include "core/reportdocument.h"
#include "data/odfheadings.h"

#include <memory>

class QIODevice;
class QTextDocument;

// The report as an editable OpenDocument text: the same content as the printed sheets, with
// headings, the lists and the summary as real tables, and the chart as a picture.
namespace ReportOdt {

std::unique_ptr<QTextDocument> textDocument(const ReportDocument &document);
// The outline level of each of the document's automatic paragraph styles that are headings.
OdfHeadings::Levels headingLevels(const QTextDocument &text);
// Writes the ODT to `device`; false when it could not be written whole.
bool write(const ReportDocument &document, QIODevice *device);

} // namespace ReportOdt
