#pragma once

#include "core/calculation.h"
#include "ui/kit/screens.h"

#include <QVector>

class QRadioButton;

// The chooser of the rule and of the method for q_f: 1 activity catalogue, 2 furnishings and
// stored goods, 3 list of materials. Choosing a method starts a new calculation under the rule
// chosen; the choice of rule is remembered for the next run of the program.
class DensitaCarico : public MainScreen
{
    Q_OBJECT
public:
    DensitaCarico();

    // The rule the next calculation applies.
    Rule chosenRule() const;

private:
    // Starts the calculation for a new choice of method.
    void Azzeramento(Method method);
    // Sets the choice to `rule` (a compartment reopened), without remembering it.
    void showRule(const Rule &rule);
    void chooseMethod(Method method);
    void OptionNormativa_Click(int index);

    QVector<QRadioButton *> m_ruleOptions; // in the order of Regulation::rules()
};
