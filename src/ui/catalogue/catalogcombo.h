#pragma once

#include "data/catalogues.h"

#include <QComboBox>
#include <QVariant>

class QSqlQueryModel;

// A chooser bound to a catalogue: an editable combo box listing the catalogue's name field, with
// the value of its bound column for the entry shown.
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
    // Where the value of list row `row` comes from, and whether it is a cellulosic material.
    QString sourceAt(int row) const;
    bool cellulosicAt(int row) const;
    // Whether some entry's name starts with `text` (letter case aside): the user may still be
    // typing toward it. A text that starts no entry is refused.
    bool leadsToAnEntry(const QString &text) const;
    // Whether the text shown is the name of an entry.
    bool namesAnEntry() const { return boundValue().isValid(); }

    // Empties the shown text, keeping it empty: the completer must not put an entry back.
    void clearText();

private:
    int rowNamed(const QString &text) const;

    Catalogue m_catalogue;
    QSqlQueryModel *m_model;
};
