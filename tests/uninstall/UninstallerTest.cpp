// Whole uninstalls against the portable system layer: products installed by the install engine
// into a machine in a host directory with the registry in memory, then removed from their records,
// with the machine compared before and after.
#include "uninstall/Uninstaller.h"

#include "InstallTestSupport.h"
#include "SystemTestSupport.h"
#include "UninstallTestSupport.h"
#include "engine/UninstallRecord.h"
#include "system/Digest.h"
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

#ifdef _WIN32
#include <windows.h>

#include <sddl.h>
#endif

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

// A machine's files as a real Windows would show them where the host cannot: a file in use that refuses
// to go, and short (8.3) aliases that every call takes for the long names. Every path asked for is kept.
class TBusyFiles final : public TFiles {
public:
    explicit TBusyFiles(TFiles& files) : Files_(files) {}
    bool FileExists(const std::string& path) const override { return Files_.FileExists(Real(path)); }
    bool DirectoryExists(const std::string& path) const override {
        return Files_.DirectoryExists(Real(path));
    }
    void ForceDirectories(const std::string& dir) override { Files_.ForceDirectories(Real(dir)); }
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override {
        Files_.ForceDirectoriesWithAccess(Real(dir), accessList);
    }
    TCopyResult CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) override {
        return Files_.CopyFileChecked(Real(from), Real(to), failIfExists);
    }
    void MakeNewDirectory(const std::string& path, const std::string& accessList) override {
        Files_.MakeNewDirectory(Real(path), accessList);
    }
    std::optional<TFileIdentity> CreateNewFile(const std::string& path) override {
        return Files_.CreateNewFile(Real(path));
    }
    std::optional<TFileIdentity> Identity(const std::string& path) const override {
        return Files_.Identity(Real(path));
    }
    bool RemoveFile(const std::string& path) override {
        return !SamePath(Real(path), Busy) && Files_.RemoveFile(Real(path));
    }
    bool RemoveEmptyDirectory(const std::string& path) override {
        return Files_.RemoveEmptyDirectory(Real(path));
    }
    bool RemoveAtRestart(const std::string& path) override { return Files_.RemoveAtRestart(Real(path)); }
    bool ReplaceAtRestart(const std::string& from, const std::string& to) override {
        return Files_.ReplaceAtRestart(Real(from), Real(to));
    }
    std::optional<uint16_t> Attributes(const std::string& path) const override {
        return Files_.Attributes(Real(path));
    }
    std::optional<int64_t> FileSize(const std::string& path) const override {
        return Files_.FileSize(Real(path));
    }
    bool SetAttributes(const std::string& path, uint16_t attributes) override {
        return Files_.SetAttributes(Real(path), attributes);
    }
    std::vector<std::string> FileNames(const std::string& dir) const override {
        return Files_.FileNames(Real(dir));
    }
    std::vector<std::string> EntryNames(const std::string& dir) const override {
        return Files_.EntryNames(Real(dir));
    }
    std::optional<std::vector<std::string>> ReadLines(const std::string& path) const override {
        return Files_.ReadLines(Real(path));
    }
    bool WriteLines(const std::string& path, const std::vector<std::string>& lines) override {
        return Files_.WriteLines(Real(path), lines);
    }
    bool AppendLine(const std::string& path, const std::string& line) override {
        return Files_.AppendLine(Real(path), line);
    }
    std::string ShortPath(const std::string& path) const override { return Files_.ShortPath(Real(path)); }
    std::string WindowsDirectory() const override { return Files_.WindowsDirectory(); }
    std::optional<std::string> ReadBytes(const std::string& path) const override {
        return Files_.ReadBytes(Real(path));
    }
    // As GetLongPathNameA: the long names of a path that exists.
    std::string LongPath(const std::string& path) const override {
        return Files_.Attributes(Real(path)) ? Real(path) : path;
    }
    std::optional<TObjectSecurity> Security(const std::string& path) const override {
        return Files_.Security(Real(path));
    }
    std::string CurrentAccount() const override { return Files_.CurrentAccount(); }

    std::string Busy;
    // Short alias to long name, one level each ("PROGRA~1" to "Program Files").
    std::map<std::string, std::string> Aliases;
    mutable std::vector<std::string> Asked;

