// The setup's side of the media manifest: the block the program carries, and the checks of
// install.cfg and of each volume against what it lists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/MediaManifest.h"
#include "system/Streams.h"
#include "util/FileBytes.h"

namespace yar {

// What the user reads when install.cfg is not the one this install.exe was built with.
inline constexpr const char* kConfigMismatchText =
    "The file install.cfg beside this setup program is not the one it was built with: the setup files "
    "have been changed since the media were made.\r\rSetup cannot go on and ends now.";

// The manifest yar build wrote into this program; nothing for a program as it was built. A block
// that cannot be a manifest raises EManifestError.
std::optional<TMediaManifest> OwnMediaManifest();

// Whether the file at configPath is the install.cfg the manifest lists: false when it cannot be
// read, or no digest can be had.
bool ConfigMatches(const TMediaManifest& manifest, const std::string& configPath,
                   const TDigestFunction& digest);
// The same for the file's bytes as read: false when the read did not reach the end of the file.
bool ConfigMatches(const TMediaManifest& manifest, const TFileBytes& read, const TDigestFunction& digest);

// Whether volume, read whole from its start, is the volume of number (disk.001 ...) the manifest
// lists.
bool VolumeMatches(const TMediaManifest& manifest, TStream& volume, uint16_t number,
                   const TDigestFunction& digest);
// The same for the volume's bytes, read whole.
bool VolumeMatches(const TMediaManifest& manifest, std::string_view bytes, uint16_t number,
                   const TDigestFunction& digest);

} // namespace yar
