#pragma once

class QWidget;

// Resident memory of this process in KiB, now and at its peak (0 where it cannot be read).
long residentKiB();
long peakResidentKiB();

// Once `window` has been painted and the event loop has nothing left to do, prints
// "idle <resident KiB>" on standard output and quits the application.
void reportWhenIdle(QWidget *window);
