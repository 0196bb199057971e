#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "config/ProfileReader.h"

namespace yar {
namespace {

using Names = std::vector<std::string>;

std::string Read(std::string_view text, const std::string& section, const std::string& key,
                 const std::string& fallback = "<none>") {
    return TProfileReader::FromText(text)->ReadString(section, key, fallback);
}

TEST(ProfileReader, NamesMatchWithoutCaseAndBlanks) {
    const auto ini = TProfileReader::FromText("[Setup - Main]\r\n  Install Dir   =   Tools\\Yar  \r\n"
                                              "[\xC4rger]\r\n\xE9t\xE9=1\r\n");
    EXPECT_EQ(ini->ReadString("setup - main", "INSTALL DIR", ""), "Tools\\Yar");
    EXPECT_EQ(ini->ReadString("  Setup - Main ", " install dir ", ""), "Tools\\Yar");
    EXPECT_EQ(ini->ReadString("Setup-Main", "Install Dir", "d"), "d");
    // Windows-1252 letters fold too: A/a umlaut, E/e acute.
    EXPECT_EQ(ini->ReadString("\xE4RGER", "\xC9T\xC9", ""), "1");
}

TEST(ProfileReader, FirstSectionAndFirstKeyWin) {
    const char* text = "[A]\nk=1\nk=2\n[a]\nk=3\nonly=4\n";
    EXPECT_EQ(Read(text, "A", "k"), "1");
    // A later section of the same name is never searched.
    EXPECT_EQ(Read(text, "a", "only"), "<none>");
    EXPECT_EQ(TProfileReader::FromText(text)->ReadKeyNames("a"), (Names{"k", "k"}));
}

TEST(ProfileReader, QuotesAroundAValueAreDropped) {
    const char* text = "[S]\nd=\"quoted\"\ns='single'\nm=\"mixed'\none=\"\nempty=\"\"\n"
                       "inner=a \"b\"\nlead=\"a\" b\npad=\"  x  \"\n";
    EXPECT_EQ(Read(text, "S", "d"), "quoted");
    EXPECT_EQ(Read(text, "S", "s"), "single");
    EXPECT_EQ(Read(text, "S", "m"), "\"mixed'");
    EXPECT_EQ(Read(text, "S", "one"), "\"");
    EXPECT_EQ(Read(text, "S", "empty"), "");
    EXPECT_EQ(Read(text, "S", "inner"), "a \"b\"");
    EXPECT_EQ(Read(text, "S", "lead"), "\"a\" b");
    EXPECT_EQ(Read(text, "S", "pad"), "  x  ");
}

TEST(ProfileReader, LinesWithoutEqualsAndComments) {
    const char* text = "[S]\n; a=comment\nbare line\n#hash=1\nempty=\n=novalue\nafter=2\n";
    const auto ini = TProfileReader::FromText(text);
    EXPECT_EQ(Read(text, "S", "bare line"), "<none>");
    EXPECT_EQ(Read(text, "S", "#hash"), "1"); // only ";" starts a comment
    EXPECT_EQ(Read(text, "S", "; a"), "comment");
    EXPECT_EQ(Read(text, "S", "empty"), "");
    EXPECT_EQ(Read(text, "S", "after"), "2");
    // The listing leaves out comments and lines without "="; a line starting with "=" lists an
    // empty name, which ends the listing early.
    EXPECT_EQ(ini->ReadKeyNames("S"), (Names{"#hash", "empty"}));
    // The section's lines keep lines without "=" and show every line whole.
    EXPECT_EQ(ini->ReadSectionLines("s"), (Names{"bare line", "#hash=1", "empty=", "=novalue", "after=2"}));
    EXPECT_TRUE(ini->ReadSectionLines("none").empty());
    EXPECT_TRUE(TProfileReader::FromText("[C]\n;only=comments\n")->ReadSectionLines("C").empty());
}

TEST(ProfileReader, LineEndsAndKeysBeforeAnySection) {
    EXPECT_EQ(Read("[S]\r\nk=v\r\n", "S", "k"), "v");
    EXPECT_EQ(Read("[S]\nk=v\n", "S", "k"), "v");
    EXPECT_EQ(Read("[S]\nk=v", "S", "k"), "v");
    // A carriage return alone ends a line too.
    EXPECT_EQ(Read("[S]\rk=v\r", "S", "k"), "v");
    EXPECT_EQ(Read("[S]\nk=v\rj=w\n", "S", "j"), "w");
    EXPECT_EQ(Read("k=v\n[S]\nj=w\n", "S", "k"), "<none>");
    EXPECT_EQ(Read("k=v\n[S]\nj=w\n", "", "k"), "v");
    EXPECT_EQ(Read("\xEF\xBB\xBF[S]\nk=v\n", "S", "k"), "v");
}

TEST(ProfileReader, SectionLines) {
    const char* text = "[ Spaced ]\na=1\n[Tail] junk\nb=2\n[Open\nc=3\n[x]y]\nd=4\n[]\ne=5\n";
    EXPECT_EQ(Read(text, "Spaced", "a"), "1"); // blanks inside the brackets go
    EXPECT_EQ(Read(text, " spaced ", "a"), "1");
    EXPECT_EQ(Read(text, "Tail", "b"), "2");
    EXPECT_EQ(Read(text, "Tail", "[Open"), "<none>"); // no "]": an ordinary line of [Tail]
    EXPECT_EQ(Read(text, "Tail", "c"), "3");
    EXPECT_EQ(Read(text, "x]y", "d"), "4"); // the last "]" closes the name
}

TEST(ProfileReader, ValuesAreCutAt1023Characters) {
    const std::string longValue(1500, 'v');
    const std::string text =
        "[S]\nlong=" + longValue + "\nq=\"" + longValue + "\"\nfit=\"" + std::string(1022, 'f') + "\"\n";
    EXPECT_EQ(Read(text, "S", "long"), std::string(1023, 'v'));
    EXPECT_EQ(Read(text, "S", "q"), std::string(1023, 'v')); // too long to lose the closing quote
    EXPECT_EQ(Read(text, "S", "fit"), std::string(1022, 'f'));
    // 1023 characters in quotes: the cut takes the closing quote and then one more character.
    EXPECT_EQ(Read("[S]\nedge=\"" + std::string(1023, 'e') + "\"\n", "S", "edge"), std::string(1022, 'e'));
    EXPECT_EQ(Read("", "S", "k", std::string(2000, 'd')), std::string(1023, 'd'));
}

TEST(ProfileReader, FallbackIsCopiedLikeAValue) {
    EXPECT_EQ(Read("", "S", "k", "abc   "), "abc");
    EXPECT_EQ(Read("", "S", "k", "   "), " ");
    EXPECT_EQ(Read("", "S", "k", "\"q\""), "q");
    EXPECT_EQ(Read("", "S", "k", ""), "");
}

TEST(ProfileReader, KeyListingStopsAtItsBuffer) {
    // Names of 10 characters take 11 bytes each: 744 fit whole, 8 bytes are left, and the 745th
    // name is cut to the 6 characters that leave room for its NUL and the closing one.
    std::string text = "[Big]\n";
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "key%07d", i);
        text += std::string(name) + "=x\n";
    }
    const auto reader = TProfileReader::FromText(text);
    const Names names = reader->ReadKeyNames("big");
    ASSERT_EQ(names.size(), 745u);
    EXPECT_EQ(names[743], "key0000743");
    EXPECT_EQ(names[744], "key000"); // the cut name is still listed
    // The whole listing has every name, whole.
    const Names all = reader->AllKeyNames("big");
    ASSERT_EQ(all.size(), 1000u);
    EXPECT_EQ(all[744], "key0000744");
    EXPECT_EQ(all[999], "key0000999");
}

