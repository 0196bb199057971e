#include "system/Restarter.h"

#include <ostream>

namespace yar {

std::ostream& operator<<(std::ostream& out, const TRestartCall& call) {
    if (call.Kind == TRestartCall::rkExitWindows) return out << "ExitWindows(" << call.Flags << ")";
    return out << "AdjustPrivilege(\"" << call.Privilege << "\", " << (call.Enable ? "on" : "off") << ")";
}

bool TRecordedRestarter::AdjustPrivilege(const std::string& privilege, bool enable) {
    Calls_.push_back({TRestartCall::rkAdjustPrivilege, privilege, enable, 0});
    return PrivilegeResult_;
}

bool TRecordedRestarter::ExitWindows(uint32_t flags) {
    Calls_.push_back({TRestartCall::rkExitWindows, {}, false, flags});
    return ExitResult_;
}

} // namespace yar
