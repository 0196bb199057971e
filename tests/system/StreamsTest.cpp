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
