#pragma once

#include "ui/factors/factorscreen.h"

#include <QVector>

class QButtonGroup;
class QGridLayout;
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
    void showClasses(const Regulation &regulation);

    QGridLayout *m_rows;
    QButtonGroup *m_group;
    QVector<QRadioButton *> m_options;
    QVector<QLabel *> m_labels; // beside the options
    QLabel *m_table;            // the rule's table
};
