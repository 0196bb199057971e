// A run that reads each archive where it lies in the volumes: the stream gives exactly the archive's
// bytes wherever the volumes are cut and wherever it is sought, a missing volume is asked for in the
// middle of an archive, nothing is written to the temporary directory, and name lists stay small.
#include "tests/archive/SegmentTestSupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>

namespace yar::test {
namespace {

using SegmentInPlace = SegmentTest;

const TFileList First = {{"first.txt", Bytes("first archive")}};
const TFileList Second = {{"second.txt", Bytes("second archive")}, {"more.dat", Pattern(20000, 7)}};

// Every byte of Archive, read in pieces of Piece bytes from where it stands.
std::vector<uint8_t> ReadRest(TStream& archive, int32_t piece) {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> block(static_cast<std::size_t>(piece));
    for (int32_t got; (got = archive.Read(block.data(), piece)) > 0;)
        bytes.insert(bytes.end(), block.begin(), block.begin() + got);
    return bytes;
}

// The bytes at [from, from + count) of the stream, reached by seeking there.
std::vector<uint8_t> ReadAt(TStream& archive, int64_t from, int32_t count) {
    EXPECT_EQ(archive.Seek(from, TSeekOrigin::soBeginning), from);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(count));
    archive.ReadBuffer(bytes.data(), count);
    return bytes;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, std::size_t from, std::size_t count) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
            bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

TEST_F(SegmentInPlace, ArchivesAreTheirBytesWhereverTheVolumesAreCutAndSought) {
    const std::vector archives = {SetArchiveOf(OutDir(), First), SetArchiveOf(OutDir(), Second)};
    const std::vector<std::size_t> at = PieceOffsets(archives);
    const std::size_t data1 = at[at.size() - 2]; // where the second archive's bytes begin
    // Cuts in the name lists, at an archive's first byte, twice at one place (a volume holding only its
    // volume record) and at several places inside the second archive.
    const std::vector<std::vector<std::size_t>> cutSets = {
        {},
        {at[3] + 5, at[6] + 1, data1, data1, data1 + 7000, data1 + 8195},
        {data1 + 1, data1 + 4096, data1 + 4096, data1 + 12000, at.back() - 1},
    };
    for (const auto& cuts : cutSets) {
        SCOPED_TRACE("cuts: " + std::to_string(cuts.size()));
        std::filesystem::remove_all(NativePath(VolDir()));
        const auto paths = WriteSet(archives, cuts);
        std::vector<uint16_t> befores;
        Seg.OnSegBefore = [&](TSegMode, const std::string&, uint16_t n) { befores.push_back(n); };
        std::vector<int32_t> progress;
        Seg.OnSegShowProgress = [&](int32_t percent) { progress.push_back(percent); };
        std::size_t visited = 0;
        Seg.VisitSet(Seg.SegArcList, [&](TSegArc& arc, TStream& archive) {
            const std::vector<uint8_t>& want = archives[arc.Index].Archive;
            EXPECT_TRUE(TmpLeftovers().empty());
            EXPECT_EQ(archive.Size(), static_cast<int64_t>(want.size()));
            EXPECT_EQ(ReadRest(archive, 777), want);
            EXPECT_EQ(archive.Read(nullptr, 10), 0); // the window ends with the archive
            // Back to the start and to places across the volume boundaries, in both directions.
            for (const std::size_t from : {std::size_t{0}, want.size() / 2, std::size_t{3}, want.size() - 9})
                EXPECT_EQ(ReadAt(archive, static_cast<int64_t>(from), 9), Slice(want, from, 9)) << from;
            EXPECT_EQ(archive.Seek(-4, TSeekOrigin::soEnd), static_cast<int64_t>(want.size()) - 4);
            EXPECT_EQ(archive.Seek(100, TSeekOrigin::soCurrent), static_cast<int64_t>(want.size()));
            EXPECT_EQ(archive.Seek(-1, TSeekOrigin::soBeginning), 0);
            // The first archive is left in the middle: the run goes on after it all the same.
            if (arc.Index == 0) archive.SetPosition(3);
            ++visited;
        });
        EXPECT_EQ(visited, 2u);
        EXPECT_EQ(Seg.SegArcList[1].Files, (TNameList{"second.txt", "more.dat"}));
        // Every volume is announced once, in order, however often the reader went back.
        ASSERT_EQ(befores.size(), paths.size());
        for (std::size_t i = 0; i < befores.size(); ++i) EXPECT_EQ(befores[i], i + 1);
        EXPECT_FALSE(progress.empty());
        EXPECT_EQ(*std::max_element(progress.begin(), progress.end()), 100);
        EXPECT_TRUE(Prompts.Boxes.empty());
        EXPECT_TRUE(TmpLeftovers().empty());
    }
}

TEST_F(SegmentInPlace, AMissingVolumeIsAskedForInTheMiddleOfAnArchive) {
    const std::vector archives = {SetArchiveOf(OutDir(), Second)};
    const std::size_t data0 = PieceOffsets(archives).at(5);
    const auto paths = WriteSet(archives, {data0 + 3000, data0 + 9000});
    ASSERT_EQ(paths.size(), 3u);
    const std::vector<uint8_t> volume2 = ReadFile(paths[1]);
    std::filesystem::remove(NativePath(paths[1]));
    std::vector<uint16_t> befores;
    Seg.OnSegBefore = [&](TSegMode, const std::string&, uint16_t n) { befores.push_back(n); };
    Prompts.BoxAnswers = {[&] {
        WriteFile(paths[1], volume2);
        return true;
    }};
    Seg.VisitSet(Seg.SegArcList, [&](TSegArc&, TStream& archive) {
        EXPECT_EQ(ReadRest(archive, 4096), archives[0].Archive);
        archive.SetPosition(0); // a second pass reopens the volumes found without asking again
        EXPECT_EQ(ReadRest(archive, 5000), archives[0].Archive);
    });
    EXPECT_EQ(Prompts.Boxes, std::vector<std::string>{"Unable to locate \"segdata.002\" on this segment!\n\r"
                                                      "Correct and then press OK, or Cancel to abort"});
    EXPECT_EQ(befores, (std::vector<uint16_t>{1, 2, 2, 3}));

    // Cancelled, the run ends as a copying run does, with nothing left behind.
    std::filesystem::remove(NativePath(paths[2]));
    Prompts.BoxAnswers = {[] { return false; }};
    const auto files = OpenFileCount();
    EXPECT_THROW(Seg.VisitSet(Seg.SegArcList, [](TSegArc&, TStream& archive) { ReadRest(archive, 8192); }),
                 ESegAborted);
    EXPECT_EQ(OpenFileCount(), files);
    EXPECT_TRUE(TmpLeftovers().empty());
}

TEST_F(SegmentInPlace, AVolumeCutShortGivesOtherBytesNotAnEndlessRead) {
    const std::vector archives = {SetArchiveOf(OutDir(), Second)};
    const std::size_t data0 = PieceOffsets(archives).at(5);
    const auto paths = WriteSet(archives, {data0 + 3000, data0 + 9000});
    std::vector<uint8_t> volume2 = ReadFile(paths[1]);
    volume2.resize(volume2.size() - 100);
    WriteFile(paths[1], volume2);
    // The archive's last 100 bytes would be on a fourth volume, which is not there.
    Prompts.BoxAnswers = {[] { return false; }};
    std::vector<uint8_t> read;
    EXPECT_THROW(Seg.VisitSet(Seg.SegArcList,
                              [&](TSegArc&, TStream& archive) {
                                  read = ReadAt(archive, 0, static_cast<int32_t>(archive.Size() - 100));
                                  ReadRest(archive, 8192);
                              }),
                 ESegAborted);
    ASSERT_EQ(read.size(), archives[0].Archive.size() - 100);
    EXPECT_EQ(Slice(read, 0, 3000), Slice(archives[0].Archive, 0, 3000));
    EXPECT_NE(read, Slice(archives[0].Archive, 0, read.size()));
    EXPECT_EQ(Prompts.Boxes.size(), 1u);
    EXPECT_TRUE(TmpLeftovers().empty());
}

// A name list of RecordLength 1 whose records are the given bytes, repeated.
builder::TSegSetArchive HostileList(const std::string& dir, const std::string& bytes, std::size_t repeat,
                                    const TFileList& files) {
    builder::TSegSetArchive arc;
    arc.Template = dir + "\\*.*";
    arc.RecordLength = 1;
    std::vector<uint8_t> records;
    for (std::size_t i = 0; i < repeat; ++i) records.insert(records.end(), bytes.begin(), bytes.end());
    arc.NameList = ArchiveOf({{"names.lst", records}});
    arc.Archive = ArchiveOf(files);
    return arc;
}

TEST_F(SegmentInPlace, NameListsKeepEachNameOnceWhicheverWayTheyAreRead) {
    // 300 000 one-byte names (a packed list of a few KB can hold millions): each distinct name is
    // kept once, in the order first read, letter case ignored as the container's matching ignores
    // it; the blank and the zero record are one empty name.
    const TFileList files = {{"a", Bytes("one letter")}, {"b", Bytes("other")}};
    const auto arc = HostileList(OutDir(), std::string("aA a\0B", 6), 50000, files);
    WriteSet({arc}, {100});
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "through temporary files");
        TNameList names;
        if (inPlace)
            Seg.VisitSet(Seg.SegArcList, [&](TSegArc& a, TStream&) { names = a.Files; });
        else
            Seg.VisitSet(Seg.SegArcList, [&](TSegArc& a, const std::string&) { names = a.Files; });
        EXPECT_EQ(names, (TNameList{"a", "", "B"}));
        EXPECT_TRUE(TmpLeftovers().empty());
    }
    // The setup program expands the same files as with every record kept.
    Seg.SegExpand();
    ExpectExpanded(files);
    EXPECT_EQ(Seg.SegArcList[0].Files, (TNameList{OutDir() + "\\a", OutDir() + "\\b"}));
}

