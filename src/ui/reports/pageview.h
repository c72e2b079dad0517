#pragma once

#include <QWidget>

class QPushButton;
class QScrollBar;

// A page larger than its window: a canvas of fixed size (in twips, 1/1440 inch) seen through
// the window and moved by two scroll bars 300 twips thick, with a filler in their corner.
class PageView : public QWidget
{
    Q_OBJECT
public:
    PageView(int canvasWidthTwips, int canvasHeightTwips, QWidget *parent);

    QWidget *canvas() const { return m_canvas; }
    QScrollBar *horizontalBar() const { return m_hbar; }
    QScrollBar *verticalBar() const { return m_vbar; }

    // Screen pixels per twip, horizontally and vertically.
    static double pixelsPerTwipX();
    static double pixelsPerTwipY();
    static int toPixelsX(int twips);
    static int toPixelsY(int twips);

    // Lays the bars out for the current size and decides which are needed (Form_Resize).
    void Form_Resize();
    // Moves the canvas to the scroll position.
    void MoveCanvas();

signals:
    // The canvas moved or the window changed size: a different part of the page is in sight.
    void canvasMoved();

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The wheel scrolls the page as its bars do: sideways with Shift or a sideways wheel.
    void wheelEvent(QWheelEvent *event) override;

private:
    QWidget *m_canvas;
    QScrollBar *m_hbar;
    QScrollBar *m_vbar;
    QPushButton *m_filler;
};
