#include "ui/factors/totaleformula.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/reportdocument.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

TotaleFormula::TotaleFormula() : MainScreen("TotaleFormula", QStringLiteral("Totale"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading =
        makeLabel(this, "Label10", QStringLiteral("Carico di incendio specifico di progetto"));
    heading->setFont(headingFont(14));
    layout->addWidget(heading);
    layout->addSpacing(12);

    // The relation in symbols, then the same relation with the values of this calculation.
    layout->addWidget(
        buildFormulaLine(this, {
                                   {FormulaPiece::Symbol, "Image2", Symbols::qfd},
                                   {FormulaPiece::Text, "Label1", QStringLiteral("=")},
                                   {FormulaPiece::Symbol, "qf", Symbols::qf},
                                   {FormulaPiece::Text, "dot1", QStringLiteral(".")},
                                   {FormulaPiece::Symbol, "symbolDq1", Symbols::dq1},
                                   {FormulaPiece::Text, "dot2", QStringLiteral(".")},
                                   {FormulaPiece::Symbol, "symbolDq2", Symbols::dq2},
                                   {FormulaPiece::Text, "dot3", QStringLiteral(".")},
                                   {FormulaPiece::Symbol, "Image5", Symbols::dn},
                               }));
    layout->addWidget(
        buildFormulaLine(this, {
                                   {FormulaPiece::Text, "Label4", QStringLiteral("=")},
                                   FormulaPiece::field("txtDensCarInc", &m_qf),
                                   {FormulaPiece::Text, "Label5", QStringLiteral(".")},
                                   FormulaPiece::value("txtFattDim", &m_dq1),
                                   {FormulaPiece::Text, "Label12", QStringLiteral(".")},
                                   FormulaPiece::value("txtFattUtilizzo", &m_dq2),
                                   {FormulaPiece::Text, "Label14", QStringLiteral(".")},
                                   FormulaPiece::value("txtFattProt", &m_dn),
                                   {FormulaPiece::Text, "Label6", QStringLiteral("=")},
                                   FormulaPiece::value("txtTotFormula", &m_design),
                                   {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
                               }));
    m_design->setFont(headingFont(15));

    auto *classes = new QGridLayout;
    auto *reference = makeLabel(this, "lblClasse", QString());
    auto *minimum = makeLabel(this, "lblClasseMin", QString());
    for (QLabel *value : {reference, minimum}) {
        value->setFont(headingFont(15));
        value->setMinimumWidth(60);
        value->setAlignment(Qt::AlignCenter);
    }
    m_referenceCaption = makeLabel(this, "Label2", QString());
    m_minimumCaption = makeLabel(this, "Label3", QString());
    m_classTable = makeLabel(this, "lblTabellaClassi", QString());
    classes->addWidget(m_referenceCaption, 0, 0);
    classes->addWidget(reference, 0, 1);
    classes->addWidget(m_minimumCaption, 1, 0);
    classes->addWidget(minimum, 1, 1);
    classes->addWidget(m_classTable, 2, 0);
    classes->setColumnStretch(2, 1);
    layout->addSpacing(12);
    layout->addLayout(classes);
    m_warnings = makeLabel(this, "lblAvvertenze", QString());
    m_warnings->setWordWrap(true);
    m_warnings->setTextFormat(Qt::PlainText);
    m_warnings->hide();
    layout->addWidget(m_warnings);
    layout->addStretch();

    const auto [back, report] = addNavigationBar(layout, this, "Command1", "Command3",
                                                 QStringLiteral("Anteprima   stampa relazione"));

    connect(report, &QPushButton::clicked, this, &TotaleFormula::Command3_Click);
    connect(back, &QPushButton::clicked, this, &TotaleFormula::Command1_Click);

    m_reference = reference;
    m_minimum = minimum;
    connect(&CalculationSession::current(), &CalculationSession::changed, this,
            &TotaleFormula::showCalculation);
    showCalculation();
}

void TotaleFormula::showCalculation()
{
    const CalculationSession &session = CalculationSession::current();
    const Calculation &c = session.calculation();
    const Regulation &regulation = session.regulation();
    // Each value appears once its screen has been passed, and stays until it is passed again:
    // the result of the calculation before is kept until a new one is computed.
    showConfirmedValues(m_qf, m_dq1, m_dq2);
    m_referenceCaption->setText(regulation.classCaption);
    m_minimumCaption->setText(QStringLiteral("Classe minima per il livello di prestazione %1")
                                  .arg(regulation.performanceLevel));
    m_minimumCaption->setVisible(regulation.hasMinimumClass);
    m_minimum->setVisible(regulation.hasMinimumClass);
    showIfAny(m_classTable, regulation.citation(regulation.tables.classes));
    if (session.reached(CalculationSession::DesignPassed)) {
        m_dn->setText(CalculationTexts::deltaN(c, regulation));
        m_design->setText(CalculationTexts::designFireLoad(c, regulation));
        m_reference->setText(CalculationTexts::referenceClass(c, regulation));
        m_minimum->setText(CalculationTexts::minimumClass(c, regulation));
        const QStringList warnings = ReportDocuments::warnings(c, regulation);
        m_warnings->setText(
            warnings.isEmpty() ? QString() : QStringLiteral("Avvertenze\n") + warnings.join(u'\n'));
        m_warnings->setVisible(!warnings.isEmpty());
    }
}

void TotaleFormula::Command3_Click()
{
    CalculationSession &session = CalculationSession::current();
    session.reportClasses();
    if (QWidget *page = Navigation::current().reportPage(session.calculation().method))
        showThenHide(*page, *this);
}

void TotaleFormula::Command1_Click()
{
    hideThenShow(*this, Navigation::current().screen(Navigation::Screen::ProtectionFactor));
}
