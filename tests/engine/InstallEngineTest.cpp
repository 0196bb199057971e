// Whole installs against the portable system layer: a machine in a host directory, INI files as
// Wine writes them, the registry in memory, recorded shortcuts and launches, and a progress page
// that logs what it was told.
#include "engine/InstallEngine.h"

#include "InstallTestSupport.h"
#include "SystemTestSupport.h"
#include "engine/SystemUpdates.h"
#include "system/HostFiles.h"
#include "system/HostIniFiles.h"
#include "system/MemoryRegistry.h"
#include "system/ShellFolders.h"
#include "util/Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace yar {
namespace {

using test::TLines;
using test::TProgressLog;

constexpr const char* kWorkDir = "C:\\WINDOWS\\Temp\\y";
constexpr const char* kTarget = "C:\\Program Files\\Acme";

class InstallEngine : public ::testing::Test {
protected:
    void SetUp() override {
        State.WorkDir = kWorkDir;
        State.RootDir = "C:\\";
        Config.Header = "Acme Tools";
        Config.DirectoryEntries = {"<INSTALLDIR>"};
        Choices.MainDir = kTarget;
        Choices.Folders = {"Acme", false, false};
        Files.ForceDirectories(kWorkDir);
        for (const char* name : {"install.exe", "install.cfg"}) Work(name);
        ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, kShellFoldersKey));
        ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, "Software"));
        ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, ".old"));
        ASSERT_TRUE(Registry.WriteString(rrCurrentUser, kShellFoldersKey, "Programs",
                                         "C:\\WINDOWS\\Start Menu\\Programs"));
    }

    // A working copy whose bytes are its name.
    void Work(const std::string& name) { Put(JoinPath(kWorkDir, name), name); }
    void Put(const std::string& path, const std::string& bytes) {
        Files.ForceDirectories(ExtractFileDir(path));
        test::PutBytes(Files.HostPath(path), bytes);
    }
    std::string Bytes(const std::string& path) const {
        return test::Visible(test::GetBytes(Files.HostPath(path)).value_or("<none>"));
    }
    std::string Record() const { return Bytes(JoinPath(kTarget, "uninstall.cfg")); }

    TInstallOutcome Run() {
        TInstallEngine engine(Config, State, {Files, Ini, Registry, Links, Launcher}, Progress, &Log);
        const TInstallOutcome outcome = engine.RunInstall(Choices);
        Launch = engine.Launch();
        return outcome;
    }

    test::TTestDir Dir{"yar-install"};
    THostFiles Files{Dir / "machine"};
    THostIniFiles Ini{Files};
    TMemoryRegistry Registry;
    TRecordedShellLinks Links;
    TRecordedLauncher Launcher;
    TProgressLog Progress;
    SetupConfig Config;
    SetupState State;
    TInstallChoices Choices;
    std::string Launch;
    TLines LogLines;
    TRunLog Log{std::make_unique<test::TKeptLines>(LogLines), [] { return 0.0; }};
};

