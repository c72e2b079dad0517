// Report pages, their canvas and scrolling, the itemised lists and printing to PDF.
#include "data/entrystore.h"
#include "data/odfheadings.h"
#include "data/odfpackage.h"
#include "testsupport.h"
#include "ui/reports/pagecanvas.h"
#include "ui/reports/reportlayout.h"
#include "ui/reports/reportodt.h"
#include "ui/reports/reportprinter.h"

#include <QBuffer>
#include <QImage>
#include <QStandardPaths>
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
    return {name, n(value), n(quantity), n(psi), n(m)};
}

bool storeMaterial(const QString &name, double value, double psi, double m, double quantity)
{
    return EntryStore::addMaterials(CalculationSession::current(),
                                    {material(name, value, psi, m, quantity)});
}

} // namespace

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
    QVERIFY(EntryStore::addFurnishings(
        CalculationSession::current(),
        {furnishing("Divano", 600.0, 2.0), goods("Carta", 400.0, 10.0, 1.1),
         furnishing("Sedia", 10.0, 2.0), goods("Legna", 400.0, 1.0, 1.0)}));
    auto &list = Screens::get<StampaElencoArredoMerci>();
    QVERIFY(qAbs(PageCanvas::topOf(child(list, "Label2")) - 4030) <= 15);
    COMPARE_FIELDS(list, {"Imballo_0=si", "Imballo_1=no"});
}

void TestReports::printingWithoutPrinterWritesPageAndList()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    QVERIFY(storeMaterial("Legno", 17.0, 1.0, 1.0, 100.0));
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
        QVERIFY(storeMaterial(u"M%1"_s.arg(i), 17.0, 1.0, 1.0, 1.0 + i));
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
    const QString today = QDate::currentDate().toString(u"dd/MM/yyyy"_s);
    for (int i = 0; i < sheets.size(); ++i) {
        const QString &sheet = sheets[i];
        VERIFY_CONTAINS(sheet, {u"Pagina %1 di %2"_s.arg(i + 1).arg(count), today,
                                u"Ardivo %1"_s.arg(ReportPrinter::kProgramVersion)});
        if (!sheet.contains("Elenco di materiali inseriti nella sommatoria"))
            continue;
        ++listSheets;
        VERIFY_CONTAINS(sheet, {QRegularExpression("Materiale\\s+Fonte del valore\\s+H "
                                                   "\\[MJ/kg\\]\\s+ψ\\s+m\\s+Qtà"),
                                QRegularExpression("\\bM\\d+\\b")});
        listed += sheet;
    }
    QVERIFY(listSheets >= (entries > 60 ? 3 : 1));
    for (int i = 0; i < entries; ++i)
        QVERIFY2(listed.count(QRegularExpression(u"\\bM%1\\b"_s.arg(i))) == 1,
                 qPrintable(QString::number(i)));
    // The totals and the summary line stand on the same sheet as the last entry.
    const QString lastList = listed.mid(listed.lastIndexOf("Elenco di materiali"));
    VERIFY_CONTAINS(lastList, {"Totale", "A = ", u"M%1"_s.arg(entries - 1)});
}

