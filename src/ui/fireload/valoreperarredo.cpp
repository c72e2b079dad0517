#include "ui/fireload/valoreperarredo.h"

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

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

using ItalianNumbers::leadingNumber;

ValorePerArredo::ValorePerArredo()
    : FireLoadScreen("ValorePerArredo", QStringLiteral("Arredo e/o  merci in deposito"))
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeLabel(this, "Label1", QStringLiteral("Carico d'incendio specifico"));
    heading->setFont(headingFont(14));
    auto *subheading =
        makeLabel(this, "Label2", QStringLiteral("per Arredo e per merci in deposito"));
    subheading->setFont(headingFont(12));
    layout->addWidget(heading);
    layout->addWidget(subheading);

    // Furnishings
    auto *furnishings = new QGridLayout;
    m_comboArredo = new CatalogCombo(Catalogue::Furnishings, "ComboArredo", this);
    m_valorePezzo = makeLineEdit(this, "txtValoreMJPezzo");
    m_qta = makeLineEdit(this, "txtQta", QStringLiteral("1"));
    furnishings->addWidget(makeLabel(this, "Label3", QStringLiteral("Tipo di arredo")), 0, 0);
    furnishings->addWidget(makeLabel(this, "Label4", QStringLiteral("[MJ/Pezzo]")), 0, 1);
    furnishings->addWidget(makeLabel(this, "Label5", QStringLiteral("Qtà [pezzi]")), 0, 2);
    furnishings->addWidget(makeLabel(this, "lblFonteTitolo", QStringLiteral("Fonte del valore")), 0,
                           4);
    m_furnishingSource = {m_valorePezzo, makeLabel(this, "lblFonteArredo", QString()), {}, {}};
    furnishings->addWidget(m_comboArredo, 1, 0);
    furnishings->addWidget(m_valorePezzo, 1, 1);
    furnishings->addWidget(m_qta, 1, 2);
    furnishings->addWidget(m_furnishingSource.label, 1, 4);
    auto *addFurnishing =
        makeButton(this, "Command4", QStringLiteral("A&ggiungi arredo nella sommatoria"));
    furnishings->addWidget(addFurnishing, 2, 0);
    layout->addLayout(furnishings);

    // Stored goods
    auto *goods = new QGridLayout;
    m_comboMatDep = new CatalogCombo(Catalogue::StoredGoods, "ComboMatDep", this);
    m_valoreM3 = makeLineEdit(this, "txtValoreMJm3");
    m_qtaMerce = makeLineEdit(this, "txtQtaMerce", QStringLiteral("1"));
    m_imballo = makeCheck(this, "CheckImballo");
    m_imballo->setText(QStringLiteral("Imballaggio merce"));
    goods->addWidget(makeLabel(this, "Label6", QStringLiteral("Tipo di merce in deposito")), 0, 0);
    goods->addWidget(makeLabel(this, "Label7", QStringLiteral("[MJ/m³]")), 0, 1);
    goods->addWidget(makeLabel(this, "Label8", QStringLiteral("Qtà [m³]")), 0, 2);
    goods->addWidget(m_comboMatDep, 1, 0);
    goods->addWidget(m_valoreM3, 1, 1);
    goods->addWidget(m_qtaMerce, 1, 2);
    goods->addWidget(m_imballo, 1, 3);
    m_goodsSource = {m_valoreM3, makeLabel(this, "lblFonteMerce", QString()), {}, {}};
    goods->addWidget(m_goodsSource.label, 1, 4);
    auto *addGoods =
        makeButton(this, "Command7", QStringLiteral("Aggiungi me&rce nella sommatoria"));
    goods->addWidget(addGoods, 2, 0);
    // Both grids keep their columns aligned: the same widths, the source at the right.
    for (QGridLayout *grid : {furnishings, goods}) {
        grid->setColumnStretch(0, 2);
        grid->setColumnMinimumWidth(3, m_imballo->sizeHint().width());
        grid->setColumnStretch(4, 1);
        grid->setColumnMinimumWidth(4, 200);
    }
    for (SourceShown *shown : {&m_furnishingSource, &m_goodsSource})
        shown->label->setWordWrap(true);
    layout->addSpacing(8);
    layout->addLayout(goods);

    // The entries summed so far, under the fields that add them.
    m_entries = new EntriesView(EntriesModel::Kind::Furnishings, EntriesModel::Layout::Screen,
                                "DataGridVoci", "lblTotaleVoci", this);
    m_entries->table()->setMinimumHeight(180);
    layout->addSpacing(8);
    layout->addWidget(m_entries, 1);

    layout->addSpacing(8);
    QHBoxLayout *result = addAreaRow(layout, "Label9", "Label10", "Label11");
    auto *view = makeButton(this, "Command5", QStringLiteral("&Visualizza/Modifica dati inseriti"));
    result->addWidget(view);
    const auto [importList, exportList] = addInventoryButtons(result);

    QPushButton *addArredoToDb = nullptr, *deleteArredo = nullptr;
    QPushButton *addGoodsToDb = nullptr, *deleteGoods = nullptr;
    auto *frames = new QHBoxLayout;
    const QString title = QStringLiteral("Personalizza il database");
    frames->addWidget(catalogueFrame(
        "Frame1", title, {"cmdAggArredoAlDB", nullptr, QStringLiteral("Aggiungi nuovo arredo")},
        {"cmdDelete", nullptr, QStringLiteral("Elimina arredo selezionato")}, &addArredoToDb,
        &deleteArredo));
    frames->addWidget(
        catalogueFrame("Frame2", title,
                       {"cmdAggMaterialeDepositatoAlDB", nullptr,
                        QStringLiteral("Aggiungi nuova merce in deposito")},
                       {"Command6", nullptr, QStringLiteral("Elimina merce selezionata")},
                       &addGoodsToDb, &deleteGoods));
    layout->addLayout(frames);

    const auto [back, next] = addNavigationBar(layout, this, "Command2", "Command1");

    connect(m_comboArredo, &QComboBox::editTextChanged, this,
            [this] { typeChanged(m_comboArredo); });
    connect(m_comboMatDep, &QComboBox::editTextChanged, this,
            [this] { typeChanged(m_comboMatDep); });
    connect(m_comboArredo, qOverload<int>(&QComboBox::activated), this,
            &ValorePerArredo::ComboArredo_Click);
    connect(m_comboMatDep, qOverload<int>(&QComboBox::activated), this,
            &ValorePerArredo::ComboMatDep_Click);
    connect(m_valorePezzo, &QLineEdit::textChanged, this,
            [this] { showSource(m_furnishingSource); });
    connect(m_valoreM3, &QLineEdit::textChanged, this, [this] { showSource(m_goodsSource); });
    connect(m_entries, &EntriesView::entriesEdited, this, &ValorePerArredo::tableEdited);
    connect(addFurnishing, &QPushButton::clicked, this, &ValorePerArredo::Command4_Click);
    connect(addGoods, &QPushButton::clicked, this, &ValorePerArredo::Command7_Click);
    onEnter(m_qta, this, &ValorePerArredo::Command4_Click);
    onEnter(m_qtaMerce, this, &ValorePerArredo::Command7_Click);
    connect(view, &QPushButton::clicked, this, &ValorePerArredo::Command5_Click);
    connect(importList, &QPushButton::clicked, this, &ValorePerArredo::cmdImportaElenco_Click);
    connect(exportList, &QPushButton::clicked, this, &ValorePerArredo::cmdEsportaElenco_Click);
    connect(next, &QPushButton::clicked, this, &ValorePerArredo::Command1_Click);
    connect(back, &QPushButton::clicked, this, &ValorePerArredo::Command2_Click);
    connect(addArredoToDb, &QPushButton::clicked, this,
            [this] { CatalogueEditor::add(Catalogue::Furnishings, *m_comboArredo); });
    connect(deleteArredo, &QPushButton::clicked, this, [this] {
        CatalogueEditor::remove(Catalogue::Furnishings, *m_comboArredo);
        m_valorePezzo->clear();
        m_comboArredo->clearText();
    });
    connect(addGoodsToDb, &QPushButton::clicked, this,
            [this] { CatalogueEditor::add(Catalogue::StoredGoods, *m_comboMatDep); });
    connect(deleteGoods, &QPushButton::clicked, this, [this] {
        CatalogueEditor::remove(Catalogue::StoredGoods, *m_comboMatDep);
        m_valoreM3->clear();
        m_comboMatDep->clearText();
    });

    followSession(Method::Furnishings, false);

    // Form_Load
    CancellaTabella();
    m_area->clear();
    openingSize();
}

