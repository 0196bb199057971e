#include "system/ShellFolders.h"

#include "util/Paths.h"

namespace yar {

std::string ShellFolderPath(const TRegistry& registry, const std::string& valueName,
                            const std::string& windowsDir) {
    const auto value = registry.ReadString(rrCurrentUser, kShellFoldersKey, valueName);
    if (value && !value->empty()) return IncludeTrailingDelimiter(*value);
    return IncludeTrailingDelimiter(JoinPath(windowsDir, valueName));
}

} // namespace yar