private:
    std::string Real(const std::string& path) const {
        Asked.push_back(path);
        std::string real;
        std::size_t start = 0;
        while (start <= path.size()) {
            const std::size_t end = std::min(path.find('\\', start), path.size());
            std::string part = path.substr(start, end - start);
            for (const auto& [alias, name] : Aliases)
                if (SameText(part, alias)) part = name;
            real += part;
            if (end < path.size()) real += '\\';
            start = end + 1;
        }
        return real;
    }

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
    // Lists the record in target as the install does: the entry names the uninstaller there and holds the
    // record's digest as it is now.
    void Register(const std::string& target, const std::string& title) {
        const std::string key = UninstallKey(title);
        ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, key));
        ASSERT_TRUE(
            Registry.WriteString(rrLocalMachine, key, "UninstallString", UninstallString(target, title)));
        const std::optional<std::string> digest =
            Sha256Hex(test::GetBytes(Files.HostPath(JoinPath(target, kUninstallRecordName))).value_or(""));
        ASSERT_TRUE(digest);
        ASSERT_TRUE(Registry.WriteString(rrLocalMachine, key, kRecordDigestValue, *digest));
    }
    // What the uninstall says when it refuses the record of target, or "<read>" when it reads it.
    std::string Refusal(const std::string& target, TFiles& files) const {
        try {
            ReadTrustedUninstallData(files, Registry, target);
            return "<read>";
        } catch (const EUntrustedRecordError& e) {
            return e.what();
        } catch (const EUninstallError& e) {
            return std::string("not as untrusted: ") + e.what();
        }
    }
    std::string Refusal(const std::string& target) { return Refusal(target, Files); }
    // Lets Everyone change what lies at path, or takes that away again. Natively the others' write bit,
    // which the host's security reads as Everyone's right to change it; under Wine a list granting it,
    // which Wine keeps as that same bit.
    void OpenToEveryone(const std::string& path, bool open) const {
#ifdef _WIN32
        const std::string me = Files.CurrentAccount();
        const std::string sddl =
            std::string(open ? "D:(A;;FA;;;WD)" : "D:") + "(A;;FA;;;SY)(A;;FA;;;" + me + ")";
        PSECURITY_DESCRIPTOR list = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &list,
                                                                         nullptr));
        EXPECT_TRUE(SetFileSecurityA(Files.HostPath(path).c_str(), DACL_SECURITY_INFORMATION, list));
        LocalFree(list);
#else
        fs::permissions(Files.HostPath(path), fs::perms::others_write,
                        open ? fs::perm_options::add : fs::perm_options::remove);
