// A distribution as the vendor makes it: install.cfg, the source tree its [Files] and [WorkStation]
// entries name, and the set of volumes beside install.cfg once it is built. What `yar check` tells
// of it, and what `yar build` packs.
#pragma once

#include "config/ConfigCheck.h"
#include "config/SetupConfig.h"
#include "tools/yar/Pack.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace yar::tool {

// Where an entry's source is read: the uninstaller named on the command line for uninstaller.exe,
// otherwise the source text below sourceDir ("\" and "/" both separate, a drive or a leading
// separator is dropped).
std::string SourcePath(const std::string& sourceDir, const std::string& source,
                       const std::string& uninstaller);

// The files a build packs, flat under their file names as the preparation expands them: every
// [Files] and [WorkStation] source once however many entries name it, then the picture and
// license.txt from sourceDir when no entry brings them. Sorted by name.
std::vector<TPackSource> PlanSet(const SetupConfig& config, const std::string& sourceDir,
                                 const std::string& uninstaller);

// The volumes of the set whose first volume is disk.001 beside install.cfg, there or one per disk
// directory (disk1, disk2 ... beside install.cfg's directory); 0 when there is none.
int32_t CountVolumes(const std::string& configDir);

// The language files (lang-<code>.ini) in dir, by name: what a build packs and a check reads.
std::vector<std::string> LanguageFilesIn(const std::string& dir);

// The facts of a source tree: which sources are there, and the names a build would pack.
TDistributionFacts SourceFacts(const SetupConfig& config, const std::string& sourceDir,
                               const std::string& uninstaller);

// What the check knows beyond the file: the set beside it when there is one (its names and volumes),
// and with a source directory the sources and what a build would pack.
TDistributionFacts GatherFacts(const std::string& configPath, const std::optional<std::string>& sourceDir,
                               const std::string& uninstaller);

// The files a manifest covers, by name with their paths: install.cfg and the volumes of the set
// beside it.
std::vector<std::pair<std::string, std::string>> MediaFilesOf(const std::string& configPath);

// Compares the distribution's files with the manifest of the install.exe beside install.cfg, when
// it carries one, and prints what it finds; false when a file does not match.
bool CheckMediaBinding(const std::string& configPath, bool json, std::ostream& out);

// Prints the findings, one per line as FindingLine words them or one JSON object per line.
void PrintFindings(const std::string& configPath, const std::vector<TConfigFinding>& findings, bool json,
                   std::ostream& out);

} // namespace yar::tool
