#pragma once

// Names the application and shows the start screen; the caller then runs the event loop.
void startArdivo();
