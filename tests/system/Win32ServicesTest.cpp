// The system's side of the shell folders under Wine.
#include "system/FileServices.h"
#include "system/ShellFolders.h"
#include "system/Win32Registry.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace yar {
namespace {

TEST(Win32ShellFolders, AreTheFoldersTheShellReports) {
    const TWin32Registry registry;
    const std::string windows = WindowsDirectory();
    ASSERT_FALSE(windows.empty());
    const struct {
        const char* Name;
        int Folder;
    } folders[] = {
        {"Desktop", CSIDL_DESKTOPDIRECTORY}, {"Programs", CSIDL_PROGRAMS}, {"Start Menu", CSIDL_STARTMENU}};
    for (const auto& folder : folders) {
        char path[MAX_PATH] = {};
        ASSERT_EQ(SHGetFolderPathA(nullptr, folder.Folder, nullptr, SHGFP_TYPE_CURRENT, path), S_OK)
            << folder.Name;
        EXPECT_EQ(ShellFolderPath(registry, folder.Name, windows), std::string(path) + "\\") << folder.Name;
    }
    EXPECT_EQ(ShellFolderPath(registry, "No Such Folder", windows), windows + "\\No Such Folder\\");
}

} // namespace
} // namespace yar
