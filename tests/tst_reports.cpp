// Report pages, their canvas and scrolling, the itemised lists and printing to PDF.
#include "output/reportlayout.h"
#include "output/reportodt.h"
#include "testsupport.h"
#include "ui/reports/anteprimastampa.h"
#include "ui/reports/reportprinter.h"

#include <QImage>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QWheelEvent>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

class TestReports : public WorldTest
{
    Q_OBJECT
private slots:
    void barsFollowTheWindow();
    void printingAndListLinks();
    void longListSheets_data();
    void longListSheets();
    void longListInOdtAndPreview();
};

// A report page fits 1366x768 less a panel, its page scrolling inside with bars only as needed;
// scrolled to the end, the page's bottom stands 300 twips above the window's.
void TestReports::barsFollowTheWindow()
{
    auto &activity = Screens::get<StampaAttivita>();
    activity.show();
    QVERIFY(activity.width() <= 1366 - 16 && activity.height() <= 768 - 88);
    QVERIFY(!activity.pageView()->verticalBar()->isHidden());
    activity.resize(activity.width(), activity.height() + activity.pageView()->canvas()->height());
    QVERIFY(activity.pageView()->horizontalBar()->isHidden() &&
            activity.pageView()->verticalBar()->isHidden());
    auto &materials = Screens::get<StampaMateriali>();
    materials.show();
    PageView *view = materials.pageView();
    QScrollBar *h = view->horizontalBar(), *v = view->verticalBar();
    QVERIFY(!h->isHidden() && !v->isHidden());
    // The wheel turned towards the user over the page scrolls it down.
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QVERIFY(v->value() > 0);
    v->setValue(v->maximum());
    const int canvasBottom = view->canvas()->geometry().bottom() + 1;
    QVERIFY(qAbs(canvasBottom - (view->height() - PageView::toPixelsY(300))) <= 2);
    h->setValue(h->maximum());
    QVERIFY(view->canvas()->x() < 0);
    materials.resize(materials.width() + PageView::toPixelsX(1000), materials.height());
    QVERIFY(h->isHidden() && h->value() == 0);
    QCOMPARE(view->canvas()->x(), 0);
    materials.resize(5, 5); // thinner than a bar: the far corner can still be scrolled into sight
    QVERIFY(!h->isHidden() && !v->isHidden());
    h->setValue(h->maximum());
    v->setValue(v->maximum());
    QVERIFY(view->canvas()->geometry().right() < view->width() &&
            view->canvas()->geometry().bottom() < view->height());
}

void TestReports::printingAndListLinks()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    QVERIFY(storeMaterials({materialEntry("Legno", 17.0, 100.0)}));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    click(page, "cmdStampa");
    qputenv("HOME", oldHome);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
    // The sandbox has no printer: the report is kept as a PDF and the user is told where.
    QCOMPARE(world().prompt.messages.size(), 1);
    VERIFY_CONTAINS(world().prompt.messages.first(), {home.path()});
    QDir documents(home.filePath("Documents"));
    const QStringList pdfs = documents.entryList({"*.pdf"});
    QCOMPARE(pdfs.size(), 1);
    // Page, its list, the working; and the buttons come back after printing.
    QCOMPARE(bytesOf(documents.filePath(pdfs.first())).count("/Type /Page\n"), 3);
    QVERIFY(child(page, "cmdStampa")->isVisible());

    auto *link = child<LinkLabel>(page, "Label7");
    QTest::mouseClick(link, Qt::LeftButton);
    QWidget *list = &Screens::get<StampaElencoMateriali>();
    // The materials link shows the list it has, unchanged...
    QVERIFY(storeMaterials({materialEntry("Carta", 20.0, 5.0)}));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(&Screens::get<StampaElencoMateriali>(), list);
    QCOMPARE(textOf(*list, "Materiale_1"), QString());
    // ...until its Indietro releases it; the next click builds it from the table as it is now.
    click(*list, "Indietro");
    QVERIFY(page.isVisible());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(textOf(Screens::get<StampaElencoMateriali>(), "Materiale_1"), u"Carta"_s);

    // The furnishings link builds a new list on every click.
    auto &furnishings = Screens::get<StampaArredoMerci>();
    QTest::mouseClick(child(furnishings, "Label7"), Qt::LeftButton);
    QPointer<QWidget> first = &Screens::get<StampaElencoArredoMerci>();
    QTest::mouseClick(child(furnishings, "Label7"), Qt::LeftButton);
    QVERIFY(&Screens::get<StampaElencoArredoMerci>() != first.data());

    click(page, "cmdNuova"); // Nuova analisi empties the working table and goes to the chooser
    QVERIFY(!page.isVisible() && Screens::get<DensitaCarico>().isVisible());
    QCOMPARE(rowCountOf("tblAppoggioMateriali"), 0);
}

