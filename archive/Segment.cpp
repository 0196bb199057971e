#include "archive/Segment.h"

#include "system/BackgroundTask.h"
#include "system/FileServices.h"
#include "util/Text.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <utility>

namespace yar {

EListError::EListError(std::size_t index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}

namespace {

constexpr const char* SegDefaultBaseName = "SegData";
constexpr const char* SegDefaultDir = "a:\\";
constexpr int32_t SegMinSize = 16384;
constexpr const char* PromptTail = "\n\rCorrect and then press OK, or Cancel to abort";
constexpr const char* WrongVolumeText = "Incorrect segmented mounted!";

// Windows file names ignore letter case, so the component keeps its names in lower case there.
// Elsewhere case is part of the name and folding it would point at another file.
std::string FoldFileNameCase(std::string s) {
#ifdef _WIN32
    return LowerCase(std::move(s));
#else
    return s;
#endif
}

std::string TrimTrailingBlanks(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// A temporary file of a run. Attributes applied by an expansion (read-only) would keep it alive.
void DeleteTempFile(const std::string& path) {
    ApplyFileAttributes(path, 0);
    RemoveFileAt(path);
}

// Deletes a temporary file when the step that made it ends, however it ends.
class TTempFile {
public:
    explicit TTempFile(std::string path) : FPath(std::move(path)) {}
    ~TTempFile() { DeleteTempFile(FPath); }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

} // namespace

// A volume read whole into memory through its handle, which it keeps open so that no one else may write
// the file: the bytes checked are the bytes read, and the file stays as they were. Read only.
class TCheckedVolume : public TStream {
public:
    TCheckedVolume(std::string bytes, std::unique_ptr<TStream> file)
        : FBytes(std::move(bytes)), FFile(std::move(file)) {}

    int32_t Read(void* buffer, int32_t count) override {
        const auto n = static_cast<int32_t>(std::clamp<int64_t>(Size() - FPosition, 0, count));
        std::copy_n(FBytes.data() + FPosition, n, static_cast<char*>(buffer));
        FPosition += n;
        return n;
    }
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                             : origin == TSeekOrigin::soEnd     ? Size()
                                                                : FPosition;
        FPosition = std::clamp<int64_t>(base + offset, 0, Size());
        return FPosition;
    }
    int64_t Size() override { return static_cast<int64_t>(FBytes.size()); }

    std::string_view View() const { return FBytes; }
    // The handle, for a run that reads the volume again later: the bytes go.
    std::unique_ptr<TStream> TakeFile() { return std::move(FFile); }

private:
    std::string FBytes;
    std::unique_ptr<TStream> FFile;
    int64_t FPosition = 0;
};

// The next volume's file, read and judged on a thread of its own. The thread is waited for before
// anything else of it goes.
struct TSegCompress::TCheckAhead {
    uint16_t Number = 0;
    std::string Path;
    const TSegVerifyEvent* Verify = nullptr;
    std::unique_ptr<TStream> File;           // the thread's until it ends
    std::unique_ptr<TCheckedVolume> Checked; // nothing when it could not be read
    bool Passed = false;
    std::unique_ptr<TBackgroundTask> Task;
    ~TCheckAhead() { Task.reset(); }
};

namespace {

std::unique_ptr<TCheckedVolume> ReadWholeVolume(std::unique_ptr<TStream> volume) {
    volume->Seek(0, TSeekOrigin::soBeginning);
    std::string bytes(static_cast<std::size_t>(std::max<int64_t>(volume->Size(), 0)), '\0');
    constexpr std::size_t kPiece = 1u << 20;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        const auto n = static_cast<int32_t>(std::min(kPiece, bytes.size() - at));
        if (volume->Read(bytes.data() + at, n) != n) throw ESegStreamError(SegMsgStreamReadFailed);
    }
    return std::make_unique<TCheckedVolume>(std::move(bytes), std::move(volume));
}

std::unique_ptr<TFileStream> OpenOrFail(const std::string& path, uint16_t mode) {
    try {
        return std::make_unique<TFileStream>(NativePath(path), mode);
    } catch (const EStreamError&) {
        throw ESegStreamError(SegMsgStreamOpenFailed);
    }
}

// Takes the bytes of an expanded name list and cuts them into records of RecordLength bytes (the
// last may be shorter), each giving the text up to its first zero byte without trailing blanks. A
// name that equals one already read, ignoring case as the container's matching does, is dropped:
// it could select nothing more, and a small list that expands to millions of equal records would
// otherwise hold millions of strings. Close hands the names to Files in the order first read.
class TNameRecords : public TStream {
public:
    TNameRecords(TNameList& files, int32_t recordLength)
        : FFiles(files), FRecordLength(static_cast<std::size_t>(recordLength)) {
        FRecord.reserve(FRecordLength);
    }

    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void* buffer, int32_t count) override {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        for (int32_t done = 0; done < count;) {
            const auto n = static_cast<int32_t>(std::min<std::size_t>(
                FRecordLength - FRecord.size(), static_cast<std::size_t>(count - done)));
            FRecord.insert(FRecord.end(), bytes + done, bytes + done + n);
            done += n;
            FWritten += n;
            if (FRecord.size() == FRecordLength) TakeRecord();
        }
        return count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return FWritten; }

