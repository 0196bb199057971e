// The segment reader's volumes: naming, the logical stream across volume boundaries wherever the
// volumes are cut, and the prompts for missing, wrong and unreadable volumes.
#include "tests/archive/SegmentTestSupport.h"

#include <filesystem>
#include <set>

namespace yar::test {
namespace {

const std::string Tail = "\n\rCorrect and then press OK, or Cancel to abort";

std::string Folded(std::string s) {
#ifdef _WIN32
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
    return s;
}

TEST(SegmentProperties, DefaultsAndSetterRules) {
    TSegCompEZ seg;
    EXPECT_EQ(seg.SegBaseName(), "SegData");
    EXPECT_EQ(seg.SegDir(), "a:\\");
    EXPECT_EQ(seg.SegExt(), "");
    EXPECT_TRUE(seg.SegPopUp());
    EXPECT_EQ(seg.SegSize(), 1440000);
    std::string cwd = std::filesystem::current_path().string();
    if (IsPathDelimiter(cwd.back())) cwd.pop_back();
    EXPECT_EQ(seg.SegTmpDir(), Folded(cwd));
    EXPECT_EQ(seg.SegBuildMode(), bmRecursive);
    EXPECT_EQ(seg.SegCompType(), coLZH);
    EXPECT_FALSE(seg.SegMultiArc());

    seg.SetSegBaseName("c:\\Setup\\Disk");
    EXPECT_EQ(seg.SegBaseName(), Folded("Disk"));
    seg.SetSegBaseName("c:\\Setup\\");
    EXPECT_EQ(seg.SegBaseName(), "SegData");
    seg.SetSegDir("B:\\Disks");
    EXPECT_EQ(seg.SegDir(), Folded("B:\\Disks"));
    seg.SetSegDir("");
    EXPECT_EQ(seg.SegDir(), "a:\\");
    seg.SetSegExt("segmentdata");
    EXPECT_EQ(seg.SegExt(), "seg");
    seg.SetSegSize(1000);
    EXPECT_EQ(seg.SegSize(), 16384);
    seg.SetSegSize(16385);
    EXPECT_EQ(seg.SegSize(), 16385);
    seg.SetSegTmpDir("C:\\Temp\\\\");
    EXPECT_EQ(seg.SegTmpDir(), Folded("C:\\Temp\\")); // only one trailing delimiter goes
    seg.SetSegTmpDir("");
    EXPECT_EQ(seg.SegTmpDir(), Folded(cwd));
}

TEST(SegmentProperties, VolumeNames) {
    EXPECT_EQ(SegVolumeFileName("segdata", "", 1), "segdata.001");
    EXPECT_EQ(SegVolumeFileName("segdata", "", 12), "segdata.012");
    EXPECT_EQ(SegVolumeFileName("segdata", "", 999), "segdata.999");
    EXPECT_EQ(SegVolumeFileName("segdata", "", 1000), "segdata.1000");
    EXPECT_EQ(SegVolumeFileName("segdata", "seg", 12), "segdata.seg");

    TSegCompress seg;
    seg.SetSegBaseName("segdata");
    seg.BuildVolumeName("a:\\");
    EXPECT_EQ(seg.VolumeName(), "segdata.000"); // no volume mounted yet
    EXPECT_EQ(seg.VolumePath(), "a:\\segdata.000");
    seg.SetSegExt("seg");
    seg.BuildVolumeName("a:");
    EXPECT_EQ(seg.VolumePath(), "a:\\segdata.seg");
}

using SegmentSpanning = SegmentTest;

// Two archives, small enough that a set can be cut at every byte of its logical stream.
// An empty file goes first: the container stops once the expanded sizes reach the archive's total.
const TFileList SmallOne = {{"empty.txt", {}}, {"a.txt", Pattern(40, 1)}};
const TFileList SmallTwo = {{"b.bin", Pattern(90, 2)}};

TEST_F(SegmentSpanning, ReadsTheSameWhereverTheVolumesAreCut) {
    const std::vector archives = {SetArchiveOf(OutDir() + "\\one", SmallOne),
                                  SetArchiveOf(OutDir() + "\\two", SmallTwo)};
    const std::vector<uint8_t> stream = builder::SegmentSetStream(archives);
    int afters = 0;
    Seg.OnSegAfter = [&](TSegMode mode, const std::string& name, uint16_t number) {
        EXPECT_EQ(mode, smExpand);
        EXPECT_EQ(number, 1);
        EXPECT_EQ(name, "segdata.001");
        ++afters;
    };
    // A cut at every byte of every record and near both ends of every template, name list and
    // archive, among them: volume 1 holding only its volume record (cut 0), a scan record split 10/7
    // (cut 31), and the data ending exactly at the end of volume 1, where volume 2 is never needed.
    std::set<std::size_t> cuts;
    const std::vector<std::size_t> pieces = PieceOffsets(archives);
    ASSERT_EQ(pieces.back(), stream.size());
    for (const std::size_t piece : pieces)
        for (std::size_t d = 0; d <= TSegScanRecord::Size; ++d) {
            if (piece + d <= stream.size()) cuts.insert(piece + d);
            if (d <= 3 && d <= piece) cuts.insert(piece - d);
        }
    for (const std::size_t cut : cuts) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        for (const char* name : {"one\\empty.txt", "one\\a.txt", "two\\b.bin"})
            RemoveFileAt(OutDir() + "\\" + name);
        WriteSetWithCuts(VolDir(), "segdata", "", stream, {cut});
        afters = 0;
        Seg.SegExpand();
        ExpectExpanded(SmallOne, "one");
        ExpectExpanded(SmallTwo, "two");
        EXPECT_EQ(afters, cut < stream.size() ? 1 : 0);
        ASSERT_EQ(Seg.SegArcList.Count(), 2u);
        EXPECT_EQ(Seg.SegArcList[1].Files, TNameList{OutDir() + "\\two\\b.bin"});
        if (HasFailure()) break;
    }
    EXPECT_TRUE(Prompts.Boxes.empty());
    EXPECT_TRUE(TmpLeftovers().empty());
}

TEST_F(SegmentSpanning, VolumesHoldingOnlyTheirVolumeRecord) {
    const std::vector archives = {SetArchiveOf(OutDir(), SmallOne)};
    const std::vector<uint8_t> stream = builder::SegmentSetStream(archives);
    for (const std::vector<std::size_t>& cuts :
         {std::vector<std::size_t>{0, 0}, {25, 25, 25}, {stream.size() - 1, stream.size() - 1}}) {
        std::filesystem::remove_all(NativePath(VolDir()));
        std::filesystem::remove_all(NativePath(OutDir()));
        const auto paths = WriteSetWithCuts(VolDir(), "segdata", "", stream, cuts);
        std::vector<uint16_t> mounted;
        Seg.OnSegBefore = [&](TSegMode, const std::string&, uint16_t number) { mounted.push_back(number); };
        Seg.SegExpand();
        ExpectExpanded(SmallOne);
        EXPECT_EQ(mounted.size(), paths.size());
        for (std::size_t i = 0; i < mounted.size(); ++i) EXPECT_EQ(mounted[i], i + 1);
    }
}

TEST_F(SegmentSpanning, LargeArchiveOverManyFloppySizedVolumes) {
    const TFileList files = {{"big1.bin", Pattern(40000, 3)}, {"big2.bin", Pattern(50000, 4)}};
    const std::vector archives = {SetArchiveOf(OutDir(), files)};
    builder::TSegVolumeWriter out(VolDir(), "segdata", "", 1000); // raised to the 16384-byte minimum
    builder::WriteSegmentSet(out, archives);
    out.Finish();
    ASSERT_EQ(out.Paths().size(), 6u);
    for (std::size_t i = 0; i + 1 < out.Paths().size(); ++i)
        EXPECT_EQ(std::filesystem::file_size(NativePath(out.Paths()[i])), 16384u);

    std::vector<std::string> before, after;
    std::vector<int32_t> progress;
    Seg.OnSegBefore = [&](TSegMode, const std::string& name, uint16_t) { before.push_back(name); };
    Seg.OnSegAfter = [&](TSegMode, const std::string& name, uint16_t) { after.push_back(name); };
    Seg.OnSegShowProgress = [&](int32_t percent) { progress.push_back(percent); };
    Seg.SegExpand();
    ExpectExpanded(files);
    EXPECT_EQ(before, (std::vector<std::string>{"segdata.001", "segdata.002", "segdata.003", "segdata.004",
                                                "segdata.005", "segdata.006"}));
    EXPECT_EQ(after, std::vector<std::string>(before.begin(), before.end() - 1));
    // One report per block of the archive copy, rising to 100.
    const std::size_t arcSize = archives[0].Archive.size();
    EXPECT_EQ(progress.size(), (arcSize + 8191) / 8192);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100);
    EXPECT_EQ(progress.front(), static_cast<int32_t>(8192 * 100 / arcSize));
    EXPECT_GT(Prompts.MessagePumps, 0);
}

