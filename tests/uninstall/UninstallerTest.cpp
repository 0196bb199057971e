// Whole uninstalls against the portable system layer: products installed by the install engine
// into a machine in a host directory with the registry in memory, then removed from their records,
// with the machine compared before and after.
#include "uninstall/Uninstaller.h"

#include "InstallTestSupport.h"
#include "SystemTestSupport.h"
#include "UninstallTestSupport.h"
#include "engine/UninstallRecord.h"
#include "system/FileServices.h"
#include "system/HostFiles.h"
#include "system/HostIniFiles.h"
#include "system/MemoryRegistry.h"
#include "system/ShellFolders.h"
#include "uninstall/UninstallRules.h"
#include "util/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace yar {
namespace {

namespace fs = std::filesystem;
using test::TLines;

constexpr const char* kWorkDir = "C:\\WINDOWS\\Temp\\y";
constexpr const char* kAcme = "C:\\Program Files\\Acme";
constexpr const char* kBeta = "C:\\Program Files\\Beta";

// Shortcuts written as files, so that the uninstall finds them where the shell would have put them.
class TFileShellLinks final : public TShellLinks {
public:
    explicit TFileShellLinks(THostFiles& files) : Files_(files) {}
    void Save(const TShellLink& link, const std::string& linkFile) override {
        test::PutBytes(Files_.HostPath(linkFile), link.Path);
    }

private:
    THostFiles& Files_;
};

// A machine's files refusing to delete some of them, as the system refuses files in use.
class TBusyFiles final : public TFiles {
public:
    explicit TBusyFiles(TFiles& files) : Files_(files) {}
    bool FileExists(const std::string& path) const override { return Files_.FileExists(path); }
    bool DirectoryExists(const std::string& path) const override { return Files_.DirectoryExists(path); }
    void ForceDirectories(const std::string& dir) override { Files_.ForceDirectories(dir); }
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override {
        Files_.ForceDirectoriesWithAccess(dir, accessList);
    }
    std::optional<std::string> OthersMayChange(const std::string& path, uint32_t rights) const override {
        return Files_.OthersMayChange(path, rights);
    }
    TCopyResult CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) override {
        return Files_.CopyFileChecked(from, to, failIfExists);
    }
    bool RemoveFile(const std::string& path) override {
        return !SamePath(path, Busy) && Files_.RemoveFile(path);
    }
    bool RemoveEmptyDirectory(const std::string& path) override { return Files_.RemoveEmptyDirectory(path); }
    bool RemoveAtRestart(const std::string& path) override { return Files_.RemoveAtRestart(path); }
    std::optional<uint16_t> Attributes(const std::string& path) const override {
        return Files_.Attributes(path);
    }
    std::optional<int64_t> FileSize(const std::string& path) const override { return Files_.FileSize(path); }
    bool SetAttributes(const std::string& path, uint16_t attributes) override {
        return Files_.SetAttributes(path, attributes);
    }
    std::vector<std::string> FileNames(const std::string& dir) const override {
        return Files_.FileNames(dir);
    }
    std::vector<std::string> EntryNames(const std::string& dir) const override {
        return Files_.EntryNames(dir);
    }
    std::optional<std::vector<std::string>> ReadLines(const std::string& path) const override {
        return Files_.ReadLines(path);
    }
    bool WriteLines(const std::string& path, const std::vector<std::string>& lines) override {
        return Files_.WriteLines(path, lines);
    }
    bool AppendLine(const std::string& path, const std::string& line) override {
        return Files_.AppendLine(path, line);
    }
    std::string ShortPath(const std::string& path) const override { return Files_.ShortPath(path); }
    std::string WindowsDirectory() const override { return Files_.WindowsDirectory(); }

    std::string Busy;

private:
    TFiles& Files_;
};

// Every file with its bytes and every directory, by path below the machine's root; every key of
// both roots the uninstall may touch.
struct TSnapshot {
    std::map<std::string, std::string> Files;
    std::vector<std::string> Keys;
};

