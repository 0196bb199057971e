// The media manifest: the SHA-256 digests of install.cfg and of every volume, which yar build writes
// into a fixed-size block that install.exe carries for it, before the program is signed. The
// signature then covers the files beside the program: an install.exe that carries a manifest takes
// only the install.cfg and the volumes it was built with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

// The block: the marker, the number of entries (0: no manifest), then entries of a name and the
// digest as 64 lower-case hexadecimal digits, each field padded with zero bytes.
inline constexpr std::size_t kManifestBlockSize = 8192;
inline constexpr std::size_t kManifestHeaderSize = 32;
inline constexpr std::size_t kManifestNameSize = 32;
inline constexpr std::size_t kManifestDigestSize = 64;
inline constexpr std::size_t kManifestEntrySize = kManifestNameSize + kManifestDigestSize;
inline constexpr std::size_t kManifestMaxEntries =
    (kManifestBlockSize - kManifestHeaderSize) / kManifestEntrySize;
// Where yar build finds the block in the program; no other bytes of the program may hold it.
inline constexpr std::array<char, 16> kManifestMarker = {'Y', 'A', 'R', '-', 'M', 'E', 'D', 'I',
                                                         'A', '-', 'B', 'L', 'O', 'C', 'K', '1'};

// A digest of bytes as 64 lower-case hexadecimal digits; nothing when the system has none to give.
using TDigestFunction = std::function<std::optional<std::string>(std::string_view bytes)>;

struct TManifestEntry {
    std::string Name; // "install.cfg", "disk.001" ...
    std::string Digest;

    bool operator==(const TManifestEntry&) const = default;
};

struct TMediaManifest {
    std::vector<TManifestEntry> Entries;

    // The entry of name, letter case ignored; nullptr when the manifest lists none.
    const TManifestEntry* Find(std::string_view name) const;
    bool operator==(const TMediaManifest&) const = default;
};

// A block that is no manifest block, or holds more than it can.
class EManifestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The block's bytes for manifest, marker first. More entries than the block holds, a name longer
// than its field or a digest of another length raise EManifestError.
std::vector<uint8_t> EncodeManifestBlock(const TMediaManifest& manifest);
// The manifest a block holds; nothing when it holds none (a program as built, before yar build).
// A count beyond the block raises EManifestError. The marker is not compared: the program reads its
// own block, and a copy of the marker elsewhere in it would make the block ambiguous to yar build.
std::optional<TMediaManifest> DecodeManifestBlock(std::span<const uint8_t> block);

// Whether bytes are what the manifest lists for name: false when it lists no such name, when the
// digests differ, or when no digest can be had (a manifest that cannot be checked is not met).
bool MatchesManifest(const TMediaManifest& manifest, std::string_view name, std::string_view bytes,
                     const TDigestFunction& digest);

} // namespace yar
