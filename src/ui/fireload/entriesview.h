#pragma once

#include "data/entriesmodel.h"

#include <QHeaderView>
#include <QTableView>

class QLabel;
class QPushButton;

// The header of the entries under a screen's fields: the columns sized to their contents are
// measured on the rows in sight (resizeContentsPrecision 0), again whenever the rows scroll.
class EntriesHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit EntriesHeader(QWidget *parent);
    using QHeaderView::resizeSections;
};

// A table of entries that deletes the selected ones with the Delete key (Canc).
class EntriesTable : public QTableView
{
    Q_OBJECT
public:
    explicit EntriesTable(QWidget *parent);

    // The rows of the selected cells, or of the current one when nothing is selected.
    QList<int> chosenRows() const;

signals:
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The entries of a calculation in a table, with their total under it and a button that deletes
// the chosen ones: under the entry screens' fields and in the grid viewers.
class EntriesView : public QWidget
{
    Q_OBJECT
public:
    // `tableName` and `totalName` are the object names of the table and of the total's label.
    EntriesView(EntriesModel::Kind kind, EntriesModel::Layout layout, const char *tableName,
                const char *totalName, QWidget *parent);

    EntriesModel *model() const { return m_model; }
    EntriesTable *table() const { return m_table; }
    QPushButton *deleteButton() const { return m_delete; }

    // Sizes the columns to their contents, none wider than `widestText` pixels; returns the
    // width that shows them all.
    int fitColumns(int widestText);

signals:
    // Entries were edited or deleted here: the sum and q_f follow.
    void entriesEdited();

private:
    void deleteChosen();
    void showTotal();

    EntriesModel *m_model;
    EntriesTable *m_table;
    QLabel *m_total;
    QPushButton *m_delete;
};
