// TWinReboot: switches privileges of the process and shuts Windows down or restarts it, through the
// system's restarter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "system/Restarter.h"

namespace yar {

class TWinReboot {
public:
    // Through the Win32 restarter (Windows only).
    TWinReboot();
    // Through restarter, which outlives this component.
    explicit TWinReboot(TRestarter& restarter) : Restarter_(restarter) {}

    // Switches one named privilege of the current process on or off; true when the system
    // accepted the change.
    bool AdjustPrivilege(const std::string& privilege, bool enable) const;
    // Ends the Windows session as the ExitWindowsEx flags say (2: restart), with the shutdown
    // privilege switched on around the call; true when ExitWindowsEx reported success.
    bool RebootWindows(uint32_t flags) const;

private:
    std::unique_ptr<TRestarter> Owned_; // the default restarter
    TRestarter& Restarter_;
};

} // namespace yar
