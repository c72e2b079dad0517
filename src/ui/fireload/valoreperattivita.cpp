#include "ui/fireload/valoreperattivita.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/entrymessages.h"
#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "data/catalogues.h"
#include "ui/catalogue/catalogcombo.h"
#include "ui/catalogue/catalogueeditor.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

using ItalianNumbers::leadingNumber;
using ItalianNumbers::toDouble;

ValorePerAttivita::ValorePerAttivita()
    : FireLoadScreen("ValorePerAttivita", QStringLiteral("Attività"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeLabel(this, "Label1", QStringLiteral(" Carico d'incendio specifico"));
    heading->setFont(headingFont(14));
    layout->addWidget(heading);
    layout->addWidget(
        makeLabel(this, "Label2", QStringLiteral("orientativo per tipo di attività ")));

    auto *grid = new QGridLayout;
    m_comboAttivita = new CatalogCombo(Catalogue::Activities, "ComboAttivita", this);
    m_valore = makeLineEdit(this, "txtValoreMJm2");
    m_valore->setMaximumWidth(120);
    m_frattile = makeEditableCombo(this, "ComboFrattile",
                                   CalculationTexts::numbers(CalculationRules::fractileFactors()));
    m_frattile->setMaximumWidth(120);
    m_nota = makeLabel(this, "Nota", QString());
    m_nota->setWordWrap(true);
    // Room for the longest source in the catalogue, wrapped: the window is never resized to a
    // text shown after it opened.
    m_nota->setMinimumWidth(400);
    m_nota->setMinimumHeight(5 * m_nota->fontMetrics().lineSpacing());
    m_nota->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    grid->addWidget(makeLabel(this, "Label3", QStringLiteral("Tipologia")), 0, 0);
    grid->addWidget(m_comboAttivita, 0, 1, 1, 3);
    grid->addWidget(m_nota, 1, 1, 1, 3);
    grid->addWidget(m_valore, 2, 1);
    grid->addWidget(makeLabel(this, "Label4", QStringLiteral("MJ/m²")), 2, 2);
    grid->addWidget(makeLabel(this, "Label5", QStringLiteral("Frattile 80%")), 3, 0);
    grid->addWidget(m_frattile, 3, 1);
    // The compartment's area: the officer checks δq1 against it, and it proposes the class.
    grid->addWidget(makeLabel(this, "lblAreaComp", QStringLiteral("Area del compartimento")), 4, 0);
    grid->addWidget(makeAreaField(), 4, 1);
    grid->addWidget(makeLabel(this, "lblUnitaArea", QStringLiteral("[m²]")), 4, 2);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);

    auto *result = new QHBoxLayout;
    addFireLoad(result, "Label6");
    layout->addLayout(result);

    QPushButton *addToDb = nullptr, *deleteFromDb = nullptr;
    layout->addWidget(
        catalogueFrame("Frame1", QStringLiteral("Personalizza il Database"),
                       {"cmdAggAttivitaAlDB", "Label7", QStringLiteral("Aggiungi Nuova Tipologia")},
                       {"Command3", "Label8", QStringLiteral("Elimina Tipologia Selezionata")},
                       &addToDb, &deleteFromDb));

    const auto [back, next] = addNavigationBar(layout, this, "Command2", "Command1");

    connect(m_comboAttivita, &QComboBox::editTextChanged, this,
            &ValorePerAttivita::ComboAttivita_Change);
    // Then, once a pick has filled the value and its note, both go to the session together.
    connect(m_comboAttivita, &QComboBox::editTextChanged, this, &ValorePerAttivita::giveInputs);
    connect(m_valore, &QLineEdit::textChanged, this, &ValorePerAttivita::txtValoreMJm2_Change);
    connect(m_frattile, &QComboBox::editTextChanged, this,
            &ValorePerAttivita::ComboFrattile_Change);
    connect(m_frattile, qOverload<int>(&QComboBox::activated), this,
            &ValorePerAttivita::ComboFrattile_Click);
    connect(next, &QPushButton::clicked, this, &ValorePerAttivita::Command1_Click);
    connect(back, &QPushButton::clicked, this, &ValorePerAttivita::Command2_Click);
    connect(addToDb, &QPushButton::clicked, this,
            [this] { CatalogueEditor::add(Catalogue::Activities, *m_comboAttivita); });
    connect(deleteFromDb, &QPushButton::clicked, this,
            [this] { CatalogueEditor::remove(Catalogue::Activities, *m_comboAttivita); });
    followSession(Method::Activity, true);
}

void ValorePerAttivita::clearForNewCalculation()
{
    m_activityId = 0;
    m_catalogueValue.clear();
    m_comboAttivita->clearText();
    m_valore->clear();
    m_frattile->setCurrentIndex(-1);
    m_frattile->setEditText(QString());
    m_area->clear();
    showFireLoadText(QString());
}

