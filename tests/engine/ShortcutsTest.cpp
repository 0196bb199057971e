// The shortcut component against recorded links and a host file system: which folders get the
// .lnk file, what the link holds, and the program folders it lists.
#include "engine/Shortcuts.h"

#include "SystemTestSupport.h"
#include "system/HostFiles.h"
#include "system/MemoryRegistry.h"
#include "system/ShellFolders.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

using TNames = std::vector<std::string>;

class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, kShellFoldersKey));
        ASSERT_TRUE(Registry.WriteString(rrCurrentUser, kShellFoldersKey, "Desktop", "C:\\WINDOWS\\Desktop"));
        ASSERT_TRUE(Registry.WriteString(rrCurrentUser, kShellFoldersKey, "Programs",
                                         "C:\\WINDOWS\\Start Menu\\Programs"));
        // The start menu is not named: it falls back to the Windows directory.
        Shortcuts.RunProgram = "C:\\Acme\\bin\\app.exe";
        Shortcuts.IconFile = "C:\\Acme\\app.ico";
        Shortcuts.ProgramName = "Acme App";
        Shortcuts.Folder = "Acme";
    }

    // Where the link was saved, in order.
    TNames Saved() const {
        TNames files;
        for (const auto& save : Links.Saves()) files.push_back(save.first);
        return files;
    }

    test::TTestDir Dir{"yar-shortcuts"};
    THostFiles Files{Dir / "machine"};
    TMemoryRegistry Registry;
    TRecordedShellLinks Links;
    TShortcuts Shortcuts{Files, Registry, Links};
};

TEST_F(ShortcutsTest, ShellFoldersFromTheRegistryOrTheWindowsDirectory) {
    EXPECT_EQ(Shortcuts.GetShellFolder(sfDesktop), "C:\\WINDOWS\\Desktop\\");
    EXPECT_EQ(Shortcuts.GetShellFolder(sfPrograms), "C:\\WINDOWS\\Start Menu\\Programs\\");
    EXPECT_EQ(Shortcuts.GetShellFolder(sfStartMenu), "C:\\WINDOWS\\Start Menu\\");
    EXPECT_EQ(QuickLaunchFolder("C:\\WINDOWS"),
              "C:\\WINDOWS\\Application Data\\Microsoft\\Internet Explorer\\Quick Launch\\");
}

TEST_F(ShortcutsTest, WithoutFolderChoicesOneShortcutUnderPrograms) {
    Shortcuts.CreateShortcuts();
    EXPECT_EQ(Saved(), (TNames{"C:\\WINDOWS\\Start Menu\\Programs\\Acme\\Acme App.lnk"}));
    EXPECT_TRUE(Files.DirectoryExists("C:\\WINDOWS\\Start Menu\\Programs\\Acme")) << "the folder is made";
    EXPECT_EQ(Links.Saves()[0].second,
              (TShellLink{"C:\\Acme\\bin\\app.exe", "C:\\Acme\\bin\\", "C:\\Acme\\app.ico", 0}));
}

TEST_F(ShortcutsTest, FolderChoicesAndDirectShortcutsInTheirOrder) {
    Shortcuts.FolderDesktop = true;
    Shortcuts.Desktop = true;
    Shortcuts.StartMenu = true;
    Shortcuts.QuickLaunch = true;
    Shortcuts.CreateShortcuts();
    const std::string quick = QuickLaunchFolder("C:\\WINDOWS");
    EXPECT_EQ(Saved(), (TNames{"C:\\WINDOWS\\Desktop\\Acme\\Acme App.lnk",
                               "C:\\WINDOWS\\Start Menu\\Programs\\Acme\\Acme App.lnk",
                               "C:\\WINDOWS\\Desktop\\Acme App.lnk", "C:\\WINDOWS\\Start Menu\\Acme App.lnk",
                               quick + "Acme App.lnk"}));
    EXPECT_FALSE(Files.DirectoryExists(quick)) << "the direct folders are not made";
}

TEST_F(ShortcutsTest, TheStartMenuFolderAloneLeavesProgramsOut) {
    Shortcuts.FolderStartMenu = true;
    Shortcuts.FolderQuickLaunch = true;
    Shortcuts.CreateShortcuts();
    EXPECT_EQ(Saved(), (TNames{"C:\\WINDOWS\\Start Menu\\Acme\\Acme App.lnk",
                               QuickLaunchFolder("C:\\WINDOWS") + "Acme\\Acme App.lnk"}));
}

TEST_F(ShortcutsTest, QuickLaunchFolderOnlyWithAnotherFolderChoice) {
    Shortcuts.FolderQuickLaunch = true;
    Shortcuts.CreateShortcuts();
    EXPECT_EQ(Saved(), (TNames{"C:\\WINDOWS\\Start Menu\\Programs\\Acme\\Acme App.lnk"}));
}

TEST_F(ShortcutsTest, WithoutShellLinkObjectTheErrorReachesTheCallerAndNoEmptyFolderStays) {
    const std::string programs = "C:\\WINDOWS\\Start Menu\\Programs";
    Links.SetFailing(true);
    EXPECT_THROW(Shortcuts.CreateShortcuts(), EShellLinkError);
    EXPECT_FALSE(Files.DirectoryExists(programs)) << "every level made for the link goes again";
    EXPECT_FALSE(Files.DirectoryExists("C:\\WINDOWS\\Start Menu"));

    // A folder that was there before stays.
    Files.ForceDirectories(programs + "\\Acme");
    EXPECT_THROW(Shortcuts.CreateShortcuts(), EShellLinkError);
    EXPECT_TRUE(Files.DirectoryExists(programs + "\\Acme"));
}

TEST_F(ShortcutsTest, ProgramFoldersLeaveShortcutsAndHiddenNamesOut) {
    const std::string programs = "C:\\WINDOWS\\Start Menu\\Programs\\";
    for (const char* folder : {"Acme", "Accessories", ".hidden"}) Files.ForceDirectories(programs + folder);
    for (const char* file : {"Acme.lnk", "Old.LNK.bak", "readme.txt"})
        ASSERT_TRUE(Files.WriteLines(programs + file, {}));
    Shortcuts.FolderList = {"stale"};
    Shortcuts.ListProgramFolders();
    EXPECT_EQ(Shortcuts.FolderList, (TNames{"Accessories", "Acme", "readme.txt"}));
    // Made with the component: the list is there from the start.
    EXPECT_EQ(TShortcuts(Files, Registry, Links).FolderList, Shortcuts.FolderList);
}

} // namespace
} // namespace yar
