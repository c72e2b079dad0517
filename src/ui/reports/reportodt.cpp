#include "ui/reports/reportodt.h"

#include "data/odfheadings.h"
#include "data/odfpackage.h"
#include "ui/reports/reportlayout.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextTable>
#include <QUrl>

namespace ReportOdt {
namespace {

QTextCharFormat character(double points, bool bold = false, bool italic = false)
{
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("Liberation Sans")});
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    return format;
}

void paragraph(QTextCursor &cursor, const QString &text, const QTextCharFormat &format,
               Qt::Alignment align = Qt::AlignLeft, int headingLevel = 0, bool pageBreak = false)
{
    QTextBlockFormat block;
    block.setAlignment(align);
    block.setHeadingLevel(headingLevel);
    block.setTopMargin(headingLevel > 0 ? 10 : 2);
    block.setBottomMargin(headingLevel > 0 ? 4 : 2);
    if (pageBreak)
        block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(block, format);
    cursor.insertText(text, format);
}

// A table of the width of an A4 page's text with its usual margins, in points: Qt writes a
// length in per cent as points, which would make the tables narrow.
constexpr double kTextWidth = 480;

QTextTable *table(QTextCursor &cursor, int rows, int columns, const QVector<double> &widths,
                  int headerRows, bool borders)
{
    QTextTableFormat format;
    format.setHeaderRowCount(headerRows);
    format.setBorderStyle(borders ? QTextFrameFormat::BorderStyle_Solid
                                  : QTextFrameFormat::BorderStyle_None);
    format.setBorder(borders ? 0.5 : 0);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::FixedLength, kTextWidth));
    QVector<QTextLength> lengths;
    for (int c = 0; c < columns; ++c)
        lengths << QTextLength(QTextLength::FixedLength,
                               kTextWidth * widths.value(c, 1.0 / columns));
    format.setColumnWidthConstraints(lengths);
    return cursor.insertTable(rows, columns, format);
}

// Fills a table row by row from its first cell, moving from cell to cell.
class CellWriter
{
public:
    explicit CellWriter(QTextTable *table) : m_cursor(table->cellAt(0, 0).firstCursorPosition())
    {
        m_left.setAlignment(Qt::AlignLeft);
        m_centre.setAlignment(Qt::AlignHCenter);
    }
    void write(const QString &text, const QTextCharFormat &format, bool centred)
    {
        if (!m_first)
            m_cursor.movePosition(QTextCursor::NextCell);
        m_first = false;
        if (centred)
            m_cursor.setBlockFormat(m_centre);
        // The body of a table takes the document's own font: no format of its own to write.
        if (format.isValid())
            m_cursor.insertText(text, format);
        else
            m_cursor.insertText(text);
    }

private:
    QTextCursor m_cursor;
    QTextBlockFormat m_left, m_centre;
    bool m_first = true;
};

void insertTable(QTextCursor &cursor, const ReportTable &t)
{
    if (!t.title.isEmpty())
        paragraph(cursor, t.title, character(10, true));
    const int columns = int(t.headers.size());
    const int rows = 1 + int(t.rows.size()) + (t.totals.isEmpty() ? 0 : 1);
    CellWriter cells(table(cursor, rows, columns, t.widths, 1, true));
    const QTextCharFormat header = character(8, true);
    const QTextCharFormat body;
    for (int c = 0; c < columns; ++c)
        cells.write(t.headers.at(c), header, true);
    for (const QStringList &row : t.rows) {
        for (int c = 0; c < columns; ++c)
            cells.write(row.value(c), body, t.numeric.value(c));
    }
    for (int c = 0; c < columns && !t.totals.isEmpty(); ++c)
        cells.write(t.totals.value(c), header, t.numeric.value(c));
    cursor.movePosition(QTextCursor::End);
}

void insertFields(QTextCursor &cursor, const QList<QPair<QString, QString>> &fields)
{
    CellWriter cells(table(cursor, int(fields.size()), 2, {0.4, 0.6}, 0, false));
    for (const auto &field : fields) {
        cells.write(field.first, character(9, true), false);
        cells.write(field.second, character(9.5), false);
    }
    cursor.movePosition(QTextCursor::End);
}

} // namespace

