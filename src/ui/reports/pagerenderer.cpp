#include "ui/reports/pagerenderer.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTextDocument>

namespace PageRenderer {
namespace {

// The font at the size it has on screen, so that it scales with the page and not with the
// printer's resolution.
QFont screenSized(const QFont &font)
{
    QFont sized = font;
    sized.setPixelSize(QFontInfo(font).pixelSize());
    return sized;
}

void drawLabel(QPainter &painter, const QLabel *label, const QRect &rect)
{
    if (!label->pixmap().isNull()) {
        painter.drawPixmap(rect.topLeft(), label->pixmap());
        return;
    }
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (rich) {
        QTextDocument document;
        document.setDefaultFont(screenSized(label->font()));
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        if (label->wordWrap())
            document.setTextWidth(rect.width());
        const int y = rect.top() + (label->alignment() & Qt::AlignVCenter
                                        ? (rect.height() - int(document.size().height())) / 2
                                        : 0);
        painter.save();
        painter.translate(rect.left(), y);
        document.drawContents(&painter);
        painter.restore();
        return;
    }
    painter.setPen(Qt::black);
    const QVariant printed = label->property("printedText");
    if (printed.isValid()) {
        // A text shortened on screen is printed whole: wrapped, in a smaller type until it fits.
        QFont font = screenSized(label->font());
        const int flags = int(label->alignment()) | Qt::TextWordWrap;
        const QString text = printed.toString();
        while (font.pixelSize() > 3 &&
               QFontMetrics(font)
                       .boundingRect(QRect(0, 0, rect.width(), 100000), flags, text)
                       .height() > rect.height())
            font.setPixelSize(font.pixelSize() - 1);
        painter.setFont(font);
        painter.drawText(rect, flags, text);
        return;
    }
    painter.setFont(screenSized(label->font()));
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    painter.drawText(rect, flags, label->text());
}

} // namespace

void paint(QPainter &painter, const QWidget *canvas, const QRect &source)
{
    painter.save();
    painter.setClipRect(QRect(QPoint(0, 0), source.size()));
    painter.translate(-source.topLeft());
    painter.fillRect(source, Qt::white);
    const auto items = canvas->findChildren<QWidget *>();
    for (const QWidget *item : items) {
        if (!item->isVisibleTo(canvas) || qobject_cast<const QAbstractButton *>(item) ||
            qobject_cast<const QAbstractSlider *>(item))
            continue;
        const QRect rect(item->mapTo(canvas, QPoint(0, 0)), item->size());
        if (!rect.intersects(source))
            continue;
        if (const auto *label = qobject_cast<const QLabel *>(item)) {
            drawLabel(painter, label, rect);
        } else if (const auto *edit = qobject_cast<const QLineEdit *>(item)) {
            painter.setFont(screenSized(edit->font()));
            painter.setPen(Qt::black);
            painter.drawText(rect.adjusted(1, 0, -1, 0), int(edit->alignment()), edit->text());
        } else if (item->metaObject() == &QFrame::staticMetaObject) {
            painter.fillRect(rect, Qt::black); // a rule of the page
        }
    }
    painter.restore();
}

} // namespace PageRenderer
