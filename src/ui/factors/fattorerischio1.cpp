#include "ui/factors/fattorerischio1.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/userprompt.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FattoreRischio1::FattoreRischio1()
    : FactorScreen("FattoreRischio1", QStringLiteral("Fattore Rischio 1"),
                   QStringLiteral("Fattore di rischio di incendio in relazione alla dimensione "
                                  "del Compartimento"))
{
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = m_rows = new QGridLayout(frame);
    auto *caption = new QHBoxLayout;
    caption->addWidget(makeLabel(frame, "Frame1Caption",
                                 QStringLiteral("Superficie in pianta del Compartimento (mq)")));
    caption->addWidget(makeSymbol(frame, "Image5", Symbols::dq1));
    caption->addStretch();
    // The table of the calculation's rule, where the program cites one.
    m_table = makeLabel(frame, "lblTabella", QString());
    caption->addWidget(m_table);
    frameLayout->addLayout(caption, 0, 0, 1, 2);
    m_group = new QButtonGroup(this);
    showClasses(CalculationSession::current().regulation());
    frameLayout->setColumnStretch(1, 1);
    body()->addWidget(frame);

    // Clicking an option (not setting it from code) is the user's choice of class.
    connect(m_group, &QButtonGroup::idClicked, this, &FattoreRischio1::Option1_Click);
    finish(
        {
            {FormulaPiece::Symbol, "Image1", Symbols::qfd},
            {FormulaPiece::Text, "Label8", QStringLiteral("=")},
            FormulaPiece::field("txtDensCarInc", &m_qf),
            {FormulaPiece::Text, "Label9", QStringLiteral(".")},
            FormulaPiece::valueSymbol("Image2", Symbols::dq1, "txtdq2", &m_deltaSymbol,
                                      &m_deltaValue),
            {FormulaPiece::Text, "Label11", QStringLiteral(".")},
            {FormulaPiece::Symbol, "Image3", Symbols::dq2},
            {FormulaPiece::Text, "Label12", QStringLiteral(".")},
            {FormulaPiece::Symbol, "Image4", Symbols::dn},
            {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
        },
        "Command1", "Command2");
}

// The options of the rule's area classes with their texts; the options already made serve again,
// so that Tab keeps reading them first.
void FattoreRischio1::showClasses(const Regulation &regulation)
{
    static const char *const kLabelNames[] = {"Label1", "Label3", "Label4",
                                              "Label5", "Label6", "Label7"};
    const auto count = regulation.areaClasses.size();
    while (m_options.size() > count) {
        delete m_options.takeLast();
        delete m_labels.takeLast();
    }
    QWidget *frame = m_rows->parentWidget();
    for (int i = 0; i < count; ++i) {
        if (i == m_options.size()) {
            m_options << makeOption(frame, "Option1", i);
            m_group->addButton(m_options[i], i);
            m_rows->addWidget(m_options[i], i + 1, 0);
            const QString labelName =
                i < 6 ? QString::fromLatin1(kLabelNames[i]) : QStringLiteral("lblClasse%1").arg(i);
            m_labels << makeLabel(frame, qPrintable(labelName), QString());
            m_rows->addWidget(m_labels[i], i + 1, 1);
        }
        m_labels[i]->setText(regulation.areaClasses.at(i).screenText);
    }
}

void FattoreRischio1::showCalculation()
{
    const CalculationSession &session = CalculationSession::current();
    const Calculation &c = session.calculation();
    showConfirmedValues(m_qf, nullptr, nullptr);
    const Regulation &regulation = session.regulation();
    if (ruleChanged(regulation.rule))
        showClasses(regulation);
    showIfAny(m_table, regulation.citation(regulation.tables.areaClasses));
    m_group->setExclusive(false); // an exclusive group keeps one option ticked; no class needs none
    for (int i = 0; i < m_options.size(); ++i)
        m_options[i]->setChecked(c.areaClass == i);
    m_group->setExclusive(true);
    showDelta(CalculationTexts::deltaQ1(c));
}

void FattoreRischio1::Option1_Click(int index)
{
    CalculationSession::current().chooseAreaClass(index);
}

void FattoreRischio1::next()
{
    if (!deltaQ1(CalculationSession::current().calculation())) {
        showMessage(QStringLiteral("Selezionare l'area del compartimento"));
        return;
    }
    CalculationSession::current().passAreaClass();
    hideThenShow(*this, router().screen(ScreenRouter::Screen::RiskFactor));
}

void FattoreRischio1::back()
{
    if (QWidget *screen = router().methodScreen(CalculationSession::current().calculation().method))
        showThenHide(*screen, *this);
}
