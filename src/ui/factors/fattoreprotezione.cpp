#include "ui/factors/fattoreprotezione.h"

#include "ui/app/formulaline.h"
#include "core/italiannumbers.h"
#include "core/sharedstate.h"
#include "ui/app/widgets.h"
#include "core/factortables.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"
#include "ui/reports/stampapages.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

using FactorTables::kProtectionMeasures;

FattoreProtezione::FattoreProtezione()
    : MainScreen("FattoreProtezione", QStringLiteral("Fattore di Protezione"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeLabel(this, "Label2",
        QStringLiteral("Fattore di protezione in relazione alle misure antincendio adottate"));
    heading->setFont(headingFont(13));
    heading->setWordWrap(true);
    layout->addWidget(heading);

    static const char *const kSymbols[] = {"Image1", "Image3", "Image6", "Image7", "Image8",
                                           "Image9", "Image10", "Image11", "Image12"};
    static const char *const kDescriptions[] = {"lbl1", "lbl2", "Label3", "Label4", "lbl5",
                                                "Label6", "Label7", "Label8", "Label9"};
    auto *rows = new QGridLayout;
    for (int i = 0; i < 9; ++i) {
        rows->addWidget(makeSymbol(this, kSymbols[i], Symbols::dnIndex(i + 1)), i, 0);
        rows->addWidget(makeLabel(this, kDescriptions[i],
                                  QString::fromUtf8(kProtectionMeasures[i].description)), i, 1);
        m_checks[i] = makeCheck(this, QStringLiteral("Check%1").arg(i + 1).toLatin1().constData());
        rows->addWidget(m_checks[i], i, 2);
    }
    rows->setColumnStretch(1, 1);
    layout->addLayout(rows);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);

    layout->addWidget(buildFormulaLine(this, {
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
    m_dnSymbol = findChild<QLabel *>(QStringLiteral("Image5"));
    m_dnValue = findChild<QLabel *>(QStringLiteral("txtFattProt"));

    auto *nav = new QHBoxLayout;
    auto *back = makeButton(this, "Command2", QStringLiteral("Indietro"));
    auto *next = makeButton(this, "Command1", QStringLiteral("Avanti"));
    nav->addWidget(back);
    nav->addStretch();
    nav->addWidget(next);
    layout->addLayout(nav);

    // A box's handler runs whenever its tick changes, by the user or by the reset.
    for (int i = 0; i < 9; ++i)
        connect(m_checks[i], &QCheckBox::toggled, this, [this, i] { Check_Click(i); });
    connect(next, &QPushButton::clicked, this, &FattoreProtezione::Command1_Click);
    connect(back, &QPushButton::clicked, this, &FattoreProtezione::Command2_Click);

    // Form_Load
    for (int i = 0; i < 9; ++i) {
        Module1::FattProt[i] = 1.0;
        publishFactor(i);
    }
}

void FattoreProtezione::publishFactor(int measure)
{
    const QByteArray label = QByteArrayLiteral("lblFattProt") + QByteArray::number(measure + 1);
    const QString text = ItalianNumbers::toText(Module1::FattProt[measure]);
    for (QWidget *page : reportPages())
        setFieldText(*page, label.constData(), text);
}

void FattoreProtezione::Check_Click(int measure)
{
    const bool ticked = m_checks[measure]->isChecked();
    Module1::FattProt[measure] = ticked ? kProtectionMeasures[measure].deltaN : 1.0;
    publishFactor(measure);
    if (const int partner = kProtectionMeasures[measure].exclusivePartner)
        m_checks[partner - 1]->setVisible(!ticked);
    CalcolaFattProt();
}

void FattoreProtezione::CalcolaFattProt()
{
    Module1::ValoreFormula = FactorTables::protectionProduct(Module1::FattProt);
    m_dnValue->setText(ItalianNumbers::toText(Module1::ValoreFormula));
    m_dnSymbol->hide();
}

void FattoreProtezione::clearForNewCalculation()
{
    for (QCheckBox *check : m_checks)
        check->setChecked(false);
    m_dnValue->clear();
    m_dnSymbol->show();
}

void FattoreProtezione::Command1_Click()
{
    CalcolaFattProt();
    if (!Screens::get<TotaleFormula>().publishDesignValue())
        return;
    hideThenShow(*this, Screens::get<TotaleFormula>());
}

void FattoreProtezione::Command2_Click()
{
    hideThenShow(*this, Screens::get<FattoreRischio2>());
}
