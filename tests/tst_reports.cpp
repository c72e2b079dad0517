// Report pages, their canvas and scrolling, the itemised lists and printing to PDF.
#include "core/calculationsession.h"
#include "data/module2.h"
#include "data/sharedstate.h"
#include "data/workingtables.h"
#include "testsupport.h"
#include "ui/app/screens.h"
#include "ui/kit/widgets.h"
#include "ui/reports/itemisedlist.h"
#include "ui/reports/listrows.h"
#include "ui/reports/pagecanvas.h"
#include "ui/reports/pageview.h"
#include "ui/reports/reportlayout.h"
#include "ui/reports/reportprinter.h"
#include "ui/reports/stampapages.h"
#include "ui/start/densitacarico.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestReports : public QObject
{
    Q_OBJECT
private slots:
    void barsAtInitialSize();
    void enlargingResetsBar();
    void materialsListRows();
    void furnishingsListGoodsSection();
    void longListGrowsCanvas();
    void pdfHoldsTheResultAsText();
    void printingWithoutPrinterWritesPageAndList();
    void longListSheets_data();
    void longListSheets();
    void odtHoldsTheListAsTables();
    void listLinksBackAndNewCalculation();
};

void TestReports::barsAtInitialSize()
{
    TestWorld world;
    auto &activity = Screens::get<StampaAttivita>();
    activity.show();
    QVERIFY(activity.pageView()->horizontalBar()->isHidden());
    QVERIFY(activity.pageView()->verticalBar()->isHidden());
    auto &materials = Screens::get<StampaMateriali>();
    materials.show();
    QVERIFY(!materials.pageView()->horizontalBar()->isHidden());
    QVERIFY(!materials.pageView()->verticalBar()->isHidden());
    // At the largest vertical value the page bottom is 300 twips above the client bottom.
    QScrollBar *v = materials.pageView()->verticalBar();
    v->setValue(v->maximum());
    const int canvasBottom = materials.pageView()->canvas()->geometry().bottom() + 1;
    QVERIFY(qAbs(canvasBottom - (materials.pageView()->height() - PageView::toPixelsY(300))) <= 2);
}

void TestReports::enlargingResetsBar()
{
    TestWorld world;
    auto &materials = Screens::get<StampaMateriali>();
    materials.show();
    QScrollBar *h = materials.pageView()->horizontalBar();
    h->setValue(h->maximum());
    QVERIFY(materials.pageView()->canvas()->x() < 0);
    materials.resize(materials.width() + PageView::toPixelsX(1000), materials.height());
    QVERIFY(h->isHidden());
    QCOMPARE(h->value(), 0);
    QCOMPARE(materials.pageView()->canvas()->x(), 0);
    // A window thinner than a bar does not misbehave.
    materials.resize(5, 5);
    QVERIFY(materials.pageView()->verticalBar()->height() >= 0);
}

void TestReports::materialsListRows()
{
    TestWorld world;
    Module1::NomeTabMateriali = "tblAppoggioMateriali";
    for (int i = 0; i < 3; ++i)
        QVERIFY(WorkingTables::appendMaterial(i + 1, QStringLiteral("M%1").arg(i), 20.0, 1.0, 0.8,
                                              10.0));
    auto &list = Screens::get<StampaElencoMateriali>();
    QCOMPARE(PageCanvas::topOf(child(list, "Materiale_0")), 3000);
    QCOMPARE(PageCanvas::topOf(child(list, "Materiale_1")), 3255);
    QCOMPARE(PageCanvas::topOf(child(list, "Materiale_2")), 3510);
    QCOMPARE(PageCanvas::topOf(child(list, "Materiale_3")), 3765);
    QCOMPARE(child<QLineEdit>(list, "Materiale_3")->text(), QString());
    QCOMPARE(child<QLineEdit>(list, "Fattore_m_1")->text(), QStringLiteral("0,8"));
    QVERIFY(qAbs(PageCanvas::topOf(child(list, "Valoreqf")) - 4765) <= 15);
}

