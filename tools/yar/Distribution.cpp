#include "tools/yar/Distribution.h"

#include "archive/SegmentRecords.h"
#include "config/ConfigRecords.h"
#include "config/Languages.h"
#include "system/FileServices.h"
#include "system/MediaDigest.h"
#include "tools/yar/MediaBinding.h"
#include "tools/yar/Placement.h"
#include "tools/yar/TerminalPrompts.h"
#include "tools/yar/YarReader.h"
#include "util/EntryNames.h"
#include "util/Paths.h"
#include "util/Text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>

namespace yar::tool {
namespace fs = std::filesystem;

namespace {

constexpr const char* kLicenceName = "license.txt";
constexpr const char* kVolumeBase = kVolumeBaseName;

bool IsFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(path), ec);
}

// Where volume number lies: beside install.cfg, or in the disk directory of its number.
std::optional<std::string> VolumePath(const std::string& configDir, uint16_t number) {
    const std::string name = SegVolumeFileName(kVolumeBase, "", number);
    const std::string beside = (fs::path(configDir) / name).string();
    if (IsFile(beside)) return beside;
    const fs::path parent = fs::path(configDir).parent_path();
    const std::string onDisk = (parent / (kVolumeBase + std::to_string(number)) / name).string();
    if (IsFile(onDisk)) return onDisk;
    return std::nullopt;
}

// The file names the set beside install.cfg holds, as the preparation writes them.
std::vector<std::string> SetNames(const std::string& firstVolume) {
    const std::string scratch = MakePrivateTempDir("yar-");
    std::vector<std::string> names;
    try {
        TTerminalPrompts prompts(std::nullopt, false, std::cin, std::cerr);
        TYarReader reader(firstVolume, &prompts, scratch);
        prompts.Attach(reader);
        reader.List([&](const TArchiveContents& c) {
            for (const TListedEntry& e : c.Entries) names.emplace_back(EntryFileName(e.Name));
        });
    } catch (...) {
        std::error_code ec;
        fs::remove_all(scratch, ec);
        throw;
    }
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return names;
}

} // namespace

std::string SourcePath(const std::string& sourceDir, const std::string& source,
                       const std::string& uninstaller) {
    if (!uninstaller.empty() && SameText(ExtractFileName(source), kUninstallerName)) return uninstaller;
    std::string relative = source;
    if (relative.size() >= 2 && relative[1] == ':') relative.erase(0, 2);
    std::ranges::replace(relative, '\\', '/');
    relative.erase(0, relative.find_first_not_of('/'));
    return (fs::path(sourceDir) / relative).string();
}

std::vector<TPackSource> PlanSet(const SetupConfig& config, const std::string& sourceDir,
                                 const std::string& uninstaller) {
    std::map<std::string, TPackSource> byName; // the first entry of a name decides its source
    for (const std::vector<std::string>* list : {&config.FileEntries, &config.WorkStationEntries})
        for (const std::string& value : *list) {
            const TFileEntry entry = ParseFileEntry(value);
            byName.try_emplace(UpperCase(entry.Name),
                               TPackSource{"", entry.Name, SourcePath(sourceDir, entry.Source, uninstaller)});
        }
    // The picture and the licence are read from the working directory, not installed.
    for (const std::string& extra : {config.BitmapFile, std::string(kLicenceName)}) {
        const std::string path = (fs::path(sourceDir) / extra).string();
        if (!extra.empty() && IsFile(path))
            byName.try_emplace(UpperCase(extra), TPackSource{"", extra, path});
    }
    // The set's own language files, read by the setup from the working directory too.
    for (const std::string& name : LanguageFilesIn(sourceDir))
        byName.try_emplace(UpperCase(name), TPackSource{"", name, (fs::path(sourceDir) / name).string()});
    std::vector<TPackSource> files;
    files.reserve(byName.size());
    for (auto& [key, file] : byName) files.push_back(std::move(file));
    return files;
}

