// The shell folders from the per-user registry values, with the Windows directory as the fallback.
#include "system/ShellFolders.h"
#include "system/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

class ShellFolders : public ::testing::Test {
protected:
    void SetUp() override {
        // Spelled as a caller might: no leading separator, a trailing one, other case.
        ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, Key));
    }
    void Set(const std::string& name, const std::string& path) {
        ASSERT_TRUE(Registry.WriteString(rrCurrentUser, Key, name, path));
    }

    const std::string Key = "software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SHELL FOLDERS\\";
    TMemoryRegistry Registry;
};

TEST_F(ShellFolders, TheRegistryValueGetsOneTrailingSeparator) {
    Set("Desktop", "C:\\WINDOWS\\Desktop");
    Set("Programs", "D:\\Menu\\Programs\\");
    EXPECT_EQ(ShellFolderPath(Registry, "Desktop", "C:\\WINDOWS"), "C:\\WINDOWS\\Desktop\\");
    EXPECT_EQ(ShellFolderPath(Registry, "desktop", "C:\\WINDOWS"), "C:\\WINDOWS\\Desktop\\");
    EXPECT_EQ(ShellFolderPath(Registry, "Programs", "C:\\WINDOWS"), "D:\\Menu\\Programs\\");
}

TEST_F(ShellFolders, AMissingOrEmptyValueFallsBackToTheWindowsDirectory) {
    Set("Start Menu", "");
    EXPECT_EQ(ShellFolderPath(Registry, "Start Menu", "C:\\WINDOWS"), "C:\\WINDOWS\\Start Menu\\");
    EXPECT_EQ(ShellFolderPath(Registry, "Programs", "C:\\WINDOWS"), "C:\\WINDOWS\\Programs\\");
    EXPECT_EQ(ShellFolderPath(Registry, "Desktop", "C:\\"), "C:\\Desktop\\");
    // The value belongs to the current user: the same value elsewhere does not count.
    ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, Key));
    ASSERT_TRUE(Registry.WriteString(rrLocalMachine, Key, "Desktop", "E:\\Machine"));
    EXPECT_EQ(ShellFolderPath(Registry, "Desktop", "C:\\WIN"), "C:\\WIN\\Desktop\\");
}

TEST(ShellFoldersWithoutTheKey, FallBackToTheWindowsDirectory) {
    const TMemoryRegistry empty;
    EXPECT_EQ(ShellFolderPath(empty, "Desktop", "C:\\WINDOWS"), "C:\\WINDOWS\\Desktop\\");
}

} // namespace
} // namespace yar
