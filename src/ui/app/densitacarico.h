#pragma once

#include "core/calculation.h"
#include "ui/app/screens.h"

// The chooser of the method for q_f: 1 activity catalogue, 2 furnishings and stored goods,
// 3 list of materials. Choosing a method starts a new calculation.
class DensitaCarico : public MainScreen
{
    Q_OBJECT
public:
    DensitaCarico();

    // Resets the calculation for a new choice of method.
    void Azzeramento(Method method);

private:
    void chooseMethod(Method method);
};
