#include "output/reportodt.h"

#include "output/reportlayout.h"
#include "output/zipwriter.h"

#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

namespace ReportOdt {
namespace {

// The page: A4 with the margins of the PDF's sheets, in points.
constexpr double kPageWidth = 595.28;
constexpr double kPageHeight = 841.89;
constexpr double kSide = 46; // the PDF's margin and the inset of its frame
constexpr double kTop = 40;
constexpr double kBottom = 24; // under the foot
constexpr double kTextWidth = kPageWidth - 2 * kSide;
constexpr double kCellPadding = 2;
constexpr double kPictureDpi = 300;
constexpr double kSignatureWidth = kTextWidth * 0.45; // the box to sign in, as on the PDF
constexpr double kSignatureHeight = 70;
const QString kFont = QStringLiteral("Liberation Sans");

const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kDraw = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString kXlink = QStringLiteral("http://www.w3.org/1999/xlink");
const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kMeta = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:meta:1.0");
const QString kManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");

QString pt(double points)
{
    return QString::number(points, 'f', 2) + QStringLiteral("pt");
}

// A style's name from its display name, as word processors write it: "Ardivo Corpo" is
// "Ardivo_20_Corpo".
QString styleName(const QString &display)
{
    return QString(display).replace(QLatin1Char(' '), QStringLiteral("_20_"));
}

// The named paragraph styles, the one place where the document's look is set.
struct ParagraphStyle {
    QString name; // the display name
    QString parent;
    double size = 0;
    bool bold = false;
    bool italic = false;
    QString align; // "start", "center", "end"
    double above = 0, below = 0;
    bool keepWithNext = false;
    double indent = 0;
    int outline = 0;
};

const QString kBody = QStringLiteral("Ardivo Corpo");
const QString kTitle = QStringLiteral("Ardivo Titolo");
const QString kRule = QStringLiteral("Ardivo Normativa");
const QString kStrong = QStringLiteral("Ardivo Evidenza");
const QString kClass = QStringLiteral("Ardivo Classe");
const QString kWorking = QStringLiteral("Ardivo Sviluppo");
const QString kWorkingDetail = QStringLiteral("Ardivo Sviluppo Dettaglio");
const QString kCaption = QStringLiteral("Ardivo Didascalia");
const QString kCell = QStringLiteral("Ardivo Tabella");
const QString kCellNumber = QStringLiteral("Ardivo Tabella Numero");
const QString kCellHeader = QStringLiteral("Ardivo Tabella Intestazione");
const QString kCellTotal = QStringLiteral("Ardivo Tabella Totale");
const QString kCellTotalNumber = QStringLiteral("Ardivo Tabella Totale Numero");
const QString kFieldCaption = QStringLiteral("Ardivo Campo");
const QString kFieldValue = QStringLiteral("Ardivo Valore");
const QString kSignature = QStringLiteral("Ardivo Firma");
const QString kSignatureBox = QStringLiteral("RiquadroFirma"); // its table and automatic styles
const QString kPicture = QStringLiteral("Ardivo Figura");
const QString kFoot = QStringLiteral("Ardivo Piè di pagina");

QString heading(int level)
{
    return QStringLiteral("Heading %1").arg(level);
}

QVector<ParagraphStyle> paragraphStyles()
{
    QVector<ParagraphStyle> styles;
    const auto add = [&](const ParagraphStyle &style) { styles << style; };
    add({kBody, QString(), 9.5, false, false, QStringLiteral("start"), 1, 1});
    add({kTitle, kBody, 15, true, false, QStringLiteral("center"), 0, 2, true});
    add({kRule, kBody, 11, false, true, QStringLiteral("center"), 0, 8, true});
    add({QStringLiteral("Heading"), kBody, 12, true, false, QString(), 10, 4, true});
    add({heading(1), QStringLiteral("Heading"), 14, true, false, QString(), 10, 4, true, 0, 1});
    add({heading(2), QStringLiteral("Heading"), 12, true, false, QString(), 8, 4, true, 0, 2});
    add({heading(3), QStringLiteral("Heading"), 11, true, false, QString(), 8, 3, true, 0, 3});
    add({kStrong, kBody, 10, true, false, QString(), 3, 3});
    add({kClass, kBody, 11, true, false, QString(), 4, 2});
    add({kWorking, kBody, 9.5, false, false, QString(), 1, 2});
    add({kWorkingDetail, kWorking, 9.5, false, false, QString(), 0, 2, false, 28});
    add({kCaption, kBody, 10, true, false, QString(), 6, 3, true});
    add({kCell, kBody, 8, false, false, QString(), 0, 0});
    add({kCellNumber, kCell, 0, false, false, QStringLiteral("end"), 0, 0});
    add({kCellHeader, kCell, 8, true, false, QStringLiteral("center"), 0, 0});
    add({kCellTotal, kCell, 8, true, false, QString(), 0, 0});
    add({kCellTotalNumber, kCellTotal, 0, false, false, QStringLiteral("end"), 0, 0});
    add({kFieldCaption, kBody, 9, true, false, QString(), 1, 1});
    add({kFieldValue, kBody, 9.5, false, false, QString(), 1, 1});
    add({kSignature, kBody, 9, true, false, QStringLiteral("end"), 2, 2, true});
    add({kPicture, kBody, 0, false, false, QStringLiteral("start"), 4, 4});
    add({kFoot, kBody, 7, false, false, QString(), 0, 0});
    return styles;
}

// Widths of texts as the word processor sets them, in points; each text measured once.
class Measure
{
public:
    Measure()
    {
        // Measured ten times larger at 72 dpi: no hinting of small sizes in the widths.
        m_probe = QImage(1, 1, QImage::Format_RGB32);
        m_probe.setDotsPerMeterX(int(std::lround(72 / 0.0254)));
        m_probe.setDotsPerMeterY(int(std::lround(72 / 0.0254)));
        for (bool bold : {false, true}) {
            QFont font(kFont);
            font.setPointSizeF(80);
            font.setBold(bold);
            m_metrics.emplace_back(font, &m_probe);
        }
    }
    // The widest word of `text`; the whole text when `whole`.
    double widest(const QString &text, bool bold, bool whole)
    {
        if (whole)
            return width(text, bold);
        double widest = 0;
        for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            widest = std::max(widest, width(word, bold));
        return widest;
    }

private:
    double width(const QString &text, bool bold)
    {
        QHash<QString, double> &known = m_known[bold ? 1 : 0];
        const auto found = known.constFind(text);
        if (found != known.constEnd())
            return *found;
        const double w = m_metrics[bold ? 1 : 0].horizontalAdvance(text) / 10;
        known.insert(text, w);
        return w;
    }
    QImage m_probe;
    std::vector<QFontMetricsF> m_metrics;
    QHash<QString, double> m_known[2];
};

// The widths of a table's columns in points: each at least as wide as its widest word (a
// number or a unit whole), the rest of the text's width shared as the document asks.
QVector<double> columnWidths(const ReportTable &table, Measure &measure, double size)
{
    const int columns = int(table.headers.size());
    const double room = 2 * kCellPadding + 2;
    QVector<double> least(columns, 0), share(columns, 0);
    for (int c = 0; c < columns; ++c) {
        const bool numeric = table.numeric.value(c);
        double widest = measure.widest(table.headers.at(c), true, false);
        for (const QStringList &row : table.rows)
            widest = std::max(widest, measure.widest(row.value(c), false, numeric));
        widest = std::max(widest, measure.widest(table.totals.value(c), true, numeric));
        least[c] = widest * size / 8 + room;
        share[c] = table.widths.value(c, 1.0 / columns);
    }
    double leastSum = 0, shareSum = 0;
    for (int c = 0; c < columns; ++c) {
        leastSum += least[c];
        shareSum += share[c];
    }
    QVector<double> widths(columns);
    if (leastSum >= kTextWidth) {
        // Wider than the page: the least widths, scaled to fit.
        for (int c = 0; c < columns; ++c)
            widths[c] = least[c] * kTextWidth / leastSum;
        return widths;
    }
    // The width each column is asked for; those that need more take it from the others.
    double wanted = 0;
    for (int c = 0; c < columns; ++c) {
        widths[c] = std::max(least[c], kTextWidth * share[c] / shareSum);
        wanted += widths[c];
    }
    if (wanted > kTextWidth) {
        double slack = 0;
        for (int c = 0; c < columns; ++c)
            slack += widths[c] - least[c];
        const double keep = (kTextWidth - leastSum) / slack;
        for (int c = 0; c < columns; ++c)
            widths[c] = least[c] + (widths[c] - least[c]) * keep;
    }
    return widths;
}

struct Picture {
    QString path;
    QByteArray png;
};

// The document's body and the automatic styles it needs, written in one pass.
class ContentWriter
{
public:
    // Measures the tables and gathers the foots: the automatic styles, written before the body.
    explicit ContentWriter(const ReportDocument &document);

