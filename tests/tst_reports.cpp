// Report pages, their canvas and scrolling, the itemised lists and printing to PDF.
#include "core/calculationsession.h"
#include "data/entrystore.h"
#include "data/odfheadings.h"
#include "data/odfpackage.h"
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
#include "ui/reports/reportodt.h"
#include "ui/reports/reportprinter.h"
#include "ui/reports/stampapages.h"
#include "ui/start/densitacarico.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextTable>
#include <QXmlStreamReader>
#include <QtEndian>

#include <functional>

using Damage = std::function<void(QByteArray &)>;
Q_DECLARE_METATYPE(Damage)

namespace {

// Entries as the entry screens keep them: through the entry store, into the calculation and
// its working table at once.
MaterialEntry material(const QString &name, double value, double psi, double m, double quantity)
{
    return {name, Amount::number(value), Amount::number(quantity), Amount::number(psi),
            Amount::number(m)};
}

bool addMaterial(const QString &name, double value, double psi, double m, double quantity)
{
    return EntryStore::addMaterials(CalculationSession::current(),
                                    {material(name, value, psi, m, quantity)});
}

FurnishingEntry furnishing(const QString &name, double valuePerPiece, double pieces)
{
    FurnishingEntry e;
    e.furnishing = name;
    e.valuePerPiece = Amount::number(valuePerPiece);
    e.pieces = Amount::number(pieces);
    return e;
}

FurnishingEntry goods(const QString &name, double valuePerM3, double volume, double packaging)
{
    FurnishingEntry e;
    e.goods = name;
    e.valuePerM3 = Amount::number(valuePerM3);
    e.volume = Amount::number(volume);
    e.packaging = Amount::number(packaging);
    return e;
}

} // namespace

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
    void packageRoundTrip();
    void packageRefusesDamage_data();
    void packageRefusesDamage();
    void packageSurvivesAnyDamage();
    void headingsKeepTheRest();
    void headingsFromParagraphs_data();
    void headingsFromParagraphs();
    void headingStylesJoinTheCommonOnes_data();
    void headingStylesJoinTheCommonOnes();
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
        QVERIFY(addMaterial(QStringLiteral("M%1").arg(i), 20.0, 1.0, 0.8, 10.0));
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
    QVERIFY(EntryStore::addFurnishings(
        CalculationSession::current(),
        {furnishing("Divano", 600.0, 2.0), goods("Carta", 400.0, 10.0, 1.1),
         furnishing("Sedia", 10.0, 2.0), goods("Legna", 400.0, 1.0, 1.0)}));
    auto &list = Screens::get<StampaElencoArredoMerci>();
    QVERIFY(qAbs(PageCanvas::topOf(child(list, "Label2")) - 4030) <= 15);
    QCOMPARE(child<QLineEdit>(list, "Imballo_0")->text(), QStringLiteral("si"));
    QCOMPARE(child<QLineEdit>(list, "Imballo_1")->text(), QStringLiteral("no"));
}

