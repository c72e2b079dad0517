#pragma once

#include "core/calculationsession.h"

#include <QAbstractTableModel>
#include <QVector>
#include <optional>

// The entries of the materials or of the furnishings method as a table, read from the
// calculation of a session and changed through the entry store: an edit or a deletion reaches
// the calculation and the working table at once, and the sum and q_f follow.
//
// Two layouts: the table under an entry screen's fields (an entry's name, its value and
// quantity with their units, its factors, its MJ and share, the source of its value; edited
// under the rules of a new entry) and the grid viewers (one column per field of the working
// table after a hidden row number, in the table's order, then the MJ; a field may be emptied).
class EntriesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class Kind { Materials, Furnishings };
    enum class Layout { Screen, Grid };
    enum class Field {
        Number, // the entry's number, from 1
        Name,   // the material, or the furnishing or stored good
        Value,  // MJ/kg, MJ per piece or MJ/m³
        Quantity,
        Psi,
        M,
        Packaging,
        Load,  // the entry's MJ
        Share, // its share of the total, in per cent
        Source,
        // the fields of a furnishings line as the grid shows them
        Furnishing,
        ValuePerPiece,
        Pieces,
        Goods,
        ValuePerM3,
        Volume,
    };

    EntriesModel(Kind kind, Layout layout, CalculationSession &session, QObject *parent);

    Field field(int column) const { return m_fields.value(column); }
    int columnOf(Field field) const { return int(m_fields.indexOf(field)); }
    // The sum of the entries, in MJ.
    double total() const;

    // Deletes the entries at `rows`; the view keeps its place.
    bool removeEntries(const QList<int> &rows);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // An entry was edited in place here (setData): the sum and q_f follow.
    void entryEdited();

private:
    void entriesChanged();
    // The entries shown become `now`.
    template <class Entry> void follow(QVector<Entry> &shown, const QVector<Entry> &now);
    void loadsChanged(); // every MJ and share after an edit changed the total
    bool editable(int row, Field field) const;
    QString text(int row, Field field, bool withUnit) const;
    bool numeric(Field field) const;

    Kind m_kind;
    Layout m_layout;
    CalculationSession &m_session;
    QVector<Field> m_fields;
    // The entries the view was last told about: the calculation's, shared.
    QVector<MaterialEntry> m_materials;
    QVector<FurnishingEntry> m_furnishings;
    bool m_changing = false; // this model is changing the calculation
    // The entries' sum, which every share cell divides by: kept until the entries change.
    mutable std::optional<double> m_total;
};