class Uninstaller : public ::testing::Test {
protected:
    void SetUp() override {
        Files.ForceDirectories(kWorkDir);
        Put("C:\\autoexec.bat", "@ECHO OFF\r\n");
        Put("C:\\WINDOWS\\win.ini", "[windows]\r\n");
        // Directories every machine has.
        for (const char* dir :
             {"C:\\WINDOWS\\Start Menu\\Programs", "C:\\WINDOWS\\System", "C:\\Program Files"})
            Files.ForceDirectories(dir);
        ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
        ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, kUninstallListKey));
        ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, kShellFoldersKey));
        ASSERT_TRUE(Registry.WriteString(rrCurrentUser, kShellFoldersKey, "Programs",
                                         "C:\\WINDOWS\\Start Menu\\Programs"));
        ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "Control Panel\\Desktop"));
    }

    void Put(const std::string& path, const std::string& bytes) {
        Files.ForceDirectories(ExtractFileDir(path));
        test::PutBytes(Files.HostPath(path), bytes);
    }
    std::string Bytes(const std::string& path) const {
        return test::GetBytes(Files.HostPath(path)).value_or("<none>");
    }

    void Install(const SetupConfig& config, const std::string& target, const std::string& vendor) {
        for (const std::string& name : test::ProductFiles())
            Put(JoinPath(kWorkDir, name), config.Header + " " + name);
        SetupState state;
        state.WorkDir = kWorkDir;
        state.RootDir = "C:\\";
        test::TProgressLog progress;
        TInstallEngine engine(config, state, {Files, Ini, Registry, Links, Launcher}, progress);
        ASSERT_EQ(engine.RunInstall(test::ProductChoices(target, vendor)), ioInstalled);
    }

    TUninstallReport Uninstall(const std::string& target, TFiles& files, const std::string& self = {}) {
        const TUninstallData data = ReadUninstallData(files, target);
        return TUninstaller(data, {files, Registry}, Steps, self).Run();
    }
    TUninstallReport Uninstall(const std::string& target, const std::string& self = {}) {
        return Uninstall(target, Files, self);
    }

    TSnapshot Snapshot() const {
        TSnapshot snapshot;
        const fs::path root = NativePath(Files.Root());
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string relative = entry.path().lexically_relative(root).generic_string();
            snapshot.Files[relative] =
                entry.is_directory() ? "<dir>" : test::GetBytes(entry.path().string()).value();
        }
        for (TRegRoot key : {rrCurrentUser, rrLocalMachine}) AddKeys(snapshot.Keys, key, "");
        return snapshot;
    }
    void AddKeys(std::vector<std::string>& keys, TRegRoot root, const std::string& key) const {
        for (const std::string& name : Registry.SubKeyNames(root, key)) {
            const std::string path = key.empty() ? name : key + "\\" + name;
            keys.push_back(std::to_string(root) + ":" + path);
            AddKeys(keys, root, path);
        }
    }
    // What differs between two snapshots: paths and keys added, removed or changed.
    static TLines Changes(const TSnapshot& before, const TSnapshot& after) {
        TLines changes;
        for (const auto& [path, bytes] : after.Files) {
            const auto old = before.Files.find(path);
            if (old == before.Files.end())
                changes.push_back("+ " + path);
            else if (old->second != bytes)
                changes.push_back("~ " + path);
        }
        for (const auto& [path, bytes] : before.Files)
            if (!after.Files.contains(path)) changes.push_back("- " + path);
        for (const std::string& key : after.Keys)
            if (std::ranges::find(before.Keys, key) == before.Keys.end()) changes.push_back("+ key " + key);
        for (const std::string& key : before.Keys)
            if (std::ranges::find(after.Keys, key) == after.Keys.end()) changes.push_back("- key " + key);
        return changes;
    }

    test::TTestDir Dir{"yar-uninstall"};
    THostFiles Files{Dir / "machine"};
    THostIniFiles Ini{Files};
    TMemoryRegistry Registry;
    TFileShellLinks Links{Files};
    TRecordedLauncher Launcher;
    test::TStepLog Steps;
};

