#include "ui/start/densitacarico.h"

#include "core/calculationsession.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

namespace {

// Where the last choice of rule is kept between runs.
const QString kRuleSetting = QStringLiteral("calcolo/normativa");

QSettings settings()
{
    return QSettings(QStringLiteral("Ardivo"), QStringLiteral("Ardivo"));
}

} // namespace

DensitaCarico::DensitaCarico()
    : MainScreen("DensitaCarico", QStringLiteral("carico di  incendio specifico"))
{
    auto *layout = new QGridLayout(this);
    auto *heading =
        makeLabel(this, "Label1", QStringLiteral("Determinare il carico di incendio specifico"));
    heading->setFont(headingFont(15));
    layout->addWidget(heading, 0, 0, 1, 2);

    // The rule comes before the method: the method starts the calculation under it.
    auto *rules = new QGroupBox(QStringLiteral("Normativa"), this);
    rules->setObjectName(QStringLiteral("FrameNormativa"));
    auto *rulesLayout = new QVBoxLayout(rules);
    auto *ruleGroup = new QButtonGroup(this);
    const QVector<Rule> allRules = Regulation::rules();
    for (int i = 0; i < allRules.size(); ++i) {
        QRadioButton *option = makeOption(rules, "OptionNormativa", i);
        option->setText(Regulation::forRule(allRules.at(i)).name);
        ruleGroup->addButton(option, i);
        rulesLayout->addWidget(option);
        m_ruleOptions << option;
    }
    layout->addWidget(rules, 1, 0, 1, 2);
    // A first run, or a setting the program does not know, starts on the first rule offered.
    showRule(Regulation::ruleForKey(settings().value(kRuleSetting).toString())
                 .value_or(allRules.value(0)));

    auto *activity = makeButton(this, "Command1", QStringLiteral("1"));
    auto *furnishings = makeButton(this, "Command2", QStringLiteral("2"));
    auto *materials = makeButton(this, "Command4", QStringLiteral("3"));
    for (QPushButton *button : {activity, furnishings, materials}) {
        button->setFixedSize(44, 36);
        button->setFont(headingFont(12));
        button->setShortcut(QKeySequence(button->text())); // the keys 1, 2 and 3 choose
    }
    layout->addWidget(activity, 2, 0);
    layout->addWidget(makeLabel(this, "Label2", QStringLiteral("Valore orientativo per attività")),
                      2, 1);
    auto *furnishingsText = new QVBoxLayout;
    furnishingsText->addWidget(
        makeLabel(this, "Label4", QStringLiteral("Valore orientativo per arredo e/o ")));
    furnishingsText->addWidget(
        makeLabel(this, "Label5", QStringLiteral("Valore orientativo per merci in deposito")));
    layout->addWidget(furnishings, 3, 0);
    layout->addLayout(furnishingsText, 3, 1);
    layout->addWidget(materials, 4, 0);
    layout->addWidget(makeLabel(this, "Label3", QStringLiteral("Valore orientativo per materiale")),
                      4, 1);
    auto *back = makeButton(this, "Command5", QStringLiteral("&Indietro"));
    layout->addWidget(back, 5, 0, 1, 2, Qt::AlignLeft);
    layout->setColumnStretch(1, 1);
    layout->setVerticalSpacing(14);

    connect(ruleGroup, &QButtonGroup::idClicked, this, &DensitaCarico::OptionNormativa_Click);
    connect(activity, &QPushButton::clicked, this, [this] { chooseMethod(Method::Activity); });
    connect(furnishings, &QPushButton::clicked, this,
            [this] { chooseMethod(Method::Furnishings); });
    connect(materials, &QPushButton::clicked, this, [this] { chooseMethod(Method::Materials); });
    // A reopened compartment shows the rule it was calculated under.
    connect(&CalculationSession::current(), &CalculationSession::loadingCalculation, this,
            [this](const Calculation &calculation) { showRule(calculation.rule); });
    connect(back, &QPushButton::clicked, this,
            [this] { showThenHide(router().screen(ScreenRouter::Screen::Formula), *this); });
}

void DensitaCarico::chooseMethod(Method method)
{
    // The method's screen exists before the calculation starts, so that it empties itself for it.
    QWidget *form = router().methodScreen(method);
    Azzeramento(method);
    if (form)
        showThenHide(*form, *this);
}

void DensitaCarico::Azzeramento(Method method)
{
    // Every screen that shows the calculation follows the session to the new one.
    CalculationSession::current().startCalculation(method, chosenRule());
}

Rule DensitaCarico::chosenRule() const
{
    const QVector<Rule> allRules = Regulation::rules();
    for (int i = 0; i < m_ruleOptions.size(); ++i) {
        if (m_ruleOptions[i]->isChecked())
            return allRules.at(i);
    }
    return allRules.value(0);
}

void DensitaCarico::showRule(const Rule &rule)
{
    const int index = int(Regulation::rules().indexOf(rule));
    if (index >= 0 && index < m_ruleOptions.size())
        m_ruleOptions[index]->setChecked(true);
}

void DensitaCarico::OptionNormativa_Click(int index)
{
    settings().setValue(kRuleSetting, Regulation::rules().value(index).key());
}
