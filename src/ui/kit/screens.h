#pragma once

#include <QWidget>
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

namespace Screens {

// The single instance of screen T, created on this first reference (its load handler runs then).
template <class T> T &get()
{
    if (QWidget *existing = ScreenRegistry::find(typeid(T)))
        return *static_cast<T *>(existing);
    auto *created = new T;
    ScreenRegistry::add(typeid(T), created);
    return *created;
}

// Whether screen T exists, without creating it.
template <class T> bool exists()
{
    return ScreenRegistry::find(typeid(T)) != nullptr;
}

} // namespace Screens

// The size every window keeps within, so that it fits a 1366x768 screen.
QSize largestWindow();
// Puts `next` where `current` stands, the same centre, at a size that fits a 1366x768 screen
// (a window never shown takes its preferred size, cut to fit), inside `current`'s screen.
void placeOver(QWidget &next, const QWidget &current);

// Shows `next` without making it modal and hides `current` (the usual forward and back move),
// where `current` stood.
void showThenHide(QWidget &next, QWidget &current);
void hideThenShow(QWidget &current, QWidget &next);

// Closes every window, which ends the program. Closing a main screen calls it again while the
// walk is under way; that call returns at once, so each window is closed only once.
void Fine();
// Whether Fine() is closing the windows right now.
bool programEnding();
// Asked before the user's close box ends the program: false keeps the program running (the
// user cancelled). Nothing is asked while none is set.
void setQuitGuard(std::function<bool()> guard);

// A screen whose close box ends the program.
class MainScreen : public QWidget
{
    Q_OBJECT
public:
    explicit MainScreen(const char *name, const QString &caption);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

// A window that opens beside the current screen; closing it closes only this window.
class SecondaryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SecondaryWindow(const char *name, const QString &caption);

protected:
    void closeEvent(QCloseEvent *event) override;
};
