#pragma once

#include "core/calculation.h"

class QWidget;
struct Compartment;

// How a screen reaches the other screens and the end of the program without knowing them. The
// program's assembly (ui/app) implements it and hands it to every screen it creates. Every
// screen named here exists at most once, created on its first reference, and keeps its contents
// while hidden.
class ScreenRouter
{
public:
    // The screens reached by name.
    enum class Screen {
        Start,            // Avvio
        Formula,          // FormulaCaricoIncendio
        MethodChooser,    // DensitaCarico
        About,            // frmAbout
        AreaFactor,       // FattoreRischio1: delta q1
        RiskFactor,       // FattoreRischio2: delta q2
        ProtectionFactor, // FattoreProtezione: delta n
        Result,           // TotaleFormula
    };

    virtual ~ScreenRouter() = default;

    virtual QWidget &screen(Screen which) = 0;
    // The screen that determines q_f by `method`, and the report page of that method; nothing for
    // no method.
    virtual QWidget *methodScreen(Method method) = 0;
    virtual QWidget *reportPage(Method method) = 0;
    // The itemised list of `method`'s report; `afresh` builds a new one from the calculation's
    // entries as they are now. Nothing for a method without a list.
    virtual QWidget *itemisedList(Method method, bool afresh) = 0;
    // The grid of the entries of the materials or the furnishings method (a GridViewer).
    virtual QWidget *entriesViewer(Method method) = 0;
    // The project window, in front and active; the summary of its compartments.
    virtual void showProjectWindow() = 0;
    virtual void showSummary() = 0;

    // Forgets a window that was closed: it is destroyed once the current event is over, and the
    // next reference creates a new one.
    virtual void release(QWidget &window) = 0;
    // Closes every window, which ends the program. Closing a main screen calls it again while
    // the windows are being closed; that call returns at once.
    virtual void endProgram() = 0;
    // Whether endProgram() is closing the windows right now.
    virtual bool programEnding() const = 0;
    // Asked before the user's close box ends the program: false keeps the program running.
    virtual bool mayEndProgram() = 0;
};

// What the screens do with the open project; each command reports its own failure in a message.
class ProjectCommands
{
public:
    virtual ~ProjectCommands() = default;

    virtual void newProject() = 0;
    virtual void openProject() = 0;
    virtual void saveProject() = 0;
    virtual void saveProjectAs() = 0;
    virtual void exportProjectPdf() = 0;
    virtual void exportProjectOdt() = 0;
    // The calculation under way, stored in the project under a name the user gives.
    virtual void saveCurrentCompartment() = 0;
    // A saved compartment becomes the calculation under way, shown on its report page.
    virtual void openCompartment(const Compartment &compartment) = 0;
    // The method chooser for a new calculation, every calculation screen hidden.
    virtual void newCompartment() = 0;
};

// A window that reaches other screens: the assembly hands it the router when it creates it,
// before it is shown.
class RoutedWindow
{
public:
    virtual ~RoutedWindow() = default;
    void setRouter(ScreenRouter &router) { m_router = &router; }

protected:
    // The router handed; a window created without one cannot move on.
    ScreenRouter &router() const;

private:
    ScreenRouter *m_router = nullptr;
};

// A window that offers the project commands: the assembly hands them when it creates it.
class ProjectCommandsUser
{
public:
    virtual ~ProjectCommandsUser() = default;
    void setProjectCommands(ProjectCommands &commands) { m_commands = &commands; }

protected:
    ProjectCommands &projectCommands() const;

private:
    ProjectCommands *m_commands = nullptr;
};

// Shows `window` beside the current screen, in front.
void bringForward(QWidget &window);
