#include "ui/catalogue/gridviewer.h"

#include "data/workingtablemodel.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valorepermateriale.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

GridViewer::GridViewer(const char *name, const QString &table, const QStringList &columns,
                       const QStringList &numericColumns)
    : SecondaryWindow(name, QStringLiteral("Dati inseriti nella sommatoria")),
      m_grid(new QTableView(this)),
      m_model(new WorkingTableModel(table, columns, numericColumns, this))
{
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setModel(m_model);
    // As in any table: a cell is edited after a double click, a click on the current cell, F2
    // or a key typed into it; moving to a cell does not open an editor by itself.
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    m_model->reload();
    m_grid->hideColumn(0);
    m_grid->resizeColumnsToContents();
    resize(720, 360);
}

void GridViewer::closeEvent(QCloseEvent *event)
{
    SecondaryWindow::closeEvent(event);
    if (!programEnding()) // at the end of the program there is nothing left to show q_f on
        recompute();
}

VisualTabMat::VisualTabMat()
    : GridViewer("VisualTabMat", QStringLiteral("tblAppoggioMateriali"),
                 {QStringLiteral("Materiale"), QStringLiteral("ValorePerKg"),
                  QStringLiteral("FattorePsi"), QStringLiteral("Fattore_m"),
                  QStringLiteral("QtaMat")},
                 {QStringLiteral("ValorePerKg"), QStringLiteral("FattorePsi"),
                  QStringLiteral("Fattore_m"), QStringLiteral("QtaMat")})
{
}

void VisualTabMat::recompute()
{
    Screens::get<ValorePerMateriale>().entriesEdited();
}

VisualTabAppoggio::VisualTabAppoggio()
    : GridViewer(
          "VisualTabAppoggio", QStringLiteral("tblAppoggio"),
          {QStringLiteral("Arredo"), QStringLiteral("ValorePerPezzo"), QStringLiteral("QtaArredo"),
           QStringLiteral("MaterialeInDeposito"), QStringLiteral("ValorePerM3"),
           QStringLiteral("QtaMerce"), QStringLiteral("Imballo")},
          {QStringLiteral("ValorePerPezzo"), QStringLiteral("QtaArredo"),
           QStringLiteral("ValorePerM3"), QStringLiteral("QtaMerce"), QStringLiteral("Imballo")})
{
}

void VisualTabAppoggio::recompute()
{
    Screens::get<ValorePerArredo>().entriesEdited();
}
