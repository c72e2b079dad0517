#include "ui/kit/formulaline.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

QLabel *makeSymbol(QWidget *parent, const char *name, const QString &symbol, int pointSize)
{
    auto *label = new QLabel(symbol, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::RichText);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(pointSize);
    label->setFont(font);
    return label;
}

QWidget *buildFormulaLine(QWidget *parent, std::initializer_list<FormulaPiece> pieces)
{
    auto *row = new QWidget(parent);
    row->setObjectName(QStringLiteral("formulaLine"));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    QFont valueFont(QStringLiteral("Verdana"));
    valueFont.setBold(true);
    valueFont.setPointSize(12);

    for (const FormulaPiece &piece : pieces) {
        switch (piece.kind) {
        case FormulaPiece::Symbol: {
            QLabel *symbol = makeSymbol(row, piece.name, piece.text);
            if (piece.keptLabel)
                *piece.keptLabel = symbol;
            layout->addWidget(symbol);
            break;
        }
        case FormulaPiece::Text: {
            auto *label = new QLabel(piece.text, row);
            label->setObjectName(QString::fromLatin1(piece.name));
            label->setFont(valueFont);
            if (piece.keptLabel)
                *piece.keptLabel = label;
            layout->addWidget(label);
            break;
        }
        case FormulaPiece::Field: {
            auto *field = new QLineEdit(row);
            field->setObjectName(QString::fromLatin1(piece.name));
            field->setReadOnly(true);
            field->setFrame(false);
            field->setFocusPolicy(Qt::NoFocus);
            field->setAlignment(Qt::AlignCenter);
            field->setFont(valueFont);
            field->setStyleSheet(QStringLiteral("background: transparent;"));
            if (piece.keptField)
                *piece.keptField = field;
            field->setFixedWidth(
                QFontMetrics(valueFont).horizontalAdvance(QStringLiteral("0000000,00")));
            layout->addWidget(field);
            break;
        }
        case FormulaPiece::ValueSymbol: {
            // Picture and value share one cell: the value replaces the picture once known.
            auto *cell = new QWidget(row);
            auto *grid = new QGridLayout(cell);
            grid->setContentsMargins(0, 0, 0, 0);
            QLabel *symbol = makeSymbol(cell, piece.name, piece.text);
            auto *value = new QLabel(cell);
            value->setObjectName(QString::fromLatin1(piece.valueName));
            value->setFont(valueFont);
            value->setAlignment(Qt::AlignCenter);
            if (piece.keptLabel)
                *piece.keptLabel = symbol;
            if (piece.keptValue)
                *piece.keptValue = value;
            grid->addWidget(symbol, 0, 0, Qt::AlignCenter);
            grid->addWidget(value, 0, 0, Qt::AlignCenter);
            cell->setMinimumWidth(
                QFontMetrics(valueFont).horizontalAdvance(QStringLiteral("0,000")));
            layout->addWidget(cell);
            break;
        }
        }
    }
    layout->addStretch();
    return row;
}

void showValueOrSymbol(QLabel *symbol, QLabel *value, const QString &text)
{
    value->setText(text);
    symbol->setVisible(text.isEmpty());
}

void showIfAny(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

void showConfirmedValues(QLineEdit *fireLoad, QLabel *deltaQ1, QLabel *deltaQ2)
{
    using S = CalculationSession;
    const S &session = S::current();
    const Calculation &c = session.calculation();
    if (fireLoad && session.reached(S::FireLoadPassed))
        fireLoad->setText(CalculationTexts::fireLoad(c));
    if (deltaQ1 && session.reached(S::AreaClassPassed))
        deltaQ1->setText(CalculationTexts::deltaQ1(c));
    if (deltaQ2 && session.reached(S::RiskClassPassed))
        deltaQ2->setText(CalculationTexts::deltaQ2(c));
}
