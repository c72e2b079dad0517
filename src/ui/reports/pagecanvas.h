#pragma once

#include <QFont>
#include <QString>
#include <array>

class QLabel;
class QWidget;

// Placing things on a page canvas in twips (1/1440 inch), as the report layouts are measured.
namespace PageCanvas {

QFont verdana(double points, bool bold);
QFont sansSerif(double points, bool bold = false);
QFont serif(double points, bool bold = false);
QFont script(double points);

// Shows `text` in a label of fixed width: shortened with an ellipsis when it does not fit on
// screen (the whole text in its tooltip), and printed whole, in a smaller type if need be.
void showWhole(QLabel *label, const QString &text);
// A tooltip that shows `text` exactly as it is, whatever markup it seems to hold.
QString plainToolTip(const QString &text);

// A one-line text at (left, top); width 0 takes the text's own width. Centred texts need a width.
QLabel *text(QWidget *canvas, const char *name, const QString &text, int left, int top,
             const QFont &font, int width = 0, Qt::Alignment align = Qt::AlignLeft);
// A formula symbol at (left, top).
QLabel *symbol(QWidget *canvas, const char *name, const QString &symbol, int left, int top,
               double points = 12);
// A horizontal rule at `top` from x1 to x2.
QWidget *hline(QWidget *canvas, const char *name, int top, int x1, int x2);
// A vertical rule at `left` from y1 to y2.
QWidget *vline(QWidget *canvas, const char *name, int left, int y1, int y2);
// The four lines of a page border: top, right, bottom, left.
std::array<QWidget *, 4> border(QWidget *canvas, int left, int top, int right, int bottom);
// Moves a widget to twips.
void place(QWidget *widget, int left, int top, int width = 0, int height = 0);
int topOf(const QWidget *widget); // in twips

} // namespace PageCanvas
