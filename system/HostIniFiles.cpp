#include "system/HostIniFiles.h"

#include "util/Paths.h"
#include "util/Text.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace yar {

namespace {

struct TIniKey {
    std::string Name;
    std::optional<std::string> Value;
};

struct TIniSection {
    std::string Name;
    std::vector<TIniKey> Keys;
};

using TIniContent = std::vector<TIniSection>;

bool IsIniBlank(char c) {
    return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' ';
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsIniBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsIniBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

TIniContent Parse(const std::vector<std::string>& lines) {
    TIniContent content;
    // An empty file has not even the unnamed section.
    if (lines.empty()) return content;
    content.push_back({});
    for (const std::string& raw : lines) {
        const std::string_view line = Trim(raw);
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                content.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
                continue;
            }
        }
        TIniKey key;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            key.Name = line;
        } else {
            key.Name = TrimRight(line.substr(0, equals));
            key.Value = std::string(TrimLeft(line.substr(equals + 1)));
        }
        std::vector<TIniKey>& keys = content.back().Keys;
        if (key.Name.empty() && !keys.empty() && keys.back().Name.empty()) continue;
        keys.push_back(std::move(key));
    }
    return content;
}

std::vector<std::string> Lines(const TIniContent& content) {
    std::vector<std::string> lines;
    for (const TIniSection& section : content) {
        if (!section.Name.empty()) lines.push_back("[" + section.Name + "]");
        std::ranges::transform(section.Keys, std::back_inserter(lines), [](const TIniKey& key) {
            return key.Value ? key.Name + "=" + *key.Value : key.Name;
        });
    }
    return lines;
}

template <typename Items> auto FindNamed(Items& items, std::string_view name) {
    return std::ranges::find_if(items, [&](const auto& item) { return SameText(item.Name, name); });
}

// A value as the profile functions hand it out through a buffer of kIniValueBufferSize: one pair of
// enclosing quotes goes, and the text is cut to fit. A quoted value that just misses fitting loses a
// character of its own as well (Wine cuts first, then drops the last character).
std::string BufferedValue(std::string_view value) {
    const bool quoted =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    if (quoted) value.remove_prefix(1);
    std::string out(value.substr(0, kIniValueBufferSize - 1));
    if (quoted && value.size() <= kIniValueBufferSize) out.pop_back();
    return out;
}

// The content of an INI file; empty for a file that is not there in a directory that is, nothing
// when the file cannot be opened (for writing, a read-only file cannot).
std::optional<TIniContent> Load(const TFiles& files, const std::string& path, bool forWriting) {
    if (const auto lines = files.ReadLines(path)) {
        const auto attributes = files.Attributes(path);
        if (forWriting && attributes && (*attributes & faReadOnly) != 0) return std::nullopt;
        return Parse(*lines);
    }
    if (!files.FileExists(path) && !files.DirectoryExists(path) &&
        files.DirectoryExists(ExtractFileDir(path)))
        return TIniContent{};
    return std::nullopt;
}

} // namespace

std::string THostIniFiles::Locate(const std::string& file) const {
    const bool bare = file.find_first_of("\\/") == std::string::npos && !(file.size() >= 2 && file[1] == ':');
    return bare ? JoinPath(Files_.WindowsDirectory(), file) : file;
}

bool THostIniFiles::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& value) {
    const std::string path = Locate(file);
    auto content = Load(Files_, path, true);
    if (!content) return false;
    const std::string newValue(TrimLeft(value));
    auto found = FindNamed(*content, Trim(section));
    if (found == content->end()) {
        content->push_back({std::string(TrimLeft(section)), {{std::string(TrimLeft(key)), newValue}}});
    } else if (auto entry = FindNamed(found->Keys, Trim(key)); entry == found->Keys.end()) {
        found->Keys.push_back({std::string(TrimLeft(key)), newValue});
    } else if (entry->Value == newValue) {
        return true;
    } else {
        entry->Value = newValue;
    }
    return Files_.WriteLines(path, Lines(*content));
}

bool THostIniFiles::AddKeys(const std::string& file, const std::string& section,
                            const std::vector<std::string>& keys) {
    const std::string path = Locate(file);
    auto content = Load(Files_, path, true);
    if (!content) return false;
    auto found = FindNamed(*content, Trim(section));
    bool changed = false;
    for (const std::string& key : keys) {
        if (found == content->end()) {
            content->push_back({std::string(TrimLeft(section)), {}});
            found = std::prev(content->end());
        }
        if (FindNamed(found->Keys, Trim(key)) != found->Keys.end()) continue;
        found->Keys.push_back({std::string(TrimLeft(key)), std::string()});
        changed = true;
    }
    return !changed || Files_.WriteLines(path, Lines(*content));
}

bool THostIniFiles::DeleteSection(const std::string& file, const std::string& section) {
    const std::string path = Locate(file);
    auto content = Load(Files_, path, true);
    if (!content) return false;
    // The name is matched as given, blanks and all.
    const auto found = FindNamed(*content, section);
    if (found == content->end()) return true;
    content->erase(found);
    return Files_.WriteLines(path, Lines(*content));
}

std::string THostIniFiles::ReadString(const std::string& file, const std::string& section,
                                      const std::string& key, const std::string& fallback) const {
    // The fallback loses trailing spaces, all but a first character.
    std::string shownFallback = fallback;
    while (shownFallback.size() > 1 && shownFallback.back() == ' ') shownFallback.pop_back();
    const auto content = Load(Files_, Locate(file), false);
    if (!content) return shownFallback.substr(0, kIniValueBufferSize - 1);
    const auto found = FindNamed(*content, Trim(section));
    if (found != content->end()) {
        const auto entry = FindNamed(found->Keys, Trim(key));
        if (entry != found->Keys.end() && entry->Value) return BufferedValue(*entry->Value);
    }
    return BufferedValue(shownFallback);
}

} // namespace yar