std::unique_ptr<QTextDocument> textDocument(const ReportDocument &document)
{
    auto text = std::make_unique<QTextDocument>();
    text->setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 8));
    text->setUndoRedoEnabled(false); // a document written once: no undo to record
    text->setMetaInformation(QTextDocument::DocumentTitle, document.title);
    QTextCursor cursor(text.get());
    int pictures = 0;
    for (int p = 0; p < document.parts.size(); ++p) {
        const ReportPart &part = document.parts.at(p);
        if (p == 0) {
            QTextBlockFormat first;
            first.setAlignment(Qt::AlignHCenter);
            first.setHeadingLevel(1);
            cursor.setBlockFormat(first);
            cursor.insertText(document.heading, character(15, true));
        } else {
            paragraph(cursor, document.heading, character(15, true), Qt::AlignHCenter, 1, true);
        }
        paragraph(cursor, part.regulation.isEmpty() ? document.regulation : part.regulation,
                  character(11, false, true), Qt::AlignHCenter);
        paragraph(cursor, part.title, character(12, true), Qt::AlignLeft, 2);
        for (const ReportBlock &block : part.blocks) {
            switch (block.kind) {
            case ReportBlock::Kind::Heading:
                paragraph(cursor, block.text, character(11, true), Qt::AlignLeft, 3);
                break;
            case ReportBlock::Kind::Fields:
                insertFields(cursor, block.fields);
                break;
            case ReportBlock::Kind::Paragraph:
                paragraph(cursor, block.text, character(10, true));
                break;
            case ReportBlock::Kind::Working:
                for (const QString &line : block.lines)
                    paragraph(cursor, line.trimmed(), character(9.5));
                break;
            case ReportBlock::Kind::Table:
                insertTable(cursor, block.table);
                break;
            case ReportBlock::Kind::Chart:
            case ReportBlock::Kind::Curve: {
                // The picture carries its own caption, as on the sheets.
                const QImage picture = ReportLayout::chartPicture(block, 480);
                const QUrl name(QStringLiteral("grafico%1.png").arg(++pictures));
                text->addResource(QTextDocument::ImageResource, name, picture);
                QTextImageFormat image;
                image.setName(name.toString());
                image.setWidth(480);
                image.setHeight(480.0 * picture.height() / picture.width());
                cursor.insertBlock();
                cursor.insertImage(image);
                break;
            }
            case ReportBlock::Kind::Signature:
                paragraph(cursor, QString(), character(9.5));
                insertFields(cursor, block.fields);
                paragraph(cursor, block.text, character(9, true), Qt::AlignRight);
                for (int i = 0; i < 4; ++i)
                    paragraph(cursor, QString(), character(9.5));
                break;
            }
        }
    }
    QStringList foot{
        QStringLiteral("%1 %2").arg(ReportDocuments::kProgram, ReportDocuments::kProgramVersion),
        document.date.toString(QStringLiteral("dd/MM/yyyy")), document.revision};
    foot.removeAll(QString());
    paragraph(cursor, foot.join(QStringLiteral(" – ")), character(8));
    return text;
}

OdfHeadings::Levels headingLevels(const QTextDocument &text)
{
    // Qt's writer names a paragraph's automatic style "p" and the index of its block format,
    // which the heading level is part of.
    OdfHeadings::Levels levels;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        if (const int level = block.blockFormat().headingLevel(); level > 0)
            levels.insert(QStringLiteral("p%1").arg(block.blockFormatIndex()), level);
    }
    return levels;
}

bool write(const ReportDocument &document, QIODevice *device)
{
    const auto text = textDocument(document);
    // The writer closes the device it writes to: it writes into memory, and the bytes go on
    // to `device`, which its owner closes (a QSaveFile commits only then).
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(text.get()))
        return false;
    // Qt's writer writes every paragraph as a plain one, headings included, and no common
    // styles: a word processor would show no heading and no outline. The package is opened
    // again to make the headings real ones.
    std::optional<OdfPackage> package = OdfPackage::read(buffer.data());
    if (!package || !OdfHeadings::apply(*package, headingLevels(*text)))
        return false;
    const std::optional<QByteArray> bytes = package->write();
    return bytes && device->write(*bytes) == bytes->size();
}

} // namespace ReportOdt