    void Close() {
        if (!FRecord.empty()) TakeRecord();
        FFiles.clear();
        for (std::string& name : FNames) FFiles.push_back(std::move(name));
        FNames.clear();
    }

private:
    void TakeRecord() {
        FNames.push_back(TrimTrailingBlanks(TextUpToZero(FRecord.data(), FRecord.size())));
        if (!FSeen.insert(FNames.back()).second) FNames.pop_back();
        FRecord.clear();
    }

    TNameList& FFiles;
    std::size_t FRecordLength;
    std::vector<uint8_t> FRecord;
    std::deque<std::string> FNames; // stays where it is for the views of FSeen
    TNameSet FSeen;
    int64_t FWritten = 0;
};

// The five container events set aside while name lists are expanded, so that the application sees
// none of those files; they come back when the guard ends.
class TContainerEventsAside {
public:
    explicit TContainerEventsAside(TCompress& c)
        : C(c), Compress(std::exchange(c.OnCompress, nullptr)), Expand(std::exchange(c.OnExpand, nullptr)),
          CheckFile(std::exchange(c.OnCheckFile, nullptr)), Recognize(std::exchange(c.OnRecognize, nullptr)),
          Progress(std::exchange(c.OnShowProgress, nullptr)) {}
    ~TContainerEventsAside() {
        C.OnCompress = std::move(Compress);
        C.OnExpand = std::move(Expand);
        C.OnCheckFile = std::move(CheckFile);
        C.OnRecognize = std::move(Recognize);
        C.OnShowProgress = std::move(Progress);
    }
    TContainerEventsAside(const TContainerEventsAside&) = delete;
    TContainerEventsAside& operator=(const TContainerEventsAside&) = delete;

private:
    TCompress& C;
    TCompressEvent Compress;
    TExpandEvent Expand;
    TFilenameCheckEvent CheckFile;
    TRecognizeEvent Recognize;
    TShowProgressEvent Progress;
};

} // namespace

std::string SegTemplateDir(const std::string& Template) {
    return ExtractFilePath(Template);
}

// ---- TSegArcList ----

TSegArc& TSegArcList::Items(std::size_t index) const {
    if (index >= FItems.size()) throw EListError(index);
    return *FItems[index];
}

void TSegArcList::Add(std::unique_ptr<TSegArc> arc) {
    FItems.push_back(std::move(arc));
}

void TSegArcList::Delete(std::size_t index) {
    if (index >= FItems.size()) throw EListError(index);
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(index));
}

void TSegArcList::Move(std::size_t from, std::size_t to) {
    if (from >= FItems.size()) throw EListError(from);
    if (to >= FItems.size()) throw EListError(to);
    auto item = std::move(FItems[from]);
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(from));
    FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(to), std::move(item));
}

