#include "archive/SegmentRecords.h"

#include "util/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace yar {
namespace {

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
    r.Reserved = GetU16(bytes + 4);
    r.SegNumber = GetU16(bytes + 6);
    return r;
}

TSegSetHeader DecodeSetHeader(const uint8_t* bytes) {
    TSegSetHeader r;
    r.Id = GetId(bytes);
    r.Reserved = GetU16(bytes + 4);
    r.ArcCount = GetU16(bytes + 6);
    r.Reserved2 = bytes[8];
    std::memcpy(r.Reserved3.data(), bytes + 9, r.Reserved3.size());
    return r;
}

TSegScanRecord DecodeScanRecord(const uint8_t* bytes) {
    TSegScanRecord r;
    r.Id = GetId(bytes);
    r.Reserved = GetU16(bytes + 4);
    r.PathLength = GetU16(bytes + 6);
    r.ArcTag = bytes[8];
    r.RecordLength = static_cast<int32_t>(GetU32(bytes + 9));
    r.ListSize = static_cast<int32_t>(GetU32(bytes + 13));
    return r;
}

TSegArcHeader DecodeArcHeader(const uint8_t* bytes) {
    TSegArcHeader r;
    r.Id = GetId(bytes);
    r.Reserved = GetU16(bytes + 4);
    r.ArcSeq = GetU16(bytes + 6);
    r.Reserved2 = GetU32(bytes + 8);
    r.ArcSize = static_cast<int32_t>(GetU32(bytes + 12));
    return r;
}

void EncodeRecord(const TSegVolumeRecord& record, uint8_t* bytes) {
    PutId(bytes, record.Id);
    PutU16(bytes + 4, record.Reserved);
    PutU16(bytes + 6, record.SegNumber);
}

void EncodeRecord(const TSegSetHeader& record, uint8_t* bytes) {
    PutId(bytes, record.Id);
    PutU16(bytes + 4, record.Reserved);
    PutU16(bytes + 6, record.ArcCount);
    bytes[8] = record.Reserved2;
    std::memcpy(bytes + 9, record.Reserved3.data(), record.Reserved3.size());
}

void EncodeRecord(const TSegScanRecord& record, uint8_t* bytes) {
    PutId(bytes, record.Id);
    PutU16(bytes + 4, record.Reserved);
    PutU16(bytes + 6, record.PathLength);
    bytes[8] = record.ArcTag;
    PutU32(bytes + 9, static_cast<uint32_t>(record.RecordLength));
    PutU32(bytes + 13, static_cast<uint32_t>(record.ListSize));
}

void EncodeRecord(const TSegArcHeader& record, uint8_t* bytes) {
    PutId(bytes, record.Id);
    PutU16(bytes + 4, record.Reserved);
    PutU16(bytes + 6, record.ArcSeq);
    PutU32(bytes + 8, record.Reserved2);
    PutU32(bytes + 12, static_cast<uint32_t>(record.ArcSize));
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
