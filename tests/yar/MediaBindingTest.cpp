#include <gtest/gtest.h>

#include "tools/yar/MediaBinding.h"
#include "tools/yar/ToolErrors.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace yar::tool {
namespace {
namespace fs = std::filesystem;

std::optional<std::string> TestDigest(std::string_view bytes) {
    std::string hex(64, '0');
    uint32_t sum = 0;
    for (const char c : bytes) sum = sum * 31 + static_cast<uint8_t>(c);
    for (std::size_t i = 0; i < 8; ++i) hex[i] = "0123456789abcdef"[(sum >> (4 * i)) & 15];
    return hex;
}

class MediaBinding : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("yar_media_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (Dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // A program with its block between other bytes, as the linker leaves it.
    static std::string Program() {
        std::string block(kManifestBlockSize, '\0');
        std::copy(kManifestMarker.begin(), kManifestMarker.end(), block.begin());
        return std::string(1000, 'c') + block + std::string(500, 'd');
    }
    fs::path Dir;
};

TEST_F(MediaBinding, TheManifestGoesIntoTheBlockAndNowhereElse) {
    const std::string program = Write("install.exe", Program());
    const std::vector<std::pair<std::string, std::string>> files = {
        {"install.cfg", Write("install.cfg", "[Setup - Main]")},
        {"disk.001", Write("disk.001", "volume one")}};
    EXPECT_FALSE(ManifestOf(program).has_value());
    const TMediaManifest manifest = DigestMedia(files, TestDigest);
    ASSERT_TRUE(BindMedia(program, manifest));
    const std::string bound = Read(program);
    ASSERT_EQ(bound.size(), Program().size());
    EXPECT_EQ(bound.substr(0, 1000), Program().substr(0, 1000));
    EXPECT_EQ(bound.substr(1000 + kManifestBlockSize), Program().substr(1000 + kManifestBlockSize));
    EXPECT_EQ(ManifestOf(program), manifest);
    EXPECT_TRUE(MediaMismatches(manifest, files, TestDigest).empty());
}

TEST_F(MediaBinding, ChangedAndMissingFilesAreNamed) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"install.cfg", Write("install.cfg", "[Setup - Main]")},
        {"disk.001", Write("disk.001", "volume one")},
        {"disk.002", Write("disk.002", "volume two")}};
    const TMediaManifest manifest = DigestMedia(files, TestDigest);
    Write("disk.002", "volume 2wo");
    fs::remove(files[0].second);
    const auto lines = MediaMismatches(manifest, files, TestDigest);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "install.cfg is missing");
    EXPECT_NE(lines[1].find("disk.002 does not match the manifest"), std::string::npos) << lines[1];
    EXPECT_THROW(DigestMedia(files, TDigestFunction{}), EToolFileError);
}

TEST_F(MediaBinding, AProgramWithoutOneBlockIsNotBound) {
    const std::string none = Write("none.exe", std::string(20000, 'x'));
    EXPECT_FALSE(BindMedia(none, {{{"install.cfg", *TestDigest("a")}}}));
    EXPECT_EQ(Read(none), std::string(20000, 'x'));
    // Two markers: which block the program reads cannot be told.
    const std::string twice = Write("twice.exe", Program() + Program());
    EXPECT_THROW(BindMedia(twice, {{{"install.cfg", *TestDigest("a")}}}), EManifestError);
}

} // namespace
} // namespace yar::tool
