#pragma once

#include "ui/app/screens.h"

#include <array>

class QLabel;
class QRadioButton;

// delta q2, the factor of the activity's risk class I, II or III.
class FattoreRischio2 : public MainScreen
{
    Q_OBJECT
public:
    FattoreRischio2();

    // What a new calculation resets on this screen.
    void clearForNewCalculation();

private:
    void Option1_Click(int index);
    void Command1_Click();
    void Command2_Click();

    std::array<QRadioButton *, 3> m_options{};
    std::array<QLabel *, 3> m_descriptions{};
    QLabel *m_dq2Symbol;
    QLabel *m_dq2Value;
};
