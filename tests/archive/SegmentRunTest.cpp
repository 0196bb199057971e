// A run over a whole set: the archives the application keeps or drops, the events it sees, damaged
// or hostile records, and the temporary files and volumes a run leaves behind on every path.
#include "tests/archive/SegmentTestSupport.h"

#include <filesystem>

namespace yar::test {
namespace {

using SegmentRun = SegmentTest;

const TFileList First = {{"first.txt", Bytes("first archive")}};
const TFileList Second = {{"second.txt", Bytes("second archive")}, {"more.dat", Pattern(9000, 7)}};
const TFileList Third = {{"third.txt", Bytes("third archive")}};

// The message of what run raised, and whether it was of the kind isKind accepts.
std::pair<std::string, bool> Raised(const std::function<void()>& run,
                                    const std::function<bool(const std::exception&)>& isKind) {
    try {
        run();
    } catch (const std::exception& e) {
        return {e.what(), isKind(e)};
    }
    return {"no error", false};
}

std::string Message(const std::function<void()>& run) {
    return Raised(run, [](const std::exception&) { return true; }).first;
}

TEST_F(SegmentRun, BeforeExpandMayDropArchivesWhichArePassedOver) {
    WriteSet({SetArchiveOf(OutDir() + "\\a", First), SetArchiveOf(OutDir() + "\\b", Second)}, {30, 300});
    Seg.OnSegBeforeExpand = [](TSegArcList& list) {
        ASSERT_EQ(list.Count(), 2u);
        EXPECT_EQ(list[0].Files, TNameList{"first.txt"});
        list.Delete(0);
    };
    Seg.SegExpand();
    EXPECT_FALSE(Exists(OutDir() + "\\a\\first.txt"));
    ExpectExpanded(Second, "b");
    ASSERT_EQ(Seg.SegArcList.Count(), 1u);
    EXPECT_EQ(Seg.SegArcList[0].Index, 1);
    EXPECT_EQ(Seg.SegSource(), std::vector<std::string>{OutTemplate("b")});
}

TEST_F(SegmentRun, ArchivesOutOfOrderEndTheRunAtTheNextHeader) {
    WriteSet({SetArchiveOf(OutDir() + "\\a", First), SetArchiveOf(OutDir() + "\\b", Second),
              SetArchiveOf(OutDir() + "\\c", Third)});
    Seg.OnSegBeforeExpand = [](TSegArcList& list) { list.Move(0, 1); };
    EXPECT_EQ(Message([&] { Seg.SegExpand(); }), "(TSegCompress) Invalid Archive sequence number");
    ExpectExpanded(Second, "b"); // archive 1 came first and was expanded
    EXPECT_FALSE(Exists(OutDir() + "\\a\\first.txt"));
    EXPECT_FALSE(Exists(OutDir() + "\\c\\third.txt"));
    EXPECT_TRUE(TmpLeftovers().empty());
}

TEST_F(SegmentRun, TemplatesPlaceTheFilesAndFillSegSource) {
    builder::TSegSetArchive app = SetArchiveOf("c:\\app", First);
    builder::TSegSetArchive data = SetArchiveOf("c:\\app\\data", Second);
    app.ArcTag = 7;
    WriteSet({app, data});
    Seg.SetTargetPath("c:\\elsewhere");
    std::vector<std::string> targets;
    // The application's handler places every file; it sees the target each template gives.
    Seg.OnCheckFile = [&](std::string& path, TCProcessMode mode) {
        EXPECT_EQ(mode, cpExpand);
        targets.push_back(path);
        path = OutDir() + "\\" + path.substr(path.rfind('\\') + 1);
    };
    std::vector<std::pair<uint16_t, int32_t>> headers;
    std::vector<std::string> templates;
    Seg.OnSegAfterArchive = [&](const TSegArcHeader& header, const std::string& tmpl) {
        EXPECT_EQ(header.Id, SegArcId);
        headers.emplace_back(header.ArcSeq, header.ArcSize);
        templates.push_back(tmpl);
    };
    Seg.SegExpand();
    EXPECT_EQ(targets, (std::vector<std::string>{"c:\\app\\first.txt", "c:\\app\\data\\second.txt",
                                                 "c:\\app\\data\\more.dat"}));
    EXPECT_EQ(Seg.SegSource(), (std::vector<std::string>{"c:\\app\\*.*", "c:\\app\\data\\*.*"}));
    EXPECT_EQ(templates, Seg.SegSource());
    EXPECT_EQ(headers,
              (std::vector<std::pair<uint16_t, int32_t>>{{0, static_cast<int32_t>(app.Archive.size())},
                                                         {1, static_cast<int32_t>(data.Archive.size())}}));
    EXPECT_EQ(Seg.SegArcList[0].ArcTag, 7);
    EXPECT_EQ(Seg.SegArcList[1].Path, "c:\\app\\data\\");
    EXPECT_EQ(Seg.TargetPath(), "");
    EXPECT_TRUE(Seg.MakeDirectories());
    ExpectExpanded(First);
    ExpectExpanded(Second);
}

TEST_F(SegmentRun, OnlyEntriesNamedInTheNameListAreExpanded) {
    const TFileList files = {{"a.txt", Bytes("a")}, {"b.txt", Bytes("b")}, {"C.txt", Bytes("c")}};
    builder::TSegSetArchive arc =
        builder::MakeSetArchive(OutTemplate(), {"A.TXT", "", "c.txt"}, ArchiveOf(files), coNone);
    WriteSet({arc});
    Seg.SegExpand();
    EXPECT_EQ(Seg.SegArcList[0].Files, (TNameList{OutDir() + "\\a.txt", OutDir() + "\\C.txt"}));
    EXPECT_FALSE(Exists(OutDir() + "\\b.txt"));
}

TEST_F(SegmentRun, TheApplicationSeesNoNameListFiles) {
    WriteSet({SetArchiveOf(OutDir(), First), SetArchiveOf(OutDir(), Second)});
    std::vector<std::string> checked;
    int progress = 0;
    Seg.OnCheckFile = [&](std::string& path, TCProcessMode) { checked.push_back(path); };
    Seg.OnShowProgress = [&](int32_t&) { ++progress; };
    Seg.OnRecognize = [](const std::string&, bool&) { ADD_FAILURE() << "no unknown id in this set"; };
    Seg.SegExpand();
    EXPECT_EQ(checked, (std::vector<std::string>{OutDir() + "\\first.txt", OutDir() + "\\second.txt",
                                                 OutDir() + "\\more.dat"}));
    EXPECT_GT(progress, 0);
    EXPECT_TRUE(Seg.OnCheckFile); // the application's handlers are back after the name lists
    EXPECT_TRUE(Seg.OnShowProgress);
}

TEST_F(SegmentRun, ContainerErrorsPassThroughAndTemporaryFilesGo) {
    builder::TArchiveWriter writer(coNone);
    writer.Add(Entry("bad.txt", Bytes("checked")));
    builder::TArchiveImage image = writer.Image();
    image.Entries[0].Header.Checksum += 1;
    builder::TSegSetArchive arc = SetArchiveOf(OutDir(), {{"bad.txt", Bytes("checked")}});
    arc.Archive = image.Bytes();
    WriteSet({arc});
    EXPECT_EQ(Message([&] { Seg.SegExpand(); }), "Bad checksum during expansion -- data may be invalid");
    EXPECT_TRUE(TmpLeftovers().empty());
}

// The logical stream of a two-archive set, with the offsets of the records the cases spoil.
struct SpoiltSet {
    std::vector<uint8_t> Stream;
    std::size_t Scan0 = TSegSetHeader::Size, Arc0 = 0, Arc1 = 0;
};

SpoiltSet TwoArchiveStream(const std::vector<builder::TSegSetArchive>& archives) {
    SpoiltSet s;
    s.Stream = builder::SegmentSetStream(archives);
    s.Arc0 = s.Scan0;
    for (const auto& a : archives) s.Arc0 += TSegScanRecord::Size + a.Template.size() + a.NameList.size();
    s.Arc1 = s.Arc0 + TSegArcHeader::Size + archives[0].Archive.size();
    return s;
}

void Put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST_F(SegmentRun, DamagedRecordsEndTheRunWithTheirMessage) {
    const SpoiltSet base = TwoArchiveStream({SetArchiveOf(OutDir(), First), SetArchiveOf(OutDir(), Second)});
    struct Case {
        const char* name;
        std::function<void(SpoiltSet&)> spoil;
        const char* message;
        std::function<bool(const std::exception&)> isKind = IsA<ESegInvalidRecord>;
    };
    const std::vector<Case> cases = {
        {"set id", [](SpoiltSet& s) { s.Stream[0] = 'X'; }, "(TSegCompress) Invalid Segment Header ID"},
        {"scan id", [](SpoiltSet& s) { s.Stream[s.Scan0 + 3] = 'X'; },
         "(TSegCompress) Invalid Scan ID Header"},
        {"archive id", [](SpoiltSet& s) { s.Stream[s.Arc0] = 'X'; },
         "(TSegCompress) Invalid Archive ID Header"},
        {"sequence above", [](SpoiltSet& s) { s.Stream[s.Arc0 + 6] = 1; },
         "(TSegCompress) Invalid Archive sequence number"},
        // Lengths beyond the reader's buffers, or that cannot be, never reach a read.
        {"template too long",
         [](SpoiltSet& s) { s.Stream[s.Scan0 + 6] = 0x00, s.Stream[s.Scan0 + 7] = 0x20; },
         "(TSegCompress) Invalid Scan ID Header"},
        {"record length 0", [](SpoiltSet& s) { Put32(s.Stream, s.Scan0 + 9, 0); },
         "(TSegCompress) Invalid Scan ID Header"},
        {"record length 8192", [](SpoiltSet& s) { Put32(s.Stream, s.Scan0 + 9, 8192); },
         "(TSegCompress) Invalid Scan ID Header"},
        {"negative list size", [](SpoiltSet& s) { Put32(s.Stream, s.Scan0 + 13, 0xFFFFFFF0u); },
         "(TSegCompress) Invalid Scan ID Header"},
        {"negative archive size", [](SpoiltSet& s) { Put32(s.Stream, s.Arc0 + 12, 0x80000000u); },
         "(TSegCompress) Invalid Archive ID Header"},
        {"second archive id", [](SpoiltSet& s) { s.Stream[s.Arc1 + 1] = 'x'; },
         "(TSegCompress) Invalid Archive ID Header"},
        // A set that ends early asks for the volume after its last one.
        {"ends early", [](SpoiltSet& s) { s.Stream.resize(s.Arc1 + 20); },
         "(TSegCompress) Operation aborted by user", IsA<ESegAborted>},
    };
    const auto files = OpenFileCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpoiltSet s = base;
        c.spoil(s);
        std::filesystem::remove_all(NativePath(VolDir()));
        WriteSetWithCuts(VolDir(), "segdata", "", s.Stream, {s.Arc0 + 5});
        Prompts.Boxes.clear();
        Prompts.BoxAnswers = {[] { return false; }};
        const auto [message, ofItsKind] = Raised([&] { Seg.SegExpand(); }, c.isKind);
        EXPECT_EQ(message, c.message);
        EXPECT_TRUE(ofItsKind);
        EXPECT_TRUE(TmpLeftovers().empty());
        EXPECT_EQ(OpenFileCount(), files);
    }
}

TEST_F(SegmentRun, SetEndingEarlyAsksForTheMissingVolume) {
    const SpoiltSet s = TwoArchiveStream({SetArchiveOf(OutDir(), First), SetArchiveOf(OutDir(), Second)});
    std::vector<uint8_t> cut(s.Stream.begin(), s.Stream.begin() + static_cast<std::ptrdiff_t>(s.Arc1 + 100));
    WriteSetWithCuts(VolDir(), "segdata", "", cut, {});
    Prompts.BoxAnswers = {[] { return false; }};
    EXPECT_EQ(Message([&] { Seg.SegExpand(); }), "(TSegCompress) Operation aborted by user");
    EXPECT_EQ(Prompts.Boxes.at(0),
              "Unable to locate \"segdata.002\" on this segment!\n\rCorrect and then press "
              "OK, or Cancel to abort");
    ExpectExpanded(First); // the archive before the damage stays expanded
}

TEST_F(SegmentRun, NameListArchiveWithoutAFileIsAListIndexError) {
    builder::TSegSetArchive arc = SetArchiveOf(OutDir(), First);
    arc.NameList = ArchiveOf({});
    WriteSet({arc});
    EXPECT_EQ(Message([&] { Seg.SegExpand(); }), "List index out of bounds (0)");
    EXPECT_TRUE(TmpLeftovers().empty());
}

TEST_F(SegmentRun, ADamagedNameListLeavesNoFileBehind) {
    builder::TArchiveWriter list(coNone);
    list.Add(Entry("names.lst", builder::PackNameRecords({"first.txt"}, 16)));
    builder::TArchiveImage image = list.Image();
    image.Entries[0].Header.Checksum += 1; // written in full, then found bad
    builder::TSegSetArchive arc = SetArchiveOf(OutDir(), First);
    arc.NameList = image.Bytes();
    WriteSet({arc});
    EXPECT_EQ(Message([&] { Seg.SegExpand(); }), "Bad checksum during expansion -- data may be invalid");
    EXPECT_TRUE(TmpLeftovers().empty());
}

TEST_F(SegmentRun, NameListsNeverWriteOutsideTheTemporaryDirectory) {
    // Stored names that climb out, are absolute, or name a file living in the temporary directory.
    std::string absolute = Dir().substr(Dir().size() > 1 && Dir()[1] == ':' ? 2 : 0) + "\\escaped.txt";
    std::replace(absolute.begin(), absolute.end(), '/', '\\');
    WriteFile(TmpDir() + "\\keep.txt", Bytes("keep"));
    const std::vector<uint8_t> records = builder::PackNameRecords({"first.txt"}, 16);
    builder::TArchiveWriter list(coNone);
    list.Add(Entry("..\\..\\climbed.txt", records));
    list.Add(Entry(absolute, Bytes("x")));
    list.Add(Entry("keep.txt", Bytes("overwritten")));
    builder::TArchiveEntrySource readOnly = Entry("second.lst", records);
    readOnly.Attributes = 0x01;
    builder::TArchiveWriter list2(coNone);
    list2.Add(readOnly);

    builder::TSegSetArchive one = SetArchiveOf(OutDir(), First);
    one.NameList = list.Bytes();
    one.RecordLength = 16;
    builder::TSegSetArchive two = SetArchiveOf(OutDir(), Second);
    two.NameList = list2.Bytes();
    two.RecordLength = 16;
    WriteSet({one, two});
    for (int run = 0; run < 2; ++run) { // a read-only name list file does not outlive the run
        Seg.SegExpand();
        EXPECT_EQ(Seg.SegArcList[0].Files, TNameList{OutDir() + "\\first.txt"});
        EXPECT_TRUE(Seg.SegArcList[1].Files.empty()); // "first.txt" is not in the second archive
        EXPECT_FALSE(
            std::filesystem::exists(std::filesystem::path(NativePath(Dir())).parent_path() / "climbed.txt"));
        EXPECT_FALSE(Exists(Dir() + "\\escaped.txt"));
        EXPECT_EQ(ReadFile(TmpDir() + "\\keep.txt"), Bytes("keep"));
        EXPECT_EQ(TmpLeftovers(), std::vector<std::string>{"keep.txt"});
    }
}

TEST(SegmentArcList, OwnsItsArchives) {
    TSegArcList list;
    for (uint16_t i = 0; i < 3; ++i) {
        auto arc = std::make_unique<TSegArc>();
        arc->Index = i;
        list.Add(std::move(arc));
    }
    list.Move(2, 0);
    EXPECT_EQ(list[0].Index, 2);
    EXPECT_EQ(list[1].Index, 0);
    list.Delete(1);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list[1].Index, 1);
    EXPECT_THROW(list.Items(2), EListError);
    EXPECT_THROW(list.Delete(5), EListError);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

} // namespace
} // namespace yar::test
