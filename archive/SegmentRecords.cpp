#include "archive/SegmentRecords.h"

#include <algorithm>
#include <cstring>

namespace yar {
namespace {

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
TSegRecordId GetId(const uint8_t* p) {
    TSegRecordId id{};
    std::memcpy(id.data(), p, id.size());
    return id;
}
void PutId(uint8_t* p, const TSegRecordId& id) {
    std::memcpy(p, id.data(), id.size());
}

} // namespace

TSegVolumeRecord DecodeVolumeRecord(const uint8_t* bytes) {
    TSegVolumeRecord r;
    r.Id = GetId(bytes);
    r.Reserved = Get16(bytes + 4);
    r.SegNumber = Get16(bytes + 6);
    return r;
}

TSegSetHeader DecodeSetHeader(const uint8_t* bytes) {
    TSegSetHeader r;
    r.Id = GetId(bytes);
    r.Reserved = Get16(bytes + 4);
    r.ArcCount = Get16(bytes + 6);
    r.Reserved2 = bytes[8];
    std::memcpy(r.Reserved3.data(), bytes + 9, r.Reserved3.size());
    return r;
}

TSegScanRecord DecodeScanRecord(const uint8_t* bytes) {
    TSegScanRecord r;
    r.Id = GetId(bytes);
    r.Reserved = Get16(bytes + 4);
    r.PathLength = Get16(bytes + 6);
    r.ArcTag = bytes[8];
    r.RecordLength = static_cast<int32_t>(Get32(bytes + 9));
    r.ListSize = static_cast<int32_t>(Get32(bytes + 13));
    return r;
}

TSegArcHeader DecodeArcHeader(const uint8_t* bytes) {
    TSegArcHeader r;
    r.Id = GetId(bytes);
    r.Reserved = Get16(bytes + 4);
    r.ArcSeq = Get16(bytes + 6);
    r.Reserved2 = Get32(bytes + 8);
    r.ArcSize = static_cast<int32_t>(Get32(bytes + 12));
    return r;
}

void EncodeRecord(const TSegVolumeRecord& record, uint8_t* bytes) {
    PutId(bytes, record.Id);
    Put16(bytes + 4, record.Reserved);
    Put16(bytes + 6, record.SegNumber);
}

void EncodeRecord(const TSegSetHeader& record, uint8_t* bytes) {
    PutId(bytes, record.Id);
    Put16(bytes + 4, record.Reserved);
    Put16(bytes + 6, record.ArcCount);
    bytes[8] = record.Reserved2;
    std::memcpy(bytes + 9, record.Reserved3.data(), record.Reserved3.size());
}

void EncodeRecord(const TSegScanRecord& record, uint8_t* bytes) {
    PutId(bytes, record.Id);
    Put16(bytes + 4, record.Reserved);
    Put16(bytes + 6, record.PathLength);
    bytes[8] = record.ArcTag;
    Put32(bytes + 9, static_cast<uint32_t>(record.RecordLength));
    Put32(bytes + 13, static_cast<uint32_t>(record.ListSize));
}

void EncodeRecord(const TSegArcHeader& record, uint8_t* bytes) {
    PutId(bytes, record.Id);
    Put16(bytes + 4, record.Reserved);
    Put16(bytes + 6, record.ArcSeq);
    Put32(bytes + 8, record.Reserved2);
    Put32(bytes + 12, static_cast<uint32_t>(record.ArcSize));
}

std::string SegVolumeFileName(const std::string& BaseName, const std::string& Ext, uint16_t Number) {
    if (!Ext.empty()) return BaseName + "." + Ext;
    std::string digits = std::to_string(Number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return BaseName + "." + digits;
}

std::string TextUpToZero(const uint8_t* bytes, std::size_t length) {
    const uint8_t* end = std::find(bytes, bytes + length, uint8_t{0});
    return {reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(end - bytes)};
}

} // namespace yar
