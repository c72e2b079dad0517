#include "ui/factors/fattoreprotezione.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/entrymessages.h"
#include "ui/app/formulaline.h"
#include "ui/app/widgets.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
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

    static const char *const kSymbols[] = {"Image1", "Image3",  "Image6",  "Image7", "Image8",
                                           "Image9", "Image10", "Image11", "Image12"};
    static const char *const kDescriptions[] = {"lbl1",   "lbl2",   "Label3", "Label4", "lbl5",
                                                "Label6", "Label7", "Label8", "Label9"};
    const auto &measures = CalculationSession::current().regulation().measures;
    auto *rows = new QGridLayout;
    for (int i = 0; i < measures.size(); ++i) {
        const auto nameOf = [i](const char *const names[], const char *pattern) {
            return i < 9 ? QString::fromLatin1(names[i]) : QString::fromLatin1(pattern).arg(i + 1);
        };
        rows->addWidget(makeSymbol(this, qPrintable(nameOf(kSymbols, "ImageMisura%1")),
                                   Symbols::dnIndex(i + 1)),
                        i, 0);
        rows->addWidget(makeLabel(this, qPrintable(nameOf(kDescriptions, "lblMisura%1")),
                                  measures.at(i).description),
                        i, 1);
        m_checks << makeCheck(this, qPrintable(QStringLiteral("Check%1").arg(i + 1)));
        rows->addWidget(m_checks[i], i, 2);
    }
    rows->setColumnStretch(1, 1);
    layout->addLayout(rows);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);

    layout->addWidget(buildFormulaLine(
        this, {
                  {FormulaPiece::Symbol, "Image2", Symbols::qfd},
                  {FormulaPiece::Text, "Label15", QStringLiteral("=")},
                  {FormulaPiece::Field, "txtDensCarInc", {}},
                  {FormulaPiece::Text, "Label14", QStringLiteral(".")},
                  {FormulaPiece::Text, "txtFattDim", {}},
                  {FormulaPiece::Text, "Label5", QStringLiteral(".")},
                  {FormulaPiece::Text, "txtdq2", {}},
                  {FormulaPiece::Text, "Label12", QStringLiteral(".")},
                  {FormulaPiece::ValueSymbol, "Image5", Symbols::dn, "txtFattProt"},
                  {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
              }));
    m_qf = findChild<QLineEdit *>(QStringLiteral("txtDensCarInc"));
    m_dq1 = findChild<QLabel *>(QStringLiteral("txtFattDim"));
    m_dq2 = findChild<QLabel *>(QStringLiteral("txtdq2"));
    m_dnSymbol = findChild<QLabel *>(QStringLiteral("Image5"));
    m_dnValue = findChild<QLabel *>(QStringLiteral("txtFattProt"));

    const auto [back, next] = addNavigationBar(layout, this, "Command2", "Command1");

    // A box's handler runs whenever the user changes its tick; the view sets ticks quietly.
    for (int i = 0; i < m_checks.size(); ++i)
        connect(m_checks[i], &QCheckBox::toggled, this, [this, i] { Check_Click(i); });
    connect(next, &QPushButton::clicked, this, &FattoreProtezione::Command1_Click);
    connect(back, &QPushButton::clicked, this, &FattoreProtezione::Command2_Click);
    connect(&CalculationSession::current(), &CalculationSession::changed, this,
            &FattoreProtezione::showCalculation);
    showCalculation();
}

void FattoreProtezione::showCalculation()
{
    const CalculationSession &session = CalculationSession::current();
    const Calculation &c = session.calculation();
    const Regulation &regulation = session.regulation();
    showConfirmedValues(m_qf, m_dq1, m_dq2);
    for (int i = 0; i < m_checks.size(); ++i) {
        const QSignalBlocker quiet(m_checks[i]);
        m_checks[i]->setChecked(c.measures.contains(i));
        // The box of a measure that a present one excludes is not offered.
        m_checks[i]->setVisible(c.measures.contains(i) || measureAllowed(c, regulation, i));
    }
    showValueOrSymbol(m_dnSymbol, m_dnValue,
                      session.reached(CalculationSession::MeasuresWorkedOut)
                          ? CalculationTexts::deltaN(c, regulation)
                          : QString());
}

void FattoreProtezione::Check_Click(int measure)
{
    if (!CalculationSession::current().setMeasure(measure, m_checks[measure]->isChecked()))
        showCalculation(); // refused: the box shows the measure as it stands
}

void FattoreProtezione::Command1_Click()
{
    if (!CalculationSession::current().passDesign()) {
        EntryMessages::tooLarge();
        return;
    }
    hideThenShow(*this, Screens::get<TotaleFormula>());
}

void FattoreProtezione::Command2_Click()
{
    hideThenShow(*this, Screens::get<FattoreRischio2>());
}
