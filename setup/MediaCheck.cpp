#include "setup/MediaCheck.h"

#include "archive/SegmentRecords.h"
#include "config/SetupConfig.h"
#include "util/FileBytes.h"

#include <algorithm>
#include <vector>

namespace yar {

namespace {

constexpr int32_t kVolumeReadPiece = 256 * 1024;

} // namespace

bool ConfigMatches(const TMediaManifest& manifest, const std::string& configPath,
                   const TDigestFunction& digest) {
    return ConfigMatches(manifest, ReadFileBytes(configPath), digest);
}

bool ConfigMatches(const TMediaManifest& manifest, const TFileBytes& read, const TDigestFunction& digest) {
    return read.Complete && MatchesManifest(manifest, kSetupConfigName, read.Bytes, digest);
}

bool VolumeMatches(const TMediaManifest& manifest, TStream& volume, uint16_t number,
                   const TDigestFunction& digest) {
    volume.Seek(0, TSeekOrigin::soBeginning);
    std::string bytes;
    // Room for the whole volume at once, read in large pieces: a floppy's worth or far more.
    bytes.reserve(static_cast<std::size_t>(std::max<int64_t>(volume.Size(), 0)));
    std::vector<char> buffer(kVolumeReadPiece);
    for (int32_t got = 0; (got = volume.Read(buffer.data(), kVolumeReadPiece)) > 0;)
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    return VolumeMatches(manifest, std::string_view(bytes), number, digest);
}

bool VolumeMatches(const TMediaManifest& manifest, std::string_view bytes, uint16_t number,
                   const TDigestFunction& digest) {
    return MatchesManifest(manifest, SegVolumeFileName(kVolumeBaseName, "", number), bytes, digest);
}

} // namespace yar
