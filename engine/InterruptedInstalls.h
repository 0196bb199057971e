// On Windows: the installs on this machine that were killed, undone through their journals before
// install.exe or uninstaller.exe does anything else.
#pragma once

#include <string>
#include <vector>

#include "engine/InstallJournal.h"
#include "system/InstallJournals.h"
#include "system/Win32Files.h"
#include "system/Win32Registry.h"

namespace yar {

// What the user is told, one line each (empty when there were none). Raises EInOutError when the
// journals' directory cannot be trusted.
inline std::vector<std::string> UndoInterruptedInstalls() {
    TWin32Files files;
    TWin32Registry registry;
    const std::string journals = JournalsDirectory();
    std::vector<std::string> told = UndoInterruptedInstalls(files, registry, journals, InstallRunning);
    RemoveEmptyJournalsDirectory(journals);
    return told;
}

} // namespace yar
