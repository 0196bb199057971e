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

TLines Summary(TLines entries) {
    TLines lines{"Install to:", "  C:\\Acme", "", "File \\ Folder : ", "  Acme"};
    lines.insert(lines.end(), entries.begin(), entries.end());
    return lines;
}

TEST(WizardShow, DestinationFolderAndInstallType) {
    SetupConfig config;
    config.InstallDir = "Acme";
    SetupState state;
    state.RootDir = "C:\\";
    EXPECT_EQ(ShownPages(config, state), (TShownPages{"Accessories", "C:\\Acme", false}));
    config.Folder = "Acme Tools";
    config.WorkStationPrompt = true;
    config.AddToProgramFiles = true;
    EXPECT_EQ(ShownPages(config, state), (TShownPages{"Acme Tools", "C:\\Program Files\\Acme", true}));

    // One separator between the parts, whatever InstallDir begins with.
    config.InstallDir = "\\Acme\\Writer";
    EXPECT_EQ(ProposedDestination(config, "D:\\"), "D:\\Program Files\\Acme\\Writer");
    config.InstallDir = "";
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\Program Files\\");
    config.AddToProgramFiles = false;
    EXPECT_EQ(ProposedDestination(config, "C:\\"), "C:\\");
}

TEST(WizardFolderPage, EachEntryByItsMarks) {
    SetupConfig config;
    EXPECT_EQ(FolderPage(config, "C:\\Acme", "Acme"), (TFolderPage{Summary({}), {}, {}}));

    config.DesktopEntries = {
        "Writer~<INSTALLDIR>bin\\writer.exe~X~X~<INSTALLDIR>writer.ico~Acme",
        "Help~<INSTALLDIR>help.exe~X~~<INSTALLDIR>help.ico~Acme Help",
        "Readme~<WINDOWS>notepad.exe~~X~<WINDOWS>notepad.exe~Acme",
        "Lower~<INSTALLDIR>lower.exe~x~x~<INSTALLDIR>lower.ico~Acme",
        "Plain~plain.exe~~~plain.ico~Tools~Extra",
        "Short~<INSTALLDIR>short.exe~X", // the field rule repeats "X" in every later field
    };
    const TFolderPage page = FolderPage(config, "C:\\Acme", "Acme");
    EXPECT_EQ(page.Summary, Summary({
                                "  bin\\writer.exe \\ Acme \\ Desktop \\ Start Menu",
                                "  help.exe \\ Acme Help \\ Desktop",
                                "  notepad.exe \\ Acme \\ Start Menu",
                                "  lower.exe \\ Acme",
                                "  plain.exe \\ Tools~Extra",
                                "  short.exe \\ X \\ Desktop \\ Start Menu",
                            }));
    EXPECT_EQ(page.DK, (TItems{{"Writer", true}, {"Help", true}, {"Short", true}}));
    EXPECT_EQ(page.SM, (TItems{{"Writer", true}, {"Readme", true}, {"Short", true}}));
}

TEST(WizardFolderPage, RebuildTicksEveryItemAgain) {
    SetupConfig config;
    config.DesktopEntries = {"A~<INSTALLDIR>a.exe~X~X~<INSTALLDIR>a.ico~F", "A~a.exe~X~~a.ico~G"};
    TFolderPage page = FolderPage(config, "C:\\Acme", "Acme");
    page.DK[0].Checked = false;
    page = FolderPage(config, "C:\\Acme", "Acme");
    EXPECT_EQ(page.DK, (TItems{{"A", true}, {"A", true}})) << "a name offered twice is listed twice";
    EXPECT_EQ(page.SM, (TItems{{"A", true}}));
}

TEST(WizardReadyAndInstall, LaunchNameAndFolderChoices) {
    EXPECT_EQ(LaunchName("<INSTALLDIR>bin\\app.exe"), "bin\\app.exe");
    EXPECT_EQ(LaunchName("app.exe"), "app.exe");
    EXPECT_EQ(LaunchName("<SUB><INSTALLDIR>app.exe,-quiet"), "<INSTALLDIR>app.exe,-quiet");
    EXPECT_EQ(LaunchName(""), "");

    EXPECT_EQ(ShortcutFolders("Acme", true, false), (TShortcutFolders{"Acme", true, false}));
    EXPECT_EQ(ShortcutFolders("Acme", false, true), (TShortcutFolders{"Acme", false, true}));
}

} // namespace
} // namespace yar
