#include "config/SetupSwitches.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

TEST(SetupSwitches, WithoutSwitchesTheFirstArgumentIsTheDirectoryAsBefore) {
    EXPECT_EQ(ParseSetupSwitches({}).SourceDir, "");
    const TSetupSwitches s = ParseSetupSwitches({"D:\\setup", "E:\\other"});
    EXPECT_EQ(s.SourceDir, "D:\\setup");
    EXPECT_EQ(s.Mode, rmInteractive);
    EXPECT_FALSE(s.Unattended());
}

TEST(SetupSwitches, OnlyListedNamesAreSwitchesInAnyCaseAfterSlashOrDash) {
    const TSetupSwitches s = ParseSetupSwitches({"-VerySilent", "/dir=C:\\Acme Files", "/norestart", "A:\\"});
    EXPECT_EQ(s.Mode, rmVerySilent);
    EXPECT_EQ(s.Answers.Dir, "C:\\Acme Files");
    EXPECT_TRUE(s.NoRestart);
    EXPECT_FALSE(s.AllowRestart);
    EXPECT_TRUE(ParseSetupSwitches({"/allowrestart"}).AllowRestart);
    EXPECT_EQ(s.SourceDir, "A:\\");
    // Unknown names, and names without their mark, stay the directory argument.
    EXPECT_EQ(ParseSetupSwitches({"/FOO"}).SourceDir, "/FOO");
    EXPECT_EQ(ParseSetupSwitches({"/SILENTLY"}).Mode, rmInteractive);
    EXPECT_EQ(ParseSetupSwitches({"SILENT"}).SourceDir, "SILENT");
    EXPECT_EQ(ParseSetupSwitches({"/tmp/setup=1"}).SourceDir, "/tmp/setup=1");
}

TEST(SetupSwitches, VerySilentWinsOverSilentInEitherOrder) {
    EXPECT_EQ(ParseSetupSwitches({"/SILENT"}).Mode, rmSilent);
    EXPECT_EQ(ParseSetupSwitches({"/SILENT", "/VERYSILENT"}).Mode, rmVerySilent);
    EXPECT_EQ(ParseSetupSwitches({"/VERYSILENT", "/SILENT"}).Mode, rmVerySilent);
}

TEST(SetupSwitches, ValuesAreReadIntoAnswers) {
    const TSetupSwitches s = ParseSetupSwitches({"/TYPE=MIN", "/FOLDERS=startmenu", "/OVERWRITE=Yes",
                                                 "/NOLAUNCH", "/LOADINF=a.inf", "/SAVEINF=b.inf", "/HELP"});
    EXPECT_EQ(s.Answers.MinInstall, true);
    EXPECT_EQ(s.Answers.FolderStartMenu, true);
    EXPECT_EQ(s.Answers.FolderDesktop, false);
    EXPECT_EQ(s.Answers.Overwrite, true);
    EXPECT_EQ(s.Answers.IgnoreFileErrors, std::nullopt) << "an unattended run stops by default";
    EXPECT_EQ(ParseSetupSwitches({"/FILEERRORS=Ignore"}).Answers.IgnoreFileErrors, true);
    EXPECT_EQ(ParseSetupSwitches({"/fileerrors=abort"}).Answers.IgnoreFileErrors, false);
    EXPECT_TRUE(s.NoLaunch);
    EXPECT_EQ(s.LoadInf, "a.inf");
    EXPECT_EQ(s.SaveInf, "b.inf");
    EXPECT_TRUE(s.Help);
    EXPECT_TRUE(ParseSetupSwitches({"/?"}).Help);
    EXPECT_FALSE(s.Answers.Dir.has_value());
}

TEST(SetupSwitches, LogTakesAnOptionalFileAndFoldersMayBeEmpty) {
    EXPECT_FALSE(ParseSetupSwitches({}).Log.has_value());
    EXPECT_EQ(ParseSetupSwitches({"/LOG"}).Log, "");
    EXPECT_EQ(ParseSetupSwitches({"/LOG=C:\\a=b.log"}).Log, "C:\\a=b.log");
    const TSetupSwitches none = ParseSetupSwitches({"/FOLDERS="});
    EXPECT_EQ(none.Answers.FolderDesktop, false);
    EXPECT_EQ(none.Answers.FolderStartMenu, false);
    const TSetupSwitches both = ParseSetupSwitches({"/FOLDERS=desktop,STARTMENU"});
    EXPECT_EQ(both.Answers.FolderDesktop, true);
    EXPECT_EQ(both.Answers.FolderStartMenu, true);
}