void TSegArcList::Clear() {
    while (!FItems.empty()) FItems.erase(FItems.begin());
}

// ---- TSegCompress: properties ----

TSegCompress::TSegCompress(TUserPrompts* Owner)
    : FOwner(Owner), FSegBaseName(SegDefaultBaseName), FSegDir(SegDefaultDir) {
    SetSegTmpDir("");
}

TSegCompress::~TSegCompress() = default;

void TSegCompress::SetSegBaseName(const std::string& value) {
    const std::string name = ExtractFileName(value);
    FSegBaseName = name.empty() ? SegDefaultBaseName : FoldFileNameCase(name);
}

void TSegCompress::SetSegDir(const std::string& value) {
    FSegDir = value.empty() ? SegDefaultDir : FoldFileNameCase(value);
}

void TSegCompress::SetSegExt(const std::string& value) {
    FSegExt = value.substr(0, 3);
}

void TSegCompress::SetSegSize(int32_t value) {
    FSegSize = std::max(value, SegMinSize);
}

void TSegCompress::SetSegTmpDir(const std::string& value) {
    std::string dir = ExcludeTrailingDelimiter(value);
    if (dir.empty()) dir = ExcludeTrailingDelimiter(CurrentDirectory());
    FSegTmpDir = FoldFileNameCase(dir);
}

// ---- TSegCompress: volumes ----

void TSegCompress::Abort() {
    throw ESegAborted();
}

void TSegCompress::ProcessMessages() {
    if (FOwner) FOwner->ProcessMessages();
}

void TSegCompress::BuildVolumeName(const std::string& Directory) {
    FVolumeName = SegVolumeFileName(FSegBaseName, FSegExt, FVolumeNumber);
    FVolumePath = JoinPath(Directory, FVolumeName);
}

namespace {
// The volume record at the stream's position, or nothing when it is short or has the wrong id.
std::optional<TSegVolumeRecord> ReadVolumeRecordFrom(TStream& Stream) {
    uint8_t bytes[TSegVolumeRecord::Size]{};
    int32_t got = 0;
    while (got < static_cast<int32_t>(sizeof bytes)) {
        const int32_t n = Stream.Read(bytes + got, static_cast<int32_t>(sizeof bytes) - got);
        if (n <= 0) break;
        got += n;
    }
    if (got < static_cast<int32_t>(sizeof bytes)) return std::nullopt;
    const TSegVolumeRecord record = DecodeVolumeRecord(bytes);
    if (record.Id != SegVolumeId) return std::nullopt;
    return record;
}
} // namespace

void TSegCompress::ReadVolumeRecord(TStream& Stream) {
    if (!ReadVolumeRecordFrom(Stream)) throw ESegInvalidRecord(SegMsgInvalidSegmentIDHeader);
    FVolumeRemaining -= static_cast<int64_t>(TSegVolumeRecord::Size);
}

bool TSegCompress::PromptVolumeDir(uint16_t Number) {
    if (!FOwner) return true;
    const TArrowCursorGuard arrow(FOwner);
    for (;;) {
        std::string value = FSegDir;
        if (!FOwner->InputQuery("Mount Segment #" + std::to_string(Number), "Directory Path:", value))
            return true;
        if (!value.empty()) {
            FSegDir = value; // exactly as typed
            return false;
        }
    }
}

void TSegCompress::BeforeVolume() {
    if (FSegPopUp) {
        FAbortFlag = PromptVolumeDir(FVolumeNumber);
        if (FOwner) FOwner->RepaintOwner();
        if (FAbortFlag) Abort();
        BuildVolumeName(FSegDir);
    }
    if (OnSegBefore) OnSegBefore(FSegMode, FVolumeName, FVolumeNumber);
    if (FAbortFlag) Abort();
}

