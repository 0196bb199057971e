// The uninstaller leaves nothing of itself: a running program cannot delete its own file, so a copy
// in the temporary directory waits for it to end, deletes its file and the emptied installation
// directory, and has itself deleted when Windows next starts.
#pragma once

#include <string>

#include "uninstall/UninstallRules.h"

namespace yar {

// Starts the helper for program, the file of the running process, and with withDirectory its directory;
// false when it cannot be started.
bool StartRemovalHelper(const std::string& program, bool withDirectory);

// The helper's run: waits for the process (at most a minute), deletes the file, removes its
// directory when asked to and that is empty, and schedules its own file for deletion at restart.
int RunRemovalHelper(const TUninstallCommand& command);

} // namespace yar
