#pragma once

#include "ui/app/screens.h"

#include <array>

class QCheckBox;
class QLabel;

// delta n, the product of the nine protection-measure factors delta n1 ... delta n9.
class FattoreProtezione : public MainScreen
{
    Q_OBJECT
public:
    FattoreProtezione();

    // Forms delta n from the nine factors into ValoreFormula and shows it.
    void CalcolaFattProt();
    // What a new calculation resets on this screen.
    void clearForNewCalculation();

private:
    void publishFactor(int measure);
    void Check_Click(int measure);
    void Command1_Click();
    void Command2_Click();

    std::array<QCheckBox *, 9> m_checks{};
    QLabel *m_dnSymbol;
    QLabel *m_dnValue;
};