TEST_F(SegmentInPlace, AHundredThousandNamesAreAllKeptInOrder) {
    std::vector<std::string> names;
    for (int i = 0; i < 100000; ++i)
        names.push_back("dir" + std::to_string(i % 7) + "\\f" + std::to_string(i));
    names.push_back("DIR3\\F3"); // the same as names[3] but for letter case
    builder::TSegSetArchive arc = builder::MakeSetArchive(OutTemplate(), names, ArchiveOf(First), coNone);
    WriteSet({arc});
    TNameList read;
    Seg.VisitSet(Seg.SegArcList, [&](TSegArc& a, TStream&) { read = a.Files; });
    names.pop_back();
    EXPECT_EQ(read, names);
}

// The preparation's expansion without temporary copies: the same files as the copying run, each volume
// checked once and read only through the handle that was checked, even when the reader goes back to it
// after its name has been given to another file.
TEST_F(SegmentInPlace, AnExpansionInPlaceReadsOnlyTheVolumesItChecked) {
    const std::vector archives = {SetArchiveOf(OutDir(), First), SetArchiveOf(OutDir(), Second)};
    const std::vector<std::size_t> at = PieceOffsets(archives);
    // The first name list spans volumes 1 and 2: listing it and going back to its start re-reads volume 1.
    const auto paths = WriteSet(archives, {at[3] + 5, at[at.size() - 2] + 4000});
    ASSERT_EQ(paths.size(), 3u);
    std::vector<uint16_t> verified;
    Seg.OnSegVerify = [&](std::string_view, uint16_t number) {
        verified.push_back(number);
        return true;
    };
    // Once volume 1 is left, its name holds other bytes, as a file put there by another account would.
    Seg.OnSegAfter = [&](TSegMode, const std::string&, uint16_t number) {
        if (number != 1) return;
        std::error_code error;
        std::filesystem::rename(NativePath(paths[0]), NativePath(paths[0] + ".kept"), error);
        if (!error) TFileStream(NativePath(paths[0]), fmCreate).WriteBuffer(Pattern(4096, 9).data(), 4096);
        // Where the system refuses to rename a volume held open, nobody can swap it either.
    };
    const std::optional<int> openBefore = OpenFileCount();
    Seg.SetReadInPlace(true);
    Seg.SegExpand();
    ExpectExpanded(First);
    ExpectExpanded(Second);
    EXPECT_TRUE(TmpLeftovers().empty()) << "no archive copied";
    EXPECT_EQ(verified, (std::vector<uint16_t>{1, 2, 3}));
    EXPECT_EQ(Seg.SegSource().size(), 2u);
    EXPECT_EQ(OpenFileCount(), openBefore) << "every volume let go at the end of the run";
}

