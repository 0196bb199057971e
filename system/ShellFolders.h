// The folders of the user's shell (desktop, Start Menu, Programs) as the per-user registry names
// them.
#pragma once

#include <string>

#include "system/Registry.h"

namespace yar {

// Below HKEY_CURRENT_USER: one string value per folder, named after it.
inline constexpr const char* kShellFoldersKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The folder of that value name with a trailing "\"; when the value is missing or empty (an empty
// path names no folder), windowsDir + "\" + valueName + "\".
std::string ShellFolderPath(const TRegistry& registry, const std::string& valueName,
                            const std::string& windowsDir);

} // namespace yar
