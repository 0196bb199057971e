#include "uninstall/UninstallRules.h"

#include "config/Texts.h"

#include <algorithm>
#include <array>
#include <vector>

#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

// The system's own files, by name: start-up files and the INI files Windows keeps for itself.
constexpr std::array<std::string_view, 12> kSystemFileNames = {
    "WIN.INI", "SYSTEM.INI",  "AUTOEXEC.BAT", "CONFIG.SYS", "AUTOEXEC.YAR", "MSDOS.SYS",
    "IO.SYS",  "COMMAND.COM", "BOOT.INI",     "NTLDR",      "PROTOCOL.INI", "CONTROL.INI",
};

// Keys shared by the system and every program: never deleted, nor anything below them.
constexpr std::array<std::string_view, 17> kSharedTrees = {
    "SOFTWARE\\MICROSOFT",
    "SOFTWARE\\CLASSES",
    "SOFTWARE\\POLICIES",
    "SOFTWARE\\WOW6432NODE\\MICROSOFT",
    "SOFTWARE\\WOW6432NODE\\CLASSES",
    "SOFTWARE\\WOW6432NODE\\POLICIES",
    "SYSTEM",
    "HARDWARE",
    "SAM",
    "SECURITY",
    "CONTROL PANEL",
    "ENVIRONMENT",
    "APPEVENTS",
    "KEYBOARD LAYOUT",
    "PRINTERS",
    "NETWORK",
    "CONSOLE",
};

// Keys directly below a root that the system keeps, besides the shared trees.
constexpr std::array<std::string_view, 5> kSystemTopKeys = {
    "SOFTWARE", "BCD00000000", "EUDC", "IDENTITIES", "VOLATILE ENVIRONMENT",
};

// Shared keys whose own subkeys belong to single programs.
constexpr std::array<std::string_view, 5> kSharedKeys = {
    "SOFTWARE\\WOW6432NODE", "SOFTWARE\\CLIENTS", "SOFTWARE\\ODBC", "SOFTWARE\\REGISTEREDAPPLICATIONS",
    "SOFTWARE\\DESCRIPTION",
};

bool Matches(std::string_view name, std::string_view pattern) {
    // Greedy match with one back-track point for the last "*": linear enough for file names.
    std::size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || UpperAscii(pattern[p]) == UpperAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// The words of a command line: blanks separate, quotes group and are dropped.
std::vector<std::string> CommandWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

constexpr std::string_view kRemoveAfterSwitch = "/REMOVE-AFTER";
constexpr std::string_view kWithDirectorySwitch = "/WITH-DIRECTORY";

} // namespace

std::string RemoveQuestion(const std::string& title) {
    return Tr(txRemoveQuestion, {title});
}

std::string NoRecordMessage(const std::string& recordPath) {
    return "There is nothing to remove: " + recordPath +
           " is missing. The program has already been removed, or was never installed here.";
}

std::string DamagedRecordMessage(const std::string& recordPath) {
    return "The uninstall information " + recordPath + " is damaged: nothing was removed.";
}

std::string UntrustedRecordMessage(const std::string& recordPath, const std::string& reason) {
    return "The uninstall information " + recordPath + " cannot be trusted: " + reason +
           ". Nothing was removed.";
}

std::vector<std::string> PathsThatMustNotBeLinks(const std::string& path, const std::string& TargetDir) {
    // Below the installation directory the levels up to it, which was checked with the record; elsewhere
    // every level up to the drive's root: a link one level higher would lead there as well.
    const bool within = IsWithin(path, TargetDir);
    std::vector<std::string> paths;
    for (std::string level = ExcludeTrailingDelimiter(path);
         !level.empty() && !IsDriveRoot(level) && !(within && SamePath(level, TargetDir));) {
        paths.insert(paths.begin(), level);
        std::string parent = ExtractFileDir(level);
        if (parent.size() >= level.size()) break;
        level = std::move(parent);
    }
    return paths;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (Matches(name, pattern)) return true;
    // "name.*" also takes "name": the system reads a missing extension as an empty one.
    return pattern.ends_with(".*") && !Contains(name, ".") &&
           Matches(name, pattern.substr(0, pattern.size() - 2));
}

bool HasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

bool IsNamePattern(std::string_view pattern) {
    if (!pattern.ends_with(".*")) return false;
    const std::string_view stem = pattern.substr(0, pattern.size() - 2);
    return !stem.empty() && !HasWildcard(stem);
}

bool SamePath(std::string_view a, std::string_view b) {
    return SameText(ExcludeTrailingDelimiter(std::string(a)), ExcludeTrailingDelimiter(std::string(b)));
}

bool IsWithin(std::string_view path, std::string_view dir) {
    const std::string p = UpperCase(ExcludeTrailingDelimiter(std::string(path)));
    const std::string d = UpperCase(ExcludeTrailingDelimiter(std::string(dir)));
    if (d.empty()) return false;
    return p == d || (p.size() > d.size() && p.starts_with(d) && IsPathDelimiter(p[d.size()]));
}

std::string ProtectedFileReason(const std::string& path, const std::string& WindowsDir,
                                const std::string& TargetDir) {
    const std::string name = UpperCase(ExtractFileName(path));
    if (std::ranges::find(kSystemFileNames, name) != kSystemFileNames.end()) return "a file of the system";
    if (!name.ends_with(".INI")) return {};
    const std::string dir = ExtractFileDir(path);
    for (const char* systemDir : {"", "SYSTEM", "SYSTEM32"})
        if (SamePath(dir, JoinPath(WindowsDir, systemDir))) return "an INI file of the system";
    if (!IsWithin(path, TargetDir))
        return "an INI file outside the installation directory: the values written into it stay";
    return {};
}

std::string ProtectedKeyReason(const std::string& key, bool madeByInstall) {
    const std::vector<std::string> names = KeyPathNames(key);
    if (names.empty() || (names.size() < 2 && !madeByInstall)) return "fewer than two levels below its root";
    const std::string upper = UpperAnsiText(NormalKeyPath(key));
    if (std::ranges::find(kSystemTopKeys, upper) != kSystemTopKeys.end()) return "a key of the system";
    for (std::string_view tree : kSharedTrees)
        if (upper == tree || (upper.starts_with(tree) && upper[tree.size()] == '\\'))
            return "a key the system and other programs share";
    if (std::ranges::find(kSharedKeys, upper) != kSharedKeys.end()) return "a key other programs share";
    return {};
}

TUninstallCommand ParseUninstallCommand(std::string_view commandLine) {
    const std::vector<std::string> words = CommandWords(commandLine);
    TUninstallCommand command;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (SameText(words[i], "/S")) {
            command.Silent = true;
        } else if (SameText(words[i], kRemoveAfterSwitch) && i + 2 < words.size()) {
            const std::string& id = words[i + 1];
            // Process ids fit nine digits; a longer number is no id of ours.
            if (id.empty() || id.size() > 9 ||
                !std::ranges::all_of(id, [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            command.WaitFor = std::stoul(id);
            command.RemoveAfter = words[i + 2];
            i += 2;
        } else if (SameText(words[i], kWithDirectorySwitch)) {
            command.WithDirectory = true;
        }
    }
    return command;
}

std::string RemoveAfterArguments(unsigned long processId, const std::string& file, bool withDirectory) {
    std::string arguments =
        std::string(kRemoveAfterSwitch) + " " + std::to_string(processId) + " \"" + file + "\"";
    if (withDirectory) arguments.append(" ").append(kWithDirectorySwitch);
    return arguments;
}

} // namespace yar
