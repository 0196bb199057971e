#include "engine/UninstallRecord.h"

#include <algorithm>

#include "config/ProfileReader.h"
#include "config/SetupConfig.h"
#include "engine/SystemUpdates.h"
#include "system/Digest.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

constexpr const char* kProgramSection = "Program";
constexpr const char* kTitleKey = "Title";
// The language of the install's texts, which the uninstaller shows too; absent for English (and in the
// records of earlier versions, which showed only English).
constexpr const char* kLanguageKey = "Language";
constexpr const char* kDisplayNameValue = "DisplayName";
constexpr const char* kUninstallStringValue = "UninstallString";

const TRecordSection& SectionOf(TRecordKind kind) {
    for (const TRecordSection& section : kRecordSections)
        if (section.Kind == kind) return section;
    throw std::logic_error("a record kind without a section");
}

} // namespace

TUninstallRecord::TUninstallRecord(TIniFiles& ini, const std::string& TargetDir)
    : Ini_(ini), TargetDir_(TargetDir), Path_(JoinPath(TargetDir, kUninstallRecordName)) {}

void TUninstallRecord::Open(const std::string& title, const std::string& language) {
    for (const TRecordSection& section : kRecordSections)
        if (!section.KeptOverAnInstall) Check(Ini_.DeleteSection(Path_, section.Name));
    // An earlier install's language goes with it.
    if (!Ini_.ReadString(Path_, kProgramSection, kLanguageKey, "").empty())
        Check(Ini_.DeleteSection(Path_, kProgramSection));
    Check(Ini_.WriteString(Path_, kProgramSection, kTitleKey, title));
    if (!language.empty() && language != "en")
        Check(Ini_.WriteString(Path_, kProgramSection, kLanguageKey, language));
    AddFile(JoinPath(TargetDir_, "*.*"));
    AddFile(JoinPath(TargetDir_, "Setup\\*.*"));
    Flush();
}

void TUninstallRecord::Add(TRecordKind kind, const std::string& key) {
    auto pending =
        std::ranges::find(FPending, kind, &std::pair<TRecordKind, std::vector<std::string>>::first);
    if (pending == FPending.end()) pending = FPending.insert(FPending.end(), {kind, {}});
    pending->second.push_back(key);
}

void TUninstallRecord::Flush() {
    while (!FPending.empty()) {
        const auto& [kind, keys] = FPending.front();
        Check(Ini_.AddKeys(Path_, SectionOf(kind).Name, keys));
        FPending.erase(FPending.begin());
    }
}

void TUninstallRecord::Check(bool written) const {
    if (!written) throw EInstallError("Unable to write to " + Path_);
}

std::optional<TUninstallData> ParseUninstallRecord(const std::vector<std::string>& lines,
                                                   const std::string& TargetDir) {
    std::string text;
    for (const std::string& line : lines) text.append(line).append("\n");
    if (Contains(text, std::string_view("\0", 1))) return std::nullopt;
    const auto reader = TProfileReader::FromText(text);
    TUninstallData data;
    data.Title = reader->ReadString(kProgramSection, kTitleKey, "");
    data.Language = reader->ReadString(kProgramSection, kLanguageKey, "en");
    data.TargetDir = ExcludeTrailingDelimiter(TargetDir);
    for (const TRecordSection& section : kRecordSections)
        data.*section.Records = reader->AllKeyNames(section.Name);
    if (data.Title.empty() || data.Files.empty()) return std::nullopt;
    return data;
}

std::string UninstallKey(const std::string& title) {
    return std::string(kUninstallListKey) + "\\" + title;
}

std::string CommandLineOf(const std::string& program, const std::string& arguments) {
    // Unquoted, Windows would try C:\Program.exe first for C:\Program Files\...
    const std::string command = Contains(program, " ") ? "\"" + program + "\"" : program;
    return command + " " + arguments;
}

std::string UninstallString(const std::string& TargetDir, const std::string& title) {
    return CommandLineOf(JoinPath(TargetDir, kUninstallerName), title);
}

std::string QuietUninstallString(const std::string& uninstallString) {
    return CommandLineOf(UninstallProgramOf(uninstallString), "/S");
}

std::string UninstallProgramOf(const std::string& command) {
    if (command.starts_with('"')) {
        const std::size_t end = command.find('"', 1);
        return end == std::string::npos ? std::string() : command.substr(1, end - 1);
    }
    const std::string upper = UpperCase(command);
    for (std::size_t at = upper.find(".EXE"); at != std::string::npos; at = upper.find(".EXE", at + 1)) {
        const std::size_t end = at + 4;
        if (end == upper.size() || upper[end] == ' ') return command.substr(0, end);
    }
    return {};
}

bool RegisterUninstaller(const TFiles& files, TRegistry& registry, const TUninstallEntry& entry) {
    if (!files.FileExists(JoinPath(entry.TargetDir, kUninstallerName))) return false;
    const std::string key = UninstallKey(entry.Title);
    const std::string command = UninstallString(entry.TargetDir, entry.Title);
    const auto write = [&](const char* name, const std::string& value) {
        if (!value.empty()) WriteRegistryString(registry, rrLocalMachine, key, name, value);
    };
    write(kDisplayNameValue, entry.Title);
    write(kUninstallStringValue, command);
    write("QuietUninstallString", QuietUninstallString(command));
    write("InstallLocation", entry.TargetDir);
    write("DisplayIcon", entry.DisplayIcon);
    write("DisplayVersion", entry.Version);
    write("Publisher", entry.Publisher);
    const uint64_t kib = (entry.InstalledBytes + 1023) / 1024;
    if (!registry.WriteInteger(rrLocalMachine, key, "EstimatedSize", static_cast<uint32_t>(kib)))
        throw EInstallError("Failed to set data for 'EstimatedSize'");
    const std::optional<std::string> record =
        files.ReadBytes(JoinPath(entry.TargetDir, kUninstallRecordName));
    const std::optional<std::string> digest = record ? Sha256Hex(*record) : std::nullopt;
    if (!digest) throw EInstallError(std::string("Failed to set data for '") + kRecordDigestValue + "'");
    write(kRecordDigestValue, *digest);
    return true;
}

std::string RegisteredUninstaller(const TRegistry& registry, const std::string& key) {
    return UninstallProgramOf(registry.ReadString(rrLocalMachine, key, kUninstallStringValue).value_or(""));
}

std::optional<std::string> RegisteredTitle(const TRegistry& registry, const std::string& key) {
    return registry.ReadString(rrLocalMachine, key, kDisplayNameValue);
}

std::optional<std::string> RegisteredRecordDigest(const TRegistry& registry, const std::string& key) {
    return registry.ReadString(rrLocalMachine, key, kRecordDigestValue);
}

} // namespace yar
