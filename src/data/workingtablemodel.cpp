#include "workingtablemodel.h"

#include "app/italiannumbers.h"
#include "database.h"
#include "workingtables.h"

#include <QSqlError>

WorkingTableModel::WorkingTableModel(const QString &table, const QStringList &columns,
                                     const QStringList &numericColumns, QObject *parent)
    : QSqlQueryModel(parent), m_table(table), m_columns(columns), m_numericColumns(numericColumns)
{
    Q_ASSERT(Database::tableNames().contains(table));
}

bool WorkingTableModel::reload()
{
    Database &db = Database::instance();
    if (!db.open()) {
        clear();
        return false;
    }
    // Column 0 is the rowid, hidden by the view; the working table's fields follow.
    setQuery(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                 .arg(m_columns.join(QStringLiteral(", ")), m_table),
             db.connection());
    while (canFetchMore())
        fetchMore();
    if (lastError().isValid()) {
        db.reportError(QStringLiteral("Impossibile leggere i dati inseriti."), lastError().text());
        return false;
    }
    for (int c = 0; c < m_columns.size(); ++c)
        setHeaderData(c + 1, Qt::Horizontal, m_columns.at(c));
    return true;
}

bool WorkingTableModel::isNumeric(int column) const
{
    return column > 0 && m_numericColumns.contains(m_columns.value(column - 1));
}

QVariant WorkingTableModel::data(const QModelIndex &index, int role) const
{
    const QVariant value = QSqlQueryModel::data(index, role == Qt::EditRole ? Qt::DisplayRole : role);
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && isNumeric(index.column()) &&
        (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong ||
         value.typeId() == QMetaType::Int))
        return ItalianNumbers::toText(value.toDouble());
    if (role == Qt::TextAlignmentRole && isNumeric(index.column()))
        return int(Qt::AlignCenter);
    return value;
}

Qt::ItemFlags WorkingTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QSqlQueryModel::flags(index);
    if (index.column() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool WorkingTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() < 1)
        return false;
    QVariant stored = value.toString();
    if (isNumeric(index.column())) {
        const auto number = WorkingTables::storedNumber(value.toString());
        if (!number)
            return false; // not a number: the cell keeps its value
        stored = *number;
    }
    const qint64 rowid = QSqlQueryModel::data(this->index(index.row(), 0)).toLongLong();
    const bool written = Database::instance().exec(
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
            .arg(m_table, m_columns.at(index.column() - 1)),
        {stored, rowid});
    reload();
    return written;
}
