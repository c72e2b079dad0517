#pragma once

#include "ui/kit/navigation.h"

#include <QPointer>
#include <QWidget>

class QPushButton;

// The size every window keeps within, so that it fits a 1366x768 screen.
QSize largestWindow();
// Puts `next` where `current` stands, the same centre, at a size that fits a 1366x768 screen
// (a window never shown takes its preferred size, cut to fit), inside `current`'s screen.
void placeOver(QWidget &next, const QWidget &current);

// Makes `window` no larger than largestWindow(), which fits the smallest screen served (1366x768
// less a panel): its contents scroll inside it. Every screen and secondary window does so each
// time it is shown, whichever way it is shown.
void fitToScreen(QWidget &window);

// Shows `next` without making it modal and hides `current` (the usual forward and back move),
// where `current` stood.
void showThenHide(QWidget &next, QWidget &current);
void hideThenShow(QWidget &current, QWidget &next);

// A screen whose close box ends the program.
class MainScreen : public QWidget, public RoutedWindow
{
    Q_OBJECT
public:
    explicit MainScreen(const char *name, const QString &caption);

    // The button that Enter clicks when no control takes the key, as in a dialog.
    void setDefaultButton(QPushButton *button);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPointer<QPushButton> m_defaultButton;
};

// A window that opens beside the current screen; closing it closes only this window.
class SecondaryWindow : public QWidget, public RoutedWindow
{
    Q_OBJECT
public:
    explicit SecondaryWindow(const char *name, const QString &caption);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
