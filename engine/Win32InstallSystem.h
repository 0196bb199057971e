// The machine the install changes, on Windows: the system's file calls, profile functions,
// registry, shell-link object and shell. What the wizard window hands its install engine.
#pragma once

#include <windows.h>

#include <string>

#include "engine/InstallEngine.h"
#include "system/Win32Files.h"
#include "system/Win32IniFiles.h"
#include "system/Win32Launcher.h"
#include "system/Win32Registry.h"
#include "system/Win32ShellLinks.h"

namespace yar {

class TWin32InstallSystem {
public:
    // owner: the window the launched program's shell messages belong to (the background window).
    // journalDir: the install's new journal directory; empty for none.
    explicit TWin32InstallSystem(HWND owner = nullptr, std::string journalDir = {})
        : Launcher_(owner, SW_SHOW, lrDesktopUser), FJournalDir(std::move(journalDir)) {}

    TInstallSystem System() { return {Files_, Ini_, Registry_, Links_, Launcher_, FJournalDir}; }

private:
    TWin32InstallFiles Files_;
    TWin32IniFiles Ini_;
    TWin32Registry Registry_;
    TWin32ShellLinks Links_;
    TWin32Launcher Launcher_;
    std::string FJournalDir;
};

} // namespace yar
