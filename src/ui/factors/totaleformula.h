#pragma once

#include "ui/kit/screens.h"

class QLabel;
class QLineEdit;

// The result: q_f,d = q_f * delta q1 * delta q2 * delta n and the resistance classes for the
// performance level of the calculation's rule (a rule without a minimum class shows none), from
// which the user opens the report page of the method in use.
class TotaleFormula : public MainScreen
{
    Q_OBJECT
public:
    TotaleFormula();

private:
    void showCalculation();
    void Command3_Click();
    void Command1_Click();

    QLineEdit *m_qf;
    QLabel *m_dq1, *m_dq2, *m_dn, *m_design, *m_reference, *m_minimum;
    QLabel *m_referenceCaption, *m_minimumCaption, *m_classTable;
};