void TestReports::longListGrowsCanvas()
{
    TestWorld world;
    for (int i = 0; i < 200; ++i)
        QVERIFY(addMaterial(QStringLiteral("Materiale %1").arg(i), 17.0, 1.0, 1.0, 1.0));
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
    QVERIFY(addMaterial("Legno", 17.0, 1.0, 1.0, 100.0));
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
        QVERIFY(addMaterial(QStringLiteral("M%1").arg(i), 17.0, 1.0, 1.0, 1.0 + i));
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
        QVERIFY(addMaterial(QStringLiteral("Voce <%1>").arg(i), 17.0, 1.0, 1.0, 10.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    QTemporaryDir dir;
    world.prompt.files << dir.filePath("relazione");
    click(child(page, "cmdEsportaOdt"));
    QVERIFY(world.prompt.fileBoxes.last().endsWith(".odt"));
    QVERIFY2(world.prompt.messages.isEmpty(), qPrintable(world.prompt.messages.join("; ")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"relazione.odt"});
    const QString content = odtContent(dir.filePath("relazione.odt"));
    QVERIFY(content.count("<table:table ") >= 3); // the measures, the list, the chart's caption
    for (int i = 0; i < 60; ++i)                  // markup in a name is kept as typed
        QVERIFY2(content.contains(QStringLiteral(">Voce &lt;%1&gt;<").arg(i)),
                 qPrintable(QString::number(i)));
    QVERIFY(content.contains(">Totale<") && content.contains(">10200<"));
    QVERIFY(content.contains("Sviluppo del calcolo"));
    QVERIFY(content.contains("<draw:image")); // the chart, as a picture
    // The headings are headings a word processor lists in its outline, on its heading styles.
    const auto heading = [&](int level, const QString &text) {
        return content.contains(QRegularExpression(
            QStringLiteral(R"(<text:h text:style-name="p\d+" text:outline-level="%1">)"
                           R"(<text:span[^>]*>%2</text:span></text:h>)")
                .arg(level)
                .arg(QRegularExpression::escape(text))));
    };
    QVERIFY(heading(1, "Classificazione di resistenza al fuoco delle costruzioni"));
    QVERIFY(heading(2, "Sviluppo del calcolo"));
    QVERIFY(heading(3, "Fattore di protezione"));
    QVERIFY(!content.contains(QRegularExpression(R"(<text:p[^>]*><text:span[^>]*>Sviluppo)")));
    QVERIFY(content.contains(
        QRegularExpression(R"(style:family="paragraph" style:parent-style-name="Heading_20_2")")));
    const QString styles = odtContent(dir.filePath("relazione.odt"), "styles.xml");
    QVERIFY(styles.contains(R"(style:name="Heading_20_2" style:display-name="Heading 2")"));
    QVERIFY(odtContent(dir.filePath("relazione.odt"), "META-INF/manifest.xml")
                .contains(R"(manifest:full-path="styles.xml")"));

    world.prompt.files << QStringLiteral("/proc/relazione.odt");
    click(child(page, "cmdEsportaOdt"));
    QVERIFY(world.prompt.messages.last().startsWith(
        QStringLiteral("Impossibile esportare il documento ODT")));
    QVERIFY(!QFile::exists(QStringLiteral("/proc/relazione.odt")));
}

namespace {

// What Qt's writer makes of a short text: two headings, a paragraph, a table and a picture;
// with the outline level of each heading style.
QByteArray writtenByQt(OdfHeadings::Levels *levels = nullptr)
{
    QTextDocument text;
    QTextCursor cursor(&text);
    QTextBlockFormat heading;
    heading.setHeadingLevel(1);
    cursor.setBlockFormat(heading);
    cursor.insertText(QStringLiteral("Sviluppo del calcolo"));
    heading.setHeadingLevel(2);
    cursor.insertBlock(heading);
    cursor.insertText(QStringLiteral("Carico d'incendio specifico"));
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText(QStringLiteral("q_f = 516,67 MJ/m² <b>"));
    QTextTable *table = cursor.insertTable(2, 2);
    for (int cell = 0; cell < 4; ++cell)
        table->cellAt(cell / 2, cell % 2).firstCursorPosition().insertText(QString::number(cell));
    cursor.movePosition(QTextCursor::End);
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkRed);
    text.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("grafico.png")), picture);
    cursor.insertImage(QStringLiteral("grafico.png"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!QTextDocumentWriter(&buffer, "odf").write(&text))
        return QByteArray();
    if (levels)
        *levels = ReportOdt::headingLevels(text);
    return buffer.data();
}

quint32 field32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

void setField32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

// Where the record with `signature` and `size` fixed bytes for the entry `name` starts.
qsizetype record(const QByteArray &zip, const QByteArray &name, const char *signature,
                 qsizetype size)
{
    for (qsizetype at = zip.indexOf(name); at >= 0; at = zip.indexOf(name, at + 1)) {
        if (at >= size && zip.mid(at - size, 4) == QByteArray(signature, 4))
            return at - size;
    }
    return -1;
}

qsizetype localHeader(const QByteArray &zip, const QByteArray &name = "content.xml")
{
    return record(zip, name, "PK\x03\x04", 30);
}

qsizetype centralHeader(const QByteArray &zip)
{
    return record(zip, "content.xml", "PK\x01\x02", 46);
}

// Every token of `xml` as text; with `asWritten`, the headings back as the plain paragraphs
// Qt wrote, and their styles with no parent.
QStringList tokens(const QByteArray &xml, bool asWritten)
{
    QStringList tokens;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::Invalid) {
        QString token = reader.tokenString() + QLatin1Char(' ');
        QString name = reader.qualifiedName().toString();
        if (asWritten && name == QLatin1String("text:h"))
            name = QStringLiteral("text:p");
        token += name;
        for (const auto &declaration : reader.namespaceDeclarations())
            token += QStringLiteral(" xmlns:%1=%2")
                         .arg(declaration.prefix(), declaration.namespaceUri());
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            const QStringView key = attribute.qualifiedName();
            if (asWritten && (key == u"text:outline-level" || key == u"style:parent-style-name"))
                continue;
            token += QStringLiteral(" %1=%2").arg(key, attribute.value());
        }
        tokens << token + QLatin1Char(' ') + reader.text().toString();
    }
    return tokens;
}

} // namespace

