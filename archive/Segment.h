// Segment sets: compressed archives carried across numbered volume files. TSegCompress finds and
// checks each volume in turn (asking the user for missing or wrong ones), reads the set's records
// across volume boundaries, copies each archive into a temporary file and expands it through the
// container; a reader that needs no file reads each archive in place, through a stream that spans
// the volumes. TSegCompEZ keeps the list of the set's archives itself and reports their templates.
#pragma once

#include "archive/Compress.h"
#include "archive/SegmentRecords.h"
#include "archive/UserPrompts.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

inline constexpr const char* SegMsgInvalidSegmentIDHeader = "(TSegCompress) Invalid Segment ID Header";
inline constexpr const char* SegMsgInvalidSegmentHeaderID = "(TSegCompress) Invalid Segment Header ID";
inline constexpr const char* SegMsgInvalidScanIDHeader = "(TSegCompress) Invalid Scan ID Header";
inline constexpr const char* SegMsgInvalidArchiveIDHeader = "(TSegCompress) Invalid Archive ID Header";
inline constexpr const char* SegMsgInvalidArchiveSequence = "(TSegCompress) Invalid Archive sequence number";
inline constexpr const char* SegMsgStreamOpenFailed = "(TSegCompress) Stream open failed";
inline constexpr const char* SegMsgStreamReadFailed = "(TSegCompress) Stream read failed";
inline constexpr const char* SegMsgOperationAborted = "(TSegCompress) Operation aborted by user";

// Every failure of the segment layer; the message begins with "(TSegCompress) ". Only its kinds
// below are raised, so that a handler can tell them apart without reading the text.
class ESegError : public std::runtime_error {
protected:
    explicit ESegError(const char* message) : std::runtime_error(message) {}
};

// The run was ended by a cancelled prompt or by a handler's AbortFlag: SegMsgOperationAborted.
class ESegAborted : public ESegError {
public:
    ESegAborted() : ESegError(SegMsgOperationAborted) {}
};

// A volume or temporary file that cannot be opened or read back: SegMsgStreamOpenFailed or
// SegMsgStreamReadFailed.
class ESegStreamError : public ESegError {
public:
    explicit ESegStreamError(const char* message) : ESegError(message) {}
};

// A record of the set that is not what its place requires: one of the SegMsgInvalid... messages.
class ESegInvalidRecord : public ESegError {
public:
    explicit ESegInvalidRecord(const char* message) : ESegError(message) {}
};

// A list position that does not exist: "List index out of bounds (<index>)".
class EListError : public std::out_of_range {
public:
    explicit EListError(std::size_t index);
};

// Why a volume event is raised: smExpand while reading a set; smCompress belongs to building.
enum TSegMode : uint8_t { smCompress = 0, smExpand = 1 };
// How a building program walks its sources; kept so that stored settings load.
enum TBuildMode : uint8_t { bmFlat = 0, bmRecursive = 1 };

// One archive of a set.
class TSegArc {
public:
    std::string Template; // from the scan record
    std::string Path;     // directory part of Template (up to the last "\" or ":")
    uint16_t Index = 0;   // position in the set, from 0
    uint8_t ArcTag = 0;   // kept, not interpreted
    // The stored names to expand; after expansion, the full paths of the files written.
    TNameList Files;
};

// The archives of a set; the list owns them.
class TSegArcList {
public:
    TSegArcList() = default;
    ~TSegArcList() { Clear(); }
    TSegArcList(const TSegArcList&) = delete;
    TSegArcList& operator=(const TSegArcList&) = delete;

    std::size_t Count() const { return FItems.size(); }
    TSegArc& Items(std::size_t index) const;
    TSegArc& operator[](std::size_t index) const { return Items(index); }

