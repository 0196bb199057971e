// The canonical form of a path read from the uninstall record: what the system would make of it, and
// what has no single reading and is refused.
#include "util/CanonicalPaths.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

TEST(CanonicalPaths, PathsAreReadAsGetFullPathNameReadsThem) {
    const struct {
        const char* path;
        const char* canonical;
    } cases[] = {
        {"C:\\Program Files\\Acme\\app.exe", "C:\\Program Files\\Acme\\app.exe"},
        {"c:\\windows\\win.ini", "C:\\windows\\win.ini"},
        {"C:\\Other\\.\\app.exe", "C:\\Other\\app.exe"},
        {"C:\\Program Files\\Acme\\..\\..\\Windows\\win.ini", "C:\\Windows\\win.ini"},
        {"C:\\..\\..\\Windows", "C:\\Windows"},
        {"C:/Windows/System32/x.dll", "C:\\Windows\\System32\\x.dll"},
        {"C:\\Acme\\\\Bin\\\\tool.exe", "C:\\Acme\\Bin\\tool.exe"},
        {"C:\\Acme\\", "C:\\Acme"},
        {"C:\\", "C:\\"},
        {"C:\\.", "C:\\"},
        {"C:\\Acme\\..", "C:\\"},
        {"D:\\a..b\\.profile", "D:\\a..b\\.profile"},
        {"C:\\ leading blank", "C:\\ leading blank"},
        {"C:\\Acme\\com10.txt", "C:\\Acme\\com10.txt"},
        {"C:\\Acme\\console.log", "C:\\Acme\\console.log"},
    };
    for (const auto& c : cases) {
        const TCanonicalPath result = CanonicalPath(c.path);
        EXPECT_EQ(result, (TCanonicalPath{c.canonical, ""})) << c.path;
    }
}

TEST(CanonicalPaths, WhatHasNoSingleReadingIsRefusedWithItsReason) {
    const struct {
        const char* path;
        const char* why;
    } cases[] = {
        {"", "the path is empty"},
        {"C:\\windows\\win.ini.", "a name ends in a dot or a blank"},
        {"C:\\windows\\win.ini ", "a name ends in a dot or a blank"},
        {"C:\\windows.\\win.ini", "a name ends in a dot or a blank"},
        {"C:\\Acme\\...\\x", "a name ends in a dot or a blank"},
        {"C:\\Acme\\.. \\x", "a name ends in a dot or a blank"},
        {"C:\\Acme\\app.exe:stream", "it names an alternate stream"},
        {"C:\\Acme\\app.exe::$DATA", "it names an alternate stream"},
        {"\\\\server\\share\\app.exe", "a network path"},
        {"//server/share/app.exe", "a network path"},
        {"\\/server\\share", "a network path"},
        {"\\\\?\\C:\\Windows\\win.ini", "a device path"},
        {"\\\\.\\C:\\Windows\\win.ini", "a device path"},
        {"\\\\.\\PhysicalDrive0", "a device path"},
        {"//?/C:/Windows", "a device path"},
        {"\\??\\C:\\Windows", "a device path"},
        {"\\\\?", "a device path"},
        {"Acme\\app.exe", "not a full path beginning with a drive"},
        {"C:app.exe", "not a full path beginning with a drive"},
        {"C:", "not a full path beginning with a drive"},
        {"\\Windows\\win.ini", "not a full path beginning with a drive"},
        {"1:\\x", "not a full path beginning with a drive"},
        {"C:\\Acme\\CON", "a name is a device (CON)"},
        {"C:\\Acme\\nul.txt", "a name is a device (nul.txt)"},
        {"C:\\COM1\\x", "a name is a device (COM1)"},
        {"C:\\Acme\\LPT9 .log", "a name is a device (LPT9 .log)"},
        {"C:\\Acme\\a\x01.txt", "a name holds a control character"},
        {"C:\\Acme\\a|b", "a name holds a character Windows does not allow"},
        {"C:\\Acme\\*.*", "a name holds a wildcard"},
    };
    for (const auto& c : cases) EXPECT_EQ(CanonicalPath(c.path).Refusal, c.why) << c.path;
    EXPECT_EQ(CanonicalPath("C:\\windows\\win.ini.").Path, "") << "nothing to act on";
}

TEST(CanonicalPaths, WildcardsStandOnlyInTheLastPart) {
    EXPECT_EQ(CanonicalPath("C:\\Acme\\.\\*.*", true).Path, "C:\\Acme\\*.*");
    EXPECT_EQ(CanonicalPath("C:\\Acme\\Acme App.*", true).Path, "C:\\Acme\\Acme App.*");
    EXPECT_EQ(CanonicalPath("C:\\Acme\\app?.dll", true).Path, "C:\\Acme\\app?.dll");
    EXPECT_EQ(CanonicalPath("C:\\Ac*\\app.exe", true).Refusal, "a wildcard stands outside the file name");
    EXPECT_EQ(CanonicalPath("C:\\Acme\\*.", true).Refusal, "a name ends in a dot or a blank");
}

TEST(CanonicalPaths, WithinComparesWholePartsIgnoringCase) {
    EXPECT_TRUE(CanonicalWithin("C:\\Program Files\\Acme\\app.exe", "C:\\Program Files\\Acme"));
    EXPECT_TRUE(CanonicalWithin("C:\\PROGRAM FILES\\ACME", "C:\\Program Files\\Acme"));
    EXPECT_TRUE(CanonicalWithin("C:\\Acme", "C:\\"));
    EXPECT_FALSE(CanonicalWithin("C:\\Program Files\\Acme Tools\\app.exe", "C:\\Program Files\\Acme"));
    EXPECT_FALSE(CanonicalWithin("C:\\Program Files", "C:\\Program Files\\Acme"));
    EXPECT_FALSE(CanonicalWithin("C:\\x", ""));
}

} // namespace
} // namespace yar