void ValorePerAttivita::ComboAttivita_Change()
{
    const QString text = m_comboAttivita->currentText();
    const QVariant id = m_comboAttivita->boundValue();
    if (!id.isValid()) {
        // With no activity named, the value shown is no longer a catalogue's: a value kept or
        // typed now is the technician's, and its source cites no entry that is not named.
        m_catalogueValue.clear();
        // A name typed halfway waits for the rest; a text that starts no entry is refused.
        if (!text.isEmpty() && !m_comboAttivita->leadsToAnEntry(text))
            m_comboAttivita->clearText();
        return;
    }
    m_frattile->setEditText(QString());
    m_activityId = id.toLongLong();
    Assegna_Valori();
}

void ValorePerAttivita::Assegna_Valori()
{
    const auto activity = Catalogues::activity(m_activityId);
    if (!activity) {
        m_comboAttivita->clearText();
        return;
    }
    m_catalogueValue = activity->nominalLoad.isNull()
                           ? QString()
                           : ItalianNumbers::toText(activity->nominalLoad.toDouble());
    m_valore->setText(m_catalogueValue);
    m_nota->setText(activity->description);
}

void ValorePerAttivita::giveInputs()
{
    if (m_followingSession)
        return;
    // The catalogue's value with the catalogue's note as its source, or the technician's.
    const QString source = !m_catalogueValue.isEmpty() && m_valore->text() == m_catalogueValue
                               ? m_nota->text()
                               : CalculationRules::typedValueSource(m_catalogueValue);
    CalculationSession &session = CalculationSession::current();
    session.setActivity({m_comboAttivita->currentText(), toDouble(m_valore->text()),
                         toDouble(m_frattile->currentText()), source});
    showFireLoadOfActivity(session.calculation());
}

void ValorePerAttivita::showFireLoadOfActivity(const Calculation &calculation)
{
    const auto qf = fireLoad(calculation);
    showFireLoadText(qf ? ItalianNumbers::toText(*qf) : QString());
}

void ValorePerAttivita::areaTaken() {}

void ValorePerAttivita::txtValoreMJm2_Change()
{
    if (!m_frattile->currentText().isEmpty() && !m_valore->text().isEmpty() &&
        (!toDouble(m_frattile->currentText()) || !toDouble(m_valore->text()))) {
        m_valore->clear();
        return;
    }
    if (leadingNumber(m_valore->text()) < 1 && !m_valore->text().isEmpty()) {
        m_valore->clear();
        return;
    }
    giveInputs();
}

void ValorePerAttivita::ComboFrattile_Change()
{
    const auto factor = toDouble(m_frattile->currentText());
    if (!m_frattile->currentText().isEmpty() &&
        (!factor || *factor > CalculationRules::kLargestFractile)) {
        m_frattile->setEditText(QString());
        return;
    }
    // A factor typed in full is multiplied at once, as a factor picked from the list is.
    giveInputs();
}

void ValorePerAttivita::ComboFrattile_Click()
{
    giveInputs();
    if (m_valore->text().isEmpty()) {
        showMessage(
            QStringLiteral("Selezionare una tipologia in elenco e dopo il valore di frattile"));
        return;
    }
    const auto value = toDouble(m_valore->text());
    const auto factor = toDouble(m_frattile->currentText());
    // A value that is not a number ("5a") is as unreliable as one of 1 or less.
    if (!value || *value <= CalculationRules::kSmallestNominalLoad || !factor) {
        showMessage(QStringLiteral("Inserire un valore attendibile del carico d'incendio"));
        return;
    }
    if (fireLoadTooLarge(CalculationSession::current().calculation()))
        EntryMessages::tooLarge();
}

void ValorePerAttivita::Command1_Click()
{
    if (m_valore->text().isEmpty()) {
        showMessage(QStringLiteral("Selezionare una tipologia in elenco"));
        return;
    }
    if (m_frattile->currentText().isEmpty()) {
        showMessage(
            QStringLiteral("Selezionare una tipologia in elenco e dopo il valore di Frattile"));
        return;
    }
    // q_f is the product of the texts the report will show, given to the session as typed.
    const Calculation &calculation = CalculationSession::current().calculation();
    if (fireLoadTooLarge(calculation)) {
        EntryMessages::tooLarge();
        return;
    }
    if (!fireLoad(calculation)) {
        showMessage(QStringLiteral("Inserire un valore attendibile di carico d'incendio"));
        return;
    }
    goForward();
}

void ValorePerAttivita::Command2_Click()
{
    showThenHide(router().screen(ScreenRouter::Screen::MethodChooser), *this);
}

void ValorePerAttivita::showInputs(const Calculation &calculation)
{
    clearForNewCalculation();
    const Activity &activity = calculation.activity;
    {
        const QSignalBlocker quiet(m_comboAttivita);
        m_comboAttivita->setEditText(activity.name);
    }
    const QVariant id = m_comboAttivita->boundValue();
    m_activityId = id.isValid() ? id.toLongLong() : 0;
    if (id.isValid())
        Assegna_Valori(); // the note of the activity
    m_valore->setText(CalculationTexts::number(activity.nominalLoad));
    m_frattile->setEditText(CalculationTexts::number(activity.fractile));
    m_area->setText(CalculationTexts::number(calculation.area));
    showFireLoadOfActivity(calculation);
}
