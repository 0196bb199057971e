// A profile (INI) file read with the rules of the Windows profile functions, for the command-line
// tool and for every target without them: section and key names match without regard to case
// (Windows-1252 letters), the first matching section and the first matching key win, blanks
// around names and values are dropped, a value enclosed in matching quotes loses them, lines
// starting with ";" are comments and lines without "=" are not listed as keys, carriage returns
// and line feeds each end a line, a missing file reads as empty, values are cut at 1023
// characters and listings at their 8192-byte buffer.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/ProfileSource.h"

namespace yar {

class TProfileReader final : public TProfileSource {
public:
    // Reads fileName; a missing or unreadable file reads as empty.
    explicit TProfileReader(const std::string& fileName);
    // Reads text as the content of a profile file.
    static std::unique_ptr<TProfileReader> FromText(std::string_view text);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    std::vector<std::string> ReadKeyNames(const std::string& section) const override;
    std::vector<std::string> ReadSectionLines(const std::string& section) const override;
    // The key names as ReadKeyNames lists them, every one of them: no buffer cuts the list.
    std::vector<std::string> AllKeyNames(const std::string& section) const;

private:
    // A line of a section: a line without "=" has a name and no value.
    struct TEntry {
        std::string Name;
        std::optional<std::string> Value;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };

    TProfileReader() = default;
    void Parse(std::string_view text);
    const TSection* FindSection(const std::string& name) const;
    std::vector<std::string_view> ListedNames(const std::string& section) const;

    // The first section has no name: it holds the lines before the first section line.
    std::vector<TSection> Sections_;
};

} // namespace yar
