#include "ui/kit/screens.h"

#include "core/userprompt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <exception>
#include <vector>

namespace ScreenRegistry {
namespace {

struct Entry {
    std::type_index type;
    QPointer<QWidget> screen;
};

std::vector<Entry> &entries()
{
    static std::vector<Entry> list;
    return list;
}

} // namespace

QWidget *find(std::type_index type)
{
    for (const Entry &entry : entries()) {
        if (entry.type == type && entry.screen)
            return entry.screen;
    }
    return nullptr;
}

void add(std::type_index type, QWidget *screen)
{
    auto &list = entries();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Entry &e) { return e.type == type || !e.screen; }),
               list.end());
    list.push_back({type, screen});
}

void release(QWidget *screen)
{
    auto &list = entries();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Entry &e) { return e.screen == screen || !e.screen; }),
               list.end());
    if (screen)
        screen->deleteLater();
}

QList<QWidget *> all()
{
    QList<QWidget *> screens;
    for (const Entry &entry : entries()) {
        if (entry.screen)
            screens << entry.screen;
    }
    return screens;
}

} // namespace ScreenRegistry

QSize largestWindow()
{
    return {1366 - 16, 768 - 88}; // a 1366x768 screen less the frame, title and task bars
}

void placeOver(QWidget &next, const QWidget &current)
{
    if (&next == &current || !next.isWindow())
        return;
    if (!next.isVisible()) {
        next.ensurePolished();
        const QSize wanted = next.testAttribute(Qt::WA_Resized) ? next.size() : next.sizeHint();
        next.resize(wanted.boundedTo(largestWindow()).expandedTo(next.minimumSizeHint()));
    }
    if (!current.isVisible())
        return;
    // The frame's offset of the window that stands there, for the one that has none yet.
    const QPoint frame = current.geometry().topLeft() - current.frameGeometry().topLeft();
    QPoint topLeft = current.geometry().center() - QPoint(next.width() / 2, next.height() / 2);
    topLeft -= frame;
    if (const QScreen *screen = current.screen()) {
        const QRect room = screen->availableGeometry();
        if (next.width() + frame.x() * 2 <= room.width() &&
            next.height() + frame.y() + frame.x() <= room.height()) {
            topLeft.setX(std::clamp(topLeft.x(), room.left(),
                                    room.right() + 1 - next.width() - 2 * frame.x()));
            topLeft.setY(std::clamp(topLeft.y(), room.top(),
                                    room.bottom() + 1 - next.height() - frame.y() - frame.x()));
        }
    }
    next.move(topLeft);
}

void showThenHide(QWidget &next, QWidget &current)
{
    placeOver(next, current);
    next.show();
    next.raise();
    next.activateWindow(); // the keys go on to the next screen
    current.hide();
}

void hideThenShow(QWidget &current, QWidget &next)
{
    placeOver(next, current);
    current.hide();
    next.show();
    next.raise();
    next.activateWindow();
}

namespace {
bool walking = false;
std::function<bool()> quitGuard;
} // namespace

void setQuitGuard(std::function<bool()> guard)
{
    quitGuard = std::move(guard);
}

bool programEnding()
{
    return walking;
}

void Fine()
{
    if (walking)
        return;
    walking = true;
    try {
        for (QWidget *window : ScreenRegistry::all()) {
            window->close();
            ScreenRegistry::release(window);
        }
    } catch (const std::exception &error) {
        UserPrompt::current().message(
            QStringLiteral("Errore: 1\nDescr.: %1").arg(QString::fromLocal8Bit(error.what())),
            QStringLiteral("ERRORE IN --> Fine"), UserPrompt::Icon::Critical);
    }
    walking = false;
    QCoreApplication::quit();
}

MainScreen::MainScreen(const char *name, const QString &caption)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
}

void MainScreen::keyPressEvent(QKeyEvent *event)
{
    // Enter that no control took is the default button's, as in a dialog.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const auto buttons = findChildren<QPushButton *>();
        for (QPushButton *button : buttons) {
            if (button->isDefault() && button->isVisible() && button->isEnabled()) {
                event->accept();
                button->click();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

void MainScreen::closeEvent(QCloseEvent *event)
{
    if (!programEnding() && quitGuard && !quitGuard()) {
        event->ignore();
        return;
    }
    event->accept();
    Fine();
}

SecondaryWindow::SecondaryWindow(const char *name, const QString &caption)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
}

void SecondaryWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    ScreenRegistry::release(this);
}
