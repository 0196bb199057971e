// The commands of yardrive and their exit codes.
#pragma once

#include <string>
#include <vector>

namespace yardrive {

// Exit codes the test scripts rely on.
enum ExitCode : int {
    ExitOk = 0,        // done, or the asked-for state holds
    ExitNotFound = 1,  // no such window (without --timeout)
    ExitTimeout = 2,   // the window or state did not come within the time limit
    ExitFalse = 3,     // found, but the asked-for state does not hold (unchecked, hidden, disabled)
    ExitNoControl = 4, // the window is there, the control is not
    ExitUsage = 64,
};

// Runs one command line (without the program name) and returns its exit code.
int Run(const std::vector<std::string>& args);

// Bare carriage returns, line feeds, tabs, backslashes and other control bytes as C-style escapes.
std::string Escaped(const std::string& text);
// The text Escaped wrote.
std::string Unescaped(const std::string& text);

} // namespace yardrive
