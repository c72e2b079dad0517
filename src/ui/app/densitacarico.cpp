#include "ui/app/densitacarico.h"

#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/app/formulacaricoincendio.h"
#include "core/sharedstate.h"
#include "ui/app/widgets.h"

#include <QGridLayout>
#include <QPushButton>

DensitaCarico::DensitaCarico()
    : MainScreen("DensitaCarico", QStringLiteral("carico di  incendio specifico"))
{
    auto *layout = new QGridLayout(this);
    auto *heading = makeLabel(this, "Label1", QStringLiteral("Determinare il carico di incendio specifico"));
    heading->setFont(headingFont(15));
    layout->addWidget(heading, 0, 0, 1, 2);

    auto *activity = makeButton(this, "Command1", QStringLiteral("1"));
    auto *furnishings = makeButton(this, "Command2", QStringLiteral("2"));
    auto *materials = makeButton(this, "Command4", QStringLiteral("3"));
    for (QPushButton *button : {activity, furnishings, materials}) {
        button->setFixedSize(44, 36);
        button->setFont(headingFont(12));
    }
    layout->addWidget(activity, 1, 0);
    layout->addWidget(makeLabel(this, "Label2", QStringLiteral("Valore orientativo per attività")), 1, 1);
    auto *furnishingsText = new QVBoxLayout;
    furnishingsText->addWidget(makeLabel(this, "Label4", QStringLiteral("Valore orientativo per arredo e/o ")));
    furnishingsText->addWidget(makeLabel(this, "Label5", QStringLiteral("Valore orientativo per merci in deposito")));
    layout->addWidget(furnishings, 2, 0);
    layout->addLayout(furnishingsText, 2, 1);
    layout->addWidget(materials, 3, 0);
    layout->addWidget(makeLabel(this, "Label3", QStringLiteral("Valore orientativo per materiale")), 3, 1);
    auto *back = makeButton(this, "Command5", QStringLiteral("Indietro"));
    layout->addWidget(back, 4, 0, 1, 2, Qt::AlignLeft);
    layout->setColumnStretch(1, 1);
    layout->setVerticalSpacing(14);

    connect(activity, &QPushButton::clicked, this, [this] { chooseMethod(1); });
    connect(furnishings, &QPushButton::clicked, this, [this] { chooseMethod(2); });
    connect(materials, &QPushButton::clicked, this, [this] { chooseMethod(3); });
    connect(back, &QPushButton::clicked, this,
            [this] { showThenHide(Screens::get<FormulaCaricoIncendio>(), *this); });
}

void DensitaCarico::chooseMethod(int method)
{
    Module1::MetodoCalcolo = method;
    QWidget *form = nullptr;
    switch (method) {
    case 1:
        form = &Screens::get<ValorePerAttivita>();
        break;
    case 2:
        Screens::get<ValorePerArredo>().clearForNewMethod();
        form = &Screens::get<ValorePerArredo>();
        break;
    case 3:
        Screens::get<ValorePerMateriale>().clearForNewMethod();
        form = &Screens::get<ValorePerMateriale>();
        break;
    default:
        return;
    }
    showThenHide(*form, *this);
    Azzeramento();
}

void DensitaCarico::Azzeramento()
{
    Module1::FattUtilizzo = 0;
    Module1::FattDim = 0;
    Module1::DensCarInc = 0;
    Screens::get<ValorePerAttivita>().clearForNewCalculation();
    Screens::get<FattoreRischio1>().clearForNewCalculation();
    Screens::get<FattoreRischio2>().clearForNewCalculation();
    Screens::get<FattoreProtezione>().clearForNewCalculation();
}
