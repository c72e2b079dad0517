#include "ui/catalogue/catalogcombo.h"

#include "core/textmatch.h"
#include "data/database.h"
#include "ui/kit/widgets.h"

#include <QAbstractItemView>
#include <QCollatorSortKey>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSqlError>
#include <QSqlQueryModel>
#include <vector>

namespace {

struct CatalogueQuery {
    const char *sql;
    int nameColumn;
    int boundColumn;
    int sourceColumn;
    int cellulosicColumn; // -1 when the catalogue does not say
};

CatalogueQuery queryFor(Catalogue catalogue)
{
    switch (catalogue) {
    case Catalogue::Materials:
        return {"select idMateriale, Materiale, CaricoIncSpecif, Fonte, Cellulosico "
                "from tblMateriale",
                1, 2, 3, 4};
    case Catalogue::Activities:
        return {"select idAttivita, attivita, ValoreNomCarInc,Descrizione, Fonte  from tblAttivita",
                1, 0, 4, -1};
    case Catalogue::Furnishings:
        return {"select idArredo, Arredo, ValorePerPezzo, Fonte  from tblArredo", 1, 2, 3, -1};
    case Catalogue::StoredGoods:
        return {"select idMaterialeInDeposito, MaterialeInDeposito, ValorePerM3, Fonte  "
                "from tblMaterialeInDeposito",
                1, 2, 3, -1};
    }
    return {"", 0, 0, 0, -1};
}

constexpr int kFoldedRole = Qt::UserRole + 1;

// Names as Italians read them in a list: "Paglia" before "PVC", "Tè" before "Toluene". Each
// name also gives itself without accents and case, for the completer to look in. Both forms are
// made once per name when the rows are read (`prepare`), not again at each comparison: a
// catalogue of a hundred thousand names is sorted in a moment.
class ItalianOrder : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    // Takes `source`, whose rows are all read, with the keys of its names made first.
    void prepare(QAbstractItemModel *source, int nameColumn)
    {
        m_keys.clear();
        m_folded.clear();
        const int rows = source->rowCount();
        m_keys.reserve(size_t(rows));
        m_folded.reserve(rows);
        for (int row = 0; row < rows; ++row) {
            const QString name = source->index(row, nameColumn).data().toString();
            m_keys.push_back(TextMatch::sortKey(name));
            m_folded << TextMatch::folded(name);
        }
        setSourceModel(source);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == kFoldedRole) {
            const int row = mapToSource(index).row();
            if (row >= 0 && row < m_folded.size())
                return m_folded.at(row);
            return TextMatch::folded(
                QSortFilterProxyModel::data(index, Qt::DisplayRole).toString());
        }
        return QSortFilterProxyModel::data(index, role);
    }

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const size_t a = size_t(left.row());
        const size_t b = size_t(right.row());
        const int order =
            a < m_keys.size() && b < m_keys.size()
                ? m_keys[a].compare(m_keys[b])
                : TextMatch::italianCompare(left.data().toString(), right.data().toString());
        if (order != 0)
            return order < 0;
        return left.row() < right.row(); // equal names keep the order they were added in
    }

private:
    std::vector<QCollatorSortKey> m_keys; // by row of the source
    QStringList m_folded;                 // by row of the source
};

// Offers, in its list, the entries whose name holds the text typed, letter case and accents
// aside. A text that begins an entry is completed in place instead, and an empty text offers
// nothing: the completer never puts an entry back into a text just emptied.
class WordCompleter : public QCompleter
{
public:
    WordCompleter(CatalogCombo *combo, QAbstractItemModel *model, int column)
        : QCompleter(model, combo), m_combo(combo)
    {
        setCompletionColumn(column);
        setCompletionRole(kFoldedRole);
        setCaseSensitivity(Qt::CaseSensitive); // both sides are folded
        setFilterMode(Qt::MatchContains);
        setCompletionMode(QCompleter::PopupCompletion);
    }

    QStringList splitPath(const QString &path) const override
    {
        if (path.isEmpty() || m_combo->rowBeginningWith(path) >= 0)
            return {QString(QChar(QChar::LastValidCodePoint))}; // held by no entry
        return {TextMatch::folded(path)};
    }