TEST_F(InstallEngine, AProductWithEverythingInItsPlace) {
    Config.DirectoryEntries = {"<SUB1><INSTALLDIR>~Bin", "<INSTALLDIR>", "<WINDOWS_SYSTEM>", "<ALT1>~Shared"};
    Config.FileEntries = {"src\\app.exe~<INSTALLDIR>~",
                          "src\\tool.exe~<sub1><installdir>~",
                          "acme.dll~<WINDOWS_SYSTEM>~X",
                          "uninstaller.exe~<INSTALLDIR>~",
                          "data.dat~<ALT1>~",
                          "orphan.txt~<NOROW>~"};
    Config.WorkStationEntries = {"net.exe~<INSTALLDIR>"};
    Config.DesktopEntries = {"Acme App~<INSTALLDIR>app.exe~X~X~<WINDOWS>app.ico~Acme",
                             "Orphan~<NOROW>orphan.exe~X~X~<NOROW>o.ico~Acme"};
    Config.IniSetupEntries = {"acme.ini~Paths~Home~<INSTALLDIR>",
                              "HKEY_LOCAL_MACHINE\\Software\\Acme~Settings\\~Path~<INSTALLDIR>app.exe",
                              "HKEY_CLASSES_ROOT\\.acme~shell~~Acme File",
                              "HKEY_CLASSES_ROOT\\.old~shell~~Acme File"};
    Config.AutoexecLines = {"set acme=<INSTALLDIR>"};
    Config.Launch = "<INSTALLDIR>app.exe,/s";
    Config.Version = "2.1";
    Config.Publisher = "Acme Corp.";
    for (const char* name : {"app.exe", "tool.exe", "acme.dll", "uninstaller.exe", "data.dat", "net.exe"})
        Work(name);
    Put("C:\\autoexec.bat", "@ECHO OFF\r\n");
    Choices.LaunchChecked = true;
    Choices.DesktopShortcuts = {{"Acme App", true}};
    Choices.StartMenuShortcuts = {{"Acme App", false}};
    Choices.Folders = {"Main Folder", true, false};

    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_FALSE(State.Cancelled);

    for (const char* file : {"install.exe", "install.cfg", "app.exe", "uninstaller.exe"})
        EXPECT_EQ(Bytes(JoinPath(kTarget, file)), file);
    EXPECT_EQ(Bytes("C:\\Program Files\\Acme\\Bin\\tool.exe"), "tool.exe");
    EXPECT_EQ(Bytes("C:\\WINDOWS\\System\\acme.dll"), "acme.dll");
    EXPECT_EQ(Bytes("C:\\Shared\\data.dat"), "data.dat");
    EXPECT_FALSE(Files.FileExists(JoinPath(kTarget, "net.exe"))) << "the workstation list is not in use";
    EXPECT_EQ(Files.FileNames(kWorkDir), (TLines{"install.cfg", "install.exe", "net.exe"}))
        << "installed working copies are gone";

    EXPECT_EQ(Record(),
              "[Program]\\r\\nTitle=Acme Tools\\r\\n"
              "[UNINS]\\r\\n"
              "C:\\Program Files\\Acme\\*.*=\\r\\n"
              "C:\\Program Files\\Acme\\Setup\\*.*=\\r\\n"
              "C:\\Program Files\\Acme\\Bin\\tool.exe=\\r\\n"
              "C:\\Program Files\\Acme\\app.exe=\\r\\n"
              "C:\\Program Files\\Acme\\uninstaller.exe=\\r\\n"
              "C:\\WINDOWS\\System\\acme.dll=\\r\\n"
              "C:\\Shared\\data.dat=\\r\\n"
              "C:\\WINDOWS\\Desktop\\Acme App.*=\\r\\n"
              "C:\\WINDOWS\\Start Menu\\Acme\\Acme App.*=\\r\\n"
              "C:\\WINDOWS\\Start Menu\\Programs\\Acme\\Acme App.*=\\r\\n"
              "C:\\WINDOWS\\acme.ini=\\r\\n"
              // Every directory and folder that was not there, top down: the uninstall removes no other.
              "[Directories - Made]\\r\\n"
              "C:\\Program Files=\\r\\n"
              "C:\\Program Files\\Acme=\\r\\n"
              "C:\\Program Files\\Acme\\Bin=\\r\\n"
              "C:\\WINDOWS\\System=\\r\\n"
              "C:\\Shared=\\r\\n"
              "C:\\WINDOWS\\Start Menu=\\r\\n"
              "C:\\WINDOWS\\Start Menu\\Acme=\\r\\n"
              "[Folders]\\r\\n"
              "C:\\WINDOWS\\Start Menu\\Acme=\\r\\n"
              "C:\\WINDOWS\\Start Menu\\Programs\\Acme=\\r\\n"
              "[Registry]\\r\\n"
              "HKEY_LOCAL_MACHINE\\Software\\Acme=\\r\\n"
              "HKEY_CLASSES_ROOT\\.acme=\\r\\n"
              "HKEY_CLASSES_ROOT\\.old=\\r\\n"
              "[Registry - Made]\\r\\n"
              "HKEY_LOCAL_MACHINE\\Software\\Acme=\\r\\n"
              "HKEY_CURRENT_USER\\.acme=\\r\\n"
              "HKEY_CURRENT_USER\\.old\\shell=\\r\\n")
        << "the topmost key that was not there is recorded as made: below the root, or below one that was "
           "there";

    // The icon is taken from the target's directory whatever its own tag.
    const TShellLink link{"C:\\Program Files\\Acme\\app.exe", "C:\\Program Files\\Acme\\",
                          "C:\\Program Files\\Acme\\app.ico", 0};
    ASSERT_EQ(Links.Saves().size(), 2u) << "the Start Menu shortcut is unticked, the orphan has no row";
    EXPECT_EQ(Links.Find("C:\\WINDOWS\\Start Menu\\Acme\\Acme App.lnk"), link);
    EXPECT_EQ(Links.Find("C:\\WINDOWS\\Desktop\\Acme App.lnk"), link);

    EXPECT_EQ(Bytes("C:\\WINDOWS\\acme.ini"), "[Paths]\\r\\nHome=C:\\Program Files\\Acme\\\\r\\n");
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, "Software\\Acme\\Settings", "Path"),
              "C:\\Program Files\\Acme\\app.exe");
    const std::string uninstall = UninstallKey("Acme Tools");
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, "DisplayName"), "Acme Tools");
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, "UninstallString"),
              "\"C:\\Program Files\\Acme\\uninstaller.exe\" Acme Tools");
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, "QuietUninstallString"),
              "\"C:\\Program Files\\Acme\\uninstaller.exe\" /S");
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, "InstallLocation"), kTarget);
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, "DisplayIcon"),
              "C:\\Program Files\\Acme\\app.exe");
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, "DisplayVersion"), "2.1");
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, "Publisher"), "Acme Corp.");
    // The bytes are the files' names: 11 + 11 + 8 + 7 + 15 + 8 + 8, one KiB begun.
    EXPECT_EQ(Registry.ReadInteger(rrLocalMachine, uninstall, "EstimatedSize"), 1U);
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, "EstimatedSize"), std::nullopt) << "a number";

    EXPECT_EQ(Bytes("C:\\autoexec.yar"), "@ECHO OFF\\r\\n");
    EXPECT_EQ(Bytes("C:\\autoexec.bat"), "@ECHO OFF\\r\\nREM - Starting Tarnwick Update\\r\\n"
                                         "SET ACME=C:\\Program Files\\Acme\\r\\nREM - End of Tarnwick\\r\\n");

    EXPECT_EQ(Launch, "C:\\Program Files\\Acme\\app.exe,/s");
    EXPECT_EQ(Launcher.Calls(), (std::vector<TLaunchCall>{{"C:\\Program Files\\Acme\\app.exe", "/s",
                                                           "C:\\Program Files\\Acme\\"}}));

    EXPECT_EQ(Progress.Only("range "), (TLines{"13"}));
    EXPECT_EQ(Progress.Only("step").size(), 10u) << "five files, one shortcut, four values";
    EXPECT_EQ(Progress.Only("status "),
              (TLines{"Preparing Directory Structure", "Ready to Install", "tool.exe", "Ready to Install",
                      "app.exe", "uninstaller.exe", "Ready to Install", "acme.dll", "Ready to Install",
                      "data.dat", "Creating Icons and Folders", "Processing Registry Entries / INI Creation",
                      "Copying Old Autoexec.bat to Autoexec.yar", "Updating Autoexec.bat file",
                      "Creating Uninstall Information"}));
    EXPECT_EQ(Progress.Only("dest "), (TLines{"C:\\Program Files\\Acme\\Bin", kTarget, kTarget,
                                              "C:\\WINDOWS\\System", "C:\\Shared", "Acme"}));
    EXPECT_EQ(Progress.Events.back(), "finish");
    EXPECT_GE(Progress.MessageRuns, static_cast<int>(Progress.Events.size()) - 2);
}

