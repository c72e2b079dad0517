#include "ui/reports/pageview.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kBarTwips = 300;

double logicalDpi(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    return horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
}
} // namespace

double PageView::pixelsPerTwipX()
{
    return logicalDpi(true) / 1440.0;
}

double PageView::pixelsPerTwipY()
{
    return logicalDpi(false) / 1440.0;
}

int PageView::toPixelsX(int twips)
{
    return int(std::lround(twips * pixelsPerTwipX()));
}

int PageView::toPixelsY(int twips)
{
    return int(std::lround(twips * pixelsPerTwipY()));
}

PageView::PageView(int canvasWidthTwips, int canvasHeightTwips, QWidget *parent)
    : QWidget(parent), m_canvas(new QWidget(this)), m_hbar(new QScrollBar(Qt::Horizontal, this)),
      m_vbar(new QScrollBar(Qt::Vertical, this)), m_filler(new QPushButton(this))
{
    m_canvas->setObjectName(QStringLiteral("picCanvas"));
    m_canvas->setFixedSize(toPixelsX(canvasWidthTwips), toPixelsY(canvasHeightTwips));
    m_canvas->setProperty("widthTwips", canvasWidthTwips);
    m_canvas->setProperty("heightTwips", canvasHeightTwips);
    // The height of one printed sheet: a list that grows past it prints on further sheets.
    m_canvas->setProperty("sheetHeightPixels", m_canvas->height());
    m_canvas->setAutoFillBackground(true);
    QPalette paper = m_canvas->palette();
    paper.setColor(QPalette::Window, Qt::white);
    m_canvas->setPalette(paper);

    m_hbar->setObjectName(QStringLiteral("HScroll1"));
    m_vbar->setObjectName(QStringLiteral("VScroll1"));
    m_filler->setObjectName(QStringLiteral("cmdFiller"));
    m_filler->setFocusPolicy(Qt::NoFocus);
    m_filler->setFlat(true);
    connect(m_hbar, &QScrollBar::valueChanged, this, &PageView::MoveCanvas);
    connect(m_vbar, &QScrollBar::valueChanged, this, &PageView::MoveCanvas);
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void PageView::Form_Resize()
{
    // Everything in twips, as the page is measured; a client area thinner than a bar gives
    // the bars no room rather than a negative size.
    const double tx = pixelsPerTwipX();
    const double ty = pixelsPerTwipY();
    const int w = int(std::lround(width() / tx));
    const int h = int(std::lround(height() / ty));
    const int bw = toPixelsX(kBarTwips);
    const int bh = toPixelsY(kBarTwips);

    m_hbar->setGeometry(0, std::max(0, height() - bh), std::max(0, width() - bw), bh);
    m_vbar->setGeometry(std::max(0, width() - bw), 0, bw, std::max(0, height() - bh));
    m_filler->setGeometry(std::max(0, width() - bw), std::max(0, height() - bh), bw, bh);
    m_hbar->raise();
    m_vbar->raise();
    m_filler->raise();

    const int smallX = std::max(1, int(std::lround(1.0 / tx)));
    const int smallY = std::max(1, int(std::lround(1.0 / ty)));
    m_hbar->setSingleStep(smallX);
    m_hbar->setPageStep(16 * smallX);
    m_vbar->setSingleStep(smallY);
    m_vbar->setPageStep(16 * smallY);

    const int canvasW = m_canvas->property("widthTwips").toInt();
    const int canvasH = m_canvas->property("heightTwips").toInt();
    if (canvasW + kBarTwips > w) {
        m_hbar->setRange(0, canvasW + kBarTwips - w);
        m_hbar->show();
    } else {
        m_hbar->setValue(0);
        m_hbar->hide();
    }
    if (canvasH + kBarTwips > h) {
        m_vbar->setRange(0, canvasH + kBarTwips - h);
        m_vbar->show();
    } else {
        m_vbar->setValue(0);
        m_vbar->hide();
    }
    m_filler->setVisible(!m_hbar->isHidden() || !m_vbar->isHidden());
    MoveCanvas();
}

void PageView::MoveCanvas()
{
    m_canvas->move(-int(std::lround(m_hbar->value() * pixelsPerTwipX())),
                   -int(std::lround(m_vbar->value() * pixelsPerTwipY())));
    emit canvasMoved();
}

void PageView::wheelEvent(QWheelEvent *event)
{
    // A notch of the wheel (120 eighths of a degree) moves the page by three of the bars' page
    // steps, about three lines of a list.
    const QPoint delta = event->angleDelta();
    const bool sideways =
        event->modifiers().testFlag(Qt::ShiftModifier) || std::abs(delta.x()) > std::abs(delta.y());
    QScrollBar *bar = sideways ? m_hbar : m_vbar;
    const int turned = std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y();
    if (bar->isHidden()) {
        event->ignore();
        return;
    }
    bar->setValue(bar->value() - turned * 3 * bar->pageStep() / 120);
    event->accept();
}
