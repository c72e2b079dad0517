#pragma once

#include "ui/factors/factorscreen.h"

#include <QVector>

class QRadioButton;

// delta q2, the factor of the activity's risk class I, II or III.
class FattoreRischio2 : public FactorScreen
{
    Q_OBJECT
public:
    FattoreRischio2();

private:
    void showCalculation() override;
    void back() override;
    void next() override;
    void Option1_Click(int index);

    QVector<QRadioButton *> m_options;
    QLabel *m_table; // the rule's table
    QLabel *m_dq1 = nullptr;
};