TEST_F(SegmentSpanning, FixedExtensionVolumesFoundThroughTheDirectoryPrompt) {
    const std::vector archives = {SetArchiveOf(OutDir(), SmallOne)};
    const auto paths =
        WriteSetWithCuts(VolDir(), "segdata", "seg", builder::SegmentSetStream(archives), {60});
    ASSERT_EQ(paths.size(), 2u);
    const std::string disk1 = VolDir() + "\\disk1", disk2 = VolDir() + "\\disk2";
    EXPECT_TRUE(Exists(disk1 + "\\segdata.seg"));
    EXPECT_TRUE(Exists(disk2 + "\\segdata.seg"));

    Seg.SetSegExt("seg");
    Seg.SetSegPopUp(true);
    Prompts.DirAnswers = {"", disk1, disk2 + "\\"}; // an empty answer is asked again
    Seg.SegExpand();
    ExpectExpanded(SmallOne);
    ASSERT_EQ(Prompts.Inputs.size(), 3u);
    EXPECT_EQ(Prompts.Inputs[0], std::make_pair(std::string("Mount Segment #1"), Folded(VolDir())));
    EXPECT_EQ(Prompts.Inputs[1], Prompts.Inputs[0]);
    EXPECT_EQ(Prompts.Inputs[2], std::make_pair(std::string("Mount Segment #2"), disk1));
    EXPECT_EQ(Seg.SegDir(), disk2 + "\\"); // as typed
    EXPECT_EQ(Prompts.Repaints, 2);
    EXPECT_EQ(Prompts.CursorDepth, 0);
}

