#include "tools/yar/YarReader.h"

#include "system/FileServices.h"

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
    ~TStepHandlers() {
        C.OnCheckFile = nullptr;
        C.OnShowProgress = nullptr;
    }
    TStepHandlers(const TStepHandlers&) = delete;
    TStepHandlers& operator=(const TStepHandlers&) = delete;

private:
    TCompress& C;
};
} // namespace

TInputKind DetectInput(const std::string& path) {
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
        Action(nullptr, FInput, fs::path(FInput).filename().string());
        return;
    }
    OnSegBeforeExpand = [this](TSegArcList& list) { FArchiveCount = list.Count(); };
    OnSegShowProgress = [this](int32_t percent) { Report(CopyShare() * percent / 100.0, FCurrent); };
    VisitSet(SegArcList, [&](TSegArc& arc, const std::string& path) {
        FCurrent = arc.Template;
        Action(&arc, path, arc.Template);
        ++FArchivesDone;
    });
}

void TYarReader::List(const std::function<void(const TArchiveContents&)>& Visit) {
    ForEachArchive([&](TSegArc* arc, const std::string& path, const std::string& label) {
        TArchiveContents contents;
        contents.Label = label;
        if (arc) {
            contents.InSet = true;
            contents.Index = arc->Index;
            contents.Names = arc->Files;
        }
        ListArchive(path, contents.Entries);
        Visit(contents);
    });
}

void TYarReader::Test(const std::function<void(const TEntryVerdict&)>& Verdict) {
    ForEachArchive([&](TSegArc*, const std::string& path, const std::string& label) {
        TestArchive(path, label, Verdict);
    });
}

void TYarReader::TestArchive(const std::string& Path, const std::string& Label,
                             const std::function<void(const TEntryVerdict&)>& Verdict) {
    TFileStream source(NativePath(Path), fmOpenRead | fmShareExclusive);
    TArchiveHeader header;
    try {
        header = ReadArchiveHeader(source);
    } catch (const ECompressError& e) {
        Verdict({Label, "", e.what()});
        return;
    }
    TArchiveListing listing;
    {
        const int64_t start = source.Position();
        source.SetPosition(0);
        ListArchive(source, listing);
        source.SetPosition(start);
    }
    // The same walk as an expansion, going on after a damaged entry so that every entry is judged.
    int64_t total = 0;
    std::size_t done = 0;
    const double share = CopyShare();
    const auto entries = static_cast<double>(std::max<std::size_t>(listing.size(), 1));
    while (const auto entry = ReadEntryHeader(source)) {
        const TEntryHeader& h = entry->Header;
        const int64_t dataStart = source.Position();
        std::string error;
        if (total >= header.TotalSize) {
            error = "after the archive's total size: an expansion never reaches it";
        } else {
            const TStepHandlers handlers(*this);
            OnShowProgress = [&](int32_t& percent) {
                Report(share + (1 - share) * static_cast<double>(done) / entries,
                       entry->Name + " " + std::to_string(std::max(percent, 0)) + "%");
            };
            TNullStream sink;
            try {
                ExpandEntry(sink, source, h, header.CompressID);
            } catch (const ECompressError& e) { // the decoders' bad tables too
                error = e.what();
            } catch (const EStreamError& e) {
                error = e.what();
            }
            total += h.ExpandedSize;
        }
        source.SetPosition(std::min(dataStart + std::max<int32_t>(h.CompressedSize, 0), source.Size()));
        Verdict({Label, entry->Name, error});
        ++done;
        Report(share + (1 - share) * static_cast<double>(done) / entries, entry->Name);
    }
}

void TYarReader::Extract(TPlacement& Placement) {
    SetExceptionOnFileError(true);
    SetMakeDirectories(true);
    const TStepHandlers handlers(*this);
    OnCheckFile = [this, &Placement](std::string& path, TCProcessMode) {
        FEntry = path;
        path = Placement.Place(path);
    };
    OnShowProgress = [this](int32_t& percent) {
        Report(CopyShare(), FEntry + " " + std::to_string(std::max(percent, 0)) + "%");
    };
    ForEachArchive([&](TSegArc* arc, const std::string& path, const std::string&) {
        try {
            if (arc) {
                ExpandArchiveOf(*arc, path);
            } else {
                SetTargetPath("");
                ExpandArchive(path, nullptr);
            }
            Placement.Commit();
        } catch (...) {
            Placement.Discard(); // the file being written when the expansion failed
            throw;
        }
    });
}

} // namespace yar::tool
