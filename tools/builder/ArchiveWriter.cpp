#include "tools/builder/ArchiveWriter.h"

#include "archive/CompressionMethods.h"
#include "tools/builder/BuildErrors.h"
#include "tools/builder/Encoders.h"

#include <memory>
#include <stdexcept>
#include <string>

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

namespace {

class TStoringEncoder final : public TStreamEncoder {
public:
    void Put(std::span<const uint8_t> data, std::vector<uint8_t>& out) override {
        out.insert(out.end(), data.begin(), data.end());
        FCoded += data.size();
    }
    void Finish(std::vector<uint8_t>&) override {}
    uint64_t BytesCoded() const override { return FCoded; }

private:
    uint64_t FCoded = 0;
};

void CheckNameLength(const std::string& name) {
    if (name.size() > 32767) throw EBuildLimit("stored name longer than 32767 bytes");
}

// A locked entry's checksum holds the key too, which is how the expansion tells a wrong key.
int32_t EntryChecksum(uint32_t byteSum, int32_t lock, int32_t key) {
    return static_cast<int32_t>(lock > 0 ? byteSum + static_cast<uint32_t>(key) : byteSum);
}

constexpr int64_t kMaxArchiveTotal = 0x7FFFFFFF;

} // namespace

std::unique_ptr<TStreamEncoder> MakeStoringEncoder() {
    return std::make_unique<TStoringEncoder>();
}

std::vector<uint8_t> EncodeAll(TStreamEncoder& encoder, std::span<const uint8_t> data) {
    std::vector<uint8_t> out;
    encoder.Put(data, out);
    encoder.Finish(out);
    return out;
}

// A switch without a default, so that a method without its case is a warning here.
std::unique_ptr<TStreamEncoder> MakeStreamEncoder(uint8_t method) {
    switch (static_cast<TCompressionMethod>(method)) {
    case coNone:
        return MakeStoringEncoder();
    case coRLE:
        return MakeRLEEncoder();
    case coLZH:
        return MakeLZHEncoder();
    case coLZH5:
        return MakeLZH5Encoder();
    case coLZH7:
        return MakeLZH5Encoder({.WindowBits = 16});
    case coCustom:
        break; // the application's own encoder, not a stream's
    }
    throw std::invalid_argument("no encoder for method " + std::to_string(method));
}

std::vector<uint8_t> EncodeWith(uint8_t method, std::span<const uint8_t> data, const TCustomEncoder& custom) {
    if (method == coCustom) return custom ? custom(data) : std::vector<uint8_t>(data.begin(), data.end());
    return EncodeAll(*MakeStreamEncoder(method), data);
}

void ScrambleWithKey(std::span<uint8_t> bytes, int32_t key, uint64_t offset) {
    const auto k = static_cast<uint32_t>(key);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] ^= static_cast<uint8_t>(k >> (8 * ((offset + i) % 4)));
}

TPackedEntry PackEntry(const TArchiveEntrySource& source, int32_t key, const TCustomEncoder& custom) {
    CheckNameLength(source.Name);
    TPackedEntry entry;
    entry.Name = source.Name;
    entry.Stored = EncodeWith(source.Method, source.Data, custom);
    if (source.Lock == 2) ScrambleWithKey(entry.Stored, key);
    if (source.Data.size() > kMaxArchiveTotal || entry.Stored.size() > kMaxArchiveTotal)
        throw EBuildLimit("entry larger than 2 GB");
    TEntryHeader& h = entry.Header;
    h.NameLength = static_cast<int16_t>(source.Name.size());
    h.FileDate = source.FileDate;
    h.Attributes = source.Attributes;
    h.ExpandedSize = static_cast<int32_t>(source.Data.size());
    h.CompressedSize = static_cast<int32_t>(entry.Stored.size());
    h.Method = source.Method;
    h.Checksum = EntryChecksum(ByteSum(source.Data.data(), source.Data.size()), source.Lock, key);
    h.Lock = source.Lock;
    return entry;
}

TArchiveWriter::TArchiveWriter(uint8_t method, int32_t key) : FMethod(method), FKey(key) {
    // A method byte of no method is written as custom data.
    const TMethodRow* row = MethodRow(method);
    FImage.Header.CompressID = (row != nullptr ? row : MethodRow(coCustom))->Id;
    FImage.Header.KeyMarker = key > 0 ? 2 : 0;
}

