#include "engine/SystemUpdates.h"

#include <algorithm>
#include <array>
#include <utility>

#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

// A field that begins with the row's tag, with the tag replaced by the row's path.
void ReplaceTag(std::string& field, const TResolvedDirectory& row) {
    const TTaggedPath tagged = SplitTag(field);
    if (!tagged.Tag.empty() && SameTag(tagged.Tag, row.Tag)) field = JoinPath(row.Path, tagged.Path);
}

// Replaces the first occurrence of what in line; false when there is none.
bool ReplaceFirst(std::string& line, std::string_view what, std::string_view with) {
    const std::size_t at = line.find(what);
    if (at == std::string::npos) return false;
    line.replace(at, what.size(), with);
    return true;
}

// More passes than any configuration needs; a replacement that brings its own tag back stops here.
constexpr int kMaxAutoexecPasses = 64;

// One pass: the first <ROOT>, then the first occurrence of each row's tag, in row order.
void ReplacePlaces(std::string& line, const TAutoexecPlaces& places) {
    ReplaceFirst(line, "<ROOT>", places.RootDir);
    for (const TResolvedDirectory& row : places.Directories)
        if (!row.Tag.empty() && Contains(line, row.Tag))
            ReplaceFirst(line, row.Tag, places.Files.ShortPath(row.Path));
}

} // namespace

void ReplaceIniTags(std::vector<TIniEntry>& entries, const TResolvedDirectories& directories) {
    for (const TResolvedDirectory& row : directories)
        for (TIniEntry& entry : entries) {
            ReplaceTag(entry.Value, row);
            ReplaceTag(entry.Target, row);
        }
}

std::string IniFilePath(const std::string& file, const std::string& WindowsDir) {
    return Contains(file, "\\") ? file : JoinPath(WindowsDir, file);
}

TRegistryTarget RegistryTargetOf(const TIniEntry& entry) {
    std::string subKey = entry.Section;
    if (subKey.ends_with('\\')) subKey.pop_back();
    if (!entry.Target.ends_with('\\') && !subKey.starts_with('\\')) subKey.insert(0, 1, '\\');
    const TRootedKey rooted = RootedKeyOf(entry.Target);
    return {rooted.Root, "\\" + rooted.Key + subKey, entry.Target};
}

void WriteRegistryString(TRegistry& registry, TRegRoot root, const std::string& key, const std::string& name,
                         const std::string& value) {
    if (!registry.CreateKey(root, key)) throw EInstallError("Failed to create key " + key);
    if (!registry.WriteString(root, key, name, value))
        throw EInstallError("Failed to set data for '" + name + "'");
}

void WriteIniEntry(const TIniEntry& entry, const std::string& WindowsDir, TIniFiles& ini, TRegistry& registry,
                   TUninstallRecord& record) {
    if (entry.IsIniFile()) {
        record.AddFile(IniFilePath(entry.Target, WindowsDir));
        if (!ini.WriteString(entry.Target, entry.Section, entry.Name, entry.Value))
            throw EInstallError("Unable to write to " + entry.Target);
        return;
    }
    const TRegistryTarget target = RegistryTargetOf(entry);
    record.AddRegistryKey(target.Record);
    // The topmost level of the key that was not there before is recorded as made (a file type's
    // HKEY_CLASSES_ROOT\.ext, a vendor's Software\Vendor): the uninstall takes only keys within a made
    // one, so a key that was there before stays with the values written into it.
    std::string level;
    for (const std::string& name : KeyPathNames(target.Key)) {
        if (!level.empty()) level += '\\';
        level += name;
        if (!registry.KeyExists(target.Root, level)) {
            record.AddMadeKey(RootedKeyName(target.Root, level));
            break;
        }
    }
    WriteRegistryString(registry, target.Root, target.Key, entry.Name, entry.Value);
}

std::string AutoexecLine(const std::string& line, const TAutoexecPlaces& places) {
    std::string converted = UpperCase(line);
    // The command with its blank: a word that merely starts with COPY (COPYRIGHT) is left alone.
    const std::size_t copy = converted.find("COPY ");
    if (copy != std::string::npos) converted.insert(copy + 4, "/Y");
    if (!Contains(converted, "<")) return converted;
    for (int pass = 0; pass < kMaxAutoexecPasses; ++pass) {
        const std::string before = converted;
        ReplacePlaces(converted, places);
        if (converted == before) break;
    }
    return converted;
}

void AppendAutoexecBlock(std::vector<std::string>& lines, const std::vector<std::string>& AutoexecLines,
                         const TAutoexecPlaces& places) {
    lines.emplace_back("REM - Starting Tarnwick Update");
    for (const std::string& line : AutoexecLines) lines.push_back(AutoexecLine(line, places));
    lines.emplace_back("REM - End of Tarnwick");
}

void SaveLines(TFiles& files, const std::string& path, const std::vector<std::string>& lines) {
    if (!files.WriteLines(path, lines)) throw EInstallError("Cannot create file " + path);
}

} // namespace yar
