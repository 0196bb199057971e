#include "system/Win32IniFiles.h"

#include "util/Text.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include <windows.h>

namespace yar {

bool TWin32IniFiles::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

namespace {

bool IsIniBlank(char c) {
    return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' ';
}

// A key's name as the profile functions match it: without the blanks at either end.
std::string_view KeyName(std::string_view entry) {
    entry = entry.substr(0, entry.find('='));
    while (!entry.empty() && IsIniBlank(entry.front())) entry.remove_prefix(1);
    while (!entry.empty() && IsIniBlank(entry.back())) entry.remove_suffix(1);
    return entry;
}

// The section's entries ("name=value"), as the profile functions hand them out; nothing when the
// file cannot be read.
std::vector<std::string> SectionEntries(const std::string& file, const std::string& section) {
    std::vector<char> buffer(65536);
    DWORD length = 0;
    // A buffer too small gives its size less two: read again into one twice as large.
    while ((length = GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                               static_cast<DWORD>(buffer.size()), file.c_str())) ==
           buffer.size() - 2)
        buffer.resize(buffer.size() * 2);
    std::vector<std::string> entries;
    for (std::size_t at = 0; at < length;) {
        const std::string entry(buffer.data() + at);
        at += entry.size() + 1;
        if (!entry.empty()) entries.push_back(entry);
    }
    return entries;
}

} // namespace

bool TWin32IniFiles::AddKeys(const std::string& file, const std::string& section,
                             const std::vector<std::string>& keys) {
    std::vector<std::string> entries = SectionEntries(file, section);
    const auto holds = [&](const std::string& key) {
        return std::ranges::any_of(
            entries, [&](const std::string& entry) { return SameText(KeyName(entry), KeyName(key)); });
    };
    bool changed = false;
    for (const std::string& key : keys)
        if (!holds(key)) {
            entries.push_back(key + "=");
            changed = true;
        }
    if (!changed) return true;
    // The section as one block: entries each ended by a NUL, the block by another.
    std::string block;
    for (const std::string& entry : entries) block.append(entry).push_back('\0');
    block.push_back('\0');
    return WritePrivateProfileSectionA(section.c_str(), block.data(), file.c_str()) != 0;
}

bool TWin32IniFiles::DeleteSection(const std::string& file, const std::string& section) {
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file.c_str()) != 0;
}

std::string TWin32IniFiles::ReadString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& fallback) const {
    std::array<char, kIniValueBufferSize> buffer{};
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), length);
}

} // namespace yar
