#include "ui/kit/navigation.h"

#include <QWidget>

ScreenRouter &RoutedWindow::router() const
{
    if (!m_router)
        qFatal("A window was created without a screen router");
    return *m_router;
}

ProjectCommands &ProjectCommandsUser::projectCommands() const
{
    if (!m_commands)
        qFatal("A window was created without the project commands");
    return *m_commands;
}

void bringForward(QWidget &window)
{
    window.show();
    window.raise();
}
