// Launching through ShellExecuteA.
#pragma once

#include <windows.h>

#include "system/Launcher.h"

namespace yar {

class TWin32Launcher final : public TLauncher {
public:
    // owner: the window the shell's own messages belong to; none by default.
    explicit TWin32Launcher(HWND owner = nullptr) : Owner_(owner) {}

    bool Launch(const std::string& file, const std::string& parameters,
                const std::string& directory) override;

private:
    HWND Owner_;
};

} // namespace yar
