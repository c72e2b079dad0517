#include "ui/fireload/entriesview.h"

#include "core/calculationtexts.h"
#include "ui/app/widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <set>

EntriesTable::EntriesTable(QWidget *parent) : QTableView(parent)
{
    // As in any table: a cell is edited after a double click, a click on the current cell, F2
    // or a key typed into it; moving to a cell does not open an editor by itself.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
}

QList<int> EntriesTable::chosenRows() const
{
    std::set<int> rows;
    if (selectionModel()) {
        for (const QModelIndex &index : selectionModel()->selectedIndexes())
            rows.insert(index.row());
    }
    if (rows.empty() && currentIndex().isValid())
        rows.insert(currentIndex().row());
    return QList<int>(rows.begin(), rows.end());
}

void EntriesTable::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        emit deleteRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

EntriesView::EntriesView(EntriesModel::Kind kind, EntriesModel::Layout layout,
                         const char *tableName, const char *totalName, QWidget *parent)
    : QWidget(parent), m_model(new EntriesModel(kind, layout, CalculationSession::current(), this)),
      m_table(new EntriesTable(this)), m_total(makeLabel(this, totalName, QString())),
      m_delete(makeButton(this, "cmdEliminaVoce", QStringLiteral("Elimina voce")))
{
    m_table->setObjectName(QString::fromLatin1(tableName));
    m_table->setModel(m_model);
    m_delete->setToolTip(QStringLiteral("Elimina le voci selezionate (Canc)"));
    m_total->setFont(headingFont(10));

    auto *layoutBox = new QVBoxLayout(this);
    layoutBox->setContentsMargins(0, 0, 0, 0);
    layoutBox->addWidget(m_table, 1);
    auto *foot = new QHBoxLayout;
    foot->addWidget(m_delete);
    foot->addStretch();
    foot->addWidget(m_total);
    layoutBox->addLayout(foot);

    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    const int name = m_model->columnOf(EntriesModel::Field::Name);
    if (layout == EntriesModel::Layout::Screen && name >= 0)
        header->setSectionResizeMode(name, QHeaderView::Stretch);
    const int source = m_model->columnOf(EntriesModel::Field::Source);
    if (source >= 0)
        header->setSectionResizeMode(source, QHeaderView::Stretch);
    const int number = m_model->columnOf(EntriesModel::Field::Number);
    if (number >= 0)
        m_table->hideColumn(number);

    connect(m_table, &EntriesTable::deleteRequested, this, &EntriesView::deleteChosen);
    connect(m_delete, &QPushButton::clicked, this, &EntriesView::deleteChosen);
    connect(m_model, &QAbstractItemModel::modelReset, this, &EntriesView::showTotal);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &EntriesView::showTotal);
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        showTotal();
        emit entriesEdited();
    });
    showTotal();
}

void EntriesView::deleteChosen()
{
    const QList<int> rows = m_table->chosenRows();
    if (rows.isEmpty() || !m_model->removeEntries(rows))
        return;
    // The entry after the deleted one becomes the current one, ready for the next Canc.
    const int next = std::min(rows.first(), m_model->rowCount() - 1);
    if (next >= 0) {
        const int column = std::max(0, m_table->currentIndex().column());
        m_table->setCurrentIndex(m_model->index(next, column));
    }
    emit entriesEdited();
}

void EntriesView::showTotal()
{
    const int count = m_model->rowCount();
    m_total->setText(
        QStringLiteral("Totale: %1 MJ (%2)")
            .arg(CalculationTexts::entryLoad(m_model->total()),
                 count == 1 ? QStringLiteral("1 voce") : QStringLiteral("%1 voci").arg(count)));
    m_delete->setEnabled(count > 0);
}

int EntriesView::fullWidth() const
{
    int width = m_table->verticalHeader()->sizeHint().width() + 2 * m_table->frameWidth() +
                m_table->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (!m_table->isColumnHidden(c))
            width += m_table->horizontalHeader()->sectionSizeHint(c);
    }
    return width;
}
