#include "setup/WinReboot.h"

namespace yar {

bool TWinReboot::AdjustPrivilege(const std::string& privilege, bool enable) const {
    return Restarter_.AdjustPrivilege(privilege, enable);
}

bool TWinReboot::RebootWindows(uint32_t flags) const {
    // Where the privilege cannot be had the system is asked all the same: older Windows need none.
    AdjustPrivilege("SeShutdownPrivilege", true);
    const bool done = Restarter_.ExitWindows(flags);
    AdjustPrivilege("SeShutdownPrivilege", false);
    return done;
}

} // namespace yar
