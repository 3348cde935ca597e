// A stop request from outside (terminal interrupt or quit, hang-up, termination) closes the windows the normal way, so
// that each ends its document session and deletes its temporary folder instead of leaving it behind.
#pragma once

namespace lantern {

// Routes SIGINT, SIGQUIT, SIGHUP and SIGTERM to QApplication::closeAllWindows() on the event loop. Call once, after
// the application object exists.
void InstallStopSignals();

// True once a stop signal has been handled; a request that arrives before the event loop runs (while a
// start-up message box is open, say) must still end the program.
bool StopRequested();

} // namespace lantern
