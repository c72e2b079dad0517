#pragma once

#include "data/catalogues.h"

#include <QComboBox>
#include <QVariant>

class QSortFilterProxyModel;
class QSqlQueryModel;

// A chooser bound to a catalogue: an editable combo box listing the catalogue's name field in
// Italian order, with the value of its bound column for the entry shown. A text that begins
// an entry is completed in place; one found only inside names, letter case and accents aside
// ("nylon", "abete"), makes the completer offer those entries in its list.
class CatalogCombo : public QComboBox
{
    Q_OBJECT
public:
    CatalogCombo(Catalogue catalogue, const char *name, QWidget *parent);

    // Reads the catalogue again, so that the list shows it as it now stands.
    void refresh();

    // The bound column of the entry whose name is the text shown (letter case aside); invalid
    // when the text names no entry.
    QVariant boundValue() const;
    // The bound column of list row `row`.
    QVariant boundValueAt(int row) const;
    // Whether some word of an entry's name begins with `text` (letter case and accents
    // aside): the user may still be typing toward it. A text that begins none is refused.
    // An entry that begins with it (letter case aside): its row, else -1.
    int rowBeginningWith(const QString &text) const;
    bool leadsToAnEntry(const QString &text) const;
    // Whether the text shown is the name of an entry.
    bool namesAnEntry() const { return boundValue().isValid(); }

    // Empties the shown text, keeping it empty: the completer must not put an entry back.
    void clearText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int rowNamed(const QString &text) const;
    QString nameAt(int row) const;
    void completeInPlace(const QString &text);

    Catalogue m_catalogue;
    QSqlQueryModel *m_query;
    QSortFilterProxyModel *m_model; // the query's rows in Italian order
    QStringList m_folded;           // each row's name without accents and case
    bool m_deleting = false;        // the last key took text away
};
