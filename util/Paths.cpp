#include "util/Paths.h"

namespace yar {

namespace {

// The length of the directory part of path, its last separator or drive colon included. A colon
// is a drive's only as the second character: elsewhere it is part of a name on the host.
std::size_t DirectoryLength(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsPathDelimiter(path[i - 1])) return i;
    return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

} // namespace

std::string IncludeTrailingDelimiter(std::string path) {
    if (path.empty() || !IsPathDelimiter(path.back())) path += kPathDelimiter;
    return path;
}

std::string ExcludeTrailingDelimiter(std::string path) {
    if (!path.empty() && IsPathDelimiter(path.back())) path.pop_back();
    return path;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    while (!name.empty() && IsPathDelimiter(name.front())) name.remove_prefix(1);
    return IncludeTrailingDelimiter(std::string(dir)) + std::string(name);
}

std::string ExtractFilePath(std::string_view path) {
    return std::string(path.substr(0, DirectoryLength(path)));
}

std::string ExtractFileDir(std::string_view path) {
    std::string dir = ExtractFilePath(path);
    if (dir.size() > 1 && IsPathDelimiter(dir.back()) && !IsDriveRoot(dir)) dir.pop_back();
    return dir;
}

std::string ExtractFileName(std::string_view path) {
    return std::string(path.substr(DirectoryLength(path)));
}

bool IsDriveRoot(std::string_view path) {
    // Windows takes "/" for "\" in a root, whatever the stored names' rule is.
    const auto isSlash = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() == 1) return isSlash(path[0]);
    return (path.size() == 2 || (path.size() == 3 && isSlash(path[2]))) && path[1] == ':';
}

std::string PathFrom(std::string_view dir, std::string_view path) {
    const auto isSlash = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 3 && path[1] == ':' && isSlash(path[2])) return std::string(path);
    if (!path.empty() && isSlash(path[0])) {
        if (path.size() >= 2 && isSlash(path[1])) return std::string(path); // \\server\share
        return dir.size() >= 2 && dir[1] == ':' ? std::string(dir.substr(0, 2)).append(path)
                                                : std::string(path);
    }
    return JoinPath(dir, path);
}

} // namespace yar
