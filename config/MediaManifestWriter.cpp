// The writing half of the manifest block, apart from the reading half: only yar build writes a block,
// and the setup program, which reads its own, then holds the marker nowhere but in the block itself.
#include "config/MediaManifest.h"

#include <algorithm>

namespace yar {

namespace {

void PutField(std::vector<uint8_t>& block, std::size_t at, const std::string& text, std::size_t size,
              const char* what) {
    if (text.size() > size) throw EManifestError(std::string(what) + " too long for the manifest: " + text);
    std::ranges::copy(text, block.begin() + static_cast<std::ptrdiff_t>(at));
}

} // namespace

std::vector<uint8_t> EncodeManifestBlock(const TMediaManifest& manifest) {
    if (manifest.Entries.size() > kManifestMaxEntries)
        throw EManifestError("the manifest holds at most " + std::to_string(kManifestMaxEntries) +
                             " files, not " + std::to_string(manifest.Entries.size()));
    std::vector<uint8_t> block(kManifestBlockSize, 0);
    std::ranges::copy(kManifestMarker, block.begin());
    const auto count = static_cast<uint32_t>(manifest.Entries.size());
    for (std::size_t i = 0; i < 4; ++i)
        block[kManifestMarker.size() + i] = static_cast<uint8_t>(count >> (8 * i));
    std::size_t at = kManifestHeaderSize;
    for (const TManifestEntry& e : manifest.Entries) {
        if (e.Digest.size() != kManifestDigestSize) throw EManifestError("not a SHA-256 digest: " + e.Digest);
        PutField(block, at, e.Name, kManifestNameSize, "name");
        PutField(block, at + kManifestNameSize, e.Digest, kManifestDigestSize, "digest");
        at += kManifestEntrySize;
    }
    return block;
}

} // namespace yar
