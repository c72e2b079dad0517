#pragma once

#include "core/calculation.h"
#include "ui/fireload/fireloadscreen.h"

class CatalogCombo;
class EntriesView;
class QCheckBox;
class QLabel;
class QLineEdit;

// q_f from furnishings (fire load per piece) and stored goods (fire load per m³, with a
// packaging surcharge): each entry joins the calculation's furnishings; q_f is their sum over
// the area.
class ValorePerArredo : public FireLoadScreen
{
    Q_OBJECT
public:
    ValorePerArredo();

private:
    // After the entries changed (added, or edited in their table): their sum's warnings, and q_f.
    void entriesEdited() override;
    // Deletes every furnishing and stored good (their working and report tables too).
    void CancellaTabella();
    // What a new calculation by the furnishings method empties on this screen.
    void clearForNewCalculation() override;
    // The inputs of a saved calculation, as if the user had typed them (the entry store has
    // given its entries to the session and filled the report tables).
    void showInputs(const Calculation &calculation) override;
    void AggiungiArredoAllaSommatoria();
    void AggiungiMerceAllaSommatoria();

    // What a chooser and its value field need to show the source beside the value.
    struct SourceShown {
        QLineEdit *value;
        QLabel *label;
        QString catalogueValue;
        QString catalogueSource;
    };
    void chooseType(CatalogCombo *combo, int row, SourceShown &shown, QLineEdit *quantity);
    static void showSource(SourceShown &shown);
    void tableEdited();

    void typeChanged(CatalogCombo *combo);
    void ComboArredo_Click(int row);
    void ComboMatDep_Click(int row);
    // The factor of the next stored good: 1,1 when its packaging box is ticked.
    double packagingFactor() const;
    EntriesSum currentSum() const;
    void Command4_Click();
    void Command7_Click();
    void Command5_Click();
    void cmdImportaElenco_Click();
    void cmdEsportaElenco_Click();
    void Command1_Click();
    void Command2_Click();

    CatalogCombo *m_comboArredo;
    QLineEdit *m_valorePezzo;
    QLineEdit *m_qta;
    CatalogCombo *m_comboMatDep;
    QLineEdit *m_valoreM3;
    QLineEdit *m_qtaMerce;
    QCheckBox *m_imballo;
    SourceShown m_furnishingSource;
    SourceShown m_goodsSource;
    EntriesView *m_entries;
};
