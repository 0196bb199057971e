#include "system/Win32Launcher.h"

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
    const HINSTANCE result = ShellExecuteA(Owner_, "open", file.c_str(), TextOrNull(parameters),
                                           TextOrNull(directory), SW_SHOWNORMAL);
    // Values up to 32 are error codes, kept in the handle for the sake of 16-bit Windows.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace yar
