#pragma once

#include "ui/kit/screens.h"

#include <QVector>

class QLabel;
class QLineEdit;
class QRadioButton;

// delta q2, the factor of the activity's risk class I, II or III.
class FattoreRischio2 : public MainScreen
{
    Q_OBJECT
public:
    FattoreRischio2();

private:
    void showCalculation();
    void Option1_Click(int index);
    void Command1_Click();
    void Command2_Click();

    QVector<QRadioButton *> m_options;
    QLabel *m_table; // the rule's table
    QLineEdit *m_qf = nullptr;
    QLabel *m_dq1 = nullptr;
    QLabel *m_dq2Symbol = nullptr;
    QLabel *m_dq2Value = nullptr;
};