TArchiveWriter& TArchiveWriter::Add(const TArchiveEntrySource& source) {
    FImage.Entries.push_back(PackEntry(source, FKey, CustomEncoder));
    FTotal += FImage.Entries.back().Header.ExpandedSize;
    if (FTotal > kMaxArchiveTotal) throw EBuildLimit("archive larger than 2 GB");
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

TArchiveStreamWriter::TArchiveStreamWriter(TStream& dest, uint8_t method, int32_t key)
    : FDest(dest), FMethod(method), FKey(key), FStart(dest.Position()), FEnd(FStart + ArchiveHeaderSize) {
    static_cast<void>(MakeStreamEncoder(method)); // a method without an encoder fails before any write
    const auto header = EncodeArchiveHeader(TArchiveHeader{});
    FDest.WriteBuffer(header.data(), ArchiveHeaderSize);
}

TArchiveStreamWriter::TPass TArchiveStreamWriter::Encode(uint8_t method, TStream& source, int64_t dataAt,
                                                         TCheck check) {
    FDest.SetPosition(dataAt);
    const auto encoder = MakeStreamEncoder(method);
    std::vector<uint8_t> in(BlockSize);
    std::vector<uint8_t> out;
    TPass pass;
    bool probing = check == TCheck::FirstBlocks && method != coNone;
    int64_t nextSample = SampleEvery;
    const auto flush = [&] {
        if (FKey > 0) ScrambleWithKey(out, FKey, static_cast<uint64_t>(pass.Stored));
        FDest.WriteBuffer(out.data(), static_cast<int32_t>(out.size()));
        pass.Stored += static_cast<int64_t>(out.size());
        out.clear();
    };
    for (int32_t n; (n = source.Read(in.data(), BlockSize)) > 0;) {
        pass.Expanded += n;
        if (FTotal + pass.Expanded > kMaxArchiveTotal) throw EBuildLimit("archive larger than 2 GB");
        pass.Sum = ByteSum(in.data(), static_cast<size_t>(n), pass.Sum);
        encoder->Put(std::span(in).first(static_cast<size_t>(n)), out);
        if (probing && encoder->BytesCoded() >= ProbeSize) {
            probing = false;
            const uint64_t coded = encoder->BytesCoded();
            if (static_cast<uint64_t>(pass.Stored) + out.size() >= coded) {
                pass.Shrank = false;
                return pass;
            }
        }
        if (check == TCheck::Samples && pass.Expanded >= nextSample) {
            nextSample += SampleEvery;
            // A smaller block alone can be chance; an eighth less is worth a second pass.
            const auto sample =
                EncodeAll(*MakeStreamEncoder(FMethod), std::span(in).first(static_cast<size_t>(n)));
            if (sample.size() < static_cast<size_t>(n) / 8 * 7) {
                pass.SampleShrank = true;
                return pass;
            }
        }
        if (out.size() >= static_cast<size_t>(BlockSize)) flush();
    }
    encoder->Finish(out);
    flush();
    pass.Shrank = method == coNone || pass.Stored < pass.Expanded;
    return pass;
}

const TEntryHeader& TArchiveStreamWriter::Add(const std::string& name, uint32_t fileDate, uint16_t attributes,
                                              TStream& source) {
    CheckNameLength(name);
    TEntryHeader& h = FLast;
    h = TEntryHeader{};
    h.NameLength = static_cast<int16_t>(name.size());
    h.FileDate = fileDate;
    h.Attributes = attributes;
    h.Lock = FKey > 0 ? 2 : 0;
    const int64_t headerAt = FEnd;
    FDest.SetPosition(headerAt);
    const auto open = EncodeEntryHeader(h);
    FDest.WriteBuffer(open.data(), EntryHeaderSize);
    FDest.WriteBuffer(name.data(), static_cast<int32_t>(name.size()));
    const int64_t dataAt = headerAt + EntryHeaderSize + static_cast<int64_t>(name.size());

    const int64_t sourceAt = source.Position();
    const auto pack = [&](uint8_t method, TCheck check) {
        source.SetPosition(sourceAt);
        h.Method = method; // each entry names its own method
        return Encode(method, source, dataAt, check);
    };
    TPass pass = pack(FMethod, TCheck::FirstBlocks);
    if (!pass.Shrank) {
        pass = pack(coNone, TCheck::Samples);
        if (pass.SampleShrank) pass = pack(FMethod, TCheck::None);
        if (!pass.Shrank) pass = pack(coNone, TCheck::None);
    }
    h.ExpandedSize = static_cast<int32_t>(pass.Expanded);
    h.CompressedSize = static_cast<int32_t>(pass.Stored);
    h.Checksum = EntryChecksum(pass.Sum, h.Lock, FKey);
    const auto filled = EncodeEntryHeader(h);
    FDest.SetPosition(headerAt);
    FDest.WriteBuffer(filled.data(), EntryHeaderSize);
    FEnd = dataAt + pass.Stored;
    FDest.SetPosition(FEnd);
    FTotal += pass.Expanded;
    FEmpty = false;
    return h;
}

int64_t TArchiveStreamWriter::Finish() {
    TArchiveHeader header;
    header.CompressID = MethodRow(FMethod)->Id;
    header.KeyMarker = FKey > 0 ? 2 : 0;
    // Only empty files: a total of 0 would end the expansion before the first of them.
    header.TotalSize = FEmpty || FTotal > 0 ? static_cast<int32_t>(FTotal) : 1;
    const auto bytes = EncodeArchiveHeader(header);
    FDest.SetPosition(FStart);
    FDest.WriteBuffer(bytes.data(), ArchiveHeaderSize);
    FDest.SetPosition(FEnd);
    return FEnd - FStart;
}

} // namespace yar::builder
