#pragma once

#include "core/regulation.h"
#include "ui/factors/factorscreen.h"

#include <QVector>

class QButtonGroup;
class QCheckBox;

// delta n, the product of the protection-measure factors. Each rule's measures are one panel,
// built from its measure groups: a box for each measure of a rule without groups (the decree's
// delta n1 ... delta n9), one choice among the measures of an exclusive group (the Code's
// fire-control systems, delta n1 ... delta n6) and a box for each measure of another group. The
// screen shows the panel of the calculation's rule.
class FattoreProtezione : public FactorScreen
{
    Q_OBJECT
public:
    FattoreProtezione();

private:
    // The controls of one rule's measures.
    struct Panel {
        Rule rule;
        QWidget *widget = nullptr;
        QVector<QCheckBox *> checks; // by measure index; null for a measure chosen by option
        // Each exclusive group and its options: id 0 none, id k the measure delta nk.
        QVector<QPair<Regulation::MeasureGroup, QButtonGroup *>> choices;
    };

    Panel &panelFor(const Regulation &regulation);
    Panel buildPanel(const Regulation &regulation);
    void showCalculation() override;
    void back() override;
    void next() override;
    void Check_Click(QCheckBox *box, int measure);

    QVector<Panel> m_panels; // in the order they were built
    QLabel *m_dq1 = nullptr;
    QLabel *m_dq2 = nullptr;
};