TEST_F(SegmentSpanning, TemplatesEndAtTheirFirstZeroAndNamesLoseTrailingBlanks) {
    const TFileList files = {{"readme.txt", Bytes("read me")}, {"setup.ini", Bytes("[x]")}};
    builder::TSegSetArchive arc;
    arc.Template = OutTemplate() + std::string(3, '\0');
    arc.RecordLength = 20;
    std::vector<uint8_t> records = builder::PackNameRecords({"readme.txt", "setup.ini"}, 20, ' ');
    records.resize(records.size() - 5); // the last record may be shorter
    arc.NameList = ArchiveOf({{"names.lst", records}});
    arc.Archive = ArchiveOf(files);
    WriteSet({arc});
    Seg.SegExpand();
    ASSERT_EQ(Seg.SegArcList.Count(), 1u);
    const TSegArc& read = Seg.SegArcList[0];
    EXPECT_EQ(read.Template, OutTemplate());
    EXPECT_EQ(read.Path, OutDir() + "\\");
    EXPECT_EQ(read.Files, (TNameList{OutDir() + "\\readme.txt", OutDir() + "\\setup.ini"}));
    ExpectExpanded(files);
}

using SegmentVolumePrompts = SegmentTest;

// A set of two volumes whose second volume the tests take away, replace or spoil.
class SegmentTwoVolumes : public SegmentTest {
protected:
    void SetUp() override {
        SegmentTest::SetUp();
        const auto paths = WriteSet({SetArchiveOf(OutDir(), SmallOne)}, {50});
        Volume2 = paths.at(1);
        Saved = ReadFile(Volume2);
        Seg.OnSegBefore = [this](TSegMode, const std::string&, uint16_t number) {
            Befores.push_back(number);
        };
    }
    void PutVolume2Back() { WriteFile(Volume2, Saved); }

