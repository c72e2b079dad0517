#pragma once

#include "ui/app/screens.h"

#include <array>

class QLabel;
class QRadioButton;

// delta q1, the factor of the compartment's floor area, from one of six area classes.
class FattoreRischio1 : public MainScreen
{
    Q_OBJECT
public:
    FattoreRischio1();

    // Selects the class of the area typed on the materials or furnishings screen.
    void Area();
    // What a new calculation resets on this screen.
    void clearForNewCalculation();

private:
    void applyAreaClass(int index);
    void Option1_Click(int index);
    void Command2_Click();
    void Command1_Click();

    std::array<QRadioButton *, 6> m_options{};
    QLabel *m_dq1Symbol;
    QLabel *m_dq1Value;
};
