// The LHA archive format (.lzh), as far as the codec's oracle tests and benchmark need it: reading
// the entries of archives written by other tools (header levels 0, 1 and 2), and wrapping a raw
// compressed stream of this system's encoders into a level-0 archive that those tools accept.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace yar::testing {

struct TLhaEntry {
    std::string Method; // "-lh5-", "-lh1-", ...
    std::string Name;   // empty for level 2, which keeps it in an extended header
    uint32_t OriginalSize = 0;
    uint16_t Crc = 0; // CRC-16 of the original bytes
    int Level = 0;
    std::vector<uint8_t> Packed; // the raw compressed stream
};

// The entries of an archive; throws std::runtime_error on a malformed one.
std::vector<TLhaEntry> ReadLhaArchive(std::span<const uint8_t> archive);

// The CRC-16 of LHA archives (polynomial 0xA001 reflected, start 0).
uint16_t LhaCrc16(std::span<const uint8_t> bytes);

// A level-0 archive with one entry holding packed, the method's stream of original.
std::vector<uint8_t> WriteLhaArchive(const std::string& method, const std::string& name,
                                     std::span<const uint8_t> packed, std::span<const uint8_t> original);

// Whether an executable of that name is in one of the directories of PATH.
bool OnPath(const std::string& tool);

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes);

} // namespace yar::testing