TEST_F(InstallEngine, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
    Config.FileEntries = {"app.exe~<INSTALLDIR>~X", "readme.txt~<INSTALLDIR>~"};
    for (const char* name : {"app.exe", "readme.txt"}) {
        Work(name);
        Put(JoinPath(kTarget, name), "old");
    }
    Progress.Answer = false;
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Progress.Only("ask "), (TLines{"File Already Exists (app.exe). Overwrite?"}));
    EXPECT_EQ(Bytes(JoinPath(kTarget, "app.exe")), "old");
    EXPECT_EQ(Bytes(JoinPath(kTarget, "readme.txt")), "readme.txt") << "no mark: replaced without asking";
    EXPECT_TRUE(Files.FileExists(JoinPath(kWorkDir, "app.exe"))) << "the refused copy stays for the clean-up";
    EXPECT_NE(Record().find("C:\\Program Files\\Acme\\app.exe="), std::string::npos)
        << "recorded all the same";

    Progress.Answer = true;
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Bytes(JoinPath(kTarget, "app.exe")), "app.exe");
}

TEST_F(InstallEngine, AWorkingCopyStaysWhileAnotherEntryNamesIt) {
    Config.DirectoryEntries = {"<INSTALLDIR>", "<WINDOWS>"};
    Config.FileEntries = {"a.dll~<INSTALLDIR>~", "lib\\a.dll~<WINDOWS>~", "data.dll~<INSTALLDIR>~",
                          "b.dll~<INSTALLDIR>~", "bb.dll~<WINDOWS>~"};
    for (const char* name : {"a.dll", "data.dll", "b.dll", "bb.dll"}) Work(name);
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Bytes(JoinPath(kTarget, "a.dll")), "a.dll");
    EXPECT_EQ(Bytes("C:\\WINDOWS\\a.dll"), "a.dll") << "two entries of one name: both copies succeed";
    EXPECT_EQ(Files.FileNames(kWorkDir), (TLines{"a.dll", "b.dll", "install.cfg", "install.exe"}))
        << "a.dll is named twice and inside data.dll, b.dll inside bb.dll";
}

