#include "reportprinter.h"

#include "app/userprompt.h"
#include "pageview.h"

#include <QDateTime>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace ReportPrinter {
namespace {

QList<QWidget *> canvasesOf(const QList<QWidget *> &windows)
{
    QList<QWidget *> canvases;
    for (QWidget *window : windows) {
        if (auto *view = window->findChild<PageView *>())
            canvases << view->canvas();
    }
    return canvases;
}

} // namespace

QString fallbackPdfPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QDir().mkpath(folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return QDir(folder).filePath(QStringLiteral("Ardivo-relazione-%1.pdf").arg(stamp));
}

bool render(const QList<QWidget *> &canvases, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    bool first = true;
    for (QWidget *canvas : canvases) {
        if (!first)
            printer.newPage();
        first = false;
        const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
        const double scale = std::min(paper.width() / canvas->width(), paper.height() / canvas->height());
        painter.save();
        painter.scale(scale, scale);
        canvas->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.restore();
    }
    return painter.end();
}

void print(const QList<QWidget *> &windows)
{
    const QList<QWidget *> canvases = canvasesOf(windows);
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(QStringLiteral("Ardivo"));
        if (render(canvases, printer))
            return;
    }
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    const QString path = fallbackPdfPath();
    pdf.setOutputFileName(path);
    if (render(canvases, pdf))
        showMessage(QStringLiteral("Nessuna stampante predefinita: la relazione è stata salvata "
                                   "nel file\n%1")
                        .arg(QDir::toNativeSeparators(path)));
    else
        showMessage(QStringLiteral("Impossibile stampare la relazione."));
}

} // namespace ReportPrinter
