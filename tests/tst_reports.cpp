// Report pages, their canvas and scrolling, the itemised lists and printing to PDF.
#include "data/module2.h"
#include "testsupport.h"
#include "ui/reports/itemisedlist.h"
#include "ui/reports/listrows.h"
#include "ui/reports/pagecanvas.h"
#include "ui/reports/reportlayout.h"
#include "ui/reports/reportprinter.h"

#include <QImage>
#include <QPrinter>
#include <QStandardPaths>

class TestReports : public WorldTest
{
    Q_OBJECT
private slots:
    void barsFollowTheWindow();
    void furnishingsListGoodsSection();
    void printingWithoutPrinterWritesPageAndList();
    void longListSheets_data();
    void longListSheets();
    void odtHoldsTheListAsTables();
    void listLinksBackAndNewCalculation();
};

// The activity page fits its window; the materials page gets both bars, and at the largest
// vertical value its bottom is 300 twips above the client bottom. Enlarging the window past the
// page hides a bar and brings the page back to the left.
void TestReports::barsFollowTheWindow()
{
    auto &activity = Screens::get<StampaAttivita>();
    activity.show();
    QVERIFY(activity.pageView()->horizontalBar()->isHidden());
    QVERIFY(activity.pageView()->verticalBar()->isHidden());
    auto &materials = Screens::get<StampaMateriali>();
    materials.show();
    PageView *view = materials.pageView();
    QVERIFY(!view->horizontalBar()->isHidden());
    QScrollBar *v = view->verticalBar();
    QVERIFY(!v->isHidden());
    v->setValue(v->maximum());
    const int canvasBottom = view->canvas()->geometry().bottom() + 1;
    QVERIFY(qAbs(canvasBottom - (view->height() - PageView::toPixelsY(300))) <= 2);

    QScrollBar *h = view->horizontalBar();
    h->setValue(h->maximum());
    QVERIFY(view->canvas()->x() < 0);
    materials.resize(materials.width() + PageView::toPixelsX(1000), materials.height());
    QVERIFY(h->isHidden());
    QCOMPARE(h->value(), 0);
    QCOMPARE(view->canvas()->x(), 0);
    materials.resize(5, 5); // a window thinner than a bar
}

void TestReports::furnishingsListGoodsSection()
{
    QVERIFY(WorkingTables::appendFurnishing(1, "Divano", 600.0, 2.0));
    QVERIFY(WorkingTables::appendFurnishing(2, "Sedia", 10.0, 2.0));
    QVERIFY(WorkingTables::appendGoods(1, "Carta", 400.0, 10.0, 1.1));
    QVERIFY(WorkingTables::appendGoods(2, "Legna", 400.0, 1.0, 1.0));
    QVERIFY(Module2::PreparaTabStampa());
    auto &list = Screens::get<StampaElencoArredoMerci>();
    QVERIFY(qAbs(PageCanvas::topOf(child(list, "Label2")) - 4030) <= 15);
    QCOMPARE(textOf(list, "Imballo_0"), u"si"_s);
    QCOMPARE(textOf(list, "Imballo_1"), u"no"_s);
}

void TestReports::printingWithoutPrinterWritesPageAndList()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    QVERIFY(WorkingTables::appendMaterial(1, "Legno", 17.0, 1.0, 1.0, 100.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    click(page, "cmdStampa");
    qputenv("HOME", oldHome);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
    // The sandbox has no printer: the report is kept as a PDF and the user is told where.
    QCOMPARE(world().prompt.messages.size(), 1);
    QVERIFY(world().prompt.messages.first().contains(home.path()));
    QDir documents(home.filePath("Documents"));
    const QStringList pdfs = documents.entryList({"*.pdf"});
    QCOMPARE(pdfs.size(), 1);
    QFile file(documents.filePath(pdfs.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("/Type /Page\n"), 3); // page, its list, the working
    // The buttons come back after printing.
    QVERIFY(child(page, "cmdStampa")->isVisible());
}

void TestReports::longListSheets_data()
{
    QTest::addColumn<int>("entries");
    // Around the length that fills the first sheet, and lists of real compartments.
    for (int entries : {1, 44, 45, 46, 47, 48, 60, 200})
        QTest::addRow("%d", entries) << entries;
}

// A list of any length: every sheet framed, numbered and footed; each sheet of the list with
// its title and column headers and some of its entries; every entry once; the totals and the
// summary line with the last rows.
void TestReports::longListSheets()
{
    QFETCH(int, entries);
    for (int i = 0; i < entries; ++i)
        QVERIFY(WorkingTables::appendMaterial(i + 1, u"M%1"_s.arg(i), 17.0, 1.0, 1.0, 1.0 + i));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    QTemporaryDir dir;
    world().prompt.files << dir.filePath("lista.pdf");
    click(page, "cmdEsportaPdf");
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));

    const ReportDocument document =
        ReportPrinter::sessionDocument(CalculationSession::current(), Method::Materials);
    QImage sheetImage(595, 842, QImage::Format_RGB32); // A4 at 72 dots per inch
    sheetImage.setDotsPerMeterX(2835);
    sheetImage.setDotsPerMeterY(2835);
    const int count = ReportLayout::sheetCount(document, sheetImage);
    for (int i = 0; i < count; ++i) {
        ReportLayout::paintSheet(document, sheetImage, i);
        // The frame is closed at the bottom and on both sides of every sheet.
        for (const QPoint &point : {QPoint(300, 842 - 34), QPoint(34, 420), QPoint(595 - 34, 420)})
            QVERIFY2(qGray(sheetImage.pixel(point)) < 128, qPrintable(QString::number(i)));
    }

    const QString text = pdfText(dir.filePath("lista.pdf"));
    const QStringList sheets = pdfSheets(text);
    QCOMPARE(sheets.size(), count);
    QString listed;
    int listSheets = 0;
    for (int i = 0; i < sheets.size(); ++i) {
        const QString &sheet = sheets[i];
        QVERIFY2(sheet.contains(u"Pagina %1 di %2"_s.arg(i + 1).arg(count)), qPrintable(sheet));
        QVERIFY(sheet.contains(QDate::currentDate().toString(u"dd/MM/yyyy"_s)));
        QVERIFY(sheet.contains(u"Ardivo %1"_s.arg(ReportPrinter::kProgramVersion)));
        if (!sheet.contains("Elenco di materiali inseriti nella sommatoria"))
            continue;
        ++listSheets;
        QVERIFY2(sheet.contains(QRegularExpression(
                     "Materiale\\s+Fonte del valore\\s+H \\[MJ/kg\\]\\s+ψ\\s+m\\s+Qtà")),
                 qPrintable(sheet));
        QVERIFY2(sheet.contains(QRegularExpression("\\bM\\d+\\b")), qPrintable(sheet));
        listed += sheet;
    }
    QVERIFY(listSheets >= (entries > 60 ? 3 : 1));
    for (int i = 0; i < entries; ++i)
        QVERIFY2(listed.count(QRegularExpression(u"\\bM%1\\b"_s.arg(i))) == 1,
                 qPrintable(QString::number(i)));
    // The totals and the summary line stand on the same sheet as the last entry.
    const QString lastList = listed.mid(listed.lastIndexOf("Elenco di materiali"));
    QVERIFY(lastList.contains("Totale") && lastList.contains("A = ") &&
            lastList.contains(u"M%1"_s.arg(entries - 1)));
}

