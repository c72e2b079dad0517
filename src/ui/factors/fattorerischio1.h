#pragma once

#include "ui/kit/screens.h"

#include <QVector>

class QLabel;
class QLineEdit;
class QRadioButton;

// delta q1, the factor of the compartment's floor area, from one of six area classes.
class FattoreRischio1 : public MainScreen
{
    Q_OBJECT
public:
    FattoreRischio1();

private:
    void showCalculation();
    void Option1_Click(int index);
    void Command2_Click();
    void Command1_Click();

    QVector<QRadioButton *> m_options;
    QLabel *m_table; // the rule's table
    QLineEdit *m_qf = nullptr;
    QLabel *m_dq1Symbol = nullptr;
    QLabel *m_dq1Value = nullptr;
};
