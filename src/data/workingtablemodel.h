#pragma once

#include <QSqlQueryModel>

// An editable view of one working table. Numbers are shown and typed in Italian format; an
// emptied cell stores an empty text, a number stores a number, and anything else is refused.
// Each edit is written to the table at once, row by row through its rowid.
class WorkingTableModel : public QSqlQueryModel
{
    Q_OBJECT
public:
    WorkingTableModel(const QString &table, const QStringList &columns,
                      const QStringList &numericColumns, QObject *parent);

    bool reload();

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    bool isNumeric(int column) const;

    QString m_table;
    QStringList m_columns;
    QStringList m_numericColumns;
};
