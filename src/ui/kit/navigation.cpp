#include "ui/kit/navigation.h"

#include <QWidget>

namespace {
Navigation *installed = nullptr;
} // namespace

Navigation &Navigation::current()
{
    if (!installed)
        qFatal("No navigation is installed");
    return *installed;
}

void Navigation::install(Navigation *navigation)
{
    installed = navigation;
}

void bringForward(QWidget &window)
{
    window.show();
    window.raise();
}
