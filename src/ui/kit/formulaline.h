#pragma once

#include <QString>
#include <initializer_list>

class QLabel;
class QLineEdit;
class QWidget;

// The formula symbols, drawn as text.
namespace Symbols {
inline const QString qfd = QStringLiteral("<i>q</i><sub>f,d</sub>");
inline const QString qf = QStringLiteral("<i>q</i><sub>f</sub>");
inline const QString dq1 = QStringLiteral("<i>δ</i><sub>q1</sub>");
inline const QString dq2 = QStringLiteral("<i>δ</i><sub>q2</sub>");
inline const QString dn = QStringLiteral("<i>δ</i><sub>n</sub>");
inline QString dnIndex(int i)
{
    return QStringLiteral("<i>δ</i><sub>n%1</sub>").arg(i);
}
// The whole relation q_f,d = q_f · δq1 · δq2 · δn.
inline const QString relation = qfd + QStringLiteral(" = ") + qf + QStringLiteral(" · ") + dq1 +
                                QStringLiteral(" · ") + dq2 + QStringLiteral(" · ") + dn;
} // namespace Symbols

// A picture of a formula symbol: a label named like the designer's picture.
QLabel *makeSymbol(QWidget *parent, const char *name, const QString &symbol, int pointSize = 14);

// One piece of the formula line at the foot of the factor screens and the result screen.
struct FormulaPiece {
    enum Kind {
        Symbol,      // a symbol picture
        Text,        // a fixed text ("=", ".", the unit)
        Field,       // a borderless text field (q_f)
        ValueSymbol, // a value label standing where the symbol's picture stands
    };
    Kind kind;
    const char *name;
    QString text;                    // symbol or fixed text
    const char *valueName = nullptr; // ValueSymbol: the value label's name
    // Where the screen keeps the piece's widgets: the label (Text, Symbol, or ValueSymbol's
    // picture), the field, ValueSymbol's value.
    QLabel **keptLabel = nullptr;
    QLineEdit **keptField = nullptr;
    QLabel **keptValue = nullptr;

    // The pieces a screen keeps and fills.
    static FormulaPiece field(const char *name, QLineEdit **kept)
    {
        return {Field, name, {}, nullptr, nullptr, kept};
    }
    static FormulaPiece value(const char *name, QLabel **kept)
    {
        return {Text, name, {}, nullptr, kept};
    }
    static FormulaPiece valueSymbol(const char *name, const QString &symbol, const char *valueName,
                                    QLabel **keptSymbol, QLabel **keptValue)
    {
        return {ValueSymbol, name, symbol, valueName, keptSymbol, nullptr, keptValue};
    }
};

// A value that stands where its symbol's picture stands: the value while it is known, the
// symbol while `text` is empty.
void showValueOrSymbol(QLabel *symbol, QLabel *value, const QString &text);

// A text that not every rule has, such as a table's citation: the label is hidden while empty.
void showIfAny(QLabel *label, const QString &text);

// The values of a formula line that the screens before confirmed: q_f, delta q1 and delta q2
// (a null field is left out). Each appears once its screen has been passed and stays until that
// screen is passed again.
void showConfirmedValues(QLineEdit *fireLoad, QLabel *deltaQ1, QLabel *deltaQ2);

// Lays the pieces out in one row inside `parent` and returns the row.
QWidget *buildFormulaLine(QWidget *parent, std::initializer_list<FormulaPiece> pieces);
