// A whole install under Wine through the system's own calls: the files, the record the profile
// functions write, the registry, a shortcut saved by the shell-link object and AUTOEXEC.BAT with
// the short path the system reports.
#include "engine/Win32InstallSystem.h"

#include "InstallTestSupport.h"
#include "SystemTestSupport.h"
#include "engine/SystemUpdates.h"
#include "system/ComScope.h"
#include "system/Digest.h"
#include "system/ShellFolders.h"
#include "util/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace yar {
namespace {

namespace fs = std::filesystem;

class Win32Install : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Com.Initialized());
        Files.ForceDirectories(WorkDir);
        for (const char* name : {"install.exe", "install.cfg", "app.exe", "uninstaller.exe", "data.txt"})
            test::PutBytes(JoinPath(WorkDir, name), name);
        test::PutBytes(Dir / "autoexec.bat", "@ECHO OFF\r\n");
        State.WorkDir = WorkDir;
        State.RootDir = IncludeTrailingDelimiter(Dir / "");
        // Names of this test's own, so that parallel runs and the prefix's other keys stay apart.
        Config.Header = "YAR Engine Test " + std::to_string(GetCurrentProcessId());
        Config.DirectoryEntries = {"<SUB1><INSTALLDIR>~Long Directory Name", "<INSTALLDIR>"};
        Config.FileEntries = {"app.exe~<INSTALLDIR>~", "uninstaller.exe~<INSTALLDIR>~",
                              "data.txt~<SUB1><INSTALLDIR>~"};
        Config.DesktopEntries = {"Engine App~<INSTALLDIR>app.exe~~~<INSTALLDIR>app.exe~" + Config.Header};
        Config.IniSetupEntries = {"<INSTALLDIR>acme.ini~Paths~Home~<INSTALLDIR>",
                                  "Software\\" + Config.Header + "~Settings~Path~<INSTALLDIR>app.exe"};
        Config.AutoexecLines = {"set acme=<SUB1><INSTALLDIR>"};
        Choices.MainDir = Target;
        Choices.Folders = {Config.Header, false, false};
    }
    void TearDown() override {
        TWin32Registry registry;
        registry.DeleteKey(rrCurrentUser, "Software\\" + Config.Header);
        registry.DeleteKey(rrLocalMachine, UninstallKey(Config.Header));
        std::error_code error;
        fs::remove_all(ProgramFolder(), error);
    }

    std::string ProgramFolder() const {
        return ShellFolderPath(TWin32Registry(), "Programs", Files.WindowsDirectory()) + Config.Header;
    }

    const TComScope Com;
    test::TTestDir Dir{"yar-engine"};
    TWin32Files Files;
    const std::string WorkDir = Dir / "work";
    const std::string Target = Dir / "Program Files\\Acme";
    SetupConfig Config;
    SetupState State;
    TInstallChoices Choices;
    test::TProgressLog Progress;
};

TEST_F(Win32Install, TheSystemHoldsWhatTheInstallRecorded) {
    TWin32InstallSystem system;
    TInstallEngine engine(Config, State, system.System(), Progress);
    ASSERT_EQ(engine.RunInstall(Choices), ioInstalled) << ::testing::PrintToString(Progress.Events);

    for (const char* name : {"install.exe", "install.cfg", "app.exe", "uninstaller.exe"})
        EXPECT_EQ(test::GetBytes(JoinPath(Target, name)), name);
    const std::string sub = JoinPath(Target, "Long Directory Name");
    EXPECT_EQ(test::GetBytes(JoinPath(sub, "data.txt")), "data.txt");

    const std::string programs = ProgramFolder();
    const std::string lnk = JoinPath(programs, "Engine App.lnk");
    EXPECT_TRUE(Files.FileExists(lnk));
    EXPECT_EQ(test::GetBytes(JoinPath(Target, "uninstall.cfg")),
              "[Program]\r\nTitle=" + Config.Header + "\r\n[UNINS]\r\n" + Target + "\\*.*=\r\n" + Target +
                  "\\Setup\\*.*=\r\n" + sub + "\\data.txt=\r\n" + Target + "\\app.exe=\r\n" + Target +
                  "\\uninstaller.exe=\r\n" + programs + "\\Engine App.*=\r\n" + Target +
                  "\\acme.ini=\r\n[Directories - Made]\r\n" + Dir / "Program Files" + "=\r\n" + Target +
                  "=\r\n" + sub + "=\r\n" + programs + "=\r\n[Folders]\r\n" + programs +
                  "=\r\n[Registry]\r\nSoftware\\" + Config.Header +
                  "=\r\n[Registry - Made]\r\nHKEY_CURRENT_USER\\Software\\" + Config.Header + "=\r\n");
    // The registration holds the SHA-256 of the record's bytes as the profile functions wrote them.
    EXPECT_EQ(TWin32Registry().ReadString(rrLocalMachine, UninstallKey(Config.Header), kRecordDigestValue),
              Sha256Hex(test::GetBytes(JoinPath(Target, "uninstall.cfg")).value_or("")));

    EXPECT_EQ(test::GetBytes(JoinPath(Target, "acme.ini")), "[Paths]\r\nHome=" + Target + "\\\r\n");
    const TWin32Registry registry;
    EXPECT_EQ(registry.ReadString(rrCurrentUser, "Software\\" + Config.Header + "\\Settings", "Path"),
              JoinPath(Target, "app.exe"));
    EXPECT_EQ(registry.ReadString(rrLocalMachine, UninstallKey(Config.Header), "UninstallString"),
              UninstallString(Target, Config.Header));

    const std::string shortSub = Files.ShortPath(sub);
    EXPECT_NE(shortSub, sub) << "the system has a short name for a long one";
    EXPECT_EQ(test::GetBytes(Dir / "autoexec.bat"),
              "@ECHO OFF\r\nREM - Starting Tarnwick Update\r\nSET ACME=" + shortSub +
                  "\r\nREM - End of Tarnwick\r\n");
    EXPECT_EQ(test::GetBytes(Dir / "autoexec.yar"), "@ECHO OFF\r\n");
}

} // namespace
} // namespace yar
