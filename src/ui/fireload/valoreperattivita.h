#pragma once

#include "ui/fireload/fireloadscreen.h"

#include <optional>

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
    // The typed area into the calculation: false, with the rule told, when it is no area.
    bool takeArea();
    void Command2_Click();
    void showFractileValue();
    // The typed value times the typed factor, when both are reliable (a value above 1, a
    // positive factor) and the product is a finite number.
    std::optional<double> typedFractileValue() const;

    CatalogCombo *m_comboAttivita;
    QLineEdit *m_valore;
    QComboBox *m_frattile;
    QLabel *m_nota;
    QLineEdit *m_areaComp;      // txtAreaComp: optional here; it proposes the area class
    qint64 m_activityId = 0;    // idAttivita of the activity last chosen
    double m_fractileValue = 0; // the value shown: nominal fire load times the fractile
    QString m_catalogueValue;   // the nominal load of the activity last chosen, as shown
};
