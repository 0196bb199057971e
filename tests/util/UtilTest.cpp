// Text and path rules shared by every layer.
#include "util/LittleEndian.h"
#include "util/Paths.h"
#include "util/Text.h"

#include <gtest/gtest.h>

#include <utility>

namespace yar {
namespace {

TEST(Text, CaseRulesTouchAsciiLettersOnly) {
    EXPECT_EQ(UpperCase("setup.exe ~\xe9z"), "SETUP.EXE ~\xe9Z");
    EXPECT_EQ(LowerCase("DISK.001 \xc9"), "disk.001 \xc9");
    EXPECT_TRUE(SameText("<InstallDir>", "<INSTALLDIR>"));
    EXPECT_FALSE(SameText("\xe9", "\xc9")); // no code-page letters
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_TRUE(StartsWithText("<SUB1>", "<sub"));
    EXPECT_FALSE(StartsWithText("<SU", "<SUB"));
}

TEST(Text, AnsiCaseFoldsTheWindows1252Letters) {
    EXPECT_EQ(UpperAnsiText("setup \xe9t\xe9 \x9a\x9c\x9e\xff"), "SETUP \xc9T\xc9 \x8a\x8c\x8e\x9f");
    // Not letters with a partner: multiplication and division signs, sharp s, micro sign.
    EXPECT_EQ(UpperAnsiText("\xd7\xf7\xdf\xb5"), "\xd7\xf7\xdf\xb5");
    int changed = 0;
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(UpperAnsi(UpperAnsi(c)), UpperAnsi(c)) << b;
        if (UpperAnsi(c) != c) ++changed;
    }
    EXPECT_EQ(changed, 26 + 30 + 4); // ASCII, a grave to thorn without division, four from 0x9A
    EXPECT_TRUE(SameAnsiText("Caf\xe9", "CAF\xc9"));
    EXPECT_FALSE(SameAnsiText("\xdf", "SS"));
    EXPECT_FALSE(SameAnsiText("abc", "abcd"));
}

TEST(Paths, TrailingDelimiters) {
    EXPECT_EQ(IncludeTrailingDelimiter("C:\\dir"), "C:\\dir\\");
    EXPECT_EQ(IncludeTrailingDelimiter("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(IncludeTrailingDelimiter(""), "\\");
    EXPECT_EQ(ExcludeTrailingDelimiter("C:\\dir\\\\"), "C:\\dir\\"); // one at a time
    EXPECT_EQ(ExcludeTrailingDelimiter("C:\\dir"), "C:\\dir");
    EXPECT_EQ(ExcludeTrailingDelimiter("C:\\"), "C:");
    EXPECT_EQ(ExcludeTrailingDelimiter("\\"), "");
    EXPECT_EQ(ExcludeTrailingDelimiter(""), "");
}

TEST(Paths, JoiningPutsExactlyOneDelimiter) {
    EXPECT_EQ(JoinPath("C:\\a", "b.txt"), "C:\\a\\b.txt");
    EXPECT_EQ(JoinPath("C:\\a\\", "b.txt"), "C:\\a\\b.txt");
    EXPECT_EQ(JoinPath("C:\\a\\", "\\b.txt"), "C:\\a\\b.txt");
    EXPECT_EQ(JoinPath("C:\\", "b"), "C:\\b");
    EXPECT_EQ(JoinPath("", "b"), "b");
}

TEST(Paths, Parts) {
    EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(ExtractFileDir("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(ExtractFileDir("C:\\b.txt"), "C:\\");
    EXPECT_EQ(ExtractFileDir("C:b.txt"), "C:");
    EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(ExtractFileName("C:b.txt"), "b.txt");
    EXPECT_EQ(ExtractFileName("b.txt"), "b.txt");
    EXPECT_EQ(ExtractFilePath("b.txt"), "");
    EXPECT_EQ(ExtractFileName("C:\\a\\"), "");
}

TEST(Paths, DriveRoots) {
    for (const char* root : {"C:\\", "C:", "\\", "c:/", "/"}) EXPECT_TRUE(IsDriveRoot(root)) << root;
    for (const char* path : {"", "C:\\x", "C:\\windows\\Temp\\y", "setup", "\\\\"})
        EXPECT_FALSE(IsDriveRoot(path)) << path;
}

TEST(Paths, APathFromADirectoryIsWrittenOut) {
    const std::pair<const char*, const char*> cases[] = {
        {"answers.inf", "D:\\deploy\\answers.inf"}, // a bare name: the directory's, not Windows'
        {"sub\\a.inf", "D:\\deploy\\sub\\a.inf"},
        {"C:\\x\\a.inf", "C:\\x\\a.inf"},
        {"c:/x/a.inf", "c:/x/a.inf"},
        {"\\a.inf", "D:\\a.inf"}, // the directory's drive
        {"\\\\server\\share\\a.inf", "\\\\server\\share\\a.inf"},
    };
    for (const auto& [path, full] : cases) EXPECT_EQ(PathFrom("D:\\deploy", path), full) << path;
    EXPECT_EQ(PathFrom("D:\\", "a.inf"), "D:\\a.inf");
}

TEST(Paths, ForwardSlashSeparatesOnlyOffWindows) {
#ifdef _WIN32
    EXPECT_FALSE(IsPathDelimiter('/'));
    EXPECT_EQ(ExtractFileName("a/b"), "a/b");
#else
    EXPECT_TRUE(IsPathDelimiter('/'));
    EXPECT_EQ(ExtractFileName("a/b"), "b");
#endif
}

TEST(LittleEndian, FieldsRoundTrip) {
    uint8_t bytes[6] = {};
    PutU16(bytes, 0xBEEF);
    PutU32(bytes + 2, 0x80C0FFEEu);
    EXPECT_EQ(bytes[0], 0xEF);
    EXPECT_EQ(bytes[5], 0x80);
    EXPECT_EQ(GetU16(bytes), 0xBEEF);
    EXPECT_EQ(GetU32(bytes + 2), 0x80C0FFEEu);
    EXPECT_EQ(GetI32(bytes + 2), static_cast<int32_t>(0x80C0FFEEu));
}

} // namespace
} // namespace yar
