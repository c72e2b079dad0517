#include "ui/factors/fattoreprotezione.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/entrymessages.h"
#include "core/italiannumbers.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FattoreProtezione::FattoreProtezione()
    : FactorScreen(
          "FattoreProtezione", QStringLiteral("Fattore di Protezione"),
          QStringLiteral("Fattore di protezione in relazione alle misure antincendio adottate"))
{
    // Every rule's panel exists from the start, hidden but the one of the calculation's rule.
    for (const Rule &rule : Regulation::rules())
        panelFor(Regulation::forRule(rule)).widget->hide();

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    body()->addWidget(line);

    finish(
        {
            {FormulaPiece::Symbol, "Image2", Symbols::qfd},
            {FormulaPiece::Text, "Label15", QStringLiteral("=")},
            FormulaPiece::field("txtDensCarInc", &m_qf),
            {FormulaPiece::Text, "Label14", QStringLiteral(".")},
            FormulaPiece::value("txtFattDim", &m_dq1),
            {FormulaPiece::Text, "Label5", QStringLiteral(".")},
            FormulaPiece::value("txtdq2", &m_dq2),
            {FormulaPiece::Text, "Label12", QStringLiteral(".")},
            FormulaPiece::valueSymbol("Image5", Symbols::dn, "txtFattProt", &m_deltaSymbol,
                                      &m_deltaValue),
            {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
        },
        "Command2", "Command1");
}

FattoreProtezione::Panel &FattoreProtezione::panelFor(const Regulation &regulation)
{
    for (Panel &panel : m_panels) {
        if (panel.rule == regulation.rule)
            return panel;
    }
    m_panels << buildPanel(regulation);
    // The panels stand under the heading, before the line over the formula.
    body()->insertWidget(int(m_panels.size()), m_panels.last().widget);
    QList<QWidget *> controls;
    for (const Panel &panel : std::as_const(m_panels))
        controls << panel.widget->findChildren<QWidget *>();
    orderTabs(controls);
    return m_panels.last();
}

namespace {

// The names of the controls of a rule without groups, as the decree's screen has always had
// them; a measure beyond the ninth is named by its number.
QString ungroupedName(int measure, const char *const names[], const char *pattern)
{
    return measure < 9 ? QString::fromLatin1(names[measure])
                       : QString::fromLatin1(pattern).arg(measure + 1);
}

} // namespace

FattoreProtezione::Panel FattoreProtezione::buildPanel(const Regulation &regulation)
{
    Panel panel;
    panel.rule = regulation.rule;
    panel.widget = new QWidget(this);
    panel.widget->setObjectName(QStringLiteral("Misure_") + regulation.key);
    panel.checks.fill(nullptr, regulation.measures.size());
    QWidget *widget = panel.widget;

    if (regulation.measureGroups.isEmpty()) {
        // Each measure present or not on its own: a row of symbol, description and box.
        static const char *const kSymbols[] = {"Image1", "Image3",  "Image6",  "Image7", "Image8",
                                               "Image9", "Image10", "Image11", "Image12"};
        static const char *const kDescriptions[] = {"lbl1",   "lbl2",   "Label3", "Label4", "lbl5",
                                                    "Label6", "Label7", "Label8", "Label9"};
        auto *rows = new QGridLayout(widget);
        rows->setContentsMargins(0, 0, 0, 0);
        for (int i = 0; i < regulation.measures.size(); ++i) {
            rows->addWidget(makeSymbol(widget,
                                       qPrintable(ungroupedName(i, kSymbols, "ImageMisura%1")),
                                       Symbols::dnIndex(i + 1)),
                            i, 0);
            rows->addWidget(makeLabel(widget,
                                      qPrintable(ungroupedName(i, kDescriptions, "lblMisura%1")),
                                      regulation.measures.at(i).description),
                            i, 1);
            panel.checks[i] = makeCheck(widget, qPrintable(QStringLiteral("Check%1").arg(i + 1)));
            rows->addWidget(panel.checks[i], i, 2);
        }
        rows->setColumnStretch(1, 1);
    } else {
        // A frame for each group, with the rule's table of the measures above them.
        auto *frames = new QVBoxLayout(widget);
        frames->setContentsMargins(0, 0, 0, 0);
        frames->addWidget(
            makeLabel(widget, "lblTabellaMisure", regulation.citation(regulation.tables.measures)));
        // One row: the control, the symbol, the description and the factor beside it.
        const auto addRow = [&regulation](QGridLayout *rows, QWidget *box, QWidget *control,
                                          int measure, const QString &description) {
            const int row = rows->rowCount();
            rows->addWidget(control, row, 0);
            control->setAccessibleName(description);
            const QString number = QString::number(measure + 1);
            if (measure >= 0) {
                rows->addWidget(makeSymbol(box, qPrintable(QStringLiteral("ImageCodice_") + number),
                                           Symbols::dnIndex(measure + 1)),
                                row, 1);
                rows->addWidget(
                    makeLabel(box, qPrintable(QStringLiteral("lblFattoreCodice_") + number),
                              ItalianNumbers::toFixed2(regulation.measures.at(measure).deltaN)),
                    row, 3);
            }
            rows->addWidget(makeLabel(box, qPrintable(QStringLiteral("lblMisuraCodice_") + number),
                                      description),
                            row, 2);
        };
        for (const Regulation::MeasureGroup &group : regulation.measureGroups) {
            auto *box = new QGroupBox(group.caption, widget);
            box->setObjectName(group.exclusive ? QStringLiteral("FrameControllo")
                                               : QStringLiteral("FrameMisure"));
            auto *rows = new QGridLayout(box);
            QButtonGroup *options = nullptr;
            if (group.exclusive) {
                options = new QButtonGroup(box);
                QRadioButton *none = makeOption(box, "OptionControllo", 0);
                options->addButton(none, 0);
                addRow(rows, box, none, -1, QStringLiteral("Nessuna"));
                panel.choices << qMakePair(group, options);
                connect(options, &QButtonGroup::idClicked, this, [group](int option) {
                    CalculationSession::current().chooseInGroup(
                        group, option > 0 ? std::optional<int>(option - 1) : std::nullopt);
                });
            }
            for (int i = group.first; i < group.first + group.count; ++i) {
                const QString &description = regulation.measures.at(i).description;
                if (options) {
                    QRadioButton *option = makeOption(box, "OptionControllo", i + 1);
                    options->addButton(option, i + 1);
                    addRow(rows, box, option, i, description);
                } else {
                    panel.checks[i] =
                        makeCheck(box, qPrintable(arrayElementName("CheckMisura", i + 1)));
                    addRow(rows, box, panel.checks[i], i, description);
                }
            }
            rows->setColumnStretch(2, 1);
            frames->addWidget(box);
        }
    }
    // A box's handler runs whenever the user changes its tick; the view sets ticks quietly.
    for (int i = 0; i < panel.checks.size(); ++i) {
        if (QCheckBox *box = panel.checks[i])
            connect(box, &QCheckBox::toggled, this, [this, box, i] { Check_Click(box, i); });
    }
    return panel;
}

void FattoreProtezione::showCalculation()
{
    const CalculationSession &session = CalculationSession::current();
    const Calculation &c = session.calculation();
    showConfirmedValues(m_qf, m_dq1, m_dq2);
    const Panel &shown = panelFor(session.regulation());
    if (ruleChanged(shown.rule)) {
        // Another rule's measures: the screen takes the size they need.
        for (const Panel &panel : std::as_const(m_panels))
            panel.widget->setVisible(panel.rule == shown.rule);
        adjustSize();
    }
    for (const auto &[group, options] : shown.choices) {
        int chosen = 0; // the option of the group's measure present, 0 for none
        for (int measure : c.measures) {
            if (group.contains(measure))
                chosen = measure + 1;
        }
        options->button(chosen)->setChecked(true);
    }
    for (int i = 0; i < shown.checks.size(); ++i) {
        if (QCheckBox *box = shown.checks[i]) {
            const QSignalBlocker quiet(box);
            box->setChecked(c.measures.contains(i));
            // The box of a measure that a present one excludes is not offered.
            box->setVisible(c.measures.contains(i) || measureAllowed(c, i));
        }
    }
    showDelta(session.reached(CalculationSession::MeasuresWorkedOut) ? CalculationTexts::deltaN(c)
                                                                     : QString());
}

void FattoreProtezione::Check_Click(QCheckBox *box, int measure)
{
    if (!CalculationSession::current().setMeasure(measure, box->isChecked()))
        showCalculation(); // refused: the box shows the measure as it stands
}

void FattoreProtezione::next()
{
    if (!CalculationSession::current().passDesign()) {
        EntryMessages::tooLarge();
        return;
    }
    hideThenShow(*this, router().screen(ScreenRouter::Screen::Result));
}

void FattoreProtezione::back()
{
    hideThenShow(*this, router().screen(ScreenRouter::Screen::RiskFactor));
}