std::vector<std::string> LanguageFilesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, error))
        if (entry.is_regular_file(error) && LanguageCodeOfFileName(entry.path().filename().string()))
            names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

int32_t CountVolumes(const std::string& configDir) {
    int32_t count = 0;
    while (count < UINT16_MAX && VolumePath(configDir, static_cast<uint16_t>(count + 1))) ++count;
    return count;
}

TDistributionFacts SourceFacts(const SetupConfig& config, const std::string& sourceDir,
                               const std::string& uninstaller) {
    TDistributionFacts facts;
    facts.SourceExists = [sourceDir, uninstaller](const std::string& source) {
        return IsFile(SourcePath(sourceDir, source, uninstaller));
    };
    std::vector<std::string> names;
    for (const TPackSource& f : PlanSet(config, sourceDir, uninstaller))
        if (IsFile(f.Path)) names.push_back(f.Name);
    facts.HeldNames = std::move(names);
    return facts;
}

TDistributionFacts GatherFacts(const std::string& configPath, const std::optional<std::string>& sourceDir,
                               const std::string& uninstaller) {
    TDistributionFacts facts;
    if (sourceDir) {
        SetupConfig config;
        LoadSetupConfig(TProfileReader(configPath), config);
        facts = SourceFacts(config, *sourceDir, uninstaller);
    }
    // A set that is there tells what ships, whatever the sources hold.
    const fs::path parent = fs::path(configPath).parent_path();
    const std::string configDir = parent.empty() ? "." : parent.string();
    if (const auto first = VolumePath(configDir, 1)) {
        facts.Volumes = CountVolumes(configDir);
        facts.HeldNames = SetNames(*first);
    }
    return facts;
}

std::vector<std::pair<std::string, std::string>> MediaFilesOf(const std::string& configPath) {
    std::vector<std::pair<std::string, std::string>> files{{kSetupConfigName, configPath}};
    const fs::path parent = fs::path(configPath).parent_path();
    const std::string configDir = parent.empty() ? "." : parent.string();
    const int32_t volumes = CountVolumes(configDir);
    for (int32_t n = 1; n <= volumes; ++n) {
        const auto number = static_cast<uint16_t>(n);
        files.emplace_back(SegVolumeFileName(kVolumeBase, "", number), *VolumePath(configDir, number));
    }
    return files;
}

bool CheckMediaBinding(const std::string& configPath, bool json, std::ostream& out) {
    const std::string program = (fs::path(configPath).parent_path() / kSetupFiles[0]).string();
    if (!IsFile(program)) return true;
    const std::optional<TMediaManifest> manifest = ManifestOf(program);
    if (!manifest) return true;
    const auto files = MediaFilesOf(configPath);
    std::vector<std::string> lines;
    if (const auto digest = MediaDigest())
        lines = MediaMismatches(*manifest, files, digest);
    else
        lines.emplace_back("cannot be compared with its manifest: this yar has no SHA-256 service");
    if (lines.empty())
        lines.push_back("its manifest matches install.cfg and " + std::to_string(files.size() - 1) +
                        " volumes");
    const bool matches = lines.back().starts_with("its manifest matches");
    for (const std::string& line : lines) {
        if (json)
            out << nlohmann::json{{"file", program}, {"level", matches ? "note" : "error"}, {"message", line}}
                       .dump()
                << "\n";
        else
            out << program << ": " << (matches ? "" : "error: ") << line << "\n";
    }
    return matches;
}

void PrintFindings(const std::string& configPath, const std::vector<TConfigFinding>& findings, bool json,
                   std::ostream& out) {
    for (const TConfigFinding& f : findings) {
        if (!json) {
            out << FindingLine(configPath, f) << "\n";
            continue;
        }
        const nlohmann::json j = {{"file", configPath},
                                  {"line", f.Line},
                                  {"level", f.Level == flError ? "error" : "warning"},
                                  {"message", f.Text}};
        out << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    }
}

} // namespace yar::tool