TEST_F(Uninstaller, AnInstallIsUndoneAndWhatItCannotOwnIsLeftAndListed) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    const TSnapshot before = Snapshot(); // the working directory's leftovers are not the install's
    // Compared below with the machine as it was before the install.
    TSnapshot original = before;
    ASSERT_TRUE(Files.FileExists("C:\\WINDOWS\\Start Menu\\Programs\\Vendor\\Acme App.lnk"));
    ASSERT_TRUE(Files.SetAttributes(JoinPath(kAcme, "app.exe"), faReadOnly));
    Put(JoinPath(kAcme, "notes.txt"), "mine");

    const TUninstallReport report = Uninstall(kAcme);

    EXPECT_EQ(test::LeftLines(report),
              (TLines{"C:\\WINDOWS\\Acme.ini - an INI file of the system",
                      "C:\\Program Files\\Acme\\notes.txt - not installed by the setup",
                      "C:\\Program Files\\Acme - not empty"}));
    EXPECT_EQ(report.ExitCode(), kExitRemoved) << "what rules keep is no failure";
    EXPECT_EQ(Bytes(JoinPath(kAcme, "notes.txt")), "mine");
    EXPECT_FALSE(Files.FileExists(JoinPath(kAcme, "app.exe"))) << "read-only, and gone";
    EXPECT_FALSE(Files.FileExists(JoinPath(kAcme, kUninstallRecordName)));
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, UninstallKey("Acme")));
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, "Software\\Vendor")) << "only the product's own key goes";

    // Against the machine after the install: exactly what the install brought, less the kept items.
    TLines changes = Changes(before, Snapshot());
    std::erase_if(changes, [](const std::string& line) { return line.starts_with("- "); });
    EXPECT_EQ(changes, (TLines{"+ C/Program Files/Acme/notes.txt"}));
    const TLines removed = Changes(original, Snapshot());
    for (const char* gone : {"- C/Program Files/Acme/Bin", "- C/Program Files/Acme/Data",
                             "- C/WINDOWS/System/shared.dll", "- C/WINDOWS/Start Menu/Programs/Vendor",
                             "- key 2:Software\\Vendor\\Acme", "- key 1:Software\\Acme"})
        EXPECT_NE(std::ranges::find(removed, gone), removed.end()) << gone;
    EXPECT_EQ(Steps.Steps, static_cast<int>(Steps.Taken.size()));
    EXPECT_EQ(Steps.Taken.back(), kAcme);
}

TEST_F(Uninstaller, TheMachineIsAsBeforeTheInstallExceptWhatIsLeftByDesign) {
    const TSnapshot original = Snapshot();
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    const TUninstallReport report = Uninstall(kAcme);
    EXPECT_EQ(report.ExitCode(), kExitRemoved);
    EXPECT_EQ(test::LeftLines(report), (TLines{"C:\\WINDOWS\\Acme.ini - an INI file of the system"}));
    TLines changes = Changes(original, Snapshot());
    // The setup's own working directory is the driver's to clean.
    std::erase_if(changes, [](const std::string& line) { return line.starts_with("+ C/WINDOWS/Temp/"); });
    EXPECT_EQ(changes, (TLines{"+ C/WINDOWS/Acme.ini", "~ C/autoexec.bat", "+ C/autoexec.yar",
                               "+ key 2:Software\\Vendor"}))
        << "left by design: the INI file outside, AUTOEXEC.BAT's block and backup, the recorded key's parent";
}

TEST_F(Uninstaller, AProductBesideKeepsWhatItSharesAndLosesNothing) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    SetupConfig beta = test::ProductConfig("Beta", "Vendor");
    // A plug-in of Beta's below Acme's key.
    beta.IniSetupEntries.push_back("HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme\\Plugins~Beta~Path~x");
    Install(beta, kBeta, "Vendor");
    const TSnapshot before = Snapshot();

    const TUninstallReport report = Uninstall(kAcme);

    EXPECT_EQ(test::LeftLines(report),
              (TLines{"C:\\WINDOWS\\System\\shared.dll - also installed by Beta",
                      "C:\\WINDOWS\\Acme.ini - an INI file of the system",
                      "C:\\WINDOWS\\Start Menu\\Programs\\Vendor - not empty",
                      "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme - also used by Beta"}));
    EXPECT_EQ(report.ExitCode(), kExitRemoved);
    // Nothing of Beta's is touched: whatever changed is Acme's.
    for (const std::string& change : Changes(before, Snapshot())) {
        EXPECT_TRUE(change.starts_with("- ")) << change;
        EXPECT_FALSE(Contains(change, "Beta")) << change;
    }
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, UninstallKey("Beta")));
    EXPECT_EQ(ReadUninstallData(Files, kBeta).Title, "Beta");

    // Beta goes in its turn, and takes the shared file with it.
    const TUninstallReport second = Uninstall(kBeta);
    EXPECT_EQ(second.ExitCode(), kExitRemoved);
    EXPECT_FALSE(Files.FileExists("C:\\WINDOWS\\System\\shared.dll"));
    EXPECT_FALSE(Files.DirectoryExists("C:\\WINDOWS\\Start Menu\\Programs\\Vendor"));
    EXPECT_FALSE(Files.DirectoryExists(kBeta));
}

