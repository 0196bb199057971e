#include "util/CanonicalPaths.h"

#include <vector>

#include "util/EntryNames.h"
#include "util/Text.h"

namespace yar {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

TCanonicalPath Refuse(std::string why) {
    return {{}, std::move(why)};
}

// Why one part of the path (neither "." nor "..") has no single reading; empty when it has one.
std::string PartRefusal(std::string_view part, bool last, bool wildcards) {
    for (const char c : part) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) return "a name holds a control character";
        if (c == '<' || c == '>' || c == '"' || c == '|')
            return "a name holds a character Windows does not allow";
        if ((c == '*' || c == '?') && !(last && wildcards))
            return wildcards ? "a wildcard stands outside the file name" : "a name holds a wildcard";
    }
    if (part.back() == '.' || part.back() == ' ') return "a name ends in a dot or a blank";
    if (IsDeviceName(part)) return "a name is a device (" + std::string(part) + ")";
    return {};
}

} // namespace

TCanonicalPath CanonicalPath(std::string_view path, bool wildcards) {
    if (path.empty()) return Refuse("the path is empty");
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // "\\?\", "\\.\" and their "/" spellings reach devices and the NT namespace; the rest is a share.
        if (path.size() >= 3 && (path[2] == '?' || path[2] == '.') &&
            (path.size() == 3 || IsSeparator(path[3])))
            return Refuse("a device path");
        return Refuse("a network path");
    }
    if (path.size() >= 3 && IsSeparator(path[0]) && path[1] == '?' && path[2] == '?')
        return Refuse("a device path");
    const auto letter = static_cast<unsigned char>(path[0]);
    const bool drive = path.size() >= 2 && path[1] == ':' && (letter | 0x20) >= 'a' && (letter | 0x20) <= 'z';
    if (!drive || path.size() < 3 || !IsSeparator(path[2]))
        return Refuse("not a full path beginning with a drive");
    if (path.find(':', 2) != std::string_view::npos) return Refuse("it names an alternate stream");

    std::vector<std::string_view> parts;
    std::size_t start = 3;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::string_view part = path.substr(start, end - start);
        const bool last = end == path.size();
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        if (std::string why = PartRefusal(part, last, wildcards); !why.empty()) return Refuse(std::move(why));
        parts.push_back(part);
    }
    std::string canonical{UpperAscii(path[0]), ':', '\\'};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) canonical += '\\';
        canonical.append(parts[i]);
    }
    return {canonical, {}};
}

bool CanonicalWithin(std::string_view path, std::string_view dir) {
    if (dir.empty() || path.size() < dir.size() || !SameText(path.substr(0, dir.size()), dir)) return false;
    return path.size() == dir.size() || dir.back() == '\\' || path[dir.size()] == '\\';
}

} // namespace yar