    void Add(std::unique_ptr<TSegArc> arc);
    // Frees the archive at index.
    void Delete(std::size_t index);
    // Moves the archive at from to position to.
    void Move(std::size_t from, std::size_t to);
    // Frees every archive, from the front.
    void Clear();

private:
    std::vector<std::unique_ptr<TSegArc>> FItems;
};

using TSegBeforeEvent = std::function<void(TSegMode SegMode, const std::string& SegName, uint16_t SegNumber)>;
using TSegAfterEvent = std::function<void(TSegMode SegMode, const std::string& SegName, uint16_t SegNumber)>;
using TSegBeforeExpandEvent = std::function<void(TSegArcList& SegArcList)>;
using TSegAfterArchiveEvent =
    std::function<void(const TSegArcHeader& SegArcHdr, const std::string& Template)>;
using TSegShowProgressEvent = std::function<void(int32_t PercentageDone)>;
// Whether the volume of Number, its record already found right, is the one expected, judged by its
// bytes from its start before any of them is used: read once through the handle they are then read
// through, which no one else may write; false takes the path of a wrong volume. A run that holds its
// volumes checks the next one on a thread of its own while it reads the current one: the event must
// touch nothing the run touches.
using TSegVerifyEvent = std::function<bool(std::string_view Volume, uint16_t Number)>;
// A volume OnSegVerify refused, before the user is asked for the right one.
using TSegWrongVolumeEvent = std::function<void(uint16_t Number)>;

// What a run does with each archive once it has been copied into its temporary file.
using TSegArchiveAction = std::function<void(TSegArc& Arc, const std::string& ArchivePath)>;
// What a run does with each archive read in place: Archive holds exactly the archive's bytes, from
// position 0, and may be read and sought anywhere within them.
using TSegStreamAction = std::function<void(TSegArc& Arc, TStream& Archive)>;

class TSegArchiveStream;
class TCheckedVolume;

class TSegCompress : public TCompress {
public:
    // Owner asks the user for volumes and receives the repaints and message pumping of a run;
    // without one, every prompt is answered with Cancel.
    explicit TSegCompress(TUserPrompts* Owner = nullptr);
    ~TSegCompress() override;

    // Published properties, in their published order, after those of TCompress.
    const std::string& SegBaseName() const { return FSegBaseName; }
    void SetSegBaseName(const std::string& value);
    const std::string& SegDir() const { return FSegDir; }
    void SetSegDir(const std::string& value);
    const std::string& SegExt() const { return FSegExt; }
    void SetSegExt(const std::string& value);
    bool SegPopUp() const { return FSegPopUp; }
    void SetSegPopUp(bool value) { FSegPopUp = value; }
    int32_t SegSize() const { return FSegSize; }
    void SetSegSize(int32_t value);
    const std::string& SegTmpDir() const { return FSegTmpDir; }
    void SetSegTmpDir(const std::string& value);

    TSegBeforeEvent OnSegBefore;
    TSegAfterEvent OnSegAfter;
    TSegBeforeExpandEvent OnSegBeforeExpand;
    TSegAfterArchiveEvent OnSegAfterArchive;
    TSegShowProgressEvent OnSegShowProgress;
    TSegVerifyEvent OnSegVerify;
    TSegWrongVolumeEvent OnSegWrongVolume;

    // Set by a handler (or a cancelled prompt) to end the run at its next check.
    bool AbortFlag() const { return FAbortFlag; }
    void SetAbortFlag(bool value) { FAbortFlag = value; }

    // The run state a handler may look at.
    uint16_t VolumeNumber() const { return FVolumeNumber; }
    const std::string& VolumePath() const { return FVolumePath; }
    const std::string& VolumeName() const { return FVolumeName; }
    TSegMode SegMode() const { return FSegMode; }