// The package as Qt writes it is read whole; an entry replaced and one added, it is written and
// read again with every entry as it was, the "mimetype" first and stored.
void TestReports::packageRoundTrip()
{
    const std::optional<OdfPackage> written = OdfPackage::read(writtenByQt());
    QVERIFY(written);
    QCOMPARE(written->names(), QStringList({"mimetype", "Pictures/Picture1",
                                            "META-INF/manifest.xml", "content.xml"}));
    QCOMPARE(written->entry("mimetype"), QByteArray("application/vnd.oasis.opendocument.text"));
    QVERIFY(written->entry("content.xml").contains("Sviluppo del calcolo"));
    QVERIFY(written->entry("Pictures/Picture1").startsWith("\x89PNG"));
    QVERIFY(written->entry("styles.xml").isNull());

    OdfPackage changed = *written;
    changed.setEntry("content.xml",
                     written->entry("content.xml").replace("Sviluppo", "Svolgimento"));
    changed.setEntry(QStringLiteral("Immagini/caffè.txt"), QByteArray()); // a name in UTF-8
    changed.setEntry("mimetype", written->entry("mimetype"));
    const std::optional<QByteArray> bytes = changed.write();
    QVERIFY(bytes);
    const std::optional<OdfPackage> again = OdfPackage::read(*bytes);
    QVERIFY(again);
    QCOMPARE(again->names(), changed.names());
    for (const QString &name : again->names())
        QCOMPARE(again->entry(name), changed.entry(name));
    QVERIFY(again->entry("content.xml").contains("Svolgimento del calcolo"));

    // A package with its "mimetype" added last still has it first: stored, no extra field, its
    // text at the fixed offset where a file's type is read.
    OdfPackage made;
    made.setEntry("content.xml", written->entry("content.xml"));
    made.setEntry("mimetype", written->entry("mimetype"));
    const QByteArray file = made.write().value_or(QByteArray());
    QVERIFY(file.startsWith("PK\x03\x04"));
    QCOMPARE(qFromLittleEndian<quint16>(file.constData() + 8), quint16(0));  // stored
    QCOMPARE(qFromLittleEndian<quint16>(file.constData() + 28), quint16(0)); // no extra field
    QCOMPARE(file.mid(30, 47), QByteArray("mimetypeapplication/vnd.oasis.opendocument.text"));
    QCOMPARE(OdfPackage::read(file).value_or(OdfPackage()).names(),
             QStringList({"mimetype", "content.xml"}));
    // The content is deflated; a picture, compressed already, is stored.
    QVERIFY(field32(file, localHeader(file) + 18) < field32(file, localHeader(file) + 22));
    const qsizetype picture = localHeader(*bytes, "Pictures/Picture1");
    QVERIFY(picture > 0);
    QCOMPARE(qFromLittleEndian<quint16>(bytes->constData() + picture + 8), quint16(0));

    // Another reader takes the package too, checksums and all.
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        return;
    QTemporaryDir dir;
    QFile out(dir.filePath("pacchetto.odt"));
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(*bytes) == bytes->size());
    out.close();
    QProcess test;
    test.start(unzip, {QStringLiteral("-tq"), out.fileName()});
    QVERIFY(test.waitForFinished(20000));
    QCOMPARE(test.exitCode(), 0);
}

