#include "ui/factors/factorscreen.h"

#include "core/calculationsession.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FactorScreen::FactorScreen(const char *name, const QString &caption, const QString &heading)
    : MainScreen(name, caption), m_body(new QVBoxLayout(this))
{
    QLabel *title = makeLabel(this, "Label2", heading);
    title->setFont(headingFont(13));
    title->setWordWrap(true);
    m_body->addWidget(title);
}

void FactorScreen::finish(std::initializer_list<FormulaPiece> pieces, const char *backName,
                          const char *nextName)
{
    m_body->addWidget(buildFormulaLine(this, pieces));
    const auto [backButton, nextButton] = addNavigationBar(m_body, this, backName, nextName);
    m_back = backButton;
    m_next = nextButton;
    connect(backButton, &QPushButton::clicked, this, [this] { back(); });
    connect(nextButton, &QPushButton::clicked, this, [this] { next(); });
    connect(&CalculationSession::current(), &CalculationSession::changed, this,
            [this] { showCalculation(); });
    showCalculation();
}

void FactorScreen::showDelta(const QString &value)
{
    showValueOrSymbol(m_deltaSymbol, m_deltaValue, value);
}

bool FactorScreen::ruleChanged(const Rule &rule)
{
    if (m_shownRule == rule)
        return false;
    m_shownRule = rule;
    return true;
}

void FactorScreen::orderTabs(const QList<QWidget *> &controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control :
         controls + QList<QWidget *>{static_cast<QWidget *>(m_qf), m_back, m_next}) {
        if (!control || control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
}
