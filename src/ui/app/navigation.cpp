#include "ui/app/navigation.h"

#include "ui/app/projectactions.h"
#include "ui/app/screens.h"
#include "ui/factors/fattoreprotezione.h"
#include "ui/factors/fattorerischio1.h"
#include "ui/factors/fattorerischio2.h"
#include "ui/factors/totaleformula.h"
#include "ui/fireload/gridviewer.h"
#include "ui/fireload/valoreperarredo.h"
#include "ui/fireload/valoreperattivita.h"
#include "ui/fireload/valorepermateriale.h"
#include "ui/kit/navigation.h"
#include "ui/reports/stampaelencoarredomerci.h"
#include "ui/reports/stampaelencomateriali.h"
#include "ui/reports/stampapages.h"
#include "ui/start/avvio.h"
#include "ui/start/densitacarico.h"
#include "ui/start/formulacaricoincendio.h"
#include "ui/start/frmabout.h"

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

namespace {

// Every screen by its class, through the registry; the project commands through ProjectActions.
class ProgramNavigation : public Navigation
{
public:
    QWidget &screen(Screen which) override
    {
        switch (which) {
        case Screen::Start:
            return Screens::get<Avvio>();
        case Screen::Formula:
            return Screens::get<FormulaCaricoIncendio>();
        case Screen::MethodChooser:
            return Screens::get<DensitaCarico>();
        case Screen::About:
            return Screens::get<frmAbout>();
        case Screen::AreaFactor:
            return Screens::get<FattoreRischio1>();
        case Screen::RiskFactor:
            return Screens::get<FattoreRischio2>();
        case Screen::ProtectionFactor:
            return Screens::get<FattoreProtezione>();
        case Screen::Result:
            break;
        }
        return Screens::get<TotaleFormula>();
    }
    QWidget *methodScreen(Method method) override { return ::methodScreen(method); }
    QWidget *reportPage(Method method) override { return reportPageFor(method); }
    QWidget *itemisedList(Method method, bool afresh) override
    {
        switch (method) {
        case Method::Materials:
            return afresh ? &fresh<StampaElencoMateriali>()
                          : &Screens::get<StampaElencoMateriali>();
        case Method::Furnishings:
            return afresh ? &fresh<StampaElencoArredoMerci>()
                          : &Screens::get<StampaElencoArredoMerci>();
        case Method::Activity:
        case Method::None:
            break;
        }
        return nullptr;
    }

    QWidget *entriesViewer(Method method) override
    {
        switch (method) {
        case Method::Materials:
            return &Screens::get<VisualTabMat>();
        case Method::Furnishings:
            return &Screens::get<VisualTabAppoggio>();
        case Method::Activity:
        case Method::None:
            break;
        }
        return nullptr;
    }

    void release(QWidget &window) override { ScreenRegistry::release(&window); }
    void endProgram() override { Fine(); }
    bool programEnding() const override { return ::programEnding(); }
    bool mayEndProgram() override { return ::mayEndProgram(); }

    void showProjectWindow() override { ProjectActions::showProjectWindow(); }
    void showSummary() override { ProjectActions::showSummary(); }
    void newProject() override { ProjectActions::newProject(); }
    void openProject() override { ProjectActions::openProject(); }
    void saveProject() override { ProjectActions::saveProject(); }
    void saveProjectAs() override { ProjectActions::saveProjectAs(); }
    void exportProjectPdf() override { ProjectActions::exportProjectPdf(); }
    void exportProjectOdt() override { ProjectActions::exportProjectOdt(); }
    void saveCurrentCompartment() override { ProjectActions::saveCurrentCompartment(); }
    void openCompartment(const Compartment &compartment) override
    {
        ProjectActions::openCompartment(compartment);
    }
    void newCompartment() override { ProjectActions::newCompartment(); }

private:
    // Screen T built again: the one shown so far is forgotten.
    template <class T> T &fresh()
    {
        if (Screens::exists<T>())
            ScreenRegistry::release(&Screens::get<T>());
        return Screens::get<T>();
    }
};

} // namespace

void installNavigation()
{
    static ProgramNavigation navigation;
    Navigation::install(&navigation);
}
