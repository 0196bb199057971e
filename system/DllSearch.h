// Where the program's process looks for DLLs. A program started from a Downloads folder or a share finds
// whatever lies beside it first; an elevated setup must take system DLLs from the system's own directory.
#pragma once

#include <windows.h>

#include <string>

namespace yar {

// The DLLs system components load by name on the way to the first window (themes, the shell, COM, GDI+
// and their helpers), none of them known DLLs: each would be taken from beside the program otherwise.
// The theme library stands apart: loading it reads the display's settings, which under Wine starts the
// desktop process, and only windows load it.
inline constexpr const char* kSystemComponentDlls[] = {
    "version.dll", "dwmapi.dll",      "propsys.dll",  "windowscodecs.dll", "cryptbase.dll", "oleacc.dll",
    "clbcatq.dll", "userenv.dll",     "setupapi.dll", "apphelp.dll",       "profapi.dll",   "sspicli.dll",
    "wldp.dll",    "textshaping.dll", "gdiplus.dll",  "ntmarta.dll",
};
inline constexpr const char* kWindowComponentDlls[] = {"uxtheme.dll"};

// The first thing every program of ours does: DLLs are looked for in the system directory only
// (SetDefaultDllDirectories where the system has it, else at least not in the current directory), and
// the system components' DLLs are loaded from there at once, so that a later load by name finds them
// loaded. A program that makes windows loads the window components' with LoadWindowComponentDlls before
// its first window.
void RestrictDllSearch();
void LoadWindowComponentDlls();

// The path of name in the system directory.
std::string SystemDllPath(const std::string& name);

} // namespace yar
