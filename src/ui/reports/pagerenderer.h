#pragma once

#include <QRect>

class QPainter;
class QWidget;

// Draws a page canvas the way it looks on screen, with every text as text (so that a PDF keeps
// it searchable and sharp) and every rule as a line. Buttons and hidden items are left out.
namespace PageRenderer {

// Draws the part `source` of `canvas` (canvas pixels) at the painter's origin.
void paint(QPainter &painter, const QWidget *canvas, const QRect &source);

} // namespace PageRenderer
