// Files written on a second thread: natively on a std::thread, under Wine on a Win32 thread.
#include "system/WriteBehind.h"

#include "SystemTestSupport.h"
#include "system/FileServices.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace yar {
namespace {

class WriteBehindTest : public ::testing::Test {
protected:
    // The writer takes the platform's paths, as the container hands them over.
    std::string Path(const std::string& name) const { return NativePath(FDir / name); }
    static std::string Contents(const std::string& path) {
        return test::GetBytes(path).value_or("(missing)");
    }
    test::TTestDir FDir{"yar-writebehind"};
};

TEST_F(WriteBehindTest, FilesSplitAcrossBatchesArriveWholeAndInOrder) {
    // Batches of 10 bytes: a file's bytes go out in several, and several files share one.
    TWriteBehind writer(10);
    std::string expected[5];
    for (int i = 0; i < 5; ++i) {
        writer.Create(Path("f" + std::to_string(i)));
        for (int piece = 0; piece < i; ++piece) {
            const std::string text(static_cast<std::size_t>(3 * piece + 1), static_cast<char>('a' + i));
            writer.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
            expected[i] += text;
        }
        EXPECT_EQ(writer.Position(), static_cast<int64_t>(expected[i].size()));
    }
    // The same name again starts it anew, as a create does.
    writer.Create(Path("f4"));
    writer.WriteBuffer("again", 5);
    expected[4] = "again";
    writer.Finish();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Contents(Path("f" + std::to_string(i))), expected[i]) << i;
    EXPECT_EQ(writer.Seek(3, TSeekOrigin::soBeginning), -1);
}

TEST_F(WriteBehindTest, AFailureIsRaisedWithItsOwnTypeAndNothingIsWrittenAfterIt) {
    TWriteBehind writer(4);
    writer.Create(Path("before"));
    writer.WriteBuffer("whole", 5);
    writer.Create(Path("no-such-dir/x"));
    writer.WriteBuffer("lost", 4);
    bool raised = false;
    try {
        // Raised at a hand-over once the batch that failed has ended, or at the latest by Finish.
        for (int i = 0; i < 100; ++i) {
            writer.Create(Path("after" + std::to_string(i)));
            writer.WriteBuffer("later", 5);
        }
        writer.Finish();
    } catch (const EFCreateError& e) {
        raised = true;
        EXPECT_NE(std::string(e.what()).find("no-such-dir"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(raised);
    writer.FinishAfterFailure();
    EXPECT_EQ(Contents(Path("before")), "whole");
    EXPECT_FALSE(std::filesystem::exists(Path("after99")));
    EXPECT_THROW(writer.WriteBuffer("more", 4), EWriteError);
}

TEST_F(WriteBehindTest, WhatWasNotHandedOverGoesUnwrittenWithTheWriter) {
    {
        TWriteBehind writer;
        writer.Create(Path("gathered"));
        writer.WriteBuffer("x", 1);
    }
    EXPECT_FALSE(std::filesystem::exists(Path("gathered")));
}

} // namespace
} // namespace yar
