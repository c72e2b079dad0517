#pragma once

#include "core/reportdocument.h"

#include <QByteArray>

class QIODevice;

// The report as a PDF/A-1b drawn by the report layout, ready to be signed: the fonts embedded,
// the text kept as text, the title, the author (the technician), the subject and the creator
// both in the XMP packet and in the information dictionary, which say the same.
namespace ReportPdf {

// The file's bytes; empty when nothing could be drawn.
QByteArray bytes(const ReportDocument &document);
// Writes the file to `device`; false when it could not be written whole.
bool write(const ReportDocument &document, QIODevice *device);

} // namespace ReportPdf
