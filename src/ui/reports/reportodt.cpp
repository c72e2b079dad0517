#include "ui/reports/reportodt.h"

#include "ui/reports/reportlayout.h"

#include <QBuffer>
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
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QVector<QTextLength> lengths;
    for (int c = 0; c < columns; ++c)
        lengths << QTextLength(QTextLength::PercentageLength,
                               100.0 * widths.value(c, 1.0 / columns));
    format.setColumnWidthConstraints(lengths);
    return cursor.insertTable(rows, columns, format);
}

void cell(QTextTable *table, int row, int column, const QString &text,
          const QTextCharFormat &format, Qt::Alignment align = Qt::AlignLeft)
{
    QTextCursor cursor = table->cellAt(row, column).firstCursorPosition();
    QTextBlockFormat block;
    block.setAlignment(align);
    cursor.setBlockFormat(block);
    cursor.insertText(text, format);
}

void insertTable(QTextCursor &cursor, const ReportTable &t)
{
    if (!t.title.isEmpty())
        paragraph(cursor, t.title, character(10, true));
    const int columns = int(t.headers.size());
    const int rows = 1 + int(t.rows.size()) + (t.totals.isEmpty() ? 0 : 1);
    QTextTable *grid = table(cursor, rows, columns, t.widths, 1, true);
    const QTextCharFormat header = character(8, true);
    const QTextCharFormat body = character(8);
    for (int c = 0; c < columns; ++c)
        cell(grid, 0, c, t.headers.at(c), header, Qt::AlignHCenter);
    QList<QStringList> all = t.rows;
    if (!t.totals.isEmpty())
        all << t.totals;
    for (int r = 0; r < all.size(); ++r) {
        const bool total = !t.totals.isEmpty() && r == all.size() - 1;
        for (int c = 0; c < columns; ++c)
            cell(grid, r + 1, c, all.at(r).value(c), total ? header : body,
                 t.numeric.value(c) ? Qt::AlignHCenter : Qt::AlignLeft);
    }
    cursor.movePosition(QTextCursor::End);
}

void insertFields(QTextCursor &cursor, const QList<QPair<QString, QString>> &fields)
{
    QTextTable *grid = table(cursor, int(fields.size()), 2, {0.4, 0.6}, 0, false);
    for (int r = 0; r < fields.size(); ++r) {
        cell(grid, r, 0, fields.at(r).first, character(9, true));
        cell(grid, r, 1, fields.at(r).second, character(9.5));
    }
    cursor.movePosition(QTextCursor::End);
}

} // namespace

std::unique_ptr<QTextDocument> textDocument(const ReportDocument &document)
{
    auto text = std::make_unique<QTextDocument>();
    text->setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 10));
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
        paragraph(cursor, document.regulation, character(11, false, true), Qt::AlignHCenter);
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
            case ReportBlock::Kind::Chart: {
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
    const QByteArray bytes = buffer.data();
    return device->write(bytes) == bytes.size();
}

} // namespace ReportOdt
