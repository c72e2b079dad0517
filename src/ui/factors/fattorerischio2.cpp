#include "ui/factors/fattorerischio2.h"

#include "ui/app/formulaline.h"
#include "core/italiannumbers.h"
#include "core/sharedstate.h"
#include "core/userprompt.h"
#include "ui/app/widgets.h"
#include "core/factortables.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/totaleformula.h"
#include "ui/reports/stampapages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using FactorTables::kRiskClasses;

FattoreRischio2::FattoreRischio2() : MainScreen("FattoreRischio2", QStringLiteral("Fattore Rischio 2"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeLabel(this, "Label2",
        QStringLiteral("Fattore di rischio di incendio in relazione al tipo di attività svolta"));
    heading->setFont(headingFont(13));
    heading->setWordWrap(true);
    layout->addWidget(heading);

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(frame);
    auto *caption = new QHBoxLayout;
    caption->addWidget(makeLabel(frame, "Frame1Caption", QStringLiteral("Classe di Rischio")));
    caption->addWidget(makeSymbol(frame, "Image1", Symbols::dq2));
    caption->addStretch();
    grid->addLayout(caption, 0, 0, 1, 3);
    static const char *const kClassLabels[] = {"Label1", "Label3", "Label4"};
    static const char *const kDescriptionLabels[] = {"lblDescrI", "lblDescrII", "lblDescrIII"};
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_options[i] = makeOption(frame, "Option1", i);
        group->addButton(m_options[i], i);
        auto *name = makeLabel(frame, kClassLabels[i], QString::fromLatin1(kRiskClasses[i].name));
        name->setFont(headingFont(12));
        m_descriptions[i] = makeLabel(frame, kDescriptionLabels[i],
                                      QString::fromUtf8(kRiskClasses[i].description));
        m_descriptions[i]->setWordWrap(true);
        grid->addWidget(m_options[i], i + 1, 0, Qt::AlignTop);
        grid->addWidget(name, i + 1, 1, Qt::AlignTop);
        grid->addWidget(m_descriptions[i], i + 1, 2);
    }
    grid->setColumnStretch(2, 1);
    layout->addWidget(frame);

    layout->addWidget(buildFormulaLine(this, {
        {FormulaPiece::Symbol, "Image2", Symbols::qfd},
        {FormulaPiece::Text, "Label8", QStringLiteral("=")},
        {FormulaPiece::Field, "txtDensCarInc", {}},
        {FormulaPiece::Text, "Label9", QStringLiteral(".")},
        {FormulaPiece::Text, "txtdq2", {}},
        {FormulaPiece::Text, "Label11", QStringLiteral(".")},
        {FormulaPiece::ValueSymbol, "Image4", Symbols::dq2, "dq2"},
        {FormulaPiece::Text, "Label12", QStringLiteral(".")},
        {FormulaPiece::Symbol, "Image5", Symbols::dn},
        {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
    }));
    m_dq2Symbol = findChild<QLabel *>(QStringLiteral("Image4"));
    m_dq2Value = findChild<QLabel *>(QStringLiteral("dq2"));

    auto *nav = new QHBoxLayout;
    auto *back = makeButton(this, "Command2", QStringLiteral("Indietro"));
    auto *next = makeButton(this, "Command1", QStringLiteral("Avanti"));
    nav->addWidget(back);
    nav->addStretch();
    nav->addWidget(next);
    layout->addLayout(nav);

    connect(group, &QButtonGroup::idClicked, this, &FattoreRischio2::Option1_Click);
    connect(next, &QPushButton::clicked, this, &FattoreRischio2::Command1_Click);
    connect(back, &QPushButton::clicked, this, &FattoreRischio2::Command2_Click);
}

void FattoreRischio2::Option1_Click(int index)
{
    if (index >= 0 && index < 3) {
        Module1::FattUtilizzo = kRiskClasses[index].deltaQ2;
        m_dq2Value->setText(ItalianNumbers::toText(Module1::FattUtilizzo));
        for (QWidget *page : reportPages()) {
            setFieldText(*page, "lblClasseRischio2", QString::fromLatin1(kRiskClasses[index].name));
            setFieldText(*page, "lblDescrClasseRischio2", m_descriptions[index]->text());
        }
    }
    m_dq2Symbol->hide();
}

void FattoreRischio2::clearForNewCalculation()
{
    QButtonGroup *group = m_options[0]->group();
    group->setExclusive(false);
    for (QRadioButton *option : m_options)
        option->setChecked(false);
    group->setExclusive(true);
    Module1::FattUtilizzo = 0;
    m_dq2Symbol->show();
    m_dq2Value->clear();
}

void FattoreRischio2::Command1_Click()
{
    if (Module1::FattUtilizzo <= 0) {
        showMessage(QStringLiteral("Selezionare la classe di rischio"));
        return;
    }
    showThenHide(Screens::get<FattoreProtezione>(), *this);
    const QString t = ItalianNumbers::toText(Module1::FattUtilizzo);
    setFieldText(Screens::get<FattoreProtezione>(), "txtdq2", t);
    setFieldText(Screens::get<TotaleFormula>(), "txtFattUtilizzo", t);
    for (QWidget *page : reportPages()) {
        setFieldText(*page, "lbldq2", t);
        setFieldText(*page, "txtFattUtilizzo", t);
    }
}

void FattoreRischio2::Command2_Click()
{
    showThenHide(Screens::get<FattoreRischio1>(), *this);
}