    // Expands the whole set into List: one TSegArc per archive, less those OnSegBeforeExpand removed,
    // each with Files holding the paths written.
    void ExpandSet(TSegArcList& List);
    // The same expansion without the temporary copy of each archive: read where it lies, each volume
    // through the one handle that found it (and OnSegVerify checked), kept open, denying others to write
    // or delete it, until the run ends. Only for volumes that stay in place: a floppy is taken out.
    void ExpandSetInPlace(TSegArcList& List);
    // The same run, with Action in place of the expansion of each archive (for listing or testing).
    void VisitSet(TSegArcList& List, const TSegArchiveAction& Action);
    // The same run without temporary files: each name list and archive is read where it lies in the
    // volumes. Going back within an archive reopens a volume already found, without prompting;
    // OnSegShowProgress reports the share of the archive read so far.
    void VisitSet(TSegArcList& List, const TSegStreamAction& Action);

    // Volume path and volume name of the current volume number in Directory.
    void BuildVolumeName(const std::string& Directory);

protected:
    // Reads and checks the 8-byte volume record straight from the volume file.
    void ReadVolumeRecord(TStream& Stream);
    // The directory prompt; true when the user cancelled.
    bool PromptVolumeDir(uint16_t Number);
    void BeforeVolume();
    // Opens volume Number, asking until the right one is found or the user cancels.
    std::unique_ptr<TStream> MountVolume(uint16_t Number);
    // The volume of Number at the current volume path, checked; nothing, with Why for the user, when it
    // is missing or another volume.
    std::unique_ptr<TStream> FindVolume(uint16_t Number, std::string& Why);
    // Count bytes of the logical stream, across volume boundaries.
    void ReadSpanning(uint8_t* Buffer, int32_t Count);
    void CloseVolume();
    void ReadScan(TSegArc& Arc);
    // Expands the archive in ArchivePath into the archive's Path, only the entries named in Files.
    void ExpandArchiveOf(TSegArc& Arc, const std::string& ArchivePath);
    // The name list of a run without temporary files goes into the list being read, not to a file.
    bool ExpandEntryToFile(TStream& Source, const TStoredEntry& Entry, const std::string& TargetFile,
                           const std::string& CompressID) override;

    TUserPrompts* Owner() const { return FOwner; }

private:
    friend class TSegArchiveStream;

    // Where a volume of the run holds its part of the logical stream.
    struct TVolumeSpan {
        std::string Path, Name;
        int64_t Start = 0; // logical offset of its first byte after the volume record
        int64_t Size = 0;  // bytes of the logical stream it holds
        // The volume's handle while another volume is read, in a run that holds its volumes.
        std::unique_ptr<TStream> Held;
    };

    // The walk over the archives shared by both kinds of run; Step reads or copies one archive of
    // ArcSize bytes at the current position of the logical stream.
    using TArchiveStep = std::function<void(TSegArc& Arc, int32_t ArcSize)>;
    void RunSet(TSegArcList& List, const TArchiveStep& Step);
    // RunSet's reading: the set's records, then each archive in turn.
    void RunArchives(TSegArcList& List, const TArchiveStep& Step);
    // Mounts volume Number (prompting as needed), reads its volume record and notes its span.
    void EnterVolume(uint16_t Number);
    // Leaves the current volume for the next one; one found before is reopened without a prompt.
    void NextVolume();
    // Moves the logical stream to offset To of the volumes already found or, forward, of those found now.
    void SeekSpanning(int64_t To);
    void OpenKnownVolume(std::size_t Index, int64_t Within);
    // Leaves the current volume: closed, or set aside in its span by a run that holds its volumes.
    void LeaveVolume();
    // A volume read whole and checked (Passed) is taken when the record in those bytes is Number's too.
    std::unique_ptr<TStream> Accepted(std::unique_ptr<TCheckedVolume> Checked, bool Passed, uint16_t Number,
                                      std::string& Why);
    // In a run that holds its volumes, volume Number, when its file is there, is opened and checked on a
    // thread of its own while the run reads the one before; nothing of it is used before FindVolume
    // took the verdict.
    void StartCheckAhead(uint16_t Number);
    // A volume read into memory and checked is read again, when at all, through its handle.
    static void ReleaseVolumeBytes(std::unique_ptr<TStream>& Volume);
    // The retry box: OK returns, Cancel (or no one to ask) aborts the run.
    void AskToGoOn(const std::string& Message);
    [[noreturn]] void Abort();
    void ProcessMessages();
    // Copies Count bytes of the logical stream into Dest (or passes over them without one), in blocks
    // of the work buffer, reporting the share done to Progress after each block.
    void CopySpanning(TStream* Dest, int32_t Count, const TSegShowProgressEvent& Progress);
    // Reads the set's name list of one archive (ListSize bytes) into Arc.Files, each name once (a
    // repeat, letter case ignored, selects nothing more): memory grows with the distinct names only.
    void ReadNameList(TSegArc& Arc, int32_t ListSize, int32_t RecordLength);
    // Expands the name-list archive in Source (a file or the volumes) the way both runs do, with the
    // name list itself going to NameListPath(); the written paths go to Written.
    void ExpandNameListArchive(TStream& Source, TNameList& Written);
    std::string TempArchivePath() const;
    std::string NameListPath() const;

