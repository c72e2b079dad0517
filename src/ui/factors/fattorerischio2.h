#pragma once

#include "ui/factors/factorscreen.h"

#include <QVector>

class QButtonGroup;
class QGridLayout;
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
    void showClasses(const Regulation &regulation);

    QGridLayout *m_rows;
    QButtonGroup *m_group;
    QVector<QRadioButton *> m_options;
    QVector<QLabel *> m_names; // beside the options
    QVector<QLabel *> m_descriptions;
    QLabel *m_table; // the rule's table
    QLabel *m_dq1 = nullptr;
};
