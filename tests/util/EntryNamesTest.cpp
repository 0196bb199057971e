// The rule for stored entry names: which file name an entry gives, and which names are refused.
#include "util/EntryNames.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

TEST(EntryNames, FileNameFollowsTheLastSeparatorOrColonEverywhere) {
    const struct {
        const char* stored;
        const char* name;
    } cases[] = {
        {"readme.txt", "readme.txt"},
        {"docs\\manual.txt", "manual.txt"},
        {"../../system32/x.dll", "x.dll"},
        {"a\\b/c", "c"},
        {"C:x.dll", "x.dll"},
        {"file.txt:stream", "stream"},
        {"dir\\", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(EntryFileName(c.stored), c.name) << c.stored;
}

TEST(EntryNames, SoundNamesPass) {
    for (const char* stored :
         {"readme.txt", "docs\\manual.txt", "\\windows\\app.ini", "C:\\app\\bin\\app.exe", "a:sub.dat",
          "C:x.dll", ".profile", "a..b", "CONFIG.SYS", "com10.txt", "lpt.txt", "console.log", "x.con",
          "dir.\\name", "\xe9t\xe9.txt"})
        EXPECT_EQ(UnsafeEntryNameReason(stored), "") << stored;
}

TEST(EntryNames, RefusedNamesSayWhy) {
    const struct {
        const char* stored;
        const char* reason;
    } cases[] = {
        {"", "its file name is empty"},
        {"docs\\", "its file name is empty"},
        {"docs/", "its file name is empty"},
        {"C:", "its file name is empty"},
        {".", "its file name is \".\""},
        {"a/..", "its file name is \"..\""},
        {"../../system32/x.dll", "it climbs out of its directory through \"..\""},
        {"..\\..\\windows\\win.ini", "it climbs out of its directory through \"..\""},
        {"a\\... \\x.dll", "it climbs out of its directory through \"..\""},
        {"app.exe.", "its file name ends in a dot or a blank"},
        {"app.exe ", "its file name ends in a dot or a blank"},
        {"...", "its file name ends in a dot or a blank"},
        {"NUL", "its file name is a device"},
        {"dir/con.txt", "its file name is a device"},
        {"Com1.log", "its file name is a device"},
        {"lpt9", "its file name is a device"},
        {"aux .dat", "its file name is a device"},
        {"CONIN$", "its file name is a device"},
        {"conout$.txt", "its file name is a device"},
        {"clock$", "its file name is a device"},
        {"prn", "its file name is a device"},
        {"tab\there", "its file name holds a control character"},
        {"file.txt:stream", "it names a stream"},
        {"file.txt::$DATA", "it names a stream"},
        {"dir\\a:b", "it names a stream"},
        {"C:\\x:y", "it names a stream"},
        {"1:x.dll", "it names a stream"},
    };
    for (const auto& c : cases) EXPECT_EQ(UnsafeEntryNameReason(c.stored), c.reason) << c.stored;
}

TEST(EntryNames, TheErrorNamesTheEntryAndTheReason) {
    const EUnsafeEntryName error("../x.dll", "it climbs out of its directory through \"..\"");
    EXPECT_STREQ(error.what(),
                 "Unsafe entry name \"../x.dll\": it climbs out of its directory through \"..\"");
}

TEST(EntryNames, LiesDirectlyInTakesOnlyAPlainNameBelowTheDirectory) {
    const struct {
        const char* dir;
        const char* path;
        bool inside;
    } cases[] = {
        {"C:\\w", "C:\\w\\x.dll", true},     {"C:\\w\\", "C:\\w\\x.dll", true},
        {"/tmp/w", "/tmp/w/x.dll", true},    {"C:\\w", "C:\\w\\sub\\x.dll", false},
        {"C:\\w", "C:\\w/sub/x.dll", false}, {"C:\\w", "C:\\w\\..", false},
        {"C:\\w", "C:\\w\\.", false},        {"C:\\w", "C:\\w\\", false},
        {"C:\\w", "C:\\w2\\x.dll", false},   {"C:\\w", "C:\\wx.dll", false},
        {"C:\\w", "C:\\w\\x:s", false},      {"C:\\w", "D:\\w\\x.dll", false},
    };
    for (const auto& c : cases) EXPECT_EQ(LiesDirectlyIn(c.dir, c.path), c.inside) << c.dir << " " << c.path;
}

} // namespace
} // namespace yar
