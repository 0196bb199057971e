#include <gtest/gtest.h>

#include "setup/MediaCheck.h"

#include <filesystem>
#include <fstream>

namespace yar {
namespace {

// Stands in for SHA-256: 64 hexadecimal digits that change with every byte and with the length.
std::optional<std::string> TestDigest(std::string_view bytes) {
    uint64_t h = 1469598103934665603ull ^ bytes.size();
    for (const char c : bytes) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return std::string(text) + text + text + text;
}

TEST(MediaCheck, TheConfigurationIsTheFileTheManifestLists) {
    const auto path = std::filesystem::temp_directory_path() / "yar_media_check_install.cfg";
    std::ofstream(path, std::ios::binary) << "[Setup - Main]\r\nHeader=A\r\n";
    const TMediaManifest manifest{{{"INSTALL.CFG", *TestDigest("[Setup - Main]\r\nHeader=A\r\n")}}};
    EXPECT_TRUE(ConfigMatches(manifest, path.string(), TestDigest));
    std::ofstream(path, std::ios::binary | std::ios::app) << "; one more line\r\n";
    EXPECT_FALSE(ConfigMatches(manifest, path.string(), TestDigest));
    std::filesystem::remove(path);
    EXPECT_FALSE(ConfigMatches(manifest, path.string(), TestDigest)); // a missing file is no match
}

// The bytes the run read once are what is judged: a read cut short never matches, whatever it holds.
TEST(MediaCheck, TheConfigurationIsJudgedByTheBytesRead) {
    const std::string text = "[Setup - Main]\r\nHeader=A\r\n";
    const TMediaManifest manifest{{{"INSTALL.CFG", *TestDigest(text)}}};
    EXPECT_TRUE(ConfigMatches(manifest, TFileBytes{true, true, text}, TestDigest));
    EXPECT_FALSE(ConfigMatches(manifest, TFileBytes{true, false, text}, TestDigest));
    EXPECT_FALSE(ConfigMatches(manifest, TFileBytes{true, true, text + " "}, TestDigest));
    EXPECT_FALSE(ConfigMatches(manifest, TFileBytes{false, true, ""}, TestDigest));
}

TEST(MediaCheck, AVolumeIsReadWholeFromItsStartWhereverItStood) {
    const std::string bytes(20000, 'v');
    const TMediaManifest manifest{{{"disk.001", *TestDigest(bytes)}, {"disk.002", *TestDigest("second")}}};
    TMemoryStream volume(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    volume.Seek(8, TSeekOrigin::soBeginning); // the volume record already read
    EXPECT_TRUE(VolumeMatches(manifest, volume, 1, TestDigest));
    EXPECT_FALSE(VolumeMatches(manifest, volume, 2, TestDigest)); // another number, another digest
    EXPECT_FALSE(VolumeMatches(manifest, volume, 3, TestDigest)); // a volume the manifest does not list
    EXPECT_FALSE(VolumeMatches(manifest, volume, 1, TDigestFunction{}));
}

TEST(MediaCheck, AProgramAsBuiltCarriesNoManifest) {
    EXPECT_FALSE(OwnMediaManifest().has_value());
}

} // namespace
} // namespace yar