std::unique_ptr<TStream> TSegCompress::MountVolume(uint16_t Number) {
    FVolumeNumber = Number;
    BuildVolumeName(FSegDir);
    for (;;) {
        BeforeVolume();
        std::string message;
        if (std::unique_ptr<TStream> volume = FindVolume(Number, message)) {
            volume->Seek(0, TSeekOrigin::soBeginning);
            FVolumeRemaining = volume->Size();
            StartCheckAhead(static_cast<uint16_t>(Number + 1));
            return volume;
        }
        AskToGoOn(message + PromptTail);
    }
}

std::unique_ptr<TStream> TSegCompress::FindVolume(uint16_t Number, std::string& Why) {
    if (FAhead) {
        std::unique_ptr<TCheckAhead> ahead = std::move(FAhead);
        ahead->Task->Wait();
        // Checked for another directory than the one now asked, or not read: judged again from the start.
        if (ahead->Number == Number && ahead->Path == FVolumePath && ahead->Checked)
            return Accepted(std::move(ahead->Checked), ahead->Passed, Number, Why);
    }
    if (!FileExistsAt(FVolumePath)) {
        Why = "Unable to locate \"" + FVolumeName + "\" on this segment!";
        return nullptr;
    }
    // A file of the expected name that holds no volume record is not prompted for.
    std::optional<TSegVolumeRecord> record;
    {
        const auto probe = OpenOrFail(FVolumePath, fmOpenRead | fmShareExclusive);
        record = ReadVolumeRecordFrom(*probe);
    }
    if (!record) throw ESegStreamError(SegMsgStreamOpenFailed);
    if (record->SegNumber != Number) {
        Why = WrongVolumeText;
        return nullptr;
    }
    // Checked through the handle it is then read through, which no one else may write.
    std::unique_ptr<TStream> volume = OpenOrFail(FVolumePath, fmOpenRead | fmShareExclusive);
    if (!OnSegVerify) return volume;
    // Read once: the run reads the very bytes judged.
    auto checked = ReadWholeVolume(std::move(volume));
    const bool passed = OnSegVerify(checked->View(), Number);
    return Accepted(std::move(checked), passed, Number, Why);
}

std::unique_ptr<TStream> TSegCompress::Accepted(std::unique_ptr<TCheckedVolume> Checked, bool Passed,
                                                uint16_t Number, std::string& Why) {
    // The record judged is the one in the bytes checked, not the one a look by name found.
    Checked->Seek(0, TSeekOrigin::soBeginning);
    const std::optional<TSegVolumeRecord> record = ReadVolumeRecordFrom(*Checked);
    if (!record) throw ESegStreamError(SegMsgStreamOpenFailed);
    if (record->SegNumber == Number && Passed) return Checked;
    if (record->SegNumber == Number && OnSegWrongVolume) OnSegWrongVolume(Number);
    Why = WrongVolumeText;
    return nullptr;
}

void TSegCompress::StartCheckAhead(uint16_t Number) {
    FAhead.reset();
    if (!FHoldVolumes || !OnSegVerify || Number == 0) return;
    auto ahead = std::make_unique<TCheckAhead>();
    ahead->Number = Number;
    ahead->Path = JoinPath(FSegDir, SegVolumeFileName(FSegBaseName, FSegExt, Number));
    ahead->Verify = &OnSegVerify;
    if (!FileExistsAt(ahead->Path)) return; // asked for when the run gets there
    try {
        ahead->File = std::make_unique<TFileStream>(NativePath(ahead->Path), fmOpenRead | fmShareExclusive);
    } catch (const EStreamError&) {
        return; // the run's own look at it reports it
    }
    ahead->Task = std::make_unique<TBackgroundTask>(
        [](void* context) {
            auto& a = *static_cast<TCheckAhead*>(context);
            try {
                a.Checked = ReadWholeVolume(std::move(a.File));
            } catch (const ESegStreamError&) {
                return; // not read: the run reads it again itself, and reports what it meets
            }
            a.Passed = (*a.Verify)(a.Checked->View(), a.Number);
        },
        ahead.get());
    FAhead = std::move(ahead);
}

void TSegCompress::AskToGoOn(const std::string& Message) {
    if (FOwner && FOwner->ErrorOkCancel(Message)) return;
    FAbortFlag = true;
    Abort();
}