    TUserPrompts* FOwner;
    std::string FSegBaseName;
    std::string FSegDir;
    std::string FSegExt;
    bool FSegPopUp = true;
    int32_t FSegSize = 1440000;
    std::string FSegTmpDir;

    uint16_t FVolumeNumber = 0;
    std::string FVolumePath, FVolumeName;
    bool FAbortFlag = false;
    TSegMode FSegMode = smCompress;
    std::vector<uint8_t> FBuffer;
    int64_t FVolumeRemaining = 0;
    std::unique_ptr<TStream> FVolume;
    // Logical offset of the next byte ReadSpanning delivers, and the volumes found so far (volume
    // n at n - 1), both needed to go back within an archive read in place.
    int64_t FLogical = 0;
    std::vector<TVolumeSpan> FVolumes;
    // Set while a run without temporary files reads a name list: where its bytes go.
    TStream* FNameListSink = nullptr;
    bool FInPlace = false;
    bool FHoldVolumes = false;
    // The check of the next volume, running while the current one is read.
    struct TCheckAhead;
    std::unique_ptr<TCheckAhead> FAhead;
};

class TSegCompEZ : public TSegCompress {
public:
    explicit TSegCompEZ(TUserPrompts* Owner = nullptr) : TSegCompress(Owner) {}

    // Published properties after those of TSegCompress; the first three only serve building.
    TBuildMode SegBuildMode() const { return FSegBuildMode; }
    void SetSegBuildMode(TBuildMode value) { FSegBuildMode = value; }
    uint8_t SegCompType() const { return FSegCompType; }
    void SetSegCompType(uint8_t value) { FSegCompType = value; }
    bool SegMultiArc() const { return FSegMultiArc; }
    void SetSegMultiArc(bool value) { FSegMultiArc = value; }
    // After SegExpand, the Template of every archive of the set.
    const std::vector<std::string>& SegSource() const { return FSegSource; }
    std::vector<std::string>& SegSource() { return FSegSource; }
    void SetSegSource(const std::vector<std::string>& value) { FSegSource = value; }

    TSegArcList SegArcList;

    // Expands the whole set described by the properties; with ReadInPlace, without temporary copies
    // (see ExpandSetInPlace).
    void SegExpand();
    bool ReadInPlace() const { return FReadInPlace; }
    void SetReadInPlace(bool value) { FReadInPlace = value; }

private:
    TBuildMode FSegBuildMode = bmRecursive;
    uint8_t FSegCompType = coLZH;
    bool FSegMultiArc = false;
    bool FReadInPlace = false;
    std::vector<std::string> FSegSource;
};

// The directory part of a template: everything up to and including the last "\" or ":".
std::string SegTemplateDir(const std::string& Template);

} // namespace yar
