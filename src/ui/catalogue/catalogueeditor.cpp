#include "ui/catalogue/catalogueeditor.h"

#include "core/calculation.h"
#include "core/italiannumbers.h"
#include "core/userprompt.h"
#include "data/catalogues.h"

namespace CatalogueEditor {
namespace {

// The texts of one catalogue's editing.
struct Texts {
    const char *namePrompt;
    const char *valuePrompt;
    const char *missing1, *missing2;
    const char *addedOpening, *addedClosing;
    const char *noChoice;
    const char *confirmOpening;
};

Texts textsOf(Catalogue catalogue)
{
    switch (catalogue) {
    case Catalogue::Materials:
        return {"Inserisci il nuovo materiale :",
                "Inserisci il valore del carico d'incendio specifico del nuovo materiale:",
                "Prego inserire il nuovo materiale e ",
                "il valore del carico d'incendio specifico relativo.",
                "Il Materiale   ",
                " è stato inserito",
                "Seleziona Il Materiale  da eliminare dalla lista",
                "Confermi l'eliminazione dell'Materiale  "};
    case Catalogue::Activities:
        return {"Inserisci la nuova attività:",
                "Inserisci il nuovo valore nominale del carico d'incendio:",
                "Prego inserisci la nuova attivita e ",
                "il valore nominale del carico d'incendio%.",
                "La tipologia  ",
                " è stata inserita",
                "Seleziona l'attività da eliminare dalla lista",
                "Confermi l'eliminazione della Tipologia "};
    case Catalogue::Furnishings:
        return {"Inserire il nuovo arredo:",
                "Inserire il valore del carico di incendio specifico del nuovo arredo:",
                "Prego inserire il nuovo arredo e ",
                "il valore del carico di incendio specifico .",
                "L'Arredo  ",
                " è stata inserito",
                "Seleziona l'arredo da eliminare dalla lista",
                "Confermi l'eliminazione dell'Arredo "};
    case Catalogue::StoredGoods:
        return {"Inserisci la nuova merce in deposito:",
                "Inserisci il valore del carico di incendio specifico della nuova merce in "
                "deposito:",
                "Prego inserire la nuova merce in deposito e ",
                "il valore del carico di incendio specifico .",
                "La merce in deposito  ",
                " è stata inserita",
                "Seleziona il materiale in deposito da eliminare dalla lista",
                "Confermi l'eliminazione della merce in deposito? "};
    }
    return {};
}

QString valueText(const QVariant &value)
{
    return value.isNull() ? QString() : ItalianNumbers::toText(value.toDouble());
}

} // namespace

void add(Catalogue catalogue, CatalogCombo &chooser)
{
    const Texts texts = textsOf(catalogue);
    UserPrompt &prompt = UserPrompt::current();
    // A name is one line, as every list, message and report row shows it.
    const QString name = CalculationRules::normalisedName(
        prompt.input(QString::fromUtf8(texts.namePrompt), kAppTitle));
    const QString value = prompt.input(QString::fromUtf8(texts.valuePrompt), kAppTitle).trimmed();
    if (name.isEmpty() || value.isEmpty()) {
        showMessage(QString::fromUtf8(texts.missing1) + QString::fromUtf8(texts.missing2));
        return;
    }
    if (const QString why = CalculationRules::nameRefusal(name); !why.isEmpty()) {
        showMessage(why);
        return;
    }
    // A fire load is never negative.
    const auto number = ItalianNumbers::toDouble(value);
    if (!number || *number < 0) {
        showMessage(QStringLiteral("Inserire i dati correttamente"));
        return;
    }
    const auto stored = Catalogues::add(catalogue, name, *number);
    if (!stored)
        return; // the database has already said why

    showMessage(QString::fromUtf8(texts.addedOpening) + stored->name + QLatin1Char(' ') +
                QLatin1Char('(') + valueText(stored->value) + QLatin1Char(')') +
                QString::fromUtf8(texts.addedClosing));
    chooser.refresh();
}

void remove(Catalogue catalogue, CatalogCombo &chooser)
{
    const Texts texts = textsOf(catalogue);
    const QString name = chooser.currentText();
    if (name.isEmpty()) {
        showMessage(QString::fromUtf8(texts.noChoice));
        return;
    }
    bool failed = false;
    const auto entry = Catalogues::firstNamed(catalogue, name, &failed);
    if (!entry) {
        if (!failed)
            showMessage(QStringLiteral("«%1» non è presente nell'elenco: forse è già stato "
                                       "eliminato.")
                            .arg(name));
        chooser.refresh();
        return;
    }
    const QString question = QLatin1Char('\n') + QString::fromUtf8(texts.confirmOpening) +
                             entry->name + QStringLiteral(" (") + valueText(entry->value) +
                             QStringLiteral(") ") + QLatin1Char('?');
    if (UserPrompt::current().confirm(question, QStringLiteral("Eliminazione record"),
                                      UserPrompt::Icon::Warning))
        Catalogues::remove(catalogue, entry->id);
    chooser.refresh();
}

} // namespace CatalogueEditor
