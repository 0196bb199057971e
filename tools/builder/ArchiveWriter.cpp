#include "tools/builder/ArchiveWriter.h"

#include "tools/builder/BuildErrors.h"
#include "tools/builder/Encoders.h"

#include <stdexcept>

namespace yar::builder {

std::vector<uint8_t> TArchiveImage::Bytes() const {
    std::vector<uint8_t> out;
    const auto header = EncodeArchiveHeader(Header);
    out.insert(out.end(), header.begin(), header.end());
    for (const TPackedEntry& entry : Entries) {
        const auto bytes = EncodeEntryHeader(entry.Header);
        out.insert(out.end(), bytes.begin(), bytes.end());
        out.insert(out.end(), entry.Name.begin(), entry.Name.end());
        out.insert(out.end(), entry.Stored.begin(), entry.Stored.end());
    }
    return out;
}

void TArchiveImage::WriteTo(TStream& dest) const {
    const auto bytes = Bytes();
    dest.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void TArchiveImage::WriteFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate | fmShareExclusive);
    WriteTo(file);
}

std::vector<uint8_t> EncodeWith(uint8_t method, std::span<const uint8_t> data, const TCustomEncoder& custom) {
    switch (method) {
    case coNone:
        return {data.begin(), data.end()};
    case coRLE:
        return EncodeRLE(data);
    case coLZH:
        return EncodeLZH(data);
    case coLZH5:
        return EncodeLZH5(data);
    case coCustom:
        return custom ? custom(data) : std::vector<uint8_t>(data.begin(), data.end());
    default:
        throw std::invalid_argument("no encoder for method " + std::to_string(method));
    }
}

void ScrambleWithKey(std::vector<uint8_t>& bytes, int32_t key) {
    const auto k = static_cast<uint32_t>(key);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] ^= static_cast<uint8_t>(k >> (8 * (i % 4)));
}

TPackedEntry PackEntry(const TArchiveEntrySource& source, int32_t key, const TCustomEncoder& custom) {
    if (source.Name.size() > 32767) throw EBuildLimit("stored name longer than 32767 bytes");
    TPackedEntry entry;
    entry.Name = source.Name;
    entry.Stored = EncodeWith(source.Method, source.Data, custom);
    if (source.Lock == 2) ScrambleWithKey(entry.Stored, key);
    if (source.Data.size() > 0x7FFFFFFF || entry.Stored.size() > 0x7FFFFFFF)
        throw EBuildLimit("entry larger than 2 GB");
    TEntryHeader& h = entry.Header;
    h.NameLength = static_cast<int16_t>(source.Name.size());
    h.FileDate = source.FileDate;
    h.Attributes = source.Attributes;
    h.ExpandedSize = static_cast<int32_t>(source.Data.size());
    h.CompressedSize = static_cast<int32_t>(entry.Stored.size());
    h.Method = source.Method;
    uint32_t sum = ByteSum(source.Data.data(), source.Data.size());
    if (source.Lock > 0) sum += static_cast<uint32_t>(key);
    h.Checksum = static_cast<int32_t>(sum);
    h.Lock = source.Lock;
    return entry;
}

TArchiveWriter::TArchiveWriter(uint8_t method, int32_t key) : FMethod(method), FKey(key) {
    FImage.Header.CompressID = method < MethodIDs.size() ? MethodIDs[method] : "CUS";
    FImage.Header.KeyMarker = key > 0 ? 2 : 0;
}

TArchiveWriter& TArchiveWriter::Add(const TArchiveEntrySource& source) {
    FImage.Entries.push_back(PackEntry(source, FKey, CustomEncoder));
    FTotal += FImage.Entries.back().Header.ExpandedSize;
    if (FTotal > 0x7FFFFFFF) throw EBuildLimit("archive larger than 2 GB");
    FImage.Header.TotalSize = static_cast<int32_t>(FTotal);
    return *this;
}

TArchiveWriter& TArchiveWriter::Add(const std::string& name, std::span<const uint8_t> data) {
    TArchiveEntrySource source;
    source.Name = name;
    source.Data.assign(data.begin(), data.end());
    source.Method = FMethod;
    return Add(source);
}

} // namespace yar::builder