TEST(ProfileReader, SectionLinesStopTwoBytesShortOfTheBuffer) {
    // 100 lines of 99 characters and a NUL each: 81 fit whole into 8190 bytes, the 82nd is cut.
    std::string text = "[S]\n";
    for (int i = 100; i < 200; ++i) text += 'k' + std::to_string(i) + '=' + std::string(94, 'v') + '\n';
    const Names lines = TProfileReader::FromText(text)->ReadSectionLines("S");
    ASSERT_EQ(lines.size(), 82u);
    EXPECT_EQ(lines[80], "k180=" + std::string(94, 'v'));
    EXPECT_EQ(lines[81], "k181=" + std::string(85, 'v'));
}

TEST(ProfileReader, MissingFileReadsAsEmpty) {
    const TProfileReader ini("/nonexistent/dir/install.cfg");
    EXPECT_EQ(ini.ReadString("Setup - Main", "Header", "dflt"), "dflt");
    EXPECT_TRUE(ini.ReadKeyNames("Files").empty());
}

TEST(ProfileReader, ReadsAFile) {
    const auto path = std::filesystem::temp_directory_path() / "yar_profile_reader_test.ini";
    std::ofstream(path, std::ios::binary) << "[S]\r\nk = 0x10 \r\nb=no\r\n";
    const TProfileReader ini(path.string());
    EXPECT_EQ(ini.ReadInteger("S", "k", 0), 16);
    EXPECT_TRUE(ini.ReadBool("S", "b", true));
    EXPECT_EQ(ini.ReadKeyNames("s"), (Names{"k", "b"}));
    std::filesystem::remove(path);
}

} // namespace
} // namespace yar
