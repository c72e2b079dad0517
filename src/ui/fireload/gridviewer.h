#pragma once

#include "data/entriesmodel.h"
#include "ui/kit/screens.h"

class EntriesView;

// "Dati inseriti nella sommatoria": the entries of a calculation in a grid, one column per field
// of their working table, with each entry's MJ and the total. Each change in the grid reaches
// the calculation and the table at once; the Delete key (Canc) deletes the chosen entries.
class GridViewer : public SecondaryWindow
{
    Q_OBJECT
public:
    GridViewer(const char *name, EntriesModel::Kind kind);

    EntriesModel *model() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    virtual void recompute() = 0;

private:
    EntriesView *m_entries;
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
