#pragma once

#include "core/calculation.h"
#include "ui/kit/screens.h"

class QBoxLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// What the three screens that determine q_f share: the q_f shown beside its symbol, the area
// of the compartment (materials and furnishings), the frames that extend the catalogues, and
// the step forward to the compartment-size screen.
class FireLoadScreen : public MainScreen
{
    Q_OBJECT
protected:
    FireLoadScreen(const char *name, const QString &caption);

    // Adds the q_f symbol, its value and `unitName` "[MJ/m²]" to `row`.
    void addFireLoad(QHBoxLayout *row, const char *unitName);
    // A row with the area field and its captions, then q_f.
    QHBoxLayout *addAreaRow(QBoxLayout *layout, const char *captionName, const char *unitName,
                            const char *fireLoadUnitName);

    // One "Personalizza il database" frame: an add and a delete button, each with its caption.
    struct CatalogueButton {
        const char *buttonName;
        const char *captionName; // nullptr: the caption keeps no designer name
        QString caption;
    };
    QGroupBox *catalogueFrame(const char *frameName, const QString &title,
                              const CatalogueButton &add, const CatalogueButton &remove,
                              QPushButton **addButton, QPushButton **removeButton);

    // "Importa elenco…" and "Esporta elenco…", added to `row`.
    struct InventoryButtons {
        QPushButton *importList;
        QPushButton *exportList;
    };
    InventoryButtons addInventoryButtons(QBoxLayout *row);

    // Whether every number typed in the fields obeys its rule. The first that does not is told
    // with its rule and takes the focus; every field keeps its text. Empty fields pass: the
    // entry's own checks ask for them; blanks alone are no number.
    bool
    typedNumbersAccepted(std::initializer_list<std::pair<QLineEdit *, QString (*)(double)>> fields);

    // Shows `text` as q_f, or the symbol while it is empty.
    void showFireLoadText(const QString &text);
    // The q_f of `calculation` shown: the integer part, or the value with its decimals. A q_f
    // too large for its area is told about, unless the sum itself was (sumWarnings()).
    void showFireLoadOf(const Calculation &calculation, bool withDecimals = false);
    // The same for the session's calculation.
    void showFireLoad(bool withDecimals = false);
    // After the entries changed: the warnings of their sum, then q_f.
    void showEntriesFireLoad(bool withDecimals = false);
    // The warnings of the sum of `calculation`'s entries.
    static void sumWarnings(const Calculation &calculation);
    // The area field "txtAreaComp" (blanks alone are no area).
    QLineEdit *makeAreaField();
    // The area field's check: the text stays as typed, and the area it gives (none while it
    // breaks its rule) goes to the calculation; then areaTaken().
    void txtAreaComp_Change();
    // q_f follows the area just taken.
    virtual void areaTaken();
    // A reopened calculation's area in the field, and its q_f with the warnings of its sum.
    void showLoadedFireLoad(const Calculation &calculation);

    // Wide enough for the entries' names and sources beside their numbers, and no taller than
    // a 1366×768 screen holds.
    void openingSize();

    // The screen follows the session: a new or reopened calculation by `method` (by any method,
    // when `emptiedByAny`) empties its fields, and a reopened one by `method` fills them.
    void followSession(Method method, bool emptiedByAny);
    virtual void clearForNewCalculation() {}
    // Opens the grid of the entries of `method`; each edit there reaches entriesEdited().
    void showEntriesViewer(Method method);
    virtual void entriesEdited() {}
    virtual void showInputs(const Calculation &calculation) { Q_UNUSED(calculation) }

    // Avanti once q_f is known: the calculation goes on to the compartment-size screen.
    // False, with the user told, while there is no q_f.
    bool goForward();

    QLineEdit *m_area = nullptr;
    // While the screen shows a new or reopened calculation: what its fields show then is the
    // session's, and is not given back to it.
    bool m_followingSession = false;
    QLabel *m_valoreqf = nullptr;
    QLabel *m_qfSymbol = nullptr;
};
