// The media bound to install.exe: yar build writes the digests of install.cfg and of every volume
// into the manifest block of its copy of install.exe, and yar check compares a distribution's files
// with the manifest its install.exe carries.
#pragma once

#include "config/MediaManifest.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace yar::tool {

// Where the manifest block lies in a program's bytes; nothing when the program has none. A marker
// found twice raises EManifestError: yar build could not tell which block the program reads.
std::optional<std::size_t> FindManifestBlock(const std::string& program);

// The manifest of the files (name and path each), their bytes digested by digest.
TMediaManifest DigestMedia(const std::vector<std::pair<std::string, std::string>>& files,
                           const TDigestFunction& digest);

// Writes manifest into the block of the program file at path; false when the program has no block.
bool BindMedia(const std::string& path, const TMediaManifest& manifest);

// The manifest the program file at path carries; nothing when it has no block or an empty one.
std::optional<TMediaManifest> ManifestOf(const std::string& path);

// What a distribution's files make of its install.exe's manifest: one line per file that does not
// match (or is missing), in the order the manifest lists them; empty when every file matches.
std::vector<std::string> MediaMismatches(const TMediaManifest& manifest,
                                         const std::vector<std::pair<std::string, std::string>>& files,
                                         const TDigestFunction& digest);

} // namespace yar::tool
