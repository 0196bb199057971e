#include "tools/yar/YarReader.h"

#include "system/FileServices.h"
#include "tools/yar/ArchiveCheck.h"
#include "tools/yar/Interrupt.h"
#include "util/Text.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace yar::tool {
namespace fs = std::filesystem;

namespace {
// Takes the container handlers a step installed away again when the step ends, however it ends:
// they refer to the step's own variables.
class TStepHandlers {
public:
    explicit TStepHandlers(TCompress& c) : C(c) {}
    ~TStepHandlers() { C.OnShowProgress = nullptr; }
    TStepHandlers(const TStepHandlers&) = delete;
    TStepHandlers& operator=(const TStepHandlers&) = delete;

private:
    TCompress& C;
};
} // namespace

TInputKind DetectInput(const std::string& path) {
    // A FIFO or a device would be read forever, or block the open itself.
    std::error_code ec;
    const auto type = fs::status(fs::path(path), ec).type();
    if (type != fs::file_type::regular && type != fs::file_type::not_found && !ec)
        throw EInputError(path + " is not a regular file");
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) throw EInputError("cannot open " + path);
    char head[8] = {};
    in.read(head, sizeof head);
    const auto got = in.gcount();
    if (got >= 8 && std::memcmp(head, "SSeg", 4) == 0) {
        const int number = static_cast<unsigned char>(head[6]) | static_cast<unsigned char>(head[7]) << 8;
        if (number != 1)
            throw EInputError(path + " is volume " + std::to_string(number) +
                              " of a segment set; give volume 1");
        return TInputKind::SegmentSet;
    }
    if (got >= 5 && std::memcmp(head, "XELT\x1A", 5) == 0) return TInputKind::Archive;
    throw EInputError(path + " is neither a segment set nor an archive");
}

TYarReader::TYarReader(const std::string& Input, TUserPrompts* Prompts, const std::string& TmpDir)
    : TSegCompEZ(Prompts), FInput(Input), FKind(DetectInput(Input)) {
    if (FKind == TInputKind::SegmentSet) {
        // The platform's own separators, which the component's path rules know (on Windows "\" only).
        const fs::path p = fs::path(Input).make_preferred();
        const std::string ext =
            p.extension().string().substr(std::min<std::size_t>(1, p.extension().string().size()));
        const bool numbered =
            !ext.empty() && std::all_of(ext.begin(), ext.end(), [](char c) { return c >= '0' && c <= '9'; });
        SetSegBaseName(p.stem().string());
        SetSegExt(numbered ? "" : ext);
        SetSegDir(p.has_parent_path() ? p.parent_path().string() : ".");
        // The prompts find each volume before the component looks for it (see TTerminalPrompts).
        SetSegPopUp(true);
    }
    SetSegTmpDir(TmpDir);
    SetExceptionOnFileError(true);
}

void TYarReader::Report(double Within, const std::string& Label) {
    if (!OnProgress) return;
    const auto count = static_cast<double>(std::max<std::size_t>(FArchiveCount, 1));
    OnProgress((static_cast<double>(FArchivesDone) + std::clamp(Within, 0.0, 1.0)) / count, Label);
}

void TYarReader::ForEachArchive(const TArchiveStep& Action) {
    FArchivesDone = 0;
    if (FKind == TInputKind::Archive) {
        FArchiveCount = 1;
        TFileStream source(NativePath(FInput), fmOpenRead | fmShareExclusive);
        Action(nullptr, source, fs::path(FInput).filename().string());
        return;
    }
    OnSegBeforeExpand = [this](TSegArcList& list) { FArchiveCount = list.Count(); };
    // Each archive is read where it lies in the volumes: no copy of it is made.
    OnSegShowProgress = [](int32_t) { ThrowIfStopRequested(); };
    VisitSet(SegArcList, [&](TSegArc& arc, TStream& source) {
        FCurrent = arc.Template;
        Action(&arc, source, arc.Template);
        ++FArchivesDone;
    });
}

void TYarReader::List(const std::function<void(const TArchiveContents&)>& Visit) {
    ForEachArchive([&](TSegArc* arc, TStream& source, const std::string& label) {
        TArchiveContents contents;
        contents.Label = arc ? StoredToUtf8(label, NameCharset) : label;
        if (arc) {
            contents.InSet = true;
            contents.Index = arc->Index;
            for (const std::string& name : arc->Files)
                contents.Names.push_back(StoredToUtf8(name, NameCharset));
        }
        ListArchive(source, contents.Entries);
        for (TListedEntry& e : contents.Entries) e.Name = StoredToUtf8(e.Name, NameCharset);
        Visit(contents);
    });
}

