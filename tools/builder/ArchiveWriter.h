// Writes compressed archives in the container layout: the archive header, then per entry its header,
// stored name and stored bytes. Entries may use any method, be locked (Lock 1) or locked and keyed
// (Lock 2), and carry a chosen date and attributes. The packed form is plain data, so a test can
// alter any field before writing to make a deliberately odd archive.
#pragma once

#include "archive/ArchiveFormat.h"
#include "system/Streams.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace yar::builder {

// One file to put into an archive.
struct TArchiveEntrySource {
    std::string Name; // stored name: relative, or beginning with "\"
    std::vector<uint8_t> Data;
    uint8_t Method = coNone;
    uint32_t FileDate = 0; // DOS packed date and time
    uint16_t Attributes = 0x20;
    int32_t Lock = 0; // 0 open, 1 locked, 2 locked and keyed
};

// Turns a coCustom entry's bytes into its stored bytes; without one they are stored as they are.
using TCustomEncoder = std::function<std::vector<uint8_t>(std::span<const uint8_t>)>;

// An entry as it is written.
struct TPackedEntry {
    TEntryHeader Header;
    std::string Name;
    std::vector<uint8_t> Stored;
};

// A whole archive as it is written.
struct TArchiveImage {
    TArchiveHeader Header;
    std::vector<TPackedEntry> Entries;

    // Writes the records as they are: NameLength and CompressedSize are taken from the headers, so a
    // test may make them disagree with the name and the stored bytes.
    std::vector<uint8_t> Bytes() const;
    void WriteTo(TStream& dest) const;
    void WriteFile(const std::string& fileName) const;
};

// The stored bytes of data in a built-in method (coCustom through custom, identity without it).
std::vector<uint8_t> EncodeWith(uint8_t method, std::span<const uint8_t> data,
                                const TCustomEncoder& custom = {});

// XORs bytes with the key's four bytes, low byte first, starting over with every entry.
void ScrambleWithKey(std::vector<uint8_t>& bytes, int32_t key);

// Encodes, keys and checksums one entry; NameLength, sizes, Checksum and Lock are filled in. A name or
// data too long for the entry's fields raises EBuildLimit.
TPackedEntry PackEntry(const TArchiveEntrySource& source, int32_t key, const TCustomEncoder& custom = {});

class TArchiveWriter {
public:
    // The header's id names method; key locks the entries that ask for a lock.
    explicit TArchiveWriter(uint8_t method = coLZH5, int32_t key = 0);

    TCustomEncoder CustomEncoder;

    // Packs the entry at once and adds its ExpandedSize to the header's TotalSize.
    TArchiveWriter& Add(const TArchiveEntrySource& source);
    // A file in the writer's own method with the default date and attributes.
    TArchiveWriter& Add(const std::string& name, std::span<const uint8_t> data);

    const TArchiveImage& Image() const { return FImage; }
    std::vector<uint8_t> Bytes() const { return FImage.Bytes(); }
    void WriteFile(const std::string& fileName) const { FImage.WriteFile(fileName); }

private:
    uint8_t FMethod;
    int32_t FKey;
    int64_t FTotal = 0;
    TArchiveImage FImage;
};

} // namespace yar::builder
