// Launching through the shell: the desktop's, for a program that must not inherit administrator rights,
// else ShellExecuteA.
#pragma once

#include <windows.h>

#include "system/Launcher.h"

namespace yar {

// With whose rights a launched program runs.
enum TLaunchRights {
    lrOwn,         // the launching program's
    lrDesktopUser, // the signed-in user's, through the desktop's shell, when the launcher is elevated
};

// How the last launch reached the program.
enum TLaunchRoute { lrtNone, lrtDesktopShell, lrtShellExecute };

class TWin32Launcher final : public TLauncher {
public:
    // owner: the window the shell's own messages belong to; none by default. showMode: how the
    // program's window is shown; the installed program is launched with SW_SHOW.
    explicit TWin32Launcher(HWND owner = nullptr, int showMode = SW_SHOW, TLaunchRights rights = lrOwn)
        : Owner_(owner), ShowMode_(showMode), FRights(rights) {}

    // No verb: the file's default action, whatever the shell registered for it. For lrDesktopUser an
    // elevated launcher asks the desktop's shell first; where there is none to ask (a service, an
    // unattended deployment as SYSTEM, a system without it) it starts the program itself.
    bool Launch(const std::string& file, const std::string& parameters,
                const std::string& directory) override;

    TLaunchRoute LastRoute() const { return FLastRoute; }

private:
    HWND Owner_;
    int ShowMode_;
    TLaunchRights FRights;
    TLaunchRoute FLastRoute = lrtNone;
};

} // namespace yar
