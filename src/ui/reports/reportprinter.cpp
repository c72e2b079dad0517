#include "ui/reports/reportprinter.h"

#include "core/userprompt.h"
#include "ui/reports/listrows.h"
#include "ui/reports/pagerenderer.h"
#include "ui/reports/pageview.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cstdio>

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
    const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
    for (QWidget *canvas : canvases) {
        // One sheet holds the page as designed; a longer canvas goes on over further sheets.
        const int designHeight = canvas->property("sheetHeightPixels").toInt();
        const int sheetHeight =
            designHeight > 0 ? std::min(designHeight, canvas->height()) : canvas->height();
        const double scale =
            std::min(paper.width() / canvas->width(), paper.height() / sheetHeight);
        const QList<int> tops = sheetTops(canvas, int(paper.height() / scale));
        ListRows *rows = ListRows::of(canvas);
        for (qsizetype i = 0; i < tops.size(); ++i) {
            if (!first)
                printer.newPage();
            first = false;
            const int bottom = i + 1 < tops.size() ? tops[i + 1] : canvas->height();
            const QRect sheet(0, tops[i], canvas->width(), bottom - tops[i]);
            if (rows)
                rows->cover(sheet); // the list's rows on this sheet get their fields
            painter.save();
            painter.scale(scale, scale);
            PageRenderer::paint(painter, canvas, sheet);
            painter.restore();
        }
        if (rows)
            rows->coverVisible();
    }
    return painter.end();
}

QList<int> sheetTops(const QWidget *canvas, int sheetHeight)
{
    QList<int> tops{0};
    if (sheetHeight <= 0)
        return tops;
    const auto children = canvas->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    const ListRows *rows = ListRows::of(canvas);
    int top = 0;
    while (top + sheetHeight < canvas->height()) {
        int cut = top + sheetHeight;
        // Move the cut up to the top of anything it would cut in two.
        for (bool moved = true; moved;) {
            moved = false;
            for (const QWidget *child : children) {
                const QRect g = child->geometry();
                if (!child->isHidden() && g.height() < sheetHeight && g.top() < cut &&
                    g.bottom() >= cut && g.top() > top) {
                    cut = g.top();
                    moved = true;
                }
            }
            // The list's rows, whether or not they have a field now.
            if (const auto split = rows ? rows->rowSplitAt(cut) : std::nullopt;
                split && *split > top && *split < cut) {
                cut = *split;
                moved = true;
            }
        }
        tops << cut;
        top = cut;
    }
    return tops;
}

QString exportPdf(const QList<QWidget *> &windows, const QString &path, const QString &title)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("La cartella non esiste");
    if (target.exists() && !target.isWritable())
        return QStringLiteral("Il file è in sola lettura");
    QTemporaryFile part(target.absolutePath() + QStringLiteral("/.") + target.completeBaseName() +
                        QStringLiteral("-XXXXXX.part"));
    if (!folder.isWritable() || !part.open())
        return QStringLiteral("La cartella non consente la scrittura");
    part.close();
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setDocName(title);
    pdf.setCreator(QStringLiteral("Ardivo"));
    pdf.setOutputFileName(part.fileName());
    if (!render(canvasesOf(windows), pdf))
        return QStringLiteral("Impossibile scrivere il documento");
    if (QFileInfo(part.fileName()).size() == 0)
        return QStringLiteral("Impossibile scrivere il documento: forse il disco è pieno");
    // The whole file takes the place of the old one in one step.
    if (std::rename(QFile::encodeName(part.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return QStringLiteral("Impossibile dare al documento il nome scelto");
    part.setAutoRemove(false);
    return QString();
}

QString proposedPdfPath(const QString &name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QString base = name.trimmed().isEmpty() ? QStringLiteral("Ardivo") : name.trimmed();
    base.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    return QDir(folder).filePath(base + QStringLiteral(" - ") +
                                 QDate::currentDate().toString(Qt::ISODate) +
                                 QStringLiteral(".pdf"));
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
