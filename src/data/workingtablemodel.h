#pragma once

#include <QAbstractTableModel>
#include <QVector>

// An editable view of one working table. Numbers are shown and typed in Italian format; an
// emptied cell stores an empty text, a number stores a number; anything else, and any value the
// calculation's rules refuse (ψ 5, m 0,3), is refused with the reason in a box.
// Each edit is written to the table at once, row by row through its rowid. The rows are read
// once by reload(); an edit changes only its own cell, so a view keeps its current cell, its
// selection and its scroll position while the user works through the grid.
class WorkingTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    WorkingTableModel(const QString &table, const QStringList &columns,
                      const QStringList &numericColumns, QObject *parent);

    bool reload();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    bool isNumeric(int column) const;

    QString m_table;
    QStringList m_columns;
    QStringList m_numericColumns;
    // Column 0 of each row is its rowid (hidden by the view); the working table's fields follow.
    QVector<QVector<QVariant>> m_rows;
};
