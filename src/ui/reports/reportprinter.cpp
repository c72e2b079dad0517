#include "ui/reports/reportprinter.h"

#include "core/userprompt.h"
#include "ui/reports/listrows.h"
#include "ui/reports/pagerenderer.h"
#include "ui/reports/pageview.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSaveFile>
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

bool render(const QList<QWidget *> &canvases, QPagedPaintDevice &printer, const QString &foot)
{
    QStringList foots;
    for (qsizetype i = 0; i < canvases.size(); ++i)
        foots << foot;
    return render(canvases, printer, foots);
}

bool render(const QList<QWidget *> &canvases, QPagedPaintDevice &printer, const QStringList &foots)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const int resolution = printer.logicalDpiY();
    const QRectF paper = printer.pageLayout().paintRectPixels(resolution);
    // A foot takes a strip at the bottom of every sheet; the pages scale into what is left.
    bool anyFoot = false;
    for (const QString &foot : foots)
        anyFoot = anyFoot || !foot.isEmpty();
    const double footHeight = anyFoot ? resolution * 0.3 : 0;
    const double bodyHeight = paper.height() - footHeight;

    struct Plan {
        QWidget *canvas;
        double scale;
        QList<int> tops;
        QString foot;
    };
    QList<Plan> plans;
    int sheets = 0;
    for (QWidget *canvas : canvases) {
        // One sheet holds the page as designed; a longer canvas goes on over further sheets.
        const int designHeight = canvas->property("sheetHeightPixels").toInt();
        const int sheetHeight =
            designHeight > 0 ? std::min(designHeight, canvas->height()) : canvas->height();
        const double scale = std::min(paper.width() / canvas->width(), bodyHeight / sheetHeight);
        plans.append(
            {canvas, scale, sheetTops(canvas, int(bodyHeight / scale)), foots.value(plans.size())});
        sheets += int(plans.last().tops.size());
    }

    int number = 0;
    for (const Plan &plan : plans) {
        ListRows *rows = ListRows::of(plan.canvas);
        for (qsizetype i = 0; i < plan.tops.size(); ++i) {
            if (number > 0)
                printer.newPage();
            ++number;
            const int bottom = i + 1 < plan.tops.size() ? plan.tops[i + 1] : plan.canvas->height();
            const QRect sheet(0, plan.tops[i], plan.canvas->width(), bottom - plan.tops[i]);
            if (rows)
                rows->cover(sheet); // the list's rows on this sheet get their fields
            painter.save();
            painter.scale(plan.scale, plan.scale);
            PageRenderer::paint(painter, plan.canvas, sheet);
            painter.restore();
            if (anyFoot) {
                const QRectF strip(0, paper.height() - footHeight * 0.7, paper.width(),
                                   footHeight * 0.7);
                QFont font(QStringLiteral("DejaVu Sans"));
                font.setPointSizeF(7);
                painter.setFont(font);
                painter.setPen(Qt::black);
                painter.drawText(strip, Qt::AlignLeft | Qt::AlignVCenter, plan.foot);
                painter.drawText(strip, Qt::AlignHCenter | Qt::AlignVCenter,
                                 QStringLiteral("Pagina %1 di %2").arg(number).arg(sheets));
                painter.drawText(strip, Qt::AlignRight | Qt::AlignVCenter,
                                 QStringLiteral("Ardivo %1").arg(kProgramVersion));
            }
        }
        if (rows)
            rows->coverVisible();
    }
    return number > 0;
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

QString exportPdf(const QList<QWidget *> &windows, const QString &path, const QString &title,
                  const QString &foot)
{
    QStringList foots;
    for (qsizetype i = 0; i < windows.size(); ++i)
        foots << foot;
    return exportPdf(windows, path, title, foots);
}

QString writePdf(const QString &path, const QString &title,
                 const std::function<bool(QPdfWriter &)> &draw)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("La cartella non esiste");
    if (target.exists() && !target.isWritable())
        return QStringLiteral("Il file è in sola lettura");
    // Every write goes to a temporary file beside the target, and any failed write (a full disk,
    // a file-size limit) is remembered: only a whole document takes the old one's place.
    QSaveFile file(target.absoluteFilePath());
    if (!folder.isWritable() || !file.open(QIODevice::WriteOnly))
        return QStringLiteral("La cartella non consente la scrittura");
    bool drawn = false;
    {
        QPdfWriter pdf(&file);
        // The sheet as the printer's PDF output lays it out.
        QPrinter layout(QPrinter::HighResolution);
        layout.setOutputFormat(QPrinter::PdfFormat);
        layout.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(layout.resolution());
        pdf.setPageLayout(layout.pageLayout());
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Ardivo"));
        drawn = draw(pdf);
    }
    if (!drawn) {
        file.cancelWriting();
        return QStringLiteral("Impossibile scrivere il documento");
    }
    if (file.error() != QFileDevice::NoError || !file.commit())
        return QStringLiteral("Impossibile scrivere il documento: forse il disco è pieno");
    return QString();
}

QString exportPdf(const QList<QWidget *> &windows, const QString &path, const QString &title,
                  const QStringList &foots)
{
    const QList<QWidget *> canvases = canvasesOf(windows);
    return writePdf(path, title, [&](QPdfWriter &pdf) { return render(canvases, pdf, foots); });
}

void exportWithDialog(const QString &name, const std::function<QList<QWidget *>()> &windows,
                      const std::function<QStringList()> &foots)
{
    QString path = UserPrompt::current().saveFileName(kAppTitle, proposedPdfPath(name),
                                                      QStringLiteral("Documenti PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    const QList<QWidget *> pages = windows(); // built first: the foots follow them
    const QString error =
        exportPdf(pages, path, name.isEmpty() ? QStringLiteral("Ardivo") : name, foots());
    if (!error.isEmpty())
        UserPrompt::current().message(QStringLiteral("Impossibile esportare il PDF\n%1\n%2.")
                                          .arg(QDir::toNativeSeparators(path), error),
                                      kAppTitle, UserPrompt::Icon::Warning);
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

void print(const QList<QWidget *> &windows, const QString &foot)
{
    const QList<QWidget *> canvases = canvasesOf(windows);
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(QStringLiteral("Ardivo"));
        if (render(canvases, printer, foot))
            return;
    }
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    const QString path = fallbackPdfPath();
    pdf.setOutputFileName(path);
    if (render(canvases, pdf, foot))
        showMessage(QStringLiteral("Nessuna stampante predefinita: la relazione è stata salvata "
                                   "nel file\n%1")
                        .arg(QDir::toNativeSeparators(path)));
    else
        showMessage(QStringLiteral("Impossibile stampare la relazione."));
}

} // namespace ReportPrinter
