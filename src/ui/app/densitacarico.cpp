#include "ui/app/densitacarico.h"

#include "core/calculationsession.h"
#include "ui/app/formulacaricoincendio.h"
#include "ui/app/navigation.h"
#include "ui/app/widgets.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"

#include <QGridLayout>
#include <QPushButton>

DensitaCarico::DensitaCarico()
    : MainScreen("DensitaCarico", QStringLiteral("carico di  incendio specifico"))
{
    auto *layout = new QGridLayout(this);
    auto *heading =
        makeLabel(this, "Label1", QStringLiteral("Determinare il carico di incendio specifico"));
    heading->setFont(headingFont(15));
    layout->addWidget(heading, 0, 0, 1, 2);

    auto *activity = makeButton(this, "Command1", QStringLiteral("1"));
    auto *furnishings = makeButton(this, "Command2", QStringLiteral("2"));
    auto *materials = makeButton(this, "Command4", QStringLiteral("3"));
    for (QPushButton *button : {activity, furnishings, materials}) {
        button->setFixedSize(44, 36);
        button->setFont(headingFont(12));
        button->setShortcut(QKeySequence(button->text())); // the keys 1, 2 and 3 choose
    }
    layout->addWidget(activity, 1, 0);
    layout->addWidget(makeLabel(this, "Label2", QStringLiteral("Valore orientativo per attività")),
                      1, 1);
    auto *furnishingsText = new QVBoxLayout;
    furnishingsText->addWidget(
        makeLabel(this, "Label4", QStringLiteral("Valore orientativo per arredo e/o ")));
    furnishingsText->addWidget(
        makeLabel(this, "Label5", QStringLiteral("Valore orientativo per merci in deposito")));
    layout->addWidget(furnishings, 2, 0);
    layout->addLayout(furnishingsText, 2, 1);
    layout->addWidget(materials, 3, 0);
    layout->addWidget(makeLabel(this, "Label3", QStringLiteral("Valore orientativo per materiale")),
                      3, 1);
    auto *back = makeButton(this, "Command5", QStringLiteral("&Indietro"));
    layout->addWidget(back, 4, 0, 1, 2, Qt::AlignLeft);
    layout->setColumnStretch(1, 1);
    layout->setVerticalSpacing(14);

    connect(activity, &QPushButton::clicked, this, [this] { chooseMethod(Method::Activity); });
    connect(furnishings, &QPushButton::clicked, this,
            [this] { chooseMethod(Method::Furnishings); });
    connect(materials, &QPushButton::clicked, this, [this] { chooseMethod(Method::Materials); });
    connect(back, &QPushButton::clicked, this,
            [this] { showThenHide(Screens::get<FormulaCaricoIncendio>(), *this); });
}

void DensitaCarico::chooseMethod(Method method)
{
    switch (method) {
    case Method::Furnishings:
        Screens::get<ValorePerArredo>().clearForNewMethod();
        break;
    case Method::Materials:
        Screens::get<ValorePerMateriale>().clearForNewMethod();
        break;
    case Method::Activity:
    case Method::None:
        break;
    }
    if (QWidget *form = methodScreen(method))
        showThenHide(*form, *this);
    Azzeramento(method);
}

void DensitaCarico::Azzeramento(Method method)
{
    // The factor screens, the result and the report pages show the new calculation.
    CalculationSession::current().startCalculation(method);
    Screens::get<ValorePerAttivita>().clearForNewCalculation();
}
