#pragma once

class QWidget;

// Resident memory of this process in KiB, now and at its peak (0 where it cannot be read).
long residentKiB();
long peakResidentKiB();
// Counts the peak afresh from the memory resident now (Linux; elsewhere nothing happens).
void resetPeakResident();

// Once `window` has been painted and the event loop has nothing left to do, prints
// "idle <resident KiB>" on standard output and quits the application.
void reportWhenIdle(QWidget *window);
