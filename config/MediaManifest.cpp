#include "config/MediaManifest.h"

#include <algorithm>

#include "util/Text.h"

namespace yar {

namespace {

// A field of the block: its text up to the first zero byte.
std::string FieldText(std::span<const uint8_t> field) {
    const auto end = std::ranges::find(field, uint8_t{0});
    return {field.begin(), end};
}

} // namespace

const TManifestEntry* TMediaManifest::Find(std::string_view name) const {
    const auto found =
        std::ranges::find_if(Entries, [&](const TManifestEntry& e) { return SameText(e.Name, name); });
    return found == Entries.end() ? nullptr : &*found;
}

std::optional<TMediaManifest> DecodeManifestBlock(std::span<const uint8_t> block) {
    if (block.size() != kManifestBlockSize)
        throw EManifestError("a manifest block is " + std::to_string(kManifestBlockSize) + " bytes");
    uint32_t count = 0;
    for (std::size_t i = 0; i < 4; ++i)
        count |= static_cast<uint32_t>(block[kManifestMarker.size() + i]) << (8 * i);
    if (count == 0) return std::nullopt;
    if (count > kManifestMaxEntries)
        throw EManifestError("the manifest block counts " + std::to_string(count) + " files");
    TMediaManifest manifest;
    for (std::size_t i = 0; i < count; ++i) {
        const auto entry = block.subspan(kManifestHeaderSize + i * kManifestEntrySize, kManifestEntrySize);
        manifest.Entries.push_back(
            {FieldText(entry.first(kManifestNameSize)), FieldText(entry.subspan(kManifestNameSize))});
    }
    return manifest;
}

bool MatchesManifest(const TMediaManifest& manifest, std::string_view name, std::string_view bytes,
                     const TDigestFunction& digest) {
    const TManifestEntry* entry = manifest.Find(name);
    if (entry == nullptr || !digest) return false;
    const std::optional<std::string> actual = digest(bytes);
    return actual && *actual == entry->Digest;
}

} // namespace yar