#endif
    }
    // Makes a link at the host's place of at to the host's place of to, as a junction or symbolic link
    // would be; false where no link can be made (Wine 8 makes none for a Windows program: there the
    // end-to-end case uninstall-record plants a Unix link in a Wine prefix instead).
    bool Link(const std::string& to, const std::string& at, bool directory = true) const {
        std::error_code error;
        if (directory)
            fs::create_directory_symlink(NativePath(Files.HostPath(to)), NativePath(Files.HostPath(at)),
                                         error);
        else
            fs::create_symlink(NativePath(Files.HostPath(to)), NativePath(Files.HostPath(at)), error);
        return !error;
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

    // As the program does: the record is read once it is known to be the install's own.
    TUninstallReport Uninstall(const std::string& target, TFiles& files, const std::string& self = {}) {
        const TUninstallData data = ReadTrustedUninstallData(files, Registry, target);
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
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, "Software\\Vendor"))
        << "the vendor's key was made by the install, and nobody else uses it";

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
    EXPECT_EQ(changes, (TLines{"+ C/WINDOWS/Acme.ini", "~ C/autoexec.bat", "+ C/autoexec.yar"}))
        << "left by design: the INI file outside, AUTOEXEC.BAT's block and backup";
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
                      "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme - also used by Beta",
                      "HKEY_LOCAL_MACHINE\\Software\\Vendor - also used by Beta"}));
    EXPECT_EQ(report.ExitCode(), kExitRemoved);
    // Nothing of Beta's is touched: whatever changed is Acme's.
    for (const std::string& change : Changes(before, Snapshot())) {
        EXPECT_TRUE(change.starts_with("- ")) << change;
        EXPECT_FALSE(Contains(change, "Beta")) << change;
    }
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, UninstallKey("Beta")));
    EXPECT_EQ(ReadUninstallData(Files, kBeta).Title, "Beta");

    // Beta goes in its turn, and takes the shared file with it; the program folder and the vendor's key
    // Acme made are not Beta's to take.
    const TUninstallReport second = Uninstall(kBeta);
    EXPECT_EQ(second.ExitCode(), kExitRemoved);
    EXPECT_FALSE(Files.FileExists("C:\\WINDOWS\\System\\shared.dll"));
    EXPECT_EQ(test::LeftLines(second),
              (TLines{"C:\\WINDOWS\\Beta.ini - an INI file of the system",
                      "C:\\WINDOWS\\Start Menu\\Programs\\Vendor - not made by the install"}));
    EXPECT_EQ(Files.EntryNames("C:\\WINDOWS\\Start Menu\\Programs\\Vendor"), TLines{});
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, "Software\\Vendor\\Beta"));
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, "Software\\Vendor\\Acme\\Plugins"))
        << "Beta's plug-in key went";
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, "Software\\Vendor\\Acme"))
        << "Acme made it, and left it for Beta";
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
    Register(kAcme, "Acme");
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
            "HKEY_LOCAL_MACHINE\\Identities - a key of the system",
            // A record without the directories the install made: none goes.
            "C:\\Program Files\\Acme - not made by the install"}));
    // Only the product's own program file and record went, and its entry.
    EXPECT_EQ(Changes(before, Snapshot()),
              (TLines{"- C/Program Files/Acme/app.exe", "- C/Program Files/Acme/uninstall.cfg",
                      "- key 2:Software\\Microsoft\\Windows\\CurrentVersion\\uninstall\\Acme"}));
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

TEST_F(Uninstaller, AnInstallationWhoseEntryAnotherInstallationTookOverIsNotActedOn) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    Install(test::ProductConfig("Acme", "Vendor"), "C:\\Acme Again", "Vendor");
    const TSnapshot before = Snapshot();
    EXPECT_EQ(Refusal(kAcme),
              "The uninstall information C:\\Program Files\\Acme\\uninstall.cfg cannot be trusted: "
              "the list of installed programs holds no digest of it for this folder. Nothing was "
              "removed.")
        << "the entry holds the other installation's digest";
    EXPECT_TRUE(Changes(before, Snapshot()).empty());
    EXPECT_EQ(Uninstall("C:\\Acme Again").ExitCode(), kExitRemoved);
    EXPECT_TRUE(Files.FileExists(JoinPath(kAcme, "app.exe")));
}

