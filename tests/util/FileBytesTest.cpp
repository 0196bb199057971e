// A whole file's bytes: every byte as it is on disk, past the reader's buffer, and the two failures told
// apart.
#include "util/FileBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace yar {
namespace {

namespace fs = std::filesystem;

class FileBytes : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("yar_file_bytes_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const fs::path path = Dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    fs::path Dir;
};

TEST_F(FileBytes, EveryByteComesBackPastTheBuffer) {
    std::string bytes = "[S]\r\nk=v\r\n";
    bytes += std::string(1, '\0') + "\x1A\n\r\xFF";
    for (int i = 0; bytes.size() < 40000; ++i) bytes += static_cast<char>(i * 7);
    const std::string path = Write("many.bin", bytes);

    const TFileBytes read = ReadFileBytes(path);
    EXPECT_TRUE(read.Opened);
    EXPECT_TRUE(read.Complete);
    EXPECT_EQ(read.Bytes, bytes);
    EXPECT_EQ(ReadWholeFile(path), bytes);
    EXPECT_EQ(ReadWholeFile(Write("empty.txt", "")), "");
}

TEST_F(FileBytes, AMissingFileIsNotOpenedAndNamed) {
    const std::string path = (Dir / "missing.txt").string();
    const TFileBytes read = ReadFileBytes(path);
    EXPECT_FALSE(read.Opened);
    EXPECT_FALSE(read.Complete);
    EXPECT_TRUE(read.Bytes.empty());
    try {
        ReadWholeFile(path);
        FAIL() << "a missing file was read";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), ("Cannot open file " + path).c_str());
    }
}

#ifndef _WIN32
// A directory opens on POSIX systems, and the first read fails.
TEST_F(FileBytes, AReadThatFailsIsNotComplete) {
    const std::string path = Dir.string();
    const TFileBytes read = ReadFileBytes(path);
    EXPECT_TRUE(read.Opened);
    EXPECT_FALSE(read.Complete);
    try {
        ReadWholeFile(path);
        FAIL() << "a directory was read as a file";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), ("Cannot read file " + path).c_str());
    }
}
#endif

} // namespace
} // namespace yar
