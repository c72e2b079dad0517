#pragma once

#include "ui/app/screens.h"

// The result: q_f,d = q_f * delta q1 * delta q2 * delta n and the resistance classes for
// performance level III, from which the user opens the report page of the method in use.
class TotaleFormula : public MainScreen
{
    Q_OBJECT
public:
    TotaleFormula();

    // Computes q_f,d from the shared values (delta n already in ValoreFormula), looks up the
    // classes and writes them here and on the report pages.
    // False, with the user told, when q_f,d is too large to be a number.
    bool publishDesignValue();

private:
    void Command3_Click();
    void Command1_Click();
};
