#include "ui/catalogue/catalogcombo.h"

#include "data/database.h"

#include "ui/app/widgets.h"

#include <QLineEdit>
#include <QSqlError>
#include <QSqlQueryModel>

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
                "from tblMateriale Order by Materiale",
                1, 2, 3, 4};
    case Catalogue::Activities:
        return {"select idAttivita, attivita, ValoreNomCarInc,Descrizione, Fonte  from tblAttivita "
                "Order by Attivita",
                1, 0, 4, -1};
    case Catalogue::Furnishings:
        return {"select idArredo, Arredo, ValorePerPezzo, Fonte  from tblArredo Order by Arredo", 1,
                2, 3, -1};
    case Catalogue::StoredGoods:
        return {"select idMaterialeInDeposito, MaterialeInDeposito, ValorePerM3, Fonte  "
                "from tblMaterialeInDeposito Order by MaterialeInDeposito",
                1, 2, 3, -1};
    }
    return {"", 0, 0, 0, -1};
}

} // namespace

CatalogCombo::CatalogCombo(Catalogue catalogue, const char *name, QWidget *parent)
    : QComboBox(parent), m_catalogue(catalogue), m_model(new QSqlQueryModel(this))
{
    setObjectName(QString::fromLatin1(name));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(24);
    setModel(m_model);
    setModelColumn(queryFor(catalogue).nameColumn);
    useEntryCompletion(this);
    refresh();
}

void CatalogCombo::refresh()
{
    const QString shown = currentText();
    Database &db = Database::instance();
    if (db.open()) {
        m_model->setQuery(QString::fromLatin1(queryFor(m_catalogue).sql), db.connection());
        while (m_model->canFetchMore())
            m_model->fetchMore();
        if (m_model->lastError().isValid())
            db.reportError(QStringLiteral("Impossibile leggere l'elenco dal database."),
                           m_model->lastError().text());
    } else {
        m_model->clear();
    }
    // Re-reading the list must not change what the chooser shows.
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    setEditText(shown);
}

int CatalogCombo::rowNamed(const QString &text) const
{
    if (text.isEmpty())
        return -1;
    const int column = queryFor(m_catalogue).nameColumn;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->index(row, column).data().toString().compare(text, Qt::CaseInsensitive) == 0)
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
    const int column = queryFor(m_catalogue).nameColumn;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->index(row, column).data().toString().startsWith(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void CatalogCombo::clearText()
{
    setCurrentIndex(-1);
    if (lineEdit())
        lineEdit()->clear();
}
