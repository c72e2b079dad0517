#pragma once

#include "ui/factors/factorscreen.h"

#include <QVector>

class QRadioButton;

// delta q1, the factor of the compartment's floor area, from one of the rule's area classes.
class FattoreRischio1 : public FactorScreen
{
    Q_OBJECT
public:
    FattoreRischio1();

private:
    void showCalculation() override;
    void back() override;
    void next() override;
    void Option1_Click(int index);

    QVector<QRadioButton *> m_options;
    QLabel *m_table; // the rule's table
};