void TestReports::longListSheets_data()
{
    QTest::addColumn<int>("entries");
    // Around the length that fills the first sheet, and lists of real compartments.
    for (int entries : {1, 44, 45, 46, 47, 48, 60, 200})
        QTest::addRow("%d", entries) << entries;
}

// A list of any length: every sheet framed, numbered and footed, with its title and column
// headers; every entry once; the totals and the summary line with the last rows.
void TestReports::longListSheets()
{
    QFETCH(int, entries);
    for (int i = 0; i < entries; ++i)
        QVERIFY(storeMaterials({materialEntry(u"M%1"_s.arg(i), 17.0, 1.0 + i)}));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    const QStringList sheets = pdfSheets(exportedPdf(world(), page, world().filePath("lista.pdf")));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));

    const ReportDocument document =
        ReportPrinter::sessionDocument(CalculationSession::current(), Method::Materials);
    QImage sheetImage(595, 842, QImage::Format_RGB32); // A4 at 72 dots per inch
    sheetImage.setDotsPerMeterX(2835);
    sheetImage.setDotsPerMeterY(2835);
    const int count = ReportLayout::sheetCount(document, sheetImage);
    QCOMPARE(sheets.size(), count);
    QStringList lists; // the sheets of the list
    const QString today = QDate::currentDate().toString(u"dd/MM/yyyy"_s);
    for (int i = 0; i < count; ++i) {
        ReportLayout::paintSheet(document, sheetImage, i);
        // The frame is closed at the bottom and on both sides of every sheet.
        for (const QPoint &point : {QPoint(300, 842 - 34), QPoint(34, 420), QPoint(595 - 34, 420)})
            QVERIFY2(qGray(sheetImage.pixel(point)) < 128, qPrintable(QString::number(i)));
        const QString &sheet = sheets[i];
        VERIFY_CONTAINS(sheet, {u"Pagina %1 di %2"_s.arg(i + 1).arg(count), today,
                                u"Ardivo %1"_s.arg(ReportPrinter::kProgramVersion)});
        if (!sheet.contains("Elenco di materiali inseriti nella sommatoria"))
            continue;
        VERIFY_CONTAINS(sheet, {QRegularExpression("Materiale\\s+Fonte del valore\\s+H "
                                                   "\\[MJ/kg\\]\\s+ψ\\s+m\\s+Qtà"),
                                QRegularExpression("\\bM\\d+\\b")});
        lists << sheet;
    }
    QVERIFY(lists.size() >= (entries > 60 ? 3 : 1));
    const QString listed = lists.join(u'\f');
    for (int i = 0; i < entries; ++i)
        QVERIFY2(listed.count(QRegularExpression(u"\\bM%1\\b"_s.arg(i))) == 1,
                 qPrintable(QString::number(i)));
    // The totals and the summary line stand on the same sheet as the last entry.
    const QString lastList = listed.mid(listed.lastIndexOf("Elenco di materiali"));
    VERIFY_CONTAINS(lastList, {"Totale", "A = ", u"M%1"_s.arg(entries - 1)});
}

