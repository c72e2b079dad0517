#pragma once

#include "core/regulation.h"
#include "ui/kit/screens.h"

#include <QVector>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// delta n, the product of the protection-measure factors: under the decree a box for each of
// delta n1 ... delta n9; under the Code one choice among the fire-control systems (delta n1 ...
// delta n6) and a box for each further measure (delta n7 ... delta n10). The screen holds both
// sets and shows the one of the calculation's rule.
class FattoreProtezione : public MainScreen
{
    Q_OBJECT
public:
    FattoreProtezione();

private:
    QWidget *buildDecreeMeasures();
    QWidget *buildCodeMeasures();
    void showCalculation();
    void Check_Click(int measure);
    void OptionControllo_Click(int option);
    void CheckMisura_Click(int measure);
    void Command1_Click();
    void Command2_Click();

    QVector<QCheckBox *> m_checks; // the decree's boxes
    QWidget *m_decreeMeasures;
    QWidget *m_codeMeasures;
    QButtonGroup *m_controlGroup; // the Code's choice: id 0 none, id k the measure delta nk
    const Regulation::MeasureGroup *m_controlChoice = nullptr;
    QVector<QCheckBox *> m_codeChecks; // the Code's further measures, by measure index

    QLineEdit *m_qf = nullptr;
    QLabel *m_dq1 = nullptr;
    QLabel *m_dq2 = nullptr;
    QLabel *m_dnSymbol = nullptr;
    QLabel *m_dnValue = nullptr;
};