#ifndef _WIN32 // the host's inode numbers tell a rename from a copy
// A working copy no other entry needs is renamed into place, not written again; it is then what the copy
// makes: writable and written now, whatever the archive gave the working copy. A file already at the
// target, a name with a directory in it, another volume and a shared working copy still take the copy.
TEST_F(InstallEngine, AWorkingCopyOnlyOneEntryNeedsIsMovedAndLooksCopied) {
    Config.DirectoryEntries = {"<INSTALLDIR>", "<WINDOWS>"};
    Config.FileEntries = {"solo.exe~<INSTALLDIR>~", "kept.dat~<INSTALLDIR>~", "twice.dll~<INSTALLDIR>~",
                          "twice.dll~<WINDOWS>~"};
    for (const char* name : {"solo.exe", "kept.dat", "twice.dll"}) Work(name);
    Put(JoinPath(kTarget, "kept.dat"), "old");
    const auto inode = [&](const std::string& path) {
        struct stat st {};
        EXPECT_EQ(stat(Files.HostPath(path).c_str(), &st), 0) << path;
        return std::pair{st.st_ino, st};
    };
    const std::string solo = JoinPath(kWorkDir, "solo.exe");
    // As the archive left it: read-only, dated long ago.
    ASSERT_TRUE(Files.SetAttributes(solo, faReadOnly));
    const timespec old[2] = {{315532800, 0}, {315532800, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Files.HostPath(solo).c_str(), old, 0), 0);
    const auto soloInode = inode(solo).first;
    const auto twiceInode = inode(JoinPath(kWorkDir, "twice.dll")).first;
    const std::time_t started = std::time(nullptr);

    ASSERT_EQ(Run(), ioInstalled);
    const std::string moved = JoinPath(kTarget, "solo.exe");
    EXPECT_EQ(Bytes(moved), "solo.exe");
    EXPECT_EQ(inode(moved).first, soloInode) << "renamed, not copied";
    EXPECT_EQ(Files.Attributes(moved), Files.Attributes(JoinPath(kTarget, "twice.dll"))) << "as a copy is";
    EXPECT_EQ(Files.Attributes(moved), std::optional<uint16_t>(faArchive));
    EXPECT_GE(inode(moved).second.st_mtime, started) << "written now, as the copy is";
    EXPECT_EQ(Bytes(JoinPath(kTarget, "kept.dat")), "kept.dat") << "the existing file is replaced";
    for (const char* dir : {kTarget, "C:\\WINDOWS"})
        EXPECT_NE(inode(JoinPath(dir, "twice.dll")).first, twiceInode) << "named twice: copied to " << dir;
    EXPECT_EQ(Files.FileNames(kWorkDir), (TLines{"install.cfg", "install.exe", "twice.dll"}));
    EXPECT_NE(Record().find("C:\\Program Files\\Acme\\solo.exe=\\r\\n"), std::string::npos) << Record();
    const std::string installed = "Installed: " + solo + " -> " + moved + " (8 bytes)";
    EXPECT_TRUE(std::ranges::any_of(
        LogLines, [&](const std::string& line) { return line.find(installed) != std::string::npos; }));
}
#endif

TEST_F(InstallEngine, TwoRowsOfOneTagEachGetTheFile) {
    Config.DirectoryEntries = {"<INSTALLDIR>", "<ALT1>~One", "<ALT1>~Two"};
    Config.FileEntries = {"x.dat~<ALT1>~"};
    Work("x.dat");
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Bytes("C:\\One\\x.dat"), "x.dat");
    EXPECT_FALSE(Files.FileExists("C:\\Two\\x.dat")) << "the working copy went with the first copy";
    // The second copy has nothing to copy: the user is told, and a file left out is not recorded.
    EXPECT_EQ(
        Progress.Only("file error "),
        TLines{"The file C:\\Two\\x.dat cannot be installed: Cannot open file C:\\WINDOWS\\Temp\\y\\x.dat"});
    const std::string record = Record();
    EXPECT_NE(record.find("C:\\One\\x.dat=\\r\\n"), std::string::npos) << record;
    EXPECT_EQ(record.find("C:\\Two\\x.dat"), std::string::npos) << record;
    EXPECT_EQ(State.FilesLeftOut, 1);
    EXPECT_EQ(Progress.Only("step").size(), 2u);
}

TEST_F(InstallEngine, TheNetworkMinimumCopiesTheWorkstationList) {
    Config.FileEntries = {"full.exe~<INSTALLDIR>~"};
    Config.WorkStationEntries = {"net.exe~<INSTALLDIR>", "net.cfg~<INSTALLDIR>~X"};
    for (const char* name : {"full.exe", "net.exe", "net.cfg"}) {
        Work(name);
        Put(JoinPath(kTarget, name), "old");
    }
    Choices.MinInstall = true;
    Progress.Answer = false;
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Progress.Only("ask "), (TLines{"File Already Exists (net.cfg). Overwrite?"}))
        << "a two-field value repeats its tag as the mark";
    EXPECT_EQ(Bytes(JoinPath(kTarget, "net.exe")), "net.exe");
    EXPECT_EQ(Bytes(JoinPath(kTarget, "full.exe")), "old");
    EXPECT_EQ(Progress.Only("range "), (TLines{"3"})) << "counted before the install type applies";
}

