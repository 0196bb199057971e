#include "system/Streams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using namespace yar;
using ::testing::ElementsAre;
using ::testing::StartsWith;

TEST(StreamErrors, CarryTheRuntimeMessages) {
    EXPECT_STREQ(EReadError().what(), "Stream read error");
    EXPECT_STREQ(EFOpenError("a.bin", "No such file").what(), "Cannot open file \"a.bin\". No such file");
}

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    EXPECT_EQ(s.Size(), 6);
    s.SetPosition(2);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 4);
    EXPECT_STREQ(buf, "cdef");
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 4);
    EXPECT_EQ(s.Seek(1, TSeekOrigin::soCurrent), 5);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
    TMemoryStream s(std::vector<uint8_t>{1, 2});
    s.SetPosition(4);
    s.WriteBuffer("\x07", 1);
    EXPECT_THAT(s.Bytes(), ElementsAre(1, 2, 0, 0, 7));
    s.SetSize(1);
    EXPECT_THAT(s.Bytes(), ElementsAre(1));
    EXPECT_EQ(s.Position(), 1);
    s.Seek(-5, TSeekOrigin::soCurrent); // before the start: nothing to read or write there
    char c;
    EXPECT_EQ(s.Read(&c, 1), 0);
    EXPECT_EQ(s.Write(&c, 1), 0);
}

namespace {

// A memory stream that remembers the size of each write it takes, and takes at most Room bytes.
class TRecordingTarget : public TMemoryStream {
public:
    int32_t Write(const void* buffer, int32_t count) override {
        Writes.push_back(count);
        return TMemoryStream::Write(buffer, std::min(count, Room));
    }
    std::vector<int32_t> Writes;
    int32_t Room = 1 << 30;
};

std::vector<uint8_t> Counting(std::size_t n, uint8_t from = 0) {
    std::vector<uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(from + i * 7);
    return bytes;
}

} // namespace

// Small pieces reach the target in whole blocks, the rest with Flush; a piece of a block or more goes
// straight through once what is held has gone before it; every byte arrives once, in order.
TEST(BufferedWriteStream, GathersPiecesIntoBlocks) {
    TRecordingTarget target;
    const std::vector<uint8_t> bytes = Counting(3000 * 3 + 10000 + 100);
    {
        TBufferedWriteStream buffered(target, 4096);
        const uint8_t* at = bytes.data();
        for (int i = 0; i < 3; ++i, at += 3000) buffered.WriteBuffer(at, 3000);
        EXPECT_THAT(target.Writes, ElementsAre(4096, 4096));
        buffered.WriteBuffer(at, 10000); // 808 bytes held: a block of them first, then the rest as it is
        at += 10000;
        buffered.WriteBuffer(at, 100);
        buffered.Flush();
        buffered.Flush(); // nothing left
    }
    EXPECT_THAT(target.Writes, ElementsAre(4096, 4096, 4096, 6712, 100));
    EXPECT_EQ(std::vector<uint8_t>(target.Bytes().begin(), target.Bytes().end()), bytes);

    TRecordingTarget direct;
    TBufferedWriteStream buffered(direct, 4096);
    buffered.WriteBuffer(bytes.data(), 5000);
    EXPECT_THAT(direct.Writes, ElementsAre(5000)) << "nothing held: the piece goes as it is";
}

// A seek or a read writes out what is held first, so the target is where the writer thinks it is;
// a stream that goes without Flush drops what it held; a target that takes less is a write error.
TEST(BufferedWriteStream, SeeksAndReadsComeAfterWhatIsHeld) {
    TRecordingTarget target;
    {
        TBufferedWriteStream buffered(target, 64);
        buffered.WriteBuffer("abcdef", 6);
        EXPECT_EQ(buffered.Position(), 6);
        EXPECT_EQ(buffered.Seek(1, TSeekOrigin::soBeginning), 1);
        char two[2] = {};
        EXPECT_EQ(buffered.Read(two, 2), 2);
        EXPECT_EQ(std::string(two, 2), "bc");
        buffered.WriteBuffer("XY", 2);
        buffered.WriteBuffer("dropped", 7);
        buffered.Seek(0, TSeekOrigin::soCurrent);
        buffered.WriteBuffer("never", 5); // no Flush: the writer failed
    }
    EXPECT_EQ(std::string(target.Bytes().begin(), target.Bytes().end()), "abcXYdropped");

    TRecordingTarget full;
    full.Room = 3;
    TBufferedWriteStream buffered(full, 64);
    buffered.WriteBuffer("abcdef", 6);
    EXPECT_THROW(buffered.Flush(), EWriteError);
    EXPECT_NO_THROW(buffered.Flush()) << "the bytes that failed are not written again";
}

