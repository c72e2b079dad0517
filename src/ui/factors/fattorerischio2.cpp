#include "ui/factors/fattorerischio2.h"

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

FattoreRischio2::FattoreRischio2()
    : FactorScreen(
          "FattoreRischio2", QStringLiteral("Fattore Rischio 2"),
          QStringLiteral("Fattore di rischio di incendio in relazione al tipo di attività svolta"))
{
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *grid = m_rows = new QGridLayout(frame);
    auto *caption = new QHBoxLayout;
    caption->addWidget(makeLabel(frame, "Frame1Caption", QStringLiteral("Classe di Rischio")));
    caption->addWidget(makeSymbol(frame, "Image1", Symbols::dq2));
    caption->addStretch();
    // The table of the calculation's rule, where the program cites one.
    m_table = makeLabel(frame, "lblTabella", QString());
    caption->addWidget(m_table);
    grid->addLayout(caption, 0, 0, 1, 3);
    m_group = new QButtonGroup(this);
    showClasses(CalculationSession::current().regulation());
    grid->setColumnStretch(2, 1);
    body()->addWidget(frame);

    connect(m_group, &QButtonGroup::idClicked, this, &FattoreRischio2::Option1_Click);
    finish(
        {
            {FormulaPiece::Symbol, "Image2", Symbols::qfd},
            {FormulaPiece::Text, "Label8", QStringLiteral("=")},
            FormulaPiece::field("txtDensCarInc", &m_qf),
            {FormulaPiece::Text, "Label9", QStringLiteral(".")},
            FormulaPiece::value("txtdq2", &m_dq1),
            {FormulaPiece::Text, "Label11", QStringLiteral(".")},
            FormulaPiece::valueSymbol("Image4", Symbols::dq2, "dq2", &m_deltaSymbol, &m_deltaValue),
            {FormulaPiece::Text, "Label12", QStringLiteral(".")},
            {FormulaPiece::Symbol, "Image5", Symbols::dn},
            {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
        },
        "Command2", "Command1");
}

// The options of the rule's risk classes with their names and descriptions; the options already
// made serve again, so that Tab keeps reading them first.
void FattoreRischio2::showClasses(const Regulation &regulation)
{
    static const char *const kClassLabels[] = {"Label1", "Label3", "Label4"};
    static const char *const kDescriptionLabels[] = {"lblDescrI", "lblDescrII", "lblDescrIII"};
    const auto count = regulation.riskClasses.size();
    while (m_options.size() > count) {
        delete m_options.takeLast();
        delete m_names.takeLast();
        delete m_descriptions.takeLast();
    }
    QWidget *frame = m_rows->parentWidget();
    for (int i = 0; i < count; ++i) {
        if (i == m_options.size()) {
            m_options << makeOption(frame, "Option1", i);
            m_group->addButton(m_options[i], i);
            const auto nameOf = [i](const char *const names[], const char *pattern) {
                return i < 3 ? QString::fromLatin1(names[i]) : QString::fromLatin1(pattern).arg(i);
            };
            m_names << makeLabel(frame, qPrintable(nameOf(kClassLabels, "lblClasse%1")), QString());
            m_names[i]->setFont(headingFont(12));
            m_descriptions << makeLabel(frame, qPrintable(nameOf(kDescriptionLabels, "lblDescr%1")),
                                        QString());
            m_descriptions[i]->setWordWrap(true);
            m_rows->addWidget(m_options[i], i + 1, 0, Qt::AlignTop);
            m_rows->addWidget(m_names[i], i + 1, 1, Qt::AlignTop);
            m_rows->addWidget(m_descriptions[i], i + 1, 2);
        }
        m_names[i]->setText(regulation.riskClasses.at(i).name);
        m_descriptions[i]->setText(regulation.riskClasses.at(i).description);
    }
}

void FattoreRischio2::showCalculation()
{
    const CalculationSession &session = CalculationSession::current();
    const Calculation &c = session.calculation();
    const Regulation &regulation = session.regulation();
    showConfirmedValues(m_qf, m_dq1, nullptr);
    if (ruleChanged(regulation.rule))
        showClasses(regulation);
    showIfAny(m_table, regulation.citation(regulation.tables.riskClasses));
    m_group->setExclusive(false);
    for (int i = 0; i < m_options.size(); ++i)
        m_options[i]->setChecked(c.riskClass == i);
    m_group->setExclusive(true);
    showDelta(CalculationTexts::deltaQ2(c));
}

void FattoreRischio2::Option1_Click(int index)
{
    CalculationSession::current().chooseRiskClass(index);
}

void FattoreRischio2::next()
{
    CalculationSession &session = CalculationSession::current();
    if (!deltaQ2(session.calculation())) {
        showMessage(QStringLiteral("Selezionare la classe di rischio"));
        return;
    }
    session.passRiskClass();
    showThenHide(router().screen(ScreenRouter::Screen::ProtectionFactor), *this);
}

void FattoreRischio2::back()
{
    showThenHide(router().screen(ScreenRouter::Screen::AreaFactor), *this);
}
