#include "ui/factors/fattorerischio1.h"

#include "ui/app/formulaline.h"
#include "core/italiannumbers.h"
#include "core/sharedstate.h"
#include "core/userprompt.h"
#include "ui/app/widgets.h"
#include "core/factortables.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/totaleformula.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/reports/stampapages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using FactorTables::kAreaClasses;

FattoreRischio1::FattoreRischio1() : MainScreen("FattoreRischio1", QStringLiteral("Fattore Rischio 1"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeLabel(this, "Label2",
        QStringLiteral("Fattore di rischio di incendio in relazione alla dimensione del Compartimento"));
    heading->setFont(headingFont(13));
    heading->setWordWrap(true);
    layout->addWidget(heading);

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = new QGridLayout(frame);
    auto *caption = new QHBoxLayout;
    caption->addWidget(makeLabel(frame, "Frame1Caption",
                                 QStringLiteral("Superficie in pianta del Compartimento (mq)")));
    caption->addWidget(makeSymbol(frame, "Image5", Symbols::dq1));
    caption->addStretch();
    frameLayout->addLayout(caption, 0, 0, 1, 2);
    static const char *const kLabelNames[] = {"Label1", "Label3", "Label4", "Label5", "Label6", "Label7"};
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        m_options[i] = makeOption(frame, "Option1", i);
        group->addButton(m_options[i], i);
        frameLayout->addWidget(m_options[i], i + 1, 0);
        frameLayout->addWidget(makeLabel(frame, kLabelNames[i], QString::fromUtf8(kAreaClasses[i].screenText)), i + 1, 1);
    }
    frameLayout->setColumnStretch(1, 1);
    layout->addWidget(frame);

    layout->addWidget(buildFormulaLine(this, {
        {FormulaPiece::Symbol, "Image1", Symbols::qfd},
        {FormulaPiece::Text, "Label8", QStringLiteral("=")},
        {FormulaPiece::Field, "txtDensCarInc", {}},
        {FormulaPiece::Text, "Label9", QStringLiteral(".")},
        {FormulaPiece::ValueSymbol, "Image2", Symbols::dq1, "txtdq2"},
        {FormulaPiece::Text, "Label11", QStringLiteral(".")},
        {FormulaPiece::Symbol, "Image3", Symbols::dq2},
        {FormulaPiece::Text, "Label12", QStringLiteral(".")},
        {FormulaPiece::Symbol, "Image4", Symbols::dn},
        {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
    }));
    m_dq1Symbol = findChild<QLabel *>(QStringLiteral("Image2"));
    m_dq1Value = findChild<QLabel *>(QStringLiteral("txtdq2"));

    auto *nav = new QHBoxLayout;
    auto *back = makeButton(this, "Command1", QStringLiteral("Indietro"));
    auto *next = makeButton(this, "Command2", QStringLiteral("Avanti"));
    nav->addWidget(back);
    nav->addStretch();
    nav->addWidget(next);
    layout->addLayout(nav);

    // Clicking an option (not setting it from code) is the user's choice of class.
    connect(group, &QButtonGroup::idClicked, this, &FattoreRischio1::Option1_Click);
    connect(next, &QPushButton::clicked, this, &FattoreRischio1::Command2_Click);
    connect(back, &QPushButton::clicked, this, &FattoreRischio1::Command1_Click);
}

void FattoreRischio1::applyAreaClass(int index)
{
    Module1::FattDim = kAreaClasses[index].deltaQ1;
    const QString text = QString::fromUtf8(kAreaClasses[index].reportText);
    setFieldText(Screens::get<StampaAttivita>(), "lblSuperficie", text);
    setFieldText(Screens::get<StampaArredoMerci>(), "lblSuperficie", text);
    setFieldText(Screens::get<StampaMateriali>(), "lblSuperficie", text);
}

void FattoreRischio1::Option1_Click(int index)
{
    if (index >= 0 && index < 6)
        applyAreaClass(index);
    m_dq1Symbol->hide();
    m_dq1Value->setText(ItalianNumbers::toText(Module1::FattDim));
}

void FattoreRischio1::Area()
{
    QString areaText;
    if (Module1::MetodoCalcolo == 2)
        areaText = fieldText(Screens::get<ValorePerArredo>(), "txtAreaComp");
    else if (Module1::MetodoCalcolo == 3)
        areaText = fieldText(Screens::get<ValorePerMateriale>(), "txtAreaComp");
    else
        areaText = QStringLiteral("0");

    // A text that is empty or no number is treated like an area below 0: no class.
    const auto area = ItalianNumbers::toDouble(areaText);
    if (const auto index = area ? FactorTables::areaClassFor(*area) : std::nullopt) {
        applyAreaClass(*index);
        m_options[*index]->setChecked(true);
    }
    m_dq1Symbol->hide();
    m_dq1Value->setText(ItalianNumbers::toText(Module1::FattDim));
}

void FattoreRischio1::clearForNewCalculation()
{
    // An exclusive group keeps one option ticked; the reset needs none.
    QButtonGroup *group = m_options[0]->group();
    group->setExclusive(false);
    for (QRadioButton *option : m_options)
        option->setChecked(false);
    group->setExclusive(true);
    Module1::FattDim = 0;
    m_dq1Value->clear();
    m_dq1Symbol->show();
}

void FattoreRischio1::Command2_Click()
{
    if (Module1::FattDim == 0) {
        showMessage(QStringLiteral("Selezionare l'area del compartimento"));
        return;
    }
    const QString t = ItalianNumbers::toText(Module1::FattDim);
    setFieldText(Screens::get<FattoreRischio2>(), "txtdq2", t);
    setFieldText(Screens::get<FattoreProtezione>(), "txtFattDim", t);
    setFieldText(Screens::get<TotaleFormula>(), "txtFattDim", t);
    for (QWidget *page : reportPages()) {
        setFieldText(*page, "lbldq1", t);
        setFieldText(*page, "txtFattDim", t);
    }
    hideThenShow(*this, Screens::get<FattoreRischio2>());
}

void FattoreRischio1::Command1_Click()
{
    switch (Module1::MetodoCalcolo) {
    case 1:
        showThenHide(Screens::get<ValorePerAttivita>(), *this);
        break;
    case 2:
        showThenHide(Screens::get<ValorePerArredo>(), *this);
        break;
    case 3:
        showThenHide(Screens::get<ValorePerMateriale>(), *this);
        break;
    default:
        break;
    }
}
