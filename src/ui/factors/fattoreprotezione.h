#pragma once

#include "ui/app/screens.h"

#include <QVector>

class QCheckBox;
class QLabel;
class QLineEdit;

// delta n, the product of the protection-measure factors delta n1 ... delta n9.
class FattoreProtezione : public MainScreen
{
    Q_OBJECT
public:
    FattoreProtezione();

private:
    void showCalculation();
    void Check_Click(int measure);
    void Command1_Click();
    void Command2_Click();

    QVector<QCheckBox *> m_checks;
    QLineEdit *m_qf;
    QLabel *m_dq1;
    QLabel *m_dq2;
    QLabel *m_dnSymbol;
    QLabel *m_dnValue;
};
