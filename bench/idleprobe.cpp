#include "idleprobe.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFile>
#include <QWidget>
#include <cstdio>

namespace {

long statusField(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

class PaintWatcher : public QObject
{
public:
    using QObject::QObject;
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

long residentKiB()
{
    return statusField("VmRSS");
}

long peakResidentKiB()
{
    return statusField("VmHWM");
}

void resetPeakResident()
{
    // Writing 5 to clear_refs sets the peak (VmHWM) back to the memory resident now.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void reportWhenIdle(QWidget *window)
{
    auto *watcher = new PaintWatcher(window);
    window->installEventFilter(watcher);
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     watcher, [watcher] {
                         if (!watcher->painted)
                             return;
                         watcher->painted = false; // report once
                         std::printf("idle %ld\n", residentKiB());
                         std::fflush(stdout);
                         QCoreApplication::exit(0);
                     });
}