    void writeBody(QXmlStreamWriter &xml);
    void writeAutomaticStyles(QXmlStreamWriter &xml) const;
    // The foot of each master page, in order: the first is the default page's.
    const QStringList &foots() const { return m_foots; }
    const QVector<Picture> &pictures() const { return m_pictures; }

private:
    void paragraph(QXmlStreamWriter &xml, const QString &style, const QString &text) const;
    void headingLine(QXmlStreamWriter &xml, int level, const QString &text) const;
    void table(QXmlStreamWriter &xml, const ReportTable &table);
    void fields(QXmlStreamWriter &xml, const QList<QPair<QString, QString>> &fields);
    void picture(QXmlStreamWriter &xml, const ReportBlock &block);
    void block(QXmlStreamWriter &xml, const ReportBlock &block);
    QString nextTableStyle() { return QStringLiteral("Tabella%1").arg(++m_written); }
    int masterPage(const QString &foot);

    const ReportDocument &m_document;
    Measure m_measure;
    QStringList m_foots;
    QVector<QVector<double>> m_tables; // the column widths of each table
    int m_written = 0;                 // the tables written so far
    QVector<Picture> m_pictures;
};

int ContentWriter::masterPage(const QString &foot)
{
    if (m_foots.isEmpty())
        m_foots << QString();
    const qsizetype index = m_foots.indexOf(foot);
    if (index >= 0)
        return int(index);
    m_foots << foot;
    return int(m_foots.size() - 1);
}

QString masterPageName(int index)
{
    return index == 0 ? QStringLiteral("Standard")
                      : QStringLiteral("Ardivo_20_Pagina_%1").arg(index);
}

void writeSignatureStyles(QXmlStreamWriter &xml);

void ContentWriter::writeAutomaticStyles(QXmlStreamWriter &xml) const
{
    xml.writeStartElement(kOffice, QStringLiteral("automatic-styles"));
    // The first paragraph of each part: a new page, with the foot of its compartment.
    for (int i = 0; i < m_foots.size(); ++i) {
        xml.writeStartElement(kStyle, QStringLiteral("style"));
        xml.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("Inizio%1").arg(i));
        xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
        xml.writeAttribute(kStyle, QStringLiteral("parent-style-name"), styleName(kTitle));
        xml.writeAttribute(kStyle, QStringLiteral("master-page-name"), masterPageName(i));
        xml.writeEndElement();
    }
    xml.writeStartElement(kStyle, QStringLiteral("style"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("NuovaPagina"));
    xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
    xml.writeAttribute(kStyle, QStringLiteral("parent-style-name"), styleName(kTitle));
    xml.writeEmptyElement(kStyle, QStringLiteral("paragraph-properties"));
    xml.writeAttribute(kFo, QStringLiteral("break-before"), QStringLiteral("page"));
    xml.writeEndElement();

    for (int t = 0; t < m_tables.size(); ++t) {
        const QString name = QStringLiteral("Tabella%1").arg(t + 1);
        xml.writeStartElement(kStyle, QStringLiteral("style"));
        xml.writeAttribute(kStyle, QStringLiteral("name"), name);
        xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table"));
        xml.writeEmptyElement(kStyle, QStringLiteral("table-properties"));
        double width = 0;
        for (double w : m_tables.at(t))
            width += w;
        xml.writeAttribute(kStyle, QStringLiteral("width"), pt(width));
        xml.writeAttribute(kTable, QStringLiteral("align"), QStringLiteral("left"));
        xml.writeAttribute(kFo, QStringLiteral("margin-top"), pt(2));
        xml.writeAttribute(kFo, QStringLiteral("margin-bottom"), pt(4));
        xml.writeEndElement();
        for (int c = 0; c < m_tables.at(t).size(); ++c) {
            xml.writeStartElement(kStyle, QStringLiteral("style"));
            xml.writeAttribute(kStyle, QStringLiteral("name"),
                               QStringLiteral("%1.C%2").arg(name).arg(c + 1));
            xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-column"));
            xml.writeEmptyElement(kStyle, QStringLiteral("table-column-properties"));
            xml.writeAttribute(kStyle, QStringLiteral("column-width"), pt(m_tables.at(t).at(c)));
            xml.writeEndElement();
        }
    }
    // Rows kept whole on one page; cells with a thin rule under them, the header on grey.
    xml.writeStartElement(kStyle, QStringLiteral("style"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("Riga"));
    xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-row"));
    xml.writeEmptyElement(kStyle, QStringLiteral("table-row-properties"));
    xml.writeAttribute(kFo, QStringLiteral("keep-together"), QStringLiteral("always"));
    xml.writeEndElement();
    struct Cell {
        QString name, background, top, bottom;
    };
    const QString thin = QStringLiteral("0.5pt solid #000000");
    const QString hair = QStringLiteral("0.25pt solid #808080");
    for (const Cell &cell :
         {Cell{QStringLiteral("Intestazione"), QStringLiteral("#e1e4e8"), thin, thin},
          Cell{QStringLiteral("Cella"), QString(), QString(), hair},
          Cell{QStringLiteral("Totale"), QString(), thin, thin},
          Cell{QStringLiteral("Campo"), QString(), QString(), QString()}}) {
        xml.writeStartElement(kStyle, QStringLiteral("style"));
        xml.writeAttribute(kStyle, QStringLiteral("name"), cell.name);
        xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-cell"));
        xml.writeEmptyElement(kStyle, QStringLiteral("table-cell-properties"));
        xml.writeAttribute(kFo, QStringLiteral("padding"), pt(kCellPadding));
        xml.writeAttribute(kFo, QStringLiteral("border-left"), QStringLiteral("none"));
        xml.writeAttribute(kFo, QStringLiteral("border-right"), QStringLiteral("none"));
        xml.writeAttribute(kFo, QStringLiteral("border-top"),
                           cell.top.isEmpty() ? QStringLiteral("none") : cell.top);
        xml.writeAttribute(kFo, QStringLiteral("border-bottom"),
                           cell.bottom.isEmpty() ? QStringLiteral("none") : cell.bottom);
        if (!cell.background.isEmpty())
            xml.writeAttribute(kFo, QStringLiteral("background-color"), cell.background);
        xml.writeEndElement();
    }
    writeSignatureStyles(xml);
    xml.writeEndElement();
}

// The box the technician signs and stamps in: a one-cell table at the right, framed, as tall
// as the PDF's.
void writeSignatureStyles(QXmlStreamWriter &xml)
{
    const auto style = [&xml](const QString &name, const QString &family) {
        xml.writeStartElement(kStyle, QStringLiteral("style"));
        xml.writeAttribute(kStyle, QStringLiteral("name"), name);
        xml.writeAttribute(kStyle, QStringLiteral("family"), family);
    };
    style(kSignatureBox, QStringLiteral("table"));
    xml.writeEmptyElement(kStyle, QStringLiteral("table-properties"));
    xml.writeAttribute(kStyle, QStringLiteral("width"), pt(kSignatureWidth));
    xml.writeAttribute(kTable, QStringLiteral("align"), QStringLiteral("right"));
    xml.writeAttribute(kFo, QStringLiteral("margin-top"), pt(2));
    xml.writeEndElement();
    style(kSignatureBox + QStringLiteral(".C1"), QStringLiteral("table-column"));
    xml.writeEmptyElement(kStyle, QStringLiteral("table-column-properties"));
    xml.writeAttribute(kStyle, QStringLiteral("column-width"), pt(kSignatureWidth));
    xml.writeEndElement();
    style(kSignatureBox + QStringLiteral(".R1"), QStringLiteral("table-row"));
    xml.writeEmptyElement(kStyle, QStringLiteral("table-row-properties"));
    xml.writeAttribute(kStyle, QStringLiteral("min-row-height"), pt(kSignatureHeight));
    xml.writeAttribute(kFo, QStringLiteral("keep-together"), QStringLiteral("always"));
    xml.writeEndElement();
    style(kSignatureBox + QStringLiteral(".A1"), QStringLiteral("table-cell"));
    xml.writeEmptyElement(kStyle, QStringLiteral("table-cell-properties"));
    xml.writeAttribute(kFo, QStringLiteral("padding"), pt(kCellPadding));
    xml.writeAttribute(kFo, QStringLiteral("border"), QStringLiteral("0.5pt solid #000000"));
    xml.writeEndElement();
}

void ContentWriter::paragraph(QXmlStreamWriter &xml, const QString &style,
                              const QString &text) const
{
    xml.writeStartElement(kText, QStringLiteral("p"));
    xml.writeAttribute(kText, QStringLiteral("style-name"), styleName(style));
    xml.writeCharacters(text);
    xml.writeEndElement();
}

void ContentWriter::headingLine(QXmlStreamWriter &xml, int level, const QString &text) const
{
    xml.writeStartElement(kText, QStringLiteral("h"));
    xml.writeAttribute(kText, QStringLiteral("style-name"), styleName(heading(level)));
    xml.writeAttribute(kText, QStringLiteral("outline-level"), QString::number(level));
    xml.writeCharacters(text);
    xml.writeEndElement();
}

// The captions and values of a Fields block, as a table of two columns.
ReportTable fieldsShape(const QList<QPair<QString, QString>> &pairs)
{
    ReportTable shape;
    shape.headers = QStringList{QString(), QString()};
    shape.widths = {0.4, 0.6};
    for (const auto &field : pairs)
        shape.rows << QStringList{field.first, field.second};
    return shape;
}

bool isFieldsTable(const ReportBlock &block)
{
    return block.kind == ReportBlock::Kind::Fields && block.separator.isEmpty();
}

ContentWriter::ContentWriter(const ReportDocument &document) : m_document(document)
{
    for (const ReportPart &part : document.parts) {
        masterPage(part.foot);
        for (const ReportBlock &block : part.blocks) {
            if (block.kind == ReportBlock::Kind::Table)
                m_tables << columnWidths(block.table, m_measure, 8);
            else if (isFieldsTable(block))
                m_tables << columnWidths(fieldsShape(block.fields), m_measure, 9.5);
        }
    }
}

// `style` is the style's name, not its display name.
void cell(QXmlStreamWriter &xml, const QString &cellStyle, const QString &style,
          const QString &text)
{
    xml.writeStartElement(kTable, QStringLiteral("table-cell"));
    xml.writeAttribute(kTable, QStringLiteral("style-name"), cellStyle);
    xml.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("string"));
    xml.writeStartElement(kText, QStringLiteral("p"));
    xml.writeAttribute(kText, QStringLiteral("style-name"), style);
    xml.writeCharacters(text);
    xml.writeEndElement();
    xml.writeEndElement();
}

void columns(QXmlStreamWriter &xml, const QString &style, int count)
{
    for (int c = 0; c < count; ++c) {
        xml.writeEmptyElement(kTable, QStringLiteral("table-column"));
        xml.writeAttribute(kTable, QStringLiteral("style-name"),
                           QStringLiteral("%1.C%2").arg(style).arg(c + 1));
    }
}

void ContentWriter::table(QXmlStreamWriter &xml, const ReportTable &t)
{
    if (!t.title.isEmpty())
        paragraph(xml, kCaption, t.title);
    const int count = int(t.headers.size());
    const QString style = nextTableStyle();
    xml.writeStartElement(kTable, QStringLiteral("table"));
    xml.writeAttribute(kTable, QStringLiteral("name"), style);
    xml.writeAttribute(kTable, QStringLiteral("style-name"), style);
    columns(xml, style, count);
    const QString rowStyle = QStringLiteral("Riga");
    xml.writeStartElement(kTable, QStringLiteral("table-header-rows"));
    xml.writeStartElement(kTable, QStringLiteral("table-row"));
    xml.writeAttribute(kTable, QStringLiteral("style-name"), rowStyle);
    for (const QString &header : t.headers)
        cell(xml, QStringLiteral("Intestazione"), styleName(kCellHeader), header);
    xml.writeEndElement();
    xml.writeEndElement();
    // The styles of the cells of each column, in the rows and in the totals.
    QStringList body, totals;
    for (int c = 0; c < count; ++c) {
        const bool numeric = t.numeric.value(c);
        body << styleName(numeric ? kCellNumber : kCell);
        totals << styleName(numeric ? kCellTotalNumber : kCellTotal);
    }
    const QString bodyCell = QStringLiteral("Cella");
    const QString totalCell = QStringLiteral("Totale");
    const auto row = [&](const QStringList &texts, bool total) {
        xml.writeStartElement(kTable, QStringLiteral("table-row"));
        xml.writeAttribute(kTable, QStringLiteral("style-name"), rowStyle);
        for (int c = 0; c < count; ++c)
            cell(xml, total ? totalCell : bodyCell, (total ? totals : body).at(c), texts.value(c));
        xml.writeEndElement();
    };
    for (const QStringList &texts : t.rows)
        row(texts, false);
    if (!t.totals.isEmpty())
        row(t.totals, true);
    xml.writeEndElement();
}

// Captions and values in two columns without rules.
void ContentWriter::fields(QXmlStreamWriter &xml, const QList<QPair<QString, QString>> &pairs)
{
    const QString style = nextTableStyle();
    xml.writeStartElement(kTable, QStringLiteral("table"));
    xml.writeAttribute(kTable, QStringLiteral("name"), style);
    xml.writeAttribute(kTable, QStringLiteral("style-name"), style);
    columns(xml, style, 2);
    for (const auto &field : pairs) {
        xml.writeStartElement(kTable, QStringLiteral("table-row"));
        xml.writeAttribute(kTable, QStringLiteral("style-name"), QStringLiteral("Riga"));
        cell(xml, QStringLiteral("Campo"), styleName(kFieldCaption), field.first);
        cell(xml, QStringLiteral("Campo"), styleName(kFieldValue), field.second);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

// A block drawn by the report layout, as on the sheets, taken in as a picture.
void ContentWriter::picture(QXmlStreamWriter &xml, const ReportBlock &block)
{
    const QImage image = ReportLayout::blockPicture(block, kTextWidth, kPictureDpi);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(50);
    if (!writer.write(image))
        return;
    const QString path = QStringLiteral("Pictures/grafico%1.png").arg(m_pictures.size() + 1);
    m_pictures << Picture{path, png};
    xml.writeStartElement(kText, QStringLiteral("p"));
    xml.writeAttribute(kText, QStringLiteral("style-name"), styleName(kPicture));
    xml.writeStartElement(kDraw, QStringLiteral("frame"));
    xml.writeAttribute(kDraw, QStringLiteral("name"),
                       QStringLiteral("Grafico%1").arg(m_pictures.size()));
    xml.writeAttribute(kText, QStringLiteral("anchor-type"), QStringLiteral("as-char"));
    xml.writeAttribute(kSvg, QStringLiteral("width"), pt(image.width() * 72 / kPictureDpi));
    xml.writeAttribute(kSvg, QStringLiteral("height"), pt(image.height() * 72 / kPictureDpi));
    xml.writeAttribute(kDraw, QStringLiteral("z-index"), QStringLiteral("0"));
    xml.writeEmptyElement(kDraw, QStringLiteral("image"));
    xml.writeAttribute(kXlink, QStringLiteral("href"), path);
    xml.writeAttribute(kXlink, QStringLiteral("type"), QStringLiteral("simple"));
    xml.writeAttribute(kXlink, QStringLiteral("show"), QStringLiteral("embed"));
    xml.writeAttribute(kXlink, QStringLiteral("actuate"), QStringLiteral("onLoad"));
    xml.writeEndElement();
    xml.writeEndElement();
}

void ContentWriter::block(QXmlStreamWriter &xml, const ReportBlock &b)
{
    using Kind = ReportBlock::Kind;
    if (b.kind == Kind::Heading) {
        headingLine(xml, 3, b.text);
    } else if (isFieldsTable(b)) {
        fields(xml, b.fields);
    } else if (b.kind == Kind::Fields) {
        const bool classes = b.separator.trimmed() == QStringLiteral("=");
        for (const auto &field : b.fields)
            paragraph(xml, classes ? kClass : kBody, field.first + b.separator + field.second);
    } else if (b.kind == Kind::Paragraph) {
        paragraph(xml, kStrong, b.text);
    } else if (b.kind == Kind::Working) {
        // A line that starts with blanks is a detail of the line before it.
        for (const QString &line : b.lines)
            paragraph(xml, line.startsWith(QLatin1Char(' ')) ? kWorkingDetail : kWorking,
                      line.trimmed());
    } else if (b.kind == Kind::Table) {
        table(xml, b.table);
    } else if (b.kind == Kind::Signature) {
        paragraph(xml, kBody, QString());
        for (const auto &field : b.fields) {
            paragraph(xml, kSignature, field.first);
            paragraph(xml, kSignature, field.second);
        }
        paragraph(xml, kSignature, b.text);
        // The box, kept on the page of the lines above it.
        xml.writeStartElement(kTable, QStringLiteral("table"));
        xml.writeAttribute(kTable, QStringLiteral("name"), kSignatureBox);
        xml.writeAttribute(kTable, QStringLiteral("style-name"), kSignatureBox);
        columns(xml, kSignatureBox, 1);
        xml.writeStartElement(kTable, QStringLiteral("table-row"));
        xml.writeAttribute(kTable, QStringLiteral("style-name"),
                           kSignatureBox + QStringLiteral(".R1"));
        cell(xml, kSignatureBox + QStringLiteral(".A1"), styleName(kBody), QString());
        xml.writeEndElement();
        xml.writeEndElement();
    } else {
        // A chart, and any drawing the layout makes of a block.
        picture(xml, b);
    }
}

void ContentWriter::writeBody(QXmlStreamWriter &xml)
{
    QString group = QStringLiteral("\n"); // no part's compartment
    for (int p = 0; p < m_document.parts.size(); ++p) {
        const ReportPart &part = m_document.parts.at(p);
        // Each part on a page of its own; a new compartment with its own foot.
        const bool newGroup = part.compartment != group || part.compartment.isEmpty();
        const int master = masterPage(part.foot);
        const bool newMaster = p == 0 || part.foot != m_document.parts.at(p - 1).foot;
        xml.writeStartElement(kText, QStringLiteral("p"));
        xml.writeAttribute(kText, QStringLiteral("style-name"),
                           newMaster ? QStringLiteral("Inizio%1").arg(master)
                                     : QStringLiteral("NuovaPagina"));
        xml.writeCharacters(m_document.heading);
        xml.writeEndElement();
        paragraph(xml, kRule, part.regulation.isEmpty() ? m_document.regulation : part.regulation);
        if (part.compartment.isEmpty()) {
            headingLine(xml, 1, part.title);
        } else {
            if (newGroup)
                headingLine(xml, 1, QStringLiteral("Compartimento: %1").arg(part.compartment));
            headingLine(xml, 2, part.title);
        }
        group = part.compartment;
        for (const ReportBlock &b : part.blocks)
            block(xml, b);
    }
}

void startDocument(QXmlStreamWriter &xml, const QString &root)
{
    xml.setAutoFormatting(false);
    xml.writeStartDocument();
    xml.writeNamespace(kOffice, QStringLiteral("office"));
    xml.writeNamespace(kStyle, QStringLiteral("style"));
    xml.writeNamespace(kText, QStringLiteral("text"));
    xml.writeNamespace(kTable, QStringLiteral("table"));
    xml.writeNamespace(kDraw, QStringLiteral("draw"));
    xml.writeNamespace(kFo, QStringLiteral("fo"));
    xml.writeNamespace(kSvg, QStringLiteral("svg"));
    xml.writeNamespace(kXlink, QStringLiteral("xlink"));
    xml.writeNamespace(kDc, QStringLiteral("dc"));
    xml.writeNamespace(kMeta, QStringLiteral("meta"));
    xml.writeStartElement(kOffice, root);
    xml.writeAttribute(kOffice, QStringLiteral("version"), QStringLiteral("1.2"));
}

void fontFaces(QXmlStreamWriter &xml)
{
    xml.writeStartElement(kOffice, QStringLiteral("font-face-decls"));
    xml.writeEmptyElement(kStyle, QStringLiteral("font-face"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), kFont);
    xml.writeAttribute(kSvg, QStringLiteral("font-family"), QStringLiteral("'%1'").arg(kFont));
    xml.writeAttribute(kStyle, QStringLiteral("font-family-generic"), QStringLiteral("swiss"));
    xml.writeAttribute(kStyle, QStringLiteral("font-pitch"), QStringLiteral("variable"));
    xml.writeEndElement();
}

QByteArray contentXml(ContentWriter &writer)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    startDocument(xml, QStringLiteral("document-content"));
    fontFaces(xml);
    writer.writeAutomaticStyles(xml);
    xml.writeStartElement(kOffice, QStringLiteral("body"));
    xml.writeStartElement(kOffice, QStringLiteral("text"));
    writer.writeBody(xml);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

void paragraphStyle(QXmlStreamWriter &xml, const ParagraphStyle &s)
{
    xml.writeStartElement(kStyle, QStringLiteral("style"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), styleName(s.name));
    if (styleName(s.name) != s.name)
        xml.writeAttribute(kStyle, QStringLiteral("display-name"), s.name);
    xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
    if (!s.parent.isEmpty())
        xml.writeAttribute(kStyle, QStringLiteral("parent-style-name"), styleName(s.parent));
    if (s.outline > 0) {
        xml.writeAttribute(kStyle, QStringLiteral("default-outline-level"),
                           QString::number(s.outline));
        xml.writeAttribute(kStyle, QStringLiteral("class"), QStringLiteral("text"));
    }
    xml.writeEmptyElement(kStyle, QStringLiteral("paragraph-properties"));
    if (!s.align.isEmpty())
        xml.writeAttribute(kFo, QStringLiteral("text-align"), s.align);
    xml.writeAttribute(kFo, QStringLiteral("margin-top"), pt(s.above));
    xml.writeAttribute(kFo, QStringLiteral("margin-bottom"), pt(s.below));
    if (s.indent > 0) {
        xml.writeAttribute(kFo, QStringLiteral("margin-left"), pt(s.indent));
        xml.writeAttribute(kFo, QStringLiteral("text-indent"), pt(0));
    }
    if (s.keepWithNext)
        xml.writeAttribute(kFo, QStringLiteral("keep-with-next"), QStringLiteral("always"));
    if (s.name == kFoot) {
        xml.writeStartElement(kStyle, QStringLiteral("paragraph-properties"));
        xml.writeStartElement(kStyle, QStringLiteral("tab-stops"));
        xml.writeEmptyElement(kStyle, QStringLiteral("tab-stop"));
        xml.writeAttribute(kStyle, QStringLiteral("position"), pt(kTextWidth));
        xml.writeAttribute(kStyle, QStringLiteral("type"), QStringLiteral("right"));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEmptyElement(kStyle, QStringLiteral("text-properties"));
    if (s.name == kBody) {
        xml.writeAttribute(kStyle, QStringLiteral("font-name"), kFont);
        xml.writeAttribute(kFo, QStringLiteral("language"), QStringLiteral("it"));
        xml.writeAttribute(kFo, QStringLiteral("country"), QStringLiteral("IT"));
    }
    if (s.size > 0)
        xml.writeAttribute(kFo, QStringLiteral("font-size"), pt(s.size));
    if (s.bold)
        xml.writeAttribute(kFo, QStringLiteral("font-weight"), QStringLiteral("bold"));
    if (s.italic)
        xml.writeAttribute(kFo, QStringLiteral("font-style"), QStringLiteral("italic"));
    xml.writeEndElement();
}

void footer(QXmlStreamWriter &xml, const ReportDocument &document, const QString &foot)
{
    const QString footStyle = styleName(kFoot);
    xml.writeStartElement(kStyle, QStringLiteral("footer"));
    // The project and the compartment, and the page among the pages.
    xml.writeStartElement(kText, QStringLiteral("p"));
    xml.writeAttribute(kText, QStringLiteral("style-name"), footStyle);
    xml.writeCharacters(foot);
    xml.writeEmptyElement(kText, QStringLiteral("tab"));
    xml.writeCharacters(QStringLiteral("Pagina "));
    xml.writeStartElement(kText, QStringLiteral("page-number"));
    xml.writeAttribute(kText, QStringLiteral("select-page"), QStringLiteral("current"));
    xml.writeCharacters(QStringLiteral("1"));
    xml.writeEndElement();
    xml.writeCharacters(QStringLiteral(" di "));
    xml.writeStartElement(kText, QStringLiteral("page-count"));
    xml.writeCharacters(QStringLiteral("1"));
    xml.writeEndElement();
    xml.writeEndElement();
    // The program, the date and the revision.
    QStringList second{
        QStringLiteral("%1 %2").arg(ReportDocuments::kProgram, ReportDocuments::kProgramVersion),
        document.date.toString(QStringLiteral("dd/MM/yyyy")), document.revision};
    second.removeAll(QString());
    xml.writeStartElement(kText, QStringLiteral("p"));
    xml.writeAttribute(kText, QStringLiteral("style-name"), footStyle);
    xml.writeCharacters(second.join(QStringLiteral(" – ")));
    xml.writeEndElement();
    xml.writeEndElement();
}

QByteArray stylesXml(const ReportDocument &document, const QStringList &foots)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    startDocument(xml, QStringLiteral("document-styles"));
    fontFaces(xml);
    xml.writeStartElement(kOffice, QStringLiteral("styles"));
    xml.writeStartElement(kStyle, QStringLiteral("default-style"));
    xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
    xml.writeEmptyElement(kStyle, QStringLiteral("text-properties"));
    xml.writeAttribute(kStyle, QStringLiteral("font-name"), kFont);
    xml.writeAttribute(kFo, QStringLiteral("font-size"), pt(9.5));
    xml.writeEndElement();
    for (const ParagraphStyle &style : paragraphStyles())
        paragraphStyle(xml, style);
    // The outline, unnumbered: the headings as the navigator lists them.
    xml.writeStartElement(kText, QStringLiteral("outline-style"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("Outline"));
    for (int level = 1; level <= 10; ++level) {
        xml.writeEmptyElement(kText, QStringLiteral("outline-level-style"));
        xml.writeAttribute(kText, QStringLiteral("level"), QString::number(level));
        xml.writeAttribute(kStyle, QStringLiteral("num-format"), QString());
    }
    xml.writeEndElement();
    xml.writeEndElement(); // styles

    xml.writeStartElement(kOffice, QStringLiteral("automatic-styles"));
    xml.writeStartElement(kStyle, QStringLiteral("page-layout"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("A4"));
    xml.writeEmptyElement(kStyle, QStringLiteral("page-layout-properties"));
    xml.writeAttribute(kFo, QStringLiteral("page-width"), pt(kPageWidth));
    xml.writeAttribute(kFo, QStringLiteral("page-height"), pt(kPageHeight));
    xml.writeAttribute(kStyle, QStringLiteral("print-orientation"), QStringLiteral("portrait"));
    xml.writeAttribute(kFo, QStringLiteral("margin-top"), pt(kTop));
    xml.writeAttribute(kFo, QStringLiteral("margin-bottom"), pt(kBottom));
    xml.writeAttribute(kFo, QStringLiteral("margin-left"), pt(kSide));
    xml.writeAttribute(kFo, QStringLiteral("margin-right"), pt(kSide));
    xml.writeStartElement(kStyle, QStringLiteral("footer-style"));
    xml.writeEmptyElement(kStyle, QStringLiteral("header-footer-properties"));
    xml.writeAttribute(kFo, QStringLiteral("min-height"), pt(20));
    xml.writeAttribute(kFo, QStringLiteral("margin-top"), pt(8));
    xml.writeAttribute(kFo, QStringLiteral("padding-top"), pt(3));
    xml.writeAttribute(kFo, QStringLiteral("border-top"), QStringLiteral("0.5pt solid #000000"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement(); // automatic-styles

    xml.writeStartElement(kOffice, QStringLiteral("master-styles"));
    for (int i = 0; i < foots.size(); ++i) {
        xml.writeStartElement(kStyle, QStringLiteral("master-page"));
        xml.writeAttribute(kStyle, QStringLiteral("name"), masterPageName(i));
        if (i > 0)
            xml.writeAttribute(kStyle, QStringLiteral("display-name"),
                               QStringLiteral("Ardivo Pagina %1").arg(i));
        xml.writeAttribute(kStyle, QStringLiteral("page-layout-name"), QStringLiteral("A4"));
        footer(xml, document, foots.at(i));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QByteArray metaXml(const ReportDocument &document)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    startDocument(xml, QStringLiteral("document-meta"));
    xml.writeStartElement(kOffice, QStringLiteral("meta"));
    xml.writeTextElement(
        kMeta, QStringLiteral("generator"),
        QStringLiteral("%1/%2").arg(ReportDocuments::kProgram, ReportDocuments::kProgramVersion));
    xml.writeTextElement(kDc, QStringLiteral("title"), document.title);
    if (!document.subject.isEmpty())
        xml.writeTextElement(kDc, QStringLiteral("subject"), document.subject);
    if (!document.author.isEmpty()) {
        xml.writeTextElement(kMeta, QStringLiteral("initial-creator"), document.author);
        xml.writeTextElement(kDc, QStringLiteral("creator"), document.author);
    }
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    xml.writeTextElement(kMeta, QStringLiteral("creation-date"), now);
    xml.writeTextElement(kDc, QStringLiteral("date"), now);
    xml.writeTextElement(kDc, QStringLiteral("language"), QStringLiteral("it-IT"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QByteArray manifestXml(const QVector<Picture> &pictures)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    xml.writeNamespace(kManifest, QStringLiteral("manifest"));
    xml.writeStartElement(kManifest, QStringLiteral("manifest"));
    xml.writeAttribute(kManifest, QStringLiteral("version"), QStringLiteral("1.2"));
    const auto entry = [&](const QString &path, const QString &type) {
        xml.writeEmptyElement(kManifest, QStringLiteral("file-entry"));
        xml.writeAttribute(kManifest, QStringLiteral("full-path"), path);
        xml.writeAttribute(kManifest, QStringLiteral("media-type"), type);
        if (path == QLatin1String("/"))
            xml.writeAttribute(kManifest, QStringLiteral("version"), QStringLiteral("1.2"));
    };
    entry(QStringLiteral("/"), QStringLiteral("application/vnd.oasis.opendocument.text"));
    for (const char *name : {"content.xml", "styles.xml", "meta.xml"})
        entry(QString::fromLatin1(name), QStringLiteral("text/xml"));
    for (const Picture &picture : pictures)
        entry(picture.path, QStringLiteral("image/png"));
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace

QByteArray package(const ReportDocument &document)
{
    ContentWriter writer(document);
    const QByteArray content = contentXml(writer);
    ZipWriter zip;
    // The mimetype first and stored, so that a reader knows the package by its first bytes; the
    // pictures stored too, being compressed already. A failed entry leaves the archive empty.
    const auto stored = ZipWriter::Method::Stored, deflated = ZipWriter::Method::Deflated;
    zip.add(QStringLiteral("mimetype"),
            QByteArrayLiteral("application/vnd.oasis.opendocument.text"), stored);
    zip.add(QStringLiteral("content.xml"), content, deflated);
    zip.add(QStringLiteral("styles.xml"), stylesXml(document, writer.foots()), deflated);
    zip.add(QStringLiteral("meta.xml"), metaXml(document), deflated);
    for (const Picture &picture : writer.pictures())
        zip.add(picture.path, picture.png, stored);
    zip.add(QStringLiteral("META-INF/manifest.xml"), manifestXml(writer.pictures()), deflated);
    return zip.archive();
}

bool write(const ReportDocument &document, QIODevice *device)
{
    const QByteArray bytes = package(document);
    return !bytes.isEmpty() && device->write(bytes) == bytes.size();
}

} // namespace ReportOdt
