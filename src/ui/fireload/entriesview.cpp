#include "ui/fireload/entriesview.h"

#include "core/calculationtexts.h"
#include "ui/kit/widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <set>

EntriesHeader::EntriesHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    // As the table's own header.
    setSectionsClickable(true);
    setHighlightSections(true);
}

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
    const int number = m_model->columnOf(EntriesModel::Field::Number);
    if (number >= 0)
        m_table->hideColumn(number);
    if (layout == EntriesModel::Layout::Screen) {
        // The numbers take what they need, the names and sources share the rest. What the
        // numbers need is measured on the rows in sight, again as others come into sight: an
        // entry added to thousands costs the same as the first.
        auto *measured = new EntriesHeader(m_table);
        m_table->setHorizontalHeader(measured);
        header = measured;
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setResizeContentsPrecision(0);
        for (EntriesModel::Field text : {EntriesModel::Field::Name, EntriesModel::Field::Source})
            header->setSectionResizeMode(m_model->columnOf(text), QHeaderView::Stretch);
        connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, measured,
                [measured] { measured->resizeSections(); });
    } else {
        header->setStretchLastSection(true);
    }

    connect(m_table, &EntriesTable::deleteRequested, this, &EntriesView::deleteChosen);
    connect(m_delete, &QPushButton::clicked, this, &EntriesView::deleteChosen);
    // Entries added, deleted or reloaded anywhere change the total; an edit made here also
    // tells the screen.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &EntriesView::showTotal);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &EntriesView::showTotal);
    connect(m_model, &QAbstractItemModel::modelReset, this, &EntriesView::showTotal);
    connect(m_model, &EntriesModel::entryEdited, this, [this] {
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

int EntriesView::fitColumns(int widestText)
{
    m_table->resizeColumnsToContents();
    QHeaderView *header = m_table->horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (header->sectionSize(c) > widestText) // the whole text is in its tooltip
            header->resizeSection(c, widestText);
    }
    // The row numbers widen as rows come: room for them, and a little more.
    return m_table->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) +
           2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width() +
           header->length();
}