TEST_F(InstallEngine, AChainedSetupStartsWhateverTheEndChoice) {
    Config.DirectoryEntries = {"<INSTALLDIR>", "<SUB1><INSTALLDIR>~bin"};
    Config.FileEntries = {"setup.exe~<SUB1><INSTALLDIR>~", "app.exe~<SUB1><INSTALLDIR>~"};
    Config.Launch = "<INSTALLDIR>bin\\setup.exe,/q";
    Choices.MainDir = "C:\\Acme";
    Work("setup.exe");
    Work("app.exe");
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Launcher.Calls(),
              (std::vector<TLaunchCall>{{"C:\\Acme\\bin\\setup.exe", "/q", "C:\\Acme\\bin\\"}}));

    Config.Launch = "<INSTALLDIR>bin\\app.exe,/q";
    Work("setup.exe");
    Work("app.exe");
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Launcher.Calls().size(), 1u) << "another program only when the user chose it";
    Choices.LaunchChecked = true;
    Config.Launch.clear();
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Launcher.Calls().size(), 1u) << "nothing configured, nothing started";
}

TEST_F(InstallEngine, ALaterInstallStartsAFreshRecord) {
    Put(JoinPath(kTarget, "uninstall.cfg"),
        "[Program]\r\nTitle=Old\r\nVersion=1\r\n[UNINS]\r\nC:\\Old\\x=\r\n"
        "[Folders]\r\nC:\\Old=\r\n[Registry]\r\nOld=\r\n[Registry - Made]\r\nOld=\r\n[Other]\r\nk=v\r\n");
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(
        Record(),
        "[Program]\\r\\nTitle=Acme Tools\\r\\nVersion=1\\r\\n[Registry - Made]\\r\\nOld=\\r\\n[Other]\\r\\n"
        "k=v\\r\\n[UNINS]\\r\\n"
        "C:\\Program Files\\Acme\\*.*=\\r\\nC:\\Program Files\\Acme\\Setup\\*.*=\\r\\n")
        << "the copies of the setup program fall under the first record; the keys an earlier install made "
           "stay its own";
}

TEST_F(InstallEngine, AConfigurationWithoutInstallationDirectoryIsRefused) {
    Config.DirectoryEntries = {"<ALT1>~Acme", "<SUB1><INSTALLDIR>~Bin"};
    Config.FileEntries = {"x.dat~<ALT1>~"};
    Work("x.dat");
    EXPECT_EQ(Run(), ioStopped);
    EXPECT_TRUE(State.Cancelled);
    EXPECT_EQ(Progress.Events, (TLines{std::string("stopped ") + kNoInstallDirMessage}));
    EXPECT_FALSE(Files.DirectoryExists("C:\\Acme")) << "nothing is made";
    EXPECT_TRUE(Files.FileExists(JoinPath(kWorkDir, "x.dat")));
}

TEST_F(InstallEngine, AnInstallationDirectoryThatCannotBeMadeEndsTheProgram) {
    Config.DirectoryEntries = {"<ALT1>~Early", "<INSTALLDIR>", "<ALT2>~Late"};
    Choices.MainDir = "Q:\\Acme"; // no such drive
    EXPECT_EQ(Run(), ioTargetMissing);
    EXPECT_EQ(Progress.Only("end "), (TLines{"Unable to Create Q:\\Acme"}));
    EXPECT_TRUE(Progress.Only("finish").empty());
    EXPECT_TRUE(Files.DirectoryExists("C:\\Early"));
    EXPECT_FALSE(Files.DirectoryExists("C:\\Late"));

    Choices.MainDir.clear();
    EXPECT_EQ(Run(), ioTargetMissing);
    EXPECT_EQ(Progress.Only("end ").back(), "Unable to Create ");
}

