#pragma once

#include "ui/fireload/fireloadscreen.h"

class CatalogCombo;
class EntriesView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// q_f from a list of materials: each entry (calorific value x quantity x psi x m) joins the
// calculation's materials; q_f is their sum divided by the compartment area.
class ValorePerMateriale : public FireLoadScreen
{
    Q_OBJECT
public:
    ValorePerMateriale();

private:
    // After the entries were edited in their grid viewer: their sum's warnings, and q_f with
    // its decimals.
    void entriesEdited() override;
    // What a new calculation by the materials method empties on this screen.
    void clearForNewCalculation() override;
    // The inputs of a saved calculation, as if the user had typed them (the entry store has
    // given its entries to the session).
    void showInputs(const Calculation &calculation) override;
    void CancellaTabella();
    bool AggiungiMaterialeAllaSommatoria(); // false when nothing was added
    // After the entries changed: the warnings of their sum, and q_f.
    void CalcoloCarIncMat(bool withDecimals = false);

    void ComboMat_Change();
    void ComboMat_Click(int row);
    // The source beside the value: the catalogue's while the value is the catalogue's.
    void showSource();
    // After an entry was edited or deleted in the table: the sum and q_f follow.
    void tableEdited();
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
    QComboBox *m_psi; // Combo2
    QComboBox *m_m;   // Combo1
    QLabel *m_source; // lblFonte
    EntriesView *m_entries;
    // The value and source of the catalogue entry chosen last.
    QString m_catalogueValue;
    QString m_catalogueSource;
};