void ValorePerArredo::clearForNewCalculation()
{
    m_area->clear();
    m_comboArredo->clearText();
    m_comboMatDep->clearText();
    m_valorePezzo->clear();
    m_valoreM3->clear();
}

void ValorePerArredo::CancellaTabella()
{
    EntryStore::clearFurnishings(CalculationSession::current());
}

void ValorePerArredo::typeChanged(CatalogCombo *combo)
{
    const QString text = combo->currentText();
    if (!text.isEmpty() && !combo->leadsToAnEntry(text))
        combo->clearText();
}

void ValorePerArredo::chooseType(CatalogCombo *combo, int row, SourceShown &shown,
                                 QLineEdit *quantity)
{
    shown.catalogueValue = ItalianNumbers::toText(combo->boundValueAt(row).toDouble());
    shown.catalogueSource = combo->sourceAt(row);
    shown.value->setText(shown.catalogueValue);
    showSource(shown);
    quantity->setText(QStringLiteral("1"));
}

void ValorePerArredo::showSource(SourceShown &shown)
{
    const QString value = shown.value->text();
    if (value.isEmpty())
        shown.label->clear();
    else if (value == shown.catalogueValue && !shown.catalogueSource.isEmpty())
        shown.label->setText(shown.catalogueSource);
    else
        shown.label->setText(CalculationRules::typedValueSource(shown.catalogueValue));
}

