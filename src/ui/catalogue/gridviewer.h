#pragma once

#include "ui/app/screens.h"

class QTableView;
class WorkingTableModel;

// "Dati inseriti nella sommatoria": a working table in a grid. Each change in the grid is
// written back to the table at once; closing the viewer computes q_f again.
class GridViewer : public SecondaryWindow
{
    Q_OBJECT
public:
    GridViewer(const char *name, const QString &table, const QStringList &columns,
               const QStringList &numericColumns);

    WorkingTableModel *model() const { return m_model; }

protected:
    void closeEvent(QCloseEvent *event) override;
    virtual void recompute() = 0;

private:
    QTableView *m_grid;
    WorkingTableModel *m_model;
};

// The entries of the materials screen (tblAppoggioMateriali).
class VisualTabMat : public GridViewer
{
    Q_OBJECT
public:
    VisualTabMat();

protected:
    void recompute() override;
};

// The entries of the furnishings screen (tblAppoggio).
class VisualTabAppoggio : public GridViewer
{
    Q_OBJECT
public:
    VisualTabAppoggio();

protected:
    void recompute() override;
};
