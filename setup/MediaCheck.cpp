#include "setup/MediaCheck.h"

#include "archive/SegmentRecords.h"
#include "config/SetupConfig.h"
#include "util/FileBytes.h"

namespace yar {

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
    char buffer[8192];
    for (int32_t got = 0; (got = volume.Read(buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(got));
    return MatchesManifest(manifest, SegVolumeFileName(kVolumeBaseName, "", number), bytes, digest);
}

} // namespace yar
