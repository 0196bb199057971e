// What the wizard's pages show: the proposed destination, the install type, the summary and the
// shortcut check lists, the launch name, and the folder choices handed on at Install.
#include "wizard/WizardContent.h"

#include "config/SetupConfig.h"
#include "config/SetupState.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

using TLines = std::vector<std::string>;
using TItems = std::vector<TCheckItem>;

SetupConfig WithDesktop(TLines entries) {
    SetupConfig config;
    config.DesktopEntries = std::move(entries);
    return config;
}

TEST(WizardDestination, BelowTheRootOrProgramFiles) {
    SetupConfig config;
    config.InstallDir = "Acme";
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\Acme");
    config.AddToProgramFiles = true;
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\Program Files\\Acme");
    EXPECT_EQ(ProposedDestination(config, "D:\\"), "D:\\Program Files\\Acme");
    config.InstallDir = "Acme\\Writer";
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\Program Files\\Acme\\Writer");
}

TEST(WizardDestination, OneSeparatorWhateverInstallDirStartsWith) {
    SetupConfig config;
    config.InstallDir = "\\Acme";
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\Acme");
    config.AddToProgramFiles = true;
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\Program Files\\Acme");
    config.InstallDir = "";
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\Program Files\\");
    config.AddToProgramFiles = false;
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\");
}

TEST(WizardShow, FolderDestinationAndInstallType) {
    SetupConfig config;
    config.InstallDir = "Acme";
    SetupState state;
    state.RootDir = "C:\\";
    EXPECT_EQ(ShownPages(config, state), (TShownPages{"Accessories", "C:\\Acme", false}));
    config.Folder = "Acme Tools";
    config.WorkStationPrompt = true;
    config.AddToProgramFiles = true;
    EXPECT_EQ(ShownPages(config, state), (TShownPages{"Acme Tools", "C:\\Program Files\\Acme", true}));
}

TEST(WizardFolderPage, SummaryWithoutShortcuts) {
    const TFolderPage page = FolderPage(SetupConfig{}, "C:\\Acme", "Acme");
    EXPECT_EQ(page.Summary, (TLines{"Install to:", "  C:\\Acme", "", "File \\ Folder : ", "  Acme"}));
    EXPECT_TRUE(page.DK.empty());
    EXPECT_TRUE(page.SM.empty());
}

TEST(WizardFolderPage, EachEntryByItsMarks) {
    const SetupConfig config = WithDesktop({
        "Writer~<INSTALLDIR>bin\\writer.exe~X~X~<INSTALLDIR>writer.ico~Acme",
        "Help~<INSTALLDIR>help.exe~X~~<INSTALLDIR>help.ico~Acme Help",
        "Readme~<WINDOWS>notepad.exe~~X~<WINDOWS>notepad.exe~Acme",
        "Lower~<INSTALLDIR>lower.exe~x~x~<INSTALLDIR>lower.ico~Acme",
    });
    const TFolderPage page = FolderPage(config, "C:\\Program Files\\Acme", "Acme");
    EXPECT_EQ(page.Summary, (TLines{
                                "Install to:",
                                "  C:\\Program Files\\Acme",
                                "",
                                "File \\ Folder : ",
                                "  Acme",
                                "  bin\\writer.exe \\ Acme \\ Desktop \\ Start Menu",
                                "  help.exe \\ Acme Help \\ Desktop",
                                "  notepad.exe \\ Acme \\ Start Menu",
                                "  lower.exe \\ Acme",
                            }));
    EXPECT_EQ(page.DK, (TItems{{"Writer", true}, {"Help", true}}));
    EXPECT_EQ(page.SM, (TItems{{"Writer", true}, {"Readme", true}}));
}

TEST(WizardFolderPage, FieldRuleAndTargetsWithoutTag) {
    // A target without ">" is its own file part; a short value repeats its last field, so "X"
    // standing third also fills the Start Menu mark and the folder.
    const SetupConfig config = WithDesktop({
        "Plain~plain.exe~~~plain.ico~Tools~Extra",
        "Short~<INSTALLDIR>short.exe~X",
        "",
    });
    const TFolderPage page = FolderPage(config, "C:\\Acme", "");
    EXPECT_EQ(page.Summary, (TLines{
                                "Install to:",
                                "  C:\\Acme",
                                "",
                                "File \\ Folder : ",
                                "  ",
                                "  plain.exe \\ Tools~Extra",
                                "  short.exe \\ X \\ Desktop \\ Start Menu",
                                "   \\ ",
                            }));
    EXPECT_EQ(page.DK, (TItems{{"Short", true}}));
    EXPECT_EQ(page.SM, (TItems{{"Short", true}}));
}

TEST(WizardFolderPage, RebuildTicksEveryItemAgain) {
    const SetupConfig config = WithDesktop({
        "A~<INSTALLDIR>a.exe~X~X~<INSTALLDIR>a.ico~F",
        "A~<INSTALLDIR>a.exe~X~~<INSTALLDIR>a.ico~G",
    });
    TFolderPage page = FolderPage(config, "C:\\Acme", "F");
    page.DK[0].Checked = false;
    page.SM[0].Checked = false;
    const TFolderPage rebuilt = FolderPage(config, "D:\\Elsewhere", "F");
    EXPECT_EQ(rebuilt.DK, (TItems{{"A", true}, {"A", true}})) << "a name offered twice is listed twice";
    EXPECT_EQ(rebuilt.SM, (TItems{{"A", true}}));
    EXPECT_EQ(rebuilt.Summary[1], "  D:\\Elsewhere") << "the summary follows the destination edited since";
}

TEST(WizardReadyPage, LaunchNameWithoutTag) {
    EXPECT_EQ(LaunchName("<INSTALLDIR>bin\\app.exe"), "bin\\app.exe");
    EXPECT_EQ(LaunchName("app.exe"), "app.exe");
    EXPECT_EQ(LaunchName(""), "");
    EXPECT_EQ(LaunchName("<SUB><INSTALLDIR>app.exe"), "<INSTALLDIR>app.exe") << "only the first tag goes";
    EXPECT_EQ(LaunchName("<INSTALLDIR>app.exe,-quiet"), "app.exe,-quiet");
}

TEST(WizardInstall, FolderChoicesForTheShortcuts) {
    EXPECT_EQ(ShortcutFolders("Acme", false, false), (TShortcutFolders{"Acme", false, false}));
    EXPECT_EQ(ShortcutFolders("Acme", true, false), (TShortcutFolders{"Acme", true, false}));
    EXPECT_EQ(ShortcutFolders("Acme", false, true), (TShortcutFolders{"Acme", false, true}));
    EXPECT_EQ(ShortcutFolders("", true, true), (TShortcutFolders{"", true, true}));
}

} // namespace
} // namespace yar