TEST_F(InstallEngine, OnlyTheDirectoriesAndKeysThatWereNotThereAreRecordedAsMade) {
    // The destination, a program folder and a vendor's key exist before the install.
    Files.ForceDirectories("C:\\Program Files\\Acme\\Bin");
    Files.ForceDirectories("C:\\WINDOWS\\Start Menu\\Programs\\Vendor");
    ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, "Software\\Vendor"));
    Config.DirectoryEntries = {"<INSTALLDIR>", "<SUB1><INSTALLDIR>~Bin", "<SUB2><INSTALLDIR>~Data\\Deep"};
    Config.DesktopEntries = {"Acme App~<INSTALLDIR>install.exe~~~<INSTALLDIR>install.exe~Vendor",
                             "Acme Help~<INSTALLDIR>install.exe~~~<INSTALLDIR>install.exe~Acme Help"};
    Config.IniSetupEntries = {"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme~Settings~Path~x",
                              "HKEY_LOCAL_MACHINE\\Software\\Vendor~Shared~Path~x"};
    ASSERT_EQ(Run(), ioInstalled);
    const TLines lines =
        SplitLines(test::GetBytes(Files.HostPath(JoinPath(kTarget, "uninstall.cfg"))).value_or(""));
    const auto section = [&](const std::string& name) {
        TLines keys;
        bool in = false;
        for (const std::string& line : lines) {
            if (line.starts_with("["))
                in = line == "[" + name + "]";
            else if (in)
                keys.push_back(line.substr(0, line.find('=')));
        }
        return keys;
    };
    EXPECT_EQ(section("Directories - Made"),
              (TLines{"C:\\Program Files\\Acme\\Data", "C:\\Program Files\\Acme\\Data\\Deep",
                      "C:\\WINDOWS\\Start Menu\\Programs\\Acme Help"}));
    EXPECT_EQ(section("Folders"), (TLines{"C:\\WINDOWS\\Start Menu\\Programs\\Vendor",
                                          "C:\\WINDOWS\\Start Menu\\Programs\\Acme Help"}))
        << "a program folder is recorded as before, made or not";
    EXPECT_EQ(section("Registry - Made"), (TLines{"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme",
                                                  "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Shared"}))
        << "below the vendor's key, only what was not there";
}

TEST_F(InstallEngine, AMissingSetupProgramStopsAfterTheRecordIsOpened) {
    ASSERT_TRUE(Files.RemoveFile(JoinPath(kWorkDir, "install.exe")));
    Config.FileEntries = {"app.exe~<INSTALLDIR>~"};
    Config.Launch = "<INSTALLDIR>setup.exe";
    Work("app.exe");
    EXPECT_EQ(Run(), ioStopped);
    EXPECT_TRUE(State.Cancelled);
    EXPECT_EQ(Progress.Events.back(), "stopped Cannot open file C:\\WINDOWS\\Temp\\y\\install.exe");
    EXPECT_TRUE(Progress.Only("finish").empty());
    EXPECT_FALSE(Files.FileExists(JoinPath(kTarget, "app.exe")));
    EXPECT_TRUE(Launcher.Calls().empty());
    EXPECT_EQ(Record(),
              "[Program]\\r\\nTitle=Acme Tools\\r\\n[UNINS]\\r\\nC:\\Program Files\\Acme\\*.*=\\r\\n"
              "C:\\Program Files\\Acme\\Setup\\*.*=\\r\\n[Directories - Made]\\r\\nC:\\Program Files=\\r\\n"
              "C:\\Program Files\\Acme=\\r\\n");
}

TEST_F(InstallEngine, WritesThatFailStopTheRunWithTheirMessages) {
    // The record itself.
    Put(JoinPath(kTarget, "uninstall.cfg"), "");
    ASSERT_TRUE(Files.SetAttributes(JoinPath(kTarget, "uninstall.cfg"), faReadOnly));
    EXPECT_EQ(Run(), ioStopped);
    EXPECT_EQ(Progress.Events.back(), "stopped Unable to write to C:\\Program Files\\Acme\\uninstall.cfg");
    ASSERT_TRUE(Files.SetAttributes(JoinPath(kTarget, "uninstall.cfg"), 0));

    // An INI file, after its record.
    Put("C:\\WINDOWS\\acme.ini", "");
    ASSERT_TRUE(Files.SetAttributes("C:\\WINDOWS\\acme.ini", faReadOnly));
    Config.IniSetupEntries = {"acme.ini~s~k~v", "Software\\Acme~x~y~z"};
    EXPECT_EQ(Run(), ioStopped);
    EXPECT_EQ(Progress.Events.back(), "stopped Unable to write to acme.ini");
    EXPECT_NE(Record().find("C:\\WINDOWS\\acme.ini="), std::string::npos);
    EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, "Software\\Acme")) << "the later entry is not reached";

    // A registry key or value the registry refuses.
    const std::string longName(300, 'k');
    Config.IniSetupEntries = {"Software\\Acme~" + longName + "~y~z"};
    EXPECT_EQ(Run(), ioStopped);
    EXPECT_EQ(Progress.Events.back(), "stopped Failed to create key \\Software\\Acme\\" + longName);
    const std::string longValue(20000, 'v');
    Config.IniSetupEntries = {"Software\\Acme~x~" + longValue + "~z"};
    EXPECT_EQ(Run(), ioStopped);
    EXPECT_EQ(Progress.Events.back(), "stopped Failed to set data for '" + longValue + "'");

    // The AUTOEXEC.BAT backup.
    Config.IniSetupEntries.clear();
    Config.AutoexecLines = {"rem x"};
    Put("C:\\autoexec.yar", "");
    ASSERT_TRUE(Files.SetAttributes("C:\\autoexec.yar", faReadOnly));
    EXPECT_EQ(Run(), ioStopped);
    EXPECT_EQ(Progress.Events.back(), "stopped Cannot create file C:\\autoexec.yar");
    EXPECT_FALSE(Files.FileExists("C:\\autoexec.bat")) << "AUTOEXEC.BAT is left as it was";
    EXPECT_TRUE(State.Cancelled);
}