// The ODT holds the same list as a real table, with every entry and the totals; a folder that
// cannot be written gives a message and no file.
void TestReports::odtHoldsTheListAsTables()
{
    for (int i = 0; i < 60; ++i)
        QVERIFY(storeMaterial(u"Voce <%1>"_s.arg(i), 17.0, 1.0, 1.0, 10.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    QTemporaryDir dir;
    world().prompt.files << dir.filePath("relazione");
    click(page, "cmdEsportaOdt");
    QVERIFY(world().prompt.fileBoxes.last().endsWith(".odt"));
    QVERIFY2(world().prompt.messages.isEmpty(), qPrintable(world().prompt.messages.join("; ")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"relazione.odt"});
    const QString content = odtContent(dir.filePath("relazione.odt"));
    QVERIFY(content.count("<table:table ") >= 3); // the measures, the list, the chart's caption
    for (int i = 0; i < 60; ++i)                  // markup in a name is kept as typed
        QVERIFY2(content.contains(u">Voce &lt;%1&gt;<"_s.arg(i)), qPrintable(QString::number(i)));
    // The chart, as a picture. The headings are headings a word processor lists in its outline,
    // on its heading styles.
    const auto heading = [](int level, const char *text) {
        return QRegularExpression(u"<text:h text:style-name=\"p\\d+\" text:outline-level=\"%1\">"
                                  "<text:span[^>]*>%2</text:span></text:h>"_s.arg(level)
                                      .arg(text));
    };
    VERIFY_CONTAINS(content,
                    {">Totale<", ">10.200<", "<draw:image",
                     heading(1, "Classificazione di resistenza al fuoco delle costruzioni"),
                     heading(2, "Sviluppo del calcolo"), heading(3, "Fattore di protezione"),
                     R"(style:family="paragraph" style:parent-style-name="Heading_20_2")"});
    QVERIFY(!content.contains(QRegularExpression(R"(<text:p[^>]*><text:span[^>]*>Sviluppo)")));

    world().prompt.files << u"/proc/relazione.odt"_s;
    click(page, "cmdEsportaOdt");
    QVERIFY(world().prompt.messages.last().startsWith(u"Impossibile esportare il documento ODT"_s));
    QVERIFY(!QFile::exists(u"/proc/relazione.odt"_s));
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
    cursor.insertText(u"Sviluppo del calcolo"_s);
    heading.setHeadingLevel(2);
    cursor.insertBlock(heading);
    cursor.insertText(u"Carico d'incendio specifico"_s);
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText(u"q_f = 516,67 MJ/m² <b>"_s);
    QTextTable *table = cursor.insertTable(2, 2);
    for (int cell = 0; cell < 4; ++cell)
        table->cellAt(cell / 2, cell % 2).firstCursorPosition().insertText(QString::number(cell));
    cursor.movePosition(QTextCursor::End);
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkRed);
    text.addResource(QTextDocument::ImageResource, QUrl(u"grafico.png"_s), picture);
    cursor.insertImage(u"grafico.png"_s);
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

void set32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void add32(QByteArray &bytes, qsizetype at, quint32 value)
{
    set32(bytes, at, field32(bytes, at) + value);
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

// Where content.xml's central header starts; plus `field`.
qsizetype central(const QByteArray &zip, qsizetype field = 0)
{
    return record(zip, "content.xml", "PK\x01\x02", 46) + field;
}

// Where content.xml's packed data starts.
qsizetype packedData(const QByteArray &zip)
{
    const qsizetype local = localHeader(zip);
    return local + 30 + 11 + qFromLittleEndian<quint16>(zip.constData() + local + 28);
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
            name = u"text:p"_s;
        token += name;
        for (const auto &declaration : reader.namespaceDeclarations())
            token += u" xmlns:%1=%2"_s.arg(declaration.prefix(), declaration.namespaceUri());
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            const QStringView key = attribute.qualifiedName();
            if (asWritten && (key == u"text:outline-level" || key == u"style:parent-style-name"))
                continue;
            token += u" %1=%2"_s.arg(key, attribute.value());
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
    changed.setEntry(u"Immagini/caffè.txt"_s, QByteArray()); // a name in UTF-8
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
    const QString unzip = QStandardPaths::findExecutable(u"unzip"_s);
    if (unzip.isEmpty())
        return;
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath("pacchetto.odt"), *bytes);
    QCOMPARE(QProcess::execute(unzip, {u"-tq"_s, path}), 0);
}

void TestReports::packageRefusesDamage_data()
{
    // Each row damages a field of the package Qt wrote: of its end record (the last 22 bytes), of
    // content.xml's central or local header. The cuts are in packageSurvivesAnyDamage.
    QTest::addColumn<Damage>("damage");
    using D = Damage;
    QTest::newRow("not a zip") << D([](QByteArray &z) { z = "Ardivo 1.0"; });
    QTest::newRow("no end record") << D([](QByteArray &z) { z[z.size() - 22] = 'X'; });
    QTest::newRow("more entries") << D([](QByteArray &z) { add32(z, z.size() - 14, 0x10001); });
    QTest::newRow("directory elsewhere") << D([](QByteArray &z) { set32(z, z.size() - 6, 0); });
    QTest::newRow("checksum") << D([](QByteArray &z) { add32(z, central(z, 16), 1); });
    QTest::newRow("size too big") << D([](QByteArray &z) { set32(z, central(z, 24), 0x7FFFFFF0); });
    QTest::newRow("size too small") << D([](QByteArray &z) { add32(z, central(z, 24), ~0u); });
    QTest::newRow("packed too big") << D([](QByteArray &z) { set32(z, central(z, 20), ~0xFFu); });
    QTest::newRow("local elsewhere") << D([](QByteArray &z) { add32(z, central(z, 42), 1); });
    QTest::newRow("encrypted") << D([](QByteArray &z) { z[central(z, 8)] = 1; });
    QTest::newRow("unknown method") << D([](QByteArray &z) { z[central(z, 10)] = 12; });
    QTest::newRow("packed data") << D([](QByteArray &z) { z[packedData(z) + 10] ^= 0x55; });
}

// A truncated or damaged package is refused, whatever the damage.
void TestReports::packageRefusesDamage()
{
    QFETCH(Damage, damage);
    QByteArray zip = writtenByQt();
    QVERIFY(OdfPackage::read(zip));
    QVERIFY(central(zip) > localHeader(zip) && localHeader(zip) > 0);
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
    const char *style = R"(style:name="Heading_20_%1" style:display-name="Heading %1" )"
                        R"(style:family="paragraph" style:parent-style-name="Heading" )"
                        R"(style:default-outline-level="%1")";
    for (int level = 1; level <= 2; ++level)
        QVERIFY(styles.contains(QString::fromLatin1(style).arg(level).toUtf8()));
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
    QTest::addColumn<QString>("expected"); // none: the body as it is
    QTest::newRow("empty heading") << R"(<text:p text:style-name="p1"/>)"
                                   << R"(<text:h text:style-name="p1" text:outline-level="1"/>)";
    QTest::newRow("spans and accents")
        << QStringLiteral(R"(<text:p text:style-name="p2"><text:span>δq1 – attività</text:span>)"
                          R"(<text:s/></text:p ><text:p text:style-name="p1">°</text:p>)")
        << QStringLiteral(R"(<text:h text:style-name="p2" text:outline-level="2"><text:span>)"
                          R"(δq1 – attività</text:span><text:s/></text:h>)"
                          R"(<text:h text:style-name="p1" text:outline-level="1">°</text:h>)");
    QTest::newRow("plain paragraph") << R"(<text:p text:style-name="p3">a &gt; b</text:p>)"
                                     << "";
    QTest::newRow("paragraph style") << R"(<style:style style:name="p2" style:family="paragraph">)"
                                        R"(<style:paragraph-properties/></style:style>)"
                                     << R"(<style:style style:name="p2" style:family="paragraph" )"
                                        R"(style:parent-style-name="Heading_20_2">)"
                                        R"(<style:paragraph-properties/></style:style>)";
    QTest::newRow("text style") << R"(<style:style style:name="p1" style:family="text"/>)"
                                << "";
}

// Only the tags of the headings and their styles change; the rest is kept character for
// character.
void TestReports::headingsFromParagraphs()
{
    QFETCH(QString, body);
    QFETCH(QString, expected);
    const QString document =
        u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">\n %1\n"
        "</office:document-content>"_s;
    const QByteArray made =
        OdfHeadings::content(document.arg(body).toUtf8(), {{"p1", 1}, {"p2", 2}})
            .value_or("not well-formed");
    QCOMPARE(QString::fromUtf8(made), document.arg(expected.isEmpty() ? body : expected));
}

void TestReports::headingStylesJoinTheCommonOnes_data()
{
    QTest::addColumn<QByteArray>("styles");
    QTest::addColumn<QString>("parts");  // the document's children, in order
    QTest::addColumn<QString>("common"); // the names of its common styles, in order
    const auto document = [](const char *body) {
        return R"(<office:document-styles )"
               R"(xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
               R"(xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0">)" +
               QByteArray(body) + "</office:document-styles>";
    };
    const QString headings = u"Heading Heading_20_1 Heading_20_2"_s;
    QTest::newRow("none") << QByteArray() << "office:styles" << headings;
    QTest::newRow("common styles")
        << document(R"(<office:styles><style:style style:name="Standard"/></office:styles>)"
                    "<office:master-styles/>")
        << "office:styles office:master-styles"
        << "Standard " + headings;
    QTest::newRow("page styles only")
        << document("<office:automatic-styles/><office:master-styles/>")
        << "office:styles office:automatic-styles office:master-styles" << headings;
    QTest::newRow("empty document") << document("") << "office:styles" << headings;
}

// The heading styles join the document's common styles, or a section of their own where ODF
// has it.
void TestReports::headingStylesJoinTheCommonOnes()
{
    QFETCH(QByteArray, styles);
    QFETCH(QString, parts);
    QFETCH(QString, common);
    const std::optional<QByteArray> joined = OdfHeadings::styles(styles, 2);
    QVERIFY(joined);
    QStringList foundParts, foundCommon;
    QXmlStreamReader reader(*joined);
    for (int depth = 0; reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd();) {
        if (reader.isEndElement())
            --depth;
        else if (reader.isStartElement() && ++depth == 2)
            foundParts << reader.qualifiedName().toString();
        else if (depth == 3 && foundParts.last() == u"office:styles" && reader.name() == u"style")
            foundCommon << reader.attributes().value("style:name").toString();
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(foundParts.join(' '), parts);
    QCOMPARE(foundCommon.join(' '), common);
}

void TestReports::listLinksBackAndNewCalculation()
{
    QVERIFY(storeMaterial("Legno", 17.0, 1.0, 1.0, 100.0));
    auto &page = Screens::get<StampaMateriali>();
    page.show();
    auto *link = child<LinkLabel>(page, "Label7");
    emit link->clicked();
    QWidget *list = &Screens::get<StampaElencoMateriali>();
    QVERIFY(list->isVisible());
    // The materials link shows the list it has, unchanged...
    QVERIFY(storeMaterial("Carta", 20.0, 1.0, 1.0, 5.0));
    emit link->clicked();
    QCOMPARE(&Screens::get<StampaElencoMateriali>(), list);
    QCOMPARE(child<QLineEdit>(*list, "Materiale_1")->text(), QString());
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