TEST_F(Uninstaller, AnEditedRecordIsRefusedAndNothingChanges) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    const std::string record = JoinPath(kAcme, kUninstallRecordName);
    const std::string whole = Bytes(record);
    Put("C:\\Other\\app.exe", "another program's");
    const std::string refused =
        "The uninstall information C:\\Program Files\\Acme\\uninstall.cfg cannot be "
        "trusted: it is not the record the install left: its SHA-256 differs from the "
        "registered one. Nothing was removed.";
    for (const std::string& edited :
         {whole + "C:\\Other\\.\\app.exe=\r\n", whole + "[Folders]\r\nC:\\WINDOWS\\System=\r\n",
          whole.substr(0, whole.size() - 2), whole + " ",
          std::string(whole).replace(whole.find("Acme"), 4, "ACME")}) {
        Put(record, edited);
        const TSnapshot before = Snapshot();
        EXPECT_EQ(Refusal(kAcme), refused) << test::Visible(edited);
        EXPECT_TRUE(Changes(before, Snapshot()).empty());
    }
    // Without a digest in the entry, or without the entry.
    Put(record, whole);
    ASSERT_EQ(Refusal(kAcme), "<read>");
    ASSERT_TRUE(Registry.WriteString(rrLocalMachine, UninstallKey("Acme"), kRecordDigestValue, ""));
    const char* noDigest =
        "The uninstall information C:\\Program Files\\Acme\\uninstall.cfg cannot be trusted: the "
        "list of installed programs holds no digest of it for this folder. Nothing was removed.";
    EXPECT_EQ(Refusal(kAcme), noDigest);
    ASSERT_TRUE(Registry.DeleteKey(rrLocalMachine, UninstallKey("Acme")));
    EXPECT_EQ(Refusal(kAcme), noDigest);
    EXPECT_TRUE(Files.FileExists("C:\\Other\\app.exe"));
    EXPECT_TRUE(Files.FileExists(JoinPath(kAcme, "app.exe")));
}

TEST_F(Uninstaller, ARecordOrFolderOtherAccountsCouldChangeIsRefused) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    const std::string record = JoinPath(kAcme, kUninstallRecordName);
    const TSnapshot before = Snapshot();
    OpenToEveryone(record, true);
    EXPECT_EQ(Refusal(kAcme),
              "The uninstall information C:\\Program Files\\Acme\\uninstall.cfg cannot be trusted: "
              "Everyone may change it. Nothing was removed.");
    OpenToEveryone(record, false);
    OpenToEveryone(kAcme, true);
    EXPECT_EQ(Refusal(kAcme),
              "The uninstall information C:\\Program Files\\Acme\\uninstall.cfg cannot be trusted: "
              "its folder: Everyone may change it. Nothing was removed.");
    OpenToEveryone(kAcme, false);
    EXPECT_TRUE(Changes(before, Snapshot()).empty());
    EXPECT_EQ(Refusal(kAcme), "<read>");
}

TEST_F(Uninstaller, ARecordReachedThroughALinkOrOverTheNetworkIsRefusedUnopened) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    // The installation directory seen through a link elsewhere.
    if (Link(kAcme, "C:\\Linked")) {
        EXPECT_EQ(Refusal("C:\\Linked"),
                  "The uninstall information C:\\Linked\\uninstall.cfg cannot be trusted: its "
                  "folder is a link, which is not followed. Nothing was removed.");
    }
    TBusyFiles watched(Files);
    for (const char* dir :
         {"\\\\server\\share\\Acme", "//server/share/Acme", "\\\\?\\C:\\Program Files\\Acme",
          "\\\\.\\C:\\Program Files\\Acme", "Program Files\\Acme"})
        EXPECT_TRUE(Refusal(dir, watched).starts_with(std::string("The uninstall information ") + dir))
            << dir;
    EXPECT_EQ(watched.Asked, TLines{}) << "nothing was opened";
    EXPECT_EQ(Refusal("\\\\server\\share\\Acme", watched),
              "The uninstall information \\\\server\\share\\Acme\\uninstall.cfg cannot be trusted: its "
              "folder's path "
              "is refused: a network path. Nothing was removed.");
    // Written the other way, the same directory is read in its canonical form.
    EXPECT_EQ(ReadTrustedUninstallData(Files, Registry, "c:/Program Files/./Acme/").TargetDir, kAcme);
}

