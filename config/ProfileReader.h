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

    // A line of a section: a line without "=" has a name and no value. Line counts from 1.
    struct TEntry {
        std::string Name;
        std::optional<std::string> Value;
        int Line = 0;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
        int Line = 0;
    };
    // Every section in file order with its lines, blank lines left out: what a check of the file
    // walks. The first section has no name: it holds the lines before the first section line.
    const std::vector<TSection>& Sections() const { return Sections_; }
    // The line of the section the reader takes for name (the first of that name), 0 when none.
    int SectionLine(const std::string& name) const;
    // The line of the key the reader takes for section and key (the first match), 0 when none.
    int KeyLine(const std::string& section, const std::string& key) const;

private:
    TProfileReader() = default;
    void Parse(std::string_view text);
    const TSection* FindSection(const std::string& name) const;
    const TEntry* FindKey(const std::string& section, const std::string& key) const;
    std::vector<std::string_view> ListedNames(const std::string& section) const;

    std::vector<TSection> Sections_;
};

} // namespace yar