void TYarReader::Test(const std::function<void(const TEntryVerdict&)>& Verdict) {
    const TStepHandlers handlers(*this);
    ForEachArchive([&](TSegArc* arc, TStream& archive, const std::string& label) {
        WalkArchive(archive, label, arc ? &arc->Files : nullptr, Verdict,
                    [&](TStream& source, const TStoredEntry& entry, const std::string& id, bool pastTotal) {
                        const TEntryHeader& h = entry.Header;
                        if (pastTotal) { // the structure check has judged a non-empty one
                            if (h.ExpandedSize == 0)
                                Verdict(
                                    {label, entry.Name, "",
                                     "the setup program skips it: it lies after the archive's total size"});
                            return;
                        }
                        std::string error;
                        TNullStream sink;
                        try {
                            ExpandEntry(sink, source, h, id);
                        } catch (const ECompressError& e) { // the decoders' bad tables too
                            error = e.what();
                        } catch (const EStreamError& e) {
                            error = e.what();
                        }
                        Verdict({label, StoredToUtf8(entry.Name, NameCharset), error, ""});
                    });
    });
}

void TYarReader::WalkArchive(TStream& Source, const std::string& Label, const TNameList* Names,
                             const std::function<void(const TEntryVerdict&)>& Verdict,
                             const TEntryVisit& Visit) {
    for (const TStructureProblem& p : CheckArchiveStructure(Source, Names))
        Verdict({Label, StoredToUtf8(p.Entry, NameCharset), p.Problem, ""});
    Source.SetPosition(0);
    TArchiveHeader header;
    try {
        header = ReadArchiveHeader(Source);
    } catch (const ECompressError& e) {
        Verdict({Label, "", e.what(), ""});
        return;
    }
    const auto size = static_cast<double>(std::max<int64_t>(Source.Size(), 1));
    const auto progress = [&](const std::string& label) {
        ThrowIfStopRequested();
        Report(static_cast<double>(Source.Position()) / size, label);
    };
    int64_t total = 0;
    while (const auto entry = ReadEntryHeader(Source)) {
        const TEntryHeader& h = entry->Header;
        const int64_t dataStart = Source.Position();
        OnShowProgress = [&](int32_t& percent) {
            progress(entry->Name + " " + std::to_string(std::max(percent, 0)) + "%");
        };
        Visit(Source, *entry, header.CompressID, BeyondTotal(total, header.TotalSize));
        total += std::max<int32_t>(h.ExpandedSize, 0);
        // The next header follows the entry's data, however much of it the decoder consumed.
        Source.SetPosition(std::min(dataStart + std::max<int32_t>(h.CompressedSize, 0), Source.Size()));
        progress(entry->Name);
    }
}

TStream* TPlacementSink::Open(const std::string& StoredPath, const TEntryHeader& Header) {
    const std::string temp = FPlacement.Place(StoredPath, Header.ExpandedSize);
    if (temp.empty()) return nullptr;
    return &FBuffered.emplace(FPlacement.Target(), FileWriteBlockFor(Header.ExpandedSize));
}

void TPlacementSink::Flush() {
    FBuffered->Flush();
}

void TPlacementSink::Finish(const TEntryHeader& Header) {
    // A date the platform refuses leaves the file's own time, as an invalid date has no better value.
    SetFileDosDate(FPlacement.Target().File(), Header.FileDate);
    FPlacement.Commit(Header.Attributes);
    FBuffered.reset();
}

std::vector<TEntryVerdict> TYarReader::Extract(TPlacement& Placement, const TEntrySelector& Select) {
    TPlacementSink sink(Placement);
    return Extract(sink, Select);
}

std::vector<TEntryVerdict> TYarReader::Extract(TEntrySink& Sink, const TEntrySelector& Select) {
    std::vector<TEntryVerdict> damage;
    const TStepHandlers handlers(*this);
    ForEachArchive([&](TSegArc* arc, TStream& archive, const std::string& label) {
        // A set's archive gives only the files its name list names, below its template's directory.
        TNameSet listed;
        if (arc) listed.insert(arc->Files.begin(), arc->Files.end());
        const std::string prefix = arc ? arc->Path : std::string();
        const auto report = [&](const TEntryVerdict& v) { damage.push_back(v); };
        WalkArchive(archive, label, arc ? &arc->Files : nullptr, report,
                    [&](TStream& source, const TStoredEntry& entry, const std::string& id, bool pastTotal) {
                        const TEntryHeader& h = entry.Header;
                        if (pastTotal && h.ExpandedSize != 0) return;
                        if (arc && !listed.contains(entry.Name)) return;
                        const std::string stored = StoredToUtf8(
                            !entry.Name.empty() && entry.Name[0] == '\\' ? entry.Name : prefix + entry.Name,
                            NameCharset);
                        if (Select && !Select(stored)) return;
                        TStream* out = Sink.Open(stored, h);
                        if (!out) return;
                        try {
                            ExpandEntry(*out, source, h, id);
                            Sink.Flush();
                        } catch (const ECompressError& e) {
                            report({label, Sink.Current(), e.what(), ""});
                            Sink.Fail();
                            return;
                        } catch (const EStreamError& e) {
                            report({label, Sink.Current(), e.what(), ""});
                            Sink.Fail();
                            return;
                        }
                        Sink.Finish(h);
                    });
    });
    return damage;
}

} // namespace yar::tool
