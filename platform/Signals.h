#pragma once
// Ending requests from outside: SIGTERM (kill, system shutdown), SIGHUP (the
// session or terminal is gone) and SIGINT (Ctrl+C).  A signal handler may do
// almost nothing safely, so it only passes the signal number through a pipe;
// the handler given here runs later in the event loop, on the user-interface
// thread, where it may write files and end the program.
#include <functional>

namespace platform {

// Installs handler for the three signals, replacing the one set before; an
// empty handler restores their default action.  Each signal is caught once:
// a second one of the same kind ends the process at once, the way out when
// the user-interface thread does not come back to its event loop.
void setTerminationHandler(std::function<void(int signal)> handler);

}  // namespace platform
