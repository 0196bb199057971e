// TCompress: the archive container. It lists the entries of a compressed archive and expands them to
// files: target paths, the application's rename/skip/stop handler, the free-space check, missing
// directories, the decoder of each entry's method, checksum and key lock, and the file's date, time
// and attributes. The segment-set reader derives from it.
#pragma once

#include "archive/ArchiveErrors.h"
#include "archive/ArchiveFormat.h"
#include "archive/ExpandStream.h"
#include "system/Streams.h"
#include "util/Text.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace yar {

class TCompThreadSafety;

// The block an expanded file is written in: one call to the system for most files, where the decoders
// hand over 8 KiB at a time.
inline constexpr int32_t kFileWriteBlock = 256 * 1024;
// The block for a file of expandedSize bytes: no larger than the file, so that each of many small files
// does not take (and touch) a whole block of memory.
inline int32_t FileWriteBlockFor(int32_t expandedSize) {
    return std::clamp(expandedSize, 1, kFileWriteBlock);
}

// Why OnCheckFile is called; expansion always passes cpExpand.
enum TCProcessMode : uint8_t { cpCompress = 0, cpExpand = 1 };

// The compressing side's counterpart of OnExpand; never raised while expanding.
using TCompressEvent = std::function<void(TStream& dest, TStream& source, std::string& CompressID,
                                          int32_t& Outputsize, int32_t& checksum)>;
// Decodes a coCustom entry: reads Sourcesize bytes of source (and must leave it after them),
// writes Destsize bytes to dest and returns their checksum.
using TExpandEvent = std::function<void(TStream& dest, TStream& source, int32_t Sourcesize, int32_t Destsize,
                                        const std::string& CompressID, int32_t& checksum)>;
// Sees each target path before the file is created: "" skips the entry, "*" stops the expansion,
// anything else is the new target path.
using TFilenameCheckEvent = std::function<void(std::string& filepath, TCProcessMode mode)>;
// Accepts a header id that is not one of the built-in methods' ids.
using TRecognizeEvent = std::function<void(const std::string& CompressID, bool& recognized)>;

class EInvalidHeader : public ECompressError {
public:
    EInvalidHeader();
};
class EInvalidHeaderArchiveType : public ECompressError {
public:
    EInvalidHeaderArchiveType();
};
class EUnrecognizedCompressionMethod : public ECompressError {
public:
    explicit EUnrecognizedCompressionMethod(const std::string& id);
};
class EInsufficientDiskSpace : public ECompressError {
public:
    explicit EInsufficientDiskSpace(const std::string& path);
};
class EInvalidKey : public ECompressError {
public:
    EInvalidKey();
};
class EBadChecksum : public ECompressError {
public:
    EBadChecksum();
};

// What a listing tells about one entry.
struct TCompressedFileInfo {
    uint32_t FileDate = 0;
    uint16_t Attributes = 0;
    int32_t ExpandedSize = 0;
    int32_t CompressedSize = 0;
    uint8_t Method = coNone;
    int32_t Checksum = 0;
    int64_t HeaderOffset = 0; // stream position of the entry header
    bool Locked = false;      // Lock > 0
};

// One line of a listing: the stored name with the facts of its entry (owned by the list).
struct TListedEntry {
    std::string Name;
    TCompressedFileInfo Info;
};
using TArchiveListing = std::vector<TListedEntry>;

// Stored names to expand; on return, the full paths of the files written.
using TNameList = std::vector<std::string>;
// Names looked up ignoring letter case as SameText does; the strings viewed must outlive the set
// and stay where they are.
using TNameSet = std::unordered_set<std::string_view, TSameTextHash, TSameTextEqual>;

// An entry header with its stored name, as read from the stream.
struct TStoredEntry {
    TEntryHeader Header;
    std::string Name;
    int64_t HeaderOffset = 0;
};

class TWriteBehind;

class TCompress {
public:
    TCompress();
    virtual ~TCompress();
    TCompress(const TCompress&) = delete;
    TCompress& operator=(const TCompress&) = delete;

    // Published events, in their published order; each is raised only when assigned.
    TCompressEvent OnCompress;
    TExpandEvent OnExpand;
    TFilenameCheckEvent OnCheckFile;
    TRecognizeEvent OnRecognize;
    TShowProgressEvent OnShowProgress;

