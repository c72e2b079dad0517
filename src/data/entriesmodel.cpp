#include "data/entriesmodel.h"

#include "core/calculationtexts.h"
#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "data/entrystore.h"
#include "data/workingtables.h"

using Field = EntriesModel::Field;

namespace {

QVector<Field> fieldsOf(EntriesModel::Kind kind, EntriesModel::Layout layout)
{
    const bool materials = kind == EntriesModel::Kind::Materials;
    if (layout == EntriesModel::Layout::Screen) {
        if (materials)
            return {Field::Name, Field::Value, Field::Quantity, Field::Psi,
                    Field::M,    Field::Load,  Field::Share,    Field::Source};
        return {Field::Name, Field::Value, Field::Quantity, Field::Packaging,
                Field::Load, Field::Share, Field::Source};
    }
    if (materials)
        return {Field::Number, Field::Name,     Field::Value, Field::Psi,
                Field::M,      Field::Quantity, Field::Load};
    return {Field::Number,     Field::Furnishing, Field::ValuePerPiece, Field::Pieces, Field::Goods,
            Field::ValuePerM3, Field::Volume,     Field::Packaging,     Field::Load};
}

QString heading(EntriesModel::Kind kind, EntriesModel::Layout layout, Field field)
{
    const bool materials = kind == EntriesModel::Kind::Materials;
    const bool grid = layout == EntriesModel::Layout::Grid;
    switch (field) {
    case Field::Number:
        return QStringLiteral("N.");
    case Field::Name:
        return materials ? QStringLiteral("Materiale") : QStringLiteral("Arredo o merce");
    case Field::Value:
        if (materials)
            return grid ? QStringLiteral("Potere calorifico [MJ/kg]")
                        : QStringLiteral("Potere calorifico");
        return QStringLiteral("Carico d'incendio");
    case Field::Quantity:
        return grid && materials ? QStringLiteral("Quantità [kg]") : QStringLiteral("Quantità");
    case Field::Psi:
        return grid ? QStringLiteral("Fattore ψ") : QStringLiteral("ψ");
    case Field::M:
        return grid ? QStringLiteral("Fattore m") : QStringLiteral("m");
    case Field::Packaging:
        return QStringLiteral("Imballo");
    case Field::Load:
        return grid ? QStringLiteral("Carico [MJ]") : QStringLiteral("MJ");
    case Field::Share:
        return QStringLiteral("%");
    case Field::Source:
        return QStringLiteral("Fonte del valore");
    case Field::Furnishing:
        return QStringLiteral("Arredo");
    case Field::ValuePerPiece:
        return QStringLiteral("Carico per pezzo [MJ/pezzo]");
    case Field::Pieces:
        return QStringLiteral("Quantità [pezzi]");
    case Field::Goods:
        return QStringLiteral("Merce in deposito");
    case Field::ValuePerM3:
        return QStringLiteral("Carico per volume [MJ/m³]");
    case Field::Volume:
        return QStringLiteral("Quantità [m³]");
    }
    return QString();
}

QString withUnit(const Amount &amount, const QString &unit)
{
    const QString number = CalculationTexts::number(amount);
    return number.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

// The field of an entry that a column shows and edits.
Amount *amountOf(MaterialEntry &e, Field field)
{
    switch (field) {
    case Field::Value:
        return &e.valuePerKg;
    case Field::Quantity:
        return &e.quantity;
    case Field::Psi:
        return &e.psi;
    case Field::M:
        return &e.m;
    default:
        return nullptr;
    }
}

Amount *amountOf(FurnishingEntry &e, Field field)
{
    const bool goods = e.isGoodsOnly();
    switch (field) {
    case Field::Value:
        return goods ? &e.valuePerM3 : &e.valuePerPiece;
    case Field::Quantity:
        return goods ? &e.volume : &e.pieces;
    case Field::Packaging:
        return &e.packaging;
    case Field::ValuePerPiece:
        return &e.valuePerPiece;
    case Field::Pieces:
        return &e.pieces;
    case Field::ValuePerM3:
        return &e.valuePerM3;
    case Field::Volume:
        return &e.volume;
    default:
        return nullptr;
    }
}

QString *nameOf(MaterialEntry &e, Field field)
{
    return field == Field::Name ? &e.name : nullptr;
}

QString *nameOf(FurnishingEntry &e, Field field)
{
    if (field == Field::Name)
        return e.isGoodsOnly() ? &e.goods : &e.furnishing;
    if (field == Field::Furnishing)
        return &e.furnishing;
    if (field == Field::Goods)
        return &e.goods;
    return nullptr;
}

bool isValueField(Field field)
{
    return field == Field::Value || field == Field::ValuePerPiece || field == Field::ValuePerM3;
}

// `entry` with `text` typed into `field`; the user's reason when it cannot be.
template <class Entry>
QString edited(Entry &entry, Field field, const QString &text, EntriesModel::Layout layout)
{
    if (QString *name = nameOf(entry, field)) {
        *name = text.simplified();
    } else if (Amount *amount = amountOf(entry, field)) {
        const auto stored = WorkingTables::storedNumber(text);
        if (!stored)
            return QStringLiteral("Prego inserisci correttamente tutti i campi richiesti.");
        const Amount typed = WorkingTables::amountFrom(*stored);
        if (isValueField(field) && typed != *amount &&
            !CalculationRules::isTypedValueSource(entry.source)) {
            // No longer the catalogue's value: the one it replaced is kept in the source.
            entry.source = CalculationRules::typedValueSource(
                amount->isNumber() && !entry.source.isEmpty() ? CalculationTexts::number(*amount)
                                                              : QString());
        }
        *amount = typed;
    } else {
        return QStringLiteral("Prego inserisci correttamente tutti i campi richiesti.");
    }
    return layout == EntriesModel::Layout::Screen ? CalculationRules::newEntryRefusal(entry)
                                                  : entryRefusal(entry);
}

} // namespace

EntriesModel::EntriesModel(Kind kind, Layout layout, CalculationSession &session, QObject *parent)
    : QAbstractTableModel(parent), m_kind(kind), m_layout(layout), m_session(session),
      m_fields(fieldsOf(kind, layout)), m_materials(session.calculation().materials),
      m_furnishings(session.calculation().furnishings)
{
    connect(&session, &CalculationSession::entriesChanged, this, &EntriesModel::entriesChanged);
}

void EntriesModel::entriesChanged()
{
    if (m_changing)
        return;
    const Calculation &c = m_session.calculation();
    if (m_kind == Kind::Materials)
        follow(m_materials, c.materials);
    else
        follow(m_furnishings, c.furnishings);
}

template <class Entry> void EntriesModel::follow(QVector<Entry> &shown, const QVector<Entry> &now)
{
    if (shown == now)
        return;
    const qsizetype before = shown.size();
    // Entries added after those shown (one typed, or an inventory imported) come in as new
    // rows: the view keeps its place and its chosen rows, and lays out nothing again.
    if (now.size() > before && std::equal(shown.cbegin(), shown.cend(), now.cbegin())) {
        beginInsertRows(QModelIndex(), int(before), int(now.size() - 1));
        shown = now;
        m_total.reset();
        endInsertRows();
        // The rows before keep their MJ; their shares are of the new total.
        const int share = columnOf(Field::Share);
        if (share >= 0 && before > 0)
            emit dataChanged(index(0, share), index(int(before) - 1, share));
        return;
    }
    beginResetModel();
    shown = now;
    m_total.reset();
    endResetModel();
}

double EntriesModel::total() const
{
    if (!m_total)
        m_total = m_kind == Kind::Materials ? materialsSum(m_materials).total
                                            : furnishingsSum(m_furnishings).total;
    return *m_total;
}

int EntriesModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_kind == Kind::Materials ? m_materials.size() : m_furnishings.size());
}

int EntriesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant EntriesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return heading(m_kind, m_layout, field(section));
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool EntriesModel::numeric(Field f) const
{
    return f != Field::Name && f != Field::Source && f != Field::Furnishing && f != Field::Goods;
}

QString EntriesModel::text(int row, Field f, bool unit) const
{
    if (f == Field::Number)
        return QString::number(row + 1);
    if (m_kind == Kind::Materials) {
        MaterialEntry e = m_materials.at(row);
        switch (f) {
        case Field::Load:
            return CalculationTexts::entryLoad(entryFireLoad(e));
        case Field::Share:
            return CalculationTexts::share(entryFireLoad(e), total());
        case Field::Source:
            return e.source;
        case Field::Value:
            return unit ? withUnit(e.valuePerKg, QStringLiteral("MJ/kg"))
                        : CalculationTexts::number(e.valuePerKg);
        case Field::Quantity:
            return unit ? withUnit(e.quantity, QStringLiteral("kg"))
                        : CalculationTexts::number(e.quantity);
        default:
            if (const QString *name = nameOf(e, f))
                return *name;
            if (const Amount *amount = amountOf(e, f))
                return CalculationTexts::number(*amount);
            return QString();
        }
    }
    FurnishingEntry e = m_furnishings.at(row);
    const bool goods = e.isGoodsOnly();
    switch (f) {
    case Field::Load:
        return CalculationTexts::entryLoad(entryFireLoad(e));
    case Field::Share:
        return CalculationTexts::share(entryFireLoad(e), total());
    case Field::Source:
        return e.source;
    case Field::Value:
        return unit ? withUnit(*amountOf(e, f),
                               goods ? QStringLiteral("MJ/m³") : QStringLiteral("MJ/pezzo"))
                    : CalculationTexts::number(*amountOf(e, f));
    case Field::Quantity:
        if (!unit)
            return CalculationTexts::number(*amountOf(e, f));
        if (goods)
            return withUnit(e.volume, QStringLiteral("m³"));
        return withUnit(e.pieces, e.pieces == Amount::number(1) ? QStringLiteral("pezzo")
                                                                : QStringLiteral("pezzi"));
    case Field::Packaging:
        if (m_layout == Layout::Screen && !goods)
            return QString();
        return CalculationTexts::number(e.packaging);
    default:
        if (const QString *name = nameOf(e, f))
            return *name;
        if (const Amount *amount = amountOf(e, f))
            return CalculationTexts::number(*amount);
        return QString();
    }
}

