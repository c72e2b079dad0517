#include "ui/reports/pagecanvas.h"

#include "ui/kit/formulaline.h"
#include "ui/kit/widgets.h"
#include "ui/reports/pageview.h"

#include <QFrame>
#include <QLabel>
#include <QTextDocument>
#include <cmath>

namespace PageCanvas {

QFont verdana(double points, bool bold)
{
    return headingFont(points, bold);
}

QFont sansSerif(double points, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont serif(double points, bool bold)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont script(double points)
{
    QFont font = serif(points, true);
    font.setItalic(true);
    return font;
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    const QSize hint = widget->sizeHint();
    widget->setGeometry(PageView::toPixelsX(left), PageView::toPixelsY(top),
                        width > 0 ? PageView::toPixelsX(width) : hint.width(),
                        height > 0 ? PageView::toPixelsY(height) : hint.height());
}

int topOf(const QWidget *widget)
{
    return int(std::lround(widget->y() / PageView::pixelsPerTwipY()));
}

QLabel *text(QWidget *canvas, const char *name, const QString &content, int left, int top,
             const QFont &font, int width, Qt::Alignment align)
{
    auto *label = new QLabel(content, canvas);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(align | Qt::AlignVCenter);
    place(label, left, top, width);
    if (width > 0) {
        label->setFixedWidth(PageView::toPixelsX(width));
    } else {
        label->adjustSize();
    }
    return label;
}

QLabel *symbol(QWidget *canvas, const char *name, const QString &content, int left, int top,
               double points)
{
    QLabel *label = makeSymbol(canvas, name, content, int(points));
    label->setStyleSheet(QStringLiteral("color: black;"));
    place(label, left, top);
    return label;
}

QWidget *hline(QWidget *canvas, const char *name, int top, int x1, int x2)
{
    auto *line = new QFrame(canvas);
    if (name)
        line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::NoFrame);
    line->setStyleSheet(QStringLiteral("background: black;"));
    line->setGeometry(PageView::toPixelsX(x1), PageView::toPixelsY(top),
                      PageView::toPixelsX(x2 - x1) + 1, 1);
    return line;
}

QWidget *vline(QWidget *canvas, const char *name, int left, int y1, int y2)
{
    auto *line = new QFrame(canvas);
    if (name)
        line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::NoFrame);
    line->setStyleSheet(QStringLiteral("background: black;"));
    line->setGeometry(PageView::toPixelsX(left), PageView::toPixelsY(y1), 1,
                      PageView::toPixelsY(y2 - y1) + 1);
    return line;
}

QString plainToolTip(const QString &text)
{
    // A tooltip that looks like markup is rendered as markup: the text goes escaped into a
    // paragraph of its own, so that it is shown exactly as typed.
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text);
}

void showWhole(QLabel *label, const QString &text)
{
    label->setToolTip(plainToolTip(text));
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, label->width()));
}

std::array<QWidget *, 4> border(QWidget *canvas, int left, int top, int right, int bottom)
{
    return {hline(canvas, "Line6", top, left, right), vline(canvas, "Line7", right, top, bottom),
            hline(canvas, "Line8", bottom, left, right), vline(canvas, "Line9", left, top, bottom)};
}

} // namespace PageCanvas