TEST_F(Uninstaller, RunAgainOrWithoutARecordItSaysSoAndChangesNothing) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    ASSERT_EQ(Uninstall(kAcme).ExitCode(), kExitRemoved);
    ASSERT_FALSE(Files.DirectoryExists(kAcme));
    const TSnapshot after = Snapshot();
    try {
        Uninstall(kAcme);
        FAIL() << "a second run found something to do";
    } catch (const EUninstallError& e) {
        EXPECT_STREQ(e.what(),
                     "There is nothing to remove: C:\\Program Files\\Acme\\uninstall.cfg is missing. "
                     "The program has already been removed, or was never installed here.");
    }
    EXPECT_TRUE(Changes(after, Snapshot()).empty());
}

TEST_F(Uninstaller, ADamagedRecordIsRefusedBeforeAnythingIsRemoved) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    const std::string record = JoinPath(kAcme, kUninstallRecordName);
    const std::string whole = Bytes(record);
    for (const std::string& damaged :
         TLines{std::string(),
                std::string("\x7f"
                            "ELF\x01\x01\0\0",
                            8),
                whole.substr(0, whole.find("[UNINS]")), "[UNINS]\r\nC:\\Program Files\\Acme\\app.exe=\r\n",
                "[Program]\r\nTitle=\r\n[UNINS]\r\nC:\\x=\r\n"}) {
        Put(record, damaged);
        const TSnapshot before = Snapshot();
        try {
            Uninstall(kAcme);
            ADD_FAILURE() << "read: " << test::Visible(damaged);
        } catch (const EUninstallError& e) {
            EXPECT_STREQ(e.what(),
                         "The uninstall information C:\\Program Files\\Acme\\uninstall.cfg is damaged: "
                         "nothing was removed.");
        }
        EXPECT_TRUE(Changes(before, Snapshot()).empty());
    }
}

TEST_F(Uninstaller, AFileInUseFailsTheRunAndTheRecordStaysForAnotherOne) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    TBusyFiles busy(Files);
    busy.Busy = "C:\\Program Files\\Acme\\Bin\\TOOL.EXE";

    const TUninstallReport report = Uninstall(kAcme, busy);
    EXPECT_EQ(report.ExitCode(), kExitIncomplete);
    const char* kept = "kept, so that the uninstall can be run again for what is left";
    EXPECT_EQ(test::LeftLines(report),
              (TLines{"C:\\Program Files\\Acme\\Bin\\tool.exe - could not be deleted: it may be in use",
                      "C:\\WINDOWS\\Acme.ini - an INI file of the system",
                      "C:\\Program Files\\Acme\\Bin - not empty",
                      "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\currentversion\\uninstall\\Acme - " +
                          std::string(kept),
                      "C:\\Program Files\\Acme\\uninstall.cfg - " + std::string(kept)}));
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, UninstallKey("Acme")));
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, "Software\\Vendor\\Acme")) << "the rest went";

    // Once the file is free, the next run finishes the job.
    busy.Busy.clear();
    const TUninstallReport second = Uninstall(kAcme, busy);
    EXPECT_EQ(second.ExitCode(), kExitRemoved);
    EXPECT_FALSE(Files.DirectoryExists(kAcme));
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, UninstallKey("Acme")));
}