TEST(NullStream, CountsWhatIsWrittenAndReadsNothing) {
    TNullStream s;
    s.WriteBuffer("abc", 3);
    s.SetPosition(0);
    s.WriteBuffer("x", 1);
    EXPECT_EQ(s.BytesWritten(), 4);
    EXPECT_EQ(s.Size(), 3);
    char c;
    EXPECT_EQ(s.Read(&c, 1), 0);
}

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        FDir =
            std::filesystem::temp_directory_path() /
            ("yar-streams-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(FDir);
        std::filesystem::create_directories(FDir);
    }
    void TearDown() override { std::filesystem::remove_all(FDir); }
    std::string Path(const std::string& name) const { return (FDir / name).string(); }
    std::filesystem::path FDir;
};

TEST_F(FileStreamTest, CreateTruncatesAndOpenForWritingKeepsTheRest) {
    {
        TFileStream f(Path("a.bin"), fmCreate);
        f.WriteBuffer("hello world", 11);
    }
    {
        TFileStream f(Path("a.bin"), fmOpenWrite | fmShareExclusive);
        f.WriteBuffer("J", 1);
    }
    {
        TFileStream f(Path("a.bin"), fmOpenRead | fmShareDenyWrite);
        char buf[12] = {};
        f.ReadBuffer(buf, 11);
        EXPECT_STREQ(buf, "Jello world");
        EXPECT_EQ(f.Size(), 11);
        EXPECT_EQ(f.Seek(-5, TSeekOrigin::soEnd), 6);
    }
    TFileStream again(Path("a.bin"), fmCreate | fmShareExclusive);
    EXPECT_EQ(again.Size(), 0);
}

TEST_F(FileStreamTest, FailuresNameTheFileAndTheSystemsReason) {
    const std::string missing = Path("missing.bin");
    try {
        TFileStream f(missing, fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_THAT(e.what(), StartsWith("Cannot open file \"" + missing + "\". "));
        EXPECT_GT(std::string(e.what()).size(), missing.size() + 22); // a reason follows
        EXPECT_NE(std::string(e.what()).back(), '.');
    }
    const std::string nowhere = Path("no-such-dir/x.bin");
    EXPECT_THROW(TFileStream(nowhere, fmCreate), EFCreateError);
}

TEST_F(FileStreamTest, SharingModesKeepOtherOpenersOut) {
    { TFileStream(Path("s.bin"), fmCreate).WriteBuffer("x", 1); }
    {
        TFileStream exclusive(Path("s.bin"), fmOpenRead | fmShareExclusive);
        EXPECT_THROW(TFileStream(Path("s.bin"), fmOpenRead | fmShareExclusive), EFOpenError);
        EXPECT_THROW(TFileStream(Path("s.bin"), fmOpenRead | fmShareDenyWrite), EFOpenError);
        EXPECT_THROW(TFileStream(Path("s.bin"), fmCreate | fmShareExclusive), EFCreateError);
    }
    // The refused create left the file as it was.
    EXPECT_EQ(std::filesystem::file_size(Path("s.bin")), 1u);
    {
        TFileStream reader(Path("s.bin"), fmOpenRead | fmShareDenyWrite);
        EXPECT_NO_THROW(TFileStream(Path("s.bin"), fmOpenRead | fmShareDenyWrite));
        EXPECT_THROW(TFileStream(Path("s.bin"), fmOpenRead | fmShareExclusive), EFOpenError);
    }
    TFileStream a(Path("s.bin"), fmOpenReadWrite | fmShareDenyNone);
    EXPECT_NO_THROW(TFileStream(Path("s.bin"), fmOpenReadWrite | fmShareDenyNone));
}

TEST_F(FileStreamTest, ExposesThePlatformHandle) {
    TFileStream f(Path("h.bin"), fmCreate);
#ifdef _WIN32
    EXPECT_NE(f.Handle(), nullptr);
#else
    EXPECT_GE(f.Handle(), 0);
#endif
    EXPECT_EQ(f.FileName(), Path("h.bin"));
}

// The position is kept by the stream itself: it must follow short reads, failed seeks and writes.
TEST_F(FileStreamTest, ThePositionFollowsReadsWritesAndSeeks) {
    TFileStream f(Path("p.bin"), fmCreate | fmShareExclusive);
    f.WriteBuffer("0123456789", 10);
    EXPECT_EQ(f.Position(), 10);
    EXPECT_EQ(f.Size(), 10);
    f.SetPosition(3);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, 4), 4);
    EXPECT_EQ(f.Position(), 7);
    EXPECT_EQ(f.Read(buf, 16), 3); // short at the end
    EXPECT_STREQ(buf, "7896");     // "789" over the earlier "3456"
    EXPECT_EQ(f.Position(), 10);
    EXPECT_EQ(f.Read(buf, 4), 0);
    EXPECT_EQ(f.Position(), 10);
    EXPECT_EQ(f.Seek(-20, TSeekOrigin::soCurrent), -1); // before the start: refused, position kept
    EXPECT_EQ(f.Position(), 10);
    EXPECT_EQ(f.Seek(-2, TSeekOrigin::soEnd), 8);
    f.WriteBuffer("abcd", 4); // past the old end
    EXPECT_EQ(f.Position(), 12);
    EXPECT_EQ(f.Size(), 12);
    f.SetPosition(0);
    f.ReadBuffer(buf, 12);
    EXPECT_EQ(std::string(buf, 12), "01234567abcd");
}