void TSegCompress::CloseVolume() {
    // The next volume's check holds that volume: it ends first, its verdict no longer wanted.
    FAhead.reset();
    FVolume.reset();
    FVolumeRemaining = 0;
}

void TSegCompress::ReleaseVolumeBytes(std::unique_ptr<TStream>& Volume) {
    if (auto* checked = dynamic_cast<TCheckedVolume*>(Volume.get())) Volume = checked->TakeFile();
}

void TSegCompress::EnterVolume(uint16_t Number) {
    FVolume = MountVolume(Number);
    ReadVolumeRecord(*FVolume);
    const int64_t start = FVolumes.empty() ? 0 : FVolumes.back().Start + FVolumes.back().Size;
    FVolumes.push_back({FVolumePath, FVolumeName, start, FVolumeRemaining, nullptr});
    FLogical = start;
}

void TSegCompress::LeaveVolume() {
    if (FHoldVolumes && FVolume && FVolumeNumber >= 1 && FVolumeNumber <= FVolumes.size()) {
        // Held by its handle alone: a volume read into memory lets its bytes go.
        ReleaseVolumeBytes(FVolume);
        FVolumes[FVolumeNumber - 1u].Held = std::move(FVolume);
    }
    FVolume.reset();
}

void TSegCompress::NextVolume() {
    LeaveVolume();
    if (FVolumeNumber < FVolumes.size()) { // found before: an archive read in place went back
        OpenKnownVolume(FVolumeNumber, 0);
        return;
    }
    if (OnSegAfter) OnSegAfter(FSegMode, FVolumeName, FVolumeNumber);
    if (FAbortFlag) Abort();
    EnterVolume(static_cast<uint16_t>(FVolumeNumber + 1));
}

void TSegCompress::OpenKnownVolume(std::size_t Index, int64_t Within) {
    LeaveVolume();
    TVolumeSpan& span = FVolumes[Index];
    // A held volume is never opened again by name: the file there now may not be the one checked.
    FVolume = span.Held ? std::move(span.Held) : OpenOrFail(span.Path, fmOpenRead | fmShareExclusive);
    FVolumeNumber = static_cast<uint16_t>(Index + 1);
    FVolumePath = span.Path;
    FVolumeName = span.Name;
    FVolume->Seek(static_cast<int64_t>(TSegVolumeRecord::Size) + Within, TSeekOrigin::soBeginning);
    FVolumeRemaining = span.Size - Within;
    FLogical = span.Start + Within;
}

void TSegCompress::SeekSpanning(int64_t To) {
    if (To == FLogical) return;
    const std::size_t current = FVolumeNumber - 1u;
    const TVolumeSpan& span = FVolumes[current];
    if (To >= span.Start && To <= span.Start + span.Size) {
        FVolume->Seek(static_cast<int64_t>(TSegVolumeRecord::Size) + To - span.Start,
                      TSeekOrigin::soBeginning);
        FVolumeRemaining = span.Start + span.Size - To;
        FLogical = To;
        return;
    }
    if (To < span.Start) {
        // The last volume that holds To: a volume holding only its record holds nothing.
        std::size_t i = current;
        while (i > 0 && FVolumes[i].Start > To) --i;
        OpenKnownVolume(i, To - FVolumes[i].Start);
        return;
    }
    // Forward past this volume: the volumes on the way are found as reading would find them.
    while (To > FVolumes[FVolumeNumber - 1u].Start + FVolumes[FVolumeNumber - 1u].Size) NextVolume();
    SeekSpanning(To);
}

void TSegCompress::ReadSpanning(uint8_t* Buffer, int32_t Count) {
    while (Count > 0) {
        if (FVolumeRemaining <= 0) {
            NextVolume();
            continue; // a volume may hold nothing but its volume record
        }
        const auto n = static_cast<int32_t>(std::min<int64_t>({SegBufferSize, Count, FVolumeRemaining}));
        // A volume that holds fewer bytes than its size said (cut while open) fails here, not forever.
        FVolume->ReadBuffer(Buffer, n);
        Buffer += n;
        Count -= n;
        FVolumeRemaining -= n;
        FLogical += n;
        ProcessMessages();
    }
}

