#include "archive/Compress.h"

#include "archive/CompThreadSafety.h"
#include "system/FileServices.h"
#include "system/WriteBehind.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>

namespace yar {

EInvalidHeader::EInvalidHeader() : ECompressError("Can't recognize compressed file header") {}
EInvalidHeaderArchiveType::EInvalidHeaderArchiveType() : ECompressError("Archive type must be caMulti") {}
EUnrecognizedCompressionMethod::EUnrecognizedCompressionMethod(const std::string& id)
    : ECompressError("Unrecognized compression method: \"" + id + "\" in header") {}
EInsufficientDiskSpace::EInsufficientDiskSpace(const std::string& path)
    : ECompressError("Not enough disk space to expand " + path) {}
EInvalidKey::EInvalidKey() : ECompressError("File locked -- valid key required") {}
EBadChecksum::EBadChecksum() : ECompressError("Bad checksum during expansion -- data may be invalid") {}

namespace {

// A header and one entry header: the least an archive worth listing holds.
constexpr int64_t MinListableSize = ArchiveHeaderSize + EntryHeaderSize;

int64_t BytesRemaining(TStream& s) {
    return std::max<int64_t>(0, s.Size() - s.Position());
}

// Reads up to count bytes, in as many reads as the stream needs; returns how many arrived.
int32_t ReadUpTo(TStream& s, void* buffer, int32_t count) {
    int32_t done = 0;
    while (done < count) {
        const int32_t got = s.Read(static_cast<uint8_t*>(buffer) + done, count - done);
        if (got <= 0) break;
        done += got;
    }
    return done;
}

TCompressedFileInfo InfoOf(const TStoredEntry& entry) {
    const TEntryHeader& h = entry.Header;
    return {h.FileDate, h.Attributes, h.ExpandedSize,     h.CompressedSize,
            h.Method,   h.Checksum,   entry.HeaderOffset, h.Lock > 0};
}

} // namespace

TCompress::TCompress() : FState(std::make_unique<TCompThreadSafety>()) {}

TCompress::~TCompress() = default;

void TCompress::SetTargetPath(const std::string& value) {
    FTargetPath = value.empty() ? value : IncludeTrailingDelimiter(value);
}

std::unique_ptr<TStream> TCompress::OpenArchive(const std::string& FileName) {
    return std::make_unique<TFileStream>(NativePath(FileName), fmOpenRead | fmShareExclusive);
}

void TCompress::SkipData(TStream& Source, int64_t From, int32_t Count) {
    // Never before From and never past the end: a size beyond the end just ends the archive.
    Source.Seek(std::min(From + std::max<int32_t>(Count, 0), Source.Size()), TSeekOrigin::soBeginning);
}

void TCompress::ListArchive(const std::string& FileName, TArchiveListing& List) {
    const auto source = OpenArchive(FileName);
    ListArchive(*source, List);
}

void TCompress::ListArchive(TStream& Source, TArchiveListing& List) {
    if (BytesRemaining(Source) < MinListableSize) return;
    ReadArchiveHeader(Source);
    while (const auto entry = ReadEntryHeader(Source)) {
        List.push_back({entry->Name, InfoOf(*entry)});
        SkipData(Source, Source.Position(), entry->Header.CompressedSize);
    }
}

void TCompress::ExpandArchive(const std::string& FileName, TNameList* Names) {
    const auto source = OpenArchive(FileName);
    ExpandArchive(*source, Names);
}

void TCompress::ExpandArchive(TStream& Source, TNameList* Names) {
    TNameList written;
    if (FWriteBehind && FExceptionOnFileError && !FKeepEntryProperties)
        ExpandEntriesBehind(Source, Names, written);
    else
        ExpandEntries(Source, Names, written);
    if (Names) *Names = std::move(written);
}

void TCompress::ExpandEntriesBehind(TStream& Source, const TNameList* Names, TNameList& Written) {
    FWriter = std::make_unique<TWriteBehind>();
    struct TWriterEnd {
        TCompress& C;
        ~TWriterEnd() { C.FWriter.reset(); }
    } writerEnd{*this};
    try {
        ExpandEntries(Source, Names, Written);
    } catch (...) {
        // The files expanded before the failure stay as a writer of its own would have left them.
        FWriter->FinishAfterFailure();
        throw;
    }
    FWriter->Finish();
}

void TCompress::ExpandEntries(TStream& Source, const TNameList* Names, TNameList& Written) {
    // Hashed, so that an archive of many entries with a list of many names expands in linear time.
    TNameSet wanted;
    if (Names) wanted.insert(Names->begin(), Names->end());
    int64_t total = 0;   // wide, so that hostile sizes cannot wrap it
    std::string madeDir; // the directory made for the entry before, asked for once while it repeats
    const TArchiveHeader header = ReadArchiveHeader(Source);
    while (const auto entry = ReadEntryHeader(Source)) {
        if (total >= header.TotalSize) break;
        const TEntryHeader& h = entry->Header;
        const int64_t dataStart = Source.Position();
        if (Names && !wanted.contains(entry->Name)) {
            SkipData(Source, dataStart, h.CompressedSize);
            total += h.ExpandedSize;
            continue;
        }
        std::string target =
            !entry->Name.empty() && entry->Name[0] == '\\' ? entry->Name : FTargetPath + entry->Name;
        if (OnCheckFile) {
            OnCheckFile(target, cpExpand);
            if (target.empty()) {
                SkipData(Source, dataStart, h.CompressedSize);
                continue;
            }
            if (target == "*") break;
        }
        if (FreeSpaceFor(target) < h.ExpandedSize) throw EInsufficientDiskSpace(target);
        if (std::string dir = ExtractFilePath(target); FMakeDirectories && dir != madeDir) {
            ForceEntryDirectory(dir);
            madeDir = std::move(dir);
        }
        const bool expanded = ExpandEntryToFile(Source, *entry, target, header.CompressID);
        // The next header follows the entry's data, however much of it the decoder consumed.
        SkipData(Source, dataStart, h.CompressedSize);
        if (!expanded) continue;
        Written.push_back(target);
        total += h.ExpandedSize;
    }
}

bool TCompress::ExpandEntryToFile(TStream& Source, const TStoredEntry& Entry, const std::string& TargetFile,
                                  const std::string& CompressID) {
    const TEntryHeader& h = Entry.Header;
    if (FWriter) {
        FWriter->Create(NativePath(TargetFile));
        try {
            ExpandEntry(*FWriter, Source, h, CompressID);
        } catch (const EInvalidKey&) {
            FWriter->FinishAfterFailure();
            RemoveFileAt(TargetFile);
            throw;
        }
        return true;
    }
    std::unique_ptr<TFileStream> out;
    try {
        out = std::make_unique<TFileStream>(NativePath(TargetFile), fmCreate | fmShareExclusive);
    } catch (const EStreamError&) {
        if (FExceptionOnFileError) throw;
        return false;
    }
    TBufferedWriteStream buffered(*out, FileWriteBlockFor(h.ExpandedSize));
    try {
        ExpandEntry(buffered, Source, h, CompressID);
        buffered.Flush();
    } catch (const EInvalidKey&) {
        out.reset();
        RemoveFileAt(TargetFile);
        throw;
    } catch (...) {
        // The partly written file stays, closed and with its attributes, for the caller to judge: with
        // every byte decoded, as unbuffered writes would have left it.
        try {
            buffered.Flush();
        } catch (const EStreamError&) {
            // The error on its way is the one to report; the file is partial either way.
        }
        out.reset();
        if (FKeepEntryProperties) ApplyFileAttributes(TargetFile, h.Attributes);
        throw;
    }
    if (!FKeepEntryProperties) return true;
    // A date the platform refuses leaves the file's own time, as an invalid date has no better value.
    SetFileDosDate(*out, h.FileDate);
    out.reset();
    ApplyFileAttributes(TargetFile, h.Attributes);
    return true;
}

void TCompress::ExpandStream(TStream& Dest, TStream& Source, int32_t SourceSize, int32_t DestSize,
                             uint8_t Method, int32_t& Checksum, bool KeyedInput) {
    yar::ExpandStream(*FState, Dest, Source, SourceSize, DestSize, Method, Checksum, KeyedInput, FKey,
                      OnShowProgress);
}

TArchiveHeader TCompress::ReadArchiveHeader(TStream& Source) {
    if (BytesRemaining(Source) < ArchiveHeaderSize) return TArchiveHeader{}; // an empty archive
    TArchiveHeaderBytes bytes{};
    Source.ReadBuffer(bytes.data(), ArchiveHeaderSize);
    TArchiveHeader header = DecodeArchiveHeader(bytes);
    if (header.Magic != ArchiveMagic) throw EInvalidHeader();
    if (header.ArchiveType != caMulti) throw EInvalidHeaderArchiveType();
    MethodFromID(header.CompressID); // checked only: each entry names its own method
    return header;
}

uint8_t TCompress::MethodFromID(const std::string& id) {
    if (const auto method = MethodOrdinalOfID(id)) return *method;
    if (OnRecognize) {
        bool recognized = false;
        OnRecognize(id, recognized);
        if (recognized) return coCustom;
    }
    throw EUnrecognizedCompressionMethod(id);
}

std::optional<TStoredEntry> TCompress::ReadEntryHeader(TStream& Source) {
    TEntryHeaderBytes bytes{};
    if (ReadUpTo(Source, bytes.data(), EntryHeaderSize) < EntryHeaderSize) return std::nullopt;
    TStoredEntry entry;
    entry.Header = DecodeEntryHeader(bytes);
    const int32_t nameLength = entry.Header.NameLength;
    // Negative sizes describe no entry: they would read or skip backwards. A name longer than the
    // rest of the stream is not allocated, since it could not arrive anyway.
    if (nameLength < 0 || entry.Header.CompressedSize < 0 || nameLength > BytesRemaining(Source))
        return std::nullopt;
    entry.Name.resize(static_cast<size_t>(nameLength));
    if (ReadUpTo(Source, entry.Name.data(), nameLength) < nameLength) return std::nullopt;
    entry.HeaderOffset = Source.Position() - EntryHeaderSize - nameLength;
    return entry;
}

void TCompress::ExpandEntry(TStream& Dest, TStream& Source, const TEntryHeader& Entry,
                            const std::string& CompressID) {
    if (Entry.Lock > 0 && FKey == 0) throw EInvalidKey();
    int32_t computed = 0;
    if (Entry.Method == coCustom) {
        if (OnExpand) OnExpand(Dest, Source, Entry.CompressedSize, Entry.ExpandedSize, CompressID, computed);
    } else {
        try {
            ExpandStream(Dest, Source, Entry.CompressedSize, Entry.ExpandedSize, Entry.Method, computed,
                         Entry.Lock == 2);
        } catch (const ELZHBadDecodeTable&) {
            // Scrambled by a wrong key, a locked entry's data decodes to nonsense tables.
            if (Entry.Lock > 0) throw EInvalidKey();
            throw;
        }
    }
    if (computed == Entry.Checksum) return;
    if (Entry.Checksum == 0 && Entry.Method == coNone) return;
    if (Entry.Lock > 0) {
        if (static_cast<uint32_t>(FKey) + static_cast<uint32_t>(computed) ==
            static_cast<uint32_t>(Entry.Checksum))
            return;
        throw EInvalidKey();
    }
    throw EBadChecksum();
}

int32_t TCompress::FreeSpaceFor(const std::string& Path) {
    if (!FCheckSpaceBeforeExpand) return UnlimitedSpace;
    const double free = DriveFreeSpace(Path);
    const int32_t result = free >= UnlimitedSpace ? UnlimitedSpace : static_cast<int32_t>(std::trunc(free));
    if (result == UnlimitedSpace || !FileExistsAt(Path)) return result;
    // The existing file will be replaced, so its size counts as free.
    const int64_t sum = static_cast<int64_t>(result) + FileSizeAt(Path).value_or(0);
    return sum < UnlimitedSpace ? static_cast<int32_t>(sum) : UnlimitedSpace;
}

double TCompress::DriveFreeSpace(const std::string& Path) {
    return DiskFreeBytes(Path);
}

void TCompress::ForceEntryDirectory(const std::string& Directory) {
    ForceDirectories(Directory);
}

} // namespace yar