    std::string Volume2;
    std::vector<uint8_t> Saved;
    std::vector<uint16_t> Befores;
};

TEST_F(SegmentTwoVolumes, MissingVolumeIsAskedForUntilItIsThere) {
    std::filesystem::remove(NativePath(Volume2));
    Prompts.BoxAnswers = {[] { return true; },
                          [this] {
                              PutVolume2Back();
                              return true;
                          }};
    Seg.SegExpand();
    ExpectExpanded(SmallOne);
    ASSERT_EQ(Prompts.Boxes.size(), 2u);
    EXPECT_EQ(Prompts.Boxes[0], "Unable to locate \"segdata.002\" on this segment!" + Tail);
    EXPECT_EQ(Befores, (std::vector<uint16_t>{1, 2, 2, 2})); // every attempt, retries included
}

TEST_F(SegmentTwoVolumes, CancelEndsTheRunWithNothingLeftOpen) {
    std::filesystem::remove(NativePath(Volume2));
    const auto files = OpenFileCount();
    Prompts.BoxAnswers = {[] { return false; }};
    try {
        Seg.SegExpand();
        FAIL() << "no error";
    } catch (const ESegError& e) {
        EXPECT_STREQ(e.what(), "(TSegCompress) Operation aborted by user");
        EXPECT_TRUE(IsA<ESegAborted>(e));
    }
    EXPECT_TRUE(Seg.AbortFlag());
    EXPECT_TRUE(TmpLeftovers().empty());
    EXPECT_EQ(OpenFileCount(), files);
    EXPECT_TRUE(Seg.SegSource().empty()); // not filled after a failed run
}

TEST_F(SegmentTwoVolumes, WithoutAnOwnerAMissingVolumeEndsTheRun) {
    std::filesystem::remove(NativePath(Volume2));
    TSegCompEZ bare;
    bare.SetSegBaseName("segdata");
    bare.SetSegDir(VolDir());
    bare.SetSegTmpDir(TmpDir());
    bare.SetSegPopUp(false);
    EXPECT_THROW(bare.SegExpand(), ESegError);
    EXPECT_TRUE(bare.AbortFlag());
}

TEST_F(SegmentTwoVolumes, WrongVolumeIsAskedForAgain) {
    std::vector<uint8_t> wrong = Saved;
    wrong[6] = 3; // SegNumber 3 where 2 is expected
    WriteFile(Volume2, wrong);
    Prompts.BoxAnswers = {[this] {
        PutVolume2Back();
        return true;
    }};
    Seg.SegExpand();
    ExpectExpanded(SmallOne);
    EXPECT_EQ(Prompts.Boxes, std::vector<std::string>{"Incorrect segmented mounted!" + Tail});
}

// A volume whose record is right but whose bytes the verifier refuses takes the wrong volume's path,
// and the volume that passes is read from its start.
TEST_F(SegmentTwoVolumes, AVolumeTheVerifierRefusesIsAWrongVolume) {
    std::vector<uint8_t> tampered = Saved;
    tampered.back() ^= 0x55;
    WriteFile(Volume2, tampered);
    std::vector<uint16_t> verified;
    Seg.OnSegVerify = [&](std::string_view bytes, uint16_t number) {
        verified.push_back(number);
        return number != 2 || std::vector<uint8_t>(bytes.begin(), bytes.end()) == Saved;
    };
    Prompts.BoxAnswers = {[this] {
        PutVolume2Back();
        return true;
    }};
    Seg.SegExpand();
    ExpectExpanded(SmallOne);
    EXPECT_EQ(Prompts.Boxes, std::vector<std::string>{"Incorrect segmented mounted!" + Tail});
    EXPECT_EQ(verified, (std::vector<uint16_t>{1, 2, 2}));
}