void TSegCompress::CopySpanning(TStream* Dest, int32_t Count, const TSegShowProgressEvent& Progress) {
    int32_t done = 0;
    while (done < Count) {
        std::fill(FBuffer.begin(), FBuffer.end(), uint8_t{0});
        const int32_t n = std::min(SegBufferSize, Count - done);
        ReadSpanning(FBuffer.data(), n);
        if (Dest) Dest->WriteBuffer(FBuffer.data(), n);
        done += n;
        if (Progress) Progress(static_cast<int32_t>(static_cast<int64_t>(done) * 100 / Count));
    }
}

// The window [start, start + size) of the logical stream as a stream of its own, read straight from
// the volumes. When it ends, the logical stream stands after the window, wherever it was left.
class TSegArchiveStream : public TStream {
public:
    TSegArchiveStream(TSegCompress& seg, int32_t size, TSegShowProgressEvent progress)
        : S(seg), FStart(seg.FLogical), FSize(size), FProgress(std::move(progress)) {}
    ~TSegArchiveStream() override = default;
    TSegArchiveStream(const TSegArchiveStream&) = delete;
    TSegArchiveStream& operator=(const TSegArchiveStream&) = delete;

    int32_t Read(void* buffer, int32_t count) override {
        const auto n = static_cast<int32_t>(std::clamp<int64_t>(FStart + FSize - S.FLogical, 0, count));
        if (n == 0) return 0;
        S.ReadSpanning(static_cast<uint8_t*>(buffer), n);
        if (FProgress) FProgress(static_cast<int32_t>((S.FLogical - FStart) * 100 / FSize));
        return n;
    }
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        int64_t to = offset;
        if (origin == TSeekOrigin::soCurrent) to += S.FLogical - FStart;
        if (origin == TSeekOrigin::soEnd) to += FSize;
        S.SeekSpanning(FStart + std::clamp<int64_t>(to, 0, FSize));
        return S.FLogical - FStart;
    }
    int64_t Size() override { return FSize; }
    // Moves the logical stream to the end of the window, for the records that follow it.
    void Finish() { S.SeekSpanning(FStart + FSize); }

private:
    TSegCompress& S;
    int64_t FStart;
    int64_t FSize;
    TSegShowProgressEvent FProgress;
};

// ---- TSegCompress: the run ----

std::string TSegCompress::TempArchivePath() const {
    return JoinPath(FSegTmpDir, FSegBaseName + ".$A$");
}

// The name list is always written under this name, whatever its stored name says: a stored name
// must neither leave the temporary directory nor replace a file that lives there.
std::string TSegCompress::NameListPath() const {
    return JoinPath(FSegTmpDir, FSegBaseName + ".$L$");
}

void TSegCompress::ExpandSet(TSegArcList& List) {
    VisitSet(List,
             [this](TSegArc& Arc, const std::string& ArchivePath) { ExpandArchiveOf(Arc, ArchivePath); });
}

void TSegCompress::ExpandSetInPlace(TSegArcList& List) {
    FHoldVolumes = true;
    struct TRelease {
        TSegCompress& S;
        ~TRelease() { S.FHoldVolumes = false; }
    } release{*this};
    VisitSet(List, [this](TSegArc& Arc, TStream& Archive) {
        SetMakeDirectories(true);
        SetTargetPath(Arc.Path);
        ExpandArchive(Archive, &Arc.Files);
    });
}

void TSegCompress::VisitSet(TSegArcList& List, const TSegArchiveAction& Action) {
    FInPlace = false;
    RunSet(List, [&](TSegArc& Arc, int32_t ArcSize) {
        const TTempFile archive(TempArchivePath());
        RemoveFileAt(archive.Path());
        {
            const auto out = OpenOrFail(archive.Path(), fmCreate | fmShareExclusive);
            CopySpanning(out.get(), ArcSize, OnSegShowProgress);
        }
        Action(Arc, archive.Path());
    });
}

