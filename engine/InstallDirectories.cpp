#include "engine/InstallDirectories.h"

#include <algorithm>

#include "util/EntryNames.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

std::string BaseDirectory(TDirectoryBase base, const TDirectoryBases& bases) {
    switch (base) {
    case dbWindows:
        return bases.WindowsDir;
    case dbWindowsSystem:
        return JoinPath(bases.WindowsDir, "System");
    case dbProgramFiles:
        return JoinPath(bases.RootDir, "Program Files");
    case dbInstallDir:
        return bases.TargetDir;
    case dbRoot:
        return bases.RootDir;
    case dbNone:
        break;
    }
    return {};
}

} // namespace

std::string ResolvePath(const TDirectoryRow& row, const TDirectoryBases& bases) {
    const std::string base = BaseDirectory(row.Base, bases);
    return row.Kind == dkFixed ? base : JoinPath(base, row.Path);
}

bool InProtectedFolder(const std::string& path, const TDirectoryBases& bases) {
    for (const std::string& folder : {BaseDirectory(dbProgramFiles, bases), bases.WindowsDir}) {
        const std::string prefix = IncludeTrailingDelimiter(folder);
        if (folder.empty() || !StartsWithText(path, prefix)) continue;
        const std::string rest = ExcludeTrailingDelimiter(path.substr(prefix.size()));
        if (!rest.empty() && UnsafeEntryNameReason(rest).empty()) return true;
    }
    return false;
}

bool HasInstallDirRow(const std::vector<std::string>& DirectoryEntries) {
    return std::ranges::any_of(DirectoryEntries, [](const std::string& value) {
        return SameTag(ParseDirectoryRow(value).Tag, kInstallDirTag);
    });
}

bool RewriteLaunch(std::string& Launch, std::string_view tag, std::string_view path) {
    if (tag.empty() || !StartsWithText(Launch, tag)) return false;
    Launch = IncludeTrailingDelimiter(std::string(path)) + Launch.substr(tag.size());
    return true;
}

} // namespace yar
