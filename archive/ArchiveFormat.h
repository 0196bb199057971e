// The on-disk records of a compressed archive: the 21-byte archive header and the 25-byte entry
// header, both packed and little-endian. They are encoded and decoded byte by byte so that the
// layout never depends on the compiler's structure packing or the machine's byte order.
#pragma once

#include "archive/ExpandStream.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace yar {

inline constexpr int32_t ArchiveHeaderSize = 21;
inline constexpr int32_t EntryHeaderSize = 25;
inline constexpr std::array<uint8_t, 5> ArchiveMagic{'X', 'E', 'L', 'T', 0x1A};

// The only archive type this system reads.
inline constexpr uint8_t caMulti = 1;

struct TArchiveHeader {
    std::array<uint8_t, 5> Magic = ArchiveMagic;
    std::string CompressID; // three characters (blank for an empty archive)
    int32_t TotalSize = 0;  // sum of the entries' ExpandedSize
    uint8_t ArchiveType = caMulti;
    uint32_t Reserved = 0;
    int32_t KeyMarker = 0; // 2 when the archive was made with a key above 0
};

struct TEntryHeader {
    int16_t NameLength = 0;
    uint32_t FileDate = 0;   // DOS packed: date in the high word, time in the low word
    uint16_t Attributes = 0; // read-only 0x01, hidden 0x02, system 0x04, archive 0x20
    int32_t ExpandedSize = 0;
    int32_t CompressedSize = 0;
    uint8_t Method = coNone; // TCompressionMethod ordinal, not validated
    int32_t Checksum = 0;
    int32_t Lock = 0; // 0 = open, above 0 = locked, 2 = locked and keyed
};

using TArchiveHeaderBytes = std::array<uint8_t, ArchiveHeaderSize>;
using TEntryHeaderBytes = std::array<uint8_t, EntryHeaderSize>;

// CompressID is taken as exactly three bytes; a shorter one is padded with blanks when encoding.
TArchiveHeader DecodeArchiveHeader(const TArchiveHeaderBytes& bytes);
TArchiveHeaderBytes EncodeArchiveHeader(const TArchiveHeader& header);
TEntryHeader DecodeEntryHeader(const TEntryHeaderBytes& bytes);
TEntryHeaderBytes EncodeEntryHeader(const TEntryHeader& header);

// The method ordinal whose id equals id exactly (letter case counts), if any; the ids are searched in
// ordinal order.
std::optional<uint8_t> MethodOrdinalOfID(const std::string& id);

// The wrapping 32-bit byte sum that entry checksums are made of.
uint32_t ByteSum(const uint8_t* data, size_t count, uint32_t start = 0);

} // namespace yar
