#include "ui/factors/totaleformula.h"

#include "ui/app/formulaline.h"
#include "core/italiannumbers.h"
#include "core/sharedstate.h"
#include "ui/app/widgets.h"
#include "core/factortables.h"
#include "ui/factors/fattoreprotezione.h"
#include "core/entrymessages.h"
#include "ui/reports/stampapages.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

TotaleFormula::TotaleFormula() : MainScreen("TotaleFormula", QStringLiteral("Totale"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeLabel(this, "Label10", QStringLiteral("Carico di incendio specifico di progetto"));
    heading->setFont(headingFont(14));
    layout->addWidget(heading);
    layout->addSpacing(12);

    // The relation in symbols, then the same relation with the values of this calculation.
    layout->addWidget(buildFormulaLine(this, {
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
    layout->addWidget(buildFormulaLine(this, {
        {FormulaPiece::Text, "Label4", QStringLiteral("=")},
        {FormulaPiece::Field, "txtDensCarInc", {}},
        {FormulaPiece::Text, "Label5", QStringLiteral(".")},
        {FormulaPiece::Text, "txtFattDim", {}},
        {FormulaPiece::Text, "Label12", QStringLiteral(".")},
        {FormulaPiece::Text, "txtFattUtilizzo", {}},
        {FormulaPiece::Text, "Label14", QStringLiteral(".")},
        {FormulaPiece::Text, "txtFattProt", {}},
        {FormulaPiece::Text, "Label6", QStringLiteral("=")},
        {FormulaPiece::Text, "txtTotFormula", {}},
        {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
    }));
    findChild<QLabel *>(QStringLiteral("txtTotFormula"))->setFont(headingFont(15));

    auto *classes = new QGridLayout;
    auto *reference = makeLabel(this, "lblClasse", QString());
    auto *minimum = makeLabel(this, "lblClasseMin", QString());
    for (QLabel *value : {reference, minimum}) {
        value->setFont(headingFont(15));
        value->setMinimumWidth(60);
        value->setAlignment(Qt::AlignCenter);
    }
    classes->addWidget(makeLabel(this, "Label2", QStringLiteral("Classe di riferimento per il livello di prestazione III")), 0, 0);
    classes->addWidget(reference, 0, 1);
    classes->addWidget(makeLabel(this, "Label3", QStringLiteral("Classe minima per il livello di prestazione III")), 1, 0);
    classes->addWidget(minimum, 1, 1);
    classes->setColumnStretch(2, 1);
    layout->addSpacing(12);
    layout->addLayout(classes);
    layout->addStretch();

    auto *nav = new QHBoxLayout;
    auto *back = makeButton(this, "Command1", QStringLiteral("Indietro"));
    auto *report = makeButton(this, "Command3", QStringLiteral("Anteprima   stampa relazione"));
    nav->addWidget(back);
    nav->addStretch();
    nav->addWidget(report);
    layout->addLayout(nav);

    connect(report, &QPushButton::clicked, this, &TotaleFormula::Command3_Click);
    connect(back, &QPushButton::clicked, this, &TotaleFormula::Command1_Click);
}

bool TotaleFormula::publishDesignValue()
{
    using namespace Module1;
    const double design = FactorTables::designFireLoad(DensCarInc, ValoreFormula, FattDim, FattUtilizzo);
    if (!std::isfinite(design)) {
        EntryMessages::tooLarge();
        return false;
    }
    const QString deltaN = ItalianNumbers::toText(ValoreFormula);
    setFieldText(*this, "txtFattProt", deltaN);
    setFieldText(Screens::get<StampaAttivita>(), "txtFattProt", deltaN);
    setFieldText(Screens::get<StampaMateriali>(), "txtFattProt", deltaN);
    setFieldText(Screens::get<StampaArredoMerci>(), "txtFattProt", deltaN);

    ValoreFormula = design;
    const QString designText = ItalianNumbers::toFixed2(ValoreFormula);
    setFieldText(*this, "txtTotFormula", designText);
    for (QWidget *page : reportPages())
        setFieldText(*page, "txtTotFormula", designText);

    const auto classes = FactorTables::resistanceClassesFor(ValoreFormula);
    setFieldText(*this, "lblClasse", QString::number(classes.reference));
    setFieldText(*this, "lblClasseMin", QString::number(classes.minimum));
    return true;
}

void TotaleFormula::Command3_Click()
{
    const QString reference = fieldText(*this, "lblClasse");
    const QString minimum = fieldText(*this, "lblClasseMin");
    for (QWidget *page : reportPages()) {
        setFieldText(*page, "lblClasse", reference);
        setFieldText(*page, "lblClasseMin", minimum);
    }
    switch (Module1::MetodoCalcolo) {
    case 1:
        showThenHide(Screens::get<StampaAttivita>(), *this);
        break;
    case 2:
        showThenHide(Screens::get<StampaArredoMerci>(), *this);
        break;
    case 3:
        showThenHide(Screens::get<StampaMateriali>(), *this);
        break;
    default:
        break;
    }
}

void TotaleFormula::Command1_Click()
{
    hideThenShow(*this, Screens::get<FattoreProtezione>());
}
