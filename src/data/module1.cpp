#include "module1.h"

#include "app/italiannumbers.h"
#include "app/screens.h"
#include "app/sharedstate.h"
#include "app/userprompt.h"
#include "app/widgets.h"
#include "database.h"
#include "fireload/entrymessages.h"
#include "fireload/valoreperarredo.h"
#include "fireload/valorepermateriale.h"
#include "workingtables.h"

#include <QLabel>
#include <cmath>

namespace Module1 {
namespace {

void warnEmptyRows(qint64 rows)
{
    for (qint64 i = 0; i < rows; ++i)
        showMessage(QStringLiteral("Attenzione ci sono alcuni campi vuoti in tabella"));
}

// A sum that overflowed (values edited in the grid) counts as none, and the user is told.
double finiteOrWarn(double sum)
{
    if (std::isfinite(sum))
        return sum;
    EntryMessages::tooLarge();
    return 0;
}

// q_f = sum / area for the screen's area text; nothing when the text is no usable area.
std::optional<double> densityFor(const QString &areaText, double sum)
{
    const auto area = ItalianNumbers::toDouble(areaText);
    if (!area || *area <= 0)
        return std::nullopt;
    const double density = sum / *area;
    if (!std::isfinite(density)) {
        EntryMessages::tooLarge();
        return std::nullopt;
    }
    return density;
}

QLabel *label(QWidget &screen, const char *name)
{
    return screen.findChild<QLabel *>(QString::fromLatin1(name));
}

} // namespace

bool ApriConnessione()
{
    return Database::instance().open();
}

void CreaOggettiDB()
{
    Database::instance().registerConnection();
}

void CalcoloCarIncArredo()
{
    DensCarInc = 0;
    if (NomeTabella.isEmpty()) {
        showMessage(QStringLiteral("Inserire i dati nella maschera"));
        return;
    }
    SommaArredoMerci = 0;
    if (const auto sum = WorkingTables::sumFurnishings()) {
        SommaArredoMerci = finiteOrWarn(sum->total);
        warnEmptyRows(sum->emptyRows);
    }
}

void MostraDensitaArredo()
{
    ValorePerArredo &form = Screens::get<ValorePerArredo>();
    const QString area = fieldText(form, "txtAreaComp");
    const auto density = area.isEmpty() ? std::nullopt : densityFor(area, SommaArredoMerci);
    if (density) {
        DensCarInc = *density;
        label(form, "qf")->hide();
        label(form, "Valoreqf")->setText(ItalianNumbers::integerPartText(DensCarInc));
    } else {
        // An area that is not a usable number counts like no area: no q_f.
        if (!area.isEmpty())
            DensCarInc = 0;
        label(form, "Valoreqf")->clear();
        label(form, "qf")->show();
    }
}

void AggiornaArredo()
{
    CalcoloCarIncArredo();
    MostraDensitaArredo();
    setFieldText(Screens::get<ValorePerArredo>(), "Valoreqf",
                 ItalianNumbers::integerPartText(DensCarInc));
}

void RicalcoloMateriali()
{
    DensCarInc = 0;
    if (NomeTabMateriali.isEmpty()) {
        showMessage(QStringLiteral("Inserire i dati nella maschera"));
        return;
    }
    SommaMateriali = 0;
    if (const auto sum = WorkingTables::sumMaterials()) {
        SommaMateriali = finiteOrWarn(sum->total);
        warnEmptyRows(sum->emptyRows);
    }
}

void MostraDensitaMateriali()
{
    ValorePerMateriale &form = Screens::get<ValorePerMateriale>();
    const QString area = fieldText(form, "txtAreaComp");
    const auto density = area.isEmpty() ? std::nullopt : densityFor(area, SommaMateriali);
    QLabel *value = label(form, "Valoreqf");
    if (density) {
        DensCarInc = *density;
        label(form, "qf")->hide();
        value->setText(ItalianNumbers::integerPartText(DensCarInc));
        value->show();
    } else {
        if (!area.isEmpty())
            DensCarInc = 0;
        value->hide();
        label(form, "qf")->show();
    }
}

void AggiornaMateriali()
{
    RicalcoloMateriali();
    MostraDensitaMateriali();
    setFieldText(Screens::get<ValorePerMateriale>(), "Valoreqf", ItalianNumbers::toText(DensCarInc));
}

} // namespace Module1