TEST_F(InstallEngine, ShortcutsThatCannotBeMadeAreLeftOut) {
    Config.DesktopEntries = {"App~<INSTALLDIR>app.exe~~~<INSTALLDIR>app.ico~Acme"};
    Links.SetFailing(true);
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_NE(Record().find("[Folders]\\r\\nC:\\WINDOWS\\Start Menu\\Programs\\Acme=\\r\\n"),
              std::string::npos)
        << "its records are written first";
}

} // namespace
} // namespace yar

namespace yar {
namespace {

TEST_F(InstallEngine, TheUninstallEntryLeavesOutWhatTheProductDoesNotHave) {
    Config.FileEntries = {"uninstaller.exe~<INSTALLDIR>~"};
    Put(JoinPath(kWorkDir, "uninstaller.exe"), std::string(3000, 'u'));
    ASSERT_EQ(Run(), ioInstalled);
    const std::string uninstall = UninstallKey("Acme Tools");
    for (const char* name : {"DisplayIcon", "DisplayVersion", "Publisher"})
        EXPECT_EQ(Registry.ReadString(rrLocalMachine, uninstall, name), std::nullopt) << name;
    EXPECT_EQ(Registry.ReadInteger(rrLocalMachine, uninstall, "EstimatedSize"), 3U)
        << "3022 bytes, rounded up";
}

TEST_F(InstallEngine, TheLogNamesEveryDirectoryFileAndValueWithItsFate) {
    Config.DirectoryEntries = {"<INSTALLDIR>"};
    Config.FileEntries = {"app.exe~<INSTALLDIR>~", "keep.txt~<INSTALLDIR>~X", "gone.txt~<INSTALLDIR>~"};
    Config.IniSetupEntries = {"acme.ini~Paths~Home~<INSTALLDIR>",
                              "HKEY_LOCAL_MACHINE\\Software\\Acme~Settings~Path~x"};
    Work("app.exe");
    Work("keep.txt");
    Put(JoinPath(kTarget, "keep.txt"), "the user's");
    Progress.Answer = false;
    ASSERT_EQ(Run(), ioInstalled);
    EXPECT_EQ(LogLines,
              (TLines{
                  "   0.000 Directory: C:\\Program Files\\Acme",
                  "   0.000 Installed: C:\\WINDOWS\\Temp\\y\\install.exe -> "
                  "C:\\Program Files\\Acme\\install.exe (11 bytes)",
                  "   0.000 Installed: C:\\WINDOWS\\Temp\\y\\install.cfg -> "
                  "C:\\Program Files\\Acme\\install.cfg (11 bytes)",
                  "   0.000 Installed: C:\\WINDOWS\\Temp\\y\\app.exe -> "
                  "C:\\Program Files\\Acme\\app.exe (7 bytes)",
                  "   0.000 Skipped: C:\\Program Files\\Acme\\keep.txt - the existing file is kept",
                  "   0.000 Left out: C:\\Program Files\\Acme\\gone.txt - Cannot open file "
                  "C:\\WINDOWS\\Temp\\y\\gone.txt",
                  "   0.000 INI value: C:\\WINDOWS\\acme.ini [Paths] Home=C:\\Program Files\\Acme\\",
                  "   0.000 Registry value: HKEY_LOCAL_MACHINE\\Software\\Acme\\Settings Path=x",
              }));
}

#ifndef _WIN32 // the host's owners and permissions stand for the access lists
// Another account's directory, planted where the install will go: on the host, writable by everyone.
class UnsafeDestination : public InstallEngine {
protected:
    void SetUp() override {
        InstallEngine::SetUp();
        Config.FileEntries = {"app.exe~<INSTALLDIR>~", "uninstaller.exe~<INSTALLDIR>~"};
        Config.Launch = "<INSTALLDIR>app.exe";
        Choices.LaunchChecked = true;
        for (const char* name : {"app.exe", "uninstaller.exe"}) Work(name);
        Files.ForceDirectories("C:\\Shared");
        chmod(Files.HostPath("C:\\Shared").c_str(), 0777);
    }
};

TEST_F(UnsafeDestination, IsNamedAndWithoutAYesNothingIsWritten) {
    for (const char* target : {"C:\\Shared", "C:\\Shared\\Acme"}) {
        Choices.MainDir = target;
        const std::string before = test::TreeOf(Files.Root());
        EXPECT_EQ(Run(), ioStopped) << target;
        EXPECT_EQ(Progress.Only("risk ").back(),
                  UnsafeDestinationQuestion("C:\\Shared", "Everyone may change it"))
            << "the directory others can change is named, also when it lies above the destination";
        EXPECT_EQ(Progress.Events.back(),
                  "stopped " + UnsafeDestinationStop("C:\\Shared", "Everyone may change it"));
        EXPECT_EQ(test::TreeOf(Files.Root()), before) << "nothing written";
        EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, UninstallKey("Acme Tools")));
        EXPECT_TRUE(Launcher.Calls().empty());
    }
}

