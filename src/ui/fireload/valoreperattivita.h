#pragma once

#include "ui/fireload/fireloadscreen.h"

class CatalogCombo;
class QComboBox;
class QLabel;
class QLineEdit;

// q_f from the activity catalogue: the nominal specific fire load of the activity type times a
// fractile factor between 1 and 2.
class ValorePerAttivita : public FireLoadScreen
{
    Q_OBJECT
public:
    ValorePerAttivita();

private:
    // What a new calculation resets on this screen.
    void clearForNewCalculation() override;
    // The inputs of a saved calculation, as if the user had typed them. The activity's name is
    // kept even when the catalogue no longer lists it: the calculation carries its own value.
    void showInputs(const Calculation &calculation) override;
    void Assegna_Valori();

    void ComboAttivita_Change();
    void txtValoreMJm2_Change();
    void ComboFrattile_Change();
    void ComboFrattile_Click();
    void Command1_Click();
    void Command2_Click();
    // The inputs as they are typed into the calculation, and its q_f shown.
    void giveInputs();
    void showFireLoadOfActivity(const Calculation &calculation);
    // The area is optional here and does not change q_f: it proposes the area class.
    void areaTaken() override;

    CatalogCombo *m_comboAttivita;
    QLineEdit *m_valore;
    QComboBox *m_frattile;
    QLabel *m_nota;
    qint64 m_activityId = 0;  // idAttivita of the activity last chosen
    QString m_catalogueValue; // the nominal load of the activity last chosen, as shown
};