    QString pathFromIndex(const QModelIndex &index) const override
    {
        return index.data(Qt::DisplayRole).toString();
    }

private:
    CatalogCombo *m_combo;
};

} // namespace

CatalogCombo::CatalogCombo(Catalogue catalogue, const char *name, QWidget *parent)
    : QComboBox(parent), m_catalogue(catalogue), m_query(new QSqlQueryModel(this)),
      m_model(new ItalianOrder(this))
{
    setObjectName(QString::fromLatin1(name));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(24);
    m_model->setSourceModel(m_query);
    setModel(m_model);
    setModelColumn(queryFor(catalogue).nameColumn);
    setCompleter(new WordCompleter(this, m_model, queryFor(catalogue).nameColumn));
    // Connected before any screen's own handlers: they see the completed text.
    connect(lineEdit(), &QLineEdit::textEdited, this, &CatalogCombo::completeInPlace);
    lineEdit()->installEventFilter(this);
    refresh();
}

void CatalogCombo::refresh()
{
    const QString shown = currentText();
    // The rows are read apart from the list and its completer, which would otherwise go over
    // every row again at each batch the query fetches; they take them all at once.
    m_model->setSourceModel(nullptr);
    Database &db = Database::instance();
    if (db.open()) {
        m_query->setQuery(QString::fromLatin1(queryFor(m_catalogue).sql), db.connection());
        while (m_query->canFetchMore())
            m_query->fetchMore();
        if (m_query->lastError().isValid())
            db.reportError(QStringLiteral("Impossibile leggere l'elenco dal database."),
                           m_query->lastError().text());
    } else {
        m_query->clear();
    }
    static_cast<ItalianOrder *>(m_model)->prepare(m_query, queryFor(m_catalogue).nameColumn);
    m_model->sort(queryFor(m_catalogue).nameColumn);
    m_folded.clear();
    for (int row = 0; row < m_model->rowCount(); ++row)
        m_folded
            << m_model->index(row, queryFor(m_catalogue).nameColumn).data(kFoldedRole).toString();
    // Re-reading the list must not change what the chooser shows.
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    setEditText(shown);
}

QString CatalogCombo::nameAt(int row) const
{
    return m_model->index(row, queryFor(m_catalogue).nameColumn).data().toString();
}

int CatalogCombo::rowNamed(const QString &text) const
{
    if (text.isEmpty())
        return -1;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (nameAt(row).compare(text, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

QVariant CatalogCombo::boundValue() const
{
    const int row = rowNamed(currentText());
    return row < 0 ? QVariant() : boundValueAt(row);
}

QVariant CatalogCombo::boundValueAt(int row) const
{
    return m_model->index(row, queryFor(m_catalogue).boundColumn).data();
}

QString CatalogCombo::sourceAt(int row) const
{
    return m_model->index(row, queryFor(m_catalogue).sourceColumn).data().toString();
}

bool CatalogCombo::cellulosicAt(int row) const
{
    const int column = queryFor(m_catalogue).cellulosicColumn;
    return column >= 0 && m_model->index(row, column).data().toInt() == 1;
}

bool CatalogCombo::leadsToAnEntry(const QString &text) const
{
    const QString folded = TextMatch::folded(text);
    for (const QString &name : m_folded) {
        if (TextMatch::wordStartsWith(name, folded))
            return true;
    }
    return false;
}

int CatalogCombo::rowBeginningWith(const QString &text) const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (nameAt(row).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void CatalogCombo::completeInPlace(const QString &text)
{
    // As inline completion does: after a key that did not delete, with the cursor at the end,
    // the rest of the first entry the text begins, selected so that the next key replaces it.
    if (m_deleting || text.isEmpty() || lineEdit()->cursorPosition() != text.size())
        return;
    const int row = rowBeginningWith(text);
    if (row < 0)
        return;
    const QString name = nameAt(row);
    if (name.size() == text.size())
        return;
    lineEdit()->setText(text + name.mid(text.size()));
    lineEdit()->setSelection(text.size(), name.size() - text.size());
}

bool CatalogCombo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        m_deleting = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    }
    return QComboBox::eventFilter(watched, event);
}

void CatalogCombo::clearText()
{
    if (completer() && completer()->popup())
        completer()->popup()->hide();
    setCurrentIndex(-1);
    if (lineEdit())
        lineEdit()->clear();
}