// A row of another kind, the configuration's own <ALT1>~Shared, is judged as the installation directory.
TEST_F(UnsafeDestination, EveryRowsDirectoryIsJudgedAndAskedOnce) {
    Config.DirectoryEntries = {"<INSTALLDIR>", "<ALT1>~Shared", "<ALT2>~Shared\\Data"};
    Config.FileEntries.push_back("data.dat~<ALT1>~");
    Work("data.dat");
    const std::string before = test::TreeOf(Files.Root());
    EXPECT_EQ(Run(), ioStopped);
    EXPECT_EQ(Progress.Only("risk "),
              TLines{UnsafeDestinationQuestion("C:\\Shared", "Everyone may change it")});
    EXPECT_EQ(test::TreeOf(Files.Root()), before) << "nothing written";

    Progress.Events.clear();
    Progress.RiskAnswer = true;
    EXPECT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Progress.Only("risk ").size(), 1U) << "one question for the directory both rows lie in";
    EXPECT_EQ(Bytes("C:\\Shared\\data.dat"), "data.dat");
}

TEST_F(UnsafeDestination, GoesAheadOnTheUsersYes) {
    Progress.RiskAnswer = true;
    Choices.MainDir = "C:\\Shared";
    EXPECT_EQ(Run(), ioInstalled);
    EXPECT_EQ(Bytes("C:\\Shared\\app.exe"), "app.exe");
    EXPECT_EQ(Launcher.Calls().size(), 1u);
}

TEST_F(InstallEngine, DirectoriesOutsideTheProtectedFoldersGetAListOfTheirOwn) {
    Config.DirectoryEntries = {"<INSTALLDIR>", "<ALT1>~Data\\Cache", "<SUB2><PROGRAMFILES>~Acme Shared"};
    Choices.MainDir = "C:\\Acme";
    const mode_t old = umask(mode_t{0}); // what a directory inherits shows as the host's default permissions
    const TInstallOutcome outcome = Run();
    umask(old);
    ASSERT_EQ(outcome, ioInstalled);
    const auto mode = [&](const char* dir) {
        struct stat st {};
        EXPECT_EQ(stat(Files.HostPath(dir).c_str(), &st), 0) << dir;
        return st.st_mode & 07777;
    };
    for (const char* own : {"C:\\Acme", "C:\\Data", "C:\\Data\\Cache"}) EXPECT_EQ(mode(own), 0755u) << own;
    EXPECT_EQ(mode("C:\\Program Files\\Acme Shared"), 0777u) << "inherits the program folder's list";
}

#endif

TEST_F(InstallEngine, OnlyFilesThisRunWroteAreLaunchedAndRegistered) {
    // Planted before the run, read-only: the copy over it fails, so what is there is not the program.
    Config.FileEntries = {"app.exe~<INSTALLDIR>~", "uninstaller.exe~<INSTALLDIR>~"};
    Config.Launch = "<INSTALLDIR>app.exe";
    Choices.LaunchChecked = true;
    Work("app.exe");
    Work("uninstaller.exe");
    for (const char* name : {"app.exe", "uninstaller.exe"}) {
        Put(JoinPath(kTarget, name), "planted");
        ASSERT_TRUE(Files.SetAttributes(JoinPath(kTarget, name), faReadOnly));
    }
    EXPECT_EQ(Run(), ioInstalled);
    EXPECT_TRUE(Launcher.Calls().empty());
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, UninstallKey("Acme Tools")))
        << "an uninstaller this run did not write is not registered";
    EXPECT_TRUE(std::ranges::any_of(LogLines, [](const std::string& line) {
        return line.find("Not launched: C:\\Program Files\\Acme\\app.exe") != std::string::npos;
    }));

    // A launch of a file no entry installs starts nothing either, wherever the shell would find one.
    Config.Launch = "notepad.exe";
    Work("app.exe");
    Work("uninstaller.exe");
    EXPECT_EQ(Run(), ioInstalled);
    EXPECT_TRUE(Launcher.Calls().empty());
}

} // namespace
} // namespace yar
