// The answer file through the INI files as Wine writes them, and the choices of a run without pages.
#include "wizard/AnswerFile.h"

#include "SystemTestSupport.h"
#include "system/HostFiles.h"
#include "system/HostIniFiles.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

constexpr const char* kAnswers = "C:\\answers.inf";

class AnswerFile : public ::testing::Test {
protected:
    void SetUp() override {
        Config.Folder = "Acme";
        Config.DesktopEntries = {"App~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.ico~Acme",
                                 "Help~<INSTALLDIR>help.txt~~X~<INSTALLDIR>app.ico~Acme",
                                 "Tool~<INSTALLDIR>tool.exe~X~~<INSTALLDIR>app.ico~Acme"};
        State.RootDir = "C:\\";
    }

    std::string FileText() const { return test::GetBytes(Files.HostPath(kAnswers)).value_or("<none>"); }

    test::TTestDir Dir{"yar-answers"};
    THostFiles Files{Dir / "machine"};
    THostIniFiles Ini{Files};
    SetupConfig Config;
    SetupState State;
};

TEST_F(AnswerFile, WhatAWalkThroughThePagesSavedIsReadBackTheSame) {
    TInstallChoices walked;
    walked.MainDir = "D:\\Tools\\Acme";
    walked.MinInstall = true;
    walked.DesktopShortcuts = {{"App", true}, {"Tool", false}};
    walked.StartMenuShortcuts = {{"App", false}, {"Help", true}};
    walked.Folders = {"Acme", true, false};
    TSetupAnswers saved = AnswersOf(walked, ecLaunch);
    saved.Overwrite = true;
    saved.IgnoreFileErrors = true;
    WriteAnswerFile(Ini, kAnswers, saved);
    EXPECT_EQ(FileText(), "[Setup]\r\nDir=D:\\Tools\\Acme\r\nType=min\r\nFolders=startmenu\r\nDesktop=App\r\n"
                          "StartMenu=Help\r\nEndChoice=launch\r\nOverwrite=yes\r\nFileErrors=ignore\r\n");

    const TSetupAnswers read = ReadAnswerFile(Files, Ini, kAnswers);
    EXPECT_EQ(read, saved);
    // Replayed, the answers give the walk's choices back.
    const TInstallChoices replayed = UnattendedChoices(Config, State, read, ecLaunch);
    EXPECT_EQ(replayed.MainDir, walked.MainDir);
    EXPECT_EQ(replayed.MinInstall, walked.MinInstall);
    EXPECT_TRUE(replayed.LaunchChecked);
    EXPECT_EQ(replayed.DesktopShortcuts, walked.DesktopShortcuts);
    EXPECT_EQ(replayed.StartMenuShortcuts, walked.StartMenuShortcuts);
    EXPECT_EQ(replayed.Folders, walked.Folders);
}

TEST_F(AnswerFile, NoShortcutTickedIsAnAnswerAndAMissingKeyIsNone) {
    test::PutBytes(Files.HostPath(kAnswers), "[Setup]\r\nDesktop=\r\nType=full\r\n");
    const TSetupAnswers read = ReadAnswerFile(Files, Ini, kAnswers);
    EXPECT_EQ(read.Desktop, std::vector<std::string>{});
    EXPECT_FALSE(read.StartMenu.has_value());
    EXPECT_FALSE(read.Dir.has_value());
    EXPECT_EQ(read.MinInstall, false);
    const TInstallChoices choices = UnattendedChoices(Config, State, read, ecReturnToWindows);
    EXPECT_EQ(choices.DesktopShortcuts, (std::vector<TCheckItem>{{"App", false}, {"Tool", false}}));
    EXPECT_EQ(choices.StartMenuShortcuts, (std::vector<TCheckItem>{{"App", true}, {"Help", true}}));
}

TEST_F(AnswerFile, AMissingFileOrAnUnknownWordIsRefused) {
    EXPECT_THROW(ReadAnswerFile(Files, Ini, kAnswers), ESwitchError);
    test::PutBytes(Files.HostPath(kAnswers), "[Setup]\r\nEndChoice=shutdown\r\n");
    try {
        ReadAnswerFile(Files, Ini, kAnswers);
        FAIL() << "accepted";
    } catch (const ESwitchError& e) {
        EXPECT_EQ(
            std::string(e.what()),
            "Bad value \"shutdown\" for C:\\answers.inf: EndChoice: expected launch, return or restart.");
    }
}

TEST_F(AnswerFile, WithoutAnswersThePagesOwnValuesAreInstalled) {
    Config.WorkStationPrompt = true;
    Config.AddToProgramFiles = true;
    Config.InstallDir = "Acme";
    const TInstallChoices choices = UnattendedChoices(Config, State, {}, ecRestart);
    EXPECT_EQ(choices.MainDir, "C:\\Program Files\\Acme");
    EXPECT_TRUE(choices.MinInstall) << "the network minimum is preselected where the page is offered";
    EXPECT_FALSE(choices.LaunchChecked);
    EXPECT_EQ(choices.Folders, (TShortcutFolders{"Acme", false, false}));
    EXPECT_EQ(choices.DesktopShortcuts.size(), 2U);
}

TEST_F(AnswerFile, TheEndChoiceFollowsTheAnswerWithinWhatTheReadyPageOffers) {
    Config.Launch = "<INSTALLDIR>app.exe";
    Config.ShowReBoot = true;
    EXPECT_EQ(UnattendedEndChoice(Config, {}, false), ecLaunch) << "the preset";
    EXPECT_EQ(UnattendedEndChoice(Config, {}, true), ecReturnToWindows) << "/NOLAUNCH";
    TSetupAnswers restart;
    restart.EndChoice = ecRestart;
    EXPECT_EQ(UnattendedEndChoice(Config, restart, false), ecRestart);
    Config.ShowReBoot = false;
    EXPECT_EQ(UnattendedEndChoice(Config, restart, false), ecReturnToWindows) << "no restart offered";
    Config.Launch.clear();
    TSetupAnswers launch;
    launch.EndChoice = ecLaunch;
    EXPECT_EQ(UnattendedEndChoice(Config, launch, false), ecReturnToWindows) << "nothing to launch";
}

} // namespace
} // namespace yar
