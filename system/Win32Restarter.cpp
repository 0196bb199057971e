#include "system/Win32Restarter.h"

#include <windows.h>
#undef ExitWindows // see Restarter.h

namespace yar {

bool TWin32Restarter::AdjustPrivilege(const std::string& privilege, bool enable) {
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

bool TWin32Restarter::ExitWindows(uint32_t flags) {
    return ExitWindowsEx(flags, 0) != FALSE;
}

} // namespace yar
