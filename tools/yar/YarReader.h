// What the yar tool does with its input, a segment set (given by its first volume) or a single
// container archive, told apart by their first bytes: list, test and extract, on top of the
// segment component and the container.
#pragma once

#include "archive/Segment.h"
#include "system/Streams.h"
#include "tools/yar/Charset.h"
#include "tools/yar/Placement.h"
#include "tools/yar/ToolErrors.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace yar::tool {

// An input that cannot be opened, or is neither a set's first volume nor an archive.
class EInputError : public EToolFileError {
public:
    using EToolFileError::EToolFileError;
};

enum class TInputKind { SegmentSet, Archive };

// Reads the first bytes of the file: "SSeg" starts a volume, "XELT" and 0x1A an archive.
TInputKind DetectInput(const std::string& path);

// One archive with its entries. For a set also its template and the names it expands.
struct TArchiveContents {
    std::string Label; // the template of a set's archive; the file name of a single archive
    int Index = 0;
    bool InSet = false;
    TNameList Names; // the set's name list for this archive
    TArchiveListing Entries;
};

// The outcome of testing one entry; Error is empty when the entry is sound. A Note tells what the
// setup program does with a sound entry where that differs from extracting it.
struct TEntryVerdict {
    std::string Archive;
    std::string Name;
    std::string Error;
    std::string Note;
};

// Where extracted entries go: into files through a TPlacement, or onto a stream.
class TEntrySink {
public:
    virtual ~TEntrySink() = default;
    // The stream to expand the entry into, or nullptr to skip it. StoredPath includes the directory
    // of a set's template.
    virtual TStream* Open(const std::string& StoredPath, const TEntryHeader& Header) = 0;
    // Writes out what the stream of Open still holds, raising EStreamError as a write would.
    virtual void Flush() {}
    // The entry was expanded and checked.
    virtual void Finish(const TEntryHeader& Header) = 0;
    // The entry was damaged: what was written of it goes.
    virtual void Fail() = 0;
    // The name of the entry being written, for messages.
    virtual std::string Current() const = 0;
};

// Extraction into files below a directory.
class TPlacementSink : public TEntrySink {
public:
    explicit TPlacementSink(TPlacement& placement) : FPlacement(placement) {}
    TStream* Open(const std::string& StoredPath, const TEntryHeader& Header) override;
    void Flush() override;
    void Finish(const TEntryHeader& Header) override;
    void Fail() override {
        FBuffered.reset(); // a damaged entry's file goes whole, with what it still held
        FPlacement.Discard();
    }
    std::string Current() const override { return FPlacement.Pending(); }

private:
    TPlacement& FPlacement;
    // The file is written in blocks of up to kFileWriteBlock, where the decoders hand over 8 KiB at a time.
    std::optional<TBufferedWriteStream> FBuffered;
};

// Chooses entries by their stored path (with a set's template directory); empty takes every one.
using TEntrySelector = std::function<bool(const std::string& StoredPath)>;

class TYarReader : public TSegCompEZ {
public:
    // Input is a native path; TmpDir is the segment reader's temporary directory, which stays empty:
    // a set's name lists and archives are read where they lie in the volumes.
    TYarReader(const std::string& Input, TUserPrompts* Prompts, const std::string& TmpDir);

    TInputKind Kind() const { return FKind; }

    // How stored names and templates are shown and turned into paths (see Charset.h).
    TCharset NameCharset = NativeNameCharset;

    void List(const std::function<void(const TArchiveContents&)>& Visit);
    // Expands every entry into nothing and checks it; one verdict per entry. A damaged archive header
    // is a verdict for the archive as a whole (Name empty).
    void Test(const std::function<void(const TEntryVerdict&)>& Verdict);
    // Expands every entry (or those Select takes) into Sink, going on past a damaged entry; returns
    // the damage found, each with the entry it concerns (its target path where it has one).
    std::vector<TEntryVerdict> Extract(TEntrySink& Sink, const TEntrySelector& Select = {});
    std::vector<TEntryVerdict> Extract(TPlacement& Placement, const TEntrySelector& Select = {});

    // Share of the whole input done (0 to 1) and what is being worked on.
    std::function<void(double Fraction, const std::string& Label)> OnProgress;

private:
    // Runs Action on each archive of the input, with its label and a stream of exactly its bytes (a
    // set's archive read in place from the volumes).
    using TArchiveStep = std::function<void(TSegArc* Arc, TStream& Source, const std::string& Label)>;
    void ForEachArchive(const TArchiveStep& Action);
    // Runs Visit on each entry of the archive in Source with whether it lies past the total size, after
    // reporting the archive's structure problems to Verdict. The stream is left after each entry's data.
    using TEntryVisit = std::function<void(TStream& Source, const TStoredEntry& Entry,
                                           const std::string& CompressID, bool PastTotal)>;
    void WalkArchive(TStream& Source, const std::string& Label, const TNameList* Names,
                     const std::function<void(const TEntryVerdict&)>& Verdict, const TEntryVisit& Visit);
    // Progress: archives done plus the share of the current one.
    void Report(double Within, const std::string& Label);

    std::string FInput;
    TInputKind FKind;
    std::size_t FArchiveCount = 1, FArchivesDone = 0;
    std::string FCurrent; // template of the archive being read
    std::string FEntry;   // target of the entry being extracted
};

} // namespace yar::tool
