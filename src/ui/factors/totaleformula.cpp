#include "ui/factors/totaleformula.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/reportdocument.h"
#include "core/userprompt.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

TotaleFormula::TotaleFormula() : MainScreen("TotaleFormula", QStringLiteral("Totale"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading =
        makeLabel(this, "Label10", QStringLiteral("Carico di incendio specifico di progetto"));
    heading->setFont(headingFont(14));
    layout->addWidget(heading);
    layout->addSpacing(12);

    // The relation in symbols, then the same relation with the values of this calculation.
    layout->addWidget(
        buildFormulaLine(this, {
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
    layout->addWidget(
        buildFormulaLine(this, {
                                   {FormulaPiece::Text, "Label4", QStringLiteral("=")},
                                   FormulaPiece::field("txtDensCarInc", &m_qf),
                                   {FormulaPiece::Text, "Label5", QStringLiteral(".")},
                                   FormulaPiece::value("txtFattDim", &m_dq1),
                                   {FormulaPiece::Text, "Label12", QStringLiteral(".")},
                                   FormulaPiece::value("txtFattUtilizzo", &m_dq2),
                                   {FormulaPiece::Text, "Label14", QStringLiteral(".")},
                                   FormulaPiece::value("txtFattProt", &m_dn),
                                   {FormulaPiece::Text, "Label6", QStringLiteral("=")},
                                   FormulaPiece::value("txtTotFormula", &m_design),
                                   {FormulaPiece::Text, "Label13", QStringLiteral("[MJ/m²]")},
                               }));
    m_design->setFont(headingFont(15));

    auto *classes = new QGridLayout;
    auto *reference = makeLabel(this, "lblClasse", QString());
    auto *minimum = makeLabel(this, "lblClasseMin", QString());
    for (QLabel *value : {reference, minimum}) {
        value->setFont(headingFont(15));
        value->setMinimumWidth(60);
        value->setAlignment(Qt::AlignCenter);
    }
    m_referenceCaption = makeLabel(this, "Label2", QString());
    m_minimumCaption = makeLabel(this, "Label3", QString());
    m_classTable = makeLabel(this, "lblTabellaClassi", QString());
    classes->addWidget(m_referenceCaption, 0, 0);
    classes->addWidget(reference, 0, 1);
    classes->addWidget(m_minimumCaption, 1, 0);
    classes->addWidget(minimum, 1, 1);
    classes->addWidget(m_classTable, 2, 0);
    m_tableClass = makeLabel(this, "lblClasseTabella", QString());
    classes->addWidget(m_tableClass, 2, 1, 1, 2);
    classes->setColumnStretch(2, 1);
    layout->addSpacing(12);
    layout->addLayout(classes);
    layout->addWidget(buildLevel());
    m_warnings = makeLabel(this, "lblAvvertenze", QString());
    m_warnings->setWordWrap(true);
    m_warnings->setTextFormat(Qt::PlainText);
    m_warnings->hide();
    layout->addWidget(m_warnings);
    layout->addStretch();

    const auto [back, report] = addNavigationBar(layout, this, "Command1", "Command3",
                                                 QStringLiteral("Anteprima   stampa relazione"));

    connect(report, &QPushButton::clicked, this, &TotaleFormula::Command3_Click);
    connect(back, &QPushButton::clicked, this, &TotaleFormula::Command1_Click);

    m_reference = reference;
    m_minimum = minimum;
    connect(&CalculationSession::current(), &CalculationSession::changed, this,
            &TotaleFormula::showCalculation);
    showCalculation();
}

void TotaleFormula::showCalculation()
{
    const CalculationSession &session = CalculationSession::current();
    const Calculation &c = session.calculation();
    const Regulation &regulation = session.regulation();
    // Each value appears once its screen has been passed, and stays until it is passed again:
    // the result of the calculation before is kept until a new one is computed.
    showConfirmedValues(m_qf, m_dq1, m_dq2);
    const QString level = CalculationTexts::levelName(c);
    m_referenceCaption->setText(ReportDocuments::referenceClassCaption(regulation, level));
    m_minimumCaption->setText(ReportDocuments::minimumClassCaption(regulation, level));
    m_minimumCaption->setVisible(regulation.hasMinimumClass);
    m_minimum->setVisible(regulation.hasMinimumClass);
    showIfAny(m_classTable, regulation.citation(regulation.tables.classes));
    if (session.reached(CalculationSession::DesignPassed)) {
        m_dn->setText(CalculationTexts::deltaN(c));
        m_design->setText(CalculationTexts::designFireLoad(c));
        m_reference->setText(CalculationTexts::referenceClass(c));
        m_minimum->setText(CalculationTexts::minimumClass(c));
        m_tableClass->setText(CalculationTexts::tableClassBeside(c));
        // A requirement in words ("Nessun requisito di capacità portante") in a smaller type,
        // wrapped.
        const auto classes = requiredClasses(c);
        const bool words = classes && !classes->required && !m_reference->text().isEmpty();
        m_reference->setFont(headingFont(words ? 11 : 15));
        m_reference->setWordWrap(words);
        m_reference->setMinimumWidth(words ? 320 : 60);
        m_reference->setAlignment(words ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        const QStringList warnings = ReportDocuments::warnings(c);
        m_warnings->setText(
            warnings.isEmpty() ? QString() : QStringLiteral("Avvertenze\n") + warnings.join(u'\n'));
        m_warnings->setVisible(!warnings.isEmpty());
    }
    showLevel();
}

QWidget *TotaleFormula::buildLevel()
{
    m_level = new QWidget(this);
    m_level->setObjectName(QStringLiteral("frmLivello"));
    m_level->setMinimumWidth(620);
    auto *grid = new QGridLayout(m_level);
    grid->setContentsMargins(0, 12, 0, 0);
    grid->addWidget(makeLabel(m_level, "lblLivello", QStringLiteral("Livello di prestazione")), 0,
                    0);
    m_levelChoice = new QComboBox(m_level);
    m_levelChoice->setObjectName(QStringLiteral("ComboLivello"));
    m_levelChoice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    grid->addWidget(m_levelChoice, 0, 1);
    m_levelMeaning = makeLabel(m_level, "lblDescrLivello", QString());
    m_levelMeaning->setWordWrap(true);
    grid->addWidget(m_levelMeaning, 1, 0, 1, 3);
    m_levelRequirement = makeLabel(m_level, "lblRequisitoLivello", QString());
    m_levelRequirement->setWordWrap(true);
    grid->addWidget(m_levelRequirement, 2, 0, 1, 3);
    m_reasonCaption = makeLabel(m_level, "lblMotivazioneLivello", QString());
    m_reasonCaption->setWordWrap(true);
    grid->addWidget(m_reasonCaption, 3, 0, 1, 3);
    m_levelReason = new QPlainTextEdit(m_level);
    m_levelReason->setObjectName(QStringLiteral("txtMotivazioneLivello"));
    m_levelReason->setTabChangesFocus(true);
    m_levelReason->setFixedHeight(m_levelReason->fontMetrics().lineSpacing() * 4 + 12);
    grid->addWidget(m_levelReason, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    connect(m_levelChoice, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            CalculationSession::current().setPerformanceLevel(
                m_levelChoice->itemData(index).toInt());
    });
    connect(m_levelReason, &QPlainTextEdit::textChanged, this,
            [this] { CalculationSession::current().setLevelReason(m_levelReason->toPlainText()); });
    return m_level;
}

void TotaleFormula::showLevel()
{
    const CalculationSession &session = CalculationSession::current();
    const Calculation &c = session.calculation();
    const Regulation &regulation = session.regulation();
    const bool levels = !regulation.performanceLevels.isEmpty();
    if (m_level->isVisibleTo(this) != levels) {
        m_level->setVisible(levels);
        m_levelSized = 0;
    }
    const Regulation::PerformanceLevel *level = performanceLevelOf(c);
    if (!level)
        return;
    if (m_levelChoice->count() != regulation.performanceLevels.size()) {
        const QSignalBlocker blocker(m_levelChoice);
        m_levelChoice->clear();
        for (const Regulation::PerformanceLevel &each : regulation.performanceLevels)
            m_levelChoice->addItem(each.name, each.number);
    }
    if (m_levelChoice->currentData().toInt() != level->number) {
        const QSignalBlocker blocker(m_levelChoice);
        m_levelChoice->setCurrentIndex(m_levelChoice->findData(level->number));
    }
    m_levelMeaning->setText(QStringLiteral("%1 (%2)").arg(level->meaning, regulation.levelsTable));
    m_levelRequirement->setText(
        level->obligation.isEmpty()
            ? QStringLiteral("Requisito: %1").arg(level->requirement)
            : QStringLiteral("Requisito: %1\n%2").arg(level->requirement, level->obligation));
    const bool required = level->number != regulation.proposedLevel;
    m_reasonCaption->setText(
        QStringLiteral("Attribuzione del livello di prestazione (%1)%2")
            .arg(regulation.attributionTable,
                 required ? QStringLiteral(": motivazioni del progettista (obbligatorie)")
                          : QStringLiteral(": motivazioni del progettista")));
    // The screen makes room for the texts of another level: at once while shown, to its own
    // size while hidden between two walks.
    if (m_levelSized != level->number) {
        m_levelSized = level->number;
        if (isVisible())
            resize(size().expandedTo(sizeHint()));
        else
            adjustSize();
    }
    // Rewritten only when the calculation holds other reasons (a compartment reopened, a new
    // calculation): a keystroke never moves the cursor.
    if (normalisedText(m_levelReason->toPlainText()) != c.levelReason) {
        const QSignalBlocker blocker(m_levelReason);
        m_levelReason->setPlainText(c.levelReason);
    }
}

void TotaleFormula::Command3_Click()
{
    CalculationSession &session = CalculationSession::current();
    if (levelReasonMissing(session.calculation())) {
        showMessage(QStringLiteral("Indicare le motivazioni dell'attribuzione del livello di "
                                   "prestazione %1 (%2).")
                        .arg(CalculationTexts::levelName(session.calculation()),
                             session.regulation().attributionTable));
        m_levelReason->setFocus();
        return;
    }
    session.reportClasses();
    if (QWidget *page = router().reportPage(session.calculation().method))
        showThenHide(*page, *this);
}

void TotaleFormula::Command1_Click()
{
    hideThenShow(*this, router().screen(ScreenRouter::Screen::ProtectionFactor));
}
