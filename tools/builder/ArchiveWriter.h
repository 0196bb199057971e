// Writes compressed archives in the container layout: the archive header, then per entry its header,
// stored name and stored bytes. TArchiveWriter packs entries held in memory: they may use any method,
// be locked (Lock 1) or locked and keyed (Lock 2), and carry a chosen date and attributes, and the
// packed form is plain data, so a test can alter any field before writing to make a deliberately odd
// archive. TArchiveStreamWriter packs files of any size into a stream in bounded memory.
#pragma once

#include "archive/ArchiveFormat.h"
#include "system/Streams.h"
#include "tools/builder/Encoders.h"

#include <cstdint>
#include <functional>
#include <memory>
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
// A stream encoder of a built-in method other than coCustom.
std::unique_ptr<TStreamEncoder> MakeStreamEncoder(uint8_t method);

// XORs bytes with the key's four bytes, low byte first, starting over with every entry; offset is
// where in its entry's stored bytes the first of bytes lies.
void ScrambleWithKey(std::span<uint8_t> bytes, int32_t key, uint64_t offset = 0);

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

// Writes an archive into dest from its position on, entry by entry. Each entry's data is read from
// its source in blocks and encoded into dest as it goes, so memory stays bounded (the blocks, the
// encoder's window, tables and backlog) whatever the sizes. An entry's header goes out with its sizes
// and checksum open and is filled in once its data has gone through, the archive header's TotalSize
// at Finish; dest must therefore allow seeking back.
class TArchiveStreamWriter {
public:
    // The most one Read of a source asks for.
    static constexpr int32_t BlockSize = 64 * 1024;
    // Data coded this far into an entry without shrinking is taken as data the method cannot shrink.
    static constexpr uint64_t ProbeSize = 256 * 1024;
    // While such an entry is stored, one block in this many bytes is tried in the method, so that an
    // entry whose later part shrinks is still packed.
    static constexpr int64_t SampleEvery = 2 * 1024 * 1024;

    // The header's id names method; with key above 0 every entry is locked and keyed with it.
    TArchiveStreamWriter(TStream& dest, uint8_t method, int32_t key = 0);

    // Adds the data source holds from its position to its end. Data the method does not shrink is
    // stored as it is (coNone), so that no entry is larger than its data. When the first ProbeSize
    // bytes coded do not shrink, the entry is stored from the start, unless a sampled later block
    // shrinks after all: then the whole entry is encoded in the method. When only the end shows that
    // the entry did not shrink, the source is read again from where it began and stored over what
    // was encoded. An archive past 2 GB raises EBuildLimit as soon as the data read reaches it.
    const TEntryHeader& Add(const std::string& name, uint32_t fileDate, uint16_t attributes, TStream& source);

    // Writes the archive header and leaves dest at the archive's end; returns the archive's size.
    // After a stored entry replaced its encoded form, dest may hold stale bytes past that end, which
    // the caller cuts off or leaves out.
    int64_t Finish();

private:
    struct TPass {
        int64_t Expanded = 0;
        int64_t Stored = 0;
        uint32_t Sum = 0;
        bool Shrank = true;        // false: given up, or complete and not smaller than the data
        bool SampleShrank = false; // given up storing: a sampled block shrinks in the writer's method
    };
    enum class TCheck { None, FirstBlocks, Samples };
    TPass Encode(uint8_t method, TStream& source, int64_t dataAt, TCheck check);

    TStream& FDest;
    uint8_t FMethod;
    int32_t FKey;
    int64_t FStart;
    int64_t FEnd;
    int64_t FTotal = 0;
    bool FEmpty = true;
    TEntryHeader FLast;
};

} // namespace yar::builder