void TestReports::furnishingsListGoodsSection()
{
    TestWorld world;
    QVERIFY(WorkingTables::appendFurnishing(1, "Divano", 600.0, 2.0));
    QVERIFY(WorkingTables::appendFurnishing(2, "Sedia", 10.0, 2.0));
    QVERIFY(WorkingTables::appendGoods(1, "Carta", 400.0, 10.0, 1.1));
    QVERIFY(WorkingTables::appendGoods(2, "Legna", 400.0, 1.0, 1.0));
    QVERIFY(Module2::PreparaTabStampa());
    auto &list = Screens::get<StampaElencoArredoMerci>();
    QVERIFY(qAbs(PageCanvas::topOf(child(list, "Label2")) - 4030) <= 15);
    QCOMPARE(child<QLineEdit>(list, "Imballo_0")->text(), QStringLiteral("si"));
    QCOMPARE(child<QLineEdit>(list, "Imballo_1")->text(), QStringLiteral("no"));
}

void TestReports::longListGrowsCanvas()
{
    TestWorld world;
    for (int i = 0; i < 200; ++i)
        QVERIFY(WorkingTables::appendMaterial(i + 1, QStringLiteral("Materiale %1").arg(i), 17.0,
                                              1.0, 1.0, 1.0));
    auto &list = Screens::get<StampaElencoMateriali>();
    list.show();
    QCOMPARE(child<QLineEdit>(list, "Materiale_0")->text(), QStringLiteral("Materiale 0"));
    QVERIFY(!child(list, "Materiale_199")); // out of sight: no field yet

    // Scrolled to the end, the last entry is there, inside the page, and the first is gone.
    QScrollBar *v = list.pageView()->verticalBar();
    v->setValue(v->maximum());
    QLineEdit *last = child<QLineEdit>(list, "Materiale_199");
    QVERIFY(last);
    QCOMPARE(last->text(), QStringLiteral("Materiale 199"));
    QCOMPARE(PageCanvas::topOf(last), 3000 + 199 * 255);
    QVERIFY(last->geometry().bottom() < list.pageView()->canvas()->height());
    QVERIFY(!child(list, "Materiale_0"));
    // A screenful of fields, whatever the length of the list.
    QVERIFY(list.findChildren<QLineEdit *>().size() < 5 * 80);

    v->setValue(0);
    QCOMPARE(child<QLineEdit>(list, "QtaMat_0")->text(), QStringLiteral("1"));
    QCOMPARE(list.findChildren<QLineEdit *>(QStringLiteral("Materiale_0")).size(), 1);
}

void TestReports::pdfHoldsTheResultAsText()
{
    TestWorld world;
    // 1500 * 1,2 * 1,6 * 1 * 0,9 = 2592
    Calculation known;
    known.method = Method::Activity;
    known.activity = {QStringLiteral("Biblioteca"), 1500.0, 1.2};
    known.areaClass = 3;
    known.riskClass = 1;
    known.measures = {4};
    CalculationSession::current().load(known);
    auto &page = Screens::get<StampaAttivita>();
    page.show();
    QTemporaryDir dir;
    world.prompt.files << dir.filePath("r.pdf");
    click(child(page, "cmdEsportaPdf"));

    const QString text = pdfText(dir.filePath("r.pdf"));
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    QVERIFY2(text.contains("2.592,00"), qPrintable(text));
    QVERIFY(text.contains(QRegularExpression("prestazione III\\s+=\\s+240")));
    QVERIFY(text.contains(QRegularExpression("prestazione III\\s+=\\s+120")));
    QVERIFY(!text.contains("Nuova analisi")); // buttons are never printed
}

