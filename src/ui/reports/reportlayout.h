#pragma once

#include "core/reportdocument.h"

#include <QImage>

class QPaintDevice;
class QPagedPaintDevice;

// The one layout of a report: paginates a ReportDocument for the sheets of a paint device and
// draws it there, the same on a printer, a PDF and an image. Every sheet has its frame closed,
// the heading of its part (with the column headers again where a list goes on), and a foot with
// the date, "Pagina N di M", the program and its version. No row is cut; the totals keep company
// with the last rows; no text is smaller than 7 points.
namespace ReportLayout {

// The number of sheets `document` takes on the pages of `device`.
int sheetCount(const ReportDocument &document, const QPaintDevice &device);
// Draws every sheet, one on each page of `device`. False when nothing could be drawn.
bool render(const ReportDocument &document, QPagedPaintDevice &device);
// Draws sheet `sheet` (from 0) onto `device`, which is taken as one sheet (a test image).
void paintSheet(const ReportDocument &document, QPaintDevice &device, int sheet);

// A block as a picture `widthPoints` wide at `dpi` dots per inch (a print resolution), drawn
// as on the sheets: a chart, for a document that takes it as a picture.
QImage blockPicture(const ReportBlock &block, double widthPoints, double dpi);

} // namespace ReportLayout