TEST_F(SegmentTwoVolumes, FilesThatAreNoVolumeFailWithoutAPrompt) {
    const std::vector<std::vector<uint8_t>> spoilt = {Bytes("SSeg\2"), Bytes("XSeg\0\0\2\0"), {}};
    for (const auto& bytes : spoilt) {
        WriteFile(Volume2, bytes);
        try {
            Seg.SegExpand();
            ADD_FAILURE() << "no error";
        } catch (const ESegError& e) {
            EXPECT_STREQ(e.what(), "(TSegCompress) Stream open failed");
            EXPECT_TRUE(IsA<ESegStreamError>(e));
        }
    }
    EXPECT_TRUE(Prompts.Boxes.empty());
    EXPECT_TRUE(TmpLeftovers().empty());
}

TEST_F(SegmentTwoVolumes, DirectoryPromptCancelled) {
    Seg.SetSegPopUp(true);
    Prompts.DirAnswers = {VolDir(), std::nullopt};
    EXPECT_THROW(Seg.SegExpand(), ESegError);
    EXPECT_TRUE(Seg.AbortFlag());
    EXPECT_EQ(Prompts.Inputs.size(), 2u);
    EXPECT_EQ(Befores, std::vector<uint16_t>{1}); // the cancelled volume is not announced
    EXPECT_EQ(Prompts.CursorDepth, 0);
}

TEST_F(SegmentTwoVolumes, HandlersEndTheRunThroughAbortFlag) {
    struct Case {
        const char* name;
        std::function<void(TSegCompEZ&)> arm;
        std::vector<uint16_t> befores;
    };
    const std::vector<Case> cases = {
        {"before volume 2",
         [](TSegCompEZ& s) {
             s.OnSegBefore = [&s](TSegMode, const std::string&, uint16_t n) { s.SetAbortFlag(n == 2); };
         },
         {}},
        {"after volume 1",
         [](TSegCompEZ& s) {
             s.OnSegAfter = [&s](TSegMode, const std::string&, uint16_t) { s.SetAbortFlag(true); };
         },
         {1}},
        {"before expanding",
         [](TSegCompEZ& s) { s.OnSegBeforeExpand = [&s](TSegArcList&) { s.SetAbortFlag(true); }; },
         {1, 2}},
        {"after the archive",
         [](TSegCompEZ& s) {
             s.OnSegAfterArchive = [&s](const TSegArcHeader&, const std::string&) { s.SetAbortFlag(true); };
         },
         {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSegCompEZ seg(&Prompts);
        seg.SetSegBaseName("segdata");
        seg.SetSegDir(VolDir());
        seg.SetSegTmpDir(TmpDir());
        seg.SetSegPopUp(false);
        std::vector<uint16_t> befores;
        c.arm(seg);
        if (!seg.OnSegBefore)
            seg.OnSegBefore = [&](TSegMode, const std::string&, uint16_t n) { befores.push_back(n); };
        try {
            seg.SegExpand();
            ADD_FAILURE() << "no error";
        } catch (const ESegError& e) {
            EXPECT_STREQ(e.what(), "(TSegCompress) Operation aborted by user");
        }
        if (!c.befores.empty()) {
            EXPECT_EQ(befores, c.befores);
        }
        EXPECT_TRUE(TmpLeftovers().empty());
    }
    // Only the last case got as far as expanding.
    ExpectExpanded(SmallOne);
}

} // namespace
} // namespace yar::test