// A list of 60 entries. The ODT holds it as a real table; a folder that cannot be written gives a
// message. The preview shows the PDF's sheets, drawn as a PDF reader draws them, and prints them.
void TestReports::longListInOdtAndPreview()
{
    for (int i = 0; i < 60; ++i)
        QVERIFY(storeMaterials({materialEntry(u"Voce <%1>"_s.arg(i), 17.0, 10.0)}));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    QTemporaryDir dir;
    world().prompt.files << dir.filePath("relazione");
    click(page, "cmdEsportaOdt");
    QVERIFY(world().prompt.fileBoxes.last().endsWith(".odt"));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"relazione.odt"});
    const QString odt = dir.filePath("relazione.odt"), content = odtContent(odt);
    // The measures, the list and the two columns of captions and values.
    QVERIFY(content.count("<table:table ") >= 3);
    for (int i = 0; i < 60; ++i) // markup in a name is kept as typed
        QVERIFY2(content.contains(u">Voce &lt;%1&gt;<"_s.arg(i)), qPrintable(QString::number(i)));
    // Header row repeated, numbers right, totals bold, every column's width, no row split.
    const QRegularExpression listTable(
        u"<text:p text:style-name=\"Ardivo_20_Didascalia\">Carico d'incendio specifico "
        "materiali</text:p><table:table table:name=\"(Tabella\\d+)\"[^>]*>((<table:table-"
        "column [^>]*/>){8})<table:table-header-rows><table:table-row[^>]*>(.*?)</table:table-"
        "row></table:table-header-rows>"_s);
    const QRegularExpressionMatch list = listTable.match(content);
    QVERIFY(list.hasMatch());
    QCOMPARE(list.captured(4).count(u"Ardivo_20_Tabella_20_Intestazione"_s), 8);
    const QString tableName = list.captured(1);
    for (int c = 1; c <= 8; ++c)
        QVERIFY(content.contains(QRegularExpression(
            u"style:name=\"%1.C%2\" style:family=\"table-column\"><style:table-column-"
            "properties style:column-width=\"\\d+\\.\\d+pt\""_s.arg(tableName)
                .arg(c))));
    VERIFY_CONTAINS(content,
                    {u"<text:p text:style-name=\"Ardivo_20_Tabella_20_Numero\">170</text:p>"_s,
                     u"<text:p text:style-name=\"Ardivo_20_Tabella_20_Totale_20_Numero\">10.200<"_s,
                     u"<text:p text:style-name=\"Ardivo_20_Tabella_20_Totale\">Totale</text:p>"_s,
                     u"<style:table-row-properties fo:keep-together=\"always\"/>"_s,
                     // the chart, as a picture at 300 dpi in the package; the headings real ones
                     "<draw:image xlink:href=\"Pictures/grafico1.png\"",
                     u"<text:h text:style-name=\"Heading_20_3\" text:outline-level=\"3\">"
                     "Fattore di protezione</text:h>"_s,
                     // the framed box the technician signs in, at the end
                     QRegularExpression("Timbro e firma</text:p><table:table "
                                        "table:name=\"RiquadroFirma\"[^>]*><table:table-"
                                        "column[^>]*/><table:table-row[^>]*><table:table-"
                                        "cell[^>]*><text:p[^>]*>(</text:p>)?</table:table-cell></"
                                        "table:table-row></table:table></office:text>"),
                     "fo:border=\"0.5pt solid #000000\""});
    QuaZipFile picture(odt, "Pictures/grafico1.png");
    QVERIFY(picture.open(QIODevice::ReadOnly));
    const QImage chart = QImage::fromData(picture.readAll(), "PNG");
    QCOMPARE(std::lround(chart.dotsPerMeterX() * 0.0254), 300L);
    QVERIFY(chart.width() > 2000);
    QuaZip zip(odt); // the mimetype first and stored; the styles named for the designer
    QuaZipFileInfo64 first;
    QVERIFY(zip.open(QuaZip::mdUnzip) && zip.goToFirstFile() && zip.getCurrentFileInfo(&first));
    QCOMPARE(first.name, u"mimetype"_s);
    QCOMPARE(first.method, quint16(0));
    VERIFY_CONTAINS(odtContent(odt, "styles.xml"),
                    {u"style:display-name=\"Ardivo Corpo\""_s,
                     u"style:display-name=\"Ardivo Tabella\""_s, "<text:page-number",
                     "<text:page-count", "fo:page-width=\"595.28pt\""});
    VERIFY_CONTAINS(odtContent(odt, "META-INF/manifest.xml"), {"Pictures/grafico1.png"});

    world().prompt.files << u"/proc/relazione.odt"_s;
    click(page, "cmdEsportaOdt");
    QVERIFY(world().prompt.messages.last().startsWith(u"Impossibile esportare il documento ODT"_s));
    QVERIFY(!QFile::exists(u"/proc/relazione.odt"_s));

    const QStringList told = world().prompt.messages; // the preview and its printing add none
    const QStringList sheets = pdfSheets(exportedPdf(world(), page, world().filePath("r.pdf")));
    click(page, "cmdAnteprima");
    auto *preview = qobject_cast<AnteprimaStampa *>(shownWindow(u"AnteprimaStampa"_s));
    QVERIFY(preview);
    QCOMPARE(preview->sheetCount(), sheets.size());
    COMPARE_FIELDS(*preview, {u"lblPagina=Pagina 1 di %1"_s.arg(sheets.size())});
    QVERIFY(!child(*preview, "cmdPrecedente")->isEnabled());
    click(*preview, "cmdSuccessiva");
    COMPARE_FIELDS(*preview, {u"lblPagina=Pagina 2 di %1"_s.arg(sheets.size())});
    // The second sheet (the list goes on) against the PDF's, drawn by poppler at the same size.
    const QImage shown = preview->sheetImage().convertToFormat(QImage::Format_Grayscale8);
    outputOf(u"pdftoppm"_s,
             {u"-r"_s, u"96"_s, u"-f"_s, u"2"_s, u"-l"_s, u"2"_s, u"-png"_s, u"-singlefile"_s,
              world().filePath("r.pdf"), world().filePath("foglio")});
    const QImage printed =
        QImage(world().filePath("foglio.png")).convertToFormat(QImage::Format_Grayscale8);
    QVERIFY(!printed.isNull());
    // The same lines at the same places, whatever each renderer's smoothing: 60 × 85 greys.
    const QImage a = shown.scaled(60, 85, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage b = printed.scaled(60, 85, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0, count = 60 * 85;
    for (int i = 0; i < count; ++i) {
        const double va = qGray(a.pixel(i % 60, i / 60)), vb = qGray(b.pixel(i % 60, i / 60));
        sa += va, sb += vb, saa += va * va, sbb += vb * vb, sab += va * vb;
    }
    const double correlation =
        (sab - sa * sb / count) / std::sqrt((saa - sa * sa / count) * (sbb - sb * sb / count));
    QVERIFY2(correlation > 0.9, qPrintable(QString::number(correlation)));
    // "Stampa…" through its print box to a PDF: the sheets printed, -1 when no box was asked.
    const auto sheetsPrinted = [&](const QString &name, int from, int to, bool accept) {
        const QString path = world().filePath(name);
        bool asked = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            if (!box || asked)
                return;
            asked = true;
            box->printer()->setOutputFormat(QPrinter::PdfFormat);
            box->printer()->setOutputFileName(path);
            box->printer()->setPrintRange(from ? QPrinter::PageRange : QPrinter::AllPages);
            box->printer()->setFromTo(from, to);
            box->done(accept ? QDialog::Accepted : QDialog::Rejected);
        });
        poll.start(20);
        click(*preview, "cmdStampa");
        return !asked ? -1 : QFile::exists(path) ? int(pdfSheets(pdfText(path)).size()) : 0;
    };
    QCOMPARE(sheetsPrinted(u"annullata.pdf"_s, 0, 0, false), 0);
    QCOMPARE(sheetsPrinted(u"tutta.pdf"_s, 0, 0, true), sheets.size());
    QCOMPARE(sheetsPrinted(u"seconda.pdf"_s, 2, 3, true), 2);
    QCOMPARE(world().prompt.messages, told);
    preview->close();
    // The list shows the same report in the preview, from its first sheet.
    QTest::mouseClick(child(page, "Label7"), Qt::LeftButton);
    click(Screens::get<StampaElencoMateriali>(), "cmdAnteprima");
    preview = qobject_cast<AnteprimaStampa *>(shownWindow(u"AnteprimaStampa"_s)); // a new one
    QVERIFY(preview && preview->sheet() == 0);
    QCOMPARE(preview->sheetCount(), sheets.size());
    preview->close();
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
