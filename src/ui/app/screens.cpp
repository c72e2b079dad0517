#include "ui/app/screens.h"

#include "core/userprompt.h"

#include <QCoreApplication>
#include <QPointer>
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

bool mayEndProgram()
{
    return !quitGuard || quitGuard();
}
