// A whole install under Wine through the system's own calls: the files, the record the profile
// functions write, the registry, a shortcut saved by the shell-link object and AUTOEXEC.BAT with
// the short path the system reports.
#include "engine/Win32InstallSystem.h"

#include "FaultySystem.h"
#include "InstallTestSupport.h"
#include "SystemTestSupport.h"
#include "engine/InstallJournal.h"
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

// Text as the registry holds it: UTF-16, little-endian.
std::string Utf16(std::string_view text) {
    std::string bytes;
    for (const char c : text) bytes += {c, '\0'};
    return bytes;
}

// Values of every type at names the install writes a string to: refused at each of its registry writes,
// or killed there and undone from the journal on the disk, the install leaves every earlier value byte for
// byte as it was, its type included, and removes the value it made.
TEST_F(Win32Install, EveryRegistryTypeComesBackByteForByte) {
    TWin32Registry registry;
    const std::string key = "Software\\" + Config.Header + "\\Types";
    // REG_LINK aside: the system takes it on a link key alone.
    const std::vector<std::pair<std::string, TRegValue>> earlier = {
        {"None", {0, std::string("\0raw\xff", 5)}},
        {"Sz", {1, Utf16(std::string("text\0", 5))}},
        {"Expand", {2, Utf16(std::string("%SystemRoot%;C:\\Tools\0", 23))}},
        {"Binary", {3, std::string("\0\x01\xff\t\r\n", 6)}},
        {"Dword", {4, std::string("\x07\0\0\x80", 4)}},
        {"BigEndian", {5, std::string("\0\0\x01\x02", 4)}},
        {"Multi", {7, Utf16(std::string("one\0two\0\0", 9))}},
        {"Resources", {8, std::string("\x01\0\0\0", 4)}},
        {"Descriptor", {9, std::string("\x02\0", 2)}},
        {"Requirements", {10, std::string("\x03", 1)}},
        {"Qword", {11, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)}},
        {"Empty", {3, {}}},
    };
    Config.IniSetupEntries.clear();
    for (const auto& [name, value] : earlier)
        Config.IniSetupEntries.push_back("Software\\" + Config.Header + "~Types~" + name + "~new");
    Config.IniSetupEntries.push_back("Software\\" + Config.Header + "~Types~Added~new");
    const auto seed = [&] {
        registry.DeleteKey(rrCurrentUser, key);
        ASSERT_TRUE(registry.CreateKey(rrCurrentUser, key));
        for (const auto& [name, value] : earlier)
            ASSERT_TRUE(registry.WriteValue(rrCurrentUser, key, name, value));
    };
    const auto expectAsBefore = [&](const std::string& what) {
        for (const auto& [name, value] : earlier)
            EXPECT_EQ(registry.ReadValue(rrCurrentUser, key, name), value) << what << ": " << name;
        EXPECT_FALSE(registry.ReadValue(rrCurrentUser, key, "Added")) << what;
    };
    const std::string journal = Dir / "journal";
    // The install moves its working copies into place, and its undoing removes the working directory: each
    // run gets its own.
    const auto putWork = [&] {
        Files.ForceDirectories(WorkDir);
        for (const char* name : {"install.exe", "install.cfg", "app.exe", "uninstaller.exe", "data.txt"})
            test::PutBytes(JoinPath(WorkDir, name), name);
    };
    for (const bool kill : {false, true}) {
        for (std::size_t n = 0; n <= earlier.size(); ++n) {
            const std::string what = (kill ? "killed at write " : "refused write ") + std::to_string(n);
            seed();
            putWork();
            Files.ForceDirectories(journal);
            TWin32InstallSystem system;
            const TInstallSystem base = system.System();
            test::TFaultyRegistry faulty(registry);
            std::size_t writes = 0;
            faulty.BeforeChange = [&](const std::string& op, const std::string& changed) {
                if (op != "WriteString" || changed.find("Types") == std::string::npos || writes++ != n)
                    return false;
                if (kill) throw std::runtime_error("killed");
                return true;
            };
            const auto run = [&] {
                // The journal's file is let go with the engine, as with a process that ends.
                TInstallEngine engine(Config, State,
                                      {base.Files, base.Ini, faulty, base.Links, base.Launcher, journal},
                                      Progress);
                return engine.RunInstall(Choices);
            };
            if (kill) {
                EXPECT_THROW(run(), std::runtime_error) << what;
                faulty.BeforeChange = nullptr;
                EXPECT_EQ(ReplayJournal(base.Files, registry, journal), std::vector<std::string>{}) << what;
            } else {
                EXPECT_EQ(run(), ioStopped) << what;
            }
            EXPECT_EQ(writes, n + 1) << what << ": the install got as far as that write";
            expectAsBefore(what);
            EXPECT_FALSE(HasJournal(Files, journal)) << what;
        }
    }
    // The control: without a fault every value is the install's string.
    seed();
    putWork();
    TWin32InstallSystem system;
    TInstallEngine engine(Config, State, system.System(), Progress);
    ASSERT_EQ(engine.RunInstall(Choices), ioInstalled);
    for (const auto& [name, value] : earlier)
        EXPECT_EQ(registry.ReadValue(rrCurrentUser, key, name),
                  (TRegValue{kRegString, Utf16(std::string("new\0", 4))}))
            << name;
}

} // namespace
} // namespace yar
