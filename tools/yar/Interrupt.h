// Ctrl-C and SIGTERM during a run: the signal only asks to stop, and the run stops at its next step
// by an exception, so that unwinding removes the file being written and the temporary copies.
#pragma once

#include <stdexcept>

namespace yar::tool {

class EInterrupted : public std::runtime_error {
public:
    EInterrupted() : std::runtime_error("interrupted") {}
};

// Installs the handlers of SIGINT and SIGTERM (the console's Ctrl-C and Ctrl-Break on Windows).
void InstallStopHandlers();
// What a handler does; safe inside a signal handler.
void RequestStop(int signal);
// Forgets a request (for tests that ask for one).
void ClearStopRequest();
// Raises EInterrupted once a stop was asked for.
void ThrowIfStopRequested();
// Ends the process as the signal that asked for the stop would have ended it.
[[noreturn]] void EndByStopSignal();

} // namespace yar::tool
