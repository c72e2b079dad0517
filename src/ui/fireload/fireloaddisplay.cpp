#include "ui/fireload/fireloaddisplay.h"

#include "core/entrymessages.h"
#include "core/italiannumbers.h"
#include "core/sharedstate.h"
#include "data/module1.h"
#include "ui/app/screens.h"
#include "ui/app/widgets.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valorepermateriale.h"

#include <QLabel>
#include <cmath>
#include <optional>

namespace Module1 {
namespace {

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
