#pragma once

#include "ui/fireload/fireloadscreen.h"

class CatalogCombo;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// q_f from a list of materials: each entry (calorific value x quantity x psi x m) becomes a row
// of the materials working table; q_f is their sum divided by the compartment area.
class ValorePerMateriale : public FireLoadScreen
{
    Q_OBJECT
public:
    ValorePerMateriale();

    // What a new choice of the materials method empties on this screen.
    void clearForNewMethod();
    // Re-reads the material catalogue into the chooser.
    // After the entries were edited in their table: read again, and q_f with its decimals.
    void entriesEdited();
    // The inputs of a saved calculation, as if the user had typed them: its entries become the
    // working table's rows.
    void showInputs(const Calculation &calculation);

private:
    void CancellaTabella();
    void AggiungiMaterialeAllaSommatoria();
    void CalcoloCarIncMat();
    void readEntries() override;
    EntriesSum entriesSumNow() const override;

    void ComboMat_Change();
    void ComboMat_Click(int row);
    void txtValorePerKg_Change();
    void txtQta_Change();
    void factorTyped(QComboBox *factor);
    void Command4_Click();
    void Command5_Click();
    void cmdImportaElenco_Click();
    void cmdEsportaElenco_Click();
    void Command1_Click();
    void Command2_Click();

    CatalogCombo *m_comboMat;
    QLineEdit *m_valorePerKg;
    QLineEdit *m_qta;
    QComboBox *m_psi;     // Combo2
    QComboBox *m_m;       // Combo1
    qint64 m_nextRow = 1; // IdAppoggioMat of the next entry
};
