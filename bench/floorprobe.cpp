#include "idleprobe.h"

#include <QApplication>
#include <QLabel>

// The least a Qt Widgets program does: one label in one window.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Ardivo"));
    label.show();
    reportWhenIdle(&label);
    return app.exec();
}