TEST_F(Uninstaller, RecordsNamingTheSystemsOwnAreRefused) {
    Put("C:\\WINDOWS\\system.ini", "[boot]\r\n");
    Put("C:\\config.sys", "FILES=40\r\n");
    Put("C:\\WINDOWS\\System\\other.dll", "other");
    Put("C:\\Shared\\acme.ini", "[a]\r\n");
    Put(JoinPath(kAcme, "app.exe"), "app");
    ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, "Software\\Classes\\.acme"));
    Put(JoinPath(kAcme, kUninstallRecordName),
        "[Program]\r\nTitle=Acme\r\n[UNINS]\r\nC:\\Program Files\\Acme\\*.*=\r\nC:\\WINDOWS\\win.ini=\r\n"
        "C:\\WINDOWS\\system.ini=\r\nC:\\autoexec.bat=\r\nC:\\config.sys=\r\nC:\\Shared\\acme.ini=\r\n"
        "C:\\WINDOWS\\*.*=\r\nC:\\WINDOWS\\System\\*.dll=\r\nC:\\Program Files\\Acme\\app.exe=\r\n"
        "[Folders]\r\nC:\\WINDOWS\\Start Menu\\Programs\\=\r\nC:\\=\r\n"
        "[Registry]\r\nHKEY_LOCAL_MACHINE\\Software=\r\nHKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows=\r\n"
        "HKEY_CLASSES_ROOT\\Software\\Classes\\.acme=\r\nHKEY_LOCAL_MACHINE\\Software\\Classes\\.acme=\r\n"
        "Control Panel\\Desktop=\r\n"
        // Keys below a root that the install cannot have made, whatever the record says.
        "[Registry - Made]\r\nHKEY_LOCAL_MACHINE\\Software=\r\nHKEY_CURRENT_USER\\Control Panel=\r\n"
        "HKEY_LOCAL_MACHINE\\Identities=\r\n");
    const TSnapshot before = Snapshot();

    const TUninstallReport report = Uninstall(kAcme);

    EXPECT_EQ(
        test::LeftLines(report),
        (TLines{
            "C:\\WINDOWS\\win.ini - a file of the system", "C:\\WINDOWS\\system.ini - a file of the system",
            "C:\\autoexec.bat - a file of the system", "C:\\config.sys - a file of the system",
            "C:\\Shared\\acme.ini - an INI file outside the installation directory: the values written "
            "into it stay",
            "C:\\WINDOWS\\*.* - names every file of a directory outside the installation directory",
            "C:\\WINDOWS\\System\\*.dll - names every file of a directory outside the installation "
            "directory",
            "HKEY_LOCAL_MACHINE\\Software - a key of the system",
            "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows - a key the system and other programs share",
            "HKEY_CURRENT_USER\\Software\\Classes\\.acme - a key the system and other programs share",
            "HKEY_LOCAL_MACHINE\\Software\\Classes\\.acme - a key the system and other programs share",
            "HKEY_CURRENT_USER\\Control Panel\\Desktop - a key the system and other programs share",
            "HKEY_CURRENT_USER\\Control Panel - a key the system and other programs share",
            "HKEY_LOCAL_MACHINE\\Identities - a key of the system"}));
    // Only the product's own program file and record went, and its directory with them.
    EXPECT_EQ(Changes(before, Snapshot()), (TLines{"- C/Program Files/Acme", "- C/Program Files/Acme/app.exe",
                                                   "- C/Program Files/Acme/uninstall.cfg"}));
}

TEST_F(Uninstaller, TheRunningUninstallerAndItsDirectoryAreLeftForItsHelper) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    const std::string self = JoinPath(kAcme, kUninstallerName);
    const TUninstallReport report = Uninstall(kAcme, self);
    EXPECT_EQ(report.ExitCode(), kExitRemoved);
    EXPECT_TRUE(Files.FileExists(self));
    EXPECT_EQ(Files.EntryNames(kAcme), TLines{kUninstallerName});
    const auto deferred = [&](const std::string& what) {
        return std::ranges::find(report.Items,
                                 TReportItem{what, uoRemoved, "once the uninstaller has ended"}) !=
               report.Items.end();
    };
    EXPECT_TRUE(deferred(self));
    EXPECT_TRUE(deferred(kAcme));
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, UninstallKey("Acme")));
}

