#include "system/DllSearch.h"

#include <span>

namespace yar {

namespace {

// Not in every system's headers: Windows 8, or Windows 7 with KB2533623.
constexpr DWORD kSearchSystem32 = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32

using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);

void LoadFromSystem(std::span<const char* const> names) {
    for (const char* name : names) {
        const std::string path = SystemDllPath(name);
        // A DLL the system does not have is none a component can load either: nothing to take first.
        if (!path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            LoadLibraryA(path.c_str());
    }
}

} // namespace

std::string SystemDllPath(const std::string& name) {
    char dir[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(dir, sizeof dir);
    if (length == 0 || length >= sizeof dir) return {};
    return std::string(dir, length) + "\\" + name;
}

void RestrictDllSearch() {
    // kernel32 is loaded in every process; the function is looked up as the system may lack it.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto restrict = reinterpret_cast<TSetDefaultDllDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (restrict == nullptr || !restrict(kSearchSystem32)) SetDllDirectoryA("");
    LoadFromSystem(kSystemComponentDlls);
}

void LoadWindowComponentDlls() {
    LoadFromSystem(kWindowComponentDlls);
}

} // namespace yar
