#pragma once

#include "core/regulation.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/screens.h"

#include <initializer_list>
#include <optional>

class QLabel;
class QLineEdit;
class QVBoxLayout;

// A screen of one factor of q_f,d: a heading, the factor's choices, the formula line with the
// values confirmed so far and the factor's own delta, and Indietro/Avanti. The screen follows the
// calculation under way: its view is drawn again on each change.
class FactorScreen : public MainScreen
{
    Q_OBJECT
protected:
    FactorScreen(const char *name, const QString &caption, const QString &heading);

    // Where the screen lays its choices, under the heading.
    QVBoxLayout *body() const { return m_body; }
    // Adds the formula line of `pieces` and the buttons named `backName` and `nextName`, ties
    // them to back() and next(), and shows the calculation. Called last by each constructor.
    void finish(std::initializer_list<FormulaPiece> pieces, const char *backName,
                const char *nextName);

    // The screen's factor in the formula line: its value, or its symbol while it has none.
    void showDelta(const QString &value);
    // Whether the calculation's rule is another than the one the screen shows its choices for;
    // from then on it is the one shown.
    bool ruleChanged(const Rule &rule);
    // Tab goes through `controls`, made again for another rule, before the formula line and the
    // buttons, as they are read.
    void orderTabs(const QList<QWidget *> &controls);

    virtual void showCalculation() = 0;
    virtual void back() = 0;
    virtual void next() = 0;

    // Kept by the formula line's pieces: q_f, and the screen's own delta.
    QLineEdit *m_qf = nullptr;
    QLabel *m_deltaSymbol = nullptr;
    QLabel *m_deltaValue = nullptr;

private:
    QVBoxLayout *m_body;
    QWidget *m_back = nullptr;
    QWidget *m_next = nullptr;
    std::optional<Rule> m_shownRule;
};
