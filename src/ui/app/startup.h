#pragma once

// Names the application and shows the start screen; the caller then runs the event loop. False
// when another copy of Ardivo runs on the same data folder: the project file of the command line
// has been handed to it (or the user told why not), and the program ends at once.
bool startArdivo();
