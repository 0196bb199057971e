#include "config/UninstallNames.h"

#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

std::string UninstallKey(const std::string& title) {
    return std::string(kUninstallListKey) + "\\" + title;
}

std::string CommandLineOf(const std::string& program, const std::string& arguments) {
    // Unquoted, Windows would try C:\Program.exe first for C:\Program Files\...
    const std::string command = Contains(program, " ") ? "\"" + program + "\"" : program;
    return command + " " + arguments;
}

std::string UninstallString(const std::string& TargetDir, const std::string& title) {
    return CommandLineOf(JoinPath(TargetDir, kUninstallerName), title);
}

std::string UninstallProgramOf(const std::string& command) {
    if (command.starts_with('"')) {
        const std::size_t end = command.find('"', 1);
        return end == std::string::npos ? std::string() : command.substr(1, end - 1);
    }
    const std::string upper = UpperCase(command);
    for (std::size_t at = upper.find(".EXE"); at != std::string::npos; at = upper.find(".EXE", at + 1)) {
        const std::size_t end = at + 4;
        if (end == upper.size() || upper[end] == ' ') return command.substr(0, end);
    }
    return {};
}

} // namespace yar