TEST_F(Uninstaller, EveryPathIsMadeCanonicalBeforeAnyRuleLooksAtIt) {
    // Beta's file, named by Acme's record in other spellings; the system's own files likewise.
    Install(test::ProductConfig("Beta", "Vendor"), "C:\\Other", "Vendor");
    Put(JoinPath(kAcme, "app.exe"), "app");
    Put(JoinPath(kAcme, "settings.ini"), "[a]\r\n");
    Put("C:\\Program Files\\Shared\\shared.dat", "shared");
    Put("C:\\Program Files\\Other Stuff\\keep.ini", "[a]\r\n");
    Put(JoinPath(kAcme, kUninstallRecordName),
        "[Program]\r\nTitle=Acme\r\n[UNINS]\r\nC:\\Program Files\\Acme\\*.*=\r\n"
        "C:\\Other\\.\\app.exe=\r\nC:/Other/Bin/tool.exe=\r\nC:\\Program "
        "Files\\Acme\\..\\..\\WINDOWS\\win.ini=\r\n"
        "C:\\WINDOWS\\win.ini.=\r\nC:\\WINDOWS \\system.ini=\r\nC:\\Program Files\\Acme\\app.exe:hidden=\r\n"
        "\\\\server\\share\\x.dll=\r\n\\\\?\\C:\\WINDOWS\\win.ini=\r\n\\\\.\\C:\\x=\r\nC:\\Program "
        "Files\\Acme\\NUL=\r\n"
        "C:\\PROGRA~1\\OTHERS~1\\keep.ini=\r\nC:\\PROGRA~1\\Acme\\settings.ini=\r\n"
        "C:\\PROGRA~1\\Shared\\shared.dat=\r\nC:\\Program Files\\Acme\\app.exe=\r\n"
        "[Directories - Made]\r\nC:\\Program Files\\Acme=\r\n");
    Register(kAcme, "Acme");
    // Beta also records the shared file, in its long spelling.
    std::string beta = Bytes("C:\\Other\\uninstall.cfg");
    beta.insert(beta.find("[UNINS]\r\n") + 9, "C:\\Program Files\\Shared\\shared.dat=\r\n");
    Put("C:\\Other\\uninstall.cfg", beta);
    TBusyFiles files(Files);
    files.Aliases = {{"PROGRA~1", "Program Files"}, {"OTHERS~1", "Other Stuff"}};
    test::TStepLog steps;
    const TUninstallReport report =
        TUninstaller(ReadTrustedUninstallData(files, Registry, kAcme), {files, Registry}, steps).Run();
    const char* refused = "refused, the system would read it otherwise: ";
    EXPECT_EQ(
        test::LeftLines(report),
        (TLines{"C:\\Other\\app.exe - also installed by Beta",
                "C:\\Other\\Bin\\tool.exe - also installed by Beta",
                "C:\\WINDOWS\\win.ini - a file of the system",
                "C:\\WINDOWS\\win.ini. - " + std::string(refused) + "a name ends in a dot or a blank",
                "C:\\WINDOWS \\system.ini - " + std::string(refused) + "a name ends in a dot or a blank",
                "C:\\Program Files\\Acme\\app.exe:hidden - " + std::string(refused) +
                    "it names an alternate stream",
                "\\\\server\\share\\x.dll - " + std::string(refused) + "a network path",
                "\\\\?\\C:\\WINDOWS\\win.ini - " + std::string(refused) + "a device path",
                "\\\\.\\C:\\x - " + std::string(refused) + "a device path",
                "C:\\Program Files\\Acme\\NUL - " + std::string(refused) + "a name is a device (NUL)",
                "C:\\Program Files\\Other Stuff\\keep.ini - an INI file outside the installation directory: "
                "the values written into it stay",
                "C:\\Program Files\\Shared\\shared.dat - also installed by Beta"}));
    EXPECT_EQ(report.ExitCode(), kExitRemoved);
    EXPECT_FALSE(Files.FileExists(JoinPath(kAcme, "settings.ini"))) << "inside, in its long form";
    EXPECT_FALSE(Files.DirectoryExists(kAcme));
    EXPECT_TRUE(Files.FileExists("C:\\Other\\app.exe"));
    EXPECT_TRUE(Files.FileExists("C:\\Program Files\\Shared\\shared.dat"));
    EXPECT_TRUE(Files.FileExists("C:\\Program Files\\Other Stuff\\keep.ini"));
    for (const std::string& asked : files.Asked)
        EXPECT_FALSE(asked.starts_with("\\\\") || asked.starts_with("//")) << "opened " << asked;
}