void ValorePerArredo::tableEdited()
{
    showFireLoad();
}

void ValorePerArredo::ComboArredo_Click(int row)
{
    chooseType(m_comboArredo, row, m_furnishingSource, m_qta);
}

void ValorePerArredo::ComboMatDep_Click(int row)
{
    chooseType(m_comboMatDep, row, m_goodsSource, m_qtaMerce);
}

double ValorePerArredo::packagingFactor() const
{
    return m_imballo->isChecked() ? CalculationRules::kPackagingFactor : 1.0;
}

void ValorePerArredo::entriesEdited()
{
    showEntriesFireLoad();
}

void ValorePerArredo::AggiungiArredoAllaSommatoria()
{
    const QString type = m_comboArredo->namesAnEntry() ? m_comboArredo->currentText() : QString();
    // The numbers stay as typed: one that breaks its rule is told, and nothing is added.
    if (!typedNumbersAccepted({{m_valorePezzo, CalculationRules::entryValueRefusal},
                               {m_qta, CalculationRules::piecesRefusal}}))
        return;
    const auto value = WorkingTables::storedNumber(m_valorePezzo->text());
    const auto quantity = WorkingTables::storedNumber(m_qta->text());
    if (type.isEmpty() || m_valorePezzo->text().isEmpty() || !value || !quantity) {
        EntryMessages::incompleteEntry();
        return;
    }
    FurnishingEntry entry;
    entry.furnishing = type;
    entry.valuePerPiece = WorkingTables::amountFrom(*value);
    entry.pieces = WorkingTables::amountFrom(*quantity);
    entry.source = m_furnishingSource.label->text();
    if (!staysFinite(currentSum(), entryFireLoad(entry))) {
        EntryMessages::tooLarge();
        return;
    }
    if (!EntryStore::addFurnishings(CalculationSession::current(), {entry}))
        return;
    showMessage(QStringLiteral("inserimento riuscito") + QLatin1Char('\n') +
                QStringLiteral("Arredo : ") + type + QLatin1Char('\n') +
                QStringLiteral("Potere Calorifico: ") + m_valorePezzo->text() + QLatin1Char('\n') +
                QStringLiteral("Quantità: ") + QLatin1Char(' ') + m_qta->text());
}

