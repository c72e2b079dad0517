#pragma once

#include "ui/kit/screens.h"

// The start screen: the program's name and purpose, the "i" link to the about box and Avanti.
class Avvio : public MainScreen
{
    Q_OBJECT
public:
    Avvio();

private:
    void Command1_Click();
    void Label6_Click();
};

// The program's picture: a flame in a shield, drawn at any size.
QPixmap ardivoPicture(int size);
