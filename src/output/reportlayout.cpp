#include "output/reportlayout.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <functional>

namespace ReportLayout {
namespace {

// Measures in points (1/72 inch), turned into the device's pixels.
constexpr double kMargin = 34;     // from the paper's edge to the frame
constexpr double kInset = 12;      // from the frame to the text
constexpr double kFootHeight = 28; // the foot inside the frame
constexpr double kRowPadding = 2.5;
constexpr double kSmallest = 7; // no text is smaller

// Set while a block is drawn as a picture at print resolution: letters without smoothing, as a
// printer sets them, and a picture of a few colours, packed many times faster.
bool sharpText = false;

QFont font(double points, bool bold = false, bool italic = false, bool serif = false)
{
    QFont f(serif ? QStringLiteral("DejaVu Serif") : QStringLiteral("Liberation Sans"));
    f.setStyleHint(serif ? QFont::Serif : QFont::SansSerif,
                   sharpText ? QFont::NoAntialias : QFont::PreferDefault);
    f.setPointSizeF(std::max(points, kSmallest));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

double chartRowHeight(const QPaintDevice &device)
{
    return QFontMetricsF(font(8), const_cast<QPaintDevice *>(&device)).height() +
           4 * device.logicalDpiY() / 72.0;
}

double chartTitleHeight(const QPaintDevice &device)
{
    return QFontMetricsF(font(9, true), const_cast<QPaintDevice *>(&device)).height() +
           6 * device.logicalDpiY() / 72.0;
}

// A Curve block: a plot 4:7 of the width, never taller than 250 points.
constexpr double kCurveHeight = 250;

// A label of the chart whole, on as many lines as it takes: at its words, or anywhere in a word
// longer than the room.
int labelFlags(const QFontMetricsF &fm, double width, const QString &label)
{
    const QRectF bound = fm.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, label);
    return bound.width() > width + 0.5 ? Qt::TextWrapAnywhere : Qt::TextWordWrap;
}

// The height of each bar's row: a long label makes its row taller.
QVector<double> chartRows(const ReportBlock &block, const QPaintDevice &device, double width)
{
    const QFontMetricsF fm(font(8), const_cast<QPaintDevice *>(&device));
    const double labelWidth = width * 0.36;
    const double padding = 4 * device.logicalDpiY() / 72.0;
    QVector<double> rows;
    for (const ReportBar &bar : block.bars) {
        const double label = fm.boundingRect(QRectF(0, 0, labelWidth, 1e9),
                                             labelFlags(fm, labelWidth, bar.label), bar.label)
                                 .height();
        rows << std::max(chartRowHeight(device), label + padding);
    }
    return rows;
}

double chartHeight(const ReportBlock &block, const QPaintDevice &device, double width)
{
    if (block.kind == ReportBlock::Kind::Curve)
        return kCurveHeight * device.logicalDpiY() / 72.0;
    double height = chartTitleHeight(device) + 6 * device.logicalDpiY() / 72.0;
    for (double row : chartRows(block, device, width))
        height += row;
    return height;
}

// The bars of the largest entries, each with its name at the left and its MJ at the right.
void paintChart(QPainter &p, const QRectF &r, const ReportBlock &block, const QPaintDevice &device)
{
    const double unit = device.logicalDpiY() / 72.0;
    const QFont titleFont = font(9, true);
    const QFont labelFont = font(8);
    const QVector<double> rows = chartRows(block, device, r.width());
    const double titleHeight = chartTitleHeight(device);
    double largest = 0;
    for (const ReportBar &bar : block.bars)
        largest = std::max(largest, bar.value);
    p.setFont(titleFont);
    p.drawText(QRectF(r.left(), r.top(), r.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop,
               block.text);
    const double labelWidth = r.width() * 0.36;
    const double textWidth = r.width() * 0.22;
    const double barLeft = r.left() + labelWidth + 6 * unit;
    const double barSpan = r.width() - labelWidth - textWidth - 12 * unit;
    const double barHeight = chartRowHeight(device) - 4 * unit;
    p.setFont(labelFont);
    const QFontMetricsF fm(labelFont, const_cast<QPaintDevice *>(&device));
    double top = r.top() + titleHeight;
    for (int i = 0; i < block.bars.size(); ++i) {
        const ReportBar &bar = block.bars.at(i);
        const double rowHeight = rows.at(i);
        p.drawText(QRectF(r.left(), top, labelWidth, rowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter | labelFlags(fm, labelWidth, bar.label),
                   bar.label);
        const double length = largest > 0 ? barSpan * bar.value / largest : 0;
        // The rest of the entries, summed, in grey below the named ones.
        const bool others = i == block.bars.size() - 1 && block.bars.size() > 10;
        p.fillRect(QRectF(barLeft, top + (rowHeight - barHeight) / 2, std::max(length, 0.5 * unit),
                          barHeight),
                   others ? QColor(165, 165, 165) : QColor(70, 100, 140));
        p.drawText(QRectF(r.right() - textWidth, top, textWidth, rowHeight),
                   Qt::AlignRight | Qt::AlignVCenter, bar.text);
        top += rowHeight;
    }
    p.drawLine(QPointF(barLeft, r.top() + titleHeight), QPointF(barLeft, top));
}

const ReportDocument &emptyDocument()
{
    static const ReportDocument empty;
    return empty;
}

// A step of an axis that gives about `ticks` round divisions (1, 2 or 5 times a power of ten).
double niceStep(double span, int ticks)
{
    const double raw = span / std::max(ticks, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power)
            return factor * power;
    return 10 * power;
}

// The lines of a Curve block over their axes, with the grid, the scales and the legend.
void paintCurve(QPainter &p, const QRectF &r, const ReportBlock &block, const QPaintDevice &device)
{
    const double unit = device.logicalDpiY() / 72.0;
    const QFont titleFont = font(9, true);
    const QFont scaleFont = font(7.5);
    const double titleHeight = chartTitleHeight(device);
    p.save();
    p.setFont(titleFont);
    p.drawText(QRectF(r.left(), r.top(), r.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop,
               block.text);
    double xMax = 0, yMax = 0;
    for (const ReportSeries &line : block.series)
        for (const QPointF &point : line.points) {
            xMax = std::max(xMax, point.x());
            yMax = std::max(yMax, point.y());
        }
    xMax = std::max(xMax, 1.0);
    const double xStep = niceStep(xMax, 10);
    const double yStep = niceStep(std::max(yMax, 1.0), 6);
    xMax = std::ceil(xMax / xStep) * xStep;
    const double yTop = std::ceil(yMax / yStep) * yStep;
    const QFontMetricsF fm(scaleFont, const_cast<QPaintDevice *>(&device));
    const double legendHeight = fm.height() + 6 * unit;
    const QRectF plot(r.left() + fm.horizontalAdvance(QStringLiteral("00000")) + 6 * unit,
                      r.top() + titleHeight + fm.height(),
                      r.width() - fm.horizontalAdvance(QStringLiteral("00000")) - 14 * unit,
                      r.height() - titleHeight - 3 * fm.height() - legendHeight - 8 * unit);
    const auto at = [&](const QPointF &v) {
        return QPointF(plot.left() + plot.width() * v.x() / xMax,
                       plot.bottom() - plot.height() * v.y() / yTop);
    };
    p.setFont(scaleFont);
    const QPen grid(QColor(205, 205, 205), 0.5 * unit);
    for (double x = 0; x <= xMax + xStep / 2; x += xStep) {
        p.setPen(grid);
        p.drawLine(at({x, 0}), at({x, yTop}));
        p.setPen(Qt::black);
        const QPointF foot = at({x, 0});
        p.drawText(QRectF(foot.x() - 20 * unit, foot.y() + 2 * unit, 40 * unit, fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, QString::number(x, 'f', 0));
    }
    for (double y = 0; y <= yTop + yStep / 2; y += yStep) {
        p.setPen(grid);
        p.drawLine(at({0, y}), at({xMax, y}));
        p.setPen(Qt::black);
        const QPointF left = at({0, y});
        p.drawText(QRectF(r.left(), left.y() - fm.height() / 2, plot.left() - r.left() - 4 * unit,
                          fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(y, 'f', 0));
    }
    p.setPen(QPen(Qt::black, 0.8 * unit));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    p.drawText(
        QRectF(plot.left(), plot.bottom() + fm.height() + 2 * unit, plot.width(), fm.height()),
        Qt::AlignHCenter | Qt::AlignTop, block.xAxis);
    p.drawText(QRectF(plot.left() + 4 * unit, plot.top() - fm.height(), plot.width(), fm.height()),
               Qt::AlignLeft | Qt::AlignBottom, block.yAxis);

    // The lines, clipped to the plot; the reference ones dashed behind the others.
    const QColor colours[] = {QColor(190, 40, 30), QColor(40, 80, 160), QColor(30, 130, 60)};
    int coloured = 0;
    double legendLeft = plot.left();
    const double legendTop = r.bottom() - legendHeight + 2 * unit;
    for (const ReportSeries &line : block.series) {
        QPen pen(line.reference ? QColor(90, 90, 90) : colours[coloured++ % 3],
                 (line.reference ? 1.0 : 1.6) * unit);
        if (line.reference)
            pen.setStyle(Qt::DashLine);
        QPolygonF polyline;
        for (const QPointF &point : line.points)
            polyline << at(point);
        p.save();
        p.setClipRect(plot);
        p.setPen(pen);
        p.drawPolyline(polyline);
        p.restore();
        p.setPen(pen);
        p.drawLine(QPointF(legendLeft, legendTop + fm.height() / 2),
                   QPointF(legendLeft + 22 * unit, legendTop + fm.height() / 2));
        p.setPen(Qt::black);
        const double textWidth = fm.horizontalAdvance(line.label) + 2 * unit;
        p.drawText(QRectF(legendLeft + 26 * unit, legendTop, textWidth, fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, line.label);
        legendLeft += 26 * unit + textWidth + 14 * unit;
    }
    p.restore();
}

void paintAnyChart(QPainter &p, const QRectF &r, const ReportBlock &block,
                   const QPaintDevice &device)
{
    if (block.kind == ReportBlock::Kind::Curve)
        paintCurve(p, r, block, device);
    else
        paintChart(p, r, block, device);
}

struct Atom {
    double height = 0;
    std::function<void(QPainter &, const QRectF &)> paint;
    bool keepWithNext = false;
    int table = -1; // the table whose head is repeated when this row opens a sheet
};

struct Placed {
    int atom;
    double top;
};

struct Sheet {
    int part = 0;
    bool continued = false;
    int repeatedHead = -1;
    QVector<Placed> items;
};

class Layout
{
public:
    Layout(const ReportDocument &document, const QPaintDevice &device);
    // One block alone, `width` pixels of `device` wide, as it stands on a sheet.
    Layout(const ReportBlock &block, const QPaintDevice &device, double width);
    double blockHeight() const;
    void paintBlock(QPainter &painter) const;
    int sheetCount() const { return int(m_sheets.size()); }
    void paint(QPainter &painter, int sheet) const;

private:
    double pt(double points) const { return points * m_unit; }
    QFontMetricsF metrics(const QFont &f) const
    {
        return QFontMetricsF(f, const_cast<QPaintDevice *>(&m_device));
    }
    // Word wrap, or wrap anywhere for a word longer than the width (a long name, CJK text).
    int wrapFlags(const QFont &f, double width, const QString &text) const;
    double textHeight(const QFont &f, double width, const QString &text) const;
    void drawText(QPainter &p, const QFont &f, const QRectF &r, const QString &text,
                  Qt::Alignment align = Qt::AlignLeft) const;

    void addBlock(const ReportBlock &block);
    void addHeading(const QString &text);
    void addFields(const ReportBlock &block);
    void addLines(const QStringList &lines, const QFont &f, double indent);
    void addTable(const ReportTable &table);
    void addChart(const ReportBlock &block);
    void addSignature(const ReportBlock &block);
    void paginate(int part, int first, int end);
    double headerHeight(bool continued) const;
    void paintHeader(QPainter &p, const Sheet &sheet) const;
    void paintFoot(QPainter &p, const Sheet &sheet, int number) const;

    const ReportDocument &m_document;
    const QPaintDevice &m_device;
    double m_unit;
    QRectF m_frame;
    QRectF m_body; // between the frame's inset and the foot
    QVector<Atom> m_atoms;
    QVector<Atom> m_heads; // the head (title and column headers) of each table
    QVector<Sheet> m_sheets;
};

Layout::Layout(const ReportDocument &document, const QPaintDevice &device)
    : m_document(document), m_device(device), m_unit(device.logicalDpiY() / 72.0)
{
    m_frame = QRectF(pt(kMargin), pt(kMargin), device.width() - 2 * pt(kMargin),
                     device.height() - 2 * pt(kMargin));
    m_body = m_frame.adjusted(pt(kInset), pt(kInset), -pt(kInset), -pt(kFootHeight + 4));
    for (int part = 0; part < document.parts.size(); ++part) {
        const int first = int(m_atoms.size());
        for (const ReportBlock &block : document.parts.at(part).blocks)
            addBlock(block);
        paginate(part, first, int(m_atoms.size()));
    }
}

Layout::Layout(const ReportBlock &block, const QPaintDevice &device, double width)
    : m_document(emptyDocument()), m_device(device), m_unit(device.logicalDpiY() / 72.0)
{
    m_frame = QRectF(0, 0, width, 1e9);
    m_body = m_frame;
    addBlock(block);
}

double Layout::blockHeight() const
{
    double height = 0;
    for (const Atom &atom : m_atoms)
        height += atom.height;
    return height;
}

void Layout::paintBlock(QPainter &p) const
{
    QPen pen(Qt::black);
    pen.setWidthF(pt(0.8));
    p.setPen(pen);
    double top = 0;
    for (const Atom &atom : m_atoms) {
        atom.paint(p, QRectF(m_body.left(), top, m_body.width(), atom.height));
        top += atom.height;
    }
}

int Layout::wrapFlags(const QFont &f, double width, const QString &text) const
{
    const QRectF bound = metrics(f).boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text);
    return bound.width() > width + 0.5 ? Qt::TextWrapAnywhere : Qt::TextWordWrap;
}

double Layout::textHeight(const QFont &f, double width, const QString &text) const
{
    if (text.isEmpty())
        return metrics(f).height();
    return metrics(f)
        .boundingRect(QRectF(0, 0, width, 1e9), wrapFlags(f, width, text), text)
        .height();
}

void Layout::drawText(QPainter &p, const QFont &f, const QRectF &r, const QString &text,
                      Qt::Alignment align) const
{
    p.setFont(f);
    p.drawText(r, int(align) | Qt::AlignTop | wrapFlags(f, r.width(), text), text);
}

void Layout::addBlock(const ReportBlock &block)
{
    if (block.keepWithPrevious || block.kind == ReportBlock::Kind::Signature) {
        if (!m_atoms.isEmpty())
            m_atoms.last().keepWithNext = true;
    }
    switch (block.kind) {
    case ReportBlock::Kind::Heading:
        addHeading(block.text);
        break;
    case ReportBlock::Kind::Fields:
        addFields(block);
        break;
    case ReportBlock::Kind::Paragraph:
        addLines({block.text}, font(10, true), 0);
        break;
    case ReportBlock::Kind::Working:
        addLines(block.lines, font(9.5), pt(14));
        break;
    case ReportBlock::Kind::Table:
        addTable(block.table);
        break;
    case ReportBlock::Kind::Chart:
    case ReportBlock::Kind::Curve:
        addChart(block);
        break;
    case ReportBlock::Kind::Signature:
        addSignature(block);
        break;
    }
}

void Layout::addHeading(const QString &text)
{
    const QFont f = font(11, true);
    Atom atom;
    atom.height = textHeight(f, m_body.width(), text) + pt(10);
    atom.keepWithNext = true;
    atom.paint = [this, f, text](QPainter &p, const QRectF &r) {
        const QRectF textRect(r.left(), r.top() + pt(6), r.width(), r.height() - pt(6));
        drawText(p, f, textRect, text);
        const double rule = r.bottom() - pt(2);
        p.drawLine(QPointF(r.left(), rule), QPointF(r.right(), rule));
    };
    m_atoms << atom;
}

void Layout::addFields(const ReportBlock &block)
{
    const QFont caption = font(9, true);
    const QFont value = font(9.5);
    if (!block.separator.isEmpty()) {
        // "Caption: value" texts, two to a row, each wrapped in its half.
        const bool classes = block.separator.trimmed() == QStringLiteral("=");
        const QFont f = classes ? font(11, true) : font(9);
        const int perRow = classes ? 1 : 2;
        const double gap = pt(8);
        const double width = (m_body.width() - gap * (perRow - 1)) / perRow;
        for (int i = 0; i < block.fields.size(); i += perRow) {
            QStringList texts;
            for (int k = i; k < i + perRow && k < block.fields.size(); ++k)
                texts << block.fields.at(k).first + block.separator + block.fields.at(k).second;
            double height = 0;
            for (const QString &text : texts)
                height = std::max(height, textHeight(f, width, text));
            Atom atom;
            atom.height = height + pt(classes ? 6 : kRowPadding);
            atom.paint = [=](QPainter &p, const QRectF &r) {
                for (int k = 0; k < texts.size(); ++k)
                    drawText(p, f, QRectF(r.left() + k * (width + gap), r.top(), width, r.height()),
                             texts.at(k));
            };
            atom.keepWithNext = i + perRow < block.fields.size() && block.keepWithPrevious;
            m_atoms << atom;
        }
        return;
    }
    const double captionWidth = m_body.width() * 0.40;
    const double valueWidth = m_body.width() - captionWidth - pt(6);
    for (const auto &field : block.fields) {
        Atom atom;
        atom.height = std::max(textHeight(caption, captionWidth, field.first),
                               textHeight(value, valueWidth, field.second)) +
                      pt(kRowPadding);
        atom.paint = [=](QPainter &p, const QRectF &r) {
            drawText(p, caption, QRectF(r.left(), r.top(), captionWidth, r.height()), field.first);
            drawText(p, value,
                     QRectF(r.left() + captionWidth + pt(6), r.top(), valueWidth, r.height()),
                     field.second);
        };
        m_atoms << atom;
    }
}

void Layout::addLines(const QStringList &lines, const QFont &f, double indent)
{
    for (const QString &line : lines) {
        // A line that starts with blanks is a detail of the line before it.
        const bool detail = line.startsWith(QLatin1Char(' '));
        const QString text = line.trimmed();
        const double left = detail ? indent * 2 : 0;
        Atom atom;
        atom.height = textHeight(f, m_body.width() - left - indent, text) + pt(4);
        atom.paint = [=](QPainter &p, const QRectF &r) {
            // Hanging indent: a wrapped line goes on under the text, not under its start.
            drawText(p, f, QRectF(r.left() + left, r.top(), r.width() - left, r.height()), text);
        };
        m_atoms << atom;
    }
}

void Layout::addTable(const ReportTable &table)
{
    const int columns = int(table.headers.size());
    const double pad = pt(2);
    const QFont headerFont = font(8, true);
    // Each column at least as wide as the longest word of its header, so that a header breaks
    // only between words; the room it takes comes from the columns that have some to spare.
    QVector<double> widths, least;
    double leastSum = 0, wanted = 0;
    for (int c = 0; c < columns; ++c) {
        double widest = 0;
        for (const QString &word : table.headers.at(c).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            widest = std::max(widest, metrics(headerFont).horizontalAdvance(word));
        least << widest + 2 * pad + pt(1);
        widths << std::max(least.last(), m_body.width() * table.widths.value(c, 1.0 / columns));
        leastSum += least.last();
        wanted += widths.last();
    }
    if (wanted > m_body.width() && leastSum < m_body.width()) {
        const double keep = (m_body.width() - leastSum) / (wanted - leastSum);
        for (int c = 0; c < columns; ++c)
            widths[c] = least[c] + (widths[c] - least[c]) * keep;
    }
    QVector<double> lefts;
    double x = 0;
    for (int c = 0; c < columns; ++c) {
        lefts << x;
        x += widths[c];
    }
    const QFont cellFont = font(8);
    const QFont totalFont = font(8, true);
    const QFont titleFont = font(10, true);
    const double lineHeight = metrics(cellFont).height();

    // The head: the title, then the column headers on a grey band, each broken into lines at
    // its blanks only (a toolkit's wrap would also break after a slash, "[MJ/" "m²]").
    QStringList headers;
    for (int c = 0; c < columns; ++c) {
        QStringList lines;
        for (const QString &word :
             table.headers.at(c).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = lines.isEmpty() ? word : lines.last() + QLatin1Char(' ') + word;
            if (!lines.isEmpty() &&
                metrics(headerFont).horizontalAdvance(longer) <= widths[c] - 2 * pad)
                lines.last() = longer;
            else
                lines << word;
        }
        headers << lines.join(QLatin1Char('\n'));
    }
    double headerHeight = 0;
    for (int c = 0; c < columns; ++c)
        headerHeight =
            std::max(headerHeight, textHeight(headerFont, widths[c] - 2 * pad, headers[c]));
    headerHeight += 2 * pad;
    const double titleHeight =
        table.title.isEmpty() ? 0 : textHeight(titleFont, x, table.title) + pt(4);
    Atom head;
    head.height = titleHeight + headerHeight + pt(2);
    head.keepWithNext = !table.rows.isEmpty() || !table.totals.isEmpty();
    head.paint = [=](QPainter &p, const QRectF &r) {
        if (!table.title.isEmpty())
            drawText(p, titleFont, QRectF(r.left(), r.top(), x, titleHeight), table.title);
        const QRectF band(r.left(), r.top() + titleHeight, x, headerHeight);
        p.fillRect(band, QColor(225, 228, 232));
        p.drawLine(band.topLeft(), band.topRight());
        p.drawLine(band.bottomLeft(), band.bottomRight());
        for (int c = 0; c < columns; ++c)
            drawText(p, headerFont,
                     QRectF(r.left() + lefts[c] + pad, band.top() + pad, widths[c] - 2 * pad,
                            headerHeight),
                     headers[c], Qt::AlignHCenter);
    };
    const int tableIndex = int(m_heads.size());
    m_heads << head;
    m_atoms << head;

    const auto rowAtom = [=](const QStringList &row, const QFont &f, bool total) {
        double height = lineHeight;
        for (int c = 0; c < columns; ++c) {
            if (!table.numeric.value(c) || total)
                height = std::max(height, textHeight(f, widths[c] - 2 * pad, row.value(c)));
        }
        Atom atom;
        atom.height = height + 2 * pad;
        atom.table = tableIndex;
        atom.paint = [=](QPainter &p, const QRectF &r) {
            for (int c = 0; c < columns; ++c)
                drawText(p, f,
                         QRectF(r.left() + lefts[c] + pad, r.top() + pad, widths[c] - 2 * pad,
                                r.height() - 2 * pad),
                         row.value(c), table.numeric.value(c) ? Qt::AlignHCenter : Qt::AlignLeft);
            QPen thin = p.pen();
            thin.setWidthF(total ? pt(0.8) : pt(0.25));
            p.save();
            p.setPen(thin);
            if (total)
                p.drawLine(QPointF(r.left(), r.top()), QPointF(r.left() + x, r.top()));
            else
                p.drawLine(QPointF(r.left(), r.bottom()), QPointF(r.left() + x, r.bottom()));
            p.restore();
        };
        return atom;
    };
    for (const QStringList &row : table.rows)
        m_atoms << rowAtom(row, cellFont, false);
    if (!table.totals.isEmpty()) {
        // The totals never stand alone: the last rows go with them.
        for (int i = 1; i <= 3 && i <= table.rows.size(); ++i)
            m_atoms[m_atoms.size() - i].keepWithNext = true;
        m_atoms << rowAtom(table.totals, totalFont, true);
    }
}

void Layout::addChart(const ReportBlock &block)
{
    Atom atom;
    atom.height = chartHeight(block, m_device, m_body.width());
    atom.paint = [this, block](QPainter &p, const QRectF &r) {
        paintAnyChart(p, r, block, m_device);
    };
    m_atoms << atom;
}

void Layout::addSignature(const ReportBlock &block)
{
    const QFont caption = font(9, true);
    const QFont value = font(9.5);
    const double width = m_body.width() * 0.45;
    QString name = block.fields.isEmpty() ? QString() : block.fields.first().second;
    const QString who = block.fields.isEmpty() ? QString() : block.fields.first().first;
    const double nameHeight = textHeight(value, width, name);
    Atom atom;
    atom.height = pt(16) + metrics(caption).height() * 2 + nameHeight + pt(70);
    atom.paint = [=](QPainter &p, const QRectF &r) {
        const double left = r.right() - width;
        double y = r.top() + pt(16);
        drawText(p, caption, QRectF(left, y, width, metrics(caption).height()), who);
        y += metrics(caption).height();
        drawText(p, value, QRectF(left, y, width, nameHeight), name);
        y += nameHeight + pt(4);
        drawText(p, caption, QRectF(left, y, width, metrics(caption).height()), block.text);
        y += metrics(caption).height() + pt(2);
        p.drawRect(QRectF(left, y, width, r.bottom() - y - pt(4)));
    };
    m_atoms << atom;
}

double Layout::headerHeight(bool continued) const
{
    const double title = metrics(font(12, true)).height() * 2 + pt(8);
    if (continued)
        return title;
    return metrics(font(15, true)).height() + metrics(font(11, false, true, true)).height() +
           pt(12) + title;
}

void Layout::paginate(int part, int first, int end)
{
    Sheet sheet;
    sheet.part = part;
    double y = m_body.top() + headerHeight(false);
    const auto newSheet = [&](int table) {
        m_sheets << sheet;
        sheet = Sheet();
        sheet.part = part;
        sheet.continued = true;
        y = m_body.top() + headerHeight(true);
        if (table >= 0) {
            sheet.repeatedHead = table;
            y += m_heads.at(table).height;
        }
    };
    const double capacity = m_body.bottom() - m_body.top() - headerHeight(true);
    for (int i = first; i < end;) {
        // A group: atoms that keep company with the next one, and that one.
        int last = i;
        double height = m_atoms.at(i).height;
        while (m_atoms.at(last).keepWithNext && last + 1 < end) {
            ++last;
            height += m_atoms.at(last).height;
        }
        if (y + height > m_body.bottom() && !sheet.items.isEmpty() && height < capacity * 0.8)
            newSheet(m_atoms.at(i).table);
        for (int a = i; a <= last; ++a) {
            if (y + m_atoms.at(a).height > m_body.bottom() && !sheet.items.isEmpty())
                newSheet(m_atoms.at(a).table);
            sheet.items << Placed{a, y};
            y += m_atoms.at(a).height;
        }
        i = last + 1;
    }
    m_sheets << sheet;
}

void Layout::paintHeader(QPainter &p, const Sheet &sheet) const
{
    const ReportPart &part = m_document.parts.at(sheet.part);
    double y = m_body.top();
    if (!sheet.continued) {
        const QFont heading = font(15, true);
        const QFont regulation = font(11, false, true, true);
        drawText(p, heading, QRectF(m_body.left(), y, m_body.width(), metrics(heading).height()),
                 m_document.heading, Qt::AlignHCenter);
        y += metrics(heading).height();
        drawText(
            p, regulation, QRectF(m_body.left(), y, m_body.width(), metrics(regulation).height()),
            part.regulation.isEmpty() ? m_document.regulation : part.regulation, Qt::AlignHCenter);
        y += metrics(regulation).height() + pt(6);
        p.drawLine(QPointF(m_frame.left(), y), QPointF(m_frame.right(), y));
        y += pt(6);
    }
    const QFont title = font(12, true);
    const QString text =
        sheet.continued ? QStringLiteral("%1 (segue)").arg(part.title) : part.title;
    p.setFont(title);
    const QFontMetricsF fm = metrics(title);
    p.drawText(QRectF(m_body.left(), y, m_body.width(), fm.height() * 2),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               fm.elidedText(text, Qt::ElideRight, m_body.width() * 1.9));
}

void Layout::paintFoot(QPainter &p, const Sheet &sheet, int number) const
{
    const double top = m_frame.bottom() - pt(kFootHeight);
    p.drawLine(QPointF(m_frame.left(), top), QPointF(m_frame.right(), top));
    const QFont f = font(kSmallest);
    const QFontMetricsF fm = metrics(f);
    p.setFont(f);
    const QRectF strip(m_body.left(), top + pt(3), m_body.width(), pt(kFootHeight - 6));
    // At the left the project and the compartment, at the right the program, the date and the
    // revision: each in two lines at most.
    const double side = strip.width() * 0.38;
    const QString left = m_document.parts.at(sheet.part).foot;
    QString shown = left;
    while (!shown.isEmpty() &&
           fm.boundingRect(QRectF(0, 0, side, 1e6), Qt::TextWordWrap, shown).height() >
               fm.height() * 2.5)
        shown = shown.left(shown.size() * 9 / 10).trimmed() + QChar(0x2026);
    p.drawText(QRectF(strip.left(), strip.top(), side, strip.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, shown);
    p.drawText(strip, Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Pagina %1 di %2").arg(number).arg(m_sheets.size()));
    QString right = QStringLiteral("%1 %2 – %3")
                        .arg(ReportDocuments::kProgram, ReportDocuments::kProgramVersion,
                             m_document.date.toString(QStringLiteral("dd/MM/yyyy")));
    if (!m_document.revision.isEmpty())
        right += QLatin1Char('\n') + fm.elidedText(m_document.revision, Qt::ElideRight, side);
    p.drawText(QRectF(strip.right() - side, strip.top(), side, strip.height()),
               Qt::AlignRight | Qt::AlignVCenter, right);
}

void Layout::paint(QPainter &p, int index) const
{
    const Sheet &sheet = m_sheets.at(index);
    p.save();
    p.fillRect(QRectF(0, 0, m_device.width(), m_device.height()), Qt::white);
    QPen pen(Qt::black);
    pen.setWidthF(pt(0.8));
    p.setPen(pen);
    p.drawRect(m_frame);
    paintHeader(p, sheet);
    paintFoot(p, sheet, index + 1);
    if (sheet.repeatedHead >= 0) {
        const Atom &head = m_heads.at(sheet.repeatedHead);
        const double top = m_body.top() + headerHeight(true);
        head.paint(p, QRectF(m_body.left(), top, m_body.width(), head.height));
    }
    for (const Placed &placed : sheet.items) {
        const Atom &atom = m_atoms.at(placed.atom);
        atom.paint(p, QRectF(m_body.left(), placed.top, m_body.width(), atom.height));
    }
    p.restore();
}

} // namespace

int sheetCount(const ReportDocument &document, const QPaintDevice &device)
{
    return Layout(document, device).sheetCount();
}

bool render(const ReportDocument &document, QPagedPaintDevice &device, int first, int last)
{
    const Layout layout(document, device);
    if (last < 0 || last >= layout.sheetCount())
        last = layout.sheetCount() - 1;
    first = std::max(first, 0);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int sheet = first; sheet <= last; ++sheet) {
        if (sheet > first && !device.newPage())
            return false;
        layout.paint(painter, sheet);
    }
    return painter.end();
}

void preparePdf(QPdfWriter &pdf)
{
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(600);
}

namespace {

// The sheets are measured on a PDF writer that never draws: they break where the PDF's do.
const QPaintDevice &prepared(QPdfWriter &pdf)
{
    preparePdf(pdf);
    return pdf;
}

} // namespace

class Sheets::Impl
{
public:
    explicit Impl(const ReportDocument &d)
        : document(d), pdf(&buffer), layout(document, prepared(pdf))
    {
    }
    const ReportDocument document;
    QBuffer buffer;
    QPdfWriter pdf;
    const Layout layout;
};

Sheets::Sheets(const ReportDocument &document) : m(std::make_unique<Impl>(document)) {}

Sheets::~Sheets() = default;

const ReportDocument &Sheets::document() const
{
    return m->document;
}

int Sheets::count() const
{
    return m->layout.sheetCount();
}

void Sheets::paint(QImage &image, int sheet) const
{
    image.fill(Qt::white);
    if (sheet < 0 || sheet >= count())
        return;
    // Points as on the sheet the layout measured, whatever the size the picture is drawn at.
    image.setDotsPerMeterX(int(std::lround(m->pdf.resolution() / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(m->pdf.resolution() / 0.0254)));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(image.width() / double(m->pdf.width()), image.height() / double(m->pdf.height()));
    m->layout.paint(painter, sheet);
}

QImage blockPicture(const ReportBlock &block, double widthPoints, double dpi)
{
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    probe.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    const double width = widthPoints * dpi / 72;
    sharpText = true;
    const Layout layout(block, probe, width);
    QImage picture(int(std::ceil(width)), std::max(1, int(std::ceil(layout.blockHeight()))),
                   QImage::Format_RGB32);
    picture.setDotsPerMeterX(probe.dotsPerMeterX());
    picture.setDotsPerMeterY(probe.dotsPerMeterY());
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        layout.paintBlock(painter);
    }
    sharpText = false;
    return picture.convertToFormat(QImage::Format_Indexed8);
}

void paintChart(QPainter &painter, const QRectF &rect, const ReportBlock &chart)
{
    paintAnyChart(painter, rect, chart, *painter.device());
}

void paintSheet(const ReportDocument &document, QPaintDevice &device, int sheet)
{
    const Layout layout(document, device);
    QPainter painter(&device);
    if (sheet >= 0 && sheet < layout.sheetCount())
        layout.paint(painter, sheet);
}

} // namespace ReportLayout