    // Published properties, in their published order.
    const std::string& TargetPath() const { return FTargetPath; }
    void SetTargetPath(const std::string& value); // appends "\" unless empty or already there
    bool MakeDirectories() const { return FMakeDirectories; }
    void SetMakeDirectories(bool value) { FMakeDirectories = value; }
    bool ExceptionOnFileError() const { return FExceptionOnFileError; }
    void SetExceptionOnFileError(bool value) { FExceptionOnFileError = value; }
    int32_t Key() const { return FKey; }
    void SetKey(int32_t value) { FKey = value; }
    bool CheckSpaceBeforeExpand() const { return FCheckSpaceBeforeExpand; }
    void SetCheckSpaceBeforeExpand(bool value) { FCheckSpaceBeforeExpand = value; }
    // Whether an expanded file takes its entry's date and attributes (on by default); a caller that
    // gives its files new ones afterwards spares the system the calls.
    bool KeepEntryProperties() const { return FKeepEntryProperties; }
    void SetKeepEntryProperties(bool value) { FKeepEntryProperties = value; }
    // Whether the expanded files are written on a second thread while the next entries are decoded (off by
    // default). Only with ExceptionOnFileError on and KeepEntryProperties off, where the caller learns of
    // a file that could not be written by the expansion's failure and sets no dates afterwards: the files
    // are complete once ExpandArchive returns, and not before.
    bool WriteBehind() const { return FWriteBehind; }
    void SetWriteBehind(bool value) { FWriteBehind = value; }

    // Appends one line per entry to List (lines already there stay). The file form opens the
    // archive for reading with exclusive sharing; the stream form starts at the current position.
    void ListArchive(const std::string& FileName, TArchiveListing& List);
    void ListArchive(TStream& Source, TArchiveListing& List);

    // Expands every entry (Names absent) or those whose stored name equals a line of Names, ignoring
    // letter case; when the expansion completes, Names holds the paths written, in archive order.
    void ExpandArchive(const std::string& FileName, TNameList* Names);
    void ExpandArchive(TStream& Source, TNameList* Names);

    // The expansion engine, run with this component's codec state, Key and OnShowProgress.
    void ExpandStream(TStream& Dest, TStream& Source, int32_t SourceSize, int32_t DestSize, uint8_t Method,
                      int32_t& Checksum, bool KeyedInput);

    // The largest signed 32-bit value: free space that passes every check.
    static constexpr int32_t UnlimitedSpace = 2147483647;

protected:
    // The steps of listing and expansion; a subclass may refine them.
    virtual TArchiveHeader ReadArchiveHeader(TStream& Source);
    virtual uint8_t MethodFromID(const std::string& id);
    // The next entry header and its name, or nothing when the archive ends here.
    virtual std::optional<TStoredEntry> ReadEntryHeader(TStream& Source);
    virtual void ExpandEntry(TStream& Dest, TStream& Source, const TEntryHeader& Entry,
                             const std::string& CompressID);
    virtual int32_t FreeSpaceFor(const std::string& Path);
    virtual void ForceEntryDirectory(const std::string& Directory);
    // Free bytes of the drive holding Path as the platform reports them; -1 when the query fails.
    virtual double DriveFreeSpace(const std::string& Path);
    // Creates the output file, writes the entry into it and restores its date and attributes.
    // Returns whether the file was written.
    virtual bool ExpandEntryToFile(TStream& Source, const TStoredEntry& Entry, const std::string& TargetFile,
                                   const std::string& CompressID);

private:
    // Opens an archive file for reading with exclusive sharing.
    static std::unique_ptr<TStream> OpenArchive(const std::string& FileName);
    // Moves Source forward by Count bytes, never before its position nor past its end.
    static void SkipData(TStream& Source, int64_t From, int32_t Count);
    // ExpandArchive's walk over the entries: Names selects, Written receives the paths written.
    void ExpandEntries(TStream& Source, const TNameList* Names, TNameList& Written);
    // The same walk with the files written on a second thread, all of them complete when it returns.
    void ExpandEntriesBehind(TStream& Source, const TNameList* Names, TNameList& Written);

    // ExpandEntryToFile hands the file to the writing thread: the one of the expansion under way.
    std::unique_ptr<TWriteBehind> FWriter;

    std::unique_ptr<TCompThreadSafety> FState;
    std::string FTargetPath;
    bool FMakeDirectories = false;
    bool FExceptionOnFileError = false;
    int32_t FKey = 0;
    bool FCheckSpaceBeforeExpand = false;
    bool FKeepEntryProperties = true;
    bool FWriteBehind = false;
};

} // namespace yar