void TestReports::packageRefusesDamage_data()
{
    QTest::addColumn<Damage>("damage");
    const auto central = [](QByteArray &zip, qsizetype field, quint32 value) {
        setField32(zip, centralHeader(zip) + field, value);
    };
    const qsizetype end = 22; // the end record, from the end of the archive
    QTest::newRow("empty") << Damage([](QByteArray &zip) { zip.clear(); });
    QTest::newRow("not a zip") << Damage([](QByteArray &zip) { zip = "Ardivo 1.0"; });
    QTest::newRow("last byte cut") << Damage([](QByteArray &zip) { zip.chop(1); });
    QTest::newRow("cut in half") << Damage([](QByteArray &zip) { zip.truncate(zip.size() / 2); });
    QTest::newRow("no end record")
        << Damage([end](QByteArray &zip) { zip[zip.size() - end] = 'X'; });
    QTest::newRow("more entries than listed") << Damage([end](QByteArray &zip) {
        setField32(zip, zip.size() - end + 8, field32(zip, zip.size() - end + 8) + 0x00010001);
    });
    QTest::newRow("directory elsewhere")
        << Damage([end](QByteArray &zip) { setField32(zip, zip.size() - end + 16, 0); });
    QTest::newRow("checksum") << Damage([central](QByteArray &zip) {
        central(zip, 16, field32(zip, centralHeader(zip) + 16) ^ 1);
    });
    QTest::newRow("size beyond the limit")
        << Damage([central](QByteArray &zip) { central(zip, 24, 0x7FFFFFF0); });
    QTest::newRow("size too small") << Damage([central](QByteArray &zip) {
        central(zip, 24, field32(zip, centralHeader(zip) + 24) - 1);
    });
    QTest::newRow("packed size beyond the archive")
        << Damage([central](QByteArray &zip) { central(zip, 20, 0xFFFFFF00); });
    QTest::newRow("local header elsewhere")
        << Damage([central](QByteArray &zip) { central(zip, 42, quint32(localHeader(zip) + 1)); });
    QTest::newRow("encrypted") << Damage([](QByteArray &zip) { zip[centralHeader(zip) + 8] = 1; });
    QTest::newRow("unknown method")
        << Damage([](QByteArray &zip) { zip[centralHeader(zip) + 10] = 12; });
    QTest::newRow("packed data") << Damage([](QByteArray &zip) {
        const qsizetype local = localHeader(zip);
        const qsizetype data =
            local + 30 + 11 + qFromLittleEndian<quint16>(zip.constData() + local + 28);
        zip[data + 10] = char(zip.at(data + 10) ^ 0x55);
    });
}

// A truncated or damaged package is refused, whatever the damage.
void TestReports::packageRefusesDamage()
{
    QFETCH(Damage, damage);
    QByteArray zip = writtenByQt();
    QVERIFY(OdfPackage::read(zip));
    QVERIFY(centralHeader(zip) > localHeader(zip) && localHeader(zip) > 0);
    damage(zip);
    QVERIFY(!OdfPackage::read(zip));
}

// Cut anywhere, the package is refused; any byte changed, it is read or refused, never more.
void TestReports::packageSurvivesAnyDamage()
{
    const QByteArray zip = writtenByQt();
    for (qsizetype length = 0; length < zip.size(); ++length)
        QVERIFY2(!OdfPackage::read(zip.left(length)), qPrintable(QString::number(length)));
    for (qsizetype at = 0; at < zip.size(); ++at) {
        QByteArray changed = zip;
        changed[at] = char(changed.at(at) ^ 0xA5);
        if (const auto package = OdfPackage::read(changed))
            QCOMPARE(package->names().size(), 4);
    }
}

// The headings become text:h on heading styles; every other token is as Qt wrote it.
void TestReports::headingsKeepTheRest()
{
    OdfHeadings::Levels levels;
    std::optional<OdfPackage> package = OdfPackage::read(writtenByQt(&levels));
    QVERIFY(package);
    QCOMPARE(levels.size(), 2);
    const QByteArray before = package->entry("content.xml");
    QVERIFY(OdfHeadings::apply(*package, levels));
    const QByteArray after = package->entry("content.xml");
    QCOMPARE(tokens(after, true), tokens(before, false));
    QCOMPARE(after.count("<text:h "), 2);
    QCOMPARE(after.count("style:parent-style-name=\"Heading_20_"), 2);
    QVERIFY(after.contains("text:outline-level=\"2\"><text:span"));

    const QByteArray styles = package->entry("styles.xml");
    for (int level = 1; level <= 2; ++level)
        QVERIFY(styles.contains(QStringLiteral("style:name=\"Heading_20_%1\" "
                                               "style:display-name=\"Heading %1\" "
                                               "style:family=\"paragraph\" "
                                               "style:parent-style-name=\"Heading\" "
                                               "style:default-outline-level=\"%1\"")
                                    .arg(level)
                                    .toUtf8()));
    QVERIFY(!styles.contains("Heading_20_3"));
    const QByteArray manifest = package->entry("META-INF/manifest.xml");
    QCOMPARE(manifest.count("manifest:full-path=\"styles.xml\""), 1);
    // A package that has them already is not given them twice.
    QCOMPARE(OdfHeadings::manifest(manifest, "styles.xml", "text/xml"), manifest);
    QVERIFY(!OdfHeadings::content("<office:document-content>", levels));
}