// The ODT holds the same list as a real table, with every entry and the totals; a folder that
// cannot be written gives a message and no file.
void TestReports::odtHoldsTheListAsTables()
{
    for (int i = 0; i < 60; ++i)
        QVERIFY(WorkingTables::appendMaterial(i + 1, u"Voce <%1>"_s.arg(i), 17.0, 1.0, 1.0, 10.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    QTemporaryDir dir;
    world().prompt.files << dir.filePath("relazione");
    click(page, "cmdEsportaOdt");
    QVERIFY(world().prompt.fileBoxes.last().endsWith(".odt"));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"relazione.odt"});
    const QString content = odtContent(dir.filePath("relazione.odt"));
    if (content.isEmpty())
        QSKIP("unzip is not installed");
    QVERIFY(content.count("<table:table ") >= 3); // the measures, the list, the chart's caption
    for (int i = 0; i < 60; ++i)                  // markup in a name is kept as typed
        QVERIFY2(content.contains(u">Voce &lt;%1&gt;<"_s.arg(i)), qPrintable(QString::number(i)));
    QVERIFY(content.contains(">Totale<") && content.contains(">10200<"));
    QVERIFY(content.contains("Sviluppo del calcolo"));
    QVERIFY(content.contains("<draw:image")); // the chart, as a picture

    world().prompt.files << u"/proc/relazione.odt"_s;
    click(page, "cmdEsportaOdt");
    QVERIFY(world().prompt.messages.last().startsWith(u"Impossibile esportare il documento ODT"_s));
    QVERIFY(!QFile::exists(u"/proc/relazione.odt"_s));
}

void TestReports::listLinksBackAndNewCalculation()
{
    QVERIFY(WorkingTables::appendMaterial(1, "Legno", 17.0, 1.0, 1.0, 100.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    auto *link = child<LinkLabel>(page, "Label7");
    emit link->clicked();
    QWidget *list = &Screens::get<StampaElencoMateriali>();
    QVERIFY(list->isVisible());
    // The materials link shows the list it has, unchanged...
    QVERIFY(WorkingTables::appendMaterial(2, "Carta", 20.0, 1.0, 1.0, 5.0));
    emit link->clicked();
    QCOMPARE(&Screens::get<StampaElencoMateriali>(), list);
    QCOMPARE(textOf(*list, "Materiale_1"), QString());
    // ...until its Indietro releases it; the next click builds it from the table as it is now.
    click(*list, "Indietro");
    QVERIFY(page.isVisible());
    emit link->clicked();
    QCOMPARE(child<QLineEdit>(Screens::get<StampaElencoMateriali>(), "Materiale_1")->text(),
             u"Carta"_s);

    // The furnishings link builds a new list on every click.
    auto &furnishings = Screens::get<StampaArredoMerci>();
    emit child<LinkLabel>(furnishings, "Label7")->clicked();
    QPointer<QWidget> first = &Screens::get<StampaElencoArredoMerci>();
    emit child<LinkLabel>(furnishings, "Label7")->clicked();
    QVERIFY(&Screens::get<StampaElencoArredoMerci>() != first.data());

    // Nuova analisi on the materials page empties its working table and goes to the chooser.
    click(page, "cmdNuova");
    QVERIFY(!page.isVisible());
    QVERIFY(Screens::get<DensitaCarico>().isVisible());
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), 0);
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
