#include "ui/app/navigation.h"

#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/reports/stampapages.h"

QWidget *methodScreen(Method method)
{
    switch (method) {
    case Method::Activity:
        return &Screens::get<ValorePerAttivita>();
    case Method::Furnishings:
        return &Screens::get<ValorePerArredo>();
    case Method::Materials:
        return &Screens::get<ValorePerMateriale>();
    case Method::None:
        break;
    }
    return nullptr;
}

ReportPage *reportPageFor(Method method)
{
    switch (method) {
    case Method::Activity:
        return &Screens::get<StampaAttivita>();
    case Method::Furnishings:
        return &Screens::get<StampaArredoMerci>();
    case Method::Materials:
        return &Screens::get<StampaMateriali>();
    case Method::None:
        break;
    }
    return nullptr;
}
