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
#include "ui/project/progetto.h"
#include "ui/reports/stampaelencoarredomerci.h"
#include "ui/reports/stampaelencomateriali.h"
#include "ui/reports/stampapages.h"
#include "ui/reports/stampariepilogo.h"
#include "ui/start/avvio.h"
#include "ui/start/densitacarico.h"
#include "ui/start/formulacaricoincendio.h"
#include "ui/start/frmabout.h"

QWidget &namedScreen(ScreenRouter::Screen which)
{
    using Screen = ScreenRouter::Screen;
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

void showProjectWindow()
{
    Progetto &window = Screens::get<Progetto>();
    window.show();
    window.raise();
    window.activateWindow();
}

void showAlone(QWidget &screen)
{
    for (QWidget *other : ScreenRegistry::all()) {
        if (qobject_cast<MainScreen *>(other))
            other->hide();
    }
    bringForward(screen);
}

namespace {

// Every screen by its class, through the registry.
class ProgramRouter final : public ScreenRouter
{
public:
    QWidget &screen(Screen which) override { return namedScreen(which); }
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
    void showProjectWindow() override { ::showProjectWindow(); }
    void showSummary() override { bringForward(Screens::get<StampaRiepilogo>()); }

    void release(QWidget &window) override { ScreenRegistry::release(&window); }
    void endProgram() override { Fine(); }
    bool programEnding() const override { return ::programEnding(); }
    bool mayEndProgram() override { return ::mayEndProgram(); }

private:
    // Screen T built again: the one shown so far is forgotten.
    template <class T> T &fresh()
    {
        if (Screens::exists<T>())
            ScreenRegistry::release(&Screens::get<T>());
        return Screens::get<T>();
    }
};

// The commands of ProjectActions, for the screens that offer them.
class ProgramProjectCommands final : public ProjectCommands
{
public:
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
};

} // namespace

void handNavigation(QWidget &screen)
{
    static ProgramRouter router;
    static ProgramProjectCommands commands;
    if (auto *routed = dynamic_cast<RoutedWindow *>(&screen))
        routed->setRouter(router);
    if (auto *user = dynamic_cast<ProjectCommandsUser *>(&screen))
        user->setProjectCommands(commands);
}
