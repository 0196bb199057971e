// TWinReboot: switches privileges of the process and shuts Windows down or restarts it.
#pragma once

#include <cstdint>
#include <string>

namespace yar {

class TWinReboot {
public:
    // Switches one named privilege of the current process on or off; true when the system
    // accepted the change.
    bool AdjustPrivilege(const std::string& privilege, bool enable) const;
    // Ends the Windows session as the ExitWindowsEx flags say (2: restart), with the shutdown
    // privilege switched on around the call; true when ExitWindowsEx reported success.
    bool RebootWindows(uint32_t flags) const;
};

} // namespace yar