TEST(SetupSwitches, BadValuesAreRefusedWithTheSwitchNamed) {
    const auto message = [](std::vector<std::string> args) {
        try {
            ParseSetupSwitches(args);
        } catch (const ESwitchError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(message({"/dir"}), "The switch /DIR needs a value: /DIR=...");
    EXPECT_EQ(message({"/DIR="}), "The switch /DIR needs a value: /DIR=...");
    EXPECT_EQ(message({"/SILENT=1"}), "The switch /SILENT takes no value: /SILENT=1");
    EXPECT_EQ(message({"/TYPE=big"}), "Bad value \"big\" for /TYPE: expected full or min.");
    EXPECT_EQ(message({"/OVERWRITE=maybe"}), "Bad value \"maybe\" for /OVERWRITE: expected yes or no.");
    EXPECT_EQ(message({"/FILEERRORS=retry"}),
              "Bad value \"retry\" for /FILEERRORS: expected ignore or abort.");
    EXPECT_EQ(message({"/FOLDERS=desktop,taskbar"}),
              "Bad value \"taskbar\" for /FOLDERS: expected desktop, startmenu or both.");
}

TEST(SetupSwitches, LangTakesALanguageCodeAndNothingThatCouldNameAnotherFile) {
    EXPECT_EQ(ParseSetupSwitches({"/LANG=de"}).Language, "de");
    EXPECT_EQ(ParseSetupSwitches({"-lang=PT-br"}).Language, "pt-br");
    EXPECT_FALSE(ParseSetupSwitches({}).Language.has_value());
    for (const char* bad : {"/LANG=..\\x", "/LANG=d e", "/LANG=c:de", "/LANG=abcdefghijklmnop"}) {
        try {
            ParseSetupSwitches({bad});
            ADD_FAILURE() << bad << " accepted";
        } catch (const ESwitchError& e) {
            EXPECT_NE(std::string(e.what()).find("/LANG needs a language code"), std::string::npos)
                << e.what();
        }
    }
}

TEST(SetupSwitches, WordsReadBackWhatTheyWrite) {
    for (const bool min : {false, true}) EXPECT_EQ(InstallTypeIsMin(InstallTypeWord(min), "t"), min);
    for (const bool yes : {false, true}) EXPECT_EQ(YesNo(YesNoWord(yes), "t"), yes);
    for (const TEndChoice c : {ecLaunch, ecReturnToWindows, ecRestart})
        EXPECT_EQ(EndChoiceFromWord(EndChoiceWord(c), "t"), c);
    for (const bool startMenu : {false, true})
        for (const bool desktop : {false, true}) {
            TSetupAnswers answers;
            ParseFolderWords(FolderWords(startMenu, desktop), "t", answers);
            EXPECT_EQ(answers.FolderStartMenu, startMenu);
            EXPECT_EQ(answers.FolderDesktop, desktop);
        }
}

TEST(SetupSwitches, SwitchAnswersWinOverTheFilesAndTheFileFillsTheRest) {
    TSetupAnswers fromSwitches;
    fromSwitches.Dir = "C:\\Switch";
    TSetupAnswers fromFile;
    fromFile.Dir = "C:\\File";
    fromFile.EndChoice = ecLaunch;
    fromFile.Overwrite = false;
    const TSetupAnswers merged = MergeAnswers(fromSwitches, fromFile);
    EXPECT_EQ(merged.Dir, "C:\\Switch");
    EXPECT_EQ(merged.EndChoice, ecLaunch);
    EXPECT_EQ(merged.Overwrite, false);
    EXPECT_FALSE(merged.MinInstall.has_value());
}

TEST(SetupSwitches, DefaultLogIsInTheTempDirectory) {
    EXPECT_EQ(DefaultLogPath("C:\\TEMP", "0a1b2c3d"), "C:\\TEMP\\yar-setup-0a1b2c3d.log");
    EXPECT_EQ(DefaultLogPath("C:\\TEMP\\", "0a1b2c3d"), "C:\\TEMP\\yar-setup-0a1b2c3d.log");
}

} // namespace
} // namespace yar
