// The records of a segment set: the volume record at the start of every volume file, and the set
// header, scan records and archive headers of the logical stream that runs across the volumes.
// Records are packed and little-endian; they are decoded and encoded byte by byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace yar {

// Every buffer of the segment reader, and the largest block it reads from a volume at once.
inline constexpr int32_t SegBufferSize = 8192;
// Templates and name records are read into a zeroed work buffer that keeps a terminating zero.
inline constexpr int32_t SegMaxPathLength = SegBufferSize - 1;
inline constexpr int32_t SegMaxRecordLength = SegBufferSize - 1;

using TSegRecordId = std::array<char, 4>;

// "SSeg", 8 bytes at offset 0 of each volume file; not part of the logical stream.
struct TSegVolumeRecord {
    static constexpr std::size_t Size = 8;
    TSegRecordId Id{'S', 'S', 'e', 'g'};
    uint16_t Reserved = 0;
    uint16_t SegNumber = 0;
};

// "SHdr", 21 bytes, the first record of the logical stream.
struct TSegSetHeader {
    static constexpr std::size_t Size = 21;
    TSegRecordId Id{'S', 'H', 'd', 'r'};
    uint16_t Reserved = 0;
    uint16_t ArcCount = 0;
    uint8_t Reserved2 = 0;
    std::array<uint8_t, 12> Reserved3{};
};

// "Scan", 17 bytes, followed by the archive's template and its name list.
struct TSegScanRecord {
    static constexpr std::size_t Size = 17;
    TSegRecordId Id{'S', 'c', 'a', 'n'};
    uint16_t Reserved = 0;
    uint16_t PathLength = 0;
    uint8_t ArcTag = 0;
    int32_t RecordLength = 0;
    int32_t ListSize = 0;
};

// "SArc", 16 bytes, followed by the archive itself.
struct TSegArcHeader {
    static constexpr std::size_t Size = 16;
    TSegRecordId Id{'S', 'A', 'r', 'c'};
    uint16_t Reserved = 0;
    uint16_t ArcSeq = 0;
    uint32_t Reserved2 = 0;
    int32_t ArcSize = 0;
};

inline constexpr TSegRecordId SegVolumeId{'S', 'S', 'e', 'g'};
inline constexpr TSegRecordId SegSetId{'S', 'H', 'd', 'r'};
inline constexpr TSegRecordId SegScanId{'S', 'c', 'a', 'n'};
inline constexpr TSegRecordId SegArcId{'S', 'A', 'r', 'c'};

// Decode reads exactly Size bytes; Encode writes exactly Size bytes.
TSegVolumeRecord DecodeVolumeRecord(const uint8_t* bytes);
TSegSetHeader DecodeSetHeader(const uint8_t* bytes);
TSegScanRecord DecodeScanRecord(const uint8_t* bytes);
TSegArcHeader DecodeArcHeader(const uint8_t* bytes);
void EncodeRecord(const TSegVolumeRecord& record, uint8_t* bytes);
void EncodeRecord(const TSegSetHeader& record, uint8_t* bytes);
void EncodeRecord(const TSegScanRecord& record, uint8_t* bytes);
void EncodeRecord(const TSegArcHeader& record, uint8_t* bytes);

// The file name of volume Number: BaseName "." Ext, or BaseName "." and the number with at least
// three digits when Ext is empty (segdata.001 ... segdata.999, segdata.1000).
std::string SegVolumeFileName(const std::string& BaseName, const std::string& Ext, uint16_t Number);

// Text up to the first zero byte of a fixed-length field.
std::string TextUpToZero(const uint8_t* bytes, std::size_t length);

} // namespace yar
