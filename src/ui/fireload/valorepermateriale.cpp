#include "ui/fireload/valorepermateriale.h"

#include "core/calculationsession.h"
#include "core/calculationtexts.h"
#include "core/entrymessages.h"
#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "data/entrystore.h"
#include "data/workingtables.h"
#include "ui/catalogue/catalogcombo.h"
#include "ui/catalogue/catalogueeditor.h"
#include "ui/fireload/anteprimaimportazione.h"
#include "ui/fireload/entriesview.h"
#include "ui/kit/formulaline.h"
#include "ui/kit/navigation.h"
#include "ui/kit/widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

using ItalianNumbers::leadingNumber;

ValorePerMateriale::ValorePerMateriale()
    : FireLoadScreen("ValorePerMateriale", QStringLiteral("Materiale"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading =
        makeLabel(this, "Label1", QStringLiteral("Carico d'incendio specifico per più materiali"));
    heading->setFont(headingFont(14));
    layout->addWidget(heading);

    auto *entry = new QGridLayout;
    m_comboMat = new CatalogCombo(Catalogue::Materials, "ComboMat", this);
    m_valorePerKg = makeLineEdit(this, "txtValorePerKg");
    m_qta = makeLineEdit(this, "txtQta");
    m_psi = makeEditableCombo(this, "Combo2",
                              CalculationTexts::numbers(CalculationRules::psiFactors()));
    m_m = makeEditableCombo(this, "Combo1");
    entry->addWidget(makeLabel(this, "Label2", QStringLiteral("Tipo di materiale")), 0, 0);
    entry->addWidget(makeLabel(this, "Label3", QStringLiteral("[MJ/Kg]")), 0, 1);
    entry->addWidget(makeLabel(this, "Label4", QStringLiteral("Qtà[Kg]")), 0, 2);
    auto *psiLabel = makeLabel(this, "Label5", QStringLiteral("Ψ"));
    entry->addWidget(psiLabel, 0, 3);
    entry->addWidget(makeLabel(this, "Label6", QStringLiteral("m")), 0, 4);
    entry->addWidget(makeLabel(this, "lblFonteTitolo", QStringLiteral("Fonte del valore")), 0, 5);
    m_source = makeLabel(this, "lblFonte", QString());
    m_source->setWordWrap(true);
    m_source->setMinimumWidth(200);
    entry->addWidget(m_comboMat, 1, 0);
    entry->addWidget(m_valorePerKg, 1, 1);
    entry->addWidget(m_qta, 1, 2);
    entry->addWidget(m_psi, 1, 3);
    entry->addWidget(m_m, 1, 4);
    entry->addWidget(m_source, 1, 5);
    entry->setColumnStretch(0, 2);
    entry->setColumnStretch(5, 1);
    layout->addLayout(entry);

    auto *buttons = new QHBoxLayout;
    auto *add =
        makeButton(this, "Command4", QStringLiteral("A&ggiungi materiale nella sommatoria"));
    auto *view = makeButton(this, "Command5", QStringLiteral("&Visualizza/Modifica dati inseriti"));
    buttons->addWidget(add);
    buttons->addWidget(view);
    buttons->addStretch();
    const auto [importList, exportList] = addInventoryButtons(buttons);
    layout->addLayout(buttons);

    // The entries summed so far, under the fields that add them.
    m_entries = new EntriesView(EntriesModel::Kind::Materials, EntriesModel::Layout::Screen,
                                "DataGridVoci", "lblTotaleVoci", this);
    m_entries->table()->setMinimumHeight(200);
    layout->addWidget(m_entries, 1);

    addAreaRow(layout, "Label7", "Label8", "Label9");

    QPushButton *addToDb = nullptr, *deleteFromDb = nullptr;
    layout->addWidget(catalogueFrame(
        "Frame1", QStringLiteral("Personalizza il Database"),
        {"cmdAggMaterialeAlDB", "Label10", QStringLiteral("Aggiungi Nuovo Materiale ")},
        {"cmdDelete", "Label11", QStringLiteral("Elimina Tipologia Selezionata")}, &addToDb,
        &deleteFromDb));

    const auto [back, next] = addNavigationBar(layout, this, "Command2", "Command1");

    connect(m_comboMat, &QComboBox::editTextChanged, this, &ValorePerMateriale::ComboMat_Change);
    connect(m_comboMat, qOverload<int>(&QComboBox::activated), this,
            &ValorePerMateriale::ComboMat_Click);
    connect(m_valorePerKg, &QLineEdit::textChanged, this, &ValorePerMateriale::showSource);
    connect(m_entries, &EntriesView::entriesEdited, this, &ValorePerMateriale::tableEdited);
    connect(m_m->lineEdit(), &QLineEdit::textEdited, this, [this] { factorTyped(m_m); });
    connect(m_psi->lineEdit(), &QLineEdit::textEdited, this, [this] { factorTyped(m_psi); });
    connect(add, &QPushButton::clicked, this, &ValorePerMateriale::Command4_Click);
    onEnter(m_qta, this, &ValorePerMateriale::Command4_Click);
    connect(view, &QPushButton::clicked, this, &ValorePerMateriale::Command5_Click);
    connect(importList, &QPushButton::clicked, this, &ValorePerMateriale::cmdImportaElenco_Click);
    connect(exportList, &QPushButton::clicked, this, &ValorePerMateriale::cmdEsportaElenco_Click);
    connect(next, &QPushButton::clicked, this, &ValorePerMateriale::Command1_Click);
    connect(back, &QPushButton::clicked, this, &ValorePerMateriale::Command2_Click);
    connect(addToDb, &QPushButton::clicked, this,
            [this] { CatalogueEditor::add(Catalogue::Materials, *m_comboMat); });
    connect(deleteFromDb, &QPushButton::clicked, this, [this] {
        CatalogueEditor::remove(Catalogue::Materials, *m_comboMat);
        m_valorePerKg->clear();
        m_comboMat->clearText();
    });

    followSession(Method::Materials, false);

    // Form_Load
    CancellaTabella();
    m_area->clear();
    m_qta->setText(QStringLiteral("1"));
    openingSize();
    m_m->addItems(CalculationTexts::numbers(CalculationRules::mFactors()));
    m_m->setCurrentIndex(0);
    m_psi->setCurrentIndex(2);
}

void ValorePerMateriale::clearForNewCalculation()
{
    m_comboMat->clearText();
    m_valorePerKg->clear();
    m_qfSymbol->show();
    m_valoreqf->clear();
    m_area->clear();
}

void ValorePerMateriale::CancellaTabella()
{
    EntryStore::clearMaterials(CalculationSession::current());
}

void ValorePerMateriale::ComboMat_Change()
{
    const QString text = m_comboMat->currentText();
    if (!text.isEmpty() && !m_comboMat->leadsToAnEntry(text))
        m_comboMat->clearText();
}

void ValorePerMateriale::ComboMat_Click(int row)
{
    m_catalogueValue = ItalianNumbers::toText(m_comboMat->boundValueAt(row).toDouble());
    m_catalogueSource = m_comboMat->sourceAt(row);
    m_valorePerKg->setText(m_catalogueValue);
    showSource();
    m_qta->setText(QStringLiteral("1"));
    // Wood and other cellulosic materials burn with m = 0,8; the user may still choose 1.
    const double m = CalculationRules::proposedM(m_comboMat->cellulosicAt(row));
    m_m->setCurrentIndex(m_m->findText(CalculationTexts::number(m)));
}

void ValorePerMateriale::showSource()
{
    const QString value = m_valorePerKg->text();
    if (value.isEmpty())
        m_source->clear();
    else if (value == m_catalogueValue && !m_catalogueSource.isEmpty())
        m_source->setText(m_catalogueSource);
    else
        m_source->setText(CalculationRules::typedValueSource(m_catalogueValue));
}

void ValorePerMateriale::tableEdited()
{
    showFireLoad();
}

void ValorePerMateriale::factorTyped(QComboBox *factor)
{
    if (!CalculationRules::mFactors().contains(leadingNumber(factor->currentText()))) {
        factor->setCurrentIndex(-1); // nothing stays chosen behind an emptied text
        factor->setEditText(QString());
    }
}

bool ValorePerMateriale::AggiungiMaterialeAllaSommatoria()
{
    // Only a catalogue entry is a material: a name typed halfway is not one.
    const QString material = m_comboMat->namesAnEntry() ? m_comboMat->currentText() : QString();
    // The numbers stay as typed: one that breaks its rule is told, and nothing is added.
    if (!typedNumbersAccepted({{m_valorePerKg, CalculationRules::entryValueRefusal},
                               {m_qta, CalculationRules::kilogramsRefusal}}))
        return false;
    const auto valuePerKg = WorkingTables::storedNumber(m_valorePerKg->text());
    const auto quantity = WorkingTables::storedNumber(m_qta->text());
    const auto psi = WorkingTables::storedNumber(m_psi->currentText());
    const auto m = WorkingTables::storedNumber(m_m->currentText());

    const bool complete = !material.isEmpty() && !m_valorePerKg->text().isEmpty() &&
                          !m_m->currentText().isEmpty() && !m_psi->currentText().isEmpty();
    if (!complete || !valuePerKg || !quantity || !psi || !m) {
        EntryMessages::incompleteEntry();
        return false;
    }
    const MaterialEntry entry{material,
                              WorkingTables::amountFrom(*valuePerKg),
                              WorkingTables::amountFrom(*quantity),
                              WorkingTables::amountFrom(*psi),
                              WorkingTables::amountFrom(*m),
                              m_source->text()};
    if (const QString why = entryRefusal(entry); !why.isEmpty()) {
        showMessage(why);
        return false;
    }
    CalculationSession &session = CalculationSession::current();
    if (!staysFinite(materialsSum(session.calculation().materials), entryFireLoad(entry))) {
        EntryMessages::tooLarge();
        return false;
    }
    if (!EntryStore::addMaterials(session, {entry}))
        return false;
    showMessage(QStringLiteral("   inserimento riuscito    ") + QLatin1Char('\n') +
                QStringLiteral("Materiale : ") + material + QLatin1Char('\n') +
                QStringLiteral("Potere Calorifico: ") + m_valorePerKg->text() + QLatin1Char('\n') +
                QStringLiteral("Quantità: ") + QLatin1Char(' ') + m_qta->text() +
                QLatin1Char('\n') + QStringLiteral("Fattore Psi: ") + QLatin1Char(' ') +
                m_psi->currentText() + QLatin1Char('\n') + QStringLiteral("Fattore m: ") +
                QLatin1Char(' ') + m_m->currentText());
    return true;
}

void ValorePerMateriale::CalcoloCarIncMat(bool withDecimals)
{
    showEntriesFireLoad(withDecimals);
}

void ValorePerMateriale::entriesEdited()
{
    CalcoloCarIncMat(true);
}

void ValorePerMateriale::Command4_Click()
{
    if (!AggiungiMaterialeAllaSommatoria())
        return; // the fields keep what was typed
    if (m_area->text().isEmpty())
        return;
    if (const QString why = CalculationRules::areaTextRefusal(m_area->text()); !why.isEmpty()) {
        showMessage(why);
        return;
    }
    CalcoloCarIncMat();
    m_comboMat->clearText();
    m_valorePerKg->clear();
    m_qta->setText(QStringLiteral("1"));
    m_entries->table()->scrollToBottom(); // the entry just added is in sight
}

void ValorePerMateriale::Command5_Click()
{
    showEntriesViewer(Method::Materials);
}

void ValorePerMateriale::cmdImportaElenco_Click()
{
    InventoryTransfer::importMaterials(
        this, materialsSum(CalculationSession::current().calculation().materials),
        [this](const QVector<MaterialEntry> &entries) {
            if (EntryStore::addMaterials(CalculationSession::current(), entries))
                CalcoloCarIncMat();
        });
}

void ValorePerMateriale::cmdEsportaElenco_Click()
{
    InventoryTransfer::exportMaterials(CalculationSession::current().calculation().materials);
}

void ValorePerMateriale::Command1_Click()
{
    goForward();
}

void ValorePerMateriale::Command2_Click()
{
    showThenHide(router().screen(ScreenRouter::Screen::MethodChooser), *this);
}

void ValorePerMateriale::showInputs(const Calculation &calculation)
{
    clearForNewCalculation();
    showLoadedFireLoad(calculation);
}