TEST_F(Uninstaller, LinksInsideTheInstallationAreNeitherFollowedNorWalked) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    // Another directory, with an empty directory and a file of the name the record has below Bin.
    Put("C:\\Victim\\tool.exe", "the victim's");
    Files.ForceDirectories("C:\\Victim\\Empty");
    Put("C:\\Victim Too\\keep.txt", "kept");
    // Bin and Data become links to them, as a junction would be; the link's own entry is no file of the
    // install.
    for (const auto& [at, to] :
         {std::pair<std::string, std::string>{"Bin", "C:\\Victim"}, {"Data", "C:\\Victim Too"}}) {
        fs::remove_all(NativePath(Files.HostPath(JoinPath(kAcme, at))));
        if (!Link(to, JoinPath(kAcme, at))) GTEST_SKIP() << "no link can be made here";
    }
    ASSERT_TRUE(Files.Attributes(JoinPath(kAcme, "Bin")).value_or(0) & faReparsePoint);

    const TUninstallReport report = Uninstall(kAcme);

    EXPECT_EQ(
        test::LeftLines(report),
        (TLines{
            "C:\\Program Files\\Acme\\Bin\\tool.exe - reached through the link C:\\Program Files\\Acme\\Bin, "
            "which is not followed",
            "C:\\WINDOWS\\Acme.ini - an INI file of the system",
            "C:\\Program Files\\Acme\\Bin - a link, which is not followed",
            "C:\\Program Files\\Acme\\Data - a link, which is not followed",
            "C:\\Program Files\\Acme - not empty"}));
    EXPECT_EQ(Bytes("C:\\Victim\\tool.exe"), "the victim's");
    EXPECT_TRUE(Files.DirectoryExists("C:\\Victim\\Empty"))
        << "no empty directory is walked to through a link";
    EXPECT_EQ(Bytes("C:\\Victim Too\\keep.txt"), "kept");
}

TEST_F(Uninstaller, LinksOutsideTheInstallationAreNotFollowedEither) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    // The program folder of the shortcut becomes a link to a directory holding a file of the shortcut's name.
    const std::string folder = "C:\\WINDOWS\\Start Menu\\Programs\\Vendor";
    Put("C:\\Victim\\Acme App.dll", "the victim's");
    fs::remove_all(NativePath(Files.HostPath(folder)));
    if (!Link("C:\\Victim", folder)) GTEST_SKIP() << "no link can be made here";
    // The shared file, itself a link.
    const std::string shared = "C:\\WINDOWS\\System\\shared.dll";
    fs::remove(NativePath(Files.HostPath(shared)));
    ASSERT_TRUE(Link("C:\\Victim\\Acme App.dll", shared, false));

    const TUninstallReport report = Uninstall(kAcme);
    const TLines left = test::LeftLines(report);
    for (const std::string& line :
         {folder + "\\Acme App.* - reached through the link " + folder + ", which is not followed",
          shared + " - a link, which is not followed", folder + " - a link, which is not followed"})
        EXPECT_NE(std::ranges::find(left, line), left.end()) << line << "\n"
                                                             << ::testing::PrintToString(left);
    EXPECT_EQ(Bytes("C:\\Victim\\Acme App.dll"), "the victim's");
}

