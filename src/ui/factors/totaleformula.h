#pragma once

#include "ui/kit/screens.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

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

    QLineEdit *m_qf = nullptr;
    QLabel *m_dq1 = nullptr, *m_dq2 = nullptr, *m_dn = nullptr, *m_design = nullptr;
    QLabel *m_reference, *m_minimum;
    QLabel *m_referenceCaption, *m_minimumCaption, *m_classTable;

    // The performance level the designer attributes, under a rule whose levels are chosen.
    QWidget *buildLevel();
    void showLevel();
    QWidget *m_level = nullptr;
    QComboBox *m_levelChoice = nullptr;      // ComboLivello
    QLabel *m_levelMeaning = nullptr;        // lblDescrLivello
    QLabel *m_levelRequirement = nullptr;    // lblRequisitoLivello
    QLabel *m_reasonCaption = nullptr;       // lblMotivazioneLivello
    QPlainTextEdit *m_levelReason = nullptr; // txtMotivazioneLivello
    QLabel *m_tableClass = nullptr;          // lblClasseTabella: the class of the table beside
    int m_levelSized = 0;                    // the level whose texts the screen has room for
    QLabel *m_warnings = nullptr; // lblAvvertenze: what the technician should look at again
};
