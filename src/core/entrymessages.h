#pragma once

#include "core/userprompt.h"

// Messages that the calculation screens share.
namespace EntryMessages {

// An entry is missing a required field (or holds one that is no number): nothing is stored.
inline void incompleteEntry()
{
    showMessage(QStringLiteral("Prego inserisci correttamente tutti ") +
                QStringLiteral("i campi richiesti."));
}

// Avanti with no q_f yet.
inline void noFireLoadYet()
{
    showMessage(QStringLiteral("Prego inserire un valore attendibile di carico d'incendio"));
}

// A value so large that q_f would be no finite number: nothing is computed or stored.
inline void tooLarge()
{
    showMessage(QStringLiteral("Il carico d'incendio risulta troppo grande per essere calcolato: "
                               "controllare i dati inseriti."));
}

// What the sum of the entries met: a sum too large to be a number, and lines whose summed
// fields were all emptied (told once, however many).
inline void sumWarnings(bool overflowed, qint64 emptyLines)
{
    if (overflowed)
        tooLarge();
    if (emptyLines > 0)
        showMessage(QStringLiteral("Attenzione ci sono alcuni campi vuoti in tabella"));
}

} // namespace EntryMessages
