#pragma once

#include "core/reportdocument.h"

#include <QImage>
#include <memory>

class QPaintDevice;
class QPagedPaintDevice;
class QPdfWriter;

// The one layout of a report: paginates a ReportDocument for the sheets of a paint device and
// draws it there, the same on a printer, a PDF and an image. Every sheet has its frame closed,
// the heading of its part (with the column headers again where a list goes on), and a foot with
// the date, "Pagina N di M", the program and its version. No row is cut; the totals keep company
// with the last rows; no text is smaller than 7 points.
namespace ReportLayout {

// The number of sheets `document` takes on the pages of `device`.
int sheetCount(const ReportDocument &document, const QPaintDevice &device);
// Sets up a PDF writer for the sheets: A4, no margins of its own, 600 dots per inch.
void preparePdf(QPdfWriter &pdf);
// Draws every sheet from `first` to `last` (from 0; -1 for the last), one on each page of
// `device`. False when nothing could be drawn.
bool render(const ReportDocument &document, QPagedPaintDevice &device, int first = 0,
            int last = -1);
// Draws sheet `sheet` (from 0) onto `device`, which is taken as one sheet (a test image).
void paintSheet(const ReportDocument &document, QPaintDevice &device, int sheet);

// Draws the chart of a Chart or Curve block into `rect` (a window shows the same drawing).
void paintChart(QPainter &painter, const QRectF &rect, const ReportBlock &chart);

// A block as a picture `widthPoints` wide at `dpi` dots per inch (a print resolution), drawn
// as on the sheets: a chart, for a document that takes it as a picture.
QImage blockPicture(const ReportBlock &block, double widthPoints, double dpi);

// The sheets of a document laid out once as on the A4 sheets of the PDF, for a preview that
// draws them one at a time at any size: the same sheets, the same lines on each.
class Sheets
{
public:
    explicit Sheets(const ReportDocument &document);
    ~Sheets();
    const ReportDocument &document() const;
    int count() const;
    // Draws sheet `sheet` (from 0) filling `image`, which has the proportions of an A4 sheet.
    void paint(QImage &image, int sheet) const;

private:
    class Impl;
    std::unique_ptr<Impl> m;
};

} // namespace ReportLayout