void TestReports::headingsFromParagraphs_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty heading") << R"(<text:p text:style-name="p1"/>)"
                                   << R"(<text:h text:style-name="p1" text:outline-level="1"/>)";
    QTest::newRow("spans and accents")
        << QStringLiteral(R"(<text:p text:style-name="p2"><text:span>δq1 – attività</text:span>)"
                          R"(<text:s/></text:p ><text:p text:style-name="p1">°</text:p>)")
        << QStringLiteral(R"(<text:h text:style-name="p2" text:outline-level="2"><text:span>)"
                          R"(δq1 – attività</text:span><text:s/></text:h>)"
                          R"(<text:h text:style-name="p1" text:outline-level="1">°</text:h>)");
    QTest::newRow("a plain paragraph is kept")
        << R"(<text:p text:style-name="p3">a &gt; b</text:p>)"
        << R"(<text:p text:style-name="p3">a &gt; b</text:p>)";
    QTest::newRow("paragraph style") << R"(<style:style style:name="p2" style:family="paragraph">)"
                                        R"(<style:paragraph-properties/></style:style>)"
                                     << R"(<style:style style:name="p2" style:family="paragraph" )"
                                        R"(style:parent-style-name="Heading_20_2">)"
                                        R"(<style:paragraph-properties/></style:style>)";
    QTest::newRow("a text style of the same name is kept")
        << R"(<style:style style:name="p1" style:family="text"/>)"
        << R"(<style:style style:name="p1" style:family="text"/>)";
}

// Only the tags of the headings and their styles change; the rest is kept character for
// character.
void TestReports::headingsFromParagraphs()
{
    QFETCH(QString, body);
    QFETCH(QString, expected);
    const QString document =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content "
                       "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                       "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                       "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">\n %1\n"
                       "</office:document-content>");
    const OdfHeadings::Levels levels{{"p1", 1}, {"p2", 2}};
    QCOMPARE(
        QString::fromUtf8(
            OdfHeadings::content(document.arg(body).toUtf8(), levels).value_or("not well-formed")),
        document.arg(expected));
}

void TestReports::headingStylesJoinTheCommonOnes_data()
{
    QTest::addColumn<QByteArray>("styles");
    QTest::addColumn<QStringList>("parts");  // the document's children, in order
    QTest::addColumn<QStringList>("common"); // the names of its common styles, in order
    const QByteArray start = R"(<office:document-styles )"
                             R"(xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
                             R"(xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0">)";
    const QByteArray end = "</office:document-styles>";
    const QStringList headings{"Heading", "Heading_20_1", "Heading_20_2"};
    QTest::newRow("none") << QByteArray() << QStringList{"office:styles"} << headings;
    QTest::newRow("common styles")
        << start +
               R"(<office:styles><style:style style:name="Standard"/></office:styles>)"
               "<office:master-styles/>" +
               end
        << QStringList{"office:styles", "office:master-styles"}
        << QStringList{"Standard"} + headings;
    QTest::newRow("page styles only")
        << start + "<office:automatic-styles/><office:master-styles/>" + end
        << QStringList{"office:styles", "office:automatic-styles", "office:master-styles"}
        << headings;
    QTest::newRow("empty document") << start + end << QStringList{"office:styles"} << headings;
}

// The heading styles join the document's common styles, or a section of their own where ODF
// has it.
void TestReports::headingStylesJoinTheCommonOnes()
{
    QFETCH(QByteArray, styles);
    QFETCH(QStringList, parts);
    QFETCH(QStringList, common);
    const std::optional<QByteArray> joined = OdfHeadings::styles(styles, 2);
    QVERIFY(joined);
    QStringList foundParts, foundCommon;
    QXmlStreamReader reader(*joined);
    int depth = 0;
    bool inCommon = false;
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        if (reader.isStartElement()) {
            if (++depth == 2)
                foundParts << reader.qualifiedName().toString();
            inCommon = inCommon || reader.qualifiedName() == u"office:styles";
            if (inCommon && depth == 3 && reader.name() == u"style")
                foundCommon << reader.attributes().value("style:name").toString();
        } else if (reader.isEndElement()) {
            if (reader.qualifiedName() == u"office:styles")
                inCommon = false;
            --depth;
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(foundParts, parts);
    QCOMPARE(foundCommon, common);
}

void TestReports::listLinksBackAndNewCalculation()
{
    TestWorld world;
    QVERIFY(addMaterial("Legno", 17.0, 1.0, 1.0, 100.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    auto *link = child<LinkLabel>(page, "Label7");
    emit link->clicked();
    QWidget *list = &Screens::get<StampaElencoMateriali>();
    QVERIFY(list->isVisible());
    // The materials link shows the list it has, unchanged...
    QVERIFY(addMaterial("Carta", 20.0, 1.0, 1.0, 5.0));
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
