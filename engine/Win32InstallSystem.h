// The machine the install changes, on Windows: the system's file calls, profile functions,
// registry, shell-link object and shell. What the wizard window hands its install engine.
#pragma once

#include <windows.h>

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
    explicit TWin32InstallSystem(HWND owner = nullptr) : Launcher_(owner, SW_SHOW, lrDesktopUser) {}

    TInstallSystem System() { return {Files_, Ini_, Registry_, Links_, Launcher_}; }

private:
    TWin32Files Files_;
    TWin32IniFiles Ini_;
    TWin32Registry Registry_;
    TWin32ShellLinks Links_;
    TWin32Launcher Launcher_;
};

} // namespace yar