void TSegCompress::VisitSet(TSegArcList& List, const TSegStreamAction& Action) {
    FInPlace = true;
    RunSet(List, [&](TSegArc& Arc, int32_t ArcSize) {
        TSegArchiveStream archive(*this, ArcSize, OnSegShowProgress);
        Action(Arc, archive);
        archive.Finish();
    });
}

void TSegCompress::RunSet(TSegArcList& List, const TArchiveStep& Step) {
    FAbortFlag = false;
    FSegMode = smExpand;
    FBuffer.assign(SegBufferSize, 0);
    FVolumes.clear();
    FLogical = 0;
    // Whatever way the run ends: no volume stays open and the work buffer goes.
    struct TRunEnd {
        TSegCompress& S;
        ~TRunEnd() {
            S.CloseVolume();
            S.FBuffer = {};
            S.FVolumes = std::vector<TVolumeSpan>();
        }
    } runEnd{*this};
    RunArchives(List, Step);
}

void TSegCompress::RunArchives(TSegArcList& List, const TArchiveStep& Step) {
    ForceEntryDirectory(FSegTmpDir);
    List.Clear();

    EnterVolume(1);
    uint8_t setBytes[TSegSetHeader::Size]{};
    ReadSpanning(setBytes, sizeof setBytes);
    const TSegSetHeader set = DecodeSetHeader(setBytes);
    if (set.Id != SegSetId) throw ESegInvalidRecord(SegMsgInvalidSegmentHeaderID);

    {
        const TContainerEventsAside aside(*this);
        for (uint16_t i = 0; i < set.ArcCount; ++i) {
            auto arc = std::make_unique<TSegArc>();
            ReadScan(*arc);
            arc->Index = i;
            List.Add(std::move(arc));
        }
    }

    if (OnSegBeforeExpand) OnSegBeforeExpand(List);
    if (FAbortFlag) Abort();

    const std::size_t count = List.Count();
    for (std::size_t i = 0; i < count; ++i) {
        TSegArc& arc = List[i];
        TSegArcHeader header;
        for (;;) {
            uint8_t bytes[TSegArcHeader::Size]{};
            ReadSpanning(bytes, sizeof bytes);
            header = DecodeArcHeader(bytes);
            if (header.Id != SegArcId || header.ArcSize < 0)
                throw ESegInvalidRecord(SegMsgInvalidArchiveIDHeader);
            if (header.ArcSeq > arc.Index) throw ESegInvalidRecord(SegMsgInvalidArchiveSequence);
            if (header.ArcSeq == arc.Index) break;
            CopySpanning(nullptr, header.ArcSize, nullptr); // an archive the application did not keep
        }
        Step(arc, header.ArcSize);
        if (OnSegAfterArchive) OnSegAfterArchive(header, arc.Template);
        if (FAbortFlag) Abort();
    }
}

void TSegCompress::ReadScan(TSegArc& Arc) {
    uint8_t scanBytes[TSegScanRecord::Size]{};
    ReadSpanning(scanBytes, sizeof scanBytes);
    const TSegScanRecord scan = DecodeScanRecord(scanBytes);
    if (scan.Id != SegScanId) throw ESegInvalidRecord(SegMsgInvalidScanIDHeader);
    // Lengths the reader's buffers cannot hold, or that cannot be, make the record invalid.
    if (scan.PathLength > SegMaxPathLength || scan.RecordLength < 1 ||
        scan.RecordLength > SegMaxRecordLength || scan.ListSize < 0)
        throw ESegInvalidRecord(SegMsgInvalidScanIDHeader);

    std::fill(FBuffer.begin(), FBuffer.end(), uint8_t{0});
    ReadSpanning(FBuffer.data(), scan.PathLength);
    Arc.Template = TextUpToZero(FBuffer.data(), scan.PathLength);
    Arc.Path = SegTemplateDir(Arc.Template);
    Arc.ArcTag = scan.ArcTag;
    Arc.Files.clear();

    ReadNameList(Arc, scan.ListSize, scan.RecordLength);
}

