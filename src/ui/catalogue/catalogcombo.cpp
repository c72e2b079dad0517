#include "ui/catalogue/catalogcombo.h"

#include "core/textmatch.h"
#include "data/database.h"
#include "ui/app/widgets.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QStringListModel>

namespace {

struct CatalogueQuery {
    const char *sql;
    int nameColumn;
    int boundColumn;
};

CatalogueQuery queryFor(Catalogue catalogue)
{
    switch (catalogue) {
    case Catalogue::Materials:
        return {"select idMateriale, Materiale, CaricoIncSpecif  from tblMateriale", 1, 2};
    case Catalogue::Activities:
        return {"select idAttivita, attivita, ValoreNomCarInc,Descrizione  from tblAttivita", 1, 0};
    case Catalogue::Furnishings:
        return {"select idArredo, Arredo, ValorePerPezzo  from tblArredo", 1, 2};
    case Catalogue::StoredGoods:
        return {"select idMaterialeInDeposito, MaterialeInDeposito, ValorePerM3  "
                "from tblMaterialeInDeposito",
                1, 2};
    }
    return {"", 0, 0};
}

// Names as Italians read them in a list: "Paglia" before "PVC", "Tè" before "Toluene".
class ItalianOrder : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const QString a = left.data().toString();
        const QString b = right.data().toString();
        if (TextMatch::italianLess(a, b))
            return true;
        if (TextMatch::italianLess(b, a))
            return false;
        return left.row() < right.row(); // equal names keep the order they were added in
    }
};

} // namespace

CatalogCombo::CatalogCombo(Catalogue catalogue, const char *name, QWidget *parent)
    : QComboBox(parent), m_catalogue(catalogue), m_query(new QSqlQueryModel(this)),
      m_model(new ItalianOrder(this)), m_words(new QCompleter(this)),
      m_wordMatches(new QStringListModel(this))
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
    useEntryCompletion(this);

    m_words->setModel(m_wordMatches);
    m_words->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_words->setWidget(lineEdit());
    m_words->popup()->setObjectName(QString::fromLatin1(name) + QStringLiteral("_parole"));
    // Connected before any screen's own handlers, so the list follows the text first.
    connect(lineEdit(), &QLineEdit::textEdited, this, &CatalogCombo::offerWordMatches);
    connect(m_words, qOverload<const QString &>(&QCompleter::activated), this,
            &CatalogCombo::pickOffered);
    refresh();
}

void CatalogCombo::refresh()
{
    const QString shown = currentText();
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
    m_model->sort(queryFor(m_catalogue).nameColumn);
    m_folded.clear();
    for (int row = 0; row < m_model->rowCount(); ++row)
        m_folded << TextMatch::folded(nameAt(row));
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

bool CatalogCombo::leadsToAnEntry(const QString &text) const
{
    const QString folded = TextMatch::folded(text);
    for (const QString &name : m_folded) {
        if (TextMatch::wordStartsWith(name, folded))
            return true;
    }
    return false;
}

void CatalogCombo::offerWordMatches(const QString &text)
{
    // A text that begins an entry is completed in place; the list is for the other words.
    QStringList matches;
    const QString folded = TextMatch::folded(text);
    bool begins = false;
    for (int row = 0; row < m_folded.size() && !begins; ++row) {
        begins = m_folded.at(row).startsWith(folded);
        if (TextMatch::wordStartsWith(m_folded.at(row), folded))
            matches << nameAt(row);
    }
    if (text.isEmpty() || begins || matches.isEmpty()) {
        m_words->popup()->hide();
        return;
    }
    m_wordMatches->setStringList(matches);
    m_words->setCompletionPrefix(QString());
    m_words->complete();
    m_words->popup()->setCurrentIndex(m_words->completionModel()->index(0, 0));
}

void CatalogCombo::pickOffered(const QString &name)
{
    const int row = rowNamed(name);
    if (row < 0)
        return;
    setCurrentIndex(row);
    setEditText(nameAt(row));
    emit activated(row);
}

void CatalogCombo::clearText()
{
    m_words->popup()->hide();
    setCurrentIndex(-1);
    if (lineEdit())
        lineEdit()->clear();
}