void ValorePerArredo::AggiungiMerceAllaSommatoria()
{
    const QString type = m_comboMatDep->namesAnEntry() ? m_comboMatDep->currentText() : QString();
    if (!typedNumbersAccepted({{m_valoreM3, CalculationRules::entryValueRefusal},
                               {m_qtaMerce, CalculationRules::volumeRefusal}}))
        return;
    const auto value = WorkingTables::storedNumber(m_valoreM3->text());
    const auto quantity = WorkingTables::storedNumber(m_qtaMerce->text());
    if (type.isEmpty() || m_valoreM3->text().isEmpty() || !value || !quantity) {
        EntryMessages::incompleteEntry();
        return;
    }
    FurnishingEntry entry;
    entry.goods = type;
    entry.valuePerM3 = WorkingTables::amountFrom(*value);
    entry.volume = WorkingTables::amountFrom(*quantity);
    entry.packaging = Amount::number(packagingFactor());
    entry.source = m_goodsSource.label->text();
    if (!staysFinite(currentSum(), entryFireLoad(entry))) {
        EntryMessages::tooLarge();
        return;
    }
    if (!EntryStore::addFurnishings(CalculationSession::current(), {entry}))
        return;
    showMessage(QStringLiteral("inserimento riuscito") + QLatin1Char('\n') +
                QStringLiteral("Merce in Deposito : ") + type + QLatin1Char('\n') +
                QStringLiteral("Potere Calorifico: ") + m_valoreM3->text() + QLatin1Char('\n') +
                QStringLiteral("Quantità: ") + QLatin1Char(' ') + m_qtaMerce->text());
}

void ValorePerArredo::Command4_Click()
{
    AggiungiArredoAllaSommatoria();
    entriesEdited();
}

void ValorePerArredo::Command7_Click()
{
    AggiungiMerceAllaSommatoria();
    entriesEdited();
    m_imballo->setChecked(false);
}

void ValorePerArredo::Command5_Click()
{
    if (CalculationSession::current().calculation().furnishings.isEmpty()) {
        showMessage(QStringLiteral("Non ci sono dati inseriti"));
        return;
    }
    showEntriesViewer(Method::Furnishings);
}

void ValorePerArredo::cmdImportaElenco_Click()
{
    InventoryTransfer::importFurnishings(
        this, currentSum(), [this](const QVector<FurnishingEntry> &entries) {
            if (EntryStore::addFurnishings(CalculationSession::current(), entries))
                entriesEdited();
        });
}

void ValorePerArredo::cmdEsportaElenco_Click()
{
    InventoryTransfer::exportFurnishings(CalculationSession::current().calculation().furnishings);
}

void ValorePerArredo::Command1_Click()
{
    if (!goForward())
        return;
    EntryStore::prepareReportTables(CalculationSession::current());
}

void ValorePerArredo::Command2_Click()
{
    CancellaTabella();
    showThenHide(router().screen(ScreenRouter::Screen::MethodChooser), *this);
}

EntriesSum ValorePerArredo::currentSum() const
{
    return furnishingsSum(CalculationSession::current().calculation().furnishings);
}

void ValorePerArredo::showInputs(const Calculation &calculation)
{
    clearForNewCalculation();
    showLoadedFireLoad(calculation);
}
