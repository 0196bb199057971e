#include <gtest/gtest.h>

#include <string>

#include "config/MediaManifest.h"

namespace yar {
namespace {

// Stands in for SHA-256 here: 64 hexadecimal digits that change with every byte.
std::optional<std::string> TestDigest(std::string_view bytes) {
    uint64_t h = 1469598103934665603ull;
    for (const char c : bytes) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return std::string(text) + std::string(text) + std::string(text) + std::string(text);
}

TMediaManifest Sample() {
    return {{{"install.cfg", *TestDigest("cfg")},
             {"disk.001", *TestDigest("one")},
             {"disk.002", *TestDigest("two")}}};
}

TEST(MediaManifest, ABlockGivesBackWhatWasWrittenAndAnEmptyOneNothing) {
    const std::vector<uint8_t> block = EncodeManifestBlock(Sample());
    ASSERT_EQ(block.size(), kManifestBlockSize);
    EXPECT_TRUE(std::equal(kManifestMarker.begin(), kManifestMarker.end(), block.begin()));
    EXPECT_EQ(DecodeManifestBlock(block), Sample());
    // As the program is built: the marker and zeros.
    std::vector<uint8_t> fresh(kManifestBlockSize, 0);
    std::copy(kManifestMarker.begin(), kManifestMarker.end(), fresh.begin());
    EXPECT_FALSE(DecodeManifestBlock(fresh).has_value());
}

TEST(MediaManifest, WhatTheBlockCannotHoldIsRefused) {
    TMediaManifest full;
    for (std::size_t i = 0; i <= kManifestMaxEntries; ++i)
        full.Entries.push_back({"disk." + std::to_string(i), *TestDigest("x")});
    EXPECT_THROW(EncodeManifestBlock(full), EManifestError);
    full.Entries.pop_back();
    EXPECT_EQ(DecodeManifestBlock(EncodeManifestBlock(full))->Entries.size(), kManifestMaxEntries);
    EXPECT_THROW(EncodeManifestBlock({{{std::string(33, 'n'), *TestDigest("x")}}}), EManifestError);
    EXPECT_THROW(EncodeManifestBlock({{{"disk.001", "abc"}}}), EManifestError);
    std::vector<uint8_t> block = EncodeManifestBlock(Sample());
    block[kManifestMarker.size()] = static_cast<uint8_t>(kManifestMaxEntries + 1);
    EXPECT_THROW(DecodeManifestBlock(block), EManifestError);
}

TEST(MediaManifest, OnlyTheListedBytesMatch) {
    const TMediaManifest m = Sample();
    EXPECT_TRUE(MatchesManifest(m, "install.cfg", "cfg", TestDigest));
    EXPECT_TRUE(MatchesManifest(m, "DISK.002", "two", TestDigest));
    EXPECT_FALSE(MatchesManifest(m, "disk.002", "twO", TestDigest));
    EXPECT_FALSE(MatchesManifest(m, "disk.001", "two", TestDigest));
    EXPECT_FALSE(MatchesManifest(m, "disk.003", "two", TestDigest)); // not listed
    // A manifest that cannot be checked is not met.
    EXPECT_FALSE(MatchesManifest(m, "install.cfg", "cfg", TDigestFunction{}));
    EXPECT_FALSE(MatchesManifest(m, "install.cfg", "cfg",
                                 [](std::string_view) { return std::optional<std::string>(); }));
}

} // namespace
} // namespace yar
