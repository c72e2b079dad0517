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
    : MainScreen("FattoreProtezione", QStringLiteral("Fattore di Protezione"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeLabel(
        this, "Label2",
        QStringLiteral("Fattore di protezione in relazione alle misure antincendio adottate"));
    heading->setFont(headingFont(13));
    heading->setWordWrap(true);
    layout->addWidget(heading);

    m_decreeMeasures = buildDecreeMeasures();
    m_codeMeasures = buildCodeMeasures();
    layout->addWidget(m_decreeMeasures);
    layout->addWidget(m_codeMeasures);
    m_codeMeasures->hide(); // until a calculation applies the Code

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);

    layout->addWidget(
        buildFormulaLine(this, {
                                   {FormulaPiece::Symbol, "Image2", Symbols::qfd},
                                   {FormulaPiece::Text, "Label15", QStringLiteral("=")},
                                   FormulaPiece::field("txtDensCarInc", &m_qf),
                                   {FormulaPiece::Text, "Label14", QStringLiteral(".")},
                                   FormulaPiece::value("txtFattDim", &m_dq1),
                                   {FormulaPiece::Text, "Label5", QStringLiteral(".")},
                                   FormulaPiece::value("txtdq2", &m_dq2),
                                   {FormulaPiece::Text, "Label12", QStringLiteral(".")},
                                   FormulaPiece::valueSymbol("Image5", Symbols::dn, "txtFattProt",
                                                             &m_dnSymbol, &m_dnValue),
                                   {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
                               }));

    const auto [back, next] = addNavigationBar(layout, this, "Command2", "Command1");

    // A box's handler runs whenever the user changes its tick; the view sets ticks quietly.
    for (int i = 0; i < m_checks.size(); ++i)
        connect(m_checks[i], &QCheckBox::toggled, this, [this, i] { Check_Click(i); });
    connect(m_controlGroup, &QButtonGroup::idClicked, this,
            &FattoreProtezione::OptionControllo_Click);
    for (int i = 0; i < m_codeChecks.size(); ++i) {
        if (m_codeChecks[i])
            connect(m_codeChecks[i], &QCheckBox::toggled, this,
                    [this, i] { CheckMisura_Click(i); });
    }
    connect(next, &QPushButton::clicked, this, &FattoreProtezione::Command1_Click);
    connect(back, &QPushButton::clicked, this, &FattoreProtezione::Command2_Click);
    connect(&CalculationSession::current(), &CalculationSession::changed, this,
            &FattoreProtezione::showCalculation);
    showCalculation();
}

QWidget *FattoreProtezione::buildDecreeMeasures()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("MisureDecreto"));
    static const char *const kSymbols[] = {"Image1", "Image3",  "Image6",  "Image7", "Image8",
                                           "Image9", "Image10", "Image11", "Image12"};
    static const char *const kDescriptions[] = {"lbl1",   "lbl2",   "Label3", "Label4", "lbl5",
                                                "Label6", "Label7", "Label8", "Label9"};
    const auto &measures = Regulation::decree2007().measures;
    auto *rows = new QGridLayout(panel);
    rows->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < measures.size(); ++i) {
        const auto nameOf = [i](const char *const names[], const char *pattern) {
            return i < 9 ? QString::fromLatin1(names[i]) : QString::fromLatin1(pattern).arg(i + 1);
        };
        rows->addWidget(makeSymbol(panel, qPrintable(nameOf(kSymbols, "ImageMisura%1")),
                                   Symbols::dnIndex(i + 1)),
                        i, 0);
        rows->addWidget(makeLabel(panel, qPrintable(nameOf(kDescriptions, "lblMisura%1")),
                                  measures.at(i).description),
                        i, 1);
        m_checks << makeCheck(panel, qPrintable(QStringLiteral("Check%1").arg(i + 1)));
        rows->addWidget(m_checks[i], i, 2);
    }
    rows->setColumnStretch(1, 1);
    return panel;
}

