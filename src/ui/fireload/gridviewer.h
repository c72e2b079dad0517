#pragma once

#include "data/entriesmodel.h"
#include "ui/kit/screens.h"

class EntriesView;

// "Dati inseriti nella sommatoria": the entries of a calculation in a grid, one column per field
// of their working table, with each entry's MJ and the total. Each change in the grid goes
// through the entry store; the Delete key (Canc) deletes the chosen entries. The
// screen of the entries learns of the edits through entriesEdited().
class GridViewer : public SecondaryWindow
{
    Q_OBJECT
public:
    GridViewer(const char *name, EntriesModel::Kind kind);

    EntriesModel *model() const;

signals:
    // The entries were edited, or the grid closed after editing them.
    void entriesEdited();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    EntriesView *m_entries;
};

// The entries of the materials screen (tblAppoggioMateriali).
class VisualTabMat : public GridViewer
{
    Q_OBJECT
public:
    VisualTabMat();
};

// The entries of the furnishings screen (tblAppoggio).
class VisualTabAppoggio : public GridViewer
{
    Q_OBJECT
public:
    VisualTabAppoggio();
};
