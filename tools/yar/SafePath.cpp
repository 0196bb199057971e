#include "tools/yar/SafePath.h"

#include "util/EntryNames.h"

#include <cctype>

namespace yar::tool {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Control characters and those Windows reserves (":" would name an alternate data stream).
std::string PlainCharacters(std::string component) {
    for (char& c : component) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) c = '_';
    }
    // Windows drops trailing dots and blanks, which would make "..." or "a. " other names.
    while (!component.empty() && (component.back() == '.' || component.back() == ' ')) component.pop_back();
    if (IsDeviceName(component)) component = "_" + component;
    return component;
}

} // namespace

std::vector<std::string> SafeComponents(const std::string& storedPath) {
    std::string path = storedPath;
    // A drive letter ("c:"), also after leading separators as in "\c:\x".
    const auto first = path.find_first_not_of("\\/");
    if (first != std::string::npos && path.size() >= first + 2 && path[first + 1] == ':' &&
        std::isalpha(static_cast<unsigned char>(path[first])))
        path.erase(0, first + 2);

    std::vector<std::string> parts;
    std::string current;
    auto flush = [&] {
        if (!current.empty() && current != "." && current != "..") {
            std::string plain = PlainCharacters(current);
            if (!plain.empty()) parts.push_back(std::move(plain));
        }
        current.clear();
    };
    for (const char c : path) {
        if (IsSeparator(c))
            flush();
        else
            current += c;
    }
    flush();
    return parts;
}

namespace {
bool Glob(const char* p, const char* s) {
    for (; *p != '\0'; ++p, ++s) {
        if (*p == '*') {
            while (p[1] == '*') ++p;
            for (const char* rest = s;; ++rest) {
                if (Glob(p + 1, rest)) return true;
                if (*rest == '\0') return false;
            }
        }
        if (*s == '\0') return false;
        if (*p != '?' &&
            std::toupper(static_cast<unsigned char>(*p)) != std::toupper(static_cast<unsigned char>(*s)))
            return false;
    }
    return *s == '\0';
}
} // namespace

std::string SafeRelativePath(const std::string& storedPath) {
    std::string out;
    for (const std::string& part : SafeComponents(storedPath)) {
        if (!out.empty()) out += '/';
        out += part;
    }
    return out;
}

bool MatchesEntryPattern(const std::string& pattern, const std::string& storedPath) {
    const auto parts = SafeComponents(storedPath);
    if (parts.empty()) return false;
    std::string p = pattern;
    for (char& c : p)
        if (c == '\\') c = '/';
    const bool nameOnly = p.find('/') == std::string::npos;
    return Glob(p.c_str(), nameOnly ? parts.back().c_str() : SafeRelativePath(storedPath).c_str());
}

std::string SafeTargetPath(const std::string& dir, const std::string& storedPath) {
    const auto parts = SafeComponents(storedPath);
    if (parts.empty()) return {};
#ifdef _WIN32
    constexpr char sep = '\\';
#else
    constexpr char sep = '/';
#endif
    std::string out = dir;
    for (const std::string& part : parts) {
        if (!out.empty() && !IsSeparator(out.back())) out += sep;
        out += part;
    }
    return out;
}

} // namespace yar::tool
