// Privileges through the process token (advapi32), the end of the session through ExitWindowsEx.
#pragma once

#include "system/Restarter.h"

namespace yar {

class TWin32Restarter final : public TRestarter {
public:
    TWin32Restarter() = default;

    bool AdjustPrivilege(const std::string& privilege, bool enable) override;
    bool ExitWindows(uint32_t flags) override;
};

} // namespace yar