void TSegCompress::ExpandNameListArchive(TStream& Source, TNameList& Written) {
    const std::string savedTarget = TargetPath();
    SetTargetPath(IncludeTrailingDelimiter(FSegTmpDir));
    struct TRestoreTarget {
        TSegCompress& S;
        const std::string& Saved;
        ~TRestoreTarget() { S.SetTargetPath(Saved); }
    } restoreTarget{*this, savedTarget};

    // The first entry is the name list; any further entry is not written at all.
    OnCheckFile = [this, entries = 0](std::string& filepath, TCProcessMode) mutable {
        filepath = entries++ == 0 ? NameListPath() : "*";
    };
    struct TClearCheck {
        TSegCompress& S;
        ~TClearCheck() { S.OnCheckFile = nullptr; }
    } clearCheck{*this};

    TArchiveListing listing;
    ListArchive(Source, listing);
    Source.SetPosition(0);
    for (const TListedEntry& entry : listing) Written.push_back(entry.Name);
    ExpandArchive(Source, &Written);
    if (Written.empty()) throw EListError(0);
}

bool TSegCompress::ExpandEntryToFile(TStream& Source, const TStoredEntry& Entry,
                                     const std::string& TargetFile, const std::string& CompressID) {
    if (!FNameListSink || TargetFile != NameListPath())
        return TCompress::ExpandEntryToFile(Source, Entry, TargetFile, CompressID);
    ExpandEntry(*FNameListSink, Source, Entry.Header, CompressID);
    return true;
}

void TSegCompress::ReadNameList(TSegArc& Arc, int32_t ListSize, int32_t RecordLength) {
    TNameRecords records(Arc.Files, RecordLength);
    if (FInPlace) {
        TSegArchiveStream archive(*this, ListSize, nullptr);
        FNameListSink = &records;
        struct TSinkEnd {
            TSegCompress& S;
            ~TSinkEnd() { S.FNameListSink = nullptr; }
        } sinkEnd{*this};
        TNameList written;
        ExpandNameListArchive(archive, written);
        archive.Finish();
        records.Close();
        return;
    }

    // Goes on every path, also when the name list's own expansion fails halfway through the file.
    const TTempFile list(NameListPath());
    {
        const TTempFile archive(TempArchivePath());
        RemoveFileAt(archive.Path());
        {
            const auto out = OpenOrFail(archive.Path(), fmCreate | fmShareExclusive);
            CopySpanning(out.get(), ListSize, nullptr);
        }
        const auto in = OpenOrFail(archive.Path(), fmOpenRead | fmShareExclusive);
        TNameList written;
        ExpandNameListArchive(*in, written);
    }

    const auto in = OpenOrFail(list.Path(), fmOpenRead | fmShareExclusive);
    std::vector<uint8_t> block(SegBufferSize);
    for (int64_t remaining = in->Size(); remaining > 0;) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(SegBufferSize, remaining));
        int32_t got = 0;
        while (got < n) {
            const int32_t r = in->Read(block.data() + got, n - got);
            if (r <= 0) throw ESegStreamError(SegMsgStreamReadFailed);
            got += r;
        }
        records.WriteBuffer(block.data(), n);
        remaining -= n;
    }
    records.Close();
}

void TSegCompress::ExpandArchiveOf(TSegArc& Arc, const std::string& ArchivePath) {
    SetMakeDirectories(true);
    SetTargetPath(Arc.Path);
    ExpandArchive(ArchivePath, &Arc.Files);
}

// ---- TSegCompEZ ----

void TSegCompEZ::SegExpand() {
    SetTargetPath("");
    if (FReadInPlace)
        ExpandSetInPlace(SegArcList);
    else
        ExpandSet(SegArcList);
    FSegSource.clear();
    for (std::size_t i = 0; i < SegArcList.Count(); ++i) FSegSource.push_back(SegArcList[i].Template);
    SetTargetPath("");
}

} // namespace yar