TEST_F(Uninstaller, OnlyDirectoriesAndKeysTheInstallMadeGo) {
    // There before the install: an empty program folder, a directory a record names, and a vendor's key with
    // another program's values.
    Files.ForceDirectories("C:\\WINDOWS\\Start Menu\\Programs\\Vendor");
    Files.ForceDirectories("C:\\Empty");
    ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, "Software\\Vendor\\Other Program"));
    SetupConfig config = test::ProductConfig("Acme", "Vendor");
    config.IniSetupEntries.push_back("HKEY_LOCAL_MACHINE\\Software\\Vendor~Acme~Installed~1");
    Install(config, kAcme, "Vendor");
    // A record naming more than the install made, as an older record or a tampered one would.
    const std::string record = JoinPath(kAcme, kUninstallRecordName);
    std::string more = Bytes(record);
    more.insert(more.find("[Folders]\r\n") + 11, "C:\\Empty=\r\n");
    // Two more it made, nested, the outer one recorded first: the inner one has to go before it.
    Files.ForceDirectories(JoinPath(kAcme, "Data\\Cache\\Old"));
    more.insert(more.find("[Directories - Made]\r\n") + 22,
                "C:\\Program Files\\Acme\\Data\\Cache=\r\nC:\\Program Files\\Acme\\Data\\Cache\\Old=\r\n");
    Put(record, more);
    Register(kAcme, "Acme");

    const TUninstallReport report = Uninstall(kAcme);

    EXPECT_EQ(
        test::LeftLines(report),
        (TLines{"C:\\WINDOWS\\Acme.ini - an INI file of the system", "C:\\Empty - not made by the install",
                "C:\\WINDOWS\\Start Menu\\Programs\\Vendor - not made by the install",
                "HKEY_LOCAL_MACHINE\\Software\\Vendor - there before the install: only its values were "
                "written"}));
    EXPECT_TRUE(Files.DirectoryExists("C:\\Empty"));
    EXPECT_TRUE(Files.DirectoryExists("C:\\WINDOWS\\Start Menu\\Programs\\Vendor"));
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, "Software\\Vendor\\Other Program"));
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, "Software\\Vendor\\Acme")) << "made by the install";
    EXPECT_FALSE(Files.DirectoryExists(kAcme));
}

TEST_F(Uninstaller, AnOlderRecordWithoutTheMadeDirectoriesRemovesNoDirectory) {
    Install(test::ProductConfig("Acme", "Vendor"), kAcme, "Vendor");
    const std::string record = JoinPath(kAcme, kUninstallRecordName);
    std::string older = Bytes(record);
    const std::size_t made = older.find("[Directories - Made]");
    ASSERT_NE(made, std::string::npos);
    const std::size_t next = older.find('[', made + 1);
    older.erase(made, next - made);
    Put(record, older);
    Register(kAcme, "Acme");

    const TUninstallReport report = Uninstall(kAcme);

    EXPECT_EQ(report.ExitCode(), kExitRemoved);
    EXPECT_EQ(test::LeftLines(report),
              (TLines{"C:\\WINDOWS\\Acme.ini - an INI file of the system",
                      "C:\\WINDOWS\\Start Menu\\Programs\\Vendor - not made by the install",
                      "C:\\Program Files\\Acme - not empty"}));
    EXPECT_EQ(Files.EntryNames(kAcme), (TLines{"Bin", "Data"})) << "empty, and left";
    EXPECT_FALSE(Files.FileExists(JoinPath(kAcme, "app.exe")));
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
    EXPECT_FALSE(RemoveEndedUninstaller(busy, self, true, helper, 3, [&] { ++pauses; }));
    EXPECT_EQ(pauses, 2);
    EXPECT_TRUE(Files.DirectoryExists(kAcme)) << "still holding the uninstaller";
    EXPECT_TRUE(RemoveEndedUninstaller(busy, self, true, helper, 3, [&] {
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
        RemoveEndedUninstaller(Files, JoinPath(kAcme, kUninstallerName), true, "C:\\missing.tmp", 1, [] {}));
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