// No byte of a volume reaches the expansion before its check passed, and the next volume is checked on
// a second thread while the current one is read. A refused volume is asked for again as a wrong one.
TEST_F(SegmentInPlace, EachVolumeIsCheckedBeforeItIsReadTheNextWhileTheCurrentOneIs) {
    const std::vector archives = {SetArchiveOf(OutDir(), First), SetArchiveOf(OutDir(), Second)};
    const std::vector<std::size_t> at = PieceOffsets(archives);
    // Volume 1 ends one byte into the second archive: none of its files can begin without volume 2.
    const std::vector<std::string> paths = WriteSet(archives, {at[at.size() - 2] + 1});
    ASSERT_EQ(paths.size(), 2u);
    const std::string wrong = "Incorrect segmented mounted!\n\rCorrect and then press OK, or Cancel to abort";
    Seg.SetReadInPlace(true);
    for (const int refusals : {0, 1, 2}) {
        SCOPED_TRACE("volume 2 refused " + std::to_string(refusals) + " times");
        std::atomic<int> checksOf2 = 0;
        std::vector<uint16_t> verified, refused;
        std::vector<std::string> begun;
        bool secondCheckRanBeforeTheFirstFile = false;
        Seg.OnSegVerify = [&](std::string_view, uint16_t number) {
            if (number == 2) ++checksOf2;
            verified.push_back(number);
            return !(number == 2 && checksOf2 <= refusals);
        };
        Seg.OnCheckFile = [&](std::string& path, TCProcessMode) {
            // The first file waits for volume 2's check to begin: it only can beside this reading.
            if (begun.empty()) {
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (checksOf2 == 0 && std::chrono::steady_clock::now() < until) {
                }
                secondCheckRanBeforeTheFirstFile = checksOf2 > 0;
            }
            begun.push_back(path.substr(path.find_last_of("\\/") + 1));
        };
        Seg.OnSegWrongVolume = [&](uint16_t number) { refused.push_back(number); };
        Prompts.Boxes.clear();
        Prompts.BoxAnswers = {[] { return true; }, [] { return false; }};
        try {
            Seg.SegExpand();
            EXPECT_LT(refusals, 2) << "no error";
            ExpectExpanded(First);
            ExpectExpanded(Second);
        } catch (const ESegError& e) {
            EXPECT_EQ(refusals, 2) << e.what();
            EXPECT_TRUE(IsA<ESegAborted>(e)) << e.what();
            EXPECT_EQ(begun, std::vector<std::string>{"first.txt"}) << "nothing of the refused volume used";
        }
        EXPECT_TRUE(secondCheckRanBeforeTheFirstFile);
        EXPECT_EQ(verified, refusals == 0 ? (std::vector<uint16_t>{1, 2}) : (std::vector<uint16_t>{1, 2, 2}));
        EXPECT_EQ(refused, std::vector<uint16_t>(static_cast<std::size_t>(refusals), 2));
        EXPECT_EQ(Prompts.Boxes, std::vector<std::string>(static_cast<std::size_t>(refusals), wrong));
    }

    // Bytes that would fail the expansion are refused before the decoder meets them: the refusal is the
    // error.
    std::vector<uint8_t> damaged = ReadFile(paths.back());
    damaged[damaged.size() - 100] ^= 0x55;
    WriteFile(paths.back(), damaged);
    Seg.OnSegVerify = [](std::string_view, uint16_t number) { return number != 2; };
    Seg.OnCheckFile = nullptr;
    Seg.OnSegWrongVolume = nullptr;
    Prompts.Boxes.clear();
    Prompts.BoxAnswers = {[] { return false; }};
    EXPECT_THROW(Seg.SegExpand(), ESegAborted);
    EXPECT_EQ(Prompts.Boxes, std::vector<std::string>{wrong});
}

} // namespace
} // namespace yar::test
