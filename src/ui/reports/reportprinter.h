#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QPdfWriter;
class QWidget;

// Prints report canvases, each whole page on its own sheet scaled to the paper, whatever part
// of it the window shows. Without a default printer the pages go into a PDF in the user's
// documents folder, and a message says where.
namespace ReportPrinter {

inline const QString kProgramVersion = QStringLiteral("1.0");

// The canvases of the windows to print, in order.
// With a `foot`, every sheet carries it at the left, "Pagina N di M" in the middle and the
// program's name and version at the right.
void print(const QList<QWidget *> &windows, const QString &foot = QString());
// Renders the canvases onto `printer` (a QPrinter, or a QPdfWriter for PDF output). False when
// nothing was drawn.
bool render(const QList<QWidget *> &canvases, QPagedPaintDevice &printer,
            const QString &foot = QString());
// The same with a foot for each canvas (the compartment each page is about).
bool render(const QList<QWidget *> &canvases, QPagedPaintDevice &printer, const QStringList &foots);
// Where a canvas taller than one sheet is cut: the tops of its sheets, in canvas pixels, each
// sheet at most `sheetHeight` tall, never cutting a child (a row of a list) in two.
QList<int> sheetTops(const QWidget *canvas, int sheetHeight);
// Writes a PDF safely: `draw` paints the document on an A4 QPdfWriter titled `title`, with Ardivo
// as its creator, whose device is a QSaveFile beside `path`. Every write is checked; the file
// takes the place of the old one only when whole, so a failure (a full disk, a file-size limit)
// leaves the old file as it was. An empty text on success, else the reason in Italian. Every PDF
// the program writes goes through here.
QString writePdf(const QString &path, const QString &title,
                 const std::function<bool(QPdfWriter &)> &draw);
// Writes the windows' pages to the PDF file `path` through writePdf().
QString exportPdf(const QList<QWidget *> &windows, const QString &path, const QString &title,
                  const QString &foot = QString());
QString exportPdf(const QList<QWidget *> &windows, const QString &path, const QString &title,
                  const QStringList &foots);
// Asks where to write a PDF (proposing "<name> - <aaaa-mm-gg>.pdf", or "Ardivo - …" without a
// name) and writes the windows' pages there, titled with the name; a failure is told in a
// message. The windows are asked for only once the user has chosen the place.
void exportWithDialog(const QString &name, const std::function<QList<QWidget *>()> &windows,
                      const std::function<QStringList()> &foots);
// The name proposed for a PDF: "<name> - <aaaa-mm-gg>.pdf" in the documents folder.
QString proposedPdfPath(const QString &name);
// Where the PDF goes when there is no printer.
QString fallbackPdfPath();

} // namespace ReportPrinter