TEST_F(Uninstaller, AnEntryTakenOverByAnotherInstallationOfTheTitleStays) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    Install(test::ProductConfig("Acme", "Vendor"), "C:\\Acme Again", "Vendor");
    const TUninstallReport report = Uninstall(kAcme);
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, UninstallKey("Acme"), "UninstallString"),
              UninstallString("C:\\Acme Again", "Acme"));
    const TLines left = test::LeftLines(report);
    EXPECT_NE(std::ranges::find(
                  left, "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\currentversion\\uninstall\\"
                        "Acme - belongs to the installation in C:\\Acme Again"),
              left.end());
    EXPECT_TRUE(Files.FileExists("C:\\Acme Again\\app.exe"));
}

TEST_F(Uninstaller, TheHelperRemovesTheEndedUninstallerAndIsItselfRemovedAtRestart) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    const std::string self = JoinPath(kAcme, kUninstallerName);
    ASSERT_EQ(Uninstall(kAcme, self).ExitCode(), kExitRemoved);
    const std::string helperDir = "C:\\WINDOWS\\Temp\\yun-abcdefghijklmnop";
    const std::string helper = JoinPath(helperDir, kUninstallerName);
    Put(helper, "helper");
    ASSERT_TRUE(Files.SetAttributes(self, faReadOnly));
    // The first tries find the file still held by the ended process.
    TBusyFiles busy(Files);
    busy.Busy = self;
    int pauses = 0;
    EXPECT_FALSE(RemoveEndedUninstaller(busy, self, helper, 3, [&] { ++pauses; }));
    EXPECT_EQ(pauses, 2);
    EXPECT_TRUE(Files.DirectoryExists(kAcme)) << "still holding the uninstaller";
    EXPECT_TRUE(RemoveEndedUninstaller(busy, self, helper, 3, [&] {
        ++pauses;
        busy.Busy.clear();
    }));
    EXPECT_EQ(pauses, 3);
    EXPECT_FALSE(Files.DirectoryExists(kAcme));
    EXPECT_TRUE(Files.FileExists(helper)) << "until Windows starts again";
    Files.Restart();
    EXPECT_FALSE(Files.FileExists(helper));
    EXPECT_FALSE(Files.DirectoryExists(helperDir)) << "the helper's own directory goes with it";
    EXPECT_TRUE(Files.PendingRemovals().empty());
}

TEST_F(Uninstaller, TheHelperLeavesADirectoryThatStillHoldsSomething) {
    Put(JoinPath(kAcme, "notes.txt"), "mine");
    Put(JoinPath(kAcme, kUninstallerName), "u");
    EXPECT_TRUE(
        RemoveEndedUninstaller(Files, JoinPath(kAcme, kUninstallerName), "C:\\missing.tmp", 1, [] {}));
    EXPECT_EQ(Files.EntryNames(kAcme), TLines{"notes.txt"});
    EXPECT_TRUE(Files.PendingRemovals().empty()) << "a missing helper is not kept";
}

TEST(UninstallReport, TheTextSaysHowTheRunEndedAndListsWhatWasLeft) {
    TUninstallReport report{"Acme", {{"C:\\Acme\\a.exe", uoRemoved, ""}, {"C:\\Acme\\b.exe", uoRemoved, ""}}};
    EXPECT_EQ(report.Text(), "Acme was removed completely.\n\nRemoved: 2 files, folders and registry keys.");
    report.Items.push_back({"C:\\Acme\\notes.txt", uoKept, "not installed by the setup"});
    EXPECT_EQ(report.Text(),
              "Acme was removed. Some items were left on purpose.\n\nRemoved: 2 files, folders and "
              "registry keys.\n\nLeft:\nC:\\Acme\\notes.txt - not installed by the setup");
    EXPECT_EQ(report.ExitCode(), kExitRemoved);
    report.Items.push_back({"C:\\Acme\\c.exe", uoFailed, "could not be deleted: it may be in use"});
    EXPECT_TRUE(report.Text().starts_with("Acme could not be removed completely.\n"));
    EXPECT_EQ(report.ExitCode(), kExitIncomplete);
}

} // namespace
} // namespace yar