QWidget *FattoreProtezione::buildCodeMeasures()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("MisureCodice"));
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    const Regulation &code = Regulation::fireCode();
    panelLayout->addWidget(
        makeLabel(panel, "lblTabellaMisure", code.citation(code.tables.measures)));
    m_controlGroup = new QButtonGroup(this);
    m_codeChecks.fill(nullptr, code.measures.size());
    // One row: the control, the symbol, the description and the factor beside it.
    const auto addRow = [panel](QGridLayout *rows, QWidget *control, int measure,
                                const QString &description) {
        const int row = rows->rowCount();
        rows->addWidget(control, row, 0);
        control->setAccessibleName(description);
        if (measure >= 0) {
            const QString number = QString::number(measure + 1);
            rows->addWidget(makeSymbol(panel, qPrintable(QStringLiteral("ImageCodice_") + number),
                                       Symbols::dnIndex(measure + 1)),
                            row, 1);
            rows->addWidget(
                makeLabel(
                    panel, qPrintable(QStringLiteral("lblFattoreCodice_") + number),
                    ItalianNumbers::toFixed2(Regulation::fireCode().measures.at(measure).deltaN)),
                row, 3);
        }
        QLabel *text = makeLabel(
            panel, qPrintable(QStringLiteral("lblMisuraCodice_") + QString::number(measure + 1)),
            description);
        rows->addWidget(text, row, 2);
    };
    for (const Regulation::MeasureGroup &group : code.measureGroups) {
        auto *box = new QGroupBox(group.caption, panel);
        box->setObjectName(group.exclusive ? QStringLiteral("FrameControllo")
                                           : QStringLiteral("FrameMisure"));
        auto *rows = new QGridLayout(box);
        if (group.exclusive) {
            m_controlChoice = &group;
            QRadioButton *none = makeOption(box, "OptionControllo", 0);
            m_controlGroup->addButton(none, 0);
            addRow(rows, none, -1, QStringLiteral("Nessuna"));
        }
        for (int i = group.first; i < group.first + group.count; ++i) {
            const QString &description = code.measures.at(i).description;
            if (group.exclusive) {
                QRadioButton *option = makeOption(box, "OptionControllo", i + 1);
                m_controlGroup->addButton(option, i + 1);
                addRow(rows, option, i, description);
            } else {
                m_codeChecks[i] =
                    makeCheck(box, qPrintable(arrayElementName("CheckMisura", i + 1)));
                addRow(rows, m_codeChecks[i], i, description);
            }
        }
        rows->setColumnStretch(2, 1);
        panelLayout->addWidget(box);
    }
    return panel;
}

void FattoreProtezione::showCalculation()
{
    const CalculationSession &session = CalculationSession::current();
    const Calculation &c = session.calculation();
    showConfirmedValues(m_qf, m_dq1, m_dq2);
    const bool code = c.rule == Rule::FireCode;
    if (m_codeMeasures->isVisibleTo(this) != code) {
        // The other rule's measures: the screen takes the size they need.
        m_decreeMeasures->setVisible(!code);
        m_codeMeasures->setVisible(code);
        adjustSize();
    }
    if (code) {
        int chosen = 0; // the option of the fire-control system present, 0 for none
        for (int measure : c.measures) {
            if (m_controlGroup->button(measure + 1))
                chosen = measure + 1;
        }
        m_controlGroup->button(chosen)->setChecked(true);
        for (int i = 0; i < m_codeChecks.size(); ++i) {
            if (m_codeChecks[i]) {
                const QSignalBlocker quiet(m_codeChecks[i]);
                m_codeChecks[i]->setChecked(c.measures.contains(i));
            }
        }
    }
    for (int i = 0; i < m_checks.size(); ++i) {
        const QSignalBlocker quiet(m_checks[i]);
        m_checks[i]->setChecked(c.measures.contains(i));
        // The box of a measure that a present one excludes is not offered.
        m_checks[i]->setVisible(c.measures.contains(i) || measureAllowed(c, i));
    }
    showValueOrSymbol(m_dnSymbol, m_dnValue,
                      session.reached(CalculationSession::MeasuresWorkedOut)
                          ? CalculationTexts::deltaN(c)
                          : QString());
}

void FattoreProtezione::Check_Click(int measure)
{
    if (!CalculationSession::current().setMeasure(measure, m_checks[measure]->isChecked()))
        showCalculation(); // refused: the box shows the measure as it stands
}

void FattoreProtezione::OptionControllo_Click(int option)
{
    CalculationSession::current().chooseInGroup(
        *m_controlChoice, option > 0 ? std::optional<int>(option - 1) : std::nullopt);
}

void FattoreProtezione::CheckMisura_Click(int measure)
{
    if (!CalculationSession::current().setMeasure(measure, m_codeChecks[measure]->isChecked()))
        showCalculation();
}

void FattoreProtezione::Command1_Click()
{
    if (!CalculationSession::current().passDesign()) {
        EntryMessages::tooLarge();
        return;
    }
    hideThenShow(*this, Navigation::current().screen(Navigation::Screen::Result));
}

void FattoreProtezione::Command2_Click()
{
    hideThenShow(*this, Navigation::current().screen(Navigation::Screen::RiskFactor));
}