void TestReports::printingWithoutPrinterWritesPageAndList()
{
    TestWorld world;
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    QVERIFY(WorkingTables::appendMaterial(1, "Legno", 17.0, 1.0, 1.0, 100.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    click(child(page, "cmdStampa"));
    qputenv("HOME", oldHome);
    // The sandbox has no printer: the report is kept as a PDF and the user is told where.
    QCOMPARE(world.prompt.messages.size(), 1);
    QVERIFY(world.prompt.messages.first().contains(home.path()));
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
    TestWorld world;
    for (int i = 0; i < entries; ++i)
        QVERIFY(WorkingTables::appendMaterial(i + 1, QStringLiteral("M%1").arg(i), 17.0, 1.0, 1.0,
                                              1.0 + i));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    QTemporaryDir dir;
    world.prompt.files << dir.filePath("lista.pdf");
    click(child(page, "cmdEsportaPdf"));
    QVERIFY2(world.prompt.messages.isEmpty(), qPrintable(world.prompt.messages.join("; ")));

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
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    const QStringList sheets = pdfSheets(text);
    QCOMPARE(sheets.size(), count);
    QString listed;
    int listSheets = 0;
    for (int i = 0; i < sheets.size(); ++i) {
        const QString &sheet = sheets[i];
        QVERIFY2(sheet.contains(QStringLiteral("Pagina %1 di %2").arg(i + 1).arg(count)),
                 qPrintable(sheet));
        QVERIFY(sheet.contains(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))));
        QVERIFY(sheet.contains(QStringLiteral("Ardivo %1").arg(ReportPrinter::kProgramVersion)));
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
        QVERIFY2(listed.count(QRegularExpression(QStringLiteral("\\bM%1\\b").arg(i))) == 1,
                 qPrintable(QString::number(i)));
    // The totals and the summary line stand on the same sheet as the last entry.
    const QString lastList = listed.mid(listed.lastIndexOf("Elenco di materiali"));
    QVERIFY(lastList.contains("Totale") && lastList.contains("A = ") &&
            lastList.contains(QStringLiteral("M%1").arg(entries - 1)));
}

// The ODT holds the same list as a real table, with every entry and the totals; a folder that
// cannot be written gives a message and no file.
void TestReports::odtHoldsTheListAsTables()
{
    TestWorld world;
    for (int i = 0; i < 60; ++i)
        QVERIFY(WorkingTables::appendMaterial(i + 1, QStringLiteral("Voce <%1>").arg(i), 17.0, 1.0,
                                              1.0, 10.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    QTemporaryDir dir;
    world.prompt.files << dir.filePath("relazione");
    click(child(page, "cmdEsportaOdt"));
    QVERIFY(world.prompt.fileBoxes.last().endsWith(".odt"));
    QVERIFY2(world.prompt.messages.isEmpty(), qPrintable(world.prompt.messages.join("; ")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"relazione.odt"});
    const QString content = odtContent(dir.filePath("relazione.odt"));
    if (content.isEmpty())
        QSKIP("unzip is not installed");
    QVERIFY(content.count("<table:table ") >= 3); // the measures, the list, the chart's caption
    for (int i = 0; i < 60; ++i)                  // markup in a name is kept as typed
        QVERIFY2(content.contains(QStringLiteral(">Voce &lt;%1&gt;<").arg(i)),
                 qPrintable(QString::number(i)));
    QVERIFY(content.contains(">Totale<") && content.contains(">10200<"));
    QVERIFY(content.contains("Sviluppo del calcolo"));
    QVERIFY(content.contains("<draw:image")); // the chart, as a picture

    world.prompt.files << QStringLiteral("/proc/relazione.odt");
    click(child(page, "cmdEsportaOdt"));
    QVERIFY(world.prompt.messages.last().startsWith(
        QStringLiteral("Impossibile esportare il documento ODT")));
    QVERIFY(!QFile::exists(QStringLiteral("/proc/relazione.odt")));
}

void TestReports::listLinksBackAndNewCalculation()
{
    TestWorld world;
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
    QCOMPARE(child<QLineEdit>(*list, "Materiale_1")->text(), QString());
    // ...until its Indietro releases it; the next click builds it from the table as it is now.
    click(child(*list, "Indietro"));
    QVERIFY(page.isVisible());
    emit link->clicked();
    QCOMPARE(child<QLineEdit>(Screens::get<StampaElencoMateriali>(), "Materiale_1")->text(),
             QStringLiteral("Carta"));

    // The furnishings link builds a new list on every click.
    auto &furnishings = Screens::get<StampaArredoMerci>();
    emit child<LinkLabel>(furnishings, "Label7")->clicked();
    QPointer<QWidget> first = &Screens::get<StampaElencoArredoMerci>();
    emit child<LinkLabel>(furnishings, "Label7")->clicked();
    QVERIFY(&Screens::get<StampaElencoArredoMerci>() != first.data());

    // Nuova analisi on the materials page empties its working table and goes to the chooser.
    click(child(page, "cmdNuova"));
    QVERIFY(!page.isVisible());
    QVERIFY(Screens::get<DensitaCarico>().isVisible());
    QCOMPARE(WorkingTables::rowCount("tblAppoggioMateriali"), 0);
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