QVariant EntriesModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const Field f = field(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), f, m_layout == Layout::Screen);
    case Qt::EditRole:
        return text(index.row(), f, false);
    case Qt::ToolTipRole:
        if (f == Field::Name || f == Field::Source || f == Field::Furnishing || f == Field::Goods)
            return text(index.row(), f, false).toHtmlEscaped();
        return QVariant();
    case Qt::TextAlignmentRole:
        return numeric(f) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                          : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return QVariant();
    }
}

bool EntriesModel::editable(int row, Field f) const
{
    switch (f) {
    case Field::Number:
    case Field::Load:
    case Field::Share:
    case Field::Source:
        return false;
    case Field::Name:
        // On the screen an entry keeps its material: a name is chosen from the catalogue.
        return m_layout == Layout::Grid;
    case Field::Packaging:
        return m_layout == Layout::Grid || m_furnishings.value(row).isGoodsOnly();
    default:
        return true;
    }
}

Qt::ItemFlags EntriesModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && editable(index.row(), field(index.column())))
        f |= Qt::ItemIsEditable;
    return f;
}

bool EntriesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) ||
        !editable(index.row(), field(index.column())))
        return false;
    const int row = index.row();
    const QString typed = value.toString();
    QString refusal;
    bool stored = false;
    m_changing = true;
    if (m_kind == Kind::Materials) {
        MaterialEntry entry = m_materials.at(row);
        refusal = edited(entry, field(index.column()), typed, m_layout);
        if (refusal.isEmpty() && !(entry == m_materials.at(row))) {
            stored = EntryStore::replaceMaterial(m_session, row, entry);
            if (stored) {
                m_materials = m_session.calculation().materials;
                m_total.reset();
            }
        }
    } else {
        FurnishingEntry entry = m_furnishings.at(row);
        refusal = edited(entry, field(index.column()), typed, m_layout);
        if (refusal.isEmpty() && !(entry == m_furnishings.at(row))) {
            stored = EntryStore::replaceFurnishing(m_session, row, entry);
            if (stored) {
                m_furnishings = m_session.calculation().furnishings;
                m_total.reset();
            }
        }
    }
    m_changing = false;
    if (!refusal.isEmpty()) {
        showMessage(refusal); // the cell keeps its value
        return false;
    }
    if (!stored)
        return text(row, field(index.column()), false) == typed.trimmed();
    emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
    loadsChanged();
    emit entryEdited();
    return true;
}

void EntriesModel::loadsChanged()
{
    for (Field f : {Field::Load, Field::Share}) {
        const int column = columnOf(f);
        if (column >= 0 && rowCount() > 0)
            emit dataChanged(index(0, column), index(rowCount() - 1, column));
    }
}

bool EntriesModel::removeEntries(const QList<int> &rows)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted.isEmpty())
        return true;
    m_changing = true;
    const bool removed = m_kind == Kind::Materials
                             ? EntryStore::removeMaterials(m_session, sorted)
                             : EntryStore::removeFurnishings(m_session, sorted);
    m_changing = false;
    if (!removed)
        return false;
    for (int row : sorted) {
        beginRemoveRows(QModelIndex(), row, row);
        if (m_kind == Kind::Materials)
            m_materials.removeAt(row);
        else
            m_furnishings.removeAt(row);
        m_total.reset();
        endRemoveRows();
    }
    m_materials = m_session.calculation().materials;
    m_furnishings = m_session.calculation().furnishings;
    m_total.reset();
    loadsChanged();
    return true;
}
