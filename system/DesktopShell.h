// Starting a program with the rights of the user's desktop rather than the program's own: an elevated
// setup asks the desktop's shell (the process that owns the desktop window, running with the signed-in
// user's ordinary token) to open the file, so that the installed program never runs as administrator.
#pragma once

#include <string>

namespace yar {

// Asks the desktop's shell to open file with parameters in directory, shown as showMode; true when the
// shell took the request. False when there is no desktop shell to ask (a service, a system without one,
// a shell that does not offer it); the caller decides what then. Needs COM on the calling thread.
bool OpenThroughDesktopShell(const std::string& file, const std::string& parameters,
                             const std::string& directory, int showMode);

} // namespace yar
