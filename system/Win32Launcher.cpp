#include "system/Win32Launcher.h"

#include "system/DesktopShell.h"
#include "system/FileServices.h"

#include <shellapi.h>

namespace yar {

namespace {

// ShellExecuteA takes a missing text as null.
const char* TextOrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

bool TWin32Launcher::Launch(const std::string& file, const std::string& parameters,
                            const std::string& directory) {
    FLastRoute = lrtNone;
    if (FRights == lrDesktopUser && RunsElevated() &&
        OpenThroughDesktopShell(file, parameters, directory, ShowMode_)) {
        FLastRoute = lrtDesktopShell;
        return true;
    }
    // The texts go whole: a path longer than any fixed buffer still names the program it names.
    const HINSTANCE result = ShellExecuteA(Owner_, nullptr, file.c_str(), TextOrNull(parameters),
                                           TextOrNull(directory), ShowMode_);
    // Values up to 32 are error codes, kept in the handle for the sake of 16-bit Windows.
    const bool started = reinterpret_cast<INT_PTR>(result) > 32;
    if (started) FLastRoute = lrtShellExecute;
    return started;
}

} // namespace yar
