// Launching through ShellExecuteA.
#pragma once

#include <windows.h>

#include "system/Launcher.h"

namespace yar {

class TWin32Launcher final : public TLauncher {
public:
    // owner: the window the shell's own messages belong to; none by default. showMode: how the
    // program's window is shown; the installed program is launched with SW_SHOW.
    explicit TWin32Launcher(HWND owner = nullptr, int showMode = SW_SHOW)
        : Owner_(owner), ShowMode_(showMode) {}

    // No verb: the file's default action, whatever the shell registered for it.
    bool Launch(const std::string& file, const std::string& parameters,
                const std::string& directory) override;

private:
    HWND Owner_;
    int ShowMode_;
};

} // namespace yar
