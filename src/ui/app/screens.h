#pragma once

#include "ui/kit/screens.h"

#include <functional>
#include <typeindex>

// Every screen of the program exists at most once. It is created the first time any code refers
// to it (to show it, or to read or write one of its fields), and keeps its contents while hidden.
namespace ScreenRegistry {
QWidget *find(std::type_index type);
void add(std::type_index type, QWidget *screen);
// Forgets the screen and destroys it once the current event is over; the next reference
// creates a new one.
void release(QWidget *screen);
// The screens that exist, in the order they were created.
QList<QWidget *> all();
} // namespace ScreenRegistry

// Hands a screen just created the program's screen router and, where it offers them, the
// project commands.
void handNavigation(QWidget &screen);

namespace Screens {

// The single instance of screen T, created on this first reference (its load handler runs then).
template <class T> T &get()
{
    if (QWidget *existing = ScreenRegistry::find(typeid(T)))
        return *static_cast<T *>(existing);
    auto *created = new T;
    handNavigation(*created);
    ScreenRegistry::add(typeid(T), created);
    return *created;
}

// Whether screen T exists, without creating it.
template <class T> bool exists()
{
    return ScreenRegistry::find(typeid(T)) != nullptr;
}

} // namespace Screens

// Closes every window, which ends the program. Closing a main screen calls it again while the
// walk is under way; that call returns at once, so each window is closed only once.
void Fine();
// Whether Fine() is closing the windows right now.
bool programEnding();
// Asked before the user's close box ends the program: false keeps the program running (the
// user cancelled). Nothing is asked while none is set.
void setQuitGuard(std::function<bool()> guard);
// The quit guard's answer; true while none is set.
bool mayEndProgram();
