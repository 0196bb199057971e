#include "setup/WinReboot.h"

#include <windows.h>

namespace yar {

bool TWinReboot::AdjustPrivilege(const std::string& privilege, bool enable) const {
    HANDLE token = nullptr;
    // Without a token the lookup and the adjustment below fail on their own.
    OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
    static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one privilege: count, identifier, attributes");
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    bool result = false;
    if (LookupPrivilegeValueA(nullptr, privilege.c_str(), &privileges.Privileges[0].Luid)) {
        privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
        TOKEN_PRIVILEGES previous{};
        DWORD returned = 0;
        result = AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, &previous, &returned) !=
                 FALSE;
    }
    if (token) CloseHandle(token);
    return result;
}

bool TWinReboot::RebootWindows(uint32_t flags) const {
    AdjustPrivilege("SeShutdownPrivilege", true);
    const bool done = ExitWindowsEx(flags, 0) != FALSE;
    AdjustPrivilege("SeShutdownPrivilege", false);
    return done;
}

} // namespace yar
