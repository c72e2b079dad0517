#pragma once

#include "core/calculationsession.h"
#include "core/naturalfire.h"
#include "core/reportdocument.h"

#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// The chart of a natural fire, drawn by the report's layout as on the sheets.
class CurveView : public QWidget
{
    Q_OBJECT
public:
    explicit CurveView(QWidget *parent = nullptr);
    void setChart(const std::optional<ReportBlock> &chart);
    QSize sizeHint() const override { return {520, 300}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<ReportBlock> m_chart;
};

// The natural fire of the compartment shown: the parametric curve of UNI EN 1991-1-2, Annex A,
// and the equivalent time of its Annex F, from the calculation's A_f and q_f,d and the enclosure
// the user describes. Everything is computed again as the user types; inputs that are accepted
// become the calculation's (and so the report's appendix and the project's), refused ones leave
// it without a natural fire and say why.
class IncendioNaturale : public QWidget
{
    Q_OBJECT
public:
    explicit IncendioNaturale(CalculationSession &session, QWidget *parent = nullptr);

    // The inputs the fields give, or the reason they cannot (empty when every field is empty).
    struct Reading {
        std::optional<NaturalFireInputs> inputs;
        QString refusal;
        bool empty = false;
    };
    Reading readFields() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Fills the fields (empties them for none) without taking them as typed.
    void showInputs(const std::optional<NaturalFireInputs> &inputs);
    // A field typed or a choice picked: the calculation takes the inputs, or loses them when
    // they are refused.
    void inputsEdited();
    // b from the density, specific heat and conductivity of one lining, typed in input boxes.
    void cmdCalcolaB_Click();
    // A_v and h_eq from the table of openings: Σ b·h and Σ (b·h)·h / Σ b·h.
    void cmdRiportaAperture_Click();
    // The results of the fields as they stand, against the calculation as it stands.
    void recompute();
    void showResult(const std::optional<NaturalFireResult> &result);

    CalculationSession &m_session;
    bool m_updating = false;
    QLabel *m_af, *m_qfd; // lblAf, lblQfd
    // txtAf: A_f typed where the calculation has none (the activity method), beside lblAf.
    QLineEdit *m_typedArea;
    QWidget *m_typedAreaRow;
    QLineEdit *m_at, *m_height, *m_av, *m_heq, *m_ah, *m_b; // txtAt … txtB
    QComboBox *m_growth, *m_member;                         // ComboCrescita, ComboElemento
    QLabel *m_o, *m_gamma, *m_qtd, *m_tmax, *m_regime;      // lblO … lblRegime
    QLabel *m_thetaMax, *m_end, *m_ted, *m_class;           // lblThetaMax, lblFine, lblTed, …
    QLabel *m_message, *m_warnings;                         // lblMessaggio, lblAvvertenze
    CurveView *m_chart;                                     // picCurva
    QTableWidget *m_table;                                  // DataGridCurva
    QTableWidget *m_openings;                               // DataGridAperture
};
