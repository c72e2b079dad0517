#pragma once

#include "ui/kit/screens.h"

// What the design specific fire load is and the relation that gives it.
class FormulaCaricoIncendio : public MainScreen
{
    Q_OBJECT
public:
    FormulaCaricoIncendio();
};
