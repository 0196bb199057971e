#include "config/ConfigRecords.h"

#include <algorithm>
#include <array>
#include <utility>

#include "config/ConfigRules.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

// A fixed tag and the base it names.
using TNamedBase = std::pair<std::string_view, TDirectoryBase>;

// The fixed tags, in the order in which a compound "<SUB…><…" tag is searched for its base.
// "<WINDOWS_SYSTEM>" does not contain "<WINDOWS>", so those two never clash.
constexpr std::array<TNamedBase, 4> kNamedBases = {{
    {kWindowsTag, dbWindows},
    {kProgramFilesTag, dbProgramFiles},
    {kWindowsSystemTag, dbWindowsSystem},
    {kInstallDirTag, dbInstallDir},
}};

// The base of a "<SUB" tag: when another tag follows ("><"), the first of the fixed tags it
// contains, else none; a "<SUB" tag alone lies in the installation directory.
TDirectoryBase SubBase(std::string_view tag) {
    if (!Contains(tag, "><")) return dbInstallDir;
    const auto named =
        std::ranges::find_if(kNamedBases, [&](const TNamedBase& base) { return Contains(tag, base.first); });
    return named != kNamedBases.end() ? named->second : dbNone;
}

// Tested in this order; the first that applies wins.
std::pair<TDirectoryKind, TDirectoryBase> Classify(std::string_view configuredTag) {
    const std::string tag = UpperCase(std::string(configuredTag));
    const auto fixed = std::ranges::find(kNamedBases, std::string_view(tag), &TNamedBase::first);
    if (fixed != kNamedBases.end()) return {dkFixed, fixed->second};
    if (Contains(tag, "<SUB")) return {dkSub, SubBase(tag)};
    return {Contains(tag, "<ALT") ? dkAlt : dkOther, dbRoot};
}

} // namespace

TTaggedPath SplitTag(std::string_view field) {
    const std::size_t end = field.find('>');
    if (end == std::string_view::npos) return {std::string(), std::string(field)};
    return {std::string(field.substr(0, end + 1)), std::string(field.substr(end + 1))};
}

bool SameTag(std::string_view a, std::string_view b) {
    return SameText(a, b);
}

TDirectoryRow ParseDirectoryRow(std::string_view value) {
    auto fields = SplitFields(value, 2);
    const auto [kind, base] = Classify(fields[0]);
    return {std::move(fields[0]), std::move(fields[1]), kind, base};
}

TFileEntry ParseFileEntry(std::string_view value) {
    auto fields = SplitFields(value, 3);
    std::string name = ExtractFileName(fields[0]);
    return {std::move(fields[0]), std::move(name), std::move(fields[1]), std::move(fields[2])};
}

TShortcutEntry ParseShortcutEntry(std::string_view value) {
    auto fields = SplitFields(value, 6);
    return {std::move(fields[0]), SplitTag(fields[1]), std::move(fields[2]),
            std::move(fields[3]), SplitTag(fields[4]), std::move(fields[5])};
}

bool TIniEntry::IsIniFile() const {
    return Contains(UpperCase(Target), ".INI");
}

TIniEntry ParseIniEntry(std::string_view value) {
    auto fields = SplitFields(value, 4);
    return {std::move(fields[0]), std::move(fields[1]), std::move(fields[2]), std::move(fields[3])};
}

std::string IniEntryValue(const TIniEntry& entry) {
    const char sep = kFieldSeparator;
    return entry.Target + sep + entry.Section + sep + entry.Name + sep + entry.Value;
}

} // namespace yar
