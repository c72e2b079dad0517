#include "data/workingtablemodel.h"

#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "data/database.h"
#include "data/workingtables.h"

#include <QSqlQuery>

WorkingTableModel::WorkingTableModel(const QString &table, const QStringList &columns,
                                     const QStringList &numericColumns, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_columns(columns),
      m_numericColumns(numericColumns)
{
    Q_ASSERT(Database::tableNames().contains(table));
}

bool WorkingTableModel::reload()
{
    QVector<QVector<QVariant>> rows;
    // Only the program's own table and field names reach the statement; no user text does.
    auto query = Database::instance().run(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                                              .arg(m_columns.join(QStringLiteral(", ")), m_table));
    const bool read = query.has_value(); // when not, the user has been told why
    while (query && query->next()) {
        QVector<QVariant> row;
        row.reserve(m_columns.size() + 1);
        for (int c = 0; c <= m_columns.size(); ++c)
            row << query->value(c);
        rows << row;
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    return read;
}

int WorkingTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int WorkingTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size()) + 1;
}

QVariant WorkingTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("rowid") : m_columns.value(section - 1);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool WorkingTableModel::isNumeric(int column) const
{
    return column > 0 && m_numericColumns.contains(m_columns.value(column - 1));
}

QVariant WorkingTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return isNumeric(index.column()) ? QVariant(int(Qt::AlignCenter)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const QVariant &value = m_rows.at(index.row()).at(index.column());
    if (isNumeric(index.column()) &&
        (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong ||
         value.typeId() == QMetaType::Int))
        return ItalianNumbers::toText(value.toDouble());
    return value;
}

Qt::ItemFlags WorkingTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool WorkingTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) ||
        index.column() < 1)
        return false;
    // The same rules as the entry screens: a refused value is said, and the cell keeps its own.
    QVariant stored;
    const QString refusal = WorkingTables::fieldRefusal(
        m_columns.at(index.column() - 1), isNumeric(index.column()), value.toString(), &stored);
    if (!refusal.isEmpty()) {
        showMessage(refusal);
        return false;
    }
    QVector<QVariant> &row = m_rows[index.row()];
    const bool written =
        Database::instance().exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                                      .arg(m_table, m_columns.at(index.column() - 1)),
                                  {stored, row.at(0)});
    if (!written)
        return false; // the database said why; the cell keeps what the table holds
    row[index.column()] = stored;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}
